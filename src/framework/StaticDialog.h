// A dialog made from a dialog resource, optionally registered with the host as
// modeless (so that Tab and the clipboard keys work in it).
#pragma once

#include "framework/Window.h"

class EditorShell;

class StaticDialog : public Window {
public:
    ~StaticDialog() override;

    void destroy() override;
    // Showing first keeps the dialog on the screen.
    void display(bool show = true) override;

    bool createDialog(int dialogId, bool rightToLeft = false, bool registerModeless = true);
    bool isCreated() const { return hwnd_ != nullptr; }
    // The editor that registers the dialog and its panel; null asks nothing of any editor.
    void setShell(EditorShell* shell) { shell_ = shell; }
    EditorShell* shell() const { return shell_; }
    // Places the dialog, at the size it had when created, centred over the parent's client area.
    void centreOnParent();

    // The editor switched between dark and light (the theme already holds the
    // new colours): the dialog asks the editor to theme it again and repaints.
    virtual void themeChanged();

protected:
    EditorShell* shell_ = nullptr;
    // A dialog asks the editor to theme its controls when they exist and on
    // every switch; a docking panel leaves that to the docking manager.
    bool askEditorToTheme_ = true;

    virtual INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    static INT_PTR CALLBACK sharedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void keepOnScreen();
    void unregisterAndDestroy() noexcept;

    RECT initialRect_{};
    bool registeredModeless_ = false;
};
