#include "tester/ActivateWindow_win.h"

#include "base/PrivateFile.h"
#include "base/TextCodec.h"
#include "base/Win32Handles.h"
#include "tester/WindowTable.h"

#include <vector>

namespace tester {
namespace {

// More than any answer of the client says; the rest is dropped.
constexpr std::size_t kMessageLimit = 64 * 1024;
constexpr DWORD kPollMilliseconds = 10;

// While waiting, messages other threads send to this thread's windows are
// answered and its windows repainted; input stays queued.
void serviceMessagesWhileWaiting() noexcept {
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageW(&message);
}

void pause() noexcept {
    if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMilliseconds, QS_PAINT | QS_SENDMESSAGE) == WAIT_OBJECT_0) {
        serviceMessagesWhileWaiting();
    }
}

struct Pipe {
    win::KernelHandle read;
    win::KernelHandle write;
    // Only the child's end is inherited.
    bool make(bool childReads) {
        SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, TRUE};
        HANDLE r = nullptr;
        HANDLE w = nullptr;
        if (!::CreatePipe(&r, &w, &attributes, 0)) return false;
        read.reset(r);
        write.reset(w);
        return ::SetHandleInformation(childReads ? write.get() : read.get(), HANDLE_FLAG_INHERIT, 0) != FALSE;
    }
};

// Reads what the pipe holds now; false once the writer has closed it.
bool drain(HANDLE pipe, std::string* keep) {
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
        if (available == 0) return true;
        char buffer[4096];
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer, available < sizeof(buffer) ? available : sizeof(buffer), &got, nullptr))
            return false;
        if (keep != nullptr && keep->size() < kMessageLimit) keep->append(buffer, got);
    }
}

// The caller's environment, one `NAME=value` entry each.
std::vector<std::wstring> currentEnvironment() {
    std::vector<std::wstring> entries;
    wchar_t* block = ::GetEnvironmentStringsW();
    if (block == nullptr) return entries;
    for (const wchar_t* entry = block; *entry != L'\0'; entry += entries.back().size() + 1) entries.emplace_back(entry);
    ::FreeEnvironmentStringsW(block);
    return entries;
}

// The form CreateProcessW takes: each entry ended by a NUL, and one more NUL.
std::vector<wchar_t> environmentBlock(const std::vector<std::wstring>& entries) {
    std::vector<wchar_t> block;
    for (const std::wstring& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// A client built for the ANSI code page reads its arguments in it: a
// temporary folder under a user name outside it is named by its short form.
std::wstring pathTheClientCanOpen(const std::wstring& path) {
    if (text::representable(path, text::kCodePageAnsi)) return path;
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(shortPath, n) : path;
}

}  // namespace

ClientRun runClient(const ClientCommand& command, unsigned waitMilliseconds, const std::atomic<bool>* stop) noexcept {
    ClientRun run;
    try {
        if (!command.configuration) {
            run.outcome = ClientOutcome::CredentialsUnfit;
            return run;
        }
        // Declared first, so that it is removed only after the client ended.
        files::PrivateTempFile configuration;
        if (!configuration.create(*command.configuration, L"quorrel-client-", L".wgetrc")) {
            run.outcome = ClientOutcome::ConfigurationUnwritten;
            return run;
        }
        // CreateProcessW may write into the command line.
        const std::wstring line = clientCommandLine(command, pathTheClientCanOpen(configuration.path()));
        std::vector<wchar_t> commandLine(line.begin(), line.end());
        commandLine.push_back(L'\0');
        std::vector<wchar_t> environment = environmentBlock(clientEnvironment(currentEnvironment()));

        Pipe input;
        Pipe output;
        Pipe errors;
        if (!input.make(true) || !output.make(false) || !errors.make(false)) return run;

        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof(startup);
        startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.StartupInfo.wShowWindow = SW_HIDE;
        startup.StartupInfo.hStdInput = input.read.get();
        startup.StartupInfo.hStdOutput = output.write.get();
        startup.StartupInfo.hStdError = errors.write.get();
        // Of the editor's inheritable handles the client gets these three only.
        HANDLE inherited[] = {input.read.get(), output.write.get(), errors.write.get()};
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        std::vector<unsigned char> attributes(size);
        DWORD flags = CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT;
        if (size > 0) {
            auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
            if (::InitializeProcThreadAttributeList(list, 1, 0, &size) &&
                ::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof(inherited),
                                            nullptr, nullptr)) {
                startup.lpAttributeList = list;
                flags |= EXTENDED_STARTUPINFO_PRESENT;
            }
        }
        PROCESS_INFORMATION info{};
        // The program is named by its full path so that no search (current
        // folder, PATH) can pick another wget.exe.
        const BOOL created =
            ::CreateProcessW(command.program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags,
                             environment.data(), command.currentDirectory.c_str(), &startup.StartupInfo, &info);
        if (startup.lpAttributeList != nullptr) ::DeleteProcThreadAttributeList(startup.lpAttributeList);
        if (!created) return run;
        // Wine starts a Linux program without handles to it and leaves what
        // its stack held in their place: values that may name handles of
        // ours, which must not be closed. Handles that name the new process
        // and thread are the client's.
        const bool handed = info.hProcess != nullptr && info.hThread != nullptr &&
                            ::GetProcessId(info.hProcess) == info.dwProcessId &&
                            ::GetThreadId(info.hThread) == info.dwThreadId && info.dwProcessId != 0;
        const win::KernelHandle thread(handed ? info.hThread : nullptr);
        const win::KernelHandle process(handed ? info.hProcess : nullptr);
        // The child holds its ends now; with ours closed, its end closes the pipes.
        input.read.reset();
        input.write.reset();
        output.write.reset();
        errors.write.reset();
        // Under Wine a Linux program gives no process that can be waited for,
        // nor does it write into our pipes: it is left to run on its own.
        const bool waitable = process && ::WaitForSingleObject(process.get(), 0) != WAIT_FAILED;
        run.outcome = waitable ? ClientOutcome::Exited : ClientOutcome::Unobserved;
        const DWORD start = ::GetTickCount();
        bool outputOpen = true;
        bool errorsOpen = true;
        for (;;) {
            if (outputOpen) outputOpen = drain(output.read.get(), &run.messages);
            if (errorsOpen) errorsOpen = drain(errors.read.get(), &run.messages);
            const bool ended =
                waitable ? ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0 : !outputOpen && !errorsOpen;
            if (ended) {
                // What it wrote last.
                if (outputOpen) drain(output.read.get(), &run.messages);
                if (errorsOpen) drain(errors.read.get(), &run.messages);
                DWORD code = 0;
                if (waitable && ::GetExitCodeProcess(process.get(), &code)) run.exitCode = static_cast<int>(code);
                return run;
            }
            if (::GetTickCount() - start >= waitMilliseconds || (stop != nullptr && stop->load())) {
                if (waitable) {
                    ::TerminateProcess(process.get(), 1);
                    ::WaitForSingleObject(process.get(), 2000);
                }
                run.outcome = ClientOutcome::Stopped;
                return run;
            }
            pause();
        }
    } catch (...) {
        return run;
    }
}

ClientRun activateWindow(std::wstring ip, std::wstring login, std::wstring password, std::wstring wgetPath,
                         std::wstring window) noexcept {
    try {
        const ClientSettings settings{ip, login, password, wgetPath};
        const MediaCenterAction action = MediaCenterAction::openWindow(windowIdForFile(window));
        return runClient(buildClientCommand(settings, action), kClientWaitMilliseconds);
    } catch (...) {
        return ClientRun{};
    }
}

ClientRunner::~ClientRunner() {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
}

bool ClientRunner::start(std::vector<ClientCommand> commands, unsigned waitMilliseconds, HWND window, UINT done) {
    if (running()) return false;
    if (thread_.joinable()) thread_.join();  // ended, its message not seen
    stop_ = false;
    finished_ = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        results_.clear();
    }
    thread_ = std::thread([this, commands = std::move(commands), waitMilliseconds, window, done]() noexcept {
        try {
            for (const ClientCommand& command : commands) {
                ClientRun run = runClient(command, waitMilliseconds, &stop_);
                const Activation result = interpretClientRun(run).result;
                {
                    std::lock_guard<std::mutex> guard(lock_);
                    results_.push_back(std::move(run));
                }
                // A window is not asked for after a reload that failed.
                if (stop_ || (result != Activation::Opened && result != Activation::Sent)) break;
            }
        } catch (...) {
        }
        finished_ = true;
        ::PostMessageW(window, done, 0, 0);
    });
    return true;
}

std::vector<ClientRun> ClientRunner::collect() {
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> guard(lock_);
    return std::move(results_);
}

}  // namespace tester
