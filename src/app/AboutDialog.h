// The About box: product, author, an e-mail link and the menu's commands.
#pragma once

#include "npp/NppInterface.h"
#include "framework/StaticDialog.h"
#include "framework/URLCtrl.h"

class AboutDialog : public StaticDialog {
public:
    ~AboutDialog() override;

    void init(HINSTANCE instance, HWND parent, const npp::NppData& npp);
    // The About command: creates the box on first use, then centres and shows it.
    void open();
    void destroy() override;

    const URLCtrl& emailLink() const { return emailLink_; }

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    npp::NppData npp_{};
    URLCtrl emailLink_;
};
