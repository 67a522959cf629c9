// Asking the media center for a window: the client's command line as a
// Windows program parses it, its configuration file and environment, the
// bounded wait, and the real GNU Wget against a loopback stand-in of the
// media center.
//
// This executable doubles as a stand-in client: copied as wget.exe and
// started by the code under test, it records what it was given (and waits
// for the test's word to end, when asked to), so the Windows side of the
// command line is checked too.
#include "TesterTestSupport.h"
#include "tester/ActivateWindow_win.h"
#include "tester/ClientCommandLine.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using testsupport::MediaCenterStub;
using testsupport::Request;
using ScratchFolder = testsupport::LinuxScratchFolder;
using tester::ClientOutcome;

namespace {

constexpr const wchar_t* kRecordVariable = L"QUORREL_STUB_RECORD";
// Names an event the stand-in client waits for before it ends.
constexpr const wchar_t* kHoldVariable = L"QUORREL_STUB_HOLD";

std::wstring environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

// Whether only this process's user may open the file: every entry of its
// list lets in the user or the system itself, and nobody else. (Wine keeps no
// list of the file's own: it tells one made from the Unix mode, which adds
// the system, and everyone for a file made the ordinary way.)
bool ownerOnly(const std::wstring& path) {
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl,
                                nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    HANDLE token = nullptr;
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
    unsigned char user[256] = {};
    DWORD size = 0;
    const bool known = ::GetTokenInformation(token, TokenUser, user, sizeof(user), &size) != FALSE;
    ::CloseHandle(token);
    unsigned char system[SECURITY_MAX_SID_SIZE] = {};
    DWORD systemSize = sizeof(system);
    ::CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize);
    bool userIn = false;
    bool othersIn = acl == nullptr;  // no list at all lets everyone in
    for (DWORD i = 0; known && acl != nullptr && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(acl, i, &ace)) return false;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        if (::EqualSid(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &allowed->SidStart)) {
            userIn = true;
        } else if (!::EqualSid(system, &allowed->SidStart)) {
            othersIn = true;
        }
    }
    ::LocalFree(descriptor);
    return known && userIn && !othersIn;
}

// Stand-in client: one line per argument (hex of its UTF-8 bytes), then the
// current folder, the process id, the configuration file's content and
// whether only the user may open it, and the locale variables.
int runAsStubClient() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::string record;
    auto hex = [](const std::string& bytes) {
        static const char digits[] = "0123456789abcdef";
        std::string out;
        for (unsigned char c : bytes) {
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        }
        return out;
    };
    for (int i = 0; i < argc; ++i) {
        const std::wstring argument = argv[i];
        record += "arg " + hex(testsupport::narrow(argument)) + "\n";
        if (argument.rfind(L"--config=", 0) == 0) {
            const std::wstring path = argument.substr(9);
            std::string content;
            if (testsupport::readFile(path, content)) record += "config " + hex(content) + "\n";
            record += ownerOnly(path) ? "private yes\n" : "private no\n";
        }
    }
    ::LocalFree(argv);
    record += "env " +
              hex(testsupport::narrow(L"LC_ALL=" + environment(L"LC_ALL") + L" LANG=" + environment(L"LANG"))) + "\n";
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    record += "cwd " + hex(testsupport::narrow(folder)) + "\n";
    record += "pid " + std::to_string(::GetCurrentProcessId()) + "\n";
    // Complete when it appears: tests wait for it.
    const std::wstring path = environment(kRecordVariable);
    if (!path.empty() && testsupport::writeFile(path + L".part", record)) {
        ::MoveFileExW((path + L".part").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    const std::wstring hold = environment(kHoldVariable);
    if (!hold.empty()) {
        if (HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, hold.c_str())) {
            // Or until a test that never lets go has long failed.
            ::WaitForSingleObject(release, 300000);
            ::CloseHandle(release);
        }
    }
    return 0;
}

struct StubRecord {
    std::vector<std::wstring> argv;
    std::wstring currentFolder;
    DWORD pid = 0;
    std::string configuration;  // the bytes of the configuration file it was given
    bool privateConfiguration = false;
    std::wstring locale;  // "LC_ALL=... LANG=..."
};

bool readStubRecord(const std::wstring& path, StubRecord& out) {
    std::string text;
    if (!testsupport::readFile(path, text)) return false;
    auto bytes = [](const std::string& h) {
        std::string out;
        for (std::size_t i = 0; i + 1 < h.size(); i += 2)
            out.push_back(static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16)));
        return out;
    };
    auto unhex = [&bytes](const std::string& h) { return testsupport::widen(bytes(h)); };
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.rfind("arg ", 0) == 0) out.argv.push_back(unhex(line.substr(4)));
        if (line.rfind("cwd ", 0) == 0) out.currentFolder = unhex(line.substr(4));
        if (line.rfind("pid ", 0) == 0) out.pid = static_cast<DWORD>(std::stoul(line.substr(4)));
        if (line.rfind("config ", 0) == 0) out.configuration = bytes(line.substr(7));
        if (line == "private yes") out.privateConfiguration = true;
        if (line.rfind("env ", 0) == 0) out.locale = unhex(line.substr(4));
    }
    return true;
}

// The user's temporary folder, where the client's configuration file goes,
// made a fresh one (with a blank in its name) while the test runs.
struct TemporaryFolder {
    ScratchFolder scratch;
    std::wstring path = scratch / L"temp folder";
    TemporaryFolder() {
        ::CreateDirectoryW(path.c_str(), nullptr);
        ::SetEnvironmentVariableW(L"TMP", path.c_str());
        ::SetEnvironmentVariableW(L"LANG", L"de_DE.UTF-8");
    }
    ~TemporaryFolder() {
        ::SetEnvironmentVariableW(L"TMP", nullptr);
        ::SetEnvironmentVariableW(L"LANG", nullptr);
    }
    std::vector<std::wstring> files() const { return testsupport::listFiles(path); }
};

// A folder holding this executable as wget.exe.
struct StubClientFolder {
    ScratchFolder scratch;
    std::wstring folder = scratch / L"my tools";
    std::wstring record = scratch / L"record.txt";
    TemporaryFolder temporary;
    StubClientFolder() {
        ::CreateDirectoryW(folder.c_str(), nullptr);
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        ::CopyFileW(self, (folder + L"\\wget.exe").c_str(), FALSE);
        ::SetEnvironmentVariableW(kRecordVariable, record.c_str());
    }
    ~StubClientFolder() {
        ::SetEnvironmentVariableW(kRecordVariable, nullptr);
        ::SetEnvironmentVariableW(kHoldVariable, nullptr);
        if (release_ != nullptr) {
            ::SetEvent(release_);
            ::CloseHandle(release_);
        }
    }
    // Clients started from now on wait until released (or ended).
    // Each hold has an event of its own: a client of an earlier test, still
    // ending, may hold the earlier one open, already set.
    void hold() {
        static std::atomic<unsigned> holds{0};
        const std::wstring name =
            L"QuorrelStubHold-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++holds);
        release_ = ::CreateEventW(nullptr, TRUE, FALSE, name.c_str());
        ::SetEnvironmentVariableW(kHoldVariable, name.c_str());
    }
    // The client has started: it wrote its record.
    bool started() const { return testsupport::fileExists(record); }

private:
    HANDLE release_ = nullptr;
};

std::wstring activationTarget(const std::wstring& id) {
    return L"/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(" + id + L")";
}

}  // namespace

TEST(ClientStart, TheClientGetsEveryValueAsOneArgumentAndTheCredentialsInAFileOnlyForItsUser) {
    StubClientFolder stub;
    struct Case {
        std::wstring ip, login, password, window, id;
        bool slash;
    } cases[] = {
        {L"127.0.0.1:8080", L"ormu", L"secret", L"home.xml", L"10000", false},
        {L"host", L"", L"", L"mydialog.xml", L"mydialog.xml", true},
        {L"h\" -O C:\\evil.bat \"", L"x --output-document=C:\\evil.bat", L"pa ss \"#\" \\\" \u00e9\u4e2d",
         L"my window.xml", L"my%20window.xml", true},
    };
    for (const Case& c : cases) {
        ::DeleteFileW(stub.record.c_str());
        const std::wstring wgetPath = c.slash ? stub.folder + L"\\" : stub.folder;
        EXPECT_EQ(tester::activateWindow(c.ip, c.login, c.password, wgetPath, c.window).outcome, ClientOutcome::Exited);
        StubRecord seen;
        ASSERT_TRUE(readStubRecord(stub.record, seen));
        ASSERT_EQ(seen.argv.size(), 7u);
        const std::wstring config = seen.argv[1].substr(9);
        const std::vector<std::wstring> expected = {stub.folder + L"\\wget.exe",
                                                    L"--config=" + config,
                                                    L"--timeout=10",
                                                    L"--tries=1",
                                                    L"--output-document=-",
                                                    L"--output-file=-",
                                                    L"http://" + c.ip + activationTarget(c.id)};
        EXPECT_EQ(seen.argv, expected);
        // The folder as typed (Windows drops a trailing backslash when it reports it).
        EXPECT_EQ(seen.currentFolder, stub.folder);
        // In the user's temporary folder, for the user alone, and gone once the client ended.
        EXPECT_EQ(config.rfind(stub.temporary.path + L"\\", 0), 0u) << testsupport::narrow(config);
        EXPECT_EQ(seen.configuration, "http_user = " + testsupport::narrow(c.login) +
                                          "\nhttp_password = " + testsupport::narrow(c.password) + "\n");
        EXPECT_TRUE(seen.privateConfiguration);
        EXPECT_TRUE(stub.temporary.files().empty());
        // The client reports in the C locale whatever the user's language.
        EXPECT_EQ(seen.locale, L"LC_ALL=C LANG=C");
    }
    EXPECT_FALSE(testsupport::fileExists(L"C:\\evil.bat"));
}

TEST(ClientStart, TheConfigurationFileGoesAlsoWhenTheClientIsEnded) {
    StubClientFolder stub;
    stub.hold();
    std::atomic<bool> stop{false};
    tester::ClientRun run;
    const auto command =
        tester::buildClientCommand({L"h", L"u", L"p", stub.folder}, tester::MediaCenterAction::openWindow(L"10000"));
    std::thread waiting([&] { run = tester::runClient(command, 120000, &stop); });
    // Held until the client runs with its file (it has recorded it).
    for (int i = 0; i < 1000 && !stub.started(); ++i) ::Sleep(20);
    StubRecord seen;
    const bool recorded = readStubRecord(stub.record, seen);
    stop = true;
    waiting.join();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(seen.configuration, "http_user = u\nhttp_password = p\n");
    EXPECT_EQ(run.outcome, ClientOutcome::Stopped);
    EXPECT_TRUE(stub.temporary.files().empty());
}

TEST(ClientStart, AMissingClientIsNotStarted) {
    ScratchFolder empty;
    EXPECT_EQ(tester::activateWindow(L"h", L"u", L"p", empty.windowsPath(), L"home.xml").outcome,
              ClientOutcome::NotStarted);
    EXPECT_EQ(tester::activateWindow(L"h", L"u", L"p", empty / L"nowhere", L"home.xml").outcome,
              ClientOutcome::NotStarted);
}

TEST(ClientStart, AClientThatOutlivesTheBoundIsEndedAndTheThreadKeepsAnswering) {
    StubClientFolder stub;
    stub.hold();
    const auto command =
        tester::buildClientCommand({L"h", L"u", L"p", stub.folder}, tester::MediaCenterAction::openWindow(L"10000"));

    // While it waits for the client, the thread answers messages other
    // threads send to its windows: another thread sends once the client
    // runs, then asks the wait to stop, which ends the client.
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    std::atomic<bool> stop{false};
    std::atomic<bool> returned{false};
    LRESULT answered = 0;
    std::thread other([&] {
        while (!stub.started() && !returned) ::Sleep(10);
        if (returned) return;
        DWORD_PTR answer = 0;
        answered = ::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &answer);
        stop = true;
    });
    const ClientOutcome outcome = tester::runClient(command, 600000, &stop).outcome;
    returned = true;
    other.join();
    ::DestroyWindow(window);
    EXPECT_EQ(outcome, ClientOutcome::Stopped);
    EXPECT_NE(answered, 0) << "the waiting thread did not answer a sent message";
    StubRecord seen;
    ASSERT_TRUE(readStubRecord(stub.record, seen));
    if (HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, seen.pid)) {
        EXPECT_EQ(::WaitForSingleObject(process, 60000), WAIT_OBJECT_0) << "the client still runs";
        ::CloseHandle(process);
    }

    // The client never ends by itself: only the bound ends the wait.
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(tester::runClient(command, 1000).outcome, ClientOutcome::Stopped);
    EXPECT_GE(::GetTickCount() - start, 1000u);
}

// The real GNU Wget (the Linux program, placed as wget.exe) against the stand-in.
class RealClient : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(center.ready()) << "the loopback stand-in of the media center did not start";
        ASSERT_TRUE(testsupport::placeRealClient(folder.windowsPath()));
    }
    std::wstring address(int port) const { return L"127.0.0.1:" + std::to_wstring(port); }
    // The authenticated request, once it arrived.
    Request authenticatedRequest(std::size_t index) const {
        const auto seen = center.waitForRequests(2 * (index + 1), 20000);
        std::vector<Request> authenticated;
        for (const Request& r : seen)
            if (r.hasCredentials) authenticated.push_back(r);
        return authenticated.size() > index ? authenticated[index] : Request{};
    }

    MediaCenterStub center;
    ScratchFolder folder;
    TemporaryFolder temporary;
};

TEST_F(RealClient, ActivatesTheWindowOfTheEditedFileWithTheConfiguredCredentials) {
    const tester::ClientRun run =
        tester::activateWindow(address(center.authPort()), L"ormu", L"secret", folder.windowsPath(), L"home.xml");
    EXPECT_EQ(tester::interpretClientRun(run).result, tester::Activation::Opened)
        << "outcome " << static_cast<int>(run.outcome) << " exit " << run.exitCode.value_or(-1) << ": " << run.messages;
    const Request request = authenticatedRequest(0);
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, testsupport::narrow(activationTarget(L"10000")));
    EXPECT_EQ(request.credentials, "ormu:secret");
    EXPECT_EQ(request.status, 200);
    // The client met the challenge first, then sent the credentials.
    const auto seen = center.requests();
    ASSERT_FALSE(seen.empty());
    EXPECT_FALSE(seen.front().hasCredentials);
}

TEST_F(RealClient, CredentialsArriveIntactWhileNoCommandLineHoldsThePassword) {
    const std::wstring login = L"the user";
    const std::wstring password = L"pa ss \"quoted\" \\\" #no comment -O evil.txt \u00e9t\u00e9 \u4e2d\\";
    tester::activateWindow(address(center.authPort()), login, password, folder.windowsPath() + L"\\", L"My Window.xml");
    const Request request = authenticatedRequest(0);
    EXPECT_EQ(request.credentials, testsupport::narrow(login + L":" + password));
    EXPECT_EQ(request.target, testsupport::narrow(activationTarget(L"my%20window.xml")));
    EXPECT_FALSE(testsupport::fileExists(folder / L"evil.txt"));
    // Looked up while the client waited for the answer.
    EXPECT_EQ(request.passwordShownBy, "-");
    EXPECT_TRUE(temporary.files().empty());
}

TEST_F(RealClient, AnAddressWhereNothingListensReturnsWithinTheBound) {
    const tester::ClientRun run =
        tester::activateWindow(address(center.closedPort()), L"u", L"p", folder.windowsPath(), L"home.xml");
    // An exit status: the client ended by itself, not the bound.
    EXPECT_EQ(run.outcome, ClientOutcome::Exited);
    EXPECT_EQ(run.exitCode.value_or(-1), 4) << run.messages;
    EXPECT_EQ(tester::interpretClientRun(run).result, tester::Activation::Unreachable) << run.messages;
    EXPECT_TRUE(center.requests().empty());
}

int main(int argc, char** argv) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring name = self;
    if (name.size() >= 8 && _wcsicmp(name.c_str() + name.size() - 8, L"wget.exe") == 0) {
        return runAsStubClient();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
