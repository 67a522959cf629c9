// The records of the requests the localisation plugin ("NativeLang.dll")
// answers through NPPM_MSGTOPLUGIN, in its published layout: every field is as
// wide as a pointer. Shared by the plugin and the test stand-in of that plugin.
#pragma once

#include "npp/NppInterface.h"

namespace localisation {

enum Request : long { TranslateDialog = 0, TranslateMenu = 1, TranslateText = 5 };

struct DialogRequest {
    HWND dialog;
    const wchar_t* name;
};

struct MenuRequest {
    LPARAM reserved;
    const wchar_t* menuName;
    LPARAM unused;
    INT_PTR commandCount;
    npp::FuncItem* commands;
};

struct TextRequest {
    LPARAM reserved;
    const wchar_t* key;
    LPARAM result;  // set non-zero by the receiver when the buffer holds the translation
    INT_PTR bufferSize;
    wchar_t** buffer;
};

static_assert(sizeof(DialogRequest) == 2 * sizeof(void*));
static_assert(sizeof(MenuRequest) == 5 * sizeof(void*));
static_assert(sizeof(TextRequest) == 5 * sizeof(void*));

}  // namespace localisation
