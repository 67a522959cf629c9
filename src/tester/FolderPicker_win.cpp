#include "tester/FolderPicker_win.h"

#include "base/Win32Handles.h"

#include <shlobj.h>

namespace tester {
namespace {

// The folder browser starts at the folder handed to it.
int CALLBACK preselect(HWND browser, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && folder != 0) {
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, folder);
    }
    return 0;
}

}  // namespace

std::wstring browseForFolder(HWND owner, const wchar_t* title, const std::wstring& start) {
    const win::ComScope com;
    BROWSEINFOW request{};
    request.hwndOwner = owner;
    request.lpszTitle = title;
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    request.lpfn = preselect;
    request.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&request);
    if (chosen == nullptr) {
        return std::wstring();
    }
    wchar_t path[MAX_PATH] = {};
    const bool hasPath = ::SHGetPathFromIDListW(chosen, path) != FALSE;
    ::CoTaskMemFree(chosen);
    return hasPath ? std::wstring(path) : std::wstring();
}

}  // namespace tester
