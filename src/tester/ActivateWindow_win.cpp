#include "tester/ActivateWindow_win.h"

#include "base/Win32Handles.h"

#include <windows.h>

#include <vector>

namespace tester {
namespace {

// While the client runs the editor's thread is held here. Repainting (and the
// messages other threads send, which PeekMessage delivers by itself) keeps
// its windows drawn and answering; input stays queued, so no command of the
// editor or of a panel can start again underneath the wait.
void serviceMessagesWhileWaiting() noexcept {
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
}

ClientOutcome waitForProcess(HANDLE process, unsigned waitMilliseconds) noexcept {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= waitMilliseconds) {
            return ClientOutcome::Stopped;
        }
        const DWORD result =
            ::MsgWaitForMultipleObjects(1, &process, FALSE, waitMilliseconds - elapsed, QS_PAINT | QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) {
            return ClientOutcome::Exited;
        }
        if (result == WAIT_OBJECT_0 + 1) {
            serviceMessagesWhileWaiting();
            continue;
        }
        if (result == WAIT_TIMEOUT) {
            return ClientOutcome::Stopped;
        }
        return ClientOutcome::Unobserved;
    }
}

}  // namespace

ClientOutcome runClient(const ClientCommand& command, unsigned waitMilliseconds) noexcept {
    try {
        // CreateProcessW may write into the command line.
        std::vector<wchar_t> commandLine(command.commandLine.begin(), command.commandLine.end());
        commandLine.push_back(L'\0');

        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION info{};
        // The program is named by its full path so that no search (current
        // folder, PATH) can pick another wget.exe.
        if (!::CreateProcessW(command.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              command.currentDirectory.c_str(), &startup, &info)) {
            ::GetLastError();
            return ClientOutcome::NotStarted;
        }
        const win::KernelHandle thread(info.hThread);
        const win::KernelHandle process(info.hProcess);
        const ClientOutcome outcome = waitForProcess(process.get(), waitMilliseconds);
        if (outcome == ClientOutcome::Stopped) {
            ::TerminateProcess(process.get(), 1);
            ::WaitForSingleObject(process.get(), 2000);
        }
        return outcome;
    } catch (...) {
        return ClientOutcome::NotStarted;
    }
}

ClientOutcome activateWindow(std::wstring ip, std::wstring login, std::wstring password, std::wstring wgetPath,
                             std::wstring window) noexcept {
    try {
        const ClientCommand command = buildActivationCommand(ip, login, password, wgetPath, window);
        return runClient(command, kClientWaitMilliseconds);
    } catch (...) {
        return ClientOutcome::NotStarted;
    }
}

}  // namespace tester
