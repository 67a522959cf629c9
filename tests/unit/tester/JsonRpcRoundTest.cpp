// A round of JSON-RPC requests against a scripted media center: which
// requests go out in which order, what the keymap file becomes, and the words
// the pane shows for each way a round can end.
#include "tester/JsonRpcRound.h"
#include "tester/KeymapFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <deque>
#include <string>
#include <vector>

using tester::HttpExchange;
using tester::JsonRpcReport;
using tester::JsonRpcTask;
using tester::KeymapWrite;
using tester::WindowToOpen;

namespace {

const std::wstring kAt = L"127.0.0.1:8080";

// Answers each request with the next scripted exchange; a script's "$ID"
// becomes the request's id. Past the script: "OK".
class ScriptedMediaCenter : public tester::JsonRpcTransport {
public:
    explicit ScriptedMediaCenter(std::deque<HttpExchange> script) : script_(std::move(script)) {}
    HttpExchange post(const std::string& body) override {
        const nlohmann::json request = nlohmann::json::parse(body);
        std::string method = request.at("method").get<std::string>();
        if (request.contains("params")) method += " " + request["params"].dump();
        methods.push_back(method);
        HttpExchange answer = script_.empty() ? result("\"OK\"") : script_.front();
        if (!script_.empty()) script_.pop_front();
        const std::string id = std::to_string(request.at("id").get<int>());
        for (std::size_t at; (at = answer.body.find("$ID")) != std::string::npos;) answer.body.replace(at, 3, id);
        return answer;
    }
    bool pause(unsigned) override { return true; }

    static HttpExchange result(const std::string& json) {
        return {HttpExchange::Answered, 200, R"({"id":$ID,"jsonrpc":"2.0","result":)" + json + "}", 0};
    }
    static HttpExchange shows(unsigned id) {
        return result(R"({"currentwindow":{"id":)" + std::to_string(id) + R"(,"label":"Some label"}})");
    }
    static HttpExchange status(unsigned code, std::string body = "") {
        return {HttpExchange::Answered, code, std::move(body), 0};
    }
    static HttpExchange failure(HttpExchange::Transport transport) { return {transport, 0, "", 0}; }

    std::vector<std::string> methods;

private:
    std::deque<HttpExchange> script_;
};

using Center = ScriptedMediaCenter;

const std::string kVersion = "JSONRPC.Version";
const std::string kReloadKeymaps = R"(Input.ExecuteAction {"action":"reloadkeymaps"})";
const std::string kPressReload = R"(Input.ButtonEvent {"button":"launch_media_center","keymap":"KB"})";
const std::string kPressWindow = R"(Input.ButtonEvent {"button":"launch_file_browser","keymap":"KB"})";
const std::string kOpenHome = R"(GUI.ActivateWindow {"window":"home"})";
const std::string kShown = R"(GUI.GetProperties {"properties":["currentwindow"]})";

const WindowToOpen kHome{10000, L"home", WindowToOpen::TodayTable};
const WindowToOpen kCustom{1104, L"", WindowToOpen::OwnId};

std::wstring keymapFile(const std::wstring& folder) {
    return testsupport::joinPath(testsupport::joinPath(folder, L"keymaps"), L"quorrel.xml");
}

}  // namespace

TEST(JsonRpcRound, SendsTheRequestsEachTaskNeedsAndSaysWhatTheMediaCenterShows) {
    testsupport::ScratchFolder userData(L"userdata");
    const struct {
        const char* what;
        JsonRpcTask task;
        std::deque<HttpExchange> script;
        std::vector<std::string> methods;
        JsonRpcReport::Ending ending;
        std::wstring text;
    } cases[] = {
        {"named window, connection being found",
         {false, kHome, true, L""},
         {Center::result(R"({"version":{"major":13,"minor":0,"patch":0}})"), Center::result("\"OK\""),
          Center::shows(10000)},
         {kVersion, kOpenHome, kShown},
         JsonRpcReport::Done,
         L"The media center at " + kAt + L" shows home (10000)."},
        {"a skin's own window, by its key",
         {false, kCustom, false, userData.path()},
         {Center::result("\"OK\""), Center::result("\"OK\""), Center::shows(11104)},
         {kReloadKeymaps, kPressWindow, kShown},
         JsonRpcReport::Done,
         L"The media center at " + kAt + L" shows Some label (11104)."},
        {"reload, then the window (as on save)",
         {true, kHome, false, userData.path()},
         {},
         {kReloadKeymaps, kPressReload, kOpenHome, kShown},
         JsonRpcReport::Failed,
         L"The media center at " + kAt + L" reloaded the skin and was asked to open home (10000), but its answer to "
         L"GUI.GetProperties does not say which window it shows."},
        {"another window stays shown (asked again, then told)",
         {false, kHome, false, L""},
         {Center::result("\"OK\""), Center::shows(10025), Center::shows(10025), Center::shows(10025),
          Center::shows(10025)},
         {kOpenHome, kShown, kShown, kShown, kShown},
         JsonRpcReport::Failed,
         L"The media center at " + kAt + L" shows videos (10025), not home (10000) that was asked for."},
        {"no JSON-RPC at the address",
         {false, kHome, true, L""},
         {Center::status(404, "Not found")},
         {kVersion},
         JsonRpcReport::NoJsonRpc,
         L"There is no JSON-RPC at " + kAt +
             L" (404 on /jsonrpc): an older media center? Set Connection to http-command in the Options."},
        {"login refused",
         {false, kHome, false, L""},
         {Center::status(401, "Unauthorized")},
         {kOpenHome},
         JsonRpcReport::Failed,
         L"The media center at " + kAt + L" refused the login or password (401). Check them in the Options."},
        {"an error answer",
         {false, kHome, false, L""},
         {{HttpExchange::Answered, 200,
           R"({"id":$ID,"jsonrpc":"2.0","error":{"code":-32602,"message":"Invalid params."}})", 0}},
         {kOpenHome},
         JsonRpcReport::Failed,
         L"The media center at " + kAt + L" refused GUI.ActivateWindow: Invalid params. (error -32602)."},
        {"not JSON",
         {false, std::nullopt, true, L""},
         {Center::status(200, "<html><li>OK</html>")},
         {kVersion},
         JsonRpcReport::Failed,
         L"The answer from " + kAt + L" to JSONRPC.Version is not JSON."},
        {"JSON of another shape",
         {false, std::nullopt, true, L""},
         {Center::status(200, R"({"id":"other"})")},
         {kVersion},
         JsonRpcReport::Failed,
         L"The answer from " + kAt + L" to JSONRPC.Version is JSON, but no JSON-RPC answer to it."},
        {"another HTTP error",
         {false, std::nullopt, true, L""},
         {Center::status(500, "boom")},
         {kVersion},
         JsonRpcReport::Failed,
         L"The web server at " + kAt + L" answered HTTP 500 to JSONRPC.Version."},
        {"refused connection",
         {true, std::nullopt, false, userData.path()},
         {Center::failure(HttpExchange::Refused)},
         {kReloadKeymaps},
         JsonRpcReport::Failed,
         L"Nothing answered at " + kAt + L" (the connection was refused). Is the media center running, with its web "
         L"server on (its remote control over HTTP allowed), and is the port right?"},
        {"no answer in time",
         {false, kHome, true, L""},
         {Center::failure(HttpExchange::AnswerTimedOut)},
         {kVersion},
         JsonRpcReport::Failed,
         L"The media center at " + kAt + L" took the request but did not answer in time."},
        {"closed mid-answer",
         {false, kHome, true, L""},
         {Center::failure(HttpExchange::ClosedEarly)},
         {kVersion},
         JsonRpcReport::Failed,
         L"The media center at " + kAt + L" closed the connection before its answer was complete."},
        {"too large",
         {false, kHome, true, L""},
         {Center::failure(HttpExchange::TooLarge)},
         {kVersion},
         JsonRpcReport::Failed,
         L"The answer from " + kAt + L" is larger than 256 KB, which no answer to the tester's requests is; it was "
         L"not read."},
        {"reload without the user data folder",
         {true, std::nullopt, false, L""},
         {},
         {},
         JsonRpcReport::Failed,
         L"To reload the skin over JSON-RPC the plugin presses a key that a keymap file maps: set \"Media center "
         L"user data folder\" in the Options to the media center's user data folder, and the plugin writes "
         L"keymaps\\quorrel.xml there."},
        {"the reload key pressed, the window key refused",
         {true, kCustom, false, userData.path()},
         {Center::result("\"OK\""), Center::result("\"OK\""), Center::failure(HttpExchange::AnswerTimedOut)},
         {kReloadKeymaps, kPressReload, kPressWindow},
         JsonRpcReport::Failed,
         L"The media center at " + kAt + L" reloaded the skin. The media center at " + kAt +
             L" took the request but did not answer in time."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Center center(c.script);
        const JsonRpcReport report = tester::runJsonRpcRound(center, c.task, kAt);
        EXPECT_EQ(center.methods, c.methods);
        EXPECT_EQ(report.ending, c.ending);
        EXPECT_EQ(testsupport::narrow(report.text), testsupport::narrow(c.text));
    }
    Center center({Center::result(R"({"version":{"major":13,"minor":0,"patch":0}})")});
    const JsonRpcReport report = tester::runJsonRpcRound(center, {false, std::nullopt, true, L""}, kAt);
    EXPECT_EQ(report.version, "13.0.0");
    EXPECT_TRUE(report.jsonRpcAnswered);
    EXPECT_EQ(tester::jsonRpcAskingText({true, kCustom, false, L""}, kAt),
              L"Asking the media center at " + kAt + L" to reload the skin and open window 1104 over JSON-RPC...");
}

TEST(KeymapFile, IsWrittenWholeOnlyWhenItChangesAndNeverOverAnotherOne) {
    testsupport::ScratchFolder userData(L"userdata");
    const std::wstring file = keymapFile(userData.path());
    // The keymaps folder is made when missing.
    EXPECT_EQ(tester::updateKeymap(userData.path(), std::nullopt).outcome, KeymapWrite::Written);
    EXPECT_EQ(testsupport::readFile(file), tester::keymapContent(std::nullopt));
    EXPECT_EQ(tester::keymapContent(1104),
              std::string(tester::kKeymapMarker) +
                  "\n<keymap>\n  <global>\n    <keyboard>\n"
                  "      <launch_file_browser>ActivateWindow(1104)</launch_file_browser>\n"
                  "      <launch_media_center>ReloadSkin()</launch_media_center>\n"
                  "    </keyboard>\n  </global>\n</keymap>\n");
    const struct {
        std::optional<unsigned> window;
        KeymapWrite::Outcome outcome;
        std::optional<unsigned> mapped;  // what the file then maps
    } steps[] = {
        {1104, KeymapWrite::Written, 1104},
        {1104, KeymapWrite::Unchanged, 1104},
        // Reloading alone keeps the window the file maps.
        {std::nullopt, KeymapWrite::Unchanged, 1104},
        {10099, KeymapWrite::Written, 10099},
    };
    for (const auto& step : steps) {
        const KeymapWrite write = tester::updateKeymap(userData.path() + L"\\", step.window);
        EXPECT_EQ(write.outcome, step.outcome);
        EXPECT_EQ(testsupport::readFile(file), tester::keymapContent(step.mapped));
    }
    // Nothing but the file (no pending copy left beside it).
    EXPECT_EQ(testsupport::listFiles(userData.path()),
              std::vector<std::wstring>{testsupport::joinPath(L"keymaps", L"quorrel.xml")});

    // Someone else's file stays as it was.
    const std::string theirs = "<keymap><global><keyboard><f5>Notification(hi,there)</f5></keyboard></global></keymap>";
    ASSERT_TRUE(testsupport::writeFile(file, theirs));
    EXPECT_EQ(tester::updateKeymap(userData.path(), 1104).outcome, KeymapWrite::NotOurs);
    EXPECT_EQ(tester::updateKeymap(userData.path(), std::nullopt).outcome, KeymapWrite::NotOurs);
    EXPECT_EQ(testsupport::readFile(file), theirs);

    // A folder that is missing, or a file.
    const std::wstring plainFile = userData / L"settings.xml";
    ASSERT_TRUE(testsupport::writeFile(plainFile, "x"));
    EXPECT_EQ(tester::updateKeymap(userData / L"nowhere", 1).outcome, KeymapWrite::FolderMissing);
    EXPECT_FALSE(testsupport::fileExists(userData / L"nowhere"));
    EXPECT_EQ(tester::updateKeymap(plainFile, 1).outcome, KeymapWrite::NotAFolder);
    EXPECT_EQ(tester::updateKeymap(L"", 1).outcome, KeymapWrite::FolderUnset);
}
