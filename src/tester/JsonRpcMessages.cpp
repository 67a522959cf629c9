#include "tester/JsonRpcMessages.h"

#include "base/TextCodec.h"

#include <nlohmann/json.hpp>

namespace tester {
namespace {

using Json = nlohmann::json;

std::string request(int id, const char* method, const Json* params = nullptr) {
    Json body = {{"jsonrpc", "2.0"}, {"id", id}, {"method", method}};
    if (params != nullptr) body["params"] = *params;
    return body.dump();
}

std::string base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
        out += {kDigits[(v >> 18) & 63], kDigits[(v >> 12) & 63], kDigits[(v >> 6) & 63], kDigits[v & 63]};
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        out += {kDigits[(v >> 18) & 63], kDigits[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        out += {kDigits[(v >> 18) & 63], kDigits[(v >> 12) & 63], kDigits[(v >> 6) & 63], '='};
    }
    return out;
}

}  // namespace

std::string versionRequest(int id) { return request(id, "JSONRPC.Version"); }

std::string activateWindowRequest(int id, const std::wstring& windowName) {
    const Json params = {{"window", text::toUtf8(windowName)}};
    return request(id, "GUI.ActivateWindow", &params);
}

std::string currentWindowRequest(int id) {
    const Json params = {{"properties", Json::array({"currentwindow"})}};
    return request(id, "GUI.GetProperties", &params);
}

std::string executeActionRequest(int id, const std::string& action) {
    const Json params = {{"action", action}};
    return request(id, "Input.ExecuteAction", &params);
}

std::string buttonEventRequest(int id, const std::string& keyName) {
    const Json params = {{"button", keyName}, {"keymap", "KB"}};
    return request(id, "Input.ButtonEvent", &params);
}

JsonRpcAnswer readJsonRpcAnswer(const std::string& body, int id) {
    JsonRpcAnswer answer;
    const Json json = Json::parse(body, nullptr, false);
    if (json.is_discarded()) return answer;
    answer.kind = JsonRpcAnswer::OtherShape;
    if (!json.is_object()) return answer;
    const auto idField = json.find("id");
    if (idField == json.end() || !idField->is_number_integer() || idField->get<long long>() != id) return answer;
    if (const auto result = json.find("result"); result != json.end()) {
        answer.kind = JsonRpcAnswer::Result;
        answer.result = result->dump();
        return answer;
    }
    const auto error = json.find("error");
    if (error == json.end() || !error->is_object()) return answer;
    answer.kind = JsonRpcAnswer::Error;
    if (const auto code = error->find("code"); code != error->end() && code->is_number_integer())
        answer.errorCode = code->get<long long>();
    if (const auto message = error->find("message"); message != error->end() && message->is_string())
        answer.errorMessage = message->get<std::string>();
    // The parameter's own complaint says more than "Invalid params.".
    if (const auto data = error->find("data"); data != error->end() && data->is_object()) {
        const auto stack = data->find("stack");
        if (stack != data->end() && stack->is_object()) {
            const auto detail = stack->find("message");
            if (detail != stack->end() && detail->is_string() && !detail->get<std::string>().empty())
                answer.errorMessage += (answer.errorMessage.empty() ? "" : " ") + detail->get<std::string>();
        }
    }
    return answer;
}

std::optional<CurrentWindow> readCurrentWindow(const std::string& resultJson) {
    const Json json = Json::parse(resultJson, nullptr, false);
    if (json.is_discarded() || !json.is_object()) return std::nullopt;
    const auto window = json.find("currentwindow");
    if (window == json.end() || !window->is_object()) return std::nullopt;
    const auto id = window->find("id");
    if (id == window->end() || !id->is_number_unsigned()) return std::nullopt;
    CurrentWindow current;
    const auto value = id->get<unsigned long long>();
    if (value > 0xFFFFFFFFull) return std::nullopt;
    current.id = static_cast<unsigned>(value);
    if (const auto label = window->find("label"); label != window->end() && label->is_string())
        current.label = label->get<std::string>();
    return current;
}

std::string readVersion(const std::string& resultJson) {
    const Json json = Json::parse(resultJson, nullptr, false);
    if (json.is_discarded() || !json.is_object()) return {};
    const auto version = json.find("version");
    if (version == json.end() || !version->is_object()) return {};
    std::string text;
    for (const char* part : {"major", "minor", "patch"}) {
        const auto field = version->find(part);
        if (field == version->end() || !field->is_number_integer()) return text;
        text += (text.empty() ? "" : ".") + std::to_string(field->get<long long>());
    }
    return text;
}

std::optional<std::string> basicAuthorization(const std::wstring& login, const std::wstring& password) {
    if (login.find(L':') != std::wstring::npos) return std::nullopt;
    return "Basic " + base64(text::toUtf8(login + L":" + password));
}

}  // namespace tester
