// "Check skin": every rule of the skin check over the whole skin of the
// current document, on a thread of its own behind the progress window. The
// results are text for the panel's pane: a summary line with the counts per
// rule, then the findings grouped by file (a line naming the file, then one
// line per finding); a line of a finding leads back to its file and line.
#pragma once

#include "framework/ProgressWindow_win.h"
#include "skin/SkinCheck.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tester {

// What a whole-skin check found, and the text the pane shows of it.
struct SkinCheckReport {
    skin::SkinCheckResult result;
    std::wstring skinFolder;                              // to name files within it
    std::vector<std::wstring> problems;                   // files the model could not read
    std::wstring text;                                    // lines ended by CR LF
    std::vector<const skin::CheckFinding*> lineFindings;  // per line of `text`; null for others
};

// The pane's text: "Checked 5 files: 2 errors, 1 warning (undefined-variable 1, ...)."
// then per file "720p\Home.xml" and its findings "  12:5 error: message [rule-id]".
void WriteCheckText(SkinCheckReport& report);

class SkinCheckCommand {
public:
    // The element names whose text names an image.
    void setImageElements(std::vector<std::wstring> names) { imageElements_ = std::move(names); }
    // The media center's own strings and colours files (Options); empty when not given.
    void setMediaCenterFiles(std::wstring strings, std::wstring colours) {
        coreStrings_ = std::move(strings);
        coreColours_ = std::move(colours);
    }

    // Starts checking the skin of `windowFolder`; `ended` runs on the
    // editor's thread when the results are in. False when the work could not start.
    bool start(ProgressWindow& progress, HINSTANCE instance, HWND owner, const std::wstring& windowFolder,
               std::function<void()> ended);

    bool running() const { return running_; }
    bool hasResults() const { return checked_; }
    const std::wstring& resultsText() const { return report_.text; }
    // The finding listed on a line of resultsText(), or null.
    const skin::CheckFinding* findingOnLine(int line) const;

private:
    std::vector<std::wstring> imageElements_;
    std::wstring coreStrings_;
    std::wstring coreColours_;
    SkinCheckReport report_;
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
