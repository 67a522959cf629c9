#include "skineditor/ReferencesPanel_win.h"

#include "editor/NppEditor_win.h"
#include "skineditor/skineditor_ids.h"

#include <algorithm>

namespace skineditor {

std::wstring PlaceLine(const Place& place) {
    return place.shownName + L" (" + std::to_wstring(place.line) + L"): " + place.text;
}

ReferencesPanel::ReferencesPanel(int commandIndex)
    : DockingDlgInterface(IDD_SKIN_REFERENCES, commandIndex, L"Skin References") {}

void ReferencesPanel::showPlaces(const std::wstring& status, std::vector<Place> places) {
    status_ = status;
    places_ = std::move(places);
    showPanel();
    fill();
}

void ReferencesPanel::fill() {
    if (hwnd_ == nullptr) return;
    ::SetDlgItemTextW(hwnd_, IDC_REFERENCES_STATUS, status_.c_str());
    const HWND list = ::GetDlgItem(hwnd_, IDC_REFERENCES_LIST);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    int widest = 0;
    const HDC dc = ::GetDC(list);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    for (const Place& place : places_) {
        const std::wstring line = PlaceLine(place);
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SIZE size{};
        if (::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size)) {
            widest = std::max(widest, static_cast<int>(size.cx));
        }
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void ReferencesPanel::layout() {
    if (hwnd_ == nullptr) return;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const HWND status = ::GetDlgItem(hwnd_, IDC_REFERENCES_STATUS);
    RECT statusRect{};
    ::GetWindowRect(status, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    const int gap = 2;
    ::MoveWindow(status, gap, gap, std::max(0, static_cast<int>(client.right) - 2 * gap), statusHeight, TRUE);
    const int top = statusHeight + 2 * gap;
    ::MoveWindow(::GetDlgItem(hwnd_, IDC_REFERENCES_LIST), 0, top, client.right,
                 std::max(0, static_cast<int>(client.bottom) - top), TRUE);
}

bool ReferencesPanel::openPlace(std::size_t index) const {
    if (editor_ == nullptr || index >= places_.size()) return false;
    const Place& place = places_[index];
    return editor_->openAtLine(place.path, static_cast<std::intptr_t>(place.line) - 1);
}

INT_PTR ReferencesPanel::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_SIZE:
        layout();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_REFERENCES_LIST && HIWORD(wParam) == LBN_DBLCLK) {
            const LRESULT chosen = ::SendDlgItemMessageW(hwnd_, IDC_REFERENCES_LIST, LB_GETCURSEL, 0, 0);
            if (chosen != LB_ERR) openPlace(static_cast<std::size_t>(chosen));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DockingDlgInterface::dialogProc(message, wParam, lParam);
}

}  // namespace skineditor
