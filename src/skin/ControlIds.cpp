#include "skin/ControlIds.h"

#include "base/TextCodec.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>

namespace skin {

namespace {

std::string fileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return text::toUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

std::string idText(const ControlIdValue& id) { return std::to_string(id.value); }

bool samePlace(const Location& a, const Location& b) {
    return a.line == b.line && a.column == b.column && NameKey(text::toUtf8(a.path)) == NameKey(text::toUtf8(b.path));
}

void addOnce(std::vector<Location>& out, Location at) {
    if (std::none_of(out.begin(), out.end(), [&](const Location& o) { return samePlace(o, at); }))
        out.push_back(std::move(at));
}

Location targetOf(const ExpandedWindow& w, const WindowControl& c) {
    return w.locate(c.idWrittenLiterally ? c.idAt : c.at);
}

// The hundreds (and the sign) of the ids a window's controls have.
std::int64_t blockOf(std::int64_t id) { return id < 0 ? -1 - (-id - 1) / 100 : id / 100; }

// A window the media center fills from templates: it holds a control list
// with nothing in it (a grouplist without children, filled at run time).
bool filledAtRunTime(const ExpandedWindow& w) {
    for (const WindowControl& c : w.controls()) {
        if (!c.inItemLayout && c.children.empty() && c.type.size() == 9 &&
            NameKey(c.type) == "grouplist") {
            return true;
        }
    }
    return false;
}

}  // namespace

ControlIdSite ControlIdAt(const SkinModel& model, const std::wstring& path, std::uint32_t line, std::uint32_t column) {
    ControlIdSite site;
    const SkinFile* f = model.file(path);
    if (!f || line == 0 || line > f->lineStarts.size()) return site;
    const std::size_t offset = f->lineStarts[line - 1] + column;
    for (const auto& window : model.expandedWindows()) {
        const ExpandedWindow& w = *window;
        const auto fileIt = std::find(w.files().begin(), w.files().end(), f);
        if (fileIt == w.files().end()) continue;
        const auto file = static_cast<std::uint32_t>(fileIt - w.files().begin());
        auto on = [&](const WindowPlace& p) { return p.file == file && p.begin <= offset && offset <= p.end; };
        for (const ControlIdUse& use : w.idUses()) {
            if (!on(use.at) || !use.id.number) continue;
            site.found = true;
            site.at = w.locate(use.at);
            site.in.emplace_back(&w, use.id);
            break;
        }
        for (const WindowControl& c : w.controls()) {
            if (site.found && !site.isDefinition) break;
            if (c.inItemLayout || !c.idWrittenLiterally || !c.idValue.number || !on(c.idAt)) continue;
            site.found = site.isDefinition = true;
            site.at = w.locate(c.idAt);
            site.in.emplace_back(&w, c.idValue);
            break;
        }
    }
    return site;
}

std::vector<ControlTarget> ControlIdDefinitions(const ControlIdSite& site) {
    std::vector<ControlTarget> out;
    for (const auto& [window, id] : site.in) {
        for (const std::uint32_t k : window->controlsWithId(id)) {
            const WindowControl& c = window->controls()[k];
            Location at = targetOf(*window, c);
            if (std::any_of(out.begin(), out.end(), [&](const ControlTarget& t) { return samePlace(t.at, at); }))
                continue;
            out.push_back({std::move(at), std::string(c.type), std::string(window->caption(c))});
        }
    }
    return out;
}

std::vector<Location> ControlIdReferences(const ControlIdSite& site) {
    std::vector<Location> out;
    for (const auto& [window, id] : site.in) {
        for (const ControlIdUse& use : window->idUses()) {
            if (use.id == id) addOnce(out, window->locate(use.at));
        }
    }
    return out;
}

std::string ControlIdHover(const ControlIdSite& site) {
    if (!site.found || site.in.empty()) return std::string();
    const std::vector<ControlTarget> targets = ControlIdDefinitions(site);
    const std::string id = idText(site.in.front().second);
    if (targets.empty()) {
        return "Control id " + id + ": no control of " +
               (site.in.size() == 1 ? fileNameOf(site.in.front().first->path()) : std::string("its windows")) +
               " has it";
    }
    std::string out;
    for (const ControlTarget& t : targets) {
        if (!out.empty()) out += "\n";
        out += "Control " + id + (t.type.empty() ? std::string() : " (" + t.type + ")") + ", " +
               fileNameOf(t.at.path) + " line " + std::to_string(t.at.line);
        if (!t.caption.empty()) out += ": " + t.caption;
    }
    return out;
}

std::vector<ControlIdFault> UndefinedControlIds(const SkinModel& model, const SkinFile& file) {
    struct Verdict {
        bool right = false;  // right (or not known) in some window
        std::size_t windows = 0;
        Location at;
        ControlIdValue id;
        std::string include;  // the include whose body holds it
    };
    std::map<std::uint32_t, Verdict> verdicts;  // by the use's offset in `file`
    for (const auto& window : model.expandedWindows()) {
        const ExpandedWindow& w = *window;
        const auto fileIt = std::find(w.files().begin(), w.files().end(), &file);
        if (fileIt == w.files().end()) continue;
        const auto index = static_cast<std::uint32_t>(fileIt - w.files().begin());
        std::unordered_set<std::int64_t> ids;
        std::set<std::int64_t> blocks;
        for (const WindowControl& c : w.controls()) {
            if (c.inItemLayout || !c.idValue.number || c.idValue.huge) continue;
            ids.insert(c.idValue.value);
            blocks.insert(blockOf(c.idValue.value));
        }
        const bool templates = filledAtRunTime(w);
        std::set<std::uint32_t> seen;  // a use reached twice in one window is judged once
        for (const ControlIdUse& use : w.idUses()) {
            if (use.at.file != index || !seen.insert(use.at.begin).second) continue;
            Verdict& v = verdicts[use.at.begin];
            ++v.windows;
            if (v.windows == 1) {
                v.at = w.locate(use.at);
                v.id = use.id;
                if (index != 0 && use.via >= 0) v.include = std::string(w.calls()[static_cast<std::size_t>(use.via)].name);
            }
            const bool known = !use.built && use.id.number && w.complete();
            const bool wrong = known && (use.id.huge || !ids.count(use.id.value)) &&
                               !(templates && !use.id.huge && !blocks.count(blockOf(use.id.value)));
            if (!wrong) v.right = true;
        }
    }
    std::vector<ControlIdFault> out;
    for (const auto& [offset, v] : verdicts) {
        if (v.right) continue;
        std::string message = "control id " + idText(v.id);
        if (v.id.huge) {
            message = "a control id of more than 18 digits: no control can have it";
        } else if (v.include.empty()) {
            message += ": no control of this window has it";
        } else {
            message += ": no control has it in " +
                       (v.windows == 1 ? std::string("the window") : "any of the " + std::to_string(v.windows) + " windows") +
                       " that call include " + v.include;
        }
        out.push_back({v.at, std::move(message)});
    }
    return out;
}

}  // namespace skin
