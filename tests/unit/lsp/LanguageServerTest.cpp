// `quorrel lsp` as an editor runs it: real protocol messages on its standard
// input, over a small skin on disk; everything on its standard output must be
// a protocol message.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "lsp/Framing.h"
#include "lsp/Uri.h"
#include "support/TestSupport.h"

using nlohmann::json;

namespace {

// A line with a character outside the basic plane (two UTF-16 units, four
// bytes) and one inside it (one unit, two bytes) before the variable's name.
const char* const kHome =
    "<window>\n"
    "  <controls>\n"
    "    <include>Frame</include>\n"
    "    <control type=\"label\">\n"
    "      <label>\xF0\x9F\x98\x80 \xC3\xA9 $VAR[ListLabel]</label>\n"
    "      <visible>$EXP[IsHome]</visible>\n"
    "    </control>\n"
    "  </controls>\n"
    "</window>\n";

class LanguageServer : public ::testing::Test {
protected:
    void SetUp() override {
        put(L"skin/720p/Includes.xml",
            "<includes>\n"
            "  <include file=\"more.xml\"/>\n"
            "  <include name=\"Frame\">\n"
            "    <definition><control type=\"image\" id=\"7\"><texture>x.png</texture></control></definition>\n"
            "  </include>\n"
            "  <variable name=\"ListLabel\">\n"
            "    <value>$LOCALIZE[31001]</value>\n"
            "  </variable>\n"
            "  <include file=\"Missing.xml\"/>\n"
            "</includes>\n");
        put(L"skin/720p/more.xml",
            "<includes>\n  <expression name=\"IsHome\">Window.IsActive(home)</expression>\n</includes>\n");
        put(L"skin/720p/Home.xml", kHome);
    }
    void put(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = folder / name;
        std::filesystem::create_directories(testsupport::nativePath(path).parent_path());
        ASSERT_TRUE(testsupport::writeFile(path, bytes));
    }
    std::string uri(const std::wstring& name) const {
        return lsp::uriFromPath(testsupport::nativePath(folder / name).wstring(), lsp::PathStyle::kPosix);
    }

    // Runs the program over the messages; the messages it wrote, in order.
    std::vector<json> run(const std::string& input) {
        const std::wstring in = folder / L"in", out = folder / L"out", err = folder / L"err";
        EXPECT_TRUE(testsupport::writeFile(in, input));
        const std::string command = std::string("'") + QUORREL_PROGRAM + "' lsp < '" + testsupport::narrow(in) +
                                    "' > '" + testsupport::narrow(out) + "' 2> '" + testsupport::narrow(err) + "'";
        const int status = std::system(command.c_str());
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        // Standard output holds framed messages and nothing else.
        const std::string bytes = testsupport::readFile(out);
        lsp::MemoryInput reader(bytes);
        lsp::MessageReader messages(reader);
        std::vector<json> sent;
        std::size_t framedBytes = 0;
        for (lsp::ReadResult next = messages.next(); next.kind != lsp::ReadResult::Kind::kEnd; next = messages.next()) {
            EXPECT_EQ(next.kind, lsp::ReadResult::Kind::kMessage) << next.problem;
            framedBytes += lsp::framed(next.body).size();
            sent.push_back(json::parse(next.body));
        }
        EXPECT_EQ(framedBytes, bytes.size()) << bytes;
        return sent;
    }

    static json response(const std::vector<json>& sent, int id) {
        for (const json& m : sent)
            if (m.contains("id") && m["id"] == id) return m;
        return nullptr;
    }

    testsupport::ScratchFolder folder{L"lsp"};
    int exitCode = -1;
};

std::string message(const json& body) { return lsp::framed(body.dump()); }

json request(int id, const std::string& method, json params) {
    return json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}};
}

json notification(const std::string& method, json params) {
    return json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

json range(std::size_t line, std::size_t start, std::size_t end) {
    return json{{"start", {{"line", line}, {"character", start}}}, {"end", {{"line", line}, {"character", end}}}};
}

}  // namespace

TEST_F(LanguageServer, AnswersDefinitionReferencesAndHoverFromTheSkinAndTheUnsavedText) {
    const std::string home = uri(L"skin/720p/Home.xml");
    const auto at = [&](int id, const char* method, std::size_t line, std::size_t character) {
        return message(request(id, method,
                               {{"textDocument", {{"uri", home}}},
                                {"position", {{"line", line}, {"character", character}}},
                                {"context", {{"includeDeclaration", false}}}}));
    };
    std::string in = message(request(1, "initialize", {{"rootUri", uri(L"skin")}, {"capabilities", json::object()}}));
    in += message(notification("initialized", json::object()));
    in += message(
        notification("textDocument/didOpen",
                     {{"textDocument", {{"uri", home}, {"languageId", "xml"}, {"version", 1}, {"text", kHome}}}}));
    in += at(2, "textDocument/definition", 2, 15);
    in += at(3, "textDocument/references", 2, 15);
    in += at(4, "textDocument/hover", 4, 25);
    in += at(5, "textDocument/definition", 5, 23);
    in += lsp::framed("{\"jsonrpc\": \"2.0\", \"id\": 6, \"method\": ");
    // Two new lines above the include: "Frame" is now on line 4, which on
    // disk holds the label.
    in += message(
        notification("textDocument/didChange",
                     {{"textDocument", {{"uri", home}, {"version", 2}}},
                      {"contentChanges", {{{"range", range(1, 0, 0)}, {"text", "  <!-- a -->\n  <!-- b -->\n"}}}}}));
    in += at(7, "textDocument/definition", 4, 15);
    in += message(request(8, "shutdown", nullptr));
    in += message(notification("exit", nullptr));

    const std::vector<json> sent = run(in);
    EXPECT_EQ(exitCode, 0);

    const json frame = json::array({{{"uri", uri(L"skin/720p/Includes.xml")}, {"range", range(2, 17, 22)}}});
    EXPECT_EQ(response(sent, 2)["result"], frame);
    EXPECT_EQ(response(sent, 3)["result"], json::array({{{"uri", home}, {"range", range(2, 13, 18)}}}));
    // The name starts after 23 UTF-16 units (26 bytes) of its line.
    const json hover = response(sent, 4)["result"];
    EXPECT_EQ(hover["range"], range(4, 23, 32));
    EXPECT_EQ(hover["contents"]["kind"], "markdown");
    EXPECT_NE(hover["contents"]["value"].get<std::string>().find("$LOCALIZE[31001]"), std::string::npos)
        << hover.dump();
    EXPECT_EQ(response(sent, 5)["result"],
              json::array({{{"uri", uri(L"skin/720p/more.xml")}, {"range", range(1, 20, 26)}}}));
    EXPECT_EQ(response(sent, 6), nullptr);  // cut short: a parse error without id, and the server goes on
    EXPECT_EQ(response(sent, 7)["result"], frame);

    // What the model could not read is told, once.
    int missing = 0, parseErrors = 0;
    for (const json& m : sent) {
        if (m.value("method", "") == "window/logMessage" &&
            m["params"]["message"].get<std::string>().find("Missing.xml") != std::string::npos)
            ++missing;
        if (m.contains("error") && m["error"]["code"] == -32700 && m["id"].is_null()) ++parseErrors;
    }
    EXPECT_EQ(missing, 1);
    EXPECT_EQ(parseErrors, 1);
}

// A window's outline with the controls its includes bring, and a control id
// followed from <onup> into the include file.
TEST_F(LanguageServer, OutlinesAWindowAndFollowsControlIds) {
    put(L"skin/720p/Menu.xml",
        "<window>\n  <controls>\n    <include>Frame</include>\n"
        "    <control type=\"button\" id=\"5\"><onup>7</onup><label>Play</label></control>\n  </controls>\n</window>\n");
    const std::string menu = uri(L"skin/720p/Menu.xml");
    std::string in = message(request(1, "initialize", {{"rootUri", uri(L"skin")}, {"capabilities", json::object()}}));
    in += message(notification("initialized", json::object()));
    in += message(request(2, "textDocument/documentSymbol", {{"textDocument", {{"uri", menu}}}}));
    in += message(request(3, "textDocument/definition",
                          {{"textDocument", {{"uri", menu}}}, {"position", {{"line", 3}, {"character", 40}}}}));
    in += message(request(4, "shutdown", nullptr));
    in += message(notification("exit", nullptr));
    const std::vector<json> sent = run(in);
    const json symbols = response(sent, 2)["result"];
    ASSERT_EQ(symbols.size(), 2u) << symbols.dump();
    EXPECT_EQ(symbols[0]["name"], "image 7");
    EXPECT_EQ(symbols[0]["detail"], "include Frame, Includes.xml line 4");
    EXPECT_EQ(symbols[0]["range"], range(2, 4, 28));  // the call that brings it
    EXPECT_EQ(symbols[1]["name"], "button 5: Play");
    EXPECT_EQ(symbols[1]["selectionRange"], range(3, 5, 12));
    EXPECT_EQ(response(sent, 3)["result"],
              json::array({{{"uri", uri(L"skin/720p/Includes.xml")}, {"range", range(3, 42, 43)}}}));
}

// The check's findings: published for each open document on didOpen, and
// again for every open document when one changes (a variable's use in one
// file decides a finding in another).
TEST_F(LanguageServer, PublishesTheChecksFindingsAndFollowsAFixingChange) {
    const std::string home = uri(L"skin/720p/Home.xml");
    const std::string includes = uri(L"skin/720p/Includes.xml");
    std::string broken = kHome;
    broken.replace(broken.find("ListLabel"), 9, "ListLabl");
    std::string in = message(request(1, "initialize", {{"rootUri", uri(L"skin")}, {"capabilities", json::object()}}));
    in += message(notification("initialized", json::object()));
    in += message(
        notification("textDocument/didOpen",
                     {{"textDocument", {{"uri", home}, {"languageId", "xml"}, {"version", 1}, {"text", broken}}}}));
    in += message(notification("textDocument/didOpen",
                               {{"textDocument",
                                 {{"uri", includes},
                                  {"languageId", "xml"},
                                  {"version", 1},
                                  {"text", testsupport::readFile(folder / L"skin/720p/Includes.xml")}}}}));
    in += message(notification("textDocument/didChange", {{"textDocument", {{"uri", home}, {"version", 2}}},
                                                          {"contentChanges", {{{"text", kHome}}}}}));
    in += message(request(2, "shutdown", nullptr));
    in += message(notification("exit", nullptr));

    std::map<std::string, std::vector<json>> published;  // by URI, in order
    for (const json& m : run(in)) {
        if (m.value("method", "") == "textDocument/publishDiagnostics")
            published[m["params"]["uri"].get<std::string>()].push_back(m["params"]["diagnostics"]);
    }
    const auto codes = [](const json& diagnostics) {
        std::vector<std::string> out;
        for (const json& d : diagnostics) {
            EXPECT_EQ(d["source"], "quorrel");
            out.push_back(d["code"].get<std::string>());
        }
        return out;
    };
    ASSERT_EQ(published[home].size(), 3u);  // its open, the other's open, its change
    const json& first = published[home].front();
    ASSERT_EQ(first.size(), 1u) << first.dump();
    EXPECT_EQ(first[0]["code"], "undefined-variable");
    EXPECT_EQ(first[0]["severity"], 1);
    EXPECT_EQ(first[0]["range"], range(4, 23, 31));  // in UTF-16 units
    EXPECT_TRUE(published[home].back().empty()) << published[home].back().dump();

    ASSERT_EQ(published[includes].size(), 2u);
    const std::vector<std::string> before = codes(published[includes].front());
    const std::vector<std::string> after = codes(published[includes].back());
    EXPECT_EQ(std::count(before.begin(), before.end(), "unused-variable"), 1) << published[includes].front().dump();
    EXPECT_EQ(std::count(after.begin(), after.end(), "unused-variable"), 0);
    EXPECT_EQ(std::count(after.begin(), after.end(), "missing-include-file"), 1);  // Missing.xml, still
}

TEST_F(LanguageServer, CompletesFromTheUnsavedTextOfEveryOpenDocument) {
    const std::string home = uri(L"skin/720p/Home.xml"), includes = uri(L"skin/720p/more.xml");
    std::string in = message(request(1, "initialize", {{"rootUri", uri(L"skin")}, {"capabilities", json::object()}}));
    in += message(notification("initialized", json::object()));
    for (const std::string& doc : {home, includes}) {
        in += message(
            notification("textDocument/didOpen",
                         {{"textDocument", {{"uri", doc}, {"languageId", "xml"}, {"version", 1}, {"text", ""}}}}));
    }
    // Unsaved: a new variable in an include file, and a half-typed name
    // before a closing bracket already there (line 4 holds a character
    // outside the basic plane before it).
    in += message(
        notification("textDocument/didChange",
                     {{"textDocument", {{"uri", includes}, {"version", 2}}},
                      {"contentChanges",
                       {{{"text", "<includes><variable name=\"ListNew\"><value>n</value></variable></includes>"}}}}}));
    std::string edited = kHome;
    edited.replace(edited.find("$VAR[ListLabel]"), 15, "$VAR[List]");
    in += message(notification("textDocument/didChange", {{"textDocument", {{"uri", home}, {"version", 2}}},
                                                          {"contentChanges", {{{"text", edited}}}}}));
    in += message(request(2, "textDocument/completion",
                          {{"textDocument", {{"uri", home}}}, {"position", {{"line", 4}, {"character", 27}}}}));
    in += message(request(3, "shutdown", nullptr));
    in += message(notification("exit", nullptr));

    const std::vector<json> sent = run(in);
    EXPECT_EQ(response(sent, 1)["result"]["capabilities"]["completionProvider"]["triggerCharacters"],
              json::array({"[", "\"", ">"}));
    const json items = response(sent, 2)["result"]["items"];
    ASSERT_EQ(items.size(), 2u) << items.dump();
    EXPECT_EQ(items[0]["label"], "ListLabel");
    EXPECT_EQ(items[0]["detail"], "$LOCALIZE[31001]");
    EXPECT_EQ(items[0]["kind"], 6);
    EXPECT_EQ(items[1]["label"], "ListNew");
    EXPECT_EQ(items[1]["textEdit"], json({{"range", range(4, 23, 27)}, {"newText", "ListNew"}}));
}
