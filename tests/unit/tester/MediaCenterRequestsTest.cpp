// The portable half of asking today's media center over JSON-RPC: the address
// as typed, the request bodies and how answers are read, the basic
// authentication value, and which window a skin file opens.
#include "tester/JsonRpcMessages.h"
#include "tester/MediaCenterAddress.h"
#include "tester/TodayWindowTable.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

using tester::JsonRpcAnswer;

TEST(MediaCenterAddress, ReadsWhatUsersTypeAndSaysWhatIsWrongWithTheRest) {
    struct Case {
        std::wstring typed;
        std::wstring authority;      // for the older route; empty: refused
        std::wstring jsonRpc;        // host:port for JSON-RPC
    } cases[] = {
        {L"192.168.1.5", L"192.168.1.5", L"192.168.1.5:8080"},
        {L"  mediabox:8081 ", L"mediabox:8081", L"mediabox:8081"},
        {L"http://mediabox/", L"mediabox", L"mediabox:8080"},
        {L"HTTP://mediabox:80", L"mediabox:80", L"mediabox:80"},
        {L"[::1]:8080", L"[::1]:8080", L"[::1]:8080"},
        {L"http://[fe80::1%25eth0]/", L"", L""},
        {L"[::1]", L"[::1]", L"[::1]:8080"},
        {L"https://mediabox", L"", L""},
        {L"mediabox/jsonrpc", L"", L""},
        {L"media box", L"", L""},
        {L"::1", L"", L""},
        {L"[::1", L"", L""},
        {L"mediabox:0", L"", L""},
        {L"mediabox:65536", L"", L""},
        {L"mediabox:1234567", L"", L""},
        {L"mediabox:80a", L"", L""},
        {L"mediabox:", L"", L""},
        {L"user:pw@mediabox", L"", L""},
        {L"", L"", L""},
        {L"m\u00e9dia", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        const tester::AddressReading reading = tester::readMediaCenterAddress(c.typed);
        if (c.authority.empty()) {
            EXPECT_FALSE(reading.address);
            EXPECT_FALSE(reading.problem.empty());
            continue;
        }
        ASSERT_TRUE(reading.address);
        EXPECT_EQ(reading.address->authority(), c.authority);
        EXPECT_EQ(reading.address->jsonRpcAuthority(), c.jsonRpc);
    }
    EXPECT_EQ(tester::readMediaCenterAddress(L"[::1]:9090").address->host, L"::1");
    EXPECT_NE(tester::readMediaCenterAddress(L"mediabox:99999").problem.find(L"out of range"), std::wstring::npos);
    EXPECT_NE(tester::readMediaCenterAddress(L"mediabox:8o8o").problem.find(L"not a number"), std::wstring::npos);
}

TEST(JsonRpcMessages, RequestBodiesAreOneJsonRpcObjectEach) {
    using nlohmann::json;
    const struct {
        std::string body;
        const char* expected;
    } cases[] = {
        {tester::versionRequest(1), R"({"jsonrpc":"2.0","id":1,"method":"JSONRPC.Version"})"},
        {tester::activateWindowRequest(2, L"home"),
         R"({"jsonrpc":"2.0","id":2,"method":"GUI.ActivateWindow","params":{"window":"home"}})"},
        {tester::currentWindowRequest(3),
         R"({"jsonrpc":"2.0","id":3,"method":"GUI.GetProperties","params":{"properties":["currentwindow"]}})"},
        {tester::executeActionRequest(4, "reloadkeymaps"),
         R"({"jsonrpc":"2.0","id":4,"method":"Input.ExecuteAction","params":{"action":"reloadkeymaps"}})"},
        {tester::buttonEventRequest(5, "launch_media_center"),
         R"({"jsonrpc":"2.0","id":5,"method":"Input.ButtonEvent","params":{"button":"launch_media_center","keymap":"KB"}})"},
    };
    for (const auto& c : cases) EXPECT_EQ(json::parse(c.body), json::parse(c.expected)) << c.body;
}

TEST(JsonRpcMessages, AnswersAreReadByTheirShape) {
    const struct {
        const char* body;
        JsonRpcAnswer::Kind kind;
        const char* detail;  // the result, or the error's words
    } cases[] = {
        {R"({"id":7,"jsonrpc":"2.0","result":"OK"})", JsonRpcAnswer::Result, "\"OK\""},
        {R"({"id":7,"jsonrpc":"2.0","result":null})", JsonRpcAnswer::Result, "null"},
        {R"({"id":7,"jsonrpc":"2.0","error":{"code":-32601,"message":"Method not found."}})", JsonRpcAnswer::Error,
         "Method not found."},
        {R"({"id":7,"jsonrpc":"2.0","error":{"code":-32602,"message":"Invalid params.","data":{"method":"GUI.ActivateWindow","stack":{"message":"Received value does not match any of the defined enum values","name":"window"}}}})",
         JsonRpcAnswer::Error, "Invalid params. Received value does not match any of the defined enum values"},
        {R"({"id":8,"jsonrpc":"2.0","result":"OK"})", JsonRpcAnswer::OtherShape, ""},
        {R"({"id":"7","jsonrpc":"2.0","result":"OK"})", JsonRpcAnswer::OtherShape, ""},
        {R"({"id":7,"jsonrpc":"2.0"})", JsonRpcAnswer::OtherShape, ""},
        {R"([{"id":7,"result":"OK"}])", JsonRpcAnswer::OtherShape, ""},
        {"<html><li>OK</html>", JsonRpcAnswer::NotJson, ""},
        {"", JsonRpcAnswer::NotJson, ""},
        {R"({"id":7,"result":"OK")", JsonRpcAnswer::NotJson, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const JsonRpcAnswer answer = tester::readJsonRpcAnswer(c.body, 7);
        EXPECT_EQ(answer.kind, c.kind);
        if (c.kind == JsonRpcAnswer::Result) {
            EXPECT_EQ(answer.result, c.detail);
        } else if (c.kind == JsonRpcAnswer::Error) {
            EXPECT_EQ(answer.errorMessage, c.detail);
        }
    }
    EXPECT_EQ(tester::readJsonRpcAnswer(cases[2].body, 7).errorCode, -32601);

    const auto window = tester::readCurrentWindow(R"({"currentwindow":{"id":10000,"label":"Home"}})");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->id, 10000u);
    EXPECT_EQ(window->label, "Home");
    for (const char* other : {R"({"currentwindow":{"id":-1}})", R"({"currentwindow":{"label":"x"}})", R"("OK")",
                              R"({"currentwindow":{"id":"10000"}})", "{"})
        EXPECT_FALSE(tester::readCurrentWindow(other)) << other;
    EXPECT_EQ(tester::readVersion(R"({"version":{"major":13,"minor":0,"patch":0}})"), "13.0.0");
    EXPECT_EQ(tester::readVersion(R"({"version":6})"), "");
}

TEST(JsonRpcMessages, BasicAuthenticationCarriesTheUtf8OfLoginAndPassword) {
    EXPECT_EQ(tester::basicAuthorization(L"ormu", L"secret"), "Basic b3JtdTpzZWNyZXQ=");
    EXPECT_EQ(tester::basicAuthorization(L"", L""), "Basic Og==");
    // "j\u00f6:p\u00e4ss \u4e2d" in UTF-8.
    EXPECT_EQ(tester::basicAuthorization(L"j\u00f6", L"p\u00e4ss \u4e2d"), "Basic asO2OnDDpHNzIOS4rQ==");
    // A colon in the password is the password's; in the login it would end it.
    EXPECT_EQ(tester::basicAuthorization(L"a", L"b:c"), "Basic YTpiOmM=");
    EXPECT_FALSE(tester::basicAuthorization(L"a:b", L"c"));
}

TEST(TodayWindowTable, FindsTheWindowThroughTodaysTableTheOlderRowsThenTheFilesOwnId) {
    using tester::WindowToOpen;
    const struct {
        std::wstring file;
        std::string text;
        unsigned id;
        std::wstring name;
        WindowToOpen::Source source;
    } cases[] = {
        {L"Home.xml", "", 10000, L"home", WindowToOpen::TodayTable},
        {L"MYVIDEONAV.XML", "", 10025, L"videos", WindowToOpen::TodayTable},
        // Several windows share one file: the first row is opened.
        {L"SettingsCategory.xml", "", 10016, L"systemsettings", WindowToOpen::TodayTable},
        {L"DialogSettings.xml", "", 10123, L"osdvideosettings", WindowToOpen::TodayTable},
        // The file that defines the favourites browser, not the older dialog of that name.
        {L"MyFavourites.xml", "", 10060, L"favouritesbrowser", WindowToOpen::TodayTable},
        // A row whose window has no name: only a keymap opens it.
        {L"Pointer.xml", "", 10099, L"", WindowToOpen::TodayTable},
        // Only in the older rows; named when today's table names the id.
        {L"DialogYesNo.xml", "", 10100, L"yesnodialog", WindowToOpen::OlderTable},
        {L"MyVideo.xml", "", 10024, L"", WindowToOpen::OlderTable},
        {L"Custom_1104_Tools.xml", "<?xml version=\"1.0\"?>\n<!-- <window id=\"1\"> -->\n<window type='dialog' id = '1104'>",
         1104, L"", WindowToOpen::OwnId},
        {L"MyOwnHome.xml", "<window id=\"10000\"><defaultcontrol/></window>", 10000, L"home", WindowToOpen::OwnId},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file.begin(), c.file.end()));
        const auto window = tester::windowToOpen(c.file, c.text);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->id, c.id);
        EXPECT_EQ(window->name, c.name);
        EXPECT_EQ(window->source, c.source);
    }
    EXPECT_EQ(tester::windowToOpen(L"Custom_1104_Tools.xml", "<window id=\"1104\">")->shownId(), 11104u);
    EXPECT_EQ(tester::windowToOpen(L"Home.xml", "")->shownId(), 10000u);
    for (const char* text : {"", "<includes><window id=\"1\"/></includes>", "<window>", "<window id=\"x12\">",
                             "<windows id=\"5\">", "<window xid=\"5\">", "<!-- <window id=\"5\">"})
        EXPECT_FALSE(tester::windowToOpen(L"Includes_Custom.xml", text)) << text;

    // Every named row is one the interface takes, and the names are those 132.
    std::size_t named = 0;
    for (std::size_t i = 0; i < tester::kTodayWindowRowCount; ++i) {
        const tester::TodayWindowRow& row = tester::todayWindowTable()[i];
        EXPECT_EQ(row.jsonRpc, row.name[0] != L'\0') << row.id;
        named += row.jsonRpc ? 1 : 0;
    }
    EXPECT_EQ(named, 132u);
    EXPECT_TRUE(tester::isInterfaceWindowName(L"favouritesbrowser"));
    EXPECT_FALSE(tester::isInterfaceWindowName(L"videolibrary"));
    EXPECT_FALSE(tester::isInterfaceWindowName(L""));
}
