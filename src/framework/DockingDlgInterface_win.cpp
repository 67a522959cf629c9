#include "framework/DockingDlgInterface.h"

#include "base/Module_win.h"
#include "framework/Dpi_win.h"
#include "framework/EditorShell.h"
#include "framework/framework_ids.h"

#include <cwchar>
#include <string>

DockingDlgInterface::DockingDlgInterface(int dialogResourceId, int commandIndex, const wchar_t* fallbackCaption)
    : dialogResourceId_(dialogResourceId), commandIndex_(commandIndex), fallbackCaption_(fallbackCaption) {
    // Registered without the bit that says the panel themes itself: the
    // editor themes the panel's standard controls.
    askEditorToTheme_ = false;
}

void DockingDlgInterface::attach(HINSTANCE instance, HWND parent) {
    StaticDialog::attach(instance, parent);
    std::wcsncpy(moduleName_, win::moduleFileName(instance).c_str(), MAX_PATH - 1);
}

void DockingDlgInterface::setMenuCheck(bool checked) {
    if (shell_ != nullptr) shell_->setCommandChecked(commandIndex_, checked);
}

void DockingDlgInterface::display(bool show) {
    if (shell_ != nullptr) shell_->showPanel(hwnd_, show);
    if (registration_ != nullptr) setMenuCheck(show);
}

void DockingDlgInterface::refreshDockInfo() {
    if (shell_ != nullptr) shell_->updatePanelInfo(hwnd_);
}

void DockingDlgInterface::registerWithHost() {
    if (!createDialog(dialogResourceId_, false, true)) return;
    ::GetWindowTextW(hwnd_, caption_, MAX_PATH);
    std::wstring translated;
    if (shell_ != nullptr && shell_->translateText(fallbackCaption_, translated, MAX_PATH)) {
        std::wcsncpy(caption_, translated.c_str(), MAX_PATH - 1);
    } else {
        std::wcsncpy(caption_, fallbackCaption_, MAX_PATH - 1);
    }
    caption_[MAX_PATH - 1] = L'\0';

    data_ = npp::tTbData{};
    data_.hClient = hwnd_;
    data_.pszName = caption_;
    data_.dlgID = commandIndex_;
    data_.uMask = npp::DWS_ICONTAB;
    // The host takes ownership of the icon.
    data_.hIconTab = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TAB_ICON), IMAGE_ICON, 0, 0,
                                                     LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
    data_.pszAddInfo = nullptr;
    data_.pszModuleName = moduleName_;
    if (shell_ != nullptr) shell_->registerPanel(data_);
    registration_ = &data_;
    onRegistered();
}

void DockingDlgInterface::showPanel() {
    if (!isCreated()) {
        registerWithHost();
        if (!isCreated()) return;
    }
    display(true);
    shown_ = true;
}

void DockingDlgInterface::hidePanel() {
    if (!isCreated()) return;
    display(false);
    shown_ = false;
}

INT_PTR DockingDlgInterface::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // A dialog procedure returns the brush itself.
        return reinterpret_cast<INT_PTR>(
            ui::darkControlColours(theme(), message, reinterpret_cast<HDC>(wParam), brushes_));
    case ui::kDpiChangedAfterParent:
        onDpiChanged();
        return TRUE;
    default:
        break;
    }
    if (message != WM_NOTIFY) return FALSE;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr || header->hwndFrom != parent_) return FALSE;
    switch (LOWORD(header->code)) {
    case npp::DMN_CLOSE:
        setMenuCheck(false);
        return TRUE;
    case npp::DMN_DOCK:
        floating_ = false;
        dockedPosition_ = HIWORD(header->code);
        return TRUE;
    case npp::DMN_FLOAT:
        floating_ = true;
        return TRUE;
    default:
        return FALSE;
    }
}
