// What the Wine tests of the skin in the editor share.
#pragma once

#include "Host.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

namespace refchecktest {

// Opens the Options dialog from the plugin's menu, lets `change` set its
// controls and confirms with OK.
template <typename Change>
void changeOptions(host::Host& host, Change change) {
    ASSERT_TRUE(host.runMenu(L"&Quorrel", L"&Options..."));
    host.pump(100);
    HWND dialog = nullptr;
    for (HWND d : host.modelessDialogs()) {
        wchar_t title[64] = L"";
        ::GetWindowTextW(d, title, 64);
        if (std::wstring(title) == L"Quorrel Options") dialog = d;
    }
    ASSERT_NE(dialog, nullptr);
    change(dialog);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    host.pump(100);
}

// Sets one check box of the Options dialog.
inline void setOptionsBox(host::Host& host, int boxId, bool on) {
    changeOptions(host, [&](HWND dialog) { ::CheckDlgButton(dialog, boxId, on ? BST_CHECKED : BST_UNCHECKED); });
}

}  // namespace refchecktest
