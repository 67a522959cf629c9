#include "skineditor/StatusListPanel_win.h"

#include "skineditor/WindowPanels_win.h"

#include <algorithm>

namespace skineditor {

StatusListPanel::StatusListPanel(int dialogResourceId, int statusId, int listId, int commandIndex,
                                 const wchar_t* caption)
    : DockingDlgInterface(dialogResourceId, commandIndex, caption), statusId_(statusId), listId_(listId) {}

void StatusListPanel::fill(const std::wstring& status, const std::vector<std::wstring>& lines) {
    if (hwnd_ == nullptr) return;
    ::SetDlgItemTextW(hwnd_, statusId_, status.c_str());
    const HWND list = ::GetDlgItem(hwnd_, listId_);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    // Wide enough for the longest line in the list's own font (it follows the DPI).
    int widest = 0;
    const HDC dc = ::GetDC(list);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    for (const std::wstring& line : lines) {
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SIZE size{};
        if (::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void StatusListPanel::layout() {
    if (hwnd_ == nullptr) return;
    const int top = placeStatusLine(hwnd_, statusId_);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    ::MoveWindow(::GetDlgItem(hwnd_, listId_), 0, top, client.right,
                 std::max(0, static_cast<int>(client.bottom) - top), TRUE);
}

INT_PTR StatusListPanel::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_SIZE:
        layout();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == listId_ && HIWORD(wParam) == LBN_DBLCLK) {
            const LRESULT chosen = ::SendDlgItemMessageW(hwnd_, listId_, LB_GETCURSEL, 0, 0);
            if (chosen != LB_ERR) lineChosen(static_cast<std::size_t>(chosen));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DockingDlgInterface::dialogProc(message, wParam, lParam);
}

}  // namespace skineditor
