#include "framework/StaticDialog.h"

#include "framework/EditorShell.h"
#include "framework/Layout.h"
#include "framework/Theme_win.h"
#include "base/Win32Handles.h"

#include <cstring>
#include <new>

namespace {

constexpr DWORD kLayoutRtl = 0x400000;  // WS_EX_LAYOUTRTL

// A copy of the dialog template in movable global memory with the
// right-to-left layout bit set in its extended style.
win::GlobalMemory rightToLeftTemplate(HINSTANCE instance, int dialogId) {
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(dialogId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (resource == nullptr) return {};
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const DWORD size = ::SizeofResource(instance, resource);
    const void* source = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (source == nullptr || size < 16) return {};
    win::GlobalMemory copy(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!copy) return {};
    win::GlobalLock<unsigned char> bytes(copy.get());
    if (bytes.get() == nullptr) return {};
    std::memcpy(bytes.get(), source, size);
    WORD words[2];
    std::memcpy(words, bytes.get(), sizeof(words));
    // An extended template (DLGTEMPLATEEX) starts with version 1, signature 0xFFFF;
    // its exStyle follows helpID. A classic one has exStyle right after style.
    const std::size_t exStyleOffset = words[1] == 0xFFFF ? 8 : 4;
    DWORD exStyle = 0;
    std::memcpy(&exStyle, bytes.get() + exStyleOffset, sizeof(exStyle));
    exStyle |= kLayoutRtl;
    std::memcpy(bytes.get() + exStyleOffset, &exStyle, sizeof(exStyle));
    return copy;
}

layout::Rect toLayout(const RECT& rc) { return {rc.left, rc.top, rc.right, rc.bottom}; }

}  // namespace

StaticDialog::~StaticDialog() { unregisterAndDestroy(); }

void StaticDialog::unregisterAndDestroy() noexcept {
    if (hwnd_ == nullptr) return;
    if (registeredModeless_) {
        if (shell_ != nullptr) shell_->registerModeless(hwnd_, false);
        registeredModeless_ = false;
    }
    HWND window = hwnd_;
    hwnd_ = nullptr;
    if (::IsWindow(window)) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        ::DestroyWindow(window);
    }
}

void StaticDialog::destroy() { unregisterAndDestroy(); }

void StaticDialog::display(bool show) {
    if (show) keepOnScreen();
    Window::display(show);
}

void StaticDialog::keepOnScreen() {
    if (hwnd_ == nullptr) return;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rc{};
    ::GetWindowRect(hwnd_, &rc);
    layout::ScreenMetrics screen;
    screen.workArea = toLayout(work);
    screen.virtualLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    screen.virtualTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    screen.virtualWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.virtualHeight = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    screen.caption = ::GetSystemMetrics(SM_CYSMCAPTION);
    if (const auto moved = layout::keepOnScreen(toLayout(rc), screen)) {
        ::SetWindowPos(hwnd_, nullptr, moved->x, moved->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool StaticDialog::createDialog(int dialogId, bool rightToLeft, bool registerModeless) {
    if (rightToLeft) {
        win::GlobalMemory copy = rightToLeftTemplate(instance_, dialogId);
        if (copy) {
            win::GlobalLock<DLGTEMPLATE> tmpl(copy.get());
            ::CreateDialogIndirectParamW(instance_, tmpl.get(), parent_, sharedDialogProc,
                                         reinterpret_cast<LPARAM>(this));
        }
    } else {
        ::CreateDialogParamW(instance_, MAKEINTRESOURCEW(dialogId), parent_, sharedDialogProc,
                             reinterpret_cast<LPARAM>(this));
    }
    if (hwnd_ == nullptr) {
        const DWORD error = ::GetLastError();
        wchar_t* text = nullptr;
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        win::LocalMemory owner(text);
        ::MessageBoxW(parent_, text != nullptr ? text : L"The dialog could not be created.", L"StaticDialog",
                      MB_OK | MB_ICONERROR);
        return false;
    }
    if (registerModeless) {
        registeredModeless_ = true;
        if (shell_ != nullptr) shell_->registerModeless(hwnd_, true);
    }
    return true;
}

void StaticDialog::centreOnParent() {
    if (hwnd_ == nullptr) return;
    RECT parentClient{};
    ::GetClientRect(parent_, &parentClient);
    POINT centre{(parentClient.left + parentClient.right) / 2, (parentClient.top + parentClient.bottom) / 2};
    ::ClientToScreen(parent_, &centre);
    const int w = initialRect_.right - initialRect_.left;
    const int h = initialRect_.bottom - initialRect_.top;
    const layout::Point corner = layout::centredAt({centre.x, centre.y}, w, h);
    ::SetWindowPos(hwnd_, HWND_TOP, corner.x, corner.y, w, h, SWP_SHOWWINDOW);
}

void StaticDialog::themeChanged() {
    if (hwnd_ == nullptr) return;
    if (askEditorToTheme_ && shell_ != nullptr) shell_->themeDialog(hwnd_, true);
    ui::repaintAll(hwnd_);
}

INT_PTR CALLBACK StaticDialog::sharedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<StaticDialog*>(lParam);
            self->hwnd_ = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
            ::GetWindowRect(window, &self->initialRect_);
            self->dialogProc(message, wParam, lParam);
            if (self->askEditorToTheme_ && self->shell_ != nullptr) self->shell_->themeDialog(window, false);
            return TRUE;
        }
        auto* self = reinterpret_cast<StaticDialog*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self == nullptr) return FALSE;
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            const INT_PTR result = self->dialogProc(message, wParam, lParam);
            if (self->hwnd_ == window) self->hwnd_ = nullptr;
            return result;
        }
        return self->dialogProc(message, wParam, lParam);
    } catch (...) {
        // A fault in a dialog must never reach the editor's message loop.
        return FALSE;
    }
}
