#include "TesterTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace testsupport {
namespace {

std::wstring joinPath(const std::wstring& folder, const std::wstring& name) { return folder + L"\\" + name; }

void collectFiles(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    const std::wstring folder = relative.empty() ? root : joinPath(root, relative);
    HANDLE find = ::FindFirstFileW(joinPath(folder, L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : joinPath(relative, name);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            collectFiles(root, path, out);
        } else {
            out.push_back(path);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

}  // namespace

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

ScratchFolder::ScratchFolder() {
    static LONG counter = 0;
    const LONG n = ::InterlockedIncrement(&counter);
    const std::string name = "qtst-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(::GetTickCount()) + "-" + std::to_string(n);
    unix_ = "/tmp/" + name;
    windows_ = L"Z:\\tmp\\" + widen(name);
    ::CreateDirectoryW(windows_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    removeTree(windows_);
    if (!fileExists(windows_)) return;
    // Linux programs may leave names Windows cannot spell (GNU Wget saves
    // "ormuHttp?command=..."): let the Linux side remove the rest.
    std::wstring command = L"rm -rf \"" + widen(unix_) + L"\"";
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(L"Z:\\bin\\rm", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        if (info.hThread) ::CloseHandle(info.hThread);
        if (info.hProcess) ::CloseHandle(info.hProcess);
    }
}

bool fileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool readFile(const std::wstring& path, std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    ::CloseHandle(file);
    return true;
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

bool copyLinuxFile(const char* unixSource, const std::wstring& target) {
    std::wstring source = L"Z:" + widen(unixSource);
    std::replace(source.begin(), source.end(), L'/', L'\\');
    return ::CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE;
}

bool placeRealClient(const std::wstring& folder) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring relay = self;
    relay = relay.substr(0, relay.find_last_of(L'\\') + 1) + L"wget_relay.exe";
    return ::CopyFileW(relay.c_str(), joinPath(folder, L"wget.exe").c_str(), FALSE) != FALSE;
}

void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(joinPath(path, L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = joinPath(path, name);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

std::vector<std::wstring> listFiles(const std::wstring& folder) {
    std::vector<std::wstring> files;
    collectFiles(folder, L"", files);
    std::sort(files.begin(), files.end());
    return files;
}

MediaCenterStub::MediaCenterStub(const std::string& accept) {
    const std::wstring script = widen(QUORREL_SOURCE_DIR "/tests/e2e/tester/media_center_stub.py");
    std::wstring command = L"python3 \"" + script + L"\" --dir \"" + widen(folder_.unixPath()) + L"\" --lifetime 120";
    if (!accept.empty()) command += L" --accept \"" + widen(accept) + L"\"";
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // A Linux program: Wine starts it natively (and hands back no handle worth keeping).
    if (!::CreateProcessW(L"Z:\\usr\\bin\\python3", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return;
    }
    if (info.hThread) ::CloseHandle(info.hThread);
    if (info.hProcess) ::CloseHandle(info.hProcess);
    const std::wstring ports = folder_ / L"ports";
    for (int i = 0; i < 300 && !fileExists(ports); ++i) ::Sleep(50);
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
        if (fields.size() != 4) continue;
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
        seen.push_back(request);
    }
    return seen;
}

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
