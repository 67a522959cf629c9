// The skin model in the editor: Go to definition and Find references for the
// name under the caret, a call tip saying what the name under a resting mouse
// is, and colour values of the current document underlined in their own
// colour. The model comes from the application's SkinModelHolder, which
// builds it on a worker; the document's unsaved text is handed to it as the
// author types.
#pragma once

#include "skin/SkinModel.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace editor {
class NppEditor;
}
namespace npp {
struct SCNotification;
}
namespace skin {
class SkinModelHolder;
}

namespace skineditor {

class ReferencesPanel;

class SkinNavigator {
public:
    // How long the mouse rests on a name before its call tip shows.
    static constexpr int kDwellMilliseconds = 500;

    SkinNavigator(const editor::NppEditor& editor, skin::SkinModelHolder& models, ReferencesPanel& panel);

    // After the editor is connected: the views report a resting mouse.
    void connected();
    // Whether a resting mouse shows a call tip (the menu's check mark).
    void setHover(bool on);
    bool hover() const { return hover_; }

    // NPPN_BUFFERACTIVATED.
    void documentActivated();
    // SCN_MODIFIED: the document's text is handed to the model at the next caret update.
    void textModified(const npp::SCNotification& notification);
    // SCN_UPDATEUI of a view.
    void viewUpdated(HWND view);
    // The holder brought a model up to date.
    void modelChanged();
    // SCN_DWELLSTART and SCN_DWELLEND.
    void dwellStarted(const npp::SCNotification& notification);
    void dwellEnded(const npp::SCNotification& notification);

    // The menu commands, for the name under the caret of the active view.
    void goToDefinition();
    void findReferences();

    // The editor's indicator number for colour values, -1 when none was given.
    int colourIndicator() const { return colourIndicator_; }

private:
    struct Spot;
    Spot spotAt(HWND view, std::intptr_t position, bool wait);
    // For a menu command: the name under the caret of the active view (its
    // text handed over first, its skin waited for); with no model or no name,
    // the call tip has said why.
    Spot spotAtCaret(HWND& view);
    void handOverText();
    void paintColours();
    void tell(HWND view, std::intptr_t at, const std::string& utf8) const;
    // Opens a file at a place and puts the caret there.
    void open(const skin::Location& at) const;
    // A control id under the caret: its control opened, or a list of them.
    void goToControl(HWND view, const Spot& spot);

    const editor::NppEditor& editor_;
    skin::SkinModelHolder& models_;
    ReferencesPanel& panel_;
    bool hover_ = true;
    bool indicatorAsked_ = false;
    int colourIndicator_ = -1;

    // The document shown in the active view, when it is a skin's file.
    HWND view_ = nullptr;
    std::uintptr_t document_ = 0;
    std::wstring folder_;
    std::wstring path_;
    bool textChanged_ = false;
    // The document was at its save point when last looked at: its file holds its text.
    bool clean_ = true;
    ULONGLONG lastSkinLook_ = 0;
    // The call tip a resting mouse showed, in this view (null for none).
    HWND tipView_ = nullptr;
};

}  // namespace skineditor
