// `quorrel check`: the whole-skin check from a command line, for authors'
// repositories and their CI.
//
//   quorrel check [--format text|sarif|github] [--core-strings FILE]
//                 [--core-colours FILE] [--disable RULE,...] SKIN_OR_WINDOW_FOLDER
//
// text: one line per finding, "path:line:column: severity: message [rule-id]",
// then a summary line; sarif: SARIF 2.1.0, one run, locations relative to the
// skin folder; github: one "::error file=...,line=...,col=...::message" (or
// ::warning) line per finding. Paths in text and github lines are the skin
// folder as given on the command line followed by the file's path in it.
// Columns are 1-based, in UTF-16 code units. What the skin's model could not
// read is told on standard error.
//
// Exit status: 0 no errors (warnings allowed), 1 errors, 2 a usage error or a
// skin (or strings or colours file) that cannot be read.
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"
#include "skin/SkinCheck.h"

namespace cli {

enum class CheckFormat { kText, kSarif, kGithub };

// One finding as the formats print it.
struct ReportedFinding {
    const skin::CheckRule* rule = nullptr;
    std::string path;          // relative to the skin folder, '/' between folders
    std::uint32_t line = 1;    // 1-based
    std::uint32_t column = 1;  // 1-based, UTF-16 code units
    std::string message;
};

struct CheckReport {
    std::string shownSkinFolder;  // as the paths of text and github lines start ("" for the current folder)
    std::size_t files = 0;
    std::vector<ReportedFinding> findings;
};

// Every finding of a check, located for printing (lines and columns read from the model).
CheckReport reportOf(const skin::SkinModel& model, const skin::SkinCheckResult& result, std::string shownSkinFolder);

std::vector<std::string> textLines(const CheckReport& report);
std::string sarifLog(const CheckReport& report, const std::string& version);
std::vector<std::string> githubLines(const CheckReport& report);

// `options` are the arguments after "check".
int runCheck(const std::vector<std::wstring>& options, Console& console);

}  // namespace cli
