#include "JsonRpcStandIn.h"

#include "support/TestSupport.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <map>

namespace testsupport {
namespace {

std::string decodeBase64(const std::string& text) {
    static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        const std::size_t digit = digits.find(c);
        if (digit == std::string::npos) break;  // '=' or the end
        value = (value << 6) | static_cast<unsigned>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((value >> bits) & 0xFF));
        }
    }
    return out;
}

// Appends what the connection holds once it has something; false when it
// closed or the server ends. Looks for the end every tenth of a second: a
// socket's wait cannot be broken from another thread everywhere.
bool receiveSome(SOCKET connection, HANDLE stopping, std::string& pending) {
    for (;;) {
        if (::WaitForSingleObject(stopping, 0) == WAIT_OBJECT_0) return false;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(connection, &readable);
        timeval slice{0, 100000};
        const int ready = ::select(0, &readable, nullptr, nullptr, &slice);
        if (ready < 0) return false;
        if (ready == 0) continue;
        char buffer[4096];
        const int n = ::recv(connection, buffer, sizeof(buffer), 0);
        if (n <= 0) return false;
        pending.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
}

bool sendAll(SOCKET connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = ::send(connection, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string response(int status, const char* reason, const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The windows this stand-in opens by name.
const std::map<std::string, unsigned> kNamedWindows = {{"home", 10000}, {"videos", 10025}, {"favouritesbrowser", 10060}};

// What a keymap file's key maps, e.g. "ActivateWindow(1104)".
std::string mapping(const std::string& file, const std::string& key) {
    const std::string open = "<" + key + ">";
    const std::size_t at = file.find(open);
    if (at == std::string::npos) return {};
    const std::size_t end = file.find("</" + key + ">", at);
    return end == std::string::npos ? std::string() : file.substr(at + open.size(), end - at - open.size());
}

}  // namespace

JsonRpcStandIn::JsonRpcStandIn(std::string accept, std::wstring userDataFolder)
    : accept_(std::move(accept)), userDataFolder_(std::move(userDataFolder)) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    gate_ = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
    stopping_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (listener_ == INVALID_SOCKET || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 8) != 0)
        return;
    int size = sizeof(address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ::ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

JsonRpcStandIn::~JsonRpcStandIn() {
    ::SetEvent(stopping_);
    if (acceptor_.joinable()) acceptor_.join();
    if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (SOCKET connection : connections_) ::shutdown(connection, SD_BOTH);
    }
    for (std::thread& thread : threads_) thread.join();
    for (SOCKET connection : connections_) ::closesocket(connection);
    ::CloseHandle(gate_);
    ::CloseHandle(stopping_);
    ::WSACleanup();
}

void JsonRpcStandIn::setMode(Mode mode) {
    std::lock_guard<std::mutex> guard(lock_);
    mode_ = mode;
}

void JsonRpcStandIn::closeGate() { ::ResetEvent(gate_); }
void JsonRpcStandIn::openGate() { ::SetEvent(gate_); }

std::vector<JsonRpcCall> JsonRpcStandIn::calls() const {
    std::lock_guard<std::mutex> guard(lock_);
    return calls_;
}

std::vector<std::string> JsonRpcStandIn::methods() const {
    std::vector<std::string> methods;
    for (const JsonRpcCall& call : calls())
        methods.push_back(call.method + (call.params.empty() ? "" : " " + call.params));
    return methods;
}

bool JsonRpcStandIn::waitForCalls(std::size_t count) const {
    std::unique_lock<std::mutex> guard(lock_);
    return arrived_.wait_for(guard, std::chrono::minutes(2), [&] { return calls_.size() >= count; });
}

unsigned JsonRpcStandIn::shownWindow() const {
    std::lock_guard<std::mutex> guard(lock_);
    return shown_;
}

int JsonRpcStandIn::skinReloads() const {
    std::lock_guard<std::mutex> guard(lock_);
    return reloads_;
}

void JsonRpcStandIn::acceptLoop() {
    while (::WaitForSingleObject(stopping_, 0) != WAIT_OBJECT_0) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        timeval slice{0, 100000};
        if (::select(0, &readable, nullptr, nullptr, &slice) <= 0) continue;
        const SOCKET connection = ::accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) return;
        std::lock_guard<std::mutex> guard(lock_);
        connections_.push_back(connection);
        threads_.emplace_back([this, connection] { serve(connection); });
    }
}

void JsonRpcStandIn::serve(SOCKET connection) {
    std::string pending;
    for (;;) {
        // One request: its head, then as many bytes as it says.
        std::size_t headEnd;
        while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos)
            if (!receiveSome(connection, stopping_, pending)) return;
        const std::string head = pending.substr(0, headEnd);
        std::size_t length = 0;
        JsonRpcCall call;
        call.credentials = "-";
        std::size_t lineStart = 0;
        for (std::size_t i = 0; lineStart < head.size(); ++i) {
            std::size_t lineEnd = head.find("\r\n", lineStart);
            if (lineEnd == std::string::npos) lineEnd = head.size();
            const std::string line = head.substr(lineStart, lineEnd - lineStart);
            lineStart = lineEnd + 2;
            if (i == 0) {
                const std::size_t space = line.find(' ');
                call.path = line.substr(space + 1, line.find(' ', space + 1) - space - 1);
                continue;
            }
            const std::string lower = [&line] {
                std::string l = line;
                for (char& c : l) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
                return l;
            }();
            if (lower.rfind("content-length:", 0) == 0) length = std::stoul(line.substr(15));
            if (lower.rfind("authorization: basic ", 0) == 0) call.credentials = decodeBase64(line.substr(21));
        }
        pending.erase(0, headEnd + 4);
        while (pending.size() < length)
            if (!receiveSome(connection, stopping_, pending)) return;
        const std::string body = pending.substr(0, length);
        pending.erase(0, length);
        const nlohmann::json request = nlohmann::json::parse(body, nullptr, false);
        std::string id = "null";
        if (request.is_object()) {
            call.method = request.value("method", std::string());
            if (request.contains("params")) call.params = request["params"].dump();
            if (request.contains("id")) id = request["id"].dump();
        }
        Mode mode;
        {
            std::lock_guard<std::mutex> guard(lock_);
            calls_.push_back(call);
            mode = mode_;
        }
        arrived_.notify_all();
        const HANDLE waits[] = {gate_, stopping_};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return;
        std::string reply;
        if (!accept_.empty() && call.credentials != accept_) {
            reply = response(401, "Unauthorized", "");
        } else if (mode == Mode::NotFound) {
            reply = response(404, "Not Found", "");
        } else if (mode == Mode::Silent) {
            ::WaitForSingleObject(stopping_, INFINITE);
            return;
        } else if (mode == Mode::CloseMidAnswer) {
            sendAll(connection, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 200\r\n\r\n{\"id\":");
            ::shutdown(connection, SD_BOTH);
            return;
        } else if (mode == Mode::Huge) {
            reply = response(200, "OK", "{\"id\":" + id + ",\"jsonrpc\":\"2.0\",\"result\":\"" +
                                             std::string(300 * 1024, 'x') + "\"}");
        } else if (mode == Mode::ErrorAnswer) {
            reply = response(200, "OK", "{\"id\":" + id +
                                             ",\"jsonrpc\":\"2.0\",\"error\":{\"code\":-32602,\"message\":\"Invalid "
                                             "params.\"}}");
        } else {
            reply = response(200, "OK", answer(call, id));
        }
        if (!sendAll(connection, reply)) return;
    }
}

std::string JsonRpcStandIn::answer(const JsonRpcCall& call, const std::string& id) {
    const auto result = [&id](const std::string& json) {
        return "{\"id\":" + id + ",\"jsonrpc\":\"2.0\",\"result\":" + json + "}";
    };
    const nlohmann::json params = nlohmann::json::parse(call.params.empty() ? "{}" : call.params, nullptr, false);
    std::lock_guard<std::mutex> guard(lock_);
    if (call.method == "JSONRPC.Version") return result(R"({"version":{"major":13,"minor":0,"patch":0}})");
    if (call.method == "GUI.ActivateWindow") {
        const auto window = kNamedWindows.find(params.value("window", std::string()));
        if (window == kNamedWindows.end())
            return "{\"id\":" + id +
                   ",\"jsonrpc\":\"2.0\",\"error\":{\"code\":-32602,\"message\":\"Invalid params.\"}}";
        shown_ = window->second;
        return result("\"OK\"");
    }
    if (call.method == "GUI.GetProperties")
        return result(R"({"currentwindow":{"id":)" + std::to_string(shown_) + R"(,"label":"Window"}})");
    if (call.method == "Input.ExecuteAction" && params.value("action", std::string()) == "reloadkeymaps") {
        const std::string file = readFile(userDataFolder_ + L"\\keymaps\\quorrel.xml");
        const std::string window = mapping(file, "launch_file_browser");
        mappedWindow_ = window.rfind("ActivateWindow(", 0) == 0 ? static_cast<unsigned>(std::stoul(window.substr(15))) : 0;
        mappedReload_ = mapping(file, "launch_media_center") == "ReloadSkin()";
        return result("\"OK\"");
    }
    if (call.method == "Input.ButtonEvent") {
        const std::string button = params.value("button", std::string());
        if (button == "launch_file_browser" && mappedWindow_ != 0)
            shown_ = mappedWindow_ < 10000 ? mappedWindow_ + 10000 : mappedWindow_;
        if (button == "launch_media_center" && mappedReload_) ++reloads_;
        return result("\"OK\"");
    }
    return "{\"id\":" + id + ",\"jsonrpc\":\"2.0\",\"error\":{\"code\":-32601,\"message\":\"Method not found.\"}}";
}

}  // namespace testsupport
