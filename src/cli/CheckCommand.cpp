#include "cli/CheckCommand.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include <nlohmann/json.hpp>

#include "base/TextCodec.h"
#include "cli/ImageElements.h"
#include "cli/SkinPaths.h"
#include "cli/Usage.h"
#include "lsp/Positions.h"
#include "lsp/Uri.h"
#include "skin/DirectoryReader.h"
#include "skin/IncludeScan.h"
#include "skin/SkinReferences.h"

namespace cli {
namespace {

using nlohmann::json;

std::wstring key(const std::wstring& s) { return skin::ReferenceKey(s); }

bool hasFile(DirectoryLister& lister, const std::wstring& folder, const std::wstring& name) {
    std::vector<DirItem> items;
    if (!lister.list(folder + L"\\*", items)) return false;
    return std::any_of(items.begin(), items.end(),
                       [&](const DirItem& i) { return !i.isFolder && key(i.name) == key(name); });
}

// The window folder to read the skin from: the folder itself when it has an
// includes.xml, else the first of its sub-folders (by name) that has one,
// else the folder itself when it holds XML files; empty when none.
std::wstring windowFolderOf(DirectoryLister& lister, const std::wstring& folder) {
    if (hasFile(lister, folder, L"includes.xml")) return folder;
    std::vector<DirItem> items;
    lister.list(folder + L"\\*", items);
    std::vector<std::wstring> subfolders;
    bool xml = false;
    for (const DirItem& item : items) {
        if (item.name == L"." || item.name == L"..") continue;
        if (item.isFolder && !item.isLink) subfolders.push_back(folder + L"\\" + item.name);
        const std::wstring k = key(item.name);
        if (!item.isFolder && k.size() > 4 && k.compare(k.size() - 4, 4, L".xml") == 0 && k != L"addon.xml") {
            xml = true;
        }
    }
    std::sort(subfolders.begin(), subfolders.end(),
              [](const std::wstring& a, const std::wstring& b) { return key(a) < key(b); });
    for (const std::wstring& sub : subfolders) {
        if (hasFile(lister, sub, L"includes.xml")) return sub;
    }
    return xml ? folder : std::wstring();
}

std::string relativeTo(const std::wstring& skinFolder, const std::wstring& path) {
    std::wstring rel = path;
    if (key(path).compare(0, skinFolder.size() + 1, key(skinFolder + L"\\")) == 0) {
        rel = path.substr(skinFolder.size() + 1);
    }
    std::replace(rel.begin(), rel.end(), L'\\', L'/');
    return text::toUtf8(rel);
}

std::string shownPath(const CheckReport& report, const ReportedFinding& f) {
    return report.shownSkinFolder.empty() ? f.path : report.shownSkinFolder + "/" + f.path;
}

// A relative URI reference: every byte but letters, digits, "-._~" and '/' percent-encoded.
std::string uriReference(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            std::string_view("-._~/").find(c) != std::string_view::npos) {
            out.push_back(c);
        } else {
            out += {'%', kHex[u >> 4], kHex[u & 15]};
        }
    }
    return out;
}

// GitHub's workflow commands: data and properties escaped as it reads them.
std::string githubEscaped(std::string_view s, bool property) {
    std::string out;
    for (const char c : s) {
        if (c == '%') {
            out += "%25";
        } else if (c == '\r') {
            out += "%0D";
        } else if (c == '\n') {
            out += "%0A";
        } else if (property && c == ':') {
            out += "%3A";
        } else if (property && c == ',') {
            out += "%2C";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The parent of a folder as the user named it: "skins/mine/720p" -> "skins/mine", "720p" -> ".".
std::string parentShown(const std::string& shown) {
    if (shown == ".") return "..";
    const std::size_t cut = shown.rfind('/');
    const std::string last = cut == std::string::npos ? shown : shown.substr(cut + 1);
    if (last == ".." || last == ".") return shown + "/..";
    if (cut == std::string::npos) return ".";
    return cut == 0 ? "/" : shown.substr(0, cut);
}

std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

CheckReport reportOf(const skin::SkinModel& model, const skin::SkinCheckResult& result, std::string shownSkinFolder) {
    CheckReport report;
    report.shownSkinFolder = std::move(shownSkinFolder);
    report.files = result.files;
    for (const skin::CheckFinding& f : result.findings) {
        ReportedFinding r;
        r.rule = f.rule;
        r.path = relativeTo(model.skinFolder(), f.at.path);
        r.message = f.message;
        if (f.at.line != 0) {
            r.line = f.at.line;
            const std::string line = model.lineText(f.at);
            r.column = static_cast<std::uint32_t>(
                lsp::utf16Length(std::string_view(line).substr(0, std::min<std::size_t>(f.at.column, line.size()))) +
                1);
        }
        report.findings.push_back(std::move(r));
    }
    return report;
}

std::vector<std::string> textLines(const CheckReport& report) {
    std::vector<std::string> lines;
    std::size_t errors = 0;
    for (const ReportedFinding& f : report.findings) {
        lines.push_back(shownPath(report, f) + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " +
                        skin::severityName(f.rule->severity) + ": " + f.message + " [" + f.rule->id + "]");
        if (f.rule->severity == skin::Severity::Error) ++errors;
    }
    std::string summary = counted(errors, "error", "errors") + ", " +
                          counted(report.findings.size() - errors, "warning", "warnings") + " in " +
                          counted(report.files, "file", "files");
    std::vector<skin::CheckFinding> byRule;
    for (const ReportedFinding& f : report.findings) byRule.push_back({f.rule, {}, {}});
    std::string rules;
    for (const auto& [rule, n] : skin::CountByRule(byRule)) {
        rules += (rules.empty() ? "" : ", ") + std::string(rule->id) + " " + std::to_string(n);
    }
    lines.push_back(summary + (rules.empty() ? std::string() : " (" + rules + ")"));
    return lines;
}

std::string sarifLog(const CheckReport& report, const std::string& version) {
    json rules = json::array();
    for (const skin::CheckRule& r : skin::CheckRules()) {
        rules.push_back({{"id", r.id},
                         {"shortDescription", {{"text", r.summary}}},
                         {"defaultConfiguration", {{"level", skin::severityName(r.severity)}}}});
    }
    json results = json::array();
    for (const ReportedFinding& f : report.findings) {
        const auto index = static_cast<std::size_t>(f.rule - skin::CheckRules().data());
        results.push_back(
            {{"ruleId", f.rule->id},
             {"ruleIndex", index},
             {"level", skin::severityName(f.rule->severity)},
             {"message", {{"text", f.message}}},
             {"locations",
              json::array({{{"physicalLocation",
                             {{"artifactLocation", {{"uri", uriReference(f.path)}, {"uriBaseId", "SKINROOT"}}},
                              {"region", {{"startLine", f.line}, {"startColumn", f.column}}}}}}})}});
    }
    const json log = {
        {"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
        {"version", "2.1.0"},
        {"runs", json::array({{{"tool", {{"driver", {{"name", "quorrel"}, {"version", version}, {"rules", rules}}}}},
                               {"columnKind", "utf16CodeUnits"},
                               {"results", results}}})}};
    return log.dump(2);
}

std::vector<std::string> githubLines(const CheckReport& report) {
    std::vector<std::string> lines;
    for (const ReportedFinding& f : report.findings) {
        lines.push_back(std::string("::") + skin::severityName(f.rule->severity) +
                        " file=" + githubEscaped(shownPath(report, f), true) + ",line=" + std::to_string(f.line) +
                        ",col=" + std::to_string(f.column) + ",title=" + f.rule->id +
                        "::" + githubEscaped(f.message, false));
    }
    return lines;
}

int runCheck(const std::vector<std::wstring>& options, Console& console) {
    CheckFormat format = CheckFormat::kText;
    skin::SkinModelOptions modelOptions;
    modelOptions.imageElements = imageElements();
    skin::CheckOptions checkOptions;
    std::wstring folder;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::wstring& o = options[i];
        const bool hasValue = i + 1 < options.size() && !options[i + 1].empty();
        if (o == L"--format" && hasValue) {
            const std::wstring& f = options[++i];
            if (f == L"text") {
                format = CheckFormat::kText;
            } else if (f == L"sarif") {
                format = CheckFormat::kSarif;
            } else if (f == L"github") {
                format = CheckFormat::kGithub;
            } else {
                return usage(console, L"unknown format " + f + L" (text, sarif or github)");
            }
        } else if (o == L"--core-strings" && hasValue) {
            modelOptions.coreStringsPath = options[++i];
        } else if (o == L"--core-colours" && hasValue) {
            modelOptions.coreColoursPath = options[++i];
        } else if (o == L"--disable" && hasValue) {
            const std::string list = text::toUtf8(options[++i]);
            for (std::size_t b = 0; b <= list.size();) {
                std::size_t e = list.find(',', b);
                if (e == std::string::npos) e = list.size();
                const std::string id = list.substr(b, e - b);
                if (!id.empty() && skin::FindCheckRule(id) == nullptr) {
                    return usage(console, L"unknown rule " + text::fromUtf8(id));
                }
                if (!id.empty()) checkOptions.disabled.insert(id);
                b = e + 1;
            }
        } else if (!o.empty() && o[0] == L'-' && o != L"-") {
            return usage(console, L"unknown option " + o + L" for check (or its value missing)");
        } else if (folder.empty()) {
            folder = o;
        } else {
            return usage(console, L"check takes one folder");
        }
    }
    if (folder.empty()) return usage(console, L"check needs the skin's folder or a window folder");
    for (std::wstring* file : {&modelOptions.coreStringsPath, &modelOptions.coreColoursPath}) {
        std::string bytes;
        if (!file->empty() && !skin::ReadWholeFile(*file, bytes)) {
            console.err(L"quorrel: cannot read " + *file);
            return kUsage;
        }
        if (!file->empty()) {
            const std::filesystem::path absolute =
                std::filesystem::absolute(std::filesystem::u8path(text::toUtf8(*file)));
            *file = modelPath(text::fromUtf8(absolute.lexically_normal().u8string()));
        }
    }

    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::u8path(text::toUtf8(folder)), error).lexically_normal();
    const std::unique_ptr<DirectoryLister> lister = makePlatformDirectoryLister();
    const std::wstring root = modelPath(text::fromUtf8(absolute.u8string()));
    std::vector<DirItem> items;
    if (error || !lister->list(root + L"\\*", items)) {
        console.err(L"quorrel: cannot read the folder " + folder);
        return kUsage;
    }
    const std::wstring windowFolder = windowFolderOf(*lister, root);
    if (windowFolder.empty()) {
        console.err(L"quorrel: no window folder (one with includes.xml) in " + folder);
        return kUsage;
    }

    skin::SkinModel model(
        *lister,
        [](const std::wstring& path, std::string& bytes) { return skin::ReadWholeFile(systemPath(path), bytes); },
        [](const std::wstring& path, std::vector<skin::BundleEntryInfo>& entries) {
            return skin::ReadBundleInfo(systemPath(path), entries);
        },
        modelOptions);
    model.refresh(windowFolder);
    for (const skin::ModelProblem& problem : model.problems()) {
        console.err(L"quorrel: " + systemPath(problem.path) + L": " + text::fromUtf8(problem.reason));
    }
    skin::SkinChecker checker(checkOptions);
    const skin::SkinCheckResult result = checker.checkSkin(model);

    // Paths are shown from the folder as given: a window folder's parent is the skin folder.
    std::string shown = text::toUtf8(folder);
    std::replace(shown.begin(), shown.end(), '\\', '/');
    while (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    if (key(windowFolder) == key(root)) shown = parentShown(shown);
    if (shown == ".") shown.clear();

    const CheckReport report = reportOf(model, result, shown);
    switch (format) {
    case CheckFormat::kText:
        for (const std::string& line : textLines(report)) console.out(text::fromUtf8(line));
        break;
    case CheckFormat::kSarif:
        console.out(text::fromUtf8(sarifLog(report, QUORREL_VERSION)));
        break;
    case CheckFormat::kGithub:
        for (const std::string& line : githubLines(report)) console.out(text::fromUtf8(line));
        break;
    }
    const bool errors = std::any_of(result.findings.begin(), result.findings.end(), [](const skin::CheckFinding& f) {
        return f.rule->severity == skin::Severity::Error;
    });
    return errors ? kFailed : kDone;
}

}  // namespace cli
