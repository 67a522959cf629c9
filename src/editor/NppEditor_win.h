// The one seam to the editor: its window and views, the caret line, the current
// document's folder and name, the configuration folder, the plugin's menu
// items, translations through the localisation plugin, and the messages the
// window framework needs (EditorShell). Only this folder sends the editor's
// and Scintilla's messages. The application object owns the one instance and
// hands it to whatever needs the editor; an unconnected instance answers
// nothing and sends nothing.
#pragma once

#include "framework/EditorShell.h"
#include "framework/Theme.h"
#include "npp/NppInterface.h"

#include <cstdint>
#include <optional>
#include <string>

namespace editor {

class NppEditor : public EditorShell {
public:
    // Remembers the editor's handles (from setInfo) and the views' direct-call
    // functions; the module is the plugin's own.
    void connect(HINSTANCE module, const npp::NppData& data);
    // The command table the editor holds a pointer to (its ids are the editor's).
    void setCommands(npp::FuncItem* commands, int count);

    HINSTANCE module() const { return module_; }
    const npp::NppData& handles() const { return npp_; }
    HWND hostWindow() const { return npp_.nppHandle; }
    bool connected() const { return npp_.nppHandle != nullptr; }

    // The editing view the editor has active now (NPPM_GETCURRENTSCINTILLA).
    HWND activeView() const;
    // The view the panels address: the active view when a panel was last toggled.
    HWND recordedView() const { return recordedView_; }
    void recordActiveView() { recordedView_ = activeView(); }
    void setRecordedView(HWND view) { recordedView_ = view; }

    // A Scintilla message to a view, through its direct-call function when known.
    std::intptr_t sendToView(HWND view, unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) const;
    // The bytes [from, to) of a view's document.
    std::string textRange(HWND view, std::intptr_t from, std::intptr_t to) const;
    // The first match of an ECMAScript pattern in a line of a view (the
    // editor's own regular-expression engine), as the document's bytes.
    std::optional<std::string> findInLine(HWND view, std::intptr_t line, const std::string& pattern) const;
    unsigned codePage(HWND view) const;

    // The caret's zero-based line in the active view, -1 when not connected.
    std::intptr_t caretLine() const;
    // The current document's folder and file name (NPPM_GETCURRENTDIRECTORY / NPPM_GETFILENAME).
    std::wstring currentDirectory() const;
    std::wstring currentFileName() const;
    // Both together; empty for a document never saved.
    std::wstring currentPath() const;
    // The whole text of a view's document, as its bytes.
    std::string documentText(HWND view) const;
    // Whether the view's document differs from its file (it is not at its save point).
    bool isModified(HWND view) const;
    // The full path of a document by the editor's buffer id (as file-saved
    // notifications carry it); empty for an id the editor does not know.
    std::wstring pathOfBuffer(std::uintptr_t bufferId) const;
    // The plugin configuration folder the editor names (created when missing), asked once at connect.
    const std::wstring& configFolder() const { return configFolder_; }

    // The editor's id of a command-table entry (0 before the editor assigned ids).
    int commandId(int commandIndex) const;
    // Whether the menu item of a command-table entry carries a check mark.
    bool isCommandChecked(int commandIndex) const;

    // Translations (the localisation plugin "NativeLang.dll"; without it nothing answers).
    // Asks for the plugin's menu (named `menuName` in the editor's Plugins menu) to be translated.
    void translateMenu(const wchar_t* menuName) const;
    // Selects a range of a view (the editor's selection, not a target).
    void select(HWND view, std::intptr_t from, std::intptr_t to) const;

    // The editor's dark mode (NPPM_ISDARKMODEENABLED) and its dark colours
    // (NPPM_GETDARKMODECOLORS; nothing when the editor does not hand them out).
    bool isDarkMode() const;
    std::optional<ui::Palette> darkModeColours() const;
    // What the plugin paints with now: the dark colours while the editor is dark.
    ui::Theme currentTheme() const;

    // A view's document: which one it shows, its lines and the caret.
    std::uintptr_t documentOf(HWND view) const;
    std::intptr_t lineCount(HWND view) const;
    std::intptr_t lineStart(HWND view, std::intptr_t line) const;
    // Before the line's end characters.
    std::intptr_t lineEnd(HWND view, std::intptr_t line) const;
    std::intptr_t lineFromPosition(HWND view, std::intptr_t position) const;
    std::intptr_t caretPosition(HWND view) const;

    // Marks on the text. An indicator number is the editor's to give
    // (NPPM_ALLOCATEINDICATOR): -1 when it refuses, and then no indicator may
    // be used, since any other number may belong to another plugin.
    int allocateIndicator() const;
    // Draws the indicator as a squiggle of the colour in both views.
    void styleSquiggle(int indicator, COLORREF colour) const;
    void fillIndicator(HWND view, int indicator, std::intptr_t from, std::intptr_t length) const;
    void clearIndicator(HWND view, int indicator, std::intptr_t from, std::intptr_t length) const;
    // Draws the indicator as an underline in the colour each range carries (SC_INDICFLAG_VALUEFORE).
    void styleColourUnderline(int indicator) const;
    void fillIndicatorColour(HWND view, int indicator, COLORREF colour, std::intptr_t from, std::intptr_t length) const;
    // Hover: how long the mouse must rest before the views report it (SCN_DWELLSTART).
    void setDwellTime(int milliseconds) const;
    // A call tip (text in the document's code page, lines split by '\n').
    void showCallTip(HWND view, std::intptr_t at, const std::string& text) const;
    void cancelCallTip(HWND view) const;
    bool callTipShown(HWND view) const;

    // Scintilla's autocompletion list: `items` split by `separator`, shown in
    // the given order with letter case ignored and hidden when nothing
    // matches; `typedLength` bytes before the caret are taken as typed. The
    // view's own list settings are kept and put back by
    // restoreCompletionSettings, so the editor's own completion is unchanged.
    void showCompletionList(HWND view, std::intptr_t typedLength, const std::string& items, char separator);
    bool completionListShown(HWND view) const;
    void cancelCompletionList(HWND view) const;
    void restoreCompletionSettings();
    // Replaces [from, to) of a view's document and puts the caret at `caret`.
    void replaceText(HWND view, std::intptr_t from, std::intptr_t to, const std::string& text,
                     std::intptr_t caret) const;

    // Opens a file (or shows it when open, NPPM_DOOPEN) and puts the caret at
    // the start of a zero-based line of it; false when the editor refused.
    bool openAtLine(const std::wstring& path, std::intptr_t line) const;

    // EditorShell
    void registerModeless(HWND dialog, bool add) override;
    void registerPanel(npp::tTbData& data) override;
    void showPanel(HWND panel, bool show) override;
    void updatePanelInfo(HWND panel) override;
    void setCommandChecked(int commandIndex, bool checked) override;
    bool translateText(const std::wstring& key, std::wstring& out, int bufferSize) override;
    void translateDialog(HWND dialog, const wchar_t* name) override;
    void themeDialog(HWND dialog, bool modeChanged) override;

private:
    struct ViewHook {
        HWND view = nullptr;
        npp::SciFnDirect fn = nullptr;
        std::intptr_t ptr = 0;
    };

    LRESULT toHost(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // A view's list settings before the plugin's list changed them.
    struct CompletionSettings {
        HWND view = nullptr;
        std::intptr_t separator = 0, typeSeparator = 0, ignoreCase = 0, autoHide = 0, order = 0;
    };
    CompletionSettings savedCompletion_;
    void sendToLocalisation(long code, void* record) const;

    npp::NppData npp_{};
    HINSTANCE module_ = nullptr;
    HWND recordedView_ = nullptr;
    ViewHook views_[2]{};
    std::wstring configFolder_;
    std::wstring moduleName_;
    npp::FuncItem* commands_ = nullptr;
    int commandCount_ = 0;
};

}  // namespace editor
