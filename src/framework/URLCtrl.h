// Turns a static label into a hyperlink: underlined, coloured, hand cursor,
// opens its target (or its own text) with the shell.
#pragma once

#include "base/Win32Handles.h"
#include "framework/Theme_win.h"
#include "framework/Window.h"

#include <string>

class URLCtrl : public Window {
public:
    // Subclasses the existing label `label`; `target` may be empty (the label's text is then opened).
    void create(HWND label, const wchar_t* target);
    void destroy() override;

    const std::wstring& target() const { return target_; }
    COLORREF currentColour() const { return colour_; }
    // What a click opens.
    std::wstring linkTarget() const;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    std::wstring target_;
    win::Font font_;
    win::Cursor cursor_;
    ui::BrushCache brushes_;
    WNDPROC previous_ = nullptr;
    COLORREF colour_ = RGB(0, 0, 255);
    COLORREF visited_ = RGB(128, 0, 128);
    bool pressed_ = false;
};
