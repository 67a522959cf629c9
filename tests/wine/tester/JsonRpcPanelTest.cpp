// The tester panel with today's media center: the real plugin in the
// stand-in editor against the in-process JSON-RPC stand-in (and, for the
// automatic connection's fallback, the older route's loopback stand-in with
// the real GNU Wget). Test window by name and by the keymap file, Reload
// skin, the connection found automatically, reloads on save folding, and the
// words for every way a round ends.
// Winsock's header before the one windows.h brings.
#include "JsonRpcStandIn.h"

#include "Host.h"
#include "TesterPanelHost.h"
#include "TesterTestSupport.h"
#include "settings/SettingsStore.h"
#include "tester/KeymapFile.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using testsupport::JsonRpcStandIn;
using ScratchFolder = testsupport::LinuxScratchFolder;
using Mode = JsonRpcStandIn::Mode;

namespace {

constexpr wchar_t kMenu[] = L"&Quorrel";
const std::string kAccepted = "ormu:s\xc3\xa9" "cret";  // UTF-8, as basic authentication carries it
const std::wstring kPassword = L"s\u00e9cret";

const std::string kOpenHome = R"(GUI.ActivateWindow {"window":"home"})";
const std::string kShown = R"(GUI.GetProperties {"properties":["currentwindow"]})";
const std::string kReloadKeymaps = R"(Input.ExecuteAction {"action":"reloadkeymaps"})";
const std::string kPressReload = R"(Input.ButtonEvent {"button":"launch_media_center","keymap":"KB"})";
const std::string kPressWindow = R"(Input.ButtonEvent {"button":"launch_file_browser","keymap":"KB"})";
const std::string kVersion = "JSONRPC.Version";
const std::string kOwnWindow = "<?xml version=\"1.0\"?>\r\n<window type=\"dialog\" id=\"1104\">\r\n</window>\r\n";

struct Settings {
    std::wstring address;
    std::wstring connection;  // empty: not set (the default)
    std::wstring userData;
    std::wstring login = L"ormu";
    std::wstring password = kPassword;
    bool reloadOnSave = false;
    std::wstring wgetFolder;
};

class JsonRpcPanelTest : public ::testing::Test {
protected:
    void TearDown() override { host_.reset(); }

    void start(const Settings& settings) {
        host_.reset();
        SettingsStore store;
        store.setString(L"ORMU", L"OrmuIp", settings.address);
        store.setString(L"ORMU", L"OrmuLogin", settings.login);
        store.setString(L"ORMU", L"OrmuPassword", settings.password);
        store.setString(L"ORMU", L"WgetPath", settings.wgetFolder);
        store.setString(L"ORMU", L"MediaCenterUserData", settings.userData);
        if (!settings.connection.empty()) store.setString(L"ORMU", L"Connection", settings.connection);
        store.setBool(L"ORMU", L"ReloadSkinOnSave", settings.reloadOnSave);
        ASSERT_TRUE(store.save(config_ / L"Quorrel.xml"));
        HWND panel = nullptr;
        testsupport::startWithTesterPanel(config_.windowsPath(), host_, panel);
        if (panel == nullptr) return;
        pane_ = testsupport::findChild(panel, L"Edit");
        ASSERT_NE(pane_, nullptr);
    }
    std::wstring at() const { return L"127.0.0.1:" + std::to_wstring(center_.port()); }
    Settings jsonRpc() const {
        Settings settings;
        settings.address = at();
        settings.connection = L"jsonrpc";
        settings.userData = userData_.windowsPath();
        return settings;
    }

    // A window file of a skin (its skin folder holds a media folder), open in the editor.
    std::wstring openSkinFile(const std::wstring& name, const std::string& text = "<window></window>\r\n") {
        const std::wstring skin = documents_ / (L"skin" + std::to_wstring(++documents));
        for (const std::wstring& folder : {skin, skin + L"\\media", skin + L"\\720p"})
            ::CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring path = skin + L"\\720p\\" + name;
        EXPECT_TRUE(testsupport::writeFile(path, text));
        EXPECT_TRUE(host_->openFile(path));
        host_->pump(30);
        return path;
    }
    std::wstring pane() const { return wine_test::windowText(pane_); }
    bool asking() const { return pane().rfind(L"Asking", 0) == 0; }
    // Runs the menu command and waits (bounded) for its outcome.
    std::wstring run(const wchar_t* item) {
        EXPECT_TRUE(host_->runMenu(kMenu, item));
        EXPECT_TRUE(host_->pumpUntil([this] { return !asking(); }));
        return pane();
    }
    std::wstring keymap() const { return userData_.windowsPath() + L"\\keymaps\\quorrel.xml"; }

    ScratchFolder userData_;
    ScratchFolder config_;
    ScratchFolder documents_;
    int documents = 0;
    JsonRpcStandIn center_{kAccepted, userData_.windowsPath()};
    std::unique_ptr<host::Host> host_;
    HWND pane_ = nullptr;
};

TEST_F(JsonRpcPanelTest, TestWindowOpensANamedWindowWithTheLoginInTheRequest) {
    ASSERT_NE(center_.port(), 0);
    start(jsonRpc());
    openSkinFile(L"Home.xml");
    EXPECT_EQ(run(L"&Test window"), L"The media center at " + at() + L" shows home (10000).");
    EXPECT_EQ(center_.methods(), (std::vector<std::string>{kOpenHome, kShown}));
    for (const testsupport::JsonRpcCall& call : center_.calls()) {
        EXPECT_EQ(call.path, "/jsonrpc");
        EXPECT_EQ(call.credentials, kAccepted);
    }
    // A named window needs no keymap: nothing is written.
    EXPECT_TRUE(testsupport::listFiles(userData_.windowsPath()).empty());

    Settings wrong = jsonRpc();
    wrong.password = L"secret";
    start(wrong);
    openSkinFile(L"Home.xml");
    EXPECT_EQ(run(L"&Test window"),
              L"The media center at " + at() + L" refused the login or password (401). Check them in the Options.");
}

TEST_F(JsonRpcPanelTest, ASkinsOwnWindowAndReloadSkinGoThroughTheKeymapFile) {
    start(jsonRpc());
    openSkinFile(L"Custom_1104_Tools.xml", kOwnWindow);
    EXPECT_EQ(run(L"&Test window"), L"The media center at " + at() + L" shows Window (11104).");
    EXPECT_EQ(center_.methods(), (std::vector<std::string>{kReloadKeymaps, kPressWindow, kShown}));
    EXPECT_EQ(testsupport::readFile(keymap()), tester::keymapContent(1104));
    ASSERT_TRUE(host_->runLine(L"select-index panel=\"Ormu Commands\" > class=ListBox 0").ok);
    EXPECT_EQ(pane(), L"The window that is going to be opened: \r\nwindow 1104, through the keymap file");

    EXPECT_EQ(run(L"&Reload skin"), L"The media center at " + at() + L" reloaded the skin.");
    EXPECT_EQ(center_.skinReloads(), 1);
    EXPECT_EQ(center_.methods().size(), 5u);
    EXPECT_EQ(testsupport::readFile(keymap()), tester::keymapContent(1104));
    EXPECT_EQ(testsupport::listFiles(userData_.windowsPath()), std::vector<std::wstring>{L"keymaps\\quorrel.xml"});

    // A keymap file of someone else's is left as it is, and nothing is sent.
    const std::string theirs = "<keymap><global><keyboard><f5>ReloadSkin()</f5></keyboard></global></keymap>\r\n";
    ASSERT_TRUE(testsupport::writeFile(keymap(), theirs));
    EXPECT_EQ(run(L"&Test window"), L"The keymap file " + keymap() +
                                        L" was not written by this plugin (its first line is not the plugin's), so it "
                                        L"was left alone. Rename it to let the plugin write its own.");
    EXPECT_EQ(testsupport::readFile(keymap()), theirs);
    EXPECT_EQ(center_.methods().size(), 5u);

    // Without the user data folder: one line says what to set.
    Settings unset = jsonRpc();
    unset.userData.clear();
    start(unset);
    EXPECT_EQ(run(L"&Reload skin"),
              L"To reload the skin over JSON-RPC the plugin presses a key that a keymap file maps: set \"Media center "
              L"user data folder\" in the Options to the media center's user data folder, and the plugin writes "
              L"keymaps\\quorrel.xml there.");
    EXPECT_EQ(center_.methods().size(), 5u);
}

TEST_F(JsonRpcPanelTest, TheAutomaticConnectionFindsJsonRpcAndRemembersIt) {
    Settings automatic = jsonRpc();
    automatic.connection.clear();
    start(automatic);
    openSkinFile(L"Home.xml");
    EXPECT_EQ(run(L"&Test window"), L"The media center at " + at() +
                                        L" shows home (10000).\r\nConnection: JSON-RPC, found automatically at this "
                                        L"address (interface version 13.0.0).");
    EXPECT_EQ(center_.methods(), (std::vector<std::string>{kVersion, kOpenHome, kShown}));
    run(L"&Test window");
    EXPECT_EQ(center_.methods(), (std::vector<std::string>{kVersion, kOpenHome, kShown, kOpenHome, kShown}));
}

TEST_F(JsonRpcPanelTest, TheAutomaticConnectionFallsBackToTheOlderRouteWhereJsonRpcIsMissing) {
    testsupport::MediaCenterStub older;
    ASSERT_TRUE(older.ready());
    ScratchFolder wget;
    ASSERT_TRUE(testsupport::placeRealClient(wget.windowsPath()));
    const std::wstring address = L"127.0.0.1:" + std::to_wstring(older.authPort());
    Settings automatic = jsonRpc();
    automatic.address = L"http://" + address + L"/";  // as typed: both routes read it
    automatic.connection.clear();
    automatic.wgetFolder = wget.windowsPath();
    start(automatic);
    EXPECT_EQ(run(L"&Reload skin"), L"The media center at " + address +
                                        L" reloaded the skin.\r\nConnection: the HTTP command route of older "
                                        L"releases, found automatically at this address (no JSON-RPC there).");
    run(L"&Reload skin");
    std::vector<std::string> seen;
    for (const testsupport::Request& r : older.requests()) seen.push_back(r.method + " " + r.target);
    const std::string reload = "GET /ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ReloadSkin()";
    // The challenge, then the request with the login, each time; /jsonrpc asked once.
    EXPECT_EQ(seen, (std::vector<std::string>{"POST /jsonrpc", reload, reload, reload, reload}));
    EXPECT_TRUE(testsupport::listFiles(userData_.windowsPath()).empty());
}

TEST_F(JsonRpcPanelTest, EveryEndingIsToldInOneLineAndNothingWaitsOnTheEditorsThread) {
    int closedPort = 0;
    {
        JsonRpcStandIn gone;
        closedPort = gone.port();
    }
    const std::wstring closed = L"127.0.0.1:" + std::to_wstring(closedPort);
    const struct {
        Mode mode;
        std::wstring address;  // empty: the stand-in's
        std::wstring login;
        std::wstring outcome;  // after the address
    } cases[] = {
        {Mode::NotFound, L"", L"ormu",
         L"There is no JSON-RPC at @ (404 on /jsonrpc): an older media center? Set Connection to http-command in the "
         L"Options."},
        {Mode::ErrorAnswer, L"", L"ormu", L"The media center at @ refused GUI.ActivateWindow: Invalid params. (error -32602)."},
        {Mode::CloseMidAnswer, L"", L"ormu", L"The media center at @ closed the connection before its answer was complete."},
        {Mode::Huge, L"", L"ormu",
         L"The answer from @ is larger than 256 KB, which no answer to the tester's requests is; it was not read."},
        {Mode::Serve, closed, L"ormu",
         L"Nothing answered at @ (the connection was refused). Is the media center running, with its web server on "
         L"(its remote control over HTTP allowed), and is the port right?"},
        {Mode::Serve, L"http://127.0.0.1/jsonrpc", L"ormu",
         L"The media center's address \"http://127.0.0.1/jsonrpc\" holds a path; give only host or host:port. "
         L"Nothing was sent."},
        {Mode::Serve, L"", L"or:mu",
         L"The login holds a colon, which HTTP basic authentication cannot carry. Change it in the Options; nothing "
         L"was sent."},
        // Takes the request and never answers: the answer's bound ends the round.
        {Mode::Silent, L"", L"ormu", L"The media center at @ took the request but did not answer in time."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::narrow(c.outcome));
        center_.setMode(c.mode);
        Settings settings = jsonRpc();
        if (!c.address.empty()) settings.address = c.address;
        settings.login = c.login;
        start(settings);
        openSkinFile(L"Home.xml");
        std::wstring expected = c.outcome;
        const std::size_t marker = expected.find(L'@');
        if (marker != std::wstring::npos) expected.replace(marker, 1, c.address.empty() ? at() : closed);
        EXPECT_EQ(run(L"&Test window"), expected);
    }

    // While an answer is held, the editor goes on and a second request is refused.
    center_.setMode(Mode::Serve);
    start(jsonRpc());
    openSkinFile(L"Home.xml");
    center_.closeGate();
    const std::size_t before = center_.calls().size();
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Test window"));
    EXPECT_EQ(pane(), L"Asking the media center at " + at() + L" to open home (10000) over JSON-RPC...");
    ASSERT_TRUE(center_.waitForCalls(before + 1));
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Reload skin"));
    EXPECT_EQ(pane(), L"An earlier request to the media center is still under way; this one was not sent.");
    center_.openGate();
    EXPECT_TRUE(host_->pumpUntil([this] { return pane().rfind(L"The media", 0) == 0; }));
    EXPECT_EQ(pane(), L"The media center at " + at() + L" shows home (10000).");
}

TEST_F(JsonRpcPanelTest, SavesReloadThenOpenTheWindowAndSavesDuringARoundFoldIntoOneMore) {
    Settings onSave = jsonRpc();
    onSave.reloadOnSave = true;
    start(onSave);
    openSkinFile(L"Custom_1104_Tools.xml", kOwnWindow);
    center_.closeGate();
    ASSERT_TRUE(host_->saveCurrent());
    ASSERT_TRUE(center_.waitForCalls(1));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(host_->saveCurrent());
    center_.openGate();
    const std::vector<std::string> round{kReloadKeymaps, kPressReload, kPressWindow, kShown};
    EXPECT_TRUE(host_->pumpUntil([this] { return center_.calls().size() >= 8 && !asking(); }));
    std::vector<std::string> twice = round;
    twice.insert(twice.end(), round.begin(), round.end());
    EXPECT_EQ(center_.methods(), twice);
    EXPECT_EQ(center_.skinReloads(), 2);
    EXPECT_EQ(pane(), L"The media center at " + at() + L" reloaded the skin and shows Window (11104).");
}

}  // namespace
