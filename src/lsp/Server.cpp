#include "lsp/Server.h"

#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/Files.h"

namespace lsp {

using nlohmann::json;

namespace {

// A request's failure, answered with its code.
struct ProtocolError {
    int code;
    std::string message;
};

[[noreturn]] void invalidParams(const std::string& what) { throw ProtocolError{error::kInvalidParams, what}; }

const json& member(const json& object, const char* name) {
    if (!object.is_object()) invalidParams(std::string("an object expected around ") + name);
    const auto found = object.find(name);
    if (found == object.end()) invalidParams(std::string("no ") + name);
    return *found;
}

const json* optionalMember(const json& object, const char* name) {
    if (!object.is_object()) return nullptr;
    const auto found = object.find(name);
    return found == object.end() || found->is_null() ? nullptr : &*found;
}

std::string stringMember(const json& object, const char* name) {
    const json& value = member(object, name);
    if (!value.is_string()) invalidParams(std::string(name) + " is not a string");
    return value.get<std::string>();
}

long long integerMember(const json& object, const char* name) {
    const json& value = member(object, name);
    if (!value.is_number_integer()) invalidParams(std::string(name) + " is not an integer");
    return value.get<long long>();
}

std::size_t unsignedMember(const json& object, const char* name) {
    const json& value = member(object, name);
    if (!value.is_number_unsigned()) invalidParams(std::string(name) + " is not an unsigned integer");
    const auto number = value.get<std::uint64_t>();
    return number > SIZE_MAX ? SIZE_MAX : static_cast<std::size_t>(number);
}

Position position(const json& object) {
    return Position{unsignedMember(object, "line"), unsignedMember(object, "character")};
}

Range range(const json& object) { return Range{position(member(object, "start")), position(member(object, "end"))}; }

json toJson(Position position) { return json{{"line", position.line}, {"character", position.character}}; }
json toJson(const Range& range) { return json{{"start", toJson(range.start)}, {"end", toJson(range.end)}}; }

json toJson(const std::vector<Location>& locations) {
    json array = json::array();
    for (const Location& location : locations)
        array.push_back(json{{"uri", location.uri}, {"range", toJson(location.range)}});
    return array;
}

json toJson(const std::optional<Hover>& hover) {
    if (!hover) return nullptr;
    json result{{"contents", json{{"kind", "markdown"}, {"value", hover->markdown}}}};
    if (hover->range) result["range"] = toJson(*hover->range);
    return result;
}

// A list the client asks for again as the name grows: the server filters.
json toJson(const std::vector<CompletionItem>& items) {
    json array = json::array();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CompletionItem& item = items[i];
        std::string order = std::to_string(i);
        order.insert(0, order.size() < 8 ? 8 - order.size() : 0, '0');
        json entry{{"label", item.label},
                   {"kind", item.kind},
                   {"sortText", order},
                   {"textEdit", json{{"range", toJson(item.edit)}, {"newText", item.newText}}}};
        if (!item.detail.empty()) entry["detail"] = item.detail;
        if (!item.filterText.empty()) entry["filterText"] = item.filterText;
        array.push_back(std::move(entry));
    }
    return json{{"isIncomplete", true}, {"items", std::move(array)}};
}

json toJson(const std::vector<DocumentSymbol>& symbols) {
    json array = json::array();
    for (const DocumentSymbol& symbol : symbols) {
        json entry{{"name", symbol.name},
                   {"kind", symbol.kind},
                   {"range", toJson(symbol.range)},
                   {"selectionRange", toJson(symbol.selectionRange)},
                   {"children", toJson(symbol.children)}};
        if (!symbol.detail.empty()) entry["detail"] = symbol.detail;
        array.push_back(std::move(entry));
    }
    return array;
}

json capabilities() {
    return json{
        {"positionEncoding", "utf-16"},
        {"textDocumentSync",
         json{{"openClose", true}, {"change", 2 /* incremental */}, {"save", json{{"includeText", false}}}}},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"hoverProvider", true},
        {"documentSymbolProvider", true},
        {"completionProvider", json{{"triggerCharacters", json::array({"[", "\"", ">"})}}},
    };
}

// The workspace's root: rootUri, else the first workspace folder.
std::optional<std::string> rootOf(const json& params) {
    if (const json* root = optionalMember(params, "rootUri"); root && root->is_string())
        return root->get<std::string>();
    if (const json* folders = optionalMember(params, "workspaceFolders"); folders && folders->is_array()) {
        for (const json& folder : *folders)
            if (const json* uri = optionalMember(folder, "uri"); uri && uri->is_string())
                return uri->get<std::string>();
    }
    return std::nullopt;
}

bool validId(const json& id) { return id.is_string() || id.is_number_integer(); }

}  // namespace

bool readFromDisk(const std::wstring& path, std::string& bytes) {
    std::vector<std::uint8_t> read;
    if (!files::readAll(path, read)) return false;
    bytes.assign(read.begin(), read.end());
    return true;
}

void StreamSink::send(const std::string& body) {
    const std::string message = framed(body);
    const std::lock_guard<std::mutex> lock(mutex_);
    std::fwrite(message.data(), 1, message.size(), stream_);
    std::fflush(stream_);
}

Server::Server(Features& features, MessageSink& sink, ServerInfo info)
    : features_(features), sink_(sink), info_(std::move(info)), documents_(info_.pathStyle) {}

void Server::send(const json& message) {
    // Text from files in other encodings is no UTF-8: replaced, not thrown on.
    sink_.send(message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void Server::respond(const json& id, json result) {
    send(json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void Server::respondError(const json& id, int code, const std::string& message) {
    send(json{{"jsonrpc", "2.0"}, {"id", id}, {"error", json{{"code", code}, {"message", message}}}});
}

void Server::logMessage(MessageType type, const std::string& message) {
    send(json{{"jsonrpc", "2.0"},
              {"method", "window/logMessage"},
              {"params", json{{"type", static_cast<int>(type)}, {"message", message}}}});
}

void Server::publishDiagnostics(const std::string& uri, const std::vector<Diagnostic>& diagnostics) {
    json list = json::array();
    for (const Diagnostic& d : diagnostics) {
        list.push_back(json{{"range", toJson(d.range)},
                            {"severity", d.severity},
                            {"code", d.code},
                            {"source", "quorrel"},
                            {"message", d.message}});
    }
    send(json{{"jsonrpc", "2.0"},
              {"method", "textDocument/publishDiagnostics"},
              {"params", json{{"uri", uri}, {"diagnostics", std::move(list)}}}});
}

void Server::malformed(const std::string& problem) { respondError(nullptr, error::kParseError, problem); }

void Server::receive(std::string_view body) {
    const json message = json::parse(body, nullptr, false);
    if (message.is_discarded()) {
        respondError(nullptr, error::kParseError, "the message is not JSON");
        return;
    }
    if (!message.is_object()) {
        respondError(nullptr, error::kInvalidRequest, "a message is a JSON object");
        return;
    }
    const json* id = optionalMember(message, "id");
    const json* method = optionalMember(message, "method");
    const auto version = message.find("jsonrpc");
    const bool wellFormed = version != message.end() && *version == "2.0" && (id == nullptr || validId(*id));
    if (wellFormed && method == nullptr && id != nullptr && (message.contains("result") || message.contains("error")))
        return;  // a response: the server sends no requests, so none is awaited
    if (!wellFormed || method == nullptr || !method->is_string()) {
        respondError(id != nullptr && validId(*id) ? *id : json(nullptr), error::kInvalidRequest,
                     "not a JSON-RPC 2.0 request or notification");
        return;
    }
    const json* params = optionalMember(message, "params");
    const json noParams = json::object();
    if (params != nullptr && !params->is_object() && !params->is_array()) {
        if (id != nullptr) respondError(*id, error::kInvalidParams, "params is neither an object nor an array");
        return;
    }
    const std::string name = method->get<std::string>();
    if (id != nullptr) {
        request(*id, name, params != nullptr ? *params : noParams);
    } else {
        notification(name, params != nullptr ? *params : noParams);
    }
}

void Server::request(const json& id, const std::string& method, const json& params) {
    if (!initialized_ && method != "initialize") {
        respondError(id, error::kServerNotInitialized, "initialize comes first");
        return;
    }
    if (shutdown_) {
        respondError(id, error::kInvalidRequest, "the server is shutting down");
        return;
    }
    try {
        respond(id, answer(method, params));
    } catch (const ProtocolError& failure) {
        respondError(id, failure.code, failure.message);
    } catch (const json::exception& failure) {
        respondError(id, error::kInvalidParams, failure.what());
    } catch (const std::exception& failure) {
        respondError(id, error::kInternalError, failure.what());
    }
}

json Server::answer(const std::string& method, const json& params) {
    if (method == "initialize") {
        if (initialized_) throw ProtocolError{error::kInvalidRequest, "initialize was already sent"};
        initialized_ = true;
        root_ = rootOf(params);
        return json{{"capabilities", capabilities()},
                    {"serverInfo", json{{"name", info_.name}, {"version", info_.version}}}};
    }
    if (method == "shutdown") {
        shutdown_ = true;
        return nullptr;
    }
    if (method == "textDocument/completion") {
        const Position at = position(member(params, "position"));
        const std::optional<TextDocument> document = this->document(params);
        return toJson(document ? features_.completion(*document, at) : std::vector<CompletionItem>());
    }
    if (method == "textDocument/documentSymbol") {
        const std::optional<TextDocument> document = this->document(params);
        return toJson(document ? features_.documentSymbols(*document) : std::vector<DocumentSymbol>());
    }
    if (method == "textDocument/definition" || method == "textDocument/references" || method == "textDocument/hover") {
        const Position at = position(member(params, "position"));
        const std::optional<TextDocument> document = this->document(params);
        if (method == "textDocument/hover") return document ? toJson(features_.hover(*document, at)) : json(nullptr);
        if (!document) return json::array();
        if (method == "textDocument/definition") return toJson(features_.definition(*document, at));
        const json* context = optionalMember(params, "context");
        const json* declaration = context != nullptr ? optionalMember(*context, "includeDeclaration") : nullptr;
        const bool includeDeclaration = declaration != nullptr && declaration->is_boolean() && declaration->get<bool>();
        return toJson(features_.references(*document, at, includeDeclaration));
    }
    throw ProtocolError{error::kMethodNotFound, "no method " + method};
}

std::optional<TextDocument> Server::document(const json& params) const {
    const std::string uri = stringMember(member(params, "textDocument"), "uri");
    if (const TextDocument* open = documents_.find(uri)) return *open;
    TextDocument onDisk;
    onDisk.uri = uri;
    onDisk.path = pathFromUri(uri, info_.pathStyle).value_or(std::wstring());
    if (onDisk.path.empty() || !info_.readFile || !info_.readFile(onDisk.path, onDisk.text)) return std::nullopt;
    return onDisk;
}

void Server::notification(const std::string& method, const json& params) {
    if (method == "exit") {
        exited_ = true;
        return;
    }
    // Before initialize and after shutdown, notifications are dropped.
    if (!initialized_ || shutdown_) return;
    try {
        if (method == "initialized") {
            // The workspace is read once the client has its answer to initialize.
            features_.workspace(root_, *this);
            return;
        }
        if (method.rfind("textDocument/did", 0) != 0) return;  // $/cancelRequest, $/setTrace, ...: nothing to do
        documentEvent(method, params);
    } catch (const ProtocolError& failure) {
        logMessage(MessageType::kError, method + ": " + failure.message);
    } catch (const std::exception& failure) {
        logMessage(MessageType::kError, method + ": " + failure.what());
    }
}

void Server::documentEvent(const std::string& method, const json& params) {
    const json& identifier = member(params, "textDocument");
    const std::string uri = stringMember(identifier, "uri");
    if (method == "textDocument/didOpen") {
        const TextDocument& document =
            documents_.open(uri, stringMember(identifier, "languageId"), integerMember(identifier, "version"),
                            stringMember(identifier, "text"));
        features_.opened(document, *this);
    } else if (method == "textDocument/didChange") {
        const json& changes = member(params, "contentChanges");
        if (!changes.is_array()) invalidParams("contentChanges is not an array");
        std::vector<TextChange> edits;
        for (const json& change : changes) {
            TextChange edit;
            edit.text = stringMember(change, "text");
            if (const json* where = optionalMember(change, "range")) edit.range = range(*where);
            edits.push_back(std::move(edit));
        }
        const TextDocument* document = documents_.change(uri, integerMember(identifier, "version"), edits);
        if (document == nullptr) invalidParams(uri + " is not open");
        features_.changed(*document, *this);
    } else if (method == "textDocument/didSave") {
        if (const TextDocument* document = documents_.find(uri)) features_.saved(*document, *this);
    } else if (method == "textDocument/didClose") {
        documents_.close(uri);
        features_.closed(uri, *this);
    }
}

int serve(ByteInput& input, MessageSink& sink, Features& features, const ServerInfo& info) {
    Server server(features, sink, info);
    MessageReader reader(input);
    while (!server.exited()) {
        ReadResult read = reader.next();
        if (read.kind == ReadResult::Kind::kEnd) return 1;
        if (read.kind == ReadResult::Kind::kMalformed) {
            server.malformed(read.problem);
        } else {
            server.receive(read.body);
        }
    }
    return server.exitCode();
}

}  // namespace lsp
