// The stand-in editor: a main window with two Scintilla views, a docking
// manager and a plugin loader that plays the editor's side of the plugin
// interface. One instance per process; it lives on the thread that created it.
//
// The same object serves the interactive program, the script mode
// (quorrel-host.exe --script) and the Wine tests, which create it in-process.
#pragma once

#include "npp/NppInterface.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {

struct Options {
    // Folder holding <Name>\<Name>.dll; empty means "plugins" beside the exe.
    std::wstring pluginRoot;
    // Answer to NPPM_GETPLUGINSCONFIGDIR; empty means "plugins\Config" beside
    // the exe. Created when missing.
    std::wstring configFolder;
    // Names of the plugin folders to load; empty loads every folder found.
    std::vector<std::wstring> plugins;
    // Documents opened at start-up, as the editor does: after the plugins'
    // menus are built and before NPPN_READY.
    std::vector<std::wstring> files;
    // Show the main window (tests may keep it hidden; panels still work).
    bool show = true;
    // Where "log" output of script lines goes; empty keeps it in memory only.
    std::wstring logFile;
    // Close a modal dialog that no queued answer expects (after a short grace
    // period) and count it as a failure, so a script cannot hang on one.
    bool dismissUnexpectedDialogs = true;
    // Start in dark mode (no NPPN_DARKMODECHANGED: nothing was switched).
    bool darkMode = false;
};

// One NPPM_MSGTOPLUGIN request as the host saw it.
struct PluginMessage {
    std::wstring source;  // CommunicationInfo::srcModuleName
    std::wstring target;  // wParam
    long internalMsg = 0;
    std::wstring key;  // for code 5 (translate a text): the key
    bool delivered = false;
};

// One NPPM_DMMREGASDCKDLG registration: a copy of the record and of the
// strings it pointed to at registration time.
struct DockingRegistration {
    npp::tTbData data{};
    std::wstring name;
    std::wstring addInfo;
    std::wstring moduleName;
};

struct MenuCheck {
    int cmdID = 0;
    bool checked = false;
};

// A notification a plugin's beNotified received from the host.
struct Notification {
    std::wstring plugin;  // folder name of the plugin
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// One NPPM_DARKMODESUBCLASSANDTHEME request.
struct ThemeRequest {
    HWND window = nullptr;
    WPARAM flags = 0;  // npp::DARKMODE_INIT, npp::DARKMODE_CHANGED
};

// One NPPM_ALLOCATEINDICATOR request.
struct IndicatorAllocation {
    int count = 0;   // wanted
    int first = -1;  // the first number handed out; -1 when refused
};

// Result of one script line.
struct CommandResult {
    bool ok = false;
    std::wstring message;  // what the log says about it (error text on failure)
};

// Where a docked or floating panel currently sits.
enum class Container { Left = 0, Right = 1, Top = 2, Bottom = 3, Floating = 4, Hidden = -1, Unknown = -2 };

class Host {
public:
    // Loads Scintilla.dll from the exe's folder, creates the windows and loads
    // the plugins (NPPN_READY sent). Returns null and fills error on failure.
    static std::unique_ptr<Host> create(const Options& options, std::wstring* error = nullptr);
    ~Host();  // shuts down (if not yet done)
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Windows.
    HWND mainWindow() const;
    HWND view(int index) const;  // 0 main, 1 second
    int currentViewIndex() const;
    void setCurrentView(int index);
    HWND currentView() const;

    // Plugins (folder names, in load order) and what loading refused.
    std::vector<std::wstring> loadedPlugins() const;
    std::vector<std::wstring> refusedPlugins() const;  // e.g. isUnicode FALSE
    // Every call the loader made to a plugin, e.g. "Name:isUnicode".
    const std::vector<std::wstring>& loadTrace() const;
    HMODULE pluginModule(const std::wstring& name) const;
    // Unload one plugin as shut-down would (NPPN_BEFORESHUTDOWN and
    // NPPN_SHUTDOWN to it, its panels and modeless windows destroyed, its
    // submenu removed, FreeLibrary), and load it again, in the same process.
    // A hook the plugin left on the main window is replaced by the host's own
    // procedure and reported in loadTrace() as "<Name>:hook-left-installed".
    bool unloadPlugin(const std::wstring& name);
    bool reloadPlugin(const std::wstring& name);

    // Documents.
    bool openFile(const std::wstring& path, std::wstring* error = nullptr);
    std::wstring currentPath() const;
    std::string documentBytes() const;  // of the current document, as saved
    bool saveCurrentAs(const std::wstring& path);
    bool activateDocument(const std::wstring& path);
    bool setCaret(int line, int column = 0);  // 0-based

    // Menus: texts as in the menu (with '&'), e.g. ("&Quorrel", "&Ormu Controls").
    int commandId(const std::wstring& pluginMenu, const std::wstring& item) const;
    bool runMenu(const std::wstring& pluginMenu, const std::wstring& item);
    bool isChecked(const std::wstring& pluginMenu, const std::wstring& item) const;
    bool isCheckedId(int cmdID) const;
    // Accelerator text shown in the menu item ("Ctrl+Alt+V"), empty if none.
    std::wstring acceleratorText(const std::wstring& pluginMenu, const std::wstring& item) const;

    // Docking.
    Container containerOf(HWND panel) const;
    HWND containerWindow(Container c) const;  // the frame holding that container
    bool closePanel(HWND panel);              // as the close button does
    bool dockPanel(HWND panel, Container c);  // move; sends DMN_DOCK / DMN_FLOAT
    std::vector<HWND> panels() const;
    std::vector<HWND> modelessDialogs() const;

    // Scripts: one line of the script language (see host/README.md).
    CommandResult runLine(const std::wstring& line);
    // A whole script; every command and failure goes to the log. True when
    // every command succeeded.
    bool runScript(const std::wstring& scriptPath, const std::wstring& logPath);
    const std::vector<std::wstring>& log() const;

    // Message pump: processes messages for about ms milliseconds.
    void pump(int ms);
    // Processes messages until `done` holds (asked between rounds); whether it
    // did before `limitMs` passed. The limit only ends a run that went wrong:
    // callers wait for what they expect, not for a time.
    bool pumpUntil(const std::function<bool()>& done, int limitMs = 120000);
    // Interactive loop until the main window closes; returns the exit code.
    int run();

    // Recorded traffic.
    const std::vector<PluginMessage>& pluginMessages() const;
    const std::vector<DockingRegistration>& dockingRegistrations() const;
    const std::vector<MenuCheck>& menuChecks() const;
    const std::vector<Notification>& notifications() const;
    const std::vector<ThemeRequest>& themeRequests() const;
    const std::vector<IndicatorAllocation>& indicatorAllocations() const;
    void clearRecords();

    // Dark mode: switching it sends NPPN_DARKMODECHANGED to every plugin
    // (switching to the mode it is in does nothing). The colours are those
    // NPPM_GETDARKMODECOLORS hands out.
    void setDarkMode(bool dark);
    bool isDarkMode() const;
    npp::DarkModeColors darkModeColours() const;

    // Indicators: while refused, NPPM_ALLOCATEINDICATOR fails as it does when
    // the editor has none left.
    void refuseIndicators(bool refuse);

    // Clipboard helper (the host owns the clipboard while writing).
    bool setClipboardText(const std::wstring& text);
    std::wstring clipboardText() const;

    // NPPN_BEFORESHUTDOWN, NPPN_SHUTDOWN, windows destroyed, plugins freed.
    void shutdown();
    bool isShutDown() const;

    struct Impl;

private:
    explicit Host(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// The folder of the running executable (no trailing separator).
std::wstring exeFolder();

}  // namespace host
