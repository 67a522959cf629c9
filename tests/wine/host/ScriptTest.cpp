// The script language end to end: a script that drives the test plugin, its
// log, failures that must be reported (never hang), and the program's exit code.
#include "HostFixture.h"

namespace hosttest {
namespace {

bool contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

class ScriptTest : public HostTest {
protected:
    // Runs the lines as a script file; returns the log.
    std::string runScript(const std::string& lines, bool* ok = nullptr) {
        std::wstring script = path(L"script.txt"), log = path(L"script.log");
        EXPECT_TRUE(writeFile(script, lines));
        bool result = host_->runScript(script, log);
        if (ok != nullptr) *ok = result;
        return readFile(log);
    }
};

TEST_F(ScriptTest, DrivesPluginWindowsDialogsAndDocuments) {
    start({kTestPlugin}, L"", true);
    ASSERT_TRUE(writeFile(path(L"doc.xml"), "<a>\r\n  <b>x</b>\r\n</a>\r\n"));
    bool ok = false;
    std::string log = runScript(
        "# comments and blank lines are skipped\n"
        "\n"
        "open doc.xml\n"
        "expect eol crlf\n"
        "caret 2 5\n"
        "expect caret 2 5\n"
        "expect line 2 \"  <b>x</b>\"\n"
        "menu \"&Test Plugin\" \"&Show Panel\"\n"
        "expect checked \"&Test Plugin\" \"&Show Panel\"\n"
        "expect panel panel=\"Test Panel\" right\n"
        "select panel=\"Test Panel\" > #1011 \"gamma\"\n"
        "expect selection #1011 \"gamma\"\n"
        "expect items #1011 3\n"
        "settext panel=\"Test Panel\" > class=Edit \"typed\"\n"
        "menu \"&Test Plugin\" \"&Modeless Window\"\n"
        "dump windows.txt\n"
        "answer message No caption=\"Test box\" text=\"Proceed with the test?\"\n"
        "menu \"&Test Plugin\" \"Message &Box\"\n"
        "expect answered\n"
        "clipboard \"from the script\"\n"
        "expect clipboard \"from the script\"\n"
        "save copy.xml\n"
        "screenshot panel=\"Test Panel\" panel.png\n"
        "keys view=main \"{CTRL+SHIFT+P}\"\n"
        "expect unchecked \"&Test Plugin\" \"&Show Panel\"\n"
        "quit\n"
        "log \"never reached\"\n",
        &ok);
    EXPECT_TRUE(ok) << log;
    EXPECT_TRUE(contains(log, "summary: 24 commands, 0 failed")) << log;
    EXPECT_FALSE(contains(log, "never reached"));
    EXPECT_TRUE(contains(log, "dialog: message box caption=\"Test box\" text=\"Proceed with the test?\" -> No")) << log;
    EXPECT_TRUE(sawEvent(L"messagebox:7"));  // IDNO reached the plugin

    std::string dump = readFile(path(L"windows.txt"));
    EXPECT_TRUE(contains(dump, "panel \"Test Panel\" container=right shown=1\n")) << dump;
    EXPECT_TRUE(contains(dump, "    Edit #1010 \"typed\" visible=1 enabled=1 rect=4,4,150,22\n")) << dump;
    EXPECT_TRUE(contains(dump, "      items=3 selection=2\n      item[0] \"alpha\"\n")) << dump;
    EXPECT_TRUE(contains(dump, "\ndialog \"Test window\"\n  QuorrelTestModeless #0 \"Test window\" visible=1")) << dump;
    EXPECT_TRUE(contains(dump, "    Edit #2002 \"second\" visible=1 enabled=1 rect=10,40,200,22\n")) << dump;
    EXPECT_EQ(readFile(path(L"copy.xml")), "<a>\r\n  <b>x</b>\r\n</a>\r\n");
    std::string png = readFile(path(L"panel.png"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
}

TEST_F(ScriptTest, ControlsReportWhatAUsersActionWouldMakeThemReport) {
    start();
    ASSERT_TRUE(host_->runLine(L"menu \"&Test Plugin\" \"&Show Panel\"").ok);
    clearEvents();
    const wchar_t* lines[] = {
        L"settext panel=\"Test Panel\" > #1010 \"new text\"",
        L"select #1011 \"beta\"",
        L"dblclick #1011",
        L"select-index #1012 1",
        L"click #1013",
        L"click text=Go",
    };
    for (const wchar_t* line : lines) {
        host::CommandResult r = host_->runLine(line);
        EXPECT_TRUE(r.ok) << narrow(line) << ": " << narrow(r.message);
    }
    const std::vector<std::wstring> expected = {
        L"control:1010:" + std::to_wstring(EN_CHANGE),  L"control:1011:" + std::to_wstring(LBN_SELCHANGE),
        L"control:1011:" + std::to_wstring(LBN_DBLCLK), L"control:1012:" + std::to_wstring(CBN_SELCHANGE),
        L"control:1013:" + std::to_wstring(BN_CLICKED),
    };
    for (const auto& e : expected) EXPECT_TRUE(sawEvent(e)) << narrow(e);
    EXPECT_TRUE(host_->runLine(L"expect selection #1012 \"two\"").ok);
    EXPECT_TRUE(host_->runLine(L"expect item #1011 2 \"gamma\"").ok);
    // The list's selected row is where the double click landed.
    EXPECT_TRUE(host_->runLine(L"expect selection #1011 \"beta\"").ok);
}

TEST_F(ScriptTest, FailuresAreReportedAndTheScriptGoesOn) {
    start();
    ASSERT_TRUE(host_->runLine(L"menu \"&Test Plugin\" \"&Show Panel\"").ok);
    ASSERT_TRUE(host_->runLine(L"menu \"&Test Plugin\" \"&Modeless Window\"").ok);
    struct Case {
        const wchar_t* line;
        const wchar_t* message;
    } cases[] = {
        {L"frobnicate", L"unknown command \"frobnicate\""},
        {L"menu \"&Test Plugin\" \"&Nothing\"", L"no menu item \"&Test Plugin\" > \"&Nothing\""},
        // Both the panel and the modeless window have an Edit: ambiguous.
        {L"settext class=Edit \"x\"", L"selector \"class=\\\"Edit\\\"\" matches 3 windows; add conditions or index=N"},
        {L"click #4242", L"no window matches \"#4242\""},
        {L"expect text #1010 \"other\"", L"expected text, found \"panel edit\""},
        {L"expect unchecked \"&Test Plugin\" \"&Show Panel\"", L"expected unchecked, found checked"},
        {L"open missing-file.xml", nullptr},
        {L"caret 99", L"no line 99 column 1"},
        {L"caret 1 2", L"no line 1 column 2"},  // the document is empty
        {L"clipboard \"unterminated", L"unterminated string"},
        {L"answer message Maybe", L"unknown button \"Maybe\""},
        {L"wait many", L"milliseconds must be a number, not \"many\""},
    };
    for (const Case& c : cases) {
        host::CommandResult r = host_->runLine(c.line);
        EXPECT_FALSE(r.ok) << narrow(c.line);
        if (c.message != nullptr) {
            EXPECT_EQ(r.message, c.message) << narrow(c.line);
        }
    }
    // index= picks one of several matches, in window order.
    EXPECT_TRUE(host_->runLine(L"expect exists class=Edit index=2").ok);
    EXPECT_TRUE(host_->runLine(L"expect missing #4242").ok);
}

TEST_F(ScriptTest, UnexpectedModalDialogIsClosedAndCountsAsFailure) {
    start();
    bool ok = true;
    std::string log = runScript("menu \"&Test Plugin\" \"Message &Box\"\n", &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(
        contains(log, "FAIL: unexpected dialog \"Test box\" text \"Proceed with the test?\" closed with button 7"))
        << log;
    EXPECT_TRUE(sawEvent(L"messagebox:7"));
    EXPECT_TRUE(contains(log, "summary: 1 commands, 1 failed")) << log;
}

TEST_F(ScriptTest, WrongDialogOrUnusedAnswerFails) {
    start();
    bool ok = true;
    std::string log = runScript(
        "answer message Yes caption=\"Another box\"\n"
        "menu \"&Test Plugin\" \"Message &Box\"\n"
        "answer folder C:\\\n",
        &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(contains(log, "caption is not \"Another box\"")) << log;
    EXPECT_TRUE(contains(log, "1 queued dialog answer(s) never used")) << log;
    EXPECT_TRUE(sawEvent(L"messagebox:7"));  // closed cautiously, not with Yes
}

TEST_F(ScriptTest, AnswersFileDialogsAndFolderBrowsers) {
    start();
    ASSERT_TRUE(writeFile(path(L"pick.xml"), "<a/>"));
    ::CreateDirectoryW(path(L"chosen").c_str(), nullptr);
    std::string folder = narrow(folder_);
    bool ok = false;
    std::string log = runScript(
        "answer file pick.xml\n"
        "menu \"&Test Plugin\" \"Open &File\"\n"
        "answer folder chosen\n"
        "menu \"&Test Plugin\" \"Browse F&older\"\n",
        &ok);
    EXPECT_TRUE(ok) << log;
    EXPECT_TRUE(sawEvent(L"file:" + path(L"pick.xml"))) << log;
    EXPECT_TRUE(sawEvent(L"folder:" + path(L"chosen"))) << log;
}

DWORD runProgram(const std::wstring& arguments) {
    std::wstring command = L"\"" + host::exeFolder() + L"\\quorrel-host.exe\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 999;
    DWORD code = 998;
    if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

TEST(ScriptProgram, ExitCodeSaysWhetherEveryCommandSucceeded) {
    testsupport::ScratchFolder scratch(L"host-program");
    const std::wstring& folder = scratch.path();
    std::wstring common = L"--hidden --plugins \"" + host::exeFolder() +
                          L"\\testplugins\" --plugin QuorrelTestPlugin --config \"" + folder + L"\\config\"";
    ASSERT_TRUE(writeFile(folder + L"\\good.txt",
                          "menu \"&Test Plugin\" \"&Show Panel\"\nexpect checked \"&Test Plugin\" \"&Show Panel\"\n"));
    ASSERT_TRUE(writeFile(folder + L"\\bad.txt", "expect checked \"&Test Plugin\" \"&Show Panel\"\nwait 10\n"));
    EXPECT_EQ(runProgram(L"--script \"" + folder + L"\\good.txt\" --log \"" + folder + L"\\good.log\" " + common), 0u);
    EXPECT_EQ(runProgram(L"--script \"" + folder + L"\\bad.txt\" --log \"" + folder + L"\\bad.log\" " + common), 1u);
    std::string bad = readFile(folder + L"\\bad.log");
    EXPECT_TRUE(contains(bad, "[1] expect checked")) << bad;
    EXPECT_TRUE(contains(bad, "  FAIL: expected checked, found unchecked")) << bad;
    EXPECT_TRUE(contains(bad, "summary: 2 commands, 1 failed")) << bad;
    EXPECT_EQ(runProgram(L"--bogus"), 2u);
}

}  // namespace
}  // namespace hosttest
