// Inside of the stand-in editor, shared by its translation units.
#pragma once

#include "Host.h"

#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <map>
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

// Owner of one handle; Traits give its empty value and how to free it.
template <typename Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;
    Owned() = default;
    explicit Owned(Handle h) : handle_(h) {}
    ~Owned() { reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::empty(); }
    void reset(Handle h = Traits::empty()) {
        if (handle_ != Traits::empty()) Traits::free(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = Traits::empty();
};

struct FileTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void free(Handle h) { CloseHandle(h); }
};
struct AcceleratorTraits {
    using Handle = HACCEL;
    static Handle empty() { return nullptr; }
    static void free(Handle h) { DestroyAcceleratorTable(h); }
};

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

// What a file's bytes say about how to show them.
struct DecodedFile {
    std::string text;  // bytes for Scintilla (UTF-8 for Unicode files)
    Encoding encoding = Encoding::Utf8;
    int codePage = 65001;
    int eolMode = 0;
};
DecodedFile decodeFile(const std::string& bytes);
std::string encodeDocument(const std::string& sciBytes, Encoding encoding);

using IsUnicodeFn = BOOL(__cdecl*)();
using GetNameFn = const wchar_t*(__cdecl*)();
using SetInfoFn = void(__cdecl*)(npp::NppData);
using GetFuncsArrayFn = npp::FuncItem*(__cdecl*)(int*);
using BeNotifiedFn = void(__cdecl*)(npp::SCNotification*);
using MessageProcFn = LRESULT(__cdecl*)(UINT, WPARAM, LPARAM);

struct Plugin {
    Plugin() = default;
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;
    ~Plugin() {
        if (module != nullptr) FreeLibrary(module);
    }
    std::wstring folder;    // <Name>
    std::wstring path;      // full path of the DLL
    std::wstring fileName;  // <Name>.dll, as NPPM_MSGTOPLUGIN names it
    HMODULE module = nullptr;  // freed by unload() or, failing that, here
    BeNotifiedFn beNotified = nullptr;
    MessageProcFn messageProc = nullptr;
    std::wstring menuName;
    npp::FuncItem* items = nullptr;
    int count = 0;
    HMENU submenu = nullptr;
};

struct Panel {
    Panel() = default;
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;
    ~Panel() {
        if (data.hIconTab != nullptr) DestroyIcon(data.hIconTab);  // the host owns the tab icon
    }
    npp::tTbData data{};  // the plugin's record, copied (its strings are not)
    std::wstring plugin;  // folder of the plugin that registered it
    int container = 0;    // 0-3 docked, 4 floating
    HWND frame = nullptr;
    HWND closeButton = nullptr;
    bool shown = false;
};

enum class AnswerKind { Message, File, Folder };
struct Answer {
    AnswerKind kind = AnswerKind::Message;
    std::wstring value;           // button name or path
    std::wstring expectCaption;   // empty: not checked
    std::wstring expectText;
    bool hasCaption = false;
    bool hasText = false;
    std::wstring source;          // the script line that queued it
};

struct Host::Impl {
    Host* owner = nullptr;
    Options options;
    HINSTANCE instance = nullptr;
    HMODULE scintilla = nullptr;
    HWND main = nullptr;
    HWND views[2] = {nullptr, nullptr};
    HWND docks[4] = {nullptr, nullptr, nullptr, nullptr};
    int currentView = 0;
    HMENU menuBar = nullptr;
    HMENU pluginsMenu = nullptr;
    Owned<AcceleratorTraits> accelerators;
    std::wstring pluginRoot;
    std::wstring configFolder;
    bool shutDown = false;
    bool oleInitialised = false;
    bool running = false;  // inside run(), the interactive loop

    std::vector<std::unique_ptr<Plugin>> plugins;
    std::vector<std::wstring> refused;
    std::vector<std::wstring> trace;
    int nextCommandId = 22000;

    std::vector<std::unique_ptr<Document>> documents;
    Document* shownDocument[2] = {nullptr, nullptr};
    UINT_PTR nextBufferId = 1;

    std::vector<std::unique_ptr<Panel>> panels;
    std::vector<HWND> modeless;

    std::vector<PluginMessage> messages;
    std::vector<DockingRegistration> registrations;
    std::vector<MenuCheck> checks;
    std::vector<Notification> notifications;
    std::vector<std::wstring> log;

    // Script state.
    std::deque<Answer> answers;
    std::vector<std::wstring> asyncFailures;  // from dialog answering, reported by the script
    UINT_PTR dialogTimer = 0;
    DWORD unexpectedSince = 0;
    HWND unexpectedDialog = nullptr;
    bool quitRequested = false;
    ULONG_PTR gdiplusToken = 0;
    std::wstring baseFolder;  // relative script paths start here
    std::vector<HWND> answeredDialogs;
    Owned<FileTraits> logFile;

    // Set up / tear down.
    bool createWindows(std::wstring* error);
    void loadPlugins();
    bool loadPlugin(const std::wstring& folder);
    void rebuildAccelerators();
    void notifyAll(UINT code, UINT_PTR idFrom = 0);
    void notifyPlugin(Plugin& p, UINT code, UINT_PTR idFrom = 0);
    void unload(Plugin& p, bool destroyItsWindows);
    void shutdown();
    Plugin* findPlugin(const std::wstring& folder);

    // Window procedure of the main window.
    LRESULT mainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT hostMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    void layout();
    void convertEncoding(UINT command);

    // Documents.
    bool open(const std::wstring& path, std::wstring* error);
    void show(Document& doc);
    Document* current() const { return shownDocument[currentView]; }
    std::intptr_t send(int viewIndex, UINT msg, WPARAM w = 0, LPARAM l = 0) const;

    // Messages: one pass of the loop's dispatch (accelerators, dialogs).
    void dispatch(MSG& msg);
    void pump(int ms);
    void startDialogWatch();
    void watchDialogs();

    // Menus.
    int findCommand(const std::wstring& menu, const std::wstring& item) const;
    HMENU pluginSubmenu(const std::wstring& menu) const;

    // Docking (Docking.cpp).
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

    // Script (Script.cpp).
    CommandResult runLine(const std::wstring& line);
    CommandResult execute(const std::wstring& line);
    void writeLog(const std::wstring& line);
    void answerDialog(HWND dialog, const Answer& answer);
};

Host::Impl* currentImpl();
void startGraphics(ULONG_PTR& token);
void stopGraphics(ULONG_PTR& token);
std::wstring formatWin32Error(DWORD code);
std::wstring folderOf(const std::wstring& path);
std::wstring fileNameOf(const std::wstring& path);
bool readFileBytes(const std::wstring& path, std::string& bytes);
bool writeFileBytes(const std::wstring& path, const std::string& bytes);
bool writeClipboardText(HWND owner, const std::wstring& text);
void hideOwnedWindows(HWND owner);
std::wstring readClipboardText(HWND owner, bool& present);

}  // namespace host
