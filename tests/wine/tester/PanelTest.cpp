// The tester panel in the stand-in editor with the real plugin: what it lists
// and explains, "Test window" and "Reload skin" through the real GNU Wget to
// the loopback stand-in of the media center with the configured credentials,
// the skin reloaded when a window file is saved, the boxes "Extract ort"
// shows when the user cancels its dialogs, and an extraction running behind
// its progress window while the editor goes on.
#include "Host.h"
#include "OrtWriter.h"
#include "TesterPanelHost.h"
#include "TesterTestSupport.h"
#include "settings/SettingsStore.h"
#include "tester/TesterPanel.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using testsupport::MediaCenterStub;
using testsupport::className;
using testsupport::findChild;
using wine_test::windowText;
using ScratchFolder = testsupport::LinuxScratchFolder;

namespace {

constexpr wchar_t kMenu[] = L"&Quorrel";
constexpr wchar_t kTesterItem[] = L"&Ormu Tester";

BOOL CALLBACK collectText(HWND child, LPARAM data) {
    reinterpret_cast<std::vector<std::wstring>*>(data)->push_back(windowText(child));
    return TRUE;
}

struct DialogSearch {
    HWND skip;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<DialogSearch*>(data);
    if (window != s->skip && ::IsWindowVisible(window) && className(window) == L"#32770" && ::IsWindowEnabled(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// Every text shown in a dialog: its caption, then its children's texts.
std::vector<std::wstring> dialogTexts(HWND dialog) {
    std::vector<std::wstring> texts = {windowText(dialog)};
    ::EnumChildWindows(dialog, collectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// Answers the modal dialogs the panel opens on the editor's thread, from
// another thread: each step waits (bounded) for the next visible dialog of
// that thread, records its texts and acts on it.
class DialogAnswerer {
public:
    using Step = std::function<void(HWND)>;
    DialogAnswerer(DWORD uiThread, std::vector<Step> steps) : uiThread_(uiThread), steps_(std::move(steps)) {
        worker_ = std::thread([this] { run(); });
    }
    ~DialogAnswerer() { finish(); }
    const std::vector<std::vector<std::wstring>>& seen() const { return seen_; }
    void finish() {
        if (worker_.joinable()) worker_.join();
    }

private:
    void run() {
        HWND previous = nullptr;
        for (const Step& step : steps_) {
            HWND dialog = nullptr;
            for (int i = 0; i < 200 && dialog == nullptr; ++i) {
                ::Sleep(50);
                dialog = find(previous);
            }
            if (dialog == nullptr) return;
            ::Sleep(200);  // let it finish laying out its texts
            seen_.push_back(dialogTexts(dialog));
            step(dialog);
            previous = dialog;
        }
    }
    HWND find(HWND skip) const {
        DialogSearch search{skip, nullptr};
        ::EnumThreadWindows(uiThread_, matchDialog, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    DWORD uiThread_;
    std::vector<Step> steps_;
    std::vector<std::vector<std::wstring>> seen_;
    std::thread worker_;
};

void cancel(HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }
void confirm(HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, IDOK, 0); }

bool contains(const std::vector<std::wstring>& texts, const std::wstring& wanted) {
    for (const std::wstring& t : texts)
        if (t == wanted) return true;
    return false;
}

class TesterPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(center_.ready());
        ASSERT_TRUE(testsupport::placeRealClient(wget_.windowsPath()));
        if (!configured_) configure(L"127.0.0.1:" + std::to_wstring(center_.authPort()));

        testsupport::startWithTesterPanel(config_.windowsPath(), host_, panel_);
        if (panel_ == nullptr) return;
        list_ = findChild(panel_, L"ListBox");
        info_ = findChild(panel_, L"Edit");
        ASSERT_NE(list_, nullptr);
        ASSERT_NE(info_, nullptr);
    }
    void TearDown() override { host_.reset(); }

    // The settings the next start of the editor finds (SetUp writes its own
    // only when none were written before).
    void configure(const std::wstring& address, const std::wstring& clientFolder = std::wstring(),
                   const std::wstring& login = L"ormu user", const std::wstring& password = kPassword,
                   bool reloadOnSave = false) {
        SettingsStore store;
        store.setString(L"ORMU", L"OrmuIp", address);
        store.setString(L"ORMU", L"WgetPath", clientFolder.empty() ? wget_.windowsPath() : clientFolder);
        store.setString(L"ORMU", L"OrmuLogin", login);
        store.setString(L"ORMU", L"OrmuPassword", password);
        store.setString(L"ORMU", L"Connection", L"http-command");  // GNU Wget's route, as older releases have it
        if (reloadOnSave) store.setBool(L"ORMU", L"ReloadSkinOnSave", true);
        ASSERT_TRUE(store.save(config_ / L"Quorrel.xml"));
        configured_ = true;
    }

    void openDocument(const std::wstring& name) {
        const std::wstring folder = documents_ / (L"d" + std::to_wstring(++documentCount_));
        ::CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring path = folder + L"\\" + name;
        ASSERT_TRUE(testsupport::writeFile(path, "<window></window>\r\n"));
        ASSERT_TRUE(host_->openFile(path));
        host_->pump(30);
    }

    std::vector<std::wstring> items() const {
        std::vector<std::wstring> texts;
        const int n = static_cast<int>(::SendMessageW(list_, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t text[256] = {};
            ::SendMessageW(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    }

    // As the list box reports a selection and a double-click to its parent.
    void select(int index) {
        ::SendMessageW(list_, LB_SETCURSEL, index, 0);
        ::SendMessageW(::GetParent(list_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list_), LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list_));
    }
    void doubleClick(int index) {
        ::SendMessageW(list_, LB_SETCURSEL, index, 0);
        ::SendMessageW(::GetParent(list_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list_), LBN_DBLCLK),
                       reinterpret_cast<LPARAM>(list_));
    }
    std::wstring info() const { return windowText(info_); }
    // Whether the host's log has a line with `text` (a dialog's text among them).
    bool logged(const std::wstring& text) const {
        for (const std::wstring& entry : host_->log())
            if (entry.find(text) != std::wstring::npos) return true;
        return false;
    }

    // A window file of a skin (its skin folder holds a media folder), open in the editor.
    void openSkinDocument(const std::wstring& name) {
        const std::wstring skin = documents_ / (L"skin" + std::to_wstring(++documentCount_));
        for (const std::wstring& folder : {skin, skin + L"\\media", skin + L"\\720p"})
            ::CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring path = skin + L"\\720p\\" + name;
        ASSERT_TRUE(testsupport::writeFile(path, "<window></window>\r\n"));
        ASSERT_TRUE(host_->openFile(path));
        host_->pump(30);
    }
    // Until the requests under way have their outcome in the pane (bounded).
    void waitForOutcome() {
        for (int i = 0; i < 600 && info().rfind(L"Asking", 0) == 0; ++i) host_->pump(50);
    }
    // The targets of the requests that carried credentials, in order.
    std::vector<std::string> authenticatedTargets() const {
        std::vector<std::string> targets;
        for (const testsupport::Request& r : center_.requests())
            if (r.hasCredentials) targets.push_back(r.target);
        return targets;
    }
    std::wstring address() const { return L"127.0.0.1:" + std::to_wstring(center_.authPort()); }

    static constexpr const wchar_t* kPassword = L"p\"a ss\\\" -O x.txt";

    MediaCenterStub center_;
    ScratchFolder wget_;
    ScratchFolder config_;
    ScratchFolder documents_;
    int documentCount_ = 0;
    bool configured_ = false;
    std::unique_ptr<host::Host> host_;
    HWND panel_ = nullptr;
    HWND list_ = nullptr;
    HWND info_ = nullptr;
};

TEST_F(TesterPanelTest, ListsTheCommandsAndExplainsTheSelectedOne) {
    EXPECT_EQ(items(),
              (std::vector<std::wstring>{L"Test window", L"Extract ort", L"Check skin", L"Pack ort", L"Reload skin"}));
    EXPECT_FALSE(::IsWindowEnabled(info_));

    openDocument(L"Home.xml");
    select(0);
    EXPECT_EQ(info(), L"The window id that \r\nis going to be loaded: 10000");
    EXPECT_TRUE(::IsWindowEnabled(info_));
    EXPECT_TRUE(::GetWindowLongPtrW(info_, GWL_STYLE) & ES_READONLY);

    openDocument(L"settingscategory.xml");
    select(0);
    EXPECT_EQ(info(), L"The window id that \r\nis going to be loaded: 10012");

    openDocument(L"MyWindow.xml");
    select(0);
    EXPECT_EQ(info(), L"The window id that \r\nis going to be loaded: mywindow.xml");

    // The ".xml" test reads the name as it is; an already lower-case unknown
    // name maps to itself: both show nothing.
    for (const wchar_t* name : {L"Home.XML", L"custom.xml", L"notes.txt"}) {
        openDocument(name);
        select(0);
        EXPECT_EQ(info(), L"") << testsupport::narrow(name);
    }

    select(1);
    EXPECT_EQ(info(), L"This command is used if you want to extract a compressed ort file");
    select(2);
    EXPECT_EQ(info().rfind(L"Checks every window file", 0), 0u);
    select(3);
    EXPECT_EQ(info(), L"This command packs the images of a media folder into an ort file");
    select(4);
    EXPECT_EQ(info(), L"This command asks the media center to reload the skin");

    // Showing the panel again lists the commands afresh, without a selection.
    ASSERT_TRUE(host_->runMenu(kMenu, kTesterItem));
    ASSERT_TRUE(host_->runMenu(kMenu, kTesterItem));
    host_->pump(50);
    EXPECT_EQ(items().size(), 5u);
    EXPECT_EQ(::SendMessageW(list_, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(TesterPanelTest, AClipboardChangeListsTheCommandsAfreshAndKeepsTheExplanation) {
    select(1);
    ASSERT_EQ(::SendMessageW(list_, LB_GETCURSEL, 0, 0), 1);
    ASSERT_TRUE(host_->setClipboardText(L"copied while the panel is shown"));
    host_->pump(100);
    EXPECT_EQ(items().size(), 5u);
    EXPECT_EQ(::SendMessageW(list_, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(info(), L"This command is used if you want to extract a compressed ort file");
}

TEST_F(TesterPanelTest, PanesStackInTheSideContainersAndSitSideBySideInTheWideOnes) {
    const HWND listPane = ::GetParent(list_);
    const HWND textPane = ::GetParent(info_);
    auto sideBySide = [&] {
        RECT a{}, b{};
        ::GetWindowRect(listPane, &a);
        ::GetWindowRect(textPane, &b);
        return a.top == b.top && b.left >= a.right;
    };
    auto stacked = [&] {
        RECT a{}, b{};
        ::GetWindowRect(listPane, &a);
        ::GetWindowRect(textPane, &b);
        return a.left == b.left && b.top >= a.bottom;
    };
    ASSERT_TRUE(host_->dockPanel(panel_, host::Container::Top));
    host_->pump(50);
    EXPECT_TRUE(sideBySide());
    ASSERT_TRUE(host_->dockPanel(panel_, host::Container::Left));
    host_->pump(50);
    EXPECT_TRUE(stacked());
    ASSERT_TRUE(host_->dockPanel(panel_, host::Container::Bottom));
    host_->pump(50);
    EXPECT_TRUE(sideBySide());
    ASSERT_TRUE(host_->dockPanel(panel_, host::Container::Right));
    host_->pump(50);
    EXPECT_TRUE(stacked());

    // Floating, the shape of the window decides.
    ASSERT_TRUE(host_->dockPanel(panel_, host::Container::Floating));
    host_->pump(50);
    const HWND frame = ::GetParent(panel_);
    ::SetWindowPos(frame, nullptr, 0, 0, 600, 200, SWP_NOZORDER | SWP_NOMOVE);
    host_->pump(50);
    EXPECT_TRUE(sideBySide());
    ::SetWindowPos(frame, nullptr, 0, 0, 200, 600, SWP_NOZORDER | SWP_NOMOVE);
    host_->pump(50);
    EXPECT_TRUE(stacked());
}

TEST_F(TesterPanelTest, TestWindowAsksTheMediaCenterWithTheConfiguredCredentials) {
    openDocument(L"Home.XML");
    doubleClick(0);
    const auto seen = center_.waitForRequests(2, 20000);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].hasCredentials);
    EXPECT_EQ(seen[1].target, "/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(10000)");
    EXPECT_EQ(seen[1].credentials, "ormu user:" + testsupport::narrow(kPassword));
    EXPECT_FALSE(testsupport::fileExists(wget_ / L"x.txt"));
    ASSERT_TRUE(host_->pumpUntil([this] { return info().rfind(L"The media", 0) == 0; }));

    // A document without the ending asks for nothing (a client started says "Asking...").
    const std::wstring outcome = info();
    openDocument(L"notes.txt");
    doubleClick(0);
    EXPECT_EQ(info(), outcome);
}

TEST_F(TesterPanelTest, ReloadSkinFromTheMenuSendsExactlyTheReloadRequest) {
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Reload skin"));
    EXPECT_EQ(info(), L"Asking the media center at " + address() + L" to reload the skin...");
    waitForOutcome();
    EXPECT_EQ(info(), L"The media center at " + address() + L" reloaded the skin.");
    EXPECT_EQ(authenticatedTargets(),
              std::vector<std::string>{"/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ReloadSkin()"});
}

const std::string kReloadTarget = "/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ReloadSkin()";
const std::string kHomeTarget = "/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(10000)";

TEST_F(TesterPanelTest, ASavedWindowFileReloadsTheSkinThenOpensItsWindow) {
    host_.reset();
    configure(address(), {}, L"ormu user", kPassword, true);
    SetUp();
    openSkinDocument(L"Home.xml");
    ASSERT_TRUE(host_->saveCurrent());
    waitForOutcome();
    EXPECT_EQ(info(), L"The media center at " + address() + L" reloaded the skin and opened window 10000.");
    EXPECT_EQ(authenticatedTargets(), (std::vector<std::string>{kReloadTarget, kHomeTarget}));

    // Saves while a round runs fold into one more round after it. The first
    // round is held at its first request until all saves are in.
    center_.hold();
    ASSERT_TRUE(host_->saveCurrent());
    const auto held = center_.waitForRequests(6, 20000);
    ASSERT_EQ(held.size(), 6u);
    EXPECT_EQ(held.back().target, kReloadTarget);
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(host_->saveCurrent());
    center_.release();
    waitForOutcome();
    EXPECT_EQ(authenticatedTargets(), (std::vector<std::string>{kReloadTarget, kHomeTarget, kReloadTarget, kHomeTarget,
                                                                kReloadTarget, kHomeTarget}));
    EXPECT_EQ(info(), L"The media center at " + address() + L" reloaded the skin and opened window 10000.");
}

TEST_F(TesterPanelTest, WithTheOptionOffASaveSendsNothing) {
    openSkinDocument(L"Home.xml");
    ASSERT_TRUE(host_->saveCurrent());
    EXPECT_EQ(info(), L"");
    // A request now is not refused as busy, and is the only one sent.
    ASSERT_TRUE(host_->runMenu(kMenu, L"&Reload skin"));
    waitForOutcome();
    EXPECT_EQ(info(), L"The media center at " + address() + L" reloaded the skin.");
    EXPECT_EQ(authenticatedTargets(), std::vector<std::string>{kReloadTarget});
}

TEST_F(TesterPanelTest, AnUnreachableMediaCenterLeavesThePanelUsable) {
    host_.reset();
    configure(L"127.0.0.1:" + std::to_wstring(center_.closedPort()));
    SetUp();
    openDocument(L"home.xml");
    doubleClick(0);
    select(0);
    EXPECT_EQ(info(), L"The window id that \r\nis going to be loaded: 10000");
    EXPECT_TRUE(host_->pumpUntil([this] { return info().rfind(L"The media", 0) == 0; }));
    EXPECT_EQ(info(), L"The media center could not be reached at 127.0.0.1:" + std::to_wstring(center_.closedPort()) +
                          L". Check the address in the Options and that the media center runs.");
    EXPECT_TRUE(center_.requests().empty());
}

TEST_F(TesterPanelTest, ExtractOrtTellsTheUserWhatIsMissing) {
    {
        // The file dialog cancelled: no folder browser, one box.
        DialogAnswerer answerer(::GetCurrentThreadId(), {cancel, confirm});
        doubleClick(1);
        answerer.finish();
        ASSERT_EQ(answerer.seen().size(), 2u);
        EXPECT_TRUE(contains(answerer.seen()[1], L"no input file"));
        EXPECT_TRUE(contains(answerer.seen()[1], L"You most choose a ort file"));
    }
    {
        // A bundle chosen, the folder browser cancelled.
        const std::wstring bundle = documents_ / L"textures.ort";
        ASSERT_TRUE(testsupport::writeFile(bundle, std::string("ORTF2\0\0\0\0", 9)));
        auto chooseBundle = [bundle](HWND dialog) {
            HWND edit = findChild(dialog, L"Edit");
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bundle.c_str()));
            confirm(dialog);
        };
        DialogAnswerer answerer(::GetCurrentThreadId(), {chooseBundle, cancel, confirm});
        doubleClick(1);
        answerer.finish();
        ASSERT_EQ(answerer.seen().size(), 3u);
        EXPECT_TRUE(contains(answerer.seen()[1], L"Select a folder for extraction:"));
        EXPECT_TRUE(contains(answerer.seen()[2], L"no output dir"));
        EXPECT_TRUE(contains(answerer.seen()[2], L"You most choose an output directory"));
    }
}

// The script language reads backslashes in quotes as escapes.
std::wstring quoted(const std::wstring& path) {
    std::wstring q = L"\"";
    for (wchar_t c : path) {
        if (c == L'\\' || c == L'"') q.push_back(L'\\');
        q.push_back(c);
    }
    return q + L"\"";
}

BOOL CALLBACK matchProgress(HWND window, LPARAM data) {
    if (className(window) != L"#32770" || windowText(window) != L"Extract ort" ||
        findChild(window, L"msctls_progress32") == nullptr)
        return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

// The extraction's progress window, shown or not yet.
HWND progressWindow() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), matchProgress, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(TesterPanelTest, ExtractionRunsBehindAProgressWindowRefusesASecondCommandAndStopsOnCancel) {
    ortwriter::BundleSpec spec;
    for (int i = 0; i < 12; ++i) {
        spec.entries.push_back({"f/" + std::to_string(i) + ".png",
                                0,
                                {ortwriter::frame(ortwriter::kBgra32, 16, 16,
                                                  ortwriter::patternPixels(ortwriter::kBgra32, 16, 16, i), true)}});
    }
    testsupport::ScratchFolder scratch(L"progress");
    const std::wstring& work = scratch.path();
    const std::wstring bundle = work + L"\\big.ort";
    ASSERT_TRUE(ortwriter::writeFile(bundle, ortwriter::build(spec)));
    const std::wstring out = work + L"\\out";
    ASSERT_TRUE(::CreateDirectoryW(out.c_str(), nullptr));

    // The work waits at its first report until Cancel: it cannot end before
    // the test has looked at it, however fast the machine.
    ::SendMessageW(panel_, TesterPanel::kHoldWork, TRUE, 0);
    for (const std::wstring& line : {L"answer file " + quoted(bundle), L"answer folder " + quoted(out)}) {
        const host::CommandResult result = host_->runLine(line);
        ASSERT_TRUE(result.ok) << testsupport::narrow(line) << ": " << testsupport::narrow(result.message);
    }
    doubleClick(1);
    // The double-click returned while the work goes on; the window shows
    // only after a moment.
    const HWND progress = progressWindow();
    ASSERT_NE(progress, nullptr) << "no progress window";
    EXPECT_FALSE(::IsWindowVisible(progress)) << "shown at once";
    EXPECT_EQ(::GetWindow(progress, GW_OWNER), host_->mainWindow());
    const auto counted = [progress] {
        for (const std::wstring& t : dialogTexts(progress))
            if (t == L"0 of 12 entries") return true;
        return false;
    };
    EXPECT_TRUE(host_->pumpUntil([&] { return ::IsWindowVisible(progress) && counted(); }))
        << "the window did not show the run's count";

    // Another command meanwhile is refused with a short message.
    ASSERT_TRUE(host_->runLine(L"answer message OK caption=\"Extract ort\"").ok);
    doubleClick(0);

    // Cancel: the run stops and tells how far it came.
    ASSERT_TRUE(host_->runLine(L"answer message OK caption=\"Extract ort\"").ok);
    ::PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(progress, IDCANCEL)));
    // The window goes, then the run's message box is answered, in one turn of the pump.
    EXPECT_TRUE(host_->pumpUntil([progress] { return !::IsWindow(progress); }));
    EXPECT_TRUE(host_->runLine(L"expect answered").ok);

    std::wstring log;
    for (const std::wstring& entry : host_->log()) log += entry + L"\n";
    EXPECT_NE(log.find(L"An extraction is still running."), std::wstring::npos) << testsupport::narrow(log);
    EXPECT_NE(log.find(L"The extraction was cancelled: 0 of 12 entries were written before the stop."),
              std::wstring::npos)
        << testsupport::narrow(log);
    EXPECT_TRUE(testsupport::listFiles(out).empty());
}

TEST_F(TesterPanelTest, ExtractOrtWritesTheChosenBundleAndTellsOnceWhatWasSkipped) {
    std::string bundle("ORTF2", 5);
    auto put32 = [&bundle](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bundle.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put64 = [&](std::uint64_t v) {
        put32(static_cast<std::uint32_t>(v));
        put32(static_cast<std::uint32_t>(v >> 32));
    };
    // Two entries of one raw 2x2 32-bit frame each: one ordinary, one that
    // would climb out of the output folder.
    const char* names[] = {"sub/ok.png", "../out.png"};
    const std::uint64_t header = 9 + 2 * (264 + 40);
    put32(2);
    for (int i = 0; i < 2; ++i) {
        std::string path = names[i];
        path.resize(256, '\0');
        bundle += path;
        put32(0);
        put32(1);
        put32(2);
        put32(2);
        put32(16);
        put64(16);
        put64(16);
        put32(0);
        put64(header + 16 * i);
    }
    bundle += std::string(32, '\x7F');
    // On the prefix's own drive: Wine's folder browser would walk the whole
    // Linux file system to reach a folder under Z:.
    testsupport::ScratchFolder scratch(L"panel");
    const std::wstring& work = scratch.path();
    const std::wstring bundlePath = work + L"\\skin.ort";
    ASSERT_TRUE(testsupport::writeFile(bundlePath, bundle));
    const std::wstring out = work + L"\\out folder";
    ASSERT_TRUE(::CreateDirectoryW(out.c_str(), nullptr));

    const std::wstring lines[] = {
        L"answer file " + quoted(bundlePath),
        L"answer folder " + quoted(out),
        L"answer message OK caption=\"Extract ort\"",
        L"select-index panel=\"Ormu Commands\" > class=ListBox 1",
        L"dblclick panel=\"Ormu Commands\" > class=ListBox",
    };
    for (const std::wstring& line : lines) {
        const host::CommandResult result = host_->runLine(line);
        EXPECT_TRUE(result.ok) << testsupport::narrow(line) << ": " << testsupport::narrow(result.message);
    }
    // The run ends on its own thread; its one message box is the end.
    EXPECT_TRUE(host_->pumpUntil([this] { return logged(L"1 entry of the bundle was not written:"); }));
    EXPECT_TRUE(host_->runLine(L"expect answered").ok);
    EXPECT_TRUE(testsupport::fileExists(out + L"\\sub\\ok.png"));
    EXPECT_FALSE(testsupport::fileExists(work + L"\\out.png"));
    EXPECT_EQ(testsupport::listFiles(out), std::vector<std::wstring>{L"sub\\ok.png"});

    std::wstring log;
    for (const std::wstring& entry : host_->log()) log += entry + L"\n";
    EXPECT_NE(log.find(L"1 entry of the bundle was not written:"), std::wstring::npos) << testsupport::narrow(log);
    EXPECT_NE(log.find(L"../out.png"), std::wstring::npos);
}

}  // namespace

namespace {

// A window of the editor's thread: whether a message posted to it is handled
// (the thread is not stuck in the command that ran last).
class MessageProbe {
public:
    MessageProbe() {
        WNDCLASSW type{};
        type.lpfnWndProc = &MessageProbe::procedure;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = L"QuorrelMessageProbe";
        ::RegisterClassW(&type);
        window_ = ::CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, type.hInstance,
                                    nullptr);
    }
    ~MessageProbe() { ::DestroyWindow(window_); }
    MessageProbe(const MessageProbe&) = delete;
    MessageProbe& operator=(const MessageProbe&) = delete;
    bool handled(host::Host& host) {
        received_ = false;
        ::PostMessageW(window_, kProbe, 0, 0);
        return host.pumpUntil([] { return received_; });
    }

private:
    static constexpr UINT kProbe = WM_APP + 7;
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kProbe) received_ = true;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    static inline bool received_ = false;
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(TesterPanelTest, TestWindowTellsItsOutcomeInThePaneWhileTheEditorGoesOn) {
    MediaCenterStub strict("ormu:secret");
    ASSERT_TRUE(strict.ready());
    ScratchFolder noClient;
    struct Case {
        std::wstring address;
        std::wstring login;
        std::wstring password;
        bool client;
        std::wstring outcome;
    };
    const std::wstring strictAddress = L"127.0.0.1:" + std::to_wstring(strict.authPort());
    const Case cases[] = {
        {strictAddress, L"ormu", L"secret", true, L"The media center at " + strictAddress + L" opened window 10000."},
        {strictAddress, L"ormu", L"wrong", true,
         L"The media center at " + strictAddress + L" refused the login or password. Check them in the Options."},
        {L"127.0.0.1:" + std::to_wstring(strict.closedPort()), L"ormu", L"secret", true,
         L"The media center could not be reached at 127.0.0.1:" + std::to_wstring(strict.closedPort()) +
             L". Check the address in the Options and that the media center runs."},
        {strictAddress, L"ormu", L"secret", false,
         L"The client program wget.exe was not found in the folder \"" + noClient.windowsPath() +
             L"\". Set its folder in the Options."},
        // Takes the request and never answers: the client's own bound ends the wait.
        {L"127.0.0.1:" + std::to_wstring(strict.silentPort()), L"ormu", L"secret", true,
         L"The media center at 127.0.0.1:" + std::to_wstring(strict.silentPort()) + L" did not answer in time."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::narrow(c.outcome));
        host_.reset();
        configure(c.address, c.client ? wget_.windowsPath() : noClient.windowsPath(), c.login, c.password);
        SetUp();
        openDocument(L"home.xml");
        doubleClick(0);
        EXPECT_TRUE(host_->pumpUntil([this] { return info().rfind(L"Asking", 0) != 0; }));
        EXPECT_EQ(info(), c.outcome);
    }

    // While the client runs (held until the test lets it go) the editor goes
    // on, and a second Test window is refused.
    host_.reset();
    configure(L"127.0.0.1:" + std::to_wstring(center_.authPort()));
    SetUp();
    openDocument(L"home.xml");
    {
        testsupport::HeldClient held;
        doubleClick(0);
        EXPECT_EQ(info(), L"Asking the media center at 127.0.0.1:" + std::to_wstring(center_.authPort()) +
                              L" to open window 10000...");
        doubleClick(0);
        EXPECT_EQ(info(), L"An earlier request to the media center is still under way; this one was not sent.");
        MessageProbe probe;
        EXPECT_TRUE(probe.handled(*host_)) << "a posted message was not handled while the client ran";
        EXPECT_EQ(info(), L"An earlier request to the media center is still under way; this one was not sent.");
    }
    EXPECT_TRUE(host_->pumpUntil([this] { return info().rfind(L"The media", 0) == 0; }));
    EXPECT_EQ(info(),
              L"The media center at 127.0.0.1:" + std::to_wstring(center_.authPort()) + L" opened window 10000.");

    // The replies were read and dropped: nothing was saved beside the client.
    EXPECT_EQ(testsupport::listFiles(wget_.windowsPath()), std::vector<std::wstring>{L"wget.exe"});
}
