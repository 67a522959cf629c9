// The check of a skin over its model: references that resolve to nothing,
// definitions nothing uses, bad colours, broken conditions and repeated
// control ids. Each rule has a stable id; a finding carries its rule, where it
// is and what to say.
//
// Where a name is built at run time ($PARAM, $INFO, ...) and cannot be
// followed, a rule says nothing rather than guess: a reference built that way
// is never reported, and a definition counts as used when a built name could
// be it (its fixed parts match, or a parameter's value names it).
//
// Silencing: `<!-- quorrel-ignore RULE-ID -->` on the line before a line (or
// at its end) silences the rule on that line, `<!-- quorrel-ignore-file
// RULE-ID -->` anywhere in a file silences it in the file (several ids may
// follow, separated by blanks or commas); a disabled rule is never checked.
//
// Threads: a SkinChecker keeps what the skin uses from one check to the next
// (so a document's marks re-read only the files that changed): use one per
// thread (the editor's marks and a worker's whole-skin check each their own).
// It reads the model as the model's const members do (see SkinModel.h).
#pragma once

#include "skin/SkinModel.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

enum class Severity : unsigned char { Error, Warning };

// "error", "warning".
const char* severityName(Severity severity);

struct CheckRule {
    const char* id;  // "undefined-include", ...
    Severity severity;
    const char* summary;  // one line: what the rule finds
};

// Every rule, in a stable order.
const std::vector<CheckRule>& CheckRules();
// The rule of an id, or null.
const CheckRule* FindCheckRule(std::string_view id);

struct CheckFinding {
    const CheckRule* rule = nullptr;
    // The file, line (1-based; 0 for a whole file: a texture file or bundle
    // entry), column (0-based, bytes of the line) and length of what is wrong.
    Location at;
    std::string message;
};

struct CheckOptions {
    std::set<std::string, std::less<>> disabled;  // rule ids
};

// Told before each file (done so far, total); returning false stops the check.
using CheckProgressFn = std::function<bool(std::size_t done, std::size_t total)>;

struct SkinCheckResult {
    std::vector<CheckFinding> findings;  // by file (the model's order), then line and column
    std::size_t files = 0;               // files checked
    bool cancelled = false;
};

class SkinChecker {
public:
    explicit SkinChecker(CheckOptions options = {});
    ~SkinChecker();
    SkinChecker(const SkinChecker&) = delete;
    SkinChecker& operator=(const SkinChecker&) = delete;

    void setOptions(CheckOptions options);

    // Every file of the skin, and its textures.
    SkinCheckResult checkSkin(const SkinModel& model, const CheckProgressFn& progress = {});
    // The findings located in one file of the model (its overlay text, when
    // it has one): what the editor marks as the author types. Cross-file
    // rules (unused definitions) are answered from the whole model.
    std::vector<CheckFinding> checkFile(const SkinModel& model, const std::wstring& path);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The number of findings of each rule, in the rules' order, rules without findings left out.
std::vector<std::pair<const CheckRule*, std::size_t>> CountByRule(const std::vector<CheckFinding>& findings);

}  // namespace skin
