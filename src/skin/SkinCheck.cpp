#include "skin/SkinCheck.h"

#include "skin/ControlIds.h"
#include "skin/ValueSyntax.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace skin {

namespace {

const std::vector<CheckRule> kRules = {
    {"undefined-include", Severity::Error, "an include call whose name no include file defines"},
    {"undefined-variable", Severity::Error, "a $VAR or $ESCVAR name that no variable defines"},
    {"undefined-expression", Severity::Error, "a $EXP name that no expression defines"},
    {"undefined-font", Severity::Error, "a font name that the default fontset lacks"},
    {"font-missing-in-fontset", Severity::Warning, "a font of the default fontset that another fontset lacks"},
    {"undefined-colour", Severity::Error,
     "a colour name that colors/defaults.xml (or the media center's colours file) does not define"},
    {"invalid-colour", Severity::Error, "a colour value that looks like hex but is not eight hex digits"},
    {"undefined-string", Severity::Error,
     "a string id missing from the skin's strings (a media center id: from its strings file, when given)"},
    {"missing-texture", Severity::Error, "an image found neither under media/ nor in the texture bundle"},
    {"texture-case", Severity::Warning, "an image found only with other letter case (works on Windows only)"},
    {"missing-include-file", Severity::Error, "an include file that does not exist"},
    {"condition-syntax", Severity::Error, "a condition with unbalanced brackets, a lone operator, or nothing in it"},
    {"duplicate-control-id", Severity::Warning, "two controls with the same id in one window file"},
    {"undefined-control-id", Severity::Error, "a control id that no control of the window (includes expanded) has"},
    {"unused-include", Severity::Warning, "an include that nothing calls"},
    {"unused-variable", Severity::Warning, "a variable that nothing uses"},
    {"unused-expression", Severity::Warning, "an expression that nothing uses"},
    {"unused-constant", Severity::Warning, "a constant that nothing uses"},
    {"unused-font", Severity::Warning, "a font of the default fontset that nothing uses"},
    {"unused-string", Severity::Warning, "a skin string id that nothing uses"},
    {"unused-texture", Severity::Warning, "an image under media/ or in the bundle that no file names"},
};

const CheckRule& rule(std::string_view id) { return *FindCheckRule(id); }

constexpr std::size_t kKinds = static_cast<std::size_t>(SymbolKind::IncludeFile) + 1;
std::size_t slot(SymbolKind kind) { return static_cast<std::size_t>(kind); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (isUpper(c)) c = static_cast<char>(c + 32);
    }
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Fonts are found without regard to letter case, string ids as numbers
// ("031001" is 31001); other names as written.
std::string nameKey(SymbolKind kind, std::string_view name) {
    if (kind == SymbolKind::Font) return lower(name);
    if (kind == SymbolKind::String) {
        while (name.size() > 1 && name.front() == '0' && isDigit(name[1])) name.remove_prefix(1);
    }
    return std::string(name);
}

// The index of the ']' closing the '[' at `open`, or npos.
std::size_t closingBracket(std::string_view s, std::size_t open) {
    int depth = 0;
    for (std::size_t k = open; k < s.size(); ++k) {
        if (s[k] == '[') ++depth;
        if (s[k] == ']' && --depth == 0) return k;
    }
    return std::string_view::npos;
}

// A name built at run time as a pattern: each $WORD[...] part becomes '*'.
// `onlyParams` tells whether every part was a $PARAM.
std::string patternOf(std::string_view name, bool& onlyParams) {
    std::string out;
    onlyParams = true;
    for (std::size_t k = 0; k < name.size(); ++k) {
        if (name[k] != '$') {
            out.push_back(name[k]);
            continue;
        }
        std::size_t w = k + 1;
        while (w < name.size() && isUpper(name[w])) ++w;
        const std::size_t close = w < name.size() && name[w] == '[' ? closingBracket(name, w) : std::string_view::npos;
        if (close == std::string_view::npos) {
            onlyParams = false;
            if (out.empty() || out.back() != '*') out.push_back('*');
            k = name.size();
            break;
        }
        if (name.substr(k + 1, w - k - 1) != "PARAM") onlyParams = false;
        if (out.empty() || out.back() != '*') out.push_back('*');
        k = close;
    }
    return out;
}

bool globMatches(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool isImageFile(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string ext = lower(name.substr(dot + 1));
    return ext == "png" || ext == "jpg" || ext == "jpeg" || ext == "gif" || ext == "bmp" || ext == "dds" ||
           ext == "tga";
}

bool isStringsFile(const SkinFile& f) { return f.role == FileRole::Strings || f.role == FileRole::CoreStrings; }

bool readable(const SkinFile& f) { return f.problem != "not readable"; }

// A window-folder file that holds <includes> but no include file reaches:
// the media center never loads it, so nothing in it is checked.
bool unreachedIncludeFile(const SkinFile& f) {
    if (f.role != FileRole::Window) return false;
    return std::any_of(f.definitions.begin(), f.definitions.end(), [](const Definition& d) {
        return d.kind == SymbolKind::Include || d.kind == SymbolKind::Variable || d.kind == SymbolKind::Expression ||
               d.kind == SymbolKind::Constant;
    });
}

Location locate(const SkinFile& f, std::size_t begin, std::size_t end) { return LocateInFile(f, begin, end); }

// What one file uses: the names it refers to, the patterns of names it
// builds at run time, and the values it gives to parameters.
struct UsagePart {
    std::vector<std::pair<std::size_t, std::string>> names;     // kind slot, key
    std::vector<std::pair<std::size_t, std::string>> patterns;  // kind slot, pattern
    std::vector<std::size_t> paramBuilt;                        // kinds with a name that is a parameter's value, whole
    std::vector<std::size_t> unknown;                           // kinds with a name built whole from run-time values
    std::vector<std::string> paramValues;
    std::vector<std::string> paramPatterns;  // parameter values built from other parameters
    bool dynamicTexture = false;

    explicit UsagePart(const SkinFile& f) {
        for (const SymbolReference& r : f.references) {
            const std::size_t k = slot(r.kind);
            if (r.kind == SymbolKind::Texture) {
                dynamicTexture = dynamicTexture || r.form == ReferenceForm::Dynamic;
                continue;
            }
            if (r.form != ReferenceForm::Dynamic) {
                names.emplace_back(k, nameKey(r.kind, r.name));
                continue;
            }
            bool onlyParams = true;
            std::string pattern = nameKey(r.kind, patternOf(r.name, onlyParams));
            if (pattern != "*") {
                patterns.emplace_back(k, std::move(pattern));
            } else if (onlyParams) {
                paramBuilt.push_back(k);
            } else {
                unknown.push_back(k);
            }
        }
        for (const std::string& value : f.paramValues) {
            const std::string_view v = trim(value);
            if (v.find('$') == std::string_view::npos) {
                paramValues.emplace_back(v);
                continue;
            }
            // A value made of other parameters' values (and fixed text) keeps
            // its fixed parts; one holding run-time values cannot name a
            // definition read when the skin loads.
            bool onlyParams = true;
            std::string pattern = patternOf(v, onlyParams);
            if (onlyParams && pattern != "*") paramPatterns.push_back(std::move(pattern));
        }
    }
};

// What the skin uses, over every file: each file's part counted in, so that
// a changed file is taken out and put in again without reading the others.
struct Usage {
    using Counts = std::unordered_map<std::string, int>;
    std::array<Counts, kKinds> names;
    std::array<Counts, kKinds> patterns;
    std::array<int, kKinds> paramBuilt{};
    std::array<int, kKinds> unknownCount{};
    Counts paramValues;
    Counts paramValuesFolded;
    Counts paramPatterns;
    int dynamicTextures = 0;

    static void count(Counts& counts, const std::string& key, int by) {
        const int n = counts[key] += by;
        if (n <= 0) counts.erase(key);
    }

    void apply(const UsagePart& part, int by) {
        for (const auto& [k, key] : part.names) count(names[k], key, by);
        for (const auto& [k, pattern] : part.patterns) count(patterns[k], pattern, by);
        for (const std::size_t k : part.paramBuilt) paramBuilt[k] += by;
        for (const std::size_t k : part.unknown) unknownCount[k] += by;
        for (const std::string& v : part.paramValues) {
            count(paramValues, v, by);
            count(paramValuesFolded, lower(v), by);
        }
        for (const std::string& p : part.paramPatterns) count(paramPatterns, p, by);
        if (part.dynamicTexture) dynamicTextures += by;
    }

    bool unknown(SymbolKind kind) const { return unknownCount[slot(kind)] > 0; }
    bool dynamicTexture() const { return dynamicTextures > 0; }

    bool used(SymbolKind kind, std::string_view name) const {
        const std::size_t k = slot(kind);
        const std::string key = nameKey(kind, name);
        if (names[k].count(key)) return true;
        for (const auto& [p, n] : patterns[k]) {
            if (globMatches(p, key)) return true;
        }
        if (paramBuilt[k] <= 0) return false;
        if ((kind == SymbolKind::Font ? paramValuesFolded : paramValues).count(key)) return true;
        for (const auto& [p, n] : paramPatterns) {
            if (globMatches(nameKey(kind, p), key)) return true;
        }
        return false;
    }
};

// The usage of a model's files, kept from one check to the next: a file
// whose text and role are as they were keeps its part.
class UsageCache {
public:
    const Usage& update(const SkinModel& model, bool (*skipped)(const SkinFile&)) {
        std::unordered_map<std::wstring, Entry> next;
        for (const auto& f : model.files()) {
            if (skipped(*f)) continue;
            auto old = entries_.find(f->path);
            if (old != entries_.end() && old->second.role == f->role && old->second.text == f->text) {
                next.emplace(f->path, std::move(old->second));
                entries_.erase(old);
                continue;
            }
            Entry entry{f->text, f->role, UsagePart(*f)};
            usage_.apply(entry.part, +1);
            next.emplace(f->path, std::move(entry));
        }
        for (const auto& [path, gone] : entries_) usage_.apply(gone.part, -1);
        entries_ = std::move(next);
        return usage_;
    }

private:
    struct Entry {
        std::string text;
        FileRole role;
        UsagePart part;
    };
    std::unordered_map<std::wstring, Entry> entries_;
    Usage usage_;
};

// What the references resolve against beyond the model's index.
struct Resolution {
    std::unordered_set<std::string> defaultFonts;  // lower case
    bool anyFont = false;
    bool colourBase = false;  // defaults.xml or the media center's colours were read
    bool skinStrings = false;
    bool coreStrings = false;
    bool bundleUnreadable = false;  // what is missing may be in it

    explicit Resolution(const SkinModel& model) {
        for (const ModelProblem& problem : model.problems()) {
            if (problem.path == model.bundlePath()) bundleUnreadable = true;
        }
        for (const auto& f : model.files()) {
            if (f->role == FileRole::Strings && readable(*f)) skinStrings = true;
            if (f->role == FileRole::CoreStrings && readable(*f)) coreStrings = true;
            for (const Definition& d : f->definitions) {
                if (f->role == FileRole::Fonts && d.kind == SymbolKind::Font) {
                    anyFont = true;
                    if (d.primary) defaultFonts.insert(lower(d.name));
                }
                if (f->role == FileRole::Colours && d.kind == SymbolKind::Colour &&
                    (d.group == "defaults" || d.group == "core")) {
                    colourBase = true;
                }
            }
        }
    }
};

// The ignore comments of one file.
struct Silences {
    std::set<std::string, std::less<>> file;
    std::unordered_map<std::uint32_t, std::set<std::string, std::less<>>> lines;

    explicit Silences(const SkinFile& f) {
        const std::string_view t = f.text;
        static constexpr std::string_view kWord = "quorrel-ignore";
        for (std::size_t at = t.find(kWord); at != std::string_view::npos; at = t.find(kWord, at + 1)) {
            const std::size_t open = t.rfind("<!--", at);
            if (open == std::string_view::npos || t.substr(open, at - open).find("-->") != std::string_view::npos) {
                continue;
            }
            const std::size_t close = t.find("-->", at);
            if (close == std::string_view::npos) break;
            std::size_t k = at + kWord.size();
            const bool wholeFile = t.compare(k, 5, "-file") == 0;
            if (wholeFile) k += 5;
            if (k < close && !isBlank(t[k])) continue;  // another word
            std::vector<std::string> ids;
            while (k < close) {
                while (k < close && (isBlank(t[k]) || t[k] == ',')) ++k;
                const std::size_t b = k;
                while (k < close && !isBlank(t[k]) && t[k] != ',') ++k;
                if (k > b) ids.emplace_back(t.substr(b, k - b));
            }
            if (wholeFile) {
                file.insert(ids.begin(), ids.end());
                continue;
            }
            // Alone on its line: it speaks of the next line; after text: of its own.
            const Location start = locate(f, open, open);
            const std::string_view before = t.substr(open - start.column, start.column);
            const bool alone = trim(before).empty();
            const std::uint32_t line = alone ? locate(f, close, close).line + 1 : start.line;
            lines[line].insert(ids.begin(), ids.end());
        }
    }

    bool silenced(const CheckFinding& finding) const {
        const std::string_view id = finding.rule->id;
        if (file.count(id)) return true;
        const auto it = lines.find(finding.at.line);
        return it != lines.end() && it->second.count(id);
    }
};

std::string fileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::string out;
    for (wchar_t c : path.substr(slash == std::wstring::npos ? 0 : slash + 1)) {
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

}  // namespace

const char* severityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

const std::vector<CheckRule>& CheckRules() { return kRules; }

const CheckRule* FindCheckRule(std::string_view id) {
    for (const CheckRule& r : kRules) {
        if (id == r.id) return &r;
    }
    return nullptr;
}

std::vector<std::pair<const CheckRule*, std::size_t>> CountByRule(const std::vector<CheckFinding>& findings) {
    std::vector<std::pair<const CheckRule*, std::size_t>> out;
    for (const CheckRule& r : kRules) {
        const auto n = static_cast<std::size_t>(
            std::count_if(findings.begin(), findings.end(), [&](const CheckFinding& f) { return f.rule == &r; }));
        if (n != 0) out.emplace_back(&r, n);
    }
    return out;
}

struct SkinChecker::Impl {
    CheckOptions options;

    bool on(std::string_view id) const { return !options.disabled.count(id); }

    void add(std::vector<CheckFinding>& out, std::string_view id, Location at, std::string message) const {
        if (!on(id)) return;
        out.push_back({&rule(id), std::move(at), std::move(message)});
    }

    void references(const SkinModel& model, const SkinFile& f, const Resolution& res,
                    std::vector<CheckFinding>& out) const {
        for (const SymbolReference& r : f.references) {
            if (r.form == ReferenceForm::Dynamic) continue;
            switch (r.kind) {
            case SymbolKind::Include:
                if (model.definitions(r.kind, r.name).empty())
                    add(out, "undefined-include", r.at, "include " + r.name + " is not defined");
                break;
            case SymbolKind::Variable:
                if (model.definitions(r.kind, r.name).empty())
                    add(out, "undefined-variable", r.at, "variable " + r.name + " is not defined");
                break;
            case SymbolKind::Expression:
                if (model.definitions(r.kind, r.name).empty())
                    add(out, "undefined-expression", r.at, "expression " + r.name + " is not defined");
                break;
            case SymbolKind::Font:
                if (res.anyFont && !res.defaultFonts.count(lower(r.name)))
                    add(out, "undefined-font", r.at, "font " + r.name + " is not in the default fontset");
                break;
            case SymbolKind::Colour:
                colour(model, r, res, out);
                break;
            case SymbolKind::String:
                string(model, r, res, out);
                break;
            case SymbolKind::Texture:
                texture(model, r, res, out);
                break;
            case SymbolKind::IncludeFile:
                if (model.definitions(r.kind, r.name).empty())
                    add(out, "missing-include-file", r.at, "include file " + r.name + " does not exist");
                break;
            default:
                break;
            }
        }
    }

    void colour(const SkinModel& model, const SymbolReference& r, const Resolution& res,
                std::vector<CheckFinding>& out) const {
        const std::vector<const Definition*> defs = model.definitions(SymbolKind::Colour, r.name);
        if (r.form == ReferenceForm::Literal) {
            if (defs.empty() && !validHex(r.name))
                add(out, "invalid-colour", r.at, "colour value " + r.name + " is not eight hex digits (AARRGGBB)");
            return;
        }
        const bool base = std::any_of(defs.begin(), defs.end(),
                                      [](const Definition* d) { return d->group == "defaults" || d->group == "core"; });
        if (res.colourBase && !base) {
            add(out, "undefined-colour", r.at,
                "colour " + r.name +
                    (defs.empty() ? " is not defined" : " is not in colors/defaults.xml (only in a theme)"));
        }
    }

    void string(const SkinModel& model, const SymbolReference& r, const Resolution& res,
                std::vector<CheckFinding>& out) const {
        const std::string number = nameKey(SymbolKind::String, r.name);
        if (r.form != ReferenceForm::Name || number.size() > 9) return;
        const long id = std::stol(number);
        const bool skinId = id >= 31000 && id <= 31999;
        if (skinId ? !res.skinStrings : !res.coreStrings) return;
        if (!model.definitions(SymbolKind::String, number).empty()) return;
        add(out, "undefined-string", r.at,
            "string " + r.name + " is not in " + (skinId ? "the skin's strings" : "the media center's strings"));
    }

    void texture(const SkinModel& model, const SymbolReference& r, const Resolution& res,
                 std::vector<CheckFinding>& out) const {
        const std::vector<const Definition*> defs = model.definitions(SymbolKind::Texture, r.name);
        if (defs.empty() && res.bundleUnreadable) return;
        if (defs.empty()) {
            add(out, "missing-texture", r.at, "texture " + r.name + " is found neither under media nor in the bundle");
            return;
        }
        // The bundle's names are found in any letter case; files on disk
        // only in theirs, but on Windows.
        std::string wanted = r.name;
        std::replace(wanted.begin(), wanted.end(), '\\', '/');
        const bool exact = std::any_of(defs.begin(), defs.end(),
                                       [&](const Definition* d) { return d->group == "bundle" || d->name == wanted; });
        if (!exact) {
            add(out, "texture-case", r.at,
                "texture " + r.name + " is found only as " + defs.front()->name +
                    " (letter case differs: found on Windows only)");
        }
    }

    void conditions(const SkinFile& f, std::vector<CheckFinding>& out) const {
        if (!on("condition-syntax")) return;
        for (const TextRange& c : f.conditions) {
            ConditionFault fault;
            if (!conditionFault(f.text, c.begin, c.end, fault)) continue;
            add(out, "condition-syntax", locate(f, fault.at, fault.at + (c.begin == c.end ? 0 : 1)),
                "condition: " + fault.what);
        }
    }

    void controlIds(const SkinFile& f, std::vector<CheckFinding>& out) const {
        if (!on("duplicate-control-id") || f.role != FileRole::Window) return;
        std::unordered_map<std::string, std::size_t> first;
        for (const ControlId& c : f.controlIds) {
            if (c.id.empty() || c.id == "0" || c.id.find('$') != std::string::npos) continue;
            const auto [it, added] = first.emplace(c.id, c.at.begin);
            if (added) continue;
            add(out, "duplicate-control-id", locate(f, c.at.begin, c.at.end),
                "control id " + c.id + " is also used on line " +
                    std::to_string(locate(f, it->second, it->second).line));
        }
    }

    void definitions(const SkinFile& f, const Usage& usage, std::vector<CheckFinding>& out) const {
        std::map<std::string, std::vector<const Definition*>> fontsets;  // fontset id -> its fonts
        for (const Definition& d : f.definitions) {
            const char* id = nullptr;
            switch (d.kind) {
            case SymbolKind::Include:
                id = f.role == FileRole::Includes ? "unused-include" : nullptr;
                break;
            case SymbolKind::Variable:
                id = f.role == FileRole::Includes ? "unused-variable" : nullptr;
                break;
            case SymbolKind::Expression:
                id = f.role == FileRole::Includes ? "unused-expression" : nullptr;
                break;
            case SymbolKind::Constant:
                id = f.role == FileRole::Includes ? "unused-constant" : nullptr;
                break;
            case SymbolKind::Font:
                if (f.role != FileRole::Fonts) break;
                fontsets[d.group].push_back(&d);
                // font13 is what a control without a <font> gets.
                id = d.primary && lower(d.name) != "font13" ? "unused-font" : nullptr;
                break;
            case SymbolKind::String: {
                const bool skinId =
                    f.role == FileRole::Strings && d.name.size() == 5 && d.name >= "31000" && d.name <= "31999";
                id = skinId ? "unused-string" : nullptr;
                break;
            }
            case SymbolKind::Colour: {
                const std::string_view v = trim(d.value);
                // A theme's value is always a colour: hex letters alone look like one too.
                const bool hexLetters = !v.empty() && std::all_of(v.begin(), v.end(), isHex);
                if (f.role == FileRole::Colours && (hexLetters || looksHex(v)) && !validHex(v))
                    add(out, "invalid-colour", d.nameAt,
                        "colour " + d.name + " has the value " + std::string(v) + ", not eight hex digits (AARRGGBB)");
                break;
            }
            default:
                break;
            }
            if (id == nullptr || !on(id) || usage.unknown(d.kind) || usage.used(d.kind, d.name)) continue;
            add(out, id, d.nameAt, std::string(symbolKindName(d.kind)) + " " + d.name + " is never used");
        }
        if (!on("font-missing-in-fontset") || fontsets.size() < 2) return;
        const std::vector<const Definition*>* primary = nullptr;
        for (const auto& [set, fonts] : fontsets) {
            if (fonts.front()->primary) primary = &fonts;
        }
        if (primary == nullptr) return;
        for (const auto& [set, fonts] : fontsets) {
            if (&fonts == primary) continue;
            std::unordered_set<std::string> has;
            for (const Definition* d : fonts) has.insert(lower(d->name));
            for (const Definition* d : *primary) {
                if (!has.count(lower(d->name)))
                    add(out, "font-missing-in-fontset", d->nameAt,
                        "font " + d->name + " of the default fontset is missing in fontset " + set);
            }
        }
    }

    std::vector<CheckFinding> file(const SkinModel& model, const SkinFile& f, const Usage& usage,
                                   const Resolution& res) const {
        std::vector<CheckFinding> out;
        if (unreachedIncludeFile(f)) return out;
        references(model, f, res, out);
        conditions(f, out);
        controlIds(f, out);
        if (on("undefined-control-id")) {
            for (ControlIdFault& fault : UndefinedControlIds(model, f)) add(out, "undefined-control-id", fault.at, fault.message);
        }
        definitions(f, usage, out);
        if (out.empty()) return out;
        if (f.text.find("quorrel-ignore") != std::string::npos) {
            const Silences silences(f);
            out.erase(std::remove_if(out.begin(), out.end(),
                                     [&](const CheckFinding& finding) { return silences.silenced(finding); }),
                      out.end());
        }
        std::stable_sort(out.begin(), out.end(), [](const CheckFinding& a, const CheckFinding& b) {
            return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.column < b.at.column;
        });
        return out;
    }

    UsageCache usage;

    static bool skipped(const SkinFile& f) { return isStringsFile(f) || unreachedIncludeFile(f); }

    // Images that no file names: every word of the window and include files
    // that could be a path is looked at, whatever element holds it (list
    // items' icons, parameters' values, multiimage folders ...).
    void textures(const SkinModel& model, const Usage& usage, std::vector<CheckFinding>& out) const {
        if (!on("unused-texture") || usage.dynamicTexture()) return;
        std::unordered_set<std::string> words;
        auto isStop = [](char c) {
            return isBlank(c) || std::string_view("<>\"'=,()[]{}").find(c) != std::string_view::npos;
        };
        for (const auto& f : model.files()) {
            if (f->role != FileRole::Window && f->role != FileRole::Includes) continue;
            const std::string_view t = f->text;
            for (std::size_t k = 0; k < t.size();) {
                while (k < t.size() && isStop(t[k])) ++k;
                const std::size_t b = k;
                while (k < t.size() && !isStop(t[k])) ++k;
                std::string_view w = t.substr(b, k - b);
                if (w.find('.') == std::string_view::npos && w.find('/') == std::string_view::npos &&
                    w.find('\\') == std::string_view::npos) {
                    continue;
                }
                std::string key = NameKey(w);
                while (!key.empty() && key.back() == '/') key.pop_back();
                const std::size_t media = key.rfind("media/");
                if (media != std::string::npos && (media == 0 || key[media - 1] == '/'))
                    words.insert(key.substr(media + 6));
                words.insert(std::move(key));
            }
        }
        for (const Definition& d : model.textures()) {
            if (!isImageFile(d.name)) continue;
            std::string key = NameKey(d.name);
            bool named = words.count(key) != 0;
            // A folder named (a multiimage's imagepath) names what is in it.
            for (std::size_t slash = key.rfind('/'); !named && slash != std::string::npos && slash > 0;
                 slash = key.rfind('/', slash - 1)) {
                named = words.count(key.substr(0, slash)) != 0;
            }
            if (named) continue;
            Location at;
            at.path = d.at.path;
            const bool bundle = d.group == "bundle";
            add(out, "unused-texture", at,
                "texture " + d.name + (bundle ? " in " + fileNameOf(d.at.path) : std::string()) +
                    " is named by no file");
        }
    }
};

SkinChecker::SkinChecker(CheckOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
}

SkinChecker::~SkinChecker() = default;

void SkinChecker::setOptions(CheckOptions options) { impl_->options = std::move(options); }

SkinCheckResult SkinChecker::checkSkin(const SkinModel& model, const CheckProgressFn& progress) {
    SkinCheckResult result;
    const Usage& usage = impl_->usage.update(model, &Impl::skipped);
    const Resolution res(model);
    const auto& files = model.files();
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (progress && !progress(k, files.size())) {
            result.cancelled = true;
            return result;
        }
        std::vector<CheckFinding> found = impl_->file(model, *files[k], usage, res);
        result.findings.insert(result.findings.end(), std::make_move_iterator(found.begin()),
                               std::make_move_iterator(found.end()));
        ++result.files;
    }
    impl_->textures(model, usage, result.findings);
    if (progress) progress(files.size(), files.size());
    return result;
}

std::vector<CheckFinding> SkinChecker::checkFile(const SkinModel& model, const std::wstring& path) {
    const SkinFile* f = model.file(path);
    if (f == nullptr) return {};
    return impl_->file(model, *f, impl_->usage.update(model, &Impl::skipped), Resolution(model));
}

}  // namespace skin
