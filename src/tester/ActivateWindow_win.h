// Asking the media center to open a window or reload the skin: starts the
// HTTP client hidden, with the credentials in a configuration file made for
// the run, its reply sent to a pipe and dropped and its messages read from
// another, and waits for it within a bound. The panel does this on a thread
// of its own (ClientRunner), so the editor never waits for the client.
#pragma once

#include "tester/ClientCommandLine.h"
#include "tester/ClientOutcome.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tester {

// Starts the client with the command and waits for it at most
// `waitMilliseconds` (or until `stop` is set), answering messages sent to the
// waiting thread's windows meanwhile. What it writes (its messages, with the
// reply among them) comes back; nothing is saved. The configuration file is
// removed once the client has ended, however it ended.
ClientRun runClient(const ClientCommand& command, unsigned waitMilliseconds,
                    const std::atomic<bool>* stop = nullptr) noexcept;

// The whole operation for the window of the skin file `window` (lower-cased),
// waited for on the calling thread.
ClientRun activateWindow(std::wstring ip, std::wstring login, std::wstring password, std::wstring wgetPath,
                         std::wstring window) noexcept;

// One round of requests at a time (the client run once per request, in
// order), on a thread of its own; a message posted to a window says it ended.
// A round stops at the first request that failed.
class ClientRunner {
public:
    ClientRunner() = default;
    // Ends a client still running and waits for the thread.
    ~ClientRunner();
    ClientRunner(const ClientRunner&) = delete;
    ClientRunner& operator=(const ClientRunner&) = delete;

    // Starts the round; `done` is posted to `window` when it has ended. False
    // (nothing started) while another round has not been collected.
    bool start(std::vector<ClientCommand> commands, unsigned waitMilliseconds, HWND window, UINT done);
    bool running() const { return thread_.joinable() && !finished_; }
    // Ended, its outcome not yet collected.
    bool finished() const { return thread_.joinable() && finished_; }
    // Asks a running client to be ended now.
    void stop() { stop_ = true; }
    // The runs of the round that ended (after its message), one per request
    // sent; the runner is free again.
    std::vector<ClientRun> collect();

private:
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::mutex lock_;
    std::vector<ClientRun> results_;
};

}  // namespace tester
