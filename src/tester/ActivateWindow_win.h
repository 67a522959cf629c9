// Asking the media center to open a window: starts the HTTP client hidden and
// waits for it, within a bound, keeping the editor's windows painted.
#pragma once

#include "tester/ClientCommandLine.h"

#include <string>

namespace tester {

enum class ClientOutcome {
    NotStarted,  // the client could not be started (missing wget.exe, bad folder)
    Exited,      // the client ended by itself
    Stopped,     // the client outlived the bound and was ended
    Unobserved,  // started, but the system gave no process that can be waited for
                 // (Wine hands back no waitable handle for a Linux program)
};

// Starts the client with the command and waits for it at most `waitMilliseconds`.
ClientOutcome runClient(const ClientCommand& command, unsigned waitMilliseconds) noexcept;

// The whole operation for the window of the skin file `window` (lower-cased).
ClientOutcome activateWindow(std::wstring ip, std::wstring login, std::wstring password, std::wstring wgetPath,
                             std::wstring window) noexcept;

}  // namespace tester
