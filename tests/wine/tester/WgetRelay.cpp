// Stands in for a Windows build of GNU Wget: runs the real (Linux) GNU Wget
// with the arguments it was given (a configuration file's Windows path made
// the Linux path of the same file), in its own current folder and with its
// environment, and hands on what Wget wrote and its exit status, as wget.exe
// would. Wine gives a Linux program neither a process to wait for nor our
// pipes, so the Linux side writes its output and status to files under /tmp,
// which this program reads.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// One word for the shell, whatever it holds.
std::string shellWord(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

// Z:\tmp\x -> /tmp/x (the test folders live on the Linux side).
std::string unixPath(std::wstring path) {
    if (path.size() >= 2 && (path[0] == L'Z' || path[0] == L'z') && path[1] == L':') path.erase(0, 2);
    for (wchar_t& c : path) {
        if (c == L'\\') c = L'/';
    }
    return utf8(path);
}

// Any Windows path (C:\users\...\Temp\x) as Wine maps it to Linux.
std::string linuxPathOf(const std::wstring& path) {
    using Converter = char*(__cdecl*)(const wchar_t*);
    // Through void*: the procedure's real type is not FARPROC's.
    const auto convert = reinterpret_cast<Converter>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* converted = convert != nullptr ? convert(path.c_str()) : nullptr;
    if (converted == nullptr) return unixPath(path);
    std::string result = converted;
    ::HeapFree(::GetProcessHeap(), 0, converted);
    return result;
}

// The argument as the Linux program needs it.
std::string forLinux(const std::wstring& argument) {
    static const std::wstring kConfig = L"--config=";
    if (argument.compare(0, kConfig.size(), kConfig) == 0)
        return "--config=" + linuxPathOf(argument.substr(kConfig.size()));
    return utf8(argument);
}

bool readAll(const std::wstring& path, std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    ::CloseHandle(file);
    return true;
}

bool writeAll(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok != FALSE;
}

std::wstring environment(const wchar_t* name) {
    wchar_t value[256] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 256);
    return n > 0 && n < 256 ? std::wstring(value, n) : std::wstring();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    const std::wstring stem =
        L"Z:\\tmp\\qrelay-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount());
    const std::wstring script = stem + L".sh";
    const std::wstring output = stem + L".out";
    const std::wstring status = stem + L".status";

    std::string line = "cd " + shellWord(unixPath(folder)) + " || exit 1\n/usr/bin/wget";
    for (int i = 1; i < argc; ++i) line += " " + shellWord(forLinux(argv[i]));
    line += " > " + shellWord(unixPath(output)) + " 2>&1\necho $? > " + shellWord(unixPath(status) + ".part") +
            "\nmv " + shellWord(unixPath(status) + ".part") + " " + shellWord(unixPath(status)) + "\n";
    if (!writeAll(script, line)) return 3;

    const std::string unixScript = unixPath(script);
    const std::wstring command = L"/bin/sh " + std::wstring(unixScript.begin(), unixScript.end());
    std::vector<wchar_t> commandLine(command.begin(), command.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        return 3;
    }
    // Wine hands back no handles to a Linux program: what it leaves in
    // `info` is not ours to close.

    std::string code;
    for (int i = 0; i < 6000 && !readAll(status, code); ++i) ::Sleep(10);
    std::string text;
    readAll(output, text);
    // A test holds the answer until it lets it go (HeldClient), or until a
    // test that never does has long failed.
    const std::wstring hold = environment(L"QUORREL_RELAY_HOLD");
    if (!hold.empty()) {
        if (HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, hold.c_str())) {
            ::WaitForSingleObject(release, 300000);
            ::CloseHandle(release);
        }
    }
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::DeleteFileW(script.c_str());
    ::DeleteFileW(output.c_str());
    ::DeleteFileW(status.c_str());
    return code.empty() ? 1 : std::atoi(code.c_str());
}
