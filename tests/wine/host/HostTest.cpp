// The stand-in editor plays the editor's side of the plugin interface: load
// order, menus, docking, messages between plugins, notifications, searches and
// encoding conversions, as a plugin sees them.
#include "HostFixture.h"

#include <algorithm>

namespace hosttest {
namespace {

using Events = std::vector<std::wstring>;

std::size_t indexOf(const Events& events, const std::wstring& e) {
    return static_cast<std::size_t>(std::find(events.begin(), events.end(), e) - events.begin());
}

TEST_F(HostTest, LoadsInTheEditorsOrderAndRefusesNonUnicodePlugins) {
    start({L"QuorrelAnsiPlugin", kTestPlugin});
    EXPECT_EQ(host_->refusedPlugins(), std::vector<std::wstring>{L"QuorrelAnsiPlugin"});
    EXPECT_EQ(host_->loadedPlugins(), std::vector<std::wstring>{kTestPlugin});
    // The refused plugin got as far as isUnicode and no further.
    const auto& trace = host_->loadTrace();
    EXPECT_NE(std::find(trace.begin(), trace.end(), L"QuorrelAnsiPlugin:refused:isUnicode FALSE"), trace.end());
    EXPECT_EQ(std::find(trace.begin(), trace.end(), L"QuorrelAnsiPlugin:setInfo"), trace.end());
    EXPECT_EQ(host_->commandId(L"Ansi Test", L"anything"), -1);

    Events e = events();
    ASSERT_GE(e.size(), 6u);
    EXPECT_EQ(Events(e.begin(), e.begin() + 5),
              (Events{L"DllMain", L"isUnicode", L"getName", L"setInfo", L"getFuncsArray"}));
    // NPPN_READY comes once everything is loaded, from the main window.
    EXPECT_EQ(e[5], L"notify:1001:host:0");

    // Command ids were written into the plugin's own array, separators included.
    auto getFuncsArray = pluginExport<npp::FuncItem* (*)(int*)>("getFuncsArray");
    int count = 0;
    npp::FuncItem* items = getFuncsArray(&count);
    ASSERT_EQ(count, 7);
    for (int k = 0; k < count; ++k) EXPECT_EQ(items[k].cmdID, 22000 + k);
    EXPECT_EQ(host_->commandId(kTestMenu, L"&Show Panel"), 22000);
    EXPECT_EQ(host_->commandId(kTestMenu, L"Message &Box"), 22004);
    EXPECT_EQ(host_->acceleratorText(kTestMenu, L"&Show Panel"), L"Ctrl+Shift+P");
    EXPECT_EQ(host_->acceleratorText(kTestMenu, L"&Modeless Window"), L"");
    HMENU bar = ::GetMenu(host_->mainWindow());
    HMENU plugins = ::GetSubMenu(bar, 1);
    ASSERT_EQ(::GetMenuItemCount(plugins), 1);
    HMENU sub = ::GetSubMenu(plugins, 0);
    ASSERT_EQ(::GetMenuItemCount(sub), 7);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(sub, 1, TRUE, &info));
    EXPECT_NE(info.fType & MFT_SEPARATOR, 0u);
}

TEST_F(HostTest, StartUpFilesOpenBeforeReady) {
    ASSERT_TRUE(writeFile(path(L"start.xml"), "<a/>"));
    files_ = {path(L"start.xml")};
    start();
    Events e = events();
    std::size_t activated = indexOf(e, L"notify:1010:host:1"), ready = indexOf(e, L"notify:1001:host:0");
    EXPECT_LT(indexOf(e, L"getFuncsArray"), activated);
    EXPECT_LT(activated, ready);
    EXPECT_LT(ready, e.size());
    EXPECT_EQ(host::Host::create(host::Options{}), nullptr);  // one host per process
}

TEST_F(HostTest, ConfigFolderIsCreatedAndAnsweredWithLengthQuery) {
    start();
    auto configDir = pluginExport<const wchar_t* (*)()>("testConfigDir");
    EXPECT_EQ(std::wstring(configDir()), folder_ + L"\\config");
    EXPECT_NE(::GetFileAttributesW((folder_ + L"\\config").c_str()), INVALID_FILE_ATTRIBUTES);
    // A buffer one unit too short (no room for the NUL) is refused, untouched.
    std::wstring expected = folder_ + L"\\config";
    std::wstring small(expected.size(), L'x');
    EXPECT_FALSE(::SendMessageW(host_->mainWindow(), npp::NPPM_GETPLUGINSCONFIGDIR, small.size(),
                                reinterpret_cast<LPARAM>(small.data())));
    EXPECT_EQ(small, std::wstring(expected.size(), L'x'));
}

TEST_F(HostTest, RealPluginMenuHasItsCommandsAndShortcuts) {
    start({L"Quorrel"}, host::exeFolder() + L"\\plugins");
    ASSERT_EQ(host_->loadedPlugins(), std::vector<std::wstring>{L"Quorrel"});
    // The six of the first release keep their places; separators (an index
    // each: 6, 12, 15) group the navigation, the media center and completion.
    const std::pair<const wchar_t*, int> items[] = {
        {L"&Ormu Skin Controls...", 0}, {L"&Ormu Tester", 1},      {L"&Ormu Image Previewer", 2},
        {L"&Ormu Controls", 3},         {L"&Options...", 4},       {L"&About...", 5},
        {L"Go to definition", 7},       {L"Find references", 8},   {L"Hover tips", 9},
        {L"&Window outline", 10},       {L"Window &preview", 11},  {L"&Test window", 13},
        {L"&Reload skin", 14},          {L"Complete &name", 16}};
    for (const auto& [item, k] : items) EXPECT_EQ(host_->commandId(L"&Quorrel", item), 22000 + k) << k;
    EXPECT_EQ(host_->acceleratorText(L"&Quorrel", L"&Ormu Image Previewer"), L"Ctrl+Alt+V");
    EXPECT_EQ(host_->acceleratorText(L"&Quorrel", L"&Ormu Controls"), L"Ctrl+Alt+B");
    EXPECT_EQ(host_->acceleratorText(L"&Quorrel", L"&Test window"), L"Ctrl+Alt+Shift+T");
    for (int k : {0, 1, 4, 5, 7, 8, 9, 10, 12}) EXPECT_EQ(host_->acceleratorText(L"&Quorrel", items[k].first), L"") << k;
    HMENU sub = ::GetSubMenu(::GetSubMenu(::GetMenu(host_->mainWindow()), 1), 0);
    EXPECT_EQ(::GetMenuItemCount(sub), 17);
    for (int k : {6, 12, 15}) EXPECT_NE(::GetMenuState(sub, static_cast<UINT>(k), MF_BYPOSITION) & MF_SEPARATOR, 0u) << k;

    // Unloaded in the middle of a session: whatever the plugin did with its
    // hook on the main window, the window keeps working without its code.
    HMODULE module = host_->pluginModule(L"Quorrel");
    ASSERT_TRUE(host_->unloadPlugin(L"Quorrel"));
    auto proc = reinterpret_cast<void*>(::GetWindowLongPtrW(host_->mainWindow(), GWLP_WNDPROC));
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(::VirtualQuery(proc, &info, sizeof(info)), 0u);
    EXPECT_NE(info.AllocationBase, module);
    int view = -1;
    ::SendMessageW(host_->mainWindow(), npp::NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&view));
    EXPECT_EQ(view, 0);
    host_->pump(20);
}

TEST_F(HostTest, DockingRegistersShowsClosesAndMovesPanels) {
    start({kTestPlugin}, L"", true);
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"&Show Panel"));
    host_->pump(20);
    HWND panel = pluginExport<HWND (*)()>("testPanel")();
    ASSERT_NE(panel, nullptr);

    // The record is copied, with the strings it named at registration.
    ASSERT_EQ(host_->dockingRegistrations().size(), 1u);
    const host::DockingRegistration& r = host_->dockingRegistrations()[0];
    EXPECT_EQ(r.data.hClient, panel);
    EXPECT_EQ(r.name, L"Test Panel");
    EXPECT_EQ(r.moduleName, L"QuorrelTestPlugin.dll");
    EXPECT_EQ(r.data.uMask, npp::DWS_ICONTAB | npp::DWS_DF_CONT_RIGHT);
    HICON icon = r.data.hIconTab;
    ASSERT_NE(icon, nullptr);

    EXPECT_EQ(host_->containerOf(panel), host::Container::Right);
    EXPECT_TRUE(::IsWindowVisible(panel));
    EXPECT_TRUE(::IsChild(host_->containerWindow(host::Container::Right), panel));
    EXPECT_TRUE(host_->isChecked(kTestMenu, L"&Show Panel"));
    ASSERT_FALSE(host_->menuChecks().empty());
    EXPECT_EQ(host_->menuChecks().back().cmdID, 22000);

    // The frame's close button: the panel hears DMN_CLOSE (container in the
    // high word) and unchecks its item; the host hides it.
    HWND frame = ::GetParent(panel);
    HWND close = ::FindWindowExW(frame, nullptr, L"Button", L"x");
    ASSERT_NE(close, nullptr);
    clearEvents();
    ::SendMessageW(close, BM_CLICK, 0, 0);
    host_->pump(20);
    EXPECT_TRUE(sawEvent(L"dmn:1051:1"));
    EXPECT_FALSE(host_->isChecked(kTestMenu, L"&Show Panel"));
    EXPECT_FALSE(::IsWindowVisible(panel));
    EXPECT_EQ(host_->containerOf(panel), host::Container::Hidden);

    // Shown again: the same registration, no new one.
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"&Show Panel"));
    host_->pump(20);
    EXPECT_EQ(host_->dockingRegistrations().size(), 1u);
    EXPECT_TRUE(::IsWindowVisible(panel));

    // Moving reports DMN_DOCK with the container, or DMN_FLOAT.
    clearEvents();
    ASSERT_TRUE(host_->dockPanel(panel, host::Container::Bottom));
    EXPECT_TRUE(sawEvent(L"dmn:1052:3"));
    EXPECT_TRUE(::IsChild(host_->containerWindow(host::Container::Bottom), panel));
    ASSERT_TRUE(host_->dockPanel(panel, host::Container::Floating));
    EXPECT_TRUE(sawEvent(L"dmn:1053:4"));
    EXPECT_EQ(host_->containerOf(panel), host::Container::Floating);
    HWND floating = ::GetParent(panel);
    EXPECT_EQ(::GetWindow(floating, GW_OWNER), host_->mainWindow());
    EXPECT_TRUE(::IsWindowVisible(floating));
    // Closing a floating panel with its window's close box is a close too.
    clearEvents();
    ::SendMessageW(floating, WM_CLOSE, 0, 0);
    EXPECT_TRUE(sawEvent(L"dmn:1051:4"));
    EXPECT_FALSE(::IsWindowVisible(floating));

    // The host owns the tab icon and destroys it at shut-down.
    host_->shutdown();
    ICONINFO ii{};
    EXPECT_FALSE(::GetIconInfo(icon, &ii));
}

TEST_F(HostTest, MaskChoosesTheInitialContainer) {
    start();
    pluginExport<void (*)(UINT)>("testSetPanelMask")(npp::DWS_DF_FLOATING | npp::DWS_DF_CONT_TOP);
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"&Show Panel"));
    HWND panel = pluginExport<HWND (*)()>("testPanel")();
    EXPECT_EQ(host_->containerOf(panel), host::Container::Floating);
    ASSERT_TRUE(host_->dockPanel(panel, host::Container::Top));
    EXPECT_TRUE(sawEvent(L"dmn:1052:2"));
}

// Which keys reached the first edit box of the modeless window itself.
WNDPROC g_editProc = nullptr;
std::vector<WPARAM> g_editKeys;
LRESULT CALLBACK recordingEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN) g_editKeys.push_back(wParam);
    return ::CallWindowProcW(g_editProc, hwnd, msg, wParam, lParam);
}

TEST_F(HostTest, PanelsSharingAContainerAreStackedAndHiddenOnesStayOut) {
    start({kTestPlugin}, L"", true);
    // A second panel, registered by the test itself, in the same container.
    HWND own =
        ::CreateWindowExW(0, L"STATIC", L"own", WS_CHILD, 0, 0, 50, 50, host_->mainWindow(), nullptr, nullptr, nullptr);
    std::wstring name = L"Own Panel";
    npp::tTbData data{};
    data.hClient = own;
    data.pszName = name.c_str();
    data.uMask = npp::DWS_DF_CONT_RIGHT;
    ::SendMessageW(host_->mainWindow(), npp::NPPM_DMMREGASDCKDLG, 0, reinterpret_cast<LPARAM>(&data));
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"&Show Panel"));
    HWND panel = pluginExport<HWND (*)()>("testPanel")();
    // Registered but never shown: not visible, and not covering the other.
    EXPECT_FALSE(::IsWindowVisible(own));
    EXPECT_EQ(host_->containerOf(own), host::Container::Hidden);
    RECT shown{};
    ::GetWindowRect(::GetParent(panel), &shown);
    RECT dock{};
    ::GetClientRect(host_->containerWindow(host::Container::Right), &dock);
    EXPECT_EQ(shown.bottom - shown.top, dock.bottom);

    // Both shown: one above the other, sharing the height without overlap.
    ::SendMessageW(host_->mainWindow(), npp::NPPM_DMMSHOW, 0, reinterpret_cast<LPARAM>(own));
    EXPECT_TRUE(::IsWindowVisible(own));
    RECT a{}, b{}, overlap{};
    ::GetWindowRect(::GetParent(panel), &a);
    ::GetWindowRect(::GetParent(own), &b);
    EXPECT_FALSE(::IntersectRect(&overlap, &a, &b));
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ((a.bottom - a.top) + (b.bottom - b.top), dock.bottom);
    // The caption shown is read through the record's pointer, now.
    name = L"Renamed";
    ::SendMessageW(host_->mainWindow(), npp::NPPM_DMMUPDATEDISPINFO, 0, reinterpret_cast<LPARAM>(own));
    EXPECT_TRUE(host_->runLine(L"expect exists panel=\"Renamed\"").ok);
}

TEST_F(HostTest, ModelessWindowsGetDialogKeyboardHandlingOnlyWhileRegistered) {
    start();
    ASSERT_TRUE(host_->runLine(L"menu \"&Test Plugin\" \"&Modeless Window\"").ok);
    HWND window = pluginExport<HWND (*)()>("testModeless")();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(host_->modelessDialogs(), std::vector<HWND>{window});
    HWND first = ::GetDlgItem(window, 2001);
    g_editKeys.clear();
    g_editProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingEditProc)));

    // Registered: the host's loop hands Tab to the dialog manager, the edit
    // box never sees it (the focus moves on, where the desktop lets it).
    auto r = host_->runLine(L"keys window=\"Test window\" > #2001 \"{TAB}\"");
    ASSERT_TRUE(r.ok) << narrow(r.message);
    EXPECT_TRUE(g_editKeys.empty());

    // Removed from the list: Tab is only a key for the edit box.
    ::SendMessageW(host_->mainWindow(), npp::NPPM_MODELESSDIALOG, npp::MODELESSDIALOGREMOVE,
                   reinterpret_cast<LPARAM>(window));
    EXPECT_TRUE(host_->modelessDialogs().empty());
    ASSERT_TRUE(host_->runLine(L"keys window=\"Test window\" > #2001 \"{TAB}\"").ok);
    EXPECT_EQ(g_editKeys, std::vector<WPARAM>{VK_TAB});
    ::SetWindowLongPtrW(first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
}

TEST_F(HostTest, MessagesToPluginsAreDeliveredByExactModuleNameAndRecorded) {
    start();
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"Send &Messages"));
    // Delivered to itself through messageProc, with the record intact.
    EXPECT_TRUE(sawEvent(L"messageProc:2071:QuorrelTestPlugin.dll:42:QuorrelTestPlugin.dll:7"));
    EXPECT_TRUE(sawEvent(L"sent:self:1"));
    // Nobody by that name: not delivered, the request's result stays 0.
    EXPECT_TRUE(sawEvent(L"sent:missing:0:0:untouched"));

    const auto& m = host_->pluginMessages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].target, L"QuorrelTestPlugin.dll");
    EXPECT_EQ(m[0].source, L"QuorrelTestPlugin.dll");
    EXPECT_EQ(m[0].internalMsg, 42);
    EXPECT_TRUE(m[0].delivered);
    EXPECT_EQ(m[1].target, L"Missing.dll");
    EXPECT_EQ(m[1].internalMsg, 5);
    EXPECT_EQ(m[1].key, L"Greeting");
    EXPECT_FALSE(m[1].delivered);

    // The name must match exactly: another case is another module.
    int payload = 1;
    npp::CommunicationInfo info{9, L"x.dll", &payload};
    EXPECT_FALSE(::SendMessageW(host_->mainWindow(), npp::NPPM_MSGTOPLUGIN,
                                reinterpret_cast<WPARAM>(L"quorreltestplugin.dll"), reinterpret_cast<LPARAM>(&info)));
    EXPECT_FALSE(host_->pluginMessages().back().delivered);
}

TEST_F(HostTest, ScintillaNotificationsReachPluginsAsScintillaMadeThem) {
    start();
    ASSERT_TRUE(writeFile(path(L"a.xml"), "one\ntwo\n"));
    ASSERT_TRUE(host_->openFile(path(L"a.xml")));
    host_->pump(20);
    clearEvents();
    HWND view = host_->view(0);
    ::SendMessageW(view, npp::SCI_INSERTTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    ::SendMessageW(view, npp::SCI_INSERTTEXT, 3, reinterpret_cast<LPARAM>("X\nY"));
    ::SendMessageW(view, npp::SCI_SETSEL, 0, 2);
    host_->pump(50);
    EXPECT_TRUE(sawEvent(L"modified:view0:pos=0:len=3:type=1:lines=0:text=abc"));
    EXPECT_TRUE(sawEvent(L"modified:view0:pos=3:len=3:type=1:lines=1:text=X\nY"));
    EXPECT_TRUE(sawEvent(L"updateui:view0"));

    // The second view forwards too, tagged with its own handle.
    ::SendMessageW(host_->view(1), npp::SCI_INSERTTEXT, 0, reinterpret_cast<LPARAM>("z"));
    EXPECT_TRUE(sawEvent(L"modified:view1:pos=0:len=1:type=1:lines=0:text=z"));
}

TEST_F(HostTest, DocumentsActivateBuffersAndAnswerPathQueries) {
    start();
    ASSERT_TRUE(writeFile(path(L"first.xml"), "<a/>\r\n<b/>\r\n<c/>\r\n"));
    ASSERT_TRUE(writeFile(path(L"second.xml"), "x"));
    clearEvents();
    ASSERT_TRUE(host_->openFile(path(L"first.xml")));
    ASSERT_TRUE(host_->openFile(path(L"second.xml")));
    ASSERT_TRUE(host_->activateDocument(path(L"first.xml")));
    Events buffers;
    for (const auto& e : events())
        if (e.rfind(L"notify:1010:host:", 0) == 0) buffers.push_back(e);
    ASSERT_EQ(buffers.size(), 3u);
    EXPECT_NE(buffers[0], buffers[1]);
    EXPECT_EQ(buffers[0], buffers[2]);

    wchar_t buffer[MAX_PATH] = {};
    ASSERT_TRUE(::SendMessageW(host_->mainWindow(), npp::NPPM_GETFILENAME, MAX_PATH, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_EQ(std::wstring(buffer), L"first.xml");
    wchar_t tiny[9] = L"12345678";  // one unit short of "first.xml" and its NUL
    EXPECT_FALSE(::SendMessageW(host_->mainWindow(), npp::NPPM_GETFILENAME, 9, reinterpret_cast<LPARAM>(tiny)));
    EXPECT_EQ(std::wstring(tiny), L"12345678");
    ASSERT_TRUE(
        ::SendMessageW(host_->mainWindow(), npp::NPPM_GETCURRENTDIRECTORY, MAX_PATH, reinterpret_cast<LPARAM>(buffer)));
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(folder_.c_str(), MAX_PATH, full, nullptr);
    EXPECT_EQ(lstrcmpiW(buffer, full), 0);
    ASSERT_TRUE(host_->setCaret(2, 1));
    EXPECT_EQ(::SendMessageW(host_->mainWindow(), npp::NPPM_GETCURRENTLINE, 0, 0), 2);
    int view = -1;
    ::SendMessageW(host_->mainWindow(), npp::NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&view));
    EXPECT_EQ(view, 0);
    host_->setCurrentView(1);
    ::SendMessageW(host_->mainWindow(), npp::NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&view));
    EXPECT_EQ(view, 1);
}

TEST_F(HostTest, SavingTellsPluginsBeforeAndAfterAndPathsAnswerByBufferId) {
    start();
    ASSERT_TRUE(writeFile(path(L"saved.xml"), "old"));
    ASSERT_TRUE(host_->openFile(path(L"saved.xml")));
    const HWND main = host_->mainWindow();
    const auto id = static_cast<WPARAM>(::SendMessageW(main, npp::NPPM_GETCURRENTBUFFERID, 0, 0));
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(path(L"saved.xml").c_str(), MAX_PATH, full, nullptr);
    EXPECT_EQ(::SendMessageW(main, npp::NPPM_GETFULLPATHFROMBUFFERID, id, 0), static_cast<LRESULT>(wcslen(full)));
    wchar_t buffer[MAX_PATH] = {};
    ::SendMessageW(main, npp::NPPM_GETFULLPATHFROMBUFFERID, id, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(lstrcmpiW(buffer, full), 0);
    EXPECT_EQ(::SendMessageW(main, npp::NPPM_GETFULLPATHFROMBUFFERID, id + 100, 0), -1);

    ::SendMessageW(host_->view(0), npp::SCI_INSERTTEXT, 0, reinterpret_cast<LPARAM>("new "));
    clearEvents();
    ASSERT_TRUE(host_->saveCurrent());
    const std::wstring tag = L":host:" + std::to_wstring(id);
    Events saves;
    for (const auto& e : events())
        if (e.rfind(L"notify:100", 0) == 0) saves.push_back(e);
    EXPECT_EQ(saves, (Events{L"notify:1007" + tag, L"notify:1008" + tag}));
    std::string bytes;
    ASSERT_TRUE(readFile(path(L"saved.xml"), bytes));
    EXPECT_EQ(bytes, "new old");
}

TEST_F(HostTest, FilesOpenWithTheirEncodingAndLineEndsUnchanged) {
    start();
    struct Case {
        const char* bytes;
        int codePage;
        int eol;
    } cases[] = {
        {"\xEF\xBB\xBFh\xC3\xA9\r\nx", 65001, 0},  // UTF-8 with BOM, CRLF
        {"h\xC3\xA9\nx\r\n", 65001, 2},            // UTF-8, LF first
        {"caf\xE9\rx", 0, 1},                      // not UTF-8: ANSI, CR
    };
    int n = 0;
    for (const Case& c : cases) {
        std::wstring file = path(L"enc" + std::to_wstring(n++) + L".txt");
        ASSERT_TRUE(writeFile(file, c.bytes));
        ASSERT_TRUE(host_->openFile(file));
        EXPECT_EQ(::SendMessageW(host_->view(0), npp::SCI_GETCODEPAGE, 0, 0), c.codePage) << c.bytes;
        EXPECT_EQ(::SendMessageW(host_->view(0), npp::SCI_GETEOLMODE, 0, 0), c.eol) << c.bytes;
        EXPECT_EQ(host_->documentBytes(), std::string(c.bytes)) << c.bytes;
    }
    // The BOM is not part of the text Scintilla holds.
    ASSERT_TRUE(host_->activateDocument(path(L"enc0.txt")));
    EXPECT_EQ(::SendMessageW(host_->view(0), npp::SCI_GETLENGTH, 0, 0), 6);
}

TEST_F(HostTest, RegularExpressionSearchesUseTheEcmaScriptEngine) {
    start();
    ASSERT_TRUE(writeFile(path(L"r.xml"), "  <texture>buttons/focus.png</texture> <b>x</b>"));
    ASSERT_TRUE(host_->openFile(path(L"r.xml")));
    HWND view = host_->view(0);
    auto length = ::SendMessageW(view, npp::SCI_GETLENGTH, 0, 0);
    const char pattern[] = ">(.+?)<";
    auto expectMatch = [&](auto sendFn) {
        sendFn(npp::SCI_SETSEARCHFLAGS, npp::SCFIND_REGEXP | npp::SCFIND_POSIX, 0);
        sendFn(npp::SCI_SETTARGETSTART, 0, 0);
        sendFn(npp::SCI_SETTARGETEND, static_cast<WPARAM>(length), 0);
        auto found = sendFn(npp::SCI_SEARCHINTARGET, sizeof(pattern) - 1, reinterpret_cast<LPARAM>(pattern));
        ASSERT_GE(found, 0);
        auto start = sendFn(npp::SCI_GETTARGETSTART, 0, 0), end = sendFn(npp::SCI_GETTARGETEND, 0, 0);
        std::string match(static_cast<std::size_t>(end - start) + 1, '\0');
        npp::Sci_TextRangeFull range{start, end, match.data()};
        sendFn(npp::SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<LPARAM>(&range));
        match.resize(static_cast<std::size_t>(end - start));
        EXPECT_EQ(match, ">buttons/focus.png<");
        // The classic message, which the 32-bit plugin sends: one record layout there.
        if (sizeof(void*) == 4) {
            std::string classic(match.size() + 1, '\0');
            npp::Sci_TextRange old{start, end, classic.data()};
            sendFn(npp::SCI_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&old));
            EXPECT_STREQ(classic.c_str(), ">buttons/focus.png<");
        }
    };
    // Through window messages...
    expectMatch([&](UINT m, WPARAM w, LPARAM l) { return ::SendMessageW(view, m, w, l); });
    // ...and through the direct function plugins fetch from the view.
    auto fn = reinterpret_cast<npp::SciFnDirect>(::SendMessageW(view, npp::SCI_GETDIRECTFUNCTION, 0, 0));
    auto ptr = static_cast<std::intptr_t>(::SendMessageW(view, npp::SCI_GETDIRECTPOINTER, 0, 0));
    ASSERT_TRUE(fn && ptr);
    expectMatch([&](UINT m, WPARAM w, LPARAM l) { return fn(ptr, m, w, l); });
}

std::wstring clipboard() {
    std::wstring out;
    bool open = false;
    for (int attempt = 0; attempt < 50 && !open; ++attempt) {
        open = ::OpenClipboard(nullptr) != FALSE;
        if (!open) ::Sleep(10);
    }
    if (!open) return L"<clipboard busy>";
    if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
        out = static_cast<const wchar_t*>(::GlobalLock(h));
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return out;
}

// Counts clipboard changes (each closed clipboard session that changed it).
struct ClipboardViewer {
    static inline int changes = 0;
    HWND window = nullptr;
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_CLIPBOARDUPDATE) {
            ++changes;
            return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    explicit ClipboardViewer(HWND parent) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.lpszClassName = L"HostTestClipboardViewer";
        ::RegisterClassW(&wc);
        window = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
        ::AddClipboardFormatListener(window);
    }
    ~ClipboardViewer() {
        ::RemoveClipboardFormatListener(window);
        ::DestroyWindow(window);
    }
};

TEST_F(HostTest, EncodingConversionPassesTheTextThroughTheClipboard) {
    start();
    ClipboardViewer viewer(host_->mainWindow());
    const std::string ansi = "caf\xE9\nna\xEFve\n";
    ASSERT_TRUE(writeFile(path(L"ansi.txt"), ansi));
    ASSERT_TRUE(host_->openFile(path(L"ansi.txt")));
    ASSERT_EQ(::SendMessageW(host_->view(0), npp::SCI_GETCODEPAGE, 0, 0), 0);

    // With the user's text on the clipboard: the document's text, then the
    // user's text back (two changes).
    ASSERT_TRUE(host_->setClipboardText(L"user text"));
    host_->pump(50);
    ClipboardViewer::changes = 0;
    ::SendMessageW(host_->mainWindow(), WM_COMMAND, npp::IDM_FORMAT_CONV2_AS_UTF_8, 0);
    host_->pump(50);
    EXPECT_EQ(ClipboardViewer::changes, 2);
    EXPECT_EQ(clipboard(), L"user text");
    EXPECT_EQ(::SendMessageW(host_->view(0), npp::SCI_GETCODEPAGE, 0, 0), 65001);
    EXPECT_EQ(host_->documentBytes(), "caf\xC3\xA9\nna\xC3\xAFve\n");
    EXPECT_EQ(::SendMessageW(host_->view(0), npp::SCI_GETEOLMODE, 0, 0), 2);

    // Unicode to Unicode: no clipboard traffic, only the BOM on saving.
    ClipboardViewer::changes = 0;
    ::SendMessageW(host_->mainWindow(), WM_COMMAND, npp::IDM_FORMAT_CONV2_UTF_8, 0);
    host_->pump(50);
    EXPECT_EQ(ClipboardViewer::changes, 0);
    EXPECT_EQ(host_->documentBytes(),
              "\xEF\xBB\xBF"
              "caf\xC3\xA9\nna\xC3\xAFve\n");

    // Back to ANSI with an empty clipboard: one change, which leaves the
    // document's text there; the original bytes again.
    bool open = false;
    for (int attempt = 0; attempt < 50 && !open; ++attempt) {
        open = ::OpenClipboard(host_->mainWindow()) != FALSE;
        if (!open) ::Sleep(10);
    }
    ASSERT_TRUE(open);
    ::EmptyClipboard();
    ::CloseClipboard();
    host_->pump(50);
    ClipboardViewer::changes = 0;
    ::SendMessageW(host_->mainWindow(), WM_COMMAND, npp::IDM_FORMAT_CONV2_ANSI, 0);
    host_->pump(50);
    EXPECT_EQ(ClipboardViewer::changes, 1);
    EXPECT_EQ(clipboard(), L"caf\u00E9\nna\u00EFve\n");
    EXPECT_EQ(::SendMessageW(host_->view(0), npp::SCI_GETCODEPAGE, 0, 0), 0);
    EXPECT_EQ(host_->documentBytes(), ansi);
}

TEST_F(HostTest, ShutDownNotifiesThenDestroysWindowsThenUnloads) {
    start();
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"&Show Panel"));
    HWND panel = pluginExport<HWND (*)()>("testPanel")();
    HWND main = host_->mainWindow();
    std::wstring dll = host::exeFolder() + L"\\testplugins\\QuorrelTestPlugin\\QuorrelTestPlugin.dll";
    ASSERT_NE(::GetModuleHandleW(dll.c_str()), nullptr);
    host_->shutdown();
    const auto& n = host_->notifications();
    ASSERT_GE(n.size(), 2u);
    EXPECT_EQ(n[n.size() - 2].code, npp::NPPN_BEFORESHUTDOWN);
    EXPECT_EQ(n.back().code, npp::NPPN_SHUTDOWN);
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_FALSE(::IsWindow(panel));
    EXPECT_EQ(::GetModuleHandleW(dll.c_str()), nullptr);
}

TEST_F(HostTest, OnePluginUnloadsAndReloadsInTheSameProcess) {
    start();
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"&Show Panel"));
    HWND panel = pluginExport<HWND (*)()>("testPanel")();
    ASSERT_TRUE(host_->unloadPlugin(kTestPlugin));
    EXPECT_TRUE(host_->loadedPlugins().empty());
    EXPECT_FALSE(::IsWindow(panel));
    EXPECT_EQ(host_->commandId(kTestMenu, L"&Show Panel"), -1);
    ASSERT_TRUE(host_->reloadPlugin(kTestPlugin));
    EXPECT_EQ(host_->loadedPlugins(), std::vector<std::wstring>{kTestPlugin});
    // A fresh start of the library: it saw DllMain again, and got new ids.
    Events e = events();
    ASSERT_FALSE(e.empty());
    EXPECT_EQ(e[0], L"DllMain");
    EXPECT_LT(indexOf(e, L"getFuncsArray"), indexOf(e, L"notify:1001:host:0"));
    EXPECT_GE(host_->commandId(kTestMenu, L"&Show Panel"), 22005);
    ASSERT_TRUE(host_->runMenu(kTestMenu, L"&Show Panel"));
    EXPECT_NE(pluginExport<HWND (*)()>("testPanel")(), nullptr);
}

}  // namespace
}  // namespace hosttest
