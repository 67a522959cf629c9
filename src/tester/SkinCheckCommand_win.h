// "Check skin": every window file of the skin's window folder checked for
// textures, includes and include files that the skin does not have, on a
// thread of its own behind the progress window. The results are text for the
// panel's pane (a summary line, then one line per missing reference), and a
// line of that text leads back to its file and line.
#pragma once

#include "framework/ProgressWindow_win.h"
#include "skin/ReferenceCheck.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tester {

class SkinCheckCommand {
public:
    // The element names whose text names an image.
    void setImageElements(std::vector<std::wstring> names) { imageElements_ = std::move(names); }

    // Starts checking `windowFolder`; `ended` runs on the editor's thread when
    // the results are in. False when the work could not start.
    bool start(ProgressWindow& progress, HINSTANCE instance, HWND owner, const std::wstring& windowFolder,
               std::function<void()> ended);

    bool running() const { return running_; }
    bool hasResults() const { return checked_; }
    // The summary, then one line per missing reference, lines ended by CR LF.
    std::wstring resultsText() const;
    // The missing reference listed on a line of resultsText(), or null.
    const skin::Finding* findingOnLine(int line) const;

private:
    std::vector<std::wstring> imageElements_;
    skin::SkinCheckReport report_;
    bool checked_ = false;
    bool running_ = false;
};

// Posted to the target of ReportDoubleClicks: wParam is the zero-based line
// of the edit box that was double-clicked.
constexpr UINT kPaneLineChosen = WM_APP + 0x61;

// Makes a double-click in an edit box post kPaneLineChosen to `target` (the
// box keeps its own handling of the click).
void ReportDoubleClicks(HWND edit, HWND target);
void StopReportingDoubleClicks(HWND edit);

}  // namespace tester
