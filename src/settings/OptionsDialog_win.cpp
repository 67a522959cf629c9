#include "settings/OptionsDialog.h"

#include <commctrl.h>
#include <shlobj.h>

#include "framework/EditorShell.h"
#include "settings/SettingsStore.h"
#include "settings/settings_ids.h"
#include "base/Win32Handles.h"

namespace {

constexpr UINT_PTR kHoverSubclassId = 1;
constexpr int kDescriptionBufferSize = 512;

// Option controls tell the dialog when the mouse is over them: a hit test is
// the one message every control receives under the pointer, whatever it is.
LRESULT CALLBACK optionControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCHITTEST) {
        const int id = ::GetDlgCtrlID(window);
        ::SendMessageW(::GetParent(window), WM_COMMAND, MAKEWPARAM(id, OptionsDialog::kHoverNotification),
                       reinterpret_cast<LPARAM>(window));
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, optionControlProc, kHoverSubclassId);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

struct ItemIdListDeleter {
    void operator()(ITEMIDLIST* list) const noexcept { ::CoTaskMemFree(list); }
};

}  // namespace

void OptionsDialog::init(HINSTANCE instance, HWND parent, SettingsStore* store, const std::wstring& settingsPath) {
    attach(instance, parent);
    store_ = store;
    settingsPath_ = settingsPath;
}

void OptionsDialog::showOptions() {
    if (!isCreated()) {
        if (!createDialog(IDD_OPTIONS, false, true)) return;
        buildOptionTable();
        hookOptionControls();
    }
    loadValues();
    display(true);
    centreOnParent();
}

void OptionsDialog::buildOptionTable() {
    for (auto& option : options::standardOptions()) options_.push_back(std::move(option));
}

void OptionsDialog::hookOptionControls() {
    for (const auto& option : options_) {
        for (const int id : {option.controlId, option.secondaryId}) {
            if (id <= 0) continue;
            if (HWND control = ::GetDlgItem(hwnd_, id)) {
                ::SetWindowSubclass(control, optionControlProc, kHoverSubclassId, 0);
            }
        }
    }
}

void OptionsDialog::loadValues() {
    if (store_ == nullptr || hwnd_ == nullptr) return;
    for (const auto& option : options_) {
        if (option.kind == options::CheckBox) {
            ::CheckDlgButton(hwnd_, option.controlId,
                             options::isChecked(*store_, option) ? BST_CHECKED : BST_UNCHECKED);
        } else if (option.kind == options::ChoiceBox) {
            const HWND box = ::GetDlgItem(hwnd_, option.controlId);
            ::SendMessageW(box, CB_RESETCONTENT, 0, 0);
            for (const std::wstring& choice : option.choices)
                ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
            ::SendMessageW(box, CB_SETCURSEL, options::choiceIndex(*store_, option), 0);
        } else {
            ::SetDlgItemTextW(hwnd_, option.controlId, options::boxText(*store_, option).c_str());
        }
    }
}

void OptionsDialog::storeValues() {
    if (store_ == nullptr || hwnd_ == nullptr) return;
    for (const auto& option : options_) {
        if (option.kind == options::CheckBox) {
            options::storeChecked(*store_, option, ::IsDlgButtonChecked(hwnd_, option.controlId) == BST_CHECKED);
        } else if (option.kind == options::ChoiceBox) {
            const LRESULT chosen = ::SendDlgItemMessageW(hwnd_, option.controlId, CB_GETCURSEL, 0, 0);
            const bool valid = chosen >= 0 && static_cast<std::size_t>(chosen) < option.choices.size();
            options::storeText(*store_, option, valid ? option.choices[static_cast<std::size_t>(chosen)] : L"");
        } else {
            options::storeText(*store_, option, controlText(option.controlId));
        }
    }
}

std::wstring OptionsDialog::controlText(int controlId) const {
    HWND control = ::GetDlgItem(hwnd_, controlId);
    if (control == nullptr) return {};
    // The whole text, however long: a path cut short would point elsewhere.
    const int length = ::GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

INT_PTR OptionsDialog::dialogProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        if (shell_ != nullptr) shell_->translateDialog(hwnd_, L"Options");
        return TRUE;
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            if (id == IDOK) confirm();
            display(false);
            return TRUE;
        }
        onCommand(id, HIWORD(wParam));
        return FALSE;
    }
    case WM_MOUSEMOVE:
        setHovered(0);
        return FALSE;
    default:
        return FALSE;
    }
}

void OptionsDialog::onCommand(WORD controlId, WORD code) {
    if (code == kHoverNotification) {
        setHovered(controlId);
        return;
    }
    setHovered(0);
    if (controlId == IDC_OPTIONS_BROWSE_WGET && code == BN_CLICKED) browseForFolder(IDC_OPTIONS_WGET_PATH);
    if (controlId == IDC_OPTIONS_BROWSE_USER_DATA && code == BN_CLICKED) browseForFolder(IDC_OPTIONS_USER_DATA);
}

void OptionsDialog::confirm() {
    storeValues();
    // Written now rather than only at unload, so that a later crash of the
    // editor cannot take the confirmed values with it.
    if (store_ != nullptr && !settingsPath_.empty()) store_->save(settingsPath_);
}

void OptionsDialog::browseForFolder(int editId) {
    wchar_t displayName[MAX_PATH] = L"";
    BROWSEINFOW info{};
    // Owned by the dialog itself, so that it cannot be confirmed or closed
    // while the picker is still open.
    info.hwndOwner = hwnd_;
    info.pszDisplayName = displayName;
    info.lpszTitle = L"Select a folder:";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const std::unique_ptr<ITEMIDLIST, ItemIdListDeleter> chosen(::SHBrowseForFolderW(&info));
    if (!chosen) return;
    wchar_t path[MAX_PATH] = L"";
    if (::SHGetPathFromIDListW(chosen.get(), path)) ::SetDlgItemTextW(hwnd_, editId, path);
}

void OptionsDialog::setHovered(int controlId) {
    if (controlId == hovered_) return;
    hovered_ = controlId;
    std::wstring description;
    if (controlId != 0 && (shell_ == nullptr ||
                           !shell_->translateText(options::helpKey(controlId), description, kDescriptionBufferSize))) {
        const options::OptionDescriptor* option = options::findByControl(options_, controlId);
        description = option != nullptr ? option->description : std::wstring();
    }
    ::SetDlgItemTextW(hwnd_, IDC_OPTIONS_DESCRIPTION, description.c_str());
}
