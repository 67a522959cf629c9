#include "TesterTestSupport.h"

#include <atomic>
#include <sstream>

namespace testsupport {

LinuxScratchFolder::LinuxScratchFolder() : folder_(L"tester", L"Z:\\tmp") {
    const std::wstring& path = folder_.path();
    unix_ = "/tmp/" + narrow(path.substr(path.find_last_of(L'\\') + 1));
}

LinuxScratchFolder::~LinuxScratchFolder() {
    removeTree(windowsPath());
    if (!fileExists(windowsPath())) return;
    // Linux programs may leave names Windows cannot spell (GNU Wget saves
    // "ormuHttp?command=..."): let the Linux side remove the rest.
    wine_test::startLinuxProgram(L"Z:\\bin\\rm", L"rm -rf \"" + widen(unix_) + L"\"");
}

bool copyLinuxFile(const char* unixSource, const std::wstring& target) {
    return ::CopyFileW(wine_test::fromLinux(unixSource).c_str(), target.c_str(), FALSE) != FALSE;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

namespace {
struct ChildSearch {
    const wchar_t* wanted;
    HWND found;
};

BOOL CALLBACK matchChild(HWND child, LPARAM data) {
    auto* s = reinterpret_cast<ChildSearch*>(data);
    if (_wcsicmp(className(child).c_str(), s->wanted) == 0) {
        s->found = child;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND findChild(HWND parent, const wchar_t* wantedClass) {
    ChildSearch search{wantedClass, nullptr};
    ::EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool placeRealClient(const std::wstring& folder) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring relay = self;
    relay = relay.substr(0, relay.find_last_of(L'\\') + 1) + L"wget_relay.exe";
    return ::CopyFileW(relay.c_str(), (folder + L"\\wget.exe").c_str(), FALSE) != FALSE;
}

namespace {
// Names the event the relay waits for (WgetRelay.cpp reads it).
constexpr const wchar_t* kRelayHoldVariable = L"QUORREL_RELAY_HOLD";
}  // namespace

HeldClient::HeldClient() {
    // An event of its own each time: a client of an earlier test, still
    // ending, may hold the earlier one open, already set.
    static std::atomic<unsigned> holds{0};
    const std::wstring name =
        L"QuorrelRelayHold-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++holds);
    release_ = ::CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    if (release_ != nullptr) ::SetEnvironmentVariableW(kRelayHoldVariable, name.c_str());
}

HeldClient::~HeldClient() {
    ::SetEnvironmentVariableW(kRelayHoldVariable, nullptr);
    if (release_ == nullptr) return;
    ::SetEvent(release_);
    ::CloseHandle(release_);
}

MediaCenterStub::MediaCenterStub(const std::string& accept) {
    const std::wstring script = widen(QUORREL_SOURCE_DIR "/tests/e2e/tester/media_center_stub.py");
    std::wstring command = L"python3 \"" + script + L"\" --dir \"" + widen(folder_.unixPath()) + L"\" --lifetime 120";
    if (!accept.empty()) command += L" --accept \"" + widen(accept) + L"\"";
    if (!wine_test::startLinuxProgram(L"Z:\\usr\\bin\\python3", command)) return;
    const std::wstring ports = folder_ / L"ports";
    // Python starts slowly on a loaded machine; the bound only ends a broken run.
    for (int i = 0; i < 2400 && !fileExists(ports); ++i) ::Sleep(50);
    std::string text;
    if (readFile(ports, text)) {
        std::istringstream in(text);
        in >> authPort_ >> silentPort_ >> closedPort_;
    }
}

MediaCenterStub::~MediaCenterStub() {
    writeFile(folder_ / L"stop", "");
    // The server notices within a fifth of a second; give it time before its folder goes.
    ::Sleep(600);
}

std::vector<Request> MediaCenterStub::requests() const {
    std::vector<Request> seen;
    std::string log;
    if (!readFile(folder_ / L"requests.log", log)) return seen;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        if (fields.size() != 5) continue;
        Request request;
        request.method = fields[0];
        request.target = fields[1];
        request.hasCredentials = fields[2] != "-";
        if (request.hasCredentials) {
            for (std::size_t i = 0; i + 1 < fields[2].size(); i += 2) {
                request.credentials.push_back(static_cast<char>(std::stoi(fields[2].substr(i, 2), nullptr, 16)));
            }
        }
        request.status = std::atoi(fields[3].c_str());
        request.passwordShownBy = fields[4];
        seen.push_back(request);
    }
    return seen;
}

void MediaCenterStub::hold() const { writeFile(folder_ / L"hold", ""); }

void MediaCenterStub::release() const { ::DeleteFileW((folder_ / L"hold").c_str()); }

std::vector<Request> MediaCenterStub::waitForRequests(std::size_t count, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    std::vector<Request> seen = requests();
    while (seen.size() < count && ::GetTickCount() - start < timeoutMs) {
        ::Sleep(50);
        seen = requests();
    }
    return seen;
}

}  // namespace testsupport
