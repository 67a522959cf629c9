// A drag list box in a fixed-pitch font that keeps the full texts of its rows.
// Releasing Delete reaches the parent as WM_COMMAND with notification 691.
#pragma once

#include "base/Win32Handles.h"
#include "framework/Window.h"

#include <string>
#include <vector>

class FixedPitchListBox : public Window {
public:
    static constexpr WORD kDeleteNotification = 691;

    void attach(HINSTANCE instance, HWND parent) override;
    void destroy() override;
    // Makes the font again for the DPI the box now shows at.
    void refreshFont();

    void addItem(const std::wstring& text);
    void clear();
    int count() const { return static_cast<int>(texts_.size()); }
    // The stored text of the selected row, or empty when nothing valid is selected.
    std::wstring selectedText() const;
    int selectedIndex() const;
    // Unless exact, an empty list keeps its selection and the index is clamped to the last row.
    void select(int index, bool exact = false);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<std::wstring> texts_;
    win::Font font_;
    WNDPROC previous_ = nullptr;
};
