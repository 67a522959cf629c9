// Inside of the stand-in editor, shared by its translation units. The state is
// grouped by concern; each group's code lives in the file named beside it.
#pragma once

#include "Host.h"
#include "base/Win32Handles.h"

#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace host {

// Scintilla messages the host itself sends (beyond those in NppInterface.h).
namespace sci {
constexpr UINT SetUndoCollection = 2012;
constexpr UINT GotoLine = 2024;
constexpr UINT FindText = 2150;
constexpr UINT FindTextFull = 2196;
constexpr UINT GetDocPointer = 2357;
constexpr UINT SetDocPointer = 2358;
constexpr UINT SearchNext = 2367;
constexpr UINT SearchPrev = 2368;
constexpr UINT CreateDocument = 2375;
constexpr UINT AddRefDocument = 2376;
constexpr UINT ReleaseDocument = 2377;
constexpr UINT FindColumn = 2456;
constexpr UINT GetColumn = 2129;
constexpr UINT SetPasteConvertEndings = 2467;
constexpr UINT GetLine = 2153;
constexpr UINT LineLength = 2350;
}  // namespace sci

// ---------------------------------------------------------------------------
// The main window, its menus and the two views (Frame.cpp).

struct FrameState {
    HINSTANCE instance = nullptr;
    HMODULE scintilla = nullptr;  // never unloaded (see Host::Impl::shutdown)
    HWND main = nullptr;
    HWND views[2] = {nullptr, nullptr};
    int currentView = 0;
    HMENU menuBar = nullptr;  // destroyed with the main window
    HMENU pluginsMenu = nullptr;
    bool oleInitialised = false;
    bool running = false;  // inside run(), the interactive loop
    bool shutDown = false;
};

// ---------------------------------------------------------------------------
// Plugins and their menus (Plugins.cpp).

using IsUnicodeFn = BOOL(__cdecl*)();
using GetNameFn = const wchar_t*(__cdecl*)();
using SetInfoFn = void(__cdecl*)(npp::NppData);
using GetFuncsArrayFn = npp::FuncItem*(__cdecl*)(int*);
using BeNotifiedFn = void(__cdecl*)(npp::SCNotification*);
using MessageProcFn = LRESULT(__cdecl*)(UINT, WPARAM, LPARAM);

struct Plugin {
    std::wstring folder;    // <Name>
    std::wstring path;      // full path of the DLL
    std::wstring fileName;  // <Name>.dll, as NPPM_MSGTOPLUGIN names it
    win::Library module;    // freed by Host::Impl::unload or, failing that, here
    BeNotifiedFn beNotified = nullptr;
    MessageProcFn messageProc = nullptr;
    std::wstring menuName;
    npp::FuncItem* items = nullptr;  // the plugin's own array
    int count = 0;
    HMENU submenu = nullptr;  // part of the Plugins menu
};

struct PluginState {
    std::wstring root;          // <Name>\<Name>.dll below it
    std::wstring configFolder;  // NPPM_GETPLUGINSCONFIGDIR
    std::vector<std::unique_ptr<Plugin>> loaded;
    std::vector<std::wstring> refused;
    std::vector<std::wstring> trace;
    int nextCommandId = 22000;
    win::AcceleratorTable accelerators;
};

// ---------------------------------------------------------------------------
// Documents (Documents.cpp).

enum class Encoding { Ansi, Utf8, Utf8Bom, Ucs2Be, Ucs2Le };
bool isUnicodeEncoding(Encoding e);
const wchar_t* encodingName(Encoding e);

struct Document {
    std::wstring path;
    std::intptr_t docPointer = 0;  // Scintilla document (one reference held by the host)
    Encoding encoding = Encoding::Utf8;
    int eolMode = 0;
    UINT_PTR bufferId = 0;
};

struct DocumentState {
    std::vector<std::unique_ptr<Document>> open;
    Document* shown[2] = {nullptr, nullptr};  // per view
    UINT_PTR nextBufferId = 1;
};

// What a file's bytes say about how to show them.
struct DecodedFile {
    std::string text;  // bytes for Scintilla (UTF-8 for Unicode files)
    Encoding encoding = Encoding::Utf8;
    int codePage = 65001;
    int eolMode = 0;
};
DecodedFile decodeFile(const std::string& bytes);
std::string encodeDocument(const std::string& sciBytes, Encoding encoding);

// ---------------------------------------------------------------------------
// Docking (Docking.cpp).

struct Panel {
    npp::tTbData data{};   // the plugin's record, copied (its strings are not)
    win::Icon tabIcon;     // data.hIconTab: the host owns it
    std::wstring plugin;   // folder of the plugin that registered it
    int container = 0;     // 0-3 docked, 4 floating
    HWND frame = nullptr;  // a child of a container, or a floating window owned by the main window
    HWND closeButton = nullptr;
    bool shown = false;
};

struct DockingState {
    HWND containers[4] = {nullptr, nullptr, nullptr, nullptr};  // left, right, top, bottom
    std::vector<std::unique_ptr<Panel>> panels;
    std::vector<HWND> modeless;  // NPPM_MODELESSDIALOG
};

// ---------------------------------------------------------------------------
// The editor messages plugins send (EditorMessages.cpp).

// What plugins asked of the editor, kept for tests to read back.
struct Records {
    std::vector<PluginMessage> messages;
    std::vector<DockingRegistration> registrations;
    std::vector<MenuCheck> checks;
    std::vector<Notification> notifications;
    std::vector<ThemeRequest> themeRequests;
    std::vector<IndicatorAllocation> indicatorAllocations;
    std::vector<std::string> callTips;  // SCI_CALLTIPSHOW texts, as the views got them
};

struct DarkModeState {
    bool enabled = false;
};
npp::DarkModeColors darkColours();  // what NPPM_GETDARKMODECOLORS hands out

// Indicators the editor hands to plugins: a range of its own choosing.
constexpr int kFirstPluginIndicator = 9;
constexpr int kLastPluginIndicator = 20;

struct IndicatorState {
    int next = kFirstPluginIndicator;
    bool refuse = false;  // a test switch: every request fails
};

// ---------------------------------------------------------------------------
// Scripts (Script.cpp, ScriptCommands.cpp, Dialogs.cpp).

enum class AnswerKind { Message, File, Folder };
struct Answer {
    AnswerKind kind = AnswerKind::Message;
    std::wstring value;          // button name or path
    std::wstring expectCaption;  // empty: not checked
    std::wstring expectText;
    bool hasCaption = false;
    bool hasText = false;
    std::wstring source;  // the script line that queued it
};

struct ScriptState {
    std::vector<std::wstring> log;
    win::KernelHandle logFile;
    std::wstring baseFolder;  // relative script paths start here
    bool quitRequested = false;
    // Modal dialogs.
    std::deque<Answer> answers;
    std::vector<std::wstring> asyncFailures;  // from dialog answering, reported by the script
    std::vector<HWND> answeredDialogs;
    UINT_PTR dialogTimer = 0;
    DWORD unexpectedSince = 0;
    HWND unexpectedDialog = nullptr;
};

// Screenshot.cpp: a PNG of a window, frame included, through GDI+.
bool screenshot(HWND hwnd, const std::wstring& path, std::wstring& error);
class GraphicsSession {
public:
    GraphicsSession() = default;
    ~GraphicsSession() { stop(); }
    GraphicsSession(const GraphicsSession&) = delete;
    GraphicsSession& operator=(const GraphicsSession&) = delete;
    void start();
    void stop();

private:
    ULONG_PTR token_ = 0;
};

// ---------------------------------------------------------------------------

struct Host::Impl {
    Host* owner = nullptr;
    Options options;
    FrameState frame;
    PluginState plugins;
    DocumentState documents;
    DockingState docking;
    Records records;
    DarkModeState darkMode;
    IndicatorState indicators;
    ScriptState script;
    GraphicsSession graphics;

    // Frame.cpp: set up, the main window, the message loop, shut-down.
    bool createWindows(std::wstring* error);
    void layout();
    LRESULT mainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void forwardNotification(LPARAM lParam);
    bool runCommand(HWND hwnd, UINT id, bool fromMenu);
    void dispatch(MSG& msg);
    void pump(int ms);
    void shutdown();
    std::intptr_t send(int viewIndex, UINT msg, WPARAM w = 0, LPARAM l = 0) const;

    // Plugins.cpp: loading, notifications, menus.
    void loadPlugins();
    bool loadPlugin(const std::wstring& folder);
    void rebuildAccelerators();
    void notifyAll(UINT code, UINT_PTR idFrom = 0);
    void notifyPlugin(Plugin& p, UINT code, UINT_PTR idFrom = 0);
    void unload(Plugin& p, bool destroyItsWindows);
    Plugin* findPlugin(const std::wstring& folder);
    bool isPluginModule(HMODULE module) const;
    int findCommand(const std::wstring& menu, const std::wstring& item) const;
    HMENU pluginSubmenu(const std::wstring& menu) const;

    // EditorMessages.cpp: the NPPM_* messages.
    LRESULT hostMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT messageToPlugin(WPARAM wParam, LPARAM lParam);
    LRESULT allocateIndicators(WPARAM count, LPARAM first);
    void setDarkMode(bool dark);

    // Documents.cpp.
    bool open(const std::wstring& path, std::wstring* error);
    void show(Document& doc);
    Document* current() const { return documents.shown[frame.currentView]; }
    Document* findDocument(const std::wstring& path) const;
    std::string currentBytes() const;
    void convertEncoding(UINT command);

    // Docking.cpp.
    bool createDocks(std::wstring* error);
    Panel* findPanel(HWND client);
    void registerPanel(const npp::tTbData& data);
    void showPanel(HWND client, bool show);
    void updatePanelInfo(HWND client);
    void closePanel(Panel& panel);
    void movePanel(Panel& panel, int container, bool notify);
    void layoutDock(int container);
    int dockExtent(int container) const;
    void destroyPanel(Panel& panel);
    std::wstring panelName(const Panel& panel) const;

    // Script.cpp: lines, scripts and the log.
    CommandResult runLine(const std::wstring& line);
    CommandResult execute(const std::wstring& line);
    void writeLog(const std::wstring& line);

    // Dialogs.cpp: modal dialogs answered from the script's queue.
    void startDialogWatch();
    void watchDialogs();
    void answerDialog(HWND dialog, const Answer& answer);
};

Host::Impl* currentImpl();

// Files.cpp: paths, file bytes, error texts.
std::wstring formatWin32Error(DWORD code);
std::wstring folderOf(const std::wstring& path);
std::wstring fileNameOf(const std::wstring& path);
std::wstring fullPath(const std::wstring& path);
bool readFileBytes(const std::wstring& path, std::string& bytes);
bool writeFileBytes(const std::wstring& path, const std::string& bytes);

// Input.cpp: the clipboard.
bool writeClipboardText(HWND owner, const std::wstring& text);
std::wstring readClipboardText(HWND owner, bool& present);

// Frame.cpp.
void hideOwnedWindows(HWND owner);
LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace host
