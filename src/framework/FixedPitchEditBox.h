// A multi-line edit box in a fixed-pitch font with both scroll bars.
#pragma once

#include "base/Win32Handles.h"
#include "framework/Window.h"

#include <string>

class FixedPitchEditBox : public Window {
public:
    void attach(HINSTANCE instance, HWND parent) override;
    void destroy() override;
    // Makes the font again for the DPI the box now shows at.
    void refreshFont();

    void setText(const std::wstring& text);
    void getText(std::wstring& text) const;
    std::wstring text() const;
    void setReadOnly(bool readOnly);
    void enable(bool enabled);
    bool isEnabled() const;

private:
    win::Font font_;
};
