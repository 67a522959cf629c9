// A panel that the host docks in its own frame. Created from its dialog
// resource on first show and registered with the host's docking manager;
// afterwards only shown and hidden (the host destroys it at exit).
#pragma once

#include "npp/NppInterface.h"
#include "framework/StaticDialog.h"
#include "framework/Theme_win.h"

#include <string>

class DockingDlgInterface : public StaticDialog {
public:
    // commandIndex: the panel's entry in the command table (the host's dialog id).
    DockingDlgInterface(int dialogResourceId, int commandIndex, const wchar_t* fallbackCaption);

    void attach(HINSTANCE instance, HWND parent) override;
    // Shows or hides through the host and updates the menu check mark.
    void display(bool show = true) override;
    void destroy() override {}

    // Shows the panel, creating and registering it with the host on first use.
    void showPanel();
    void hidePanel();

    bool markedShown() const { return shown_; }
    void markShown(bool shown) { shown_ = shown; }
    bool isFloating() const { return floating_; }
    int dockedContainer() const { return dockedPosition_; }
    bool isRegistered() const { return registration_ != nullptr; }
    const npp::tTbData* registration() const { return registration_; }
    const wchar_t* caption() const { return caption_; }
    int commandIndex() const { return commandIndex_; }

    void refreshDockInfo();
    virtual void releaseChildren() {}

protected:
    // Handles the host's docking notifications, the colours of the panel and
    // its direct children while the editor is dark, and a change of the
    // screen's scale; panels pass messages they do not handle on to it.
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Called once after the panel's window exists and is registered.
    virtual void onRegistered() {}
    // The panel now shows at another DPI: sizes and fonts are chosen afresh.
    virtual void onDpiChanged() {}

    ui::BrushCache brushes_;

private:
    void registerWithHost();
    void setMenuCheck(bool checked);

    npp::tTbData* registration_ = nullptr;
    int dialogResourceId_;
    bool floating_ = true;
    int dockedPosition_ = 0;
    wchar_t moduleName_[MAX_PATH] = {};
    wchar_t caption_[MAX_PATH] = {};

    npp::tTbData data_{};
    int commandIndex_;
    const wchar_t* fallbackCaption_;
    bool shown_ = false;
};
