// Modal dialogs met while a script runs: each takes the next queued answer; a
// dialog nobody expected is closed cautiously and counts as a failure.
#include "Script.h"
#include "WindowQueries.h"

#include <algorithm>

namespace host {
namespace {

constexpr UINT BFFM_SETSELECTION_W = WM_USER + 103;
constexpr int kFileNameCombo = 1148;  // cmb13
constexpr int kFileNameEdit = 1152;   // edt1
constexpr int kMessageText = 0xFFFF;
constexpr DWORD kUnexpectedGraceMs = 1500;

bool hasTreeView(HWND root) {
    std::vector<HWND> all;
    descendants(root, all);
    return std::any_of(all.begin(), all.end(), [](HWND h) { return sameClass(h, WC_TREEVIEWW); });
}

// Closes a dialog with the most cautious button it has (Cancel, else No, else
// Abort, else OK); returns that button's id, 0 when it had none.
int dismiss(HWND dialog) {
    for (int id : {IDCANCEL, IDNO, IDABORT, IDOK}) {
        if (HWND button = GetDlgItem(dialog, id)) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            return id;
        }
    }
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return 0;
}

void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

VOID CALLBACK dialogTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    try {
        if (Host::Impl* impl = currentImpl()) impl->watchDialogs();
    } catch (...) {
    }
}

}  // namespace

int buttonId(const std::wstring& name) {
    struct Named {
        const wchar_t* name;
        int id;
    };
    static const Named names[] = {{L"ok", IDOK},       {L"cancel", IDCANCEL}, {L"abort", IDABORT},
                                  {L"retry", IDRETRY}, {L"ignore", IDIGNORE}, {L"yes", IDYES},
                                  {L"no", IDNO},       {L"close", 8},         {L"help", 9},
                                  {L"tryagain", 10},   {L"continue", 11}};
    for (const auto& n : names)
        if (lstrcmpiW(n.name, name.c_str()) == 0) return n.id;
    long long v = 0;
    return parseInt(name, v) ? static_cast<int>(v) : -1;
}

void Host::Impl::startDialogWatch() {
    if (script.dialogTimer == 0) script.dialogTimer = SetTimer(nullptr, 0, 50, dialogTimerProc);
}

void Host::Impl::watchDialogs() {
    auto& answered = script.answeredDialogs;
    answered.erase(std::remove_if(answered.begin(), answered.end(), [](HWND h) { return !IsWindow(h); }),
                   answered.end());
    const auto& modeless = docking.modeless;
    HWND dialog = nullptr;
    for (HWND hwnd : threadWindows()) {
        if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || !sameClass(hwnd, L"#32770")) continue;
        if (std::find(answered.begin(), answered.end(), hwnd) != answered.end()) continue;
        if (std::find(modeless.begin(), modeless.end(), hwnd) != modeless.end()) continue;
        HWND owner = GetWindow(hwnd, GW_OWNER);
        bool modal = false;
        if (owner != nullptr) {
            modal = !IsWindowEnabled(owner);
        } else {
            modal = !isPluginModule(reinterpret_cast<HMODULE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE)));
        }
        if (modal) {
            dialog = hwnd;
            break;
        }
    }
    if (dialog == nullptr) {
        script.unexpectedDialog = nullptr;
        return;
    }
    if (script.answers.empty()) {
        if (!options.dismissUnexpectedDialogs) return;
        if (dialog != script.unexpectedDialog) {
            script.unexpectedDialog = dialog;
            script.unexpectedSince = GetTickCount();
            return;
        }
        if (GetTickCount() - script.unexpectedSince < kUnexpectedGraceMs) return;
        std::wstring failure = L"unexpected dialog " + quote(windowText(dialog));
        if (HWND text = GetDlgItem(dialog, kMessageText)) failure += L" text " + quote(windowText(text));
        failure += L" closed with button " + std::to_wstring(dismiss(dialog));
        script.asyncFailures.push_back(failure);
        writeLog(L"  FAIL: " + failure);
        answered.push_back(dialog);
        script.unexpectedDialog = nullptr;
        return;
    }
    Answer answer = script.answers.front();
    script.answers.pop_front();
    answered.push_back(dialog);
    answerDialog(dialog, answer);
}

void Host::Impl::answerDialog(HWND dialog, const Answer& answer) {
    std::wstring caption = windowText(dialog);
    bool isFolder = hasTreeView(dialog);
    bool isFile = GetDlgItem(dialog, kFileNameCombo) != nullptr || GetDlgItem(dialog, kFileNameEdit) != nullptr;
    auto fail = [&](const std::wstring& why) {
        std::wstring failure = L"dialog " + quote(caption) + L": " + why + L" (answer from: " + answer.source + L")";
        script.asyncFailures.push_back(failure);
        writeLog(L"  FAIL: " + failure);
        dismiss(dialog);
    };
    switch (answer.kind) {
    case AnswerKind::Message: {
        HWND textWindow = GetDlgItem(dialog, kMessageText);
        std::wstring text = textWindow != nullptr ? windowText(textWindow) : std::wstring();
        writeLog(L"  dialog: message box caption=" + quote(caption) + L" text=" + quote(text) + L" -> " + answer.value);
        if (isFile || isFolder || textWindow == nullptr) return fail(L"not a message box");
        if (answer.hasCaption && caption != answer.expectCaption)
            return fail(L"caption is not " + quote(answer.expectCaption));
        if (answer.hasText && text != answer.expectText) return fail(L"text is not " + quote(answer.expectText));
        int id = buttonId(answer.value);
        if (GetDlgItem(dialog, id) == nullptr) return fail(L"it has no button " + answer.value);
        press(dialog, id);
        return;
    }
    case AnswerKind::File: {
        writeLog(L"  dialog: file dialog caption=" + quote(caption) + L" -> " + quote(answer.value));
        if (!isFile) return fail(L"not a file dialog");
        int id = GetDlgItem(dialog, kFileNameCombo) != nullptr ? kFileNameCombo : kFileNameEdit;
        SetDlgItemTextW(dialog, id, answer.value.c_str());
        press(dialog, IDOK);
        return;
    }
    case AnswerKind::Folder: {
        writeLog(L"  dialog: folder browser caption=" + quote(caption) + L" -> " + quote(answer.value));
        if (!isFolder) return fail(L"not a folder browser");
        SendMessageW(dialog, BFFM_SETSELECTION_W, TRUE, reinterpret_cast<LPARAM>(answer.value.c_str()));
        press(dialog, IDOK);
        return;
    }
    }
}

}  // namespace host
