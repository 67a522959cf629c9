// One round of requests to the media center over JSON-RPC, and the words the
// tester pane shows for it: the version asked first when the connection is
// found automatically, the keymap file brought up to date and read again when
// a key must be pressed, the skin reloaded, the window opened (by its name,
// or by a key), and the window then shown asked for. Portable: the HTTP
// exchange comes through JsonRpcTransport (WinHTTP on Windows).
#pragma once

#include "tester/TodayWindowTable.h"

#include <optional>
#include <string>

namespace tester {

// What one POST to /jsonrpc came to.
struct HttpExchange {
    enum Transport {
        Answered,         // an HTTP answer came (any status)
        Refused,          // nothing listens at the address
        NameUnknown,      // the host name is not known
        ConnectTimedOut,  // no connection within the bound
        AnswerTimedOut,   // connected, but no (complete) answer within the bound
        ClosedEarly,      // the server closed the connection before its answer was complete
        TooLarge,         // the answer was longer than kJsonRpcAnswerLimit
        Stopped,          // the editor asked the round to stop
        OtherFailure,     // anything else the system reported
    };
    Transport transport = OtherFailure;
    unsigned status = 0;  // the HTTP status, when answered
    std::string body;
    unsigned long systemError = 0;
};

class JsonRpcTransport {
public:
    virtual ~JsonRpcTransport() = default;
    // Sends one request body; blocks until it has its outcome.
    virtual HttpExchange post(const std::string& body) = 0;
    // Waits a moment before the shown window is asked for again; false when
    // the round is to stop.
    virtual bool pause(unsigned milliseconds) = 0;
};

struct JsonRpcTask {
    bool reloadSkin = false;
    std::optional<WindowToOpen> window;  // opened after any reload
    bool askVersionFirst = false;        // the connection is being found
    std::wstring userDataFolder;         // for the keymap route; may be empty
};

struct JsonRpcReport {
    enum Ending {
        Done,       // every request went through
        NoJsonRpc,  // /jsonrpc answered 404: no JSON-RPC at this address
        Failed,     // stopped at a failure, told in `text`
    };
    Ending ending = Failed;
    bool jsonRpcAnswered = false;  // some request had a JSON-RPC answer
    std::string version;           // from JSONRPC.Version, when asked
    std::wstring text;             // the pane's words
};

// `address` as the words show it (host:port).
JsonRpcReport runJsonRpcRound(JsonRpcTransport& transport, const JsonRpcTask& task, const std::wstring& address);

// "Asking the media center at ADDRESS to reload the skin and open home (10000) over JSON-RPC..."
std::wstring jsonRpcAskingText(const JsonRpcTask& task, const std::wstring& address);

}  // namespace tester
