// `quorrel check` on skins written to a scratch folder: the output forms and
// the exit statuses.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "base/TextCodec.h"
#include "cli/CheckCommand.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

struct Captured : cli::Console {
    std::vector<std::wstring> outLines, errLines;
    void out(const std::wstring& line) override { outLines.push_back(line); }
    void err(const std::wstring& line) override { errLines.push_back(line); }
};

class CheckCommand : public ::testing::Test {
protected:
    void SetUp() override {
        put("720p/includes.xml",
            "<includes>\n  <include name=\"Spare\"/>\n  <variable name=\"Title\"><value>a</value></variable>\n"
            "</includes>\n");
        put("720p/Home.xml",
            "<window>\n  <controls>\n    <control type=\"button\" id=\"1\">\n"
            "      <label>$VAR[Title]</label>\n"
            "      <label2>$VAR[Nope] \xc3\xa9 $VAR[Gone]</label2>\n"
            "    </control>\n  </controls>\n</window>\n");
    }
    void put(const std::string& name, const std::string& bytes) {
        const fs::path at = root() / name;
        fs::create_directories(at.parent_path());
        std::ofstream(at, std::ios::binary) << bytes;
    }
    fs::path root() const { return testsupport::nativePath(folder.path()); }
    int run(std::vector<std::string> args) {
        console = Captured{};
        std::vector<std::wstring> wide;
        for (const std::string& a : args) wide.push_back(text::fromUtf8(a));
        return cli::runCheck(wide, console);
    }
    std::string out() const {
        std::string all;
        for (const std::wstring& line : console.outLines) all += text::toUtf8(line) + "\n";
        return all;
    }

    testsupport::ScratchFolder folder{L"check-command"};
    Captured console;
};

TEST_F(CheckCommand, TextLinesThenASummary) {
    const std::string skin = root().u8string();
    EXPECT_EQ(run({skin}), 1);
    EXPECT_EQ(out(), skin + "/720p/Home.xml:5:20: error: variable Nope is not defined [undefined-variable]\n" + skin +
                         "/720p/Home.xml:5:33: error: variable Gone is not defined [undefined-variable]\n" + skin +
                         "/720p/includes.xml:2:18: warning: include Spare is never used [unused-include]\n"
                         "2 errors, 1 warning in 2 files (undefined-variable 2, unused-include 1)\n");
    // A window folder names the same skin; --disable leaves warnings only: success.
    EXPECT_EQ(run({"--disable", "undefined-variable", (root() / "720p").u8string()}), 0);
    EXPECT_EQ(out(), skin +
                         "/720p/includes.xml:2:18: warning: include Spare is never used [unused-include]\n"
                         "0 errors, 1 warning in 2 files (unused-include 1)\n");
}

TEST_F(CheckCommand, GithubAnnotations) {
    EXPECT_EQ(run({"--format", "github", "--disable", "unused-include", root().u8string()}), 1);
    ASSERT_EQ(console.outLines.size(), 2u);
    EXPECT_EQ(text::toUtf8(console.outLines[0]), "::error file=" + root().u8string() +
                                                     "/720p/Home.xml,line=5,col=20,title=undefined-variable::"
                                                     "variable Nope is not defined");
}

TEST_F(CheckCommand, SarifReadsBackWithTheFieldsCodeScanningUses) {
    EXPECT_EQ(run({"--format", "sarif", root().u8string()}), 1);
    ASSERT_EQ(console.outLines.size(), 1u);
    const nlohmann::json log = nlohmann::json::parse(text::toUtf8(console.outLines[0]));
    EXPECT_EQ(log.at("version"), "2.1.0");
    ASSERT_EQ(log.at("runs").size(), 1u);
    const nlohmann::json& run = log.at("runs")[0];
    const nlohmann::json& rules = run.at("tool").at("driver").at("rules");
    EXPECT_EQ(rules.size(), skin::CheckRules().size());
    const nlohmann::json& results = run.at("results");
    ASSERT_EQ(results.size(), 3u);
    const nlohmann::json& second = results[1];
    EXPECT_EQ(second.at("ruleId"), "undefined-variable");
    EXPECT_EQ(rules[second.at("ruleIndex").get<std::size_t>()].at("id"), "undefined-variable");
    EXPECT_EQ(second.at("level"), "error");
    EXPECT_EQ(second.at("message").at("text"), "variable Gone is not defined");
    const nlohmann::json& where = second.at("locations")[0].at("physicalLocation");
    EXPECT_EQ(where.at("artifactLocation").at("uri"), "720p/Home.xml");
    EXPECT_EQ(where.at("region").at("startLine"), 5);
    EXPECT_EQ(where.at("region").at("startColumn"), 33);  // the é before it: one UTF-16 unit, two bytes
    EXPECT_EQ(results[2].at("level"), "warning");
}

TEST_F(CheckCommand, ExitStatuses) {
    put("720p/includes.xml",
        "<includes>\n  <variable name=\"Nope\"/>\n  <variable name=\"Title\"/>\n"
        "  <variable name=\"Gone\"/>\n</includes>\n");
    EXPECT_EQ(run({root().u8string()}), 0);
    EXPECT_EQ(out(), "0 errors, 0 warnings in 2 files\n");
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"--format", "xml", root().u8string()}), 2);
    EXPECT_EQ(run({"--disable", "no-such-rule", root().u8string()}), 2);
    EXPECT_EQ(run({"--core-strings", (root() / "none.po").u8string(), root().u8string()}), 2);
    EXPECT_EQ(run({root().u8string(), root().u8string()}), 2);
    EXPECT_EQ(run({(root() / "missing").u8string()}), 2);
    EXPECT_EQ(run({(root() / "720p" / "Home.xml").u8string()}), 2);
    EXPECT_FALSE(console.errLines.empty());
}

}  // namespace
