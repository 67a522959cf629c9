// Today's media center over JSON-RPC: one POST to http://HOST:PORT/jsonrpc
// per request through WinHTTP (a system DLL; no outside program), with
// bounded connect and answer waits, the basic authentication in the request's
// header, and the answer read up to its bound. A round runs on a thread of
// its own (JsonRpcRunner); a message posted to a window says it ended.
#pragma once

#include "tester/JsonRpcRound.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tester {

// The bounds of one request, in milliseconds.
struct JsonRpcTimeouts {
    int connect = 5000;
    int answer = 10000;
};

struct JsonRpcEndpoint {
    std::wstring host;  // without brackets
    unsigned port = 0;
    std::optional<std::string> authorization;  // the Authorization header's value, when a login is set
    JsonRpcTimeouts timeouts;
};

class WinHttpTransport : public JsonRpcTransport {
public:
    // `stop` ends the round before its next request; `pending` (when given)
    // holds the request under way, for a stopping thread to close.
    WinHttpTransport(JsonRpcEndpoint endpoint, const std::atomic<bool>* stop, std::atomic<void*>* pending = nullptr);
    ~WinHttpTransport() override;
    WinHttpTransport(const WinHttpTransport&) = delete;
    WinHttpTransport& operator=(const WinHttpTransport&) = delete;

    HttpExchange post(const std::string& body) override;
    bool pause(unsigned milliseconds) override;

private:
    JsonRpcEndpoint endpoint_;
    const std::atomic<bool>* stop_;
    std::atomic<void*> ownPending_{nullptr};
    std::atomic<void*>* pending_;
    void* session_ = nullptr;
    void* connection_ = nullptr;
};

class JsonRpcRunner {
public:
    JsonRpcRunner() = default;
    // Asks a running round to stop and waits for its thread.
    ~JsonRpcRunner();
    JsonRpcRunner(const JsonRpcRunner&) = delete;
    JsonRpcRunner& operator=(const JsonRpcRunner&) = delete;

    // Starts the round; `done` is posted to `window` when it has ended.
    // False (nothing started) while another round runs.
    bool start(JsonRpcEndpoint endpoint, JsonRpcTask task, std::wstring shownAddress, HWND window, UINT done);
    bool running() const { return thread_.joinable() && !finished_; }
    bool finished() const { return thread_.joinable() && finished_; }
    // The round stops: the request under way is ended, no other is sent.
    void stop();
    // The report of the round that ended; the runner is free again.
    JsonRpcReport collect();

private:
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<void*> pendingRequest_{nullptr};
    std::mutex lock_;
    JsonRpcReport report_;
};

}  // namespace tester
