// The language server's protocol: JSON-RPC 2.0 messages over the framing of
// Framing.h, the lifecycle (initialize, initialized, shutdown, exit), the
// open documents, and the requests answered by a Features implementation.
// Whatever arrives, the server answers with the protocol's errors and goes
// on; it writes nothing but protocol messages.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "lsp/Documents.h"
#include "lsp/Features.h"
#include "lsp/Framing.h"
#include "lsp/Uri.h"

namespace lsp {

// JSON-RPC's and the protocol's error codes.
namespace error {
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;
constexpr int kServerNotInitialized = -32002;
}  // namespace error

// Where outgoing messages (their JSON, without the header) go. Called from
// the server's thread and from whatever thread the features report from.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void send(const std::string& body) = 0;
};

// Framed messages to a C stream (standard output, in binary mode on
// Windows), one whole message at a time, flushed.
class StreamSink : public MessageSink {
public:
    explicit StreamSink(std::FILE* stream) : stream_(stream) {}
    void send(const std::string& body) override;

private:
    std::mutex mutex_;
    std::FILE* stream_;
};

// A file's bytes; false when it cannot be read.
using FileReader = std::function<bool(const std::wstring& path, std::string& bytes)>;

// The file as it is on disk.
bool readFromDisk(const std::wstring& path, std::string& bytes);

struct ServerInfo {
    std::string name;
    std::string version;
    PathStyle pathStyle = nativePathStyle();
    // How a document that is not open is read for a request about it.
    FileReader readFile = readFromDisk;
};

class Server : private Client {
public:
    Server(Features& features, MessageSink& sink, ServerInfo info);

    // One message's content, as the reader delivered it.
    void receive(std::string_view body);
    // A message the reader could not take apart: a parse error without id.
    void malformed(const std::string& problem);

    bool exited() const { return exited_; }
    // 0 when shutdown came before exit, else 1.
    int exitCode() const { return shutdown_ ? 0 : 1; }

private:
    void logMessage(MessageType type, const std::string& message) override;
    void publishDiagnostics(const std::string& uri, const std::vector<Diagnostic>& diagnostics) override;
    void request(const nlohmann::json& id, const std::string& method, const nlohmann::json& params);
    nlohmann::json answer(const std::string& method, const nlohmann::json& params);
    void notification(const std::string& method, const nlohmann::json& params);
    void documentEvent(const std::string& method, const nlohmann::json& params);
    // The open document, or else the file of the URI as it is on disk.
    std::optional<TextDocument> document(const nlohmann::json& params) const;
    void respond(const nlohmann::json& id, nlohmann::json result);
    void respondError(const nlohmann::json& id, int code, const std::string& message);
    void send(const nlohmann::json& message);

    Features& features_;
    MessageSink& sink_;
    ServerInfo info_;
    Documents documents_;
    std::optional<std::string> root_;  // the workspace named by initialize
    bool initialized_ = false;
    bool shutdown_ = false;
    bool exited_ = false;
};

// Reads messages from `input` and answers them until exit, or until the
// input ends (exit code 1, as an exit without shutdown).
int serve(ByteInput& input, MessageSink& sink, Features& features, const ServerInfo& info);

}  // namespace lsp
