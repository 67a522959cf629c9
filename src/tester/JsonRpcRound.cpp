#include "tester/JsonRpcRound.h"

#include "base/TextCodec.h"
#include "tester/JsonRpcMessages.h"
#include "tester/KeymapFile.h"

#include <functional>

namespace tester {
namespace {

// The window may need a moment to show after the request: asked this often.
constexpr int kShownWindowAsks = 4;
constexpr unsigned kShownWindowPause = 250;

// "home (10000)", "window 11104", or the label the media center gave.
std::wstring shownWords(const CurrentWindow& shown) {
    for (std::size_t i = 0; i < kTodayWindowRowCount; ++i) {
        const TodayWindowRow& row = todayWindowTable()[i];
        if (row.id == shown.id && row.jsonRpc) return std::wstring(row.name) + L" (" + std::to_wstring(shown.id) + L")";
    }
    if (!shown.label.empty()) return text::fromUtf8(shown.label) + L" (" + std::to_wstring(shown.id) + L")";
    return L"window " + std::to_wstring(shown.id);
}

std::wstring notAnsweringHint() {
    return L" Is the media center running, with its web server on (its remote control over HTTP allowed), and is "
           L"the port right?";
}

std::wstring transportProblem(const HttpExchange& exchange, const std::wstring& address) {
    switch (exchange.transport) {
    case HttpExchange::Refused:
        return L"Nothing answered at " + address + L" (the connection was refused)." + notAnsweringHint();
    case HttpExchange::NameUnknown:
        return L"The host in the address " + address + L" is not known. Check the address in the Options.";
    case HttpExchange::ConnectTimedOut:
        return L"Nothing answered at " + address + L" in time." + notAnsweringHint();
    case HttpExchange::AnswerTimedOut:
        return L"The media center at " + address + L" took the request but did not answer in time.";
    case HttpExchange::ClosedEarly:
        return L"The media center at " + address + L" closed the connection before its answer was complete.";
    case HttpExchange::TooLarge:
        return L"The answer from " + address + L" is larger than " + std::to_wstring(kJsonRpcAnswerLimit / 1024) +
               L" KB, which no answer to the tester's requests is; it was not read.";
    case HttpExchange::Stopped:
        return L"The request to " + address + L" was stopped.";
    case HttpExchange::Answered:
    case HttpExchange::OtherFailure:
        break;
    }
    return L"The request to " + address + L" failed (system error " + std::to_wstring(exchange.systemError) + L").";
}

std::wstring keymapProblem(const KeymapWrite& write, const std::wstring& folder, const std::wstring& what) {
    switch (write.outcome) {
    case KeymapWrite::FolderUnset:
        return L"To " + what +
               L" over JSON-RPC the plugin presses a key that a keymap file maps: set \"Media center user data "
               L"folder\" in the Options to the media center's user data folder, and the plugin writes "
               L"keymaps\\quorrel.xml there.";
    case KeymapWrite::FolderMissing:
        return L"The media center user data folder \"" + folder +
               L"\" does not exist; nothing was written. Check it in the Options.";
    case KeymapWrite::NotAFolder:
        return L"The media center user data folder \"" + folder + L"\" (or its keymaps) is a file, not a folder; "
               L"nothing was written. Check it in the Options.";
    case KeymapWrite::NotOurs:
        return L"The keymap file " + write.path +
               L" was not written by this plugin (its first line is not the plugin's), so it was left alone. "
               L"Rename it to let the plugin write its own.";
    case KeymapWrite::Unwritable:
        return L"The keymap file " + write.path + L" could not be written. Is the folder read-only?";
    case KeymapWrite::Written:
    case KeymapWrite::Unchanged:
        break;
    }
    return {};
}

class Round {
public:
    Round(JsonRpcTransport& transport, const std::wstring& address) : transport_(transport), address_(address) {}

    // Sends the request; the result's JSON on success, none after a failure
    // (told in the report).
    std::optional<std::string> call(const char* method, const std::function<std::string(int)>& body) {
        const HttpExchange exchange = transport_.post(body(++lastId_));
        if (exchange.transport != HttpExchange::Answered) return fail(transportProblem(exchange, address_));
        if (exchange.status == 404) {
            report.ending = JsonRpcReport::NoJsonRpc;
            return fail(L"There is no JSON-RPC at " + address_ +
                        L" (404 on /jsonrpc): an older media center? Set Connection to http-command in the Options.");
        }
        if (exchange.status == 401)
            return fail(L"The media center at " + address_ +
                        L" refused the login or password (401). Check them in the Options.");
        const JsonRpcAnswer answer = readJsonRpcAnswer(exchange.body, lastId_);
        const std::wstring to = L" to " + text::fromUtf8(method);
        if (exchange.status < 200 || exchange.status > 299) {
            if (answer.kind != JsonRpcAnswer::Error)
                return fail(L"The web server at " + address_ + L" answered HTTP " + std::to_wstring(exchange.status) +
                            to + L".");
        }
        switch (answer.kind) {
        case JsonRpcAnswer::Result:
            report.jsonRpcAnswered = true;
            return answer.result;
        case JsonRpcAnswer::Error:
            report.jsonRpcAnswered = true;
            return fail(L"The media center at " + address_ + L" refused " + text::fromUtf8(method) + L": " +
                        text::fromUtf8(answer.errorMessage) + L" (error " + std::to_wstring(answer.errorCode) + L").");
        case JsonRpcAnswer::NotJson:
            return fail(L"The answer from " + address_ + to + L" is not JSON.");
        case JsonRpcAnswer::OtherShape:
            break;
        }
        return fail(L"The answer from " + address_ + to + L" is JSON, but no JSON-RPC answer to it.");
    }

    std::nullopt_t fail(const std::wstring& sentence) {
        if (report.ending != JsonRpcReport::NoJsonRpc) report.ending = JsonRpcReport::Failed;
        say(sentence);
        failed_ = true;
        return std::nullopt;
    }

    void say(const std::wstring& sentence) { report.text += (report.text.empty() ? L"" : L" ") + sentence; }
    bool failed() const { return failed_; }

    JsonRpcReport report;

private:
    JsonRpcTransport& transport_;
    const std::wstring& address_;
    int lastId_ = 0;
    bool failed_ = false;
};

}  // namespace

std::wstring jsonRpcAskingText(const JsonRpcTask& task, const std::wstring& address) {
    std::wstring what;
    if (task.reloadSkin) what = L"reload the skin";
    if (task.window) what += (what.empty() ? L"open " : L" and open ") + windowWords(*task.window);
    return L"Asking the media center at " + address + L" to " + what + L" over JSON-RPC...";
}

JsonRpcReport runJsonRpcRound(JsonRpcTransport& transport, const JsonRpcTask& task, const std::wstring& address) {
    Round round(transport, address);
    if (task.askVersionFirst) {
        const std::optional<std::string> version = round.call("JSONRPC.Version", versionRequest);
        if (!version) return round.report;
        round.report.version = readVersion(*version);
    }
    const bool windowByKey = task.window && task.window->name.empty();
    bool reloadDone = false;
    if (task.reloadSkin || windowByKey) {
        // The window key is mapped only when it is pressed in this round.
        const KeymapWrite keymap =
            updateKeymap(task.userDataFolder, windowByKey ? std::optional<unsigned>(task.window->id) : std::nullopt);
        const std::wstring what = task.reloadSkin ? L"reload the skin" : L"open " + windowWords(*task.window);
        if (keymap.outcome != KeymapWrite::Written && keymap.outcome != KeymapWrite::Unchanged) {
            round.fail(keymapProblem(keymap, task.userDataFolder, what));
            return round.report;
        }
        if (!round.call("Input.ExecuteAction", [](int id) { return executeActionRequest(id, "reloadkeymaps"); }))
            return round.report;
        if (task.reloadSkin) {
            if (!round.call("Input.ButtonEvent", [](int id) { return buttonEventRequest(id, kReloadKey); }))
                return round.report;
            reloadDone = true;
        }
    }
    std::wstring done = reloadDone ? L"reloaded the skin" : L"";
    if (task.window) {
        const bool sent = windowByKey
                              ? round.call("Input.ButtonEvent",
                                           [](int id) { return buttonEventRequest(id, kWindowKey); })
                                    .has_value()
                              : round.call("GUI.ActivateWindow", [&task](int id) {
                                     return activateWindowRequest(id, task.window->name);
                                 }).has_value();
        if (!sent) {
            if (reloadDone) round.report.text = L"The media center at " + address + L" reloaded the skin. " +
                                                round.report.text;
            return round.report;
        }
        std::optional<CurrentWindow> shown;
        for (int ask = 0; ask < kShownWindowAsks; ++ask) {
            if (ask > 0 && !transport.pause(kShownWindowPause)) break;
            const std::optional<std::string> result = round.call("GUI.GetProperties", currentWindowRequest);
            if (!result) break;
            shown = readCurrentWindow(*result);
            if (!shown || shown->id == task.window->shownId()) break;
        }
        const std::wstring before = done.empty() ? L"" : done + L" and ";
        if (round.failed()) {
            round.report.text = L"The media center at " + address + L" " + before + L"was asked to open " +
                                windowWords(*task.window) + L". " + round.report.text;
            return round.report;
        }
        if (!shown) {
            round.say(L"The media center at " + address + L" " + before + L"was asked to open " +
                      windowWords(*task.window) + L", but its answer to GUI.GetProperties does not say which window "
                      L"it shows.");
            round.report.ending = JsonRpcReport::Failed;
            return round.report;
        }
        if (shown->id == task.window->shownId()) {
            round.say(L"The media center at " + address + L" " + before + L"shows " + shownWords(*shown) + L".");
        } else {
            round.say(L"The media center at " + address + L" " + before + L"shows " + shownWords(*shown) +
                      L", not " + windowWords(*task.window) + L" that was asked for.");
            round.report.ending = JsonRpcReport::Failed;
            return round.report;
        }
    } else if (reloadDone) {
        round.say(L"The media center at " + address + L" reloaded the skin.");
    }
    round.report.ending = JsonRpcReport::Done;
    return round.report;
}

}  // namespace tester
