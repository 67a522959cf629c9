// The JSON-RPC 2.0 requests the tester sends to the media center
// (POST /jsonrpc, one request object per body) and how their answers are
// read, and the HTTP basic authentication value. Portable.
#pragma once

#include <optional>
#include <string>

namespace tester {

// Answers longer than this are not read: every answer the tester asks for is
// a few hundred bytes.
constexpr std::size_t kJsonRpcAnswerLimit = 256 * 1024;

// The request bodies.
std::string versionRequest(int id);
std::string activateWindowRequest(int id, const std::wstring& windowName);
std::string currentWindowRequest(int id);
std::string executeActionRequest(int id, const std::string& action);
std::string buttonEventRequest(int id, const std::string& keyName);

struct JsonRpcAnswer {
    enum Kind {
        Result,      // "result" came
        Error,       // "error" came, with its code and message
        NotJson,     // the body is not JSON
        OtherShape,  // JSON, but no JSON-RPC answer to this request
    };
    Kind kind = NotJson;
    std::string result;  // the result as JSON text
    long long errorCode = 0;
    std::string errorMessage;
};

// Reads the answer to the request with `id`.
JsonRpcAnswer readJsonRpcAnswer(const std::string& body, int id);

// The window GUI.GetProperties "currentwindow" reports, from its result.
struct CurrentWindow {
    unsigned id = 0;
    std::string label;
};
std::optional<CurrentWindow> readCurrentWindow(const std::string& resultJson);

// "13.0.0" from JSONRPC.Version's result; empty when it has no version.
std::string readVersion(const std::string& resultJson);

// The value of the Authorization header for HTTP basic authentication:
// "Basic " and the Base64 of the UTF-8 "login:password". None when the
// login holds a colon, which that form cannot carry.
std::optional<std::string> basicAuthorization(const std::wstring& login, const std::wstring& password);

}  // namespace tester
