// What became of one run of the HTTP client (GNU Wget), told in words a skin
// author understands: derived from the client's exit status (GNU Wget
// documents its codes) and, where the system gives none, from its messages.
// Portable: the Win32 side runs the client and fills a ClientRun.
#pragma once

#include "tester/ClientCommandLine.h"

#include <optional>
#include <string>
#include <vector>

namespace tester {

enum class ClientOutcome {
    NotStarted,              // the client could not be started (missing wget.exe, bad folder)
    Exited,                  // the client ended by itself
    Stopped,                 // the client outlived the bound and was ended
    Unobserved,              // started, but the system gave no process that can be waited for
                             // (Wine hands back no waitable handle for a Linux program, and
                             // passes it no pipe of ours): nothing is known of its end
    CredentialsUnfit,        // not started: the credentials cannot go into the client's configuration file
    ConfigurationUnwritten,  // not started: the configuration file could not be made
};

struct ClientRun {
    ClientOutcome outcome = ClientOutcome::NotStarted;
    std::optional<int> exitCode;  // when the system told it
    std::string messages;         // what the client wrote (its messages, and the short reply)
};

enum class Activation {
    Opened,                  // the media center took the request
    LoginRefused,            // it refused the login or the password
    Unreachable,             // nothing could be reached at the address
    NoAnswer,                // it did not answer in time
    ClientMissing,           // wget.exe is not in the configured folder
    ServerError,             // it answered with an HTTP error other than a refused login
    Failed,                  // anything else the client reported
    Sent,                    // the client was started, but the system tells nothing of how it went
    CredentialsUnfit,        // nothing sent: the login or password cannot be given to the client
    ConfigurationUnwritten,  // nothing sent: the client's configuration file could not be made
};

struct ActivationReport {
    Activation result = Activation::Failed;
    std::string status;  // the media center's last HTTP status line ("404 Not Found"), when it sent one
};

// GNU Wget's exit codes: 0 success, 1 generic error, 2 parse error, 3 file
// I/O error, 4 network failure, 5 SSL verification failure, 6 username or
// password authentication failure, 7 protocol error, 8 an error response
// from the server.
ActivationReport interpretClientRun(const ClientRun& run);

// The pane's texts for requests to the media center at `address` (as
// configured): while they run, and when they ended. A round stops at its first
// request that failed, so `reports` may be shorter than `actions`; requests
// that went through are told together ("reloaded the skin and opened window
// 10000"), a failure in its own sentence. `clientFolder` is the client's
// folder as configured.
std::wstring askingText(const std::wstring& address, const std::vector<MediaCenterAction>& actions);
std::wstring outcomeText(const std::vector<ActivationReport>& reports, const std::wstring& address,
                         const std::vector<MediaCenterAction>& actions, const std::wstring& clientFolder);

}  // namespace tester
