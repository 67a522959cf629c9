// The protocol layer on its own: framing, JSON-RPC errors and the lifecycle,
// positions in UTF-16 units, URIs, with a stand-in for the skin's features.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <stdexcept>

#include "lsp/Server.h"

using nlohmann::json;

namespace {

std::string message(const json& body) { return lsp::framed(body.dump()); }

json request(int id, const std::string& method, json params = json::object()) {
    return json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}};
}

json notification(const std::string& method, json params = json::object()) {
    return json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

json at(const std::string& uri, std::size_t line, std::size_t character) {
    return json{{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

// Remembers what it was asked and the text it saw; answers with a location
// at the position asked about, and fails on hover over line 99.
class StandIn : public lsp::Features {
public:
    void workspace(const std::optional<std::string>& root, lsp::Client& client) override {
        this->root = root.value_or("(none)");
        client.logMessage(lsp::MessageType::kWarning, "could not read Font.xml");
    }
    void opened(const lsp::TextDocument& document, lsp::Client&) override { text = document.text; }
    void changed(const lsp::TextDocument& document, lsp::Client&) override { text = document.text; }
    void saved(const lsp::TextDocument&, lsp::Client&) override { ++saves; }
    void closed(const std::string&, lsp::Client&) override { text = "(closed)"; }
    std::vector<lsp::Location> definition(const lsp::TextDocument& document, lsp::Position position) override {
        return {lsp::Location{document.uri, lsp::Range{position, position}}};
    }
    std::vector<lsp::Location> references(const lsp::TextDocument&, lsp::Position, bool declaration) override {
        includedDeclaration = declaration;
        return {};
    }
    std::optional<lsp::Hover> hover(const lsp::TextDocument&, lsp::Position position) override {
        if (position.line == 99) throw std::runtime_error("model failure");
        return lsp::Hover{"**x**", std::nullopt};
    }

    std::string root, text;
    int saves = 0;
    bool includedDeclaration = false;
};

struct Recorder : lsp::MessageSink {
    std::vector<json> sent;
    void send(const std::string& body) override { sent.push_back(json::parse(body)); }
};

// Runs the bytes through the server; the messages it sent and its exit code.
struct Session {
    explicit Session(const std::string& bytes) {
        lsp::MemoryInput input(bytes);
        exitCode = lsp::serve(input, out, features, lsp::ServerInfo{"quorrel", "1.0", lsp::PathStyle::kPosix});
    }
    // The response to a request.
    json response(const json& id) const {
        for (const json& m : out.sent)
            if (m.contains("id") && m["id"] == id && !m.contains("method")) return m;
        return nullptr;
    }
    std::vector<int> errorsWithoutId() const {
        std::vector<int> codes;
        for (const json& m : out.sent)
            if (m.contains("error") && m["id"].is_null()) codes.push_back(m["error"]["code"].get<int>());
        return codes;
    }
    StandIn features;
    Recorder out;
    int exitCode = -1;
};

int errorCode(const json& response) { return response.contains("error") ? response["error"]["code"].get<int>() : 0; }

const std::string kUri = "file:///skin/720p/Home.xml";

json opened(const std::string& text) {
    return notification("textDocument/didOpen",
                        {{"textDocument", {{"uri", kUri}, {"languageId", "xml"}, {"version", 1}, {"text", text}}}});
}

}  // namespace

TEST(LspProtocol, AnswersEveryFaultWithTheProtocolsErrorAndGoesOn) {
    std::string in;
    in += message(request(1, "textDocument/hover", at(kUri, 0, 0)));  // before initialize
    in += message(notification("textDocument/didOpen"));              // dropped before initialize
    in += message(request(2, "initialize", {{"rootUri", "file:///skin"}, {"capabilities", json::object()}}));
    in += message(notification("initialized"));
    in += message(opened("<window/>"));
    in += message(request(3, "initialize"));
    in += lsp::framed("{\"jsonrpc\":\"2.0\",\"id\":4,");  // cut short
    in += lsp::framed("[1,2]");                           // no object
    in += lsp::framed("{\"jsonrpc\":\"1.0\",\"id\":5,\"method\":\"shutdown\"}");
    in += "Content-Type: text/plain\r\n\r\n{}";  // no length (and its body is junk)
    in += "\r\n" + message(request(6, "workspace/symbol"));
    in += message(request(7, "textDocument/definition", {{"position", 3}}));
    in += message(request(8, "textDocument/hover", at(kUri, 99, 0)));
    in += message(json{{"jsonrpc", "2.0"}, {"id", 40}, {"result", nullptr}});  // a response: ignored
    in += message(request(9, "textDocument/definition", at(kUri, 2, 5)));
    in += message(request(13, "textDocument/definition", at("file:///nowhere/x.xml", 0, 0)));
    in += message(request(10, "shutdown"));
    in += message(request(11, "textDocument/hover", at(kUri, 0, 0)));
    in += message(notification("exit"));
    in += message(request(12, "shutdown"));  // never read
    const Session session(in);

    EXPECT_EQ(errorCode(session.response(1)), lsp::error::kServerNotInitialized);
    const json init = session.response(2);
    EXPECT_EQ(init["result"]["capabilities"]["textDocumentSync"]["change"], 2);
    EXPECT_EQ(init["result"]["capabilities"]["positionEncoding"], "utf-16");
    EXPECT_EQ(session.features.root, "file:///skin");
    EXPECT_EQ(errorCode(session.response(3)), lsp::error::kInvalidRequest);
    EXPECT_EQ(errorCode(session.response(5)), lsp::error::kInvalidRequest);
    EXPECT_EQ(session.errorsWithoutId(), (std::vector<int>{lsp::error::kParseError, lsp::error::kInvalidRequest,
                                                           lsp::error::kParseError, lsp::error::kParseError}));
    EXPECT_EQ(errorCode(session.response(6)), lsp::error::kMethodNotFound);
    EXPECT_EQ(errorCode(session.response(7)), lsp::error::kInvalidParams);
    EXPECT_EQ(errorCode(session.response(8)), lsp::error::kInternalError);
    const json location = session.response(9)["result"];
    EXPECT_EQ(location, json::parse(R"([{"uri": "file:///skin/720p/Home.xml",
        "range": {"start": {"line": 2, "character": 5}, "end": {"line": 2, "character": 5}}}])"));
    // A document neither open nor on disk: nothing to say, and no error.
    EXPECT_EQ(session.response(13)["result"], json::array());
    EXPECT_TRUE(session.response(10)["result"].is_null());
    EXPECT_EQ(errorCode(session.response(11)), lsp::error::kInvalidRequest);
    EXPECT_TRUE(session.response(12).is_null());
    EXPECT_EQ(session.exitCode, 0);
    // The features' log, after the answer to initialize.
    ASSERT_GE(session.out.sent.size(), 3u);
    EXPECT_EQ(session.out.sent[2]["method"], "window/logMessage");
    EXPECT_EQ(session.out.sent[2]["params"]["type"], 2);

    // Exit without shutdown, and input that ends without exit: failures.
    EXPECT_EQ(Session(message(request(1, "initialize")) + message(notification("exit"))).exitCode, 1);
    EXPECT_EQ(Session(message(request(1, "initialize")) + "Content-Length: 50\r\n\r\n{").exitCode, 1);
}

TEST(LspProtocol, ReaderKeepsItsMemoryBoundedAndFindsTheNextMessage) {
    std::string in = "Content-Length: " + std::to_string(lsp::MessageReader::kMaxBody + 1) + "\r\n\r\n";
    in.append(lsp::MessageReader::kMaxBody + 1, ' ');
    in += std::string(5000, 'x') + "\n";                      // a header line far too long
    in += "content-length:  2 \r\nX-Other: y\r\n\r\n{}";      // any letter case, blanks around the value
    in += "Content-Length: 99999999999999999999999\r\n\r\n";  // past size_t
    in += "Content-Length: 3\r\n\r\nab";                      // ends inside the body
    lsp::MemoryInput input(in);
    lsp::MessageReader reader(input);
    using Kind = lsp::ReadResult::Kind;
    EXPECT_EQ(reader.next().kind, Kind::kMalformed);
    const lsp::ReadResult junk = reader.next();
    EXPECT_EQ(junk.kind, Kind::kMalformed);
    EXPECT_NE(junk.problem.find("longer than"), std::string::npos);
    const lsp::ReadResult body = reader.next();
    EXPECT_EQ(body.kind, Kind::kMessage);
    EXPECT_EQ(body.body, "{}");
    EXPECT_EQ(reader.next().kind, Kind::kMalformed);
    EXPECT_EQ(reader.next().kind, Kind::kEnd);
}

TEST(LspProtocol, ChangesCountPositionsInUtf16Units) {
    // U+1F600 is two UTF-16 units and four bytes; U+00E9 one unit and two bytes.
    const std::string text =
        "a\xF0\x9F\x98\x80"
        "b\xC3\xA9z\r\nline2\rline3\n";
    EXPECT_EQ(lsp::offsetOf(text, {0, 3}), 5u);   // after the pair: 'b'
    EXPECT_EQ(lsp::offsetOf(text, {0, 2}), 1u);   // inside the pair: its start
    EXPECT_EQ(lsp::offsetOf(text, {0, 99}), 9u);  // past the end: before "\r\n"
    EXPECT_EQ(lsp::offsetOf(text, {2, 1}), 18u);  // a lone "\r" ends a line too
    EXPECT_EQ(lsp::offsetOf(text, {9, 0}), text.size());
    EXPECT_EQ(lsp::positionOf(text, 8), (lsp::Position{0, 5}));
    EXPECT_EQ(lsp::positionOf(text, 17), (lsp::Position{2, 0}));
    EXPECT_EQ(lsp::utf16Length("\xFF\xF0\x9F"), 3u);  // bytes that are no UTF-8: one unit each

    auto range = [](std::size_t l1, std::size_t c1, std::size_t l2, std::size_t c2) {
        return json{{"start", {{"line", l1}, {"character", c1}}}, {"end", {{"line", l2}, {"character", c2}}}};
    };
    json changes = json::array();
    changes.push_back({{"range", range(0, 3, 0, 5)}, {"text", "X"}});         // "b\u00e9" -> "X"
    changes.push_back({{"range", range(0, 0, 0, 1)}, {"text", ""}});          // then "a" goes
    changes.push_back({{"range", range(1, 5, 2, 0)}, {"text", " joined "}});  // the lone "\r" goes
    std::string in = message(request(1, "initialize")) + message(opened(text));
    in += message(notification("textDocument/didChange",
                               {{"textDocument", {{"uri", kUri}, {"version", 2}}}, {"contentChanges", changes}}));
    in += message(notification("textDocument/didSave", {{"textDocument", {{"uri", kUri}}}}));
    const Session incremental(in);
    EXPECT_EQ(incremental.features.text, "\xF0\x9F\x98\x80Xz\r\nline2 joined line3\n");
    EXPECT_EQ(incremental.features.saves, 1);

    // A whole-text change, a change of a document never opened (logged), and close.
    in = message(request(1, "initialize")) + message(opened(text));
    in += message(notification("textDocument/didChange", {{"textDocument", {{"uri", "file:///other"}, {"version", 2}}},
                                                          {"contentChanges", {{{"text", "x"}}}}}));
    in += message(notification("textDocument/didChange", {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                                                          {"contentChanges", {{{"text", "whole"}}}}}));
    const Session whole(in);
    EXPECT_EQ(whole.features.text, "whole");
    ASSERT_EQ(whole.out.sent.size(), 2u);
    EXPECT_EQ(whole.out.sent[1]["method"], "window/logMessage");
}

TEST(LspProtocol, FileUrisAndPathsBothWays) {
    using lsp::PathStyle;
    const std::wstring posix = L"/home/a b/#1/\u00e9t\u00e9 100%.xml";
    const std::string posixUri = "file:///home/a%20b/%231/%C3%A9t%C3%A9%20100%25.xml";
    EXPECT_EQ(lsp::uriFromPath(posix, PathStyle::kPosix), posixUri);
    EXPECT_EQ(lsp::pathFromUri(posixUri, PathStyle::kPosix), posix);
    EXPECT_EQ(lsp::pathFromUri("file://localhost/x/y.xml", PathStyle::kPosix), L"/x/y.xml");

    EXPECT_EQ(lsp::uriFromPath(L"C:\\Skins\\my skin\\Home.xml", PathStyle::kWindows),
              "file:///C:/Skins/my%20skin/Home.xml");
    // Drive letters as editors write them: the colon escaped or not.
    EXPECT_EQ(lsp::pathFromUri("file:///c%3A/Skins/my%20skin/Home.xml", PathStyle::kWindows),
              L"c:\\Skins\\my skin\\Home.xml");
    EXPECT_EQ(lsp::pathFromUri("FILE:///C:/x.xml?query#part", PathStyle::kWindows), L"C:\\x.xml");
    EXPECT_EQ(lsp::uriFromPath(L"\\\\server\\share\\x.xml", PathStyle::kWindows), "file://server/share/x.xml");
    EXPECT_EQ(lsp::pathFromUri("file://server/share/x.xml", PathStyle::kWindows), L"\\\\server\\share\\x.xml");

    for (const char* bad :
         {"http://host/x.xml", "file:///a%2", "file:///a%zz", "file:///a%00b", "file:relative", "untitled:Untitled-1"})
        EXPECT_FALSE(lsp::pathFromUri(bad, PathStyle::kWindows).has_value()) << bad;
    EXPECT_FALSE(lsp::pathFromUri("file://server/share/x.xml", PathStyle::kPosix).has_value());
}
