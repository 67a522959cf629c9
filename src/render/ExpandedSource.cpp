#include "render/ExpandedSource.h"

#include "skin/ExpandedWindow.h"

namespace render {

namespace {

// name="value" pairs of a start tag's attribute text.
std::vector<std::pair<std::string, std::string>> attributesOf(std::string_view t) {
    std::vector<std::pair<std::string, std::string>> out;
    std::size_t i = 0;
    while (i < t.size()) {
        const std::size_t eq = t.find('=', i);
        if (eq == std::string_view::npos) break;
        std::size_t q = eq + 1;
        while (q < t.size() && (t[q] == ' ' || t[q] == '\t' || t[q] == '\r' || t[q] == '\n')) ++q;
        if (q >= t.size() || (t[q] != '"' && t[q] != '\'')) break;
        const std::size_t close = t.find(t[q], q + 1);
        if (close == std::string_view::npos) break;
        std::string_view name = t.substr(i, eq - i);
        while (!name.empty() && (name.front() == ' ' || name.front() == '\t' || name.front() == '\r' ||
                                 name.front() == '\n'))
            name.remove_prefix(1);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
        out.emplace_back(lowered(name), std::string(t.substr(q + 1, close - q - 1)));
        i = close + 1;
    }
    return out;
}

class Filler {
public:
    explicit Filler(const skin::ExpandedWindow& w) : w_(w) {}

    WindowSource fill() {
        WindowSource out;
        for (const skin::SkinFile* f : w_.files()) out.files.push_back(f->path);
        out.window.name = "window";
        out.window.line = 1;
        for (const skin::WindowElement& e : w_.windowElements()) {
            if (lowered(e.name) != "controls") out.window.children.push_back(element(e));
        }
        Node controls;
        controls.name = "controls";
        for (std::uint32_t k : w_.topLevel()) controls.children.push_back(control(k, 0));
        out.window.children.push_back(std::move(controls));
        for (const skin::WindowIncludeCall& call : w_.calls()) {
            if (call.resolved) continue;
            const bool built = call.name.find('$') != std::string_view::npos;
            out.notes.push_back({call.at.file, lineOf(call.at),
                                 "include " + std::string(call.name) +
                                     (built ? " is built at run time" : " is not defined")});
        }
        for (const std::string& note : w_.notes()) out.notes.push_back({0, 0, note});
        return out;
    }

private:
    std::uint32_t lineOf(const skin::WindowPlace& at) const { return w_.locate(at).line; }

    Node element(const skin::WindowElement& e) const {
        Node n;
        n.name = lowered(e.name);
        n.text = std::string(e.value);
        n.attributes = attributesOf(e.attributes);
        n.file = e.at.file;
        n.line = lineOf(e.at);
        return n;
    }

    // Where a control stands in a file: its own tag there, or the include
    // call in that file that brought it; npos when neither.
    std::size_t offsetIn(std::uint32_t file, const skin::WindowControl& c) const {
        if (c.at.file == file) return c.at.begin;
        for (std::int32_t call = c.via; call >= 0; call = w_.calls()[static_cast<std::size_t>(call)].parent) {
            const skin::WindowIncludeCall& k = w_.calls()[static_cast<std::size_t>(call)];
            if (k.extent.file == file) return k.extent.begin;
        }
        return std::string::npos;
    }

    // A list's <content> with its items, read from its file's text.
    Node content(const skin::WindowElement& e) const {
        Node n = element(e);
        const std::string& text = w_.files()[e.at.file]->text;
        const std::size_t begin = e.at.begin > 0 ? e.at.begin - 1 : 0;  // its '<'
        const std::size_t end = text.find("</content>", begin);
        if (end == std::string::npos || text.compare(begin, 8, "<content") != 0) return n;
        Node read;
        std::string reason;
        const std::string xml = "<window>" + text.substr(begin, end + 10 - begin) + "</window>";
        if (!ReadWindowText(xml, e.at.file, read, reason) || read.children.empty()) return n;
        Node items = std::move(read.children.front());
        for (Node& item : items.children) shiftLines(item, n.line - 1);
        n.children = std::move(items.children);
        return n;
    }

    static void shiftLines(Node& n, std::uint32_t by) {
        n.line += by;
        for (Node& c : n.children) shiftLines(c, by);
    }

    Node control(std::uint32_t k, int depth) const {
        const skin::WindowControl& c = w_.controls()[k];
        Node n;
        if (depth > kDeepestElement) return n;
        n.name = "control";
        n.file = c.at.file;
        n.line = lineOf(c.at);
        if (!c.type.empty()) n.attributes.emplace_back("type", std::string(c.type));
        if (!c.id.empty()) n.attributes.emplace_back("id", std::string(c.id));
        std::vector<std::size_t> layouts;  // indices into n.children of its item layouts
        std::vector<std::size_t> layoutOffsets;
        for (const skin::WindowElement& e : c.elements) {
            const std::string name = lowered(e.name);
            n.children.push_back(name == "content" ? content(e) : element(e));
            if (name == "itemlayout" || name == "focusedlayout") {
                layouts.push_back(n.children.size() - 1);
                layoutOffsets.push_back(e.at.file == c.at.file ? e.at.begin : std::string::npos);
            }
        }
        for (std::uint32_t child : c.children) {
            const skin::WindowControl& cc = w_.controls()[child];
            if (!cc.inItemLayout || c.inItemLayout || layouts.empty()) {
                n.children.push_back(control(child, depth + 1));
                continue;
            }
            // The item layout written last before it in the list's file holds it.
            const std::size_t at = offsetIn(c.at.file, cc);
            std::size_t best = layouts.size();
            for (std::size_t l = 0; l < layouts.size(); ++l) {
                if (layoutOffsets[l] != std::string::npos && at != std::string::npos && layoutOffsets[l] < at &&
                    (best == layouts.size() || layoutOffsets[l] > layoutOffsets[best]))
                    best = l;
            }
            if (best < layouts.size()) n.children[layouts[best]].children.push_back(control(child, depth + 1));
        }
        return n;
    }

    const skin::ExpandedWindow& w_;
};

}  // namespace

WindowSource SourceOf(const skin::ExpandedWindow& window) { return Filler(window).fill(); }

}  // namespace render
