#include "app/AboutDialog.h"

#include "framework/EditorShell.h"
#include "app/about_ids.h"

namespace {
constexpr wchar_t kAuthorAddress[] = L"mailto:quorrel@example.org";
}

AboutDialog::~AboutDialog() {
    // The link's procedure points at this object: give the label back its own
    // before the base class destroys the window.
    emailLink_.destroy();
}

void AboutDialog::init(HINSTANCE instance, HWND parent, const npp::NppData& npp) {
    attach(instance, parent);
    npp_ = npp;
}

void AboutDialog::open() {
    if (!isCreated() && !createDialog(IDD_ABOUT, false, true)) return;
    centreOnParent();
    display(true);
}

void AboutDialog::destroy() {
    emailLink_.destroy();
    StaticDialog::destroy();
}

INT_PTR AboutDialog::dialogProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        emailLink_.setTheme(theme_);
        emailLink_.create(::GetDlgItem(hwnd_, IDC_ABOUT_EMAIL), kAuthorAddress);
        if (shell_ != nullptr) shell_->translateDialog(hwnd_, L"About");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            display(false);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
