#include "editor/NppEditor_win.h"

#include "base/Module_win.h"

#include <cstring>
#include <cwchar>

namespace editor {

namespace {

// Scintilla's SCI_GETMODIFY: whether the document is away from its save point.
constexpr unsigned kSciGetModify = 2159;

}  // namespace

void NppEditor::connect(HINSTANCE module, const npp::NppData& data) {
    module_ = module;
    npp_ = data;
    moduleName_ = win::moduleFileName(module);
    const HWND views[2] = {data.scintillaMainHandle, data.scintillaSecondHandle};
    for (int i = 0; i < 2; ++i) {
        ViewHook& hook = views_[i];
        hook.view = views[i];
        hook.fn = views[i] == nullptr
                      ? nullptr
                      : reinterpret_cast<npp::SciFnDirect>(::SendMessageW(views[i], npp::SCI_GETDIRECTFUNCTION, 0, 0));
        hook.ptr = views[i] == nullptr
                       ? 0
                       : static_cast<std::intptr_t>(::SendMessageW(views[i], npp::SCI_GETDIRECTPOINTER, 0, 0));
    }
    configFolder_.clear();
    if (data.nppHandle == nullptr) return;
    wchar_t folder[MAX_PATH] = {};
    toHost(npp::NPPM_GETPLUGINSCONFIGDIR, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    folder[MAX_PATH - 1] = L'\0';
    configFolder_ = folder;
    if (!configFolder_.empty() && ::GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) {
        ::CreateDirectoryW(folder, nullptr);
    }
}

void NppEditor::setCommands(npp::FuncItem* commands, int count) {
    commands_ = commands;
    commandCount_ = commands == nullptr ? 0 : count;
}

LRESULT NppEditor::toHost(UINT message, WPARAM wParam, LPARAM lParam) const {
    return npp_.nppHandle == nullptr ? 0 : ::SendMessageW(npp_.nppHandle, message, wParam, lParam);
}

HWND NppEditor::activeView() const {
    int which = -1;
    toHost(npp::NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&which));
    return which == 0 ? npp_.scintillaMainHandle : npp_.scintillaSecondHandle;
}

std::intptr_t NppEditor::sendToView(HWND view, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) const {
    if (view == nullptr) return 0;
    for (const ViewHook& hook : views_) {
        if (hook.view == view && hook.fn != nullptr) return hook.fn(hook.ptr, message, wParam, lParam);
    }
    return static_cast<std::intptr_t>(
        ::SendMessageW(view, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
}

std::string NppEditor::textRange(HWND view, std::intptr_t from, std::intptr_t to) const {
    if (view == nullptr || from < 0 || to <= from) return {};
    // The view writes the range and a terminating zero.
    std::string buffer(static_cast<std::size_t>(to - from) + 1, '\0');
    std::intptr_t copied = 0;
    if constexpr (sizeof(void*) == 8) {
        // The classic record's bounds are `long` in some Scintillas (4 bytes
        // on x64) and pointer-sized in others; the full record is one layout.
        npp::Sci_TextRangeFull range{from, to, buffer.data()};
        copied = sendToView(view, npp::SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<std::intptr_t>(&range));
    } else {
        npp::Sci_TextRange range{from, to, buffer.data()};
        copied = sendToView(view, npp::SCI_GETTEXTRANGE, 0, reinterpret_cast<std::intptr_t>(&range));
    }
    if (copied <= 0) return {};
    const auto length = static_cast<std::size_t>(copied);
    buffer.resize(length < buffer.size() ? length : buffer.size() - 1);
    return buffer;
}

std::optional<std::string> NppEditor::findInLine(HWND view, std::intptr_t line, const std::string& pattern) const {
    if (view == nullptr || line < 0) return std::nullopt;
    const std::intptr_t start = sendToView(view, npp::SCI_POSITIONFROMLINE, static_cast<std::uintptr_t>(line));
    const std::intptr_t end = sendToView(view, npp::SCI_GETLINEENDPOSITION, static_cast<std::uintptr_t>(line));
    if (start < 0 || end <= start) return std::nullopt;
    sendToView(view, npp::SCI_SETSEARCHFLAGS, npp::SCFIND_REGEXP | npp::SCFIND_POSIX);
    sendToView(view, npp::SCI_SETTARGETSTART, static_cast<std::uintptr_t>(start));
    sendToView(view, npp::SCI_SETTARGETEND, static_cast<std::uintptr_t>(end));
    if (sendToView(view, npp::SCI_SEARCHINTARGET, pattern.size(), reinterpret_cast<std::intptr_t>(pattern.c_str())) <
        0) {
        return std::nullopt;
    }
    const std::intptr_t matchStart = sendToView(view, npp::SCI_GETTARGETSTART);
    const std::intptr_t matchEnd = sendToView(view, npp::SCI_GETTARGETEND);
    std::string bytes = textRange(view, matchStart, matchEnd);
    bytes.resize(std::strlen(bytes.c_str()));
    return bytes;
}

void NppEditor::select(HWND view, std::intptr_t from, std::intptr_t to) const {
    sendToView(view, npp::SCI_SETSELECTIONSTART, static_cast<std::uintptr_t>(from));
    sendToView(view, npp::SCI_SETSELECTIONEND, static_cast<std::uintptr_t>(to));
}

std::uintptr_t NppEditor::documentOf(HWND view) const {
    return static_cast<std::uintptr_t>(sendToView(view, npp::SCI_GETDOCPOINTER));
}

std::intptr_t NppEditor::lineCount(HWND view) const { return sendToView(view, npp::SCI_GETLINECOUNT); }

std::intptr_t NppEditor::lineStart(HWND view, std::intptr_t line) const {
    return sendToView(view, npp::SCI_POSITIONFROMLINE, static_cast<std::uintptr_t>(line));
}

std::intptr_t NppEditor::lineEnd(HWND view, std::intptr_t line) const {
    return sendToView(view, npp::SCI_GETLINEENDPOSITION, static_cast<std::uintptr_t>(line));
}

std::intptr_t NppEditor::lineFromPosition(HWND view, std::intptr_t position) const {
    return sendToView(view, npp::SCI_LINEFROMPOSITION, static_cast<std::uintptr_t>(position));
}

std::intptr_t NppEditor::caretPosition(HWND view) const { return sendToView(view, npp::SCI_GETCURRENTPOS); }

int NppEditor::allocateIndicator() const {
    int first = -1;
    if (toHost(npp::NPPM_ALLOCATEINDICATOR, 1, reinterpret_cast<LPARAM>(&first)) == FALSE) return -1;
    return first;
}

void NppEditor::styleSquiggle(int indicator, COLORREF colour) const {
    if (indicator < 0) return;
    for (const ViewHook& hook : views_) {
        sendToView(hook.view, npp::SCI_INDICSETSTYLE, static_cast<std::uintptr_t>(indicator), npp::INDIC_SQUIGGLE);
        sendToView(hook.view, npp::SCI_INDICSETFORE, static_cast<std::uintptr_t>(indicator),
                   static_cast<std::intptr_t>(colour));
    }
}

void NppEditor::fillIndicator(HWND view, int indicator, std::intptr_t from, std::intptr_t length) const {
    if (indicator < 0 || length <= 0) return;
    sendToView(view, npp::SCI_SETINDICATORCURRENT, static_cast<std::uintptr_t>(indicator));
    sendToView(view, npp::SCI_INDICATORFILLRANGE, static_cast<std::uintptr_t>(from), length);
}

void NppEditor::clearIndicator(HWND view, int indicator, std::intptr_t from, std::intptr_t length) const {
    if (indicator < 0 || length <= 0) return;
    sendToView(view, npp::SCI_SETINDICATORCURRENT, static_cast<std::uintptr_t>(indicator));
    sendToView(view, npp::SCI_INDICATORCLEARRANGE, static_cast<std::uintptr_t>(from), length);
}

void NppEditor::styleColourUnderline(int indicator) const {
    if (indicator < 0) return;
    for (const ViewHook& hook : views_) {
        sendToView(hook.view, npp::SCI_INDICSETSTYLE, static_cast<std::uintptr_t>(indicator),
                   npp::INDIC_COMPOSITIONTHICK);
        sendToView(hook.view, npp::SCI_INDICSETFLAGS, static_cast<std::uintptr_t>(indicator),
                   npp::SC_INDICFLAG_VALUEFORE);
    }
}

void NppEditor::fillIndicatorColour(HWND view, int indicator, COLORREF colour, std::intptr_t from,
                                    std::intptr_t length) const {
    if (indicator < 0 || length <= 0) return;
    sendToView(view, npp::SCI_SETINDICATORCURRENT, static_cast<std::uintptr_t>(indicator));
    sendToView(view, npp::SCI_SETINDICATORVALUE,
               static_cast<std::uintptr_t>(npp::SC_INDICVALUEBIT | (colour & 0xFFFFFF)));
    sendToView(view, npp::SCI_INDICATORFILLRANGE, static_cast<std::uintptr_t>(from), length);
}

void NppEditor::setDwellTime(int milliseconds) const {
    for (const ViewHook& hook : views_) {
        sendToView(hook.view, npp::SCI_SETMOUSEDWELLTIME, static_cast<std::uintptr_t>(milliseconds));
    }
}

void NppEditor::showCallTip(HWND view, std::intptr_t at, const std::string& text) const {
    sendToView(view, npp::SCI_CALLTIPSHOW, static_cast<std::uintptr_t>(at),
               reinterpret_cast<std::intptr_t>(text.c_str()));
}

void NppEditor::cancelCallTip(HWND view) const { sendToView(view, npp::SCI_CALLTIPCANCEL); }

bool NppEditor::callTipShown(HWND view) const { return sendToView(view, npp::SCI_CALLTIPACTIVE) != 0; }

std::string NppEditor::documentText(HWND view) const {
    return textRange(view, 0, sendToView(view, npp::SCI_GETLENGTH));
}

void NppEditor::showCompletionList(HWND view, std::intptr_t typedLength, const std::string& items, char separator) {
    if (savedCompletion_.view != view) {
        restoreCompletionSettings();
        savedCompletion_ = {view,
                            sendToView(view, npp::SCI_AUTOCGETSEPARATOR),
                            sendToView(view, npp::SCI_AUTOCGETTYPESEPARATOR),
                            sendToView(view, npp::SCI_AUTOCGETIGNORECASE),
                            sendToView(view, npp::SCI_AUTOCGETAUTOHIDE),
                            sendToView(view, npp::SCI_AUTOCGETORDER)};
    }
    sendToView(view, npp::SCI_AUTOCSETSEPARATOR, static_cast<unsigned char>(separator));
    // A type mark no item holds: a '?' (the default mark) may stand in a name.
    sendToView(view, npp::SCI_AUTOCSETTYPESEPARATOR, 0x1F);
    sendToView(view, npp::SCI_AUTOCSETIGNORECASE, 1);
    sendToView(view, npp::SCI_AUTOCSETAUTOHIDE, 1);
    sendToView(view, npp::SCI_AUTOCSETORDER, npp::SC_ORDER_CUSTOM);
    sendToView(view, npp::SCI_AUTOCSHOW, static_cast<std::uintptr_t>(typedLength),
               reinterpret_cast<std::intptr_t>(items.c_str()));
}

bool NppEditor::completionListShown(HWND view) const { return sendToView(view, npp::SCI_AUTOCACTIVE) != 0; }

void NppEditor::cancelCompletionList(HWND view) const { sendToView(view, npp::SCI_AUTOCCANCEL); }

void NppEditor::restoreCompletionSettings() {
    const CompletionSettings saved = savedCompletion_;
    savedCompletion_ = {};
    if (saved.view == nullptr) return;
    sendToView(saved.view, npp::SCI_AUTOCSETSEPARATOR, static_cast<std::uintptr_t>(saved.separator));
    sendToView(saved.view, npp::SCI_AUTOCSETTYPESEPARATOR, static_cast<std::uintptr_t>(saved.typeSeparator));
    sendToView(saved.view, npp::SCI_AUTOCSETIGNORECASE, static_cast<std::uintptr_t>(saved.ignoreCase));
    sendToView(saved.view, npp::SCI_AUTOCSETAUTOHIDE, static_cast<std::uintptr_t>(saved.autoHide));
    sendToView(saved.view, npp::SCI_AUTOCSETORDER, static_cast<std::uintptr_t>(saved.order));
}

void NppEditor::replaceText(HWND view, std::intptr_t from, std::intptr_t to, const std::string& text,
                            std::intptr_t caret) const {
    sendToView(view, npp::SCI_SETTARGETRANGE, static_cast<std::uintptr_t>(from), to);
    sendToView(view, npp::SCI_REPLACETARGET, text.size(), reinterpret_cast<std::intptr_t>(text.c_str()));
    sendToView(view, npp::SCI_GOTOPOS, static_cast<std::uintptr_t>(caret));
}

bool NppEditor::openAtLine(const std::wstring& path, std::intptr_t line) const {
    if (toHost(npp::NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(path.c_str())) == FALSE) return false;
    sendToView(activeView(), npp::SCI_GOTOLINE, static_cast<std::uintptr_t>(line < 0 ? 0 : line));
    return true;
}

unsigned NppEditor::codePage(HWND view) const { return static_cast<unsigned>(sendToView(view, npp::SCI_GETCODEPAGE)); }

std::intptr_t NppEditor::caretLine() const {
    if (npp_.nppHandle == nullptr) return -1;
    return static_cast<std::intptr_t>(toHost(npp::NPPM_GETCURRENTLINE));
}

std::wstring NppEditor::currentDirectory() const {
    wchar_t folder[MAX_PATH] = {};
    toHost(npp::NPPM_GETCURRENTDIRECTORY, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    folder[MAX_PATH - 1] = L'\0';
    return folder;
}

std::wstring NppEditor::currentFileName() const {
    wchar_t name[MAX_PATH] = {};
    toHost(npp::NPPM_GETFILENAME, MAX_PATH, reinterpret_cast<LPARAM>(name));
    name[MAX_PATH - 1] = L'\0';
    return name;
}

std::wstring NppEditor::currentPath() const {
    const std::wstring folder = currentDirectory();
    const std::wstring name = currentFileName();
    if (folder.empty() || name.empty()) return {};
    return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

bool NppEditor::isModified(HWND view) const { return sendToView(view, kSciGetModify) != 0; }

std::wstring NppEditor::pathOfBuffer(std::uintptr_t bufferId) const {
    // The editor copies the whole path without a bound: ask for its length first.
    const LRESULT length = toHost(npp::NPPM_GETFULLPATHFROMBUFFERID, bufferId, 0);
    if (length <= 0) return {};
    std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
    toHost(npp::NPPM_GETFULLPATHFROMBUFFERID, bufferId, reinterpret_cast<LPARAM>(path.data()));
    path.resize(std::wcslen(path.c_str()));
    return path;
}

int NppEditor::commandId(int commandIndex) const {
    if (commands_ == nullptr || commandIndex < 0 || commandIndex >= commandCount_) return 0;
    return commands_[commandIndex].cmdID;
}

bool NppEditor::isCommandChecked(int commandIndex) const {
    HMENU menu = ::GetMenu(npp_.nppHandle);
    const int id = commandId(commandIndex);
    if (menu == nullptr || id == 0) return false;
    const UINT state = ::GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

bool NppEditor::isDarkMode() const { return toHost(npp::NPPM_ISDARKMODEENABLED) != FALSE; }

std::optional<ui::Palette> NppEditor::darkModeColours() const {
    npp::DarkModeColors record{};
    if (toHost(npp::NPPM_GETDARKMODECOLORS, sizeof(record), reinterpret_cast<LPARAM>(&record)) == FALSE) {
        return std::nullopt;
    }
    ui::Palette palette;
    palette.background = record.background;
    palette.softerBackground = record.softerBackground;
    palette.hotBackground = record.hotBackground;
    palette.pureBackground = record.pureBackground;
    palette.errorBackground = record.errorBackground;
    palette.text = record.text;
    palette.darkerText = record.darkerText;
    palette.disabledText = record.disabledText;
    palette.linkText = record.linkText;
    palette.edge = record.edge;
    palette.hotEdge = record.hotEdge;
    palette.disabledEdge = record.disabledEdge;
    return palette;
}

ui::Theme NppEditor::currentTheme() const {
    // An editor that is dark but keeps its colours to itself leaves the plugin light.
    return ui::Theme(isDarkMode() ? darkModeColours() : std::nullopt);
}

void NppEditor::themeDialog(HWND dialog, bool modeChanged) {
    if (dialog == nullptr) return;
    toHost(npp::NPPM_DARKMODESUBCLASSANDTHEME, modeChanged ? npp::DARKMODE_CHANGED : npp::DARKMODE_INIT,
           reinterpret_cast<LPARAM>(dialog));
}

void NppEditor::registerModeless(HWND dialog, bool add) {
    toHost(npp::NPPM_MODELESSDIALOG, add ? npp::MODELESSDIALOGADD : npp::MODELESSDIALOGREMOVE,
           reinterpret_cast<LPARAM>(dialog));
}

void NppEditor::registerPanel(npp::tTbData& data) {
    toHost(npp::NPPM_DMMREGASDCKDLG, 0, reinterpret_cast<LPARAM>(&data));
}

void NppEditor::showPanel(HWND panel, bool show) {
    toHost(show ? npp::NPPM_DMMSHOW : npp::NPPM_DMMHIDE, 0, reinterpret_cast<LPARAM>(panel));
}

void NppEditor::updatePanelInfo(HWND panel) { toHost(npp::NPPM_DMMUPDATEDISPINFO, 0, reinterpret_cast<LPARAM>(panel)); }

void NppEditor::setCommandChecked(int commandIndex, bool checked) {
    const int id = commandId(commandIndex);
    if (id != 0) toHost(npp::NPPM_SETMENUITEMCHECK, static_cast<WPARAM>(id), checked ? TRUE : FALSE);
}

}  // namespace editor
