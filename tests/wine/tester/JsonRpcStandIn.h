// A stand-in for today's media center's JSON-RPC interface, in the test's
// own process: a loopback HTTP server on a free port that records every
// request, checks the basic authentication, and answers as the media center
// does (it reads the keymap file of its user data folder on
// "reloadkeymaps", and a pressed key then runs what the file maps). It can
// instead answer 401, 404, an error, nothing, half an answer or a huge one,
// and holds its answers while its gate is closed.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct JsonRpcCall {
    std::string path;          // "/jsonrpc"
    std::string credentials;   // "user:password" as sent, "-" for none
    std::string method;        // the JSON-RPC method, "" when the body was none
    std::string params;        // its params as JSON text
};

class JsonRpcStandIn {
public:
    enum class Mode { Serve, NotFound, ErrorAnswer, Silent, CloseMidAnswer, Huge };

    // Takes only `accept` ("user:password") when given; reads keymaps from `userDataFolder`.
    explicit JsonRpcStandIn(std::string accept = {}, std::wstring userDataFolder = {});
    ~JsonRpcStandIn();
    JsonRpcStandIn(const JsonRpcStandIn&) = delete;
    JsonRpcStandIn& operator=(const JsonRpcStandIn&) = delete;

    int port() const { return port_; }
    void setMode(Mode mode);
    // While closed, every answer waits (its request recorded first).
    void closeGate();
    void openGate();

    std::vector<JsonRpcCall> calls() const;
    // The methods called so far, with their params ("GUI.ActivateWindow {\"window\":\"home\"}").
    std::vector<std::string> methods() const;
    // Waits until `count` requests arrived (bounded only against a broken run).
    bool waitForCalls(std::size_t count) const;
    unsigned shownWindow() const;
    int skinReloads() const;

private:
    void acceptLoop();
    void serve(SOCKET connection);
    std::string answer(const JsonRpcCall& call, const std::string& id);

    std::string accept_;
    std::wstring userDataFolder_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    HANDLE gate_ = nullptr;      // set: open
    HANDLE stopping_ = nullptr;  // set: the server ends
    mutable std::mutex lock_;
    mutable std::condition_variable arrived_;
    Mode mode_ = Mode::Serve;
    std::vector<JsonRpcCall> calls_;
    std::vector<SOCKET> connections_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
    unsigned shown_ = 10000;
    unsigned mappedWindow_ = 0;  // what the keymap's window key opens, as read at reloadkeymaps
    bool mappedReload_ = false;
    int reloads_ = 0;
};

}  // namespace testsupport
