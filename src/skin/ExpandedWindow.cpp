// Building a window's expansion: its file's element tree walked, each
// include call replaced by its definition's body with the call's parameters
// (and the declared defaults) substituted, as the media center does when it
// loads the window.
#include "skin/ExpandedWindow.h"

#include "skin/ControlVocabulary.h"
#include "skin/SkinScanText.h"

#include <algorithm>

namespace skin {

using namespace scan;

namespace {

constexpr std::size_t kMaxNesting = 256;  // elements inside elements, in one file
constexpr std::string_view kParam = "$PARAM[";

std::string_view trimmedView(std::string_view v) {
    while (!v.empty() && isBlank(v.front())) v.remove_prefix(1);
    while (!v.empty() && isBlank(v.back())) v.remove_suffix(1);
    return v;
}

bool startsFolded(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameNameFolded(s.substr(0, prefix.size()), prefix);
}

// The name of `$PARAM[name]` when that is the whole text.
std::string_view wholeParam(std::string_view raw) {
    const std::string_view v = trimmedView(raw);
    if (v.size() <= kParam.size() || v.compare(0, kParam.size(), kParam) != 0 || v.back() != ']') return {};
    const std::string_view name = v.substr(kParam.size(), v.size() - kParam.size() - 1);
    return name.find_first_of("[]$") == std::string_view::npos ? name : std::string_view();
}

struct Param {
    std::string_view name;
    std::string_view value;
    bool hasOrigin = false;  // the value is written literally at `origin`
    WindowPlace origin;
};

struct Frame {
    const ElementTree* tree = nullptr;
    std::uint32_t file = 0;
    const std::vector<Param>* params = nullptr;  // null in the window's own file
    std::int32_t call = -1;
    std::size_t depth = 0;
};

// The functions whose first argument is a control id; `maxArgs` 0 for any.
struct IdFunction {
    std::string_view name;  // lower case; "control." matches every Control.* function
    bool prefix;
    std::size_t maxArgs;
};
constexpr IdFunction kIdFunctions[] = {
    {"control.message", false, 2},  // a third argument names another window
    {"control.", true, 0},
    {"controlgroup", false, 0},
    {"container", false, 0},
    {"setfocus", false, 0},
    {"sendclick", false, 1},  // SendClick(window, id) names another window's control
};

bool isWordChar(char c) { return isNameChar(c) && c != '-' && c != ':'; }

}  // namespace

ControlIdValue ParseControlId(std::string_view text) {
    ControlIdValue out;
    std::string_view v = trimmedView(text);
    const bool negative = !v.empty() && v.front() == '-';
    if (negative) v.remove_prefix(1);
    if (v.empty() || !std::all_of(v.begin(), v.end(), isDigit)) return out;
    out.number = true;
    while (v.size() > 1 && v.front() == '0') v.remove_prefix(1);
    if (v.size() > 18) {
        out.huge = true;
        return out;
    }
    for (const char c : v) out.value = out.value * 10 + (c - '0');
    if (negative) out.value = -out.value;
    return out;
}

class WindowBuilder {
public:
    WindowBuilder(ExpandedWindow& window, const IncludeLibrary& includes) : w_(window), includes_(includes) {}

    void build(const SkinFile& file) {
        w_.files_.push_back(&file);
        const ElementTree tree(file.text);
        Frame frame;
        frame.tree = &tree;
        for (std::uint32_t root = tree.firstRoot(); root != ElementTree::kNone;
             root = tree.nodes()[root].nextSibling) {
            if (!SameNameFolded(tree.name(tree.nodes()[root]), "window")) continue;
            walk(frame, tree.nodes()[root].firstChild, -1, true, false, false, 0);
        }
    }

private:
    WindowPlace place(const Frame& f, std::size_t begin, std::size_t end) const {
        return {f.file, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end)};
    }
    std::size_t offsetIn(const Frame& f, std::string_view part) const {
        return static_cast<std::size_t>(part.data() - f.tree->text().data());
    }

    std::uint32_t fileIndex(const SkinFile* file) {
        const auto it = std::find(w_.files_.begin(), w_.files_.end(), file);
        if (it != w_.files_.end()) return static_cast<std::uint32_t>(it - w_.files_.begin());
        w_.files_.push_back(file);
        return static_cast<std::uint32_t>(w_.files_.size() - 1);
    }

    const Param* param(const Frame& f, std::string_view name) const {
        if (!f.params) return nullptr;
        for (const Param& p : *f.params) {
            if (p.name == name) return &p;
        }
        return nullptr;
    }

    // The text with the frame's parameters put in ($PARAM[x] of no value: nothing).
    std::string_view substitute(const Frame& f, std::string_view raw) {
        if (!f.params || raw.find(kParam) == std::string_view::npos) return raw;
        std::string out;
        std::size_t k = 0;
        for (std::size_t at = raw.find(kParam); at != std::string_view::npos; at = raw.find(kParam, k)) {
            const std::size_t close = raw.find(']', at);
            if (close == std::string_view::npos) break;
            out.append(raw.substr(k, at - k));
            if (const Param* p = param(f, raw.substr(at + kParam.size(), close - at - kParam.size()))) {
                out.append(p->value);
            }
            k = close + 1;
        }
        out.append(raw.substr(k));
        w_.store_.push_back(std::move(out));
        return w_.store_.back();
    }

    void note(std::string text) {
        w_.complete_ = false;
        if (std::find(w_.notes_.begin(), w_.notes_.end(), text) == w_.notes_.end()) w_.notes_.push_back(std::move(text));
    }

    // An id written at `raw` (a part of the frame's file): a use at its place,
    // or at the caller's value when it is a parameter passed as is.
    void idUse(const Frame& f, std::string_view raw, std::string_view element) {
        raw = trimmedView(raw);
        if (raw.empty()) return;
        ControlIdUse use;
        use.element = element;
        use.via = f.call;
        use.at = place(f, offsetIn(f, raw), offsetIn(f, raw) + raw.size());
        if (raw.find('$') == std::string_view::npos) {
            use.id = ParseControlId(raw);
            if (!use.id.number) return;
        } else if (const Param* p = param(f, wholeParam(raw)); p && p->hasOrigin) {
            use.id = ParseControlId(p->value);
            if (!use.id.number) return;
            use.at = p->origin;
        } else {
            use.built = true;
            use.id = ParseControlId(substitute(f, raw));
        }
        w_.uses_.push_back(use);
    }

    // Control.HasFocus(n), Container(n), SetFocus(n) ... in a text.
    void functionUses(const Frame& f, std::string_view raw) {
        for (std::size_t open = raw.find('('); open != std::string_view::npos; open = raw.find('(', open + 1)) {
            std::size_t start = open;
            while (start > 0 && isWordChar(raw[start - 1])) --start;
            const std::string_view word = raw.substr(start, open - start);
            const IdFunction* fn = nullptr;
            for (const IdFunction& candidate : kIdFunctions) {
                if (candidate.prefix ? startsFolded(word, candidate.name) && word.size() > candidate.name.size()
                                     : SameNameFolded(word, candidate.name)) {
                    fn = &candidate;
                    break;
                }
            }
            if (!fn) continue;
            std::size_t args = 1;
            std::size_t firstEnd = std::string_view::npos;
            int depth = 0;
            std::size_t k = open + 1;
            for (; k < raw.size(); ++k) {
                const char c = raw[k];
                if (c == '[' || c == '(') ++depth;
                if ((c == ']' || c == ')') && depth-- == 0) break;
                if (c == ',' && depth == 0) {
                    if (firstEnd == std::string_view::npos) firstEnd = k;
                    ++args;
                }
            }
            if (k >= raw.size() || (fn->maxArgs != 0 && args > fn->maxArgs)) continue;
            if (firstEnd == std::string_view::npos) firstEnd = k;
            idUse(f, raw.substr(open + 1, firstEnd - open - 1), word);
        }
    }

    void valueUses(const Frame& f, std::string_view element, std::string_view raw) {
        if (raw.empty()) return;
        if (NamesControlId(element)) {
            if (SameNameFolded(element, "views")) {
                for (std::size_t b = 0; b <= raw.size();) {
                    std::size_t c = raw.find(',', b);
                    if (c == std::string_view::npos) c = raw.size();
                    idUse(f, raw.substr(b, c - b), element);
                    b = c + 1;
                }
                return;
            }
            const std::string_view v = trimmedView(raw);
            if (v.find('(') == std::string_view::npos) {
                idUse(f, v, element);
                return;
            }
        }
        if (raw.find('(') != std::string_view::npos) functionUses(f, raw);
    }

    void elementUses(const Frame& f, const ElementTree::Node& n, std::string_view name) {
        valueUses(f, name, f.tree->value(n));
        const std::string_view attributes = f.tree->attributesText(n);
        if (attributes.find('(') != std::string_view::npos) functionUses(f, attributes);
    }

    std::int32_t addControl(const Frame& f, const ElementTree::Node& n, std::int32_t parent, bool itemLayout) {
        if (w_.controls_.size() >= ExpandedWindow::kMaxControls) {
            note("more than " + std::to_string(ExpandedWindow::kMaxControls) + " controls: the rest are left out");
            return -2;
        }
        const ElementTree& t = *f.tree;
        WindowControl c;
        const ElementTree::Value type = t.attribute(n, "type");
        if (type.found) c.type = substitute(f, trimmedView(t.text().substr(type.begin, type.end - type.begin)));
        c.at = place(f, n.tag + 1, n.nameEnd);
        c.extent = place(f, n.tag, n.end);
        c.idAt = c.at;
        const ElementTree::Value id = t.attribute(n, "id");
        if (id.found) {
            const std::string_view raw = trimmedView(t.text().substr(id.begin, id.end - id.begin));
            c.idWrittenLiterally = raw.find('$') == std::string_view::npos;
            c.id = substitute(f, raw);
            c.idValue = ParseControlId(c.id);
            c.idAt = place(f, offsetIn(f, raw), offsetIn(f, raw) + raw.size());
            if (c.id.find('$') != std::string_view::npos && !itemLayout) w_.complete_ = false;
        }
        c.parent = parent;
        c.via = f.call;
        c.inItemLayout = itemLayout;
        const auto index = static_cast<std::int32_t>(w_.controls_.size());
        w_.controls_.push_back(std::move(c));
        if (parent >= 0) {
            w_.controls_[static_cast<std::size_t>(parent)].children.push_back(static_cast<std::uint32_t>(index));
        } else {
            w_.topLevel_.push_back(static_cast<std::uint32_t>(index));
        }
        return index;
    }

    void call(const Frame& f, const ElementTree::Node& n, std::int32_t control, bool direct, bool itemLayout,
              std::size_t nesting) {
        const ElementTree& t = *f.tree;
        const ElementTree::Value content = t.attribute(n, "content");
        const std::string_view raw =
            trimmedView(content.found ? t.text().substr(content.begin, content.end - content.begin) : t.value(n));
        const std::string_view name = substitute(f, raw);
        // The parameters' values are written here: what they name is named here.
        std::vector<const ElementTree::Node*> passed;
        for (std::uint32_t p = n.firstChild; p != ElementTree::kNone; p = t.nodes()[p].nextSibling) {
            const ElementTree::Node& pn = t.nodes()[p];
            if (!SameNameFolded(t.name(pn), "param")) continue;
            passed.push_back(&pn);
            const ElementTree::Value value = t.attribute(pn, "value");
            functionUses(f, value.found ? t.text().substr(value.begin, value.end - value.begin) : t.value(pn));
        }
        if (name.empty()) return;
        const auto callIndex = static_cast<std::int32_t>(w_.calls_.size());
        w_.calls_.push_back({name, place(f, offsetIn(f, raw), offsetIn(f, raw) + raw.size()), place(f, n.tag, n.end),
                             f.call, false});
        if (name.find('$') != std::string_view::npos) {
            w_.complete_ = false;
            return;
        }
        const IncludeBody* body = includes_.find(name);
        if (!body) {
            w_.complete_ = false;
            return;
        }
        for (std::int32_t up = f.call; up >= 0; up = w_.calls_[static_cast<std::size_t>(up)].parent) {
            if (w_.calls_[static_cast<std::size_t>(up)].name == name) {
                note("include " + std::string(name) + " calls itself: the inner call is left out");
                return;
            }
        }
        if (f.depth + 1 > ExpandedWindow::kMaxDepth) {
            note("includes called more than " + std::to_string(ExpandedWindow::kMaxDepth) +
                 " deep: the deeper ones are left out");
            return;
        }
        Frame inner;
        inner.tree = &includes_.tree(body->tree);
        inner.file = fileIndex(body->file);
        inner.call = callIndex;
        inner.depth = f.depth + 1;
        const ElementTree& bt = *inner.tree;
        const ElementTree::Node& definition = bt.nodes()[body->node];
        std::vector<Param> params;
        for (std::uint32_t p = definition.firstChild; p != ElementTree::kNone; p = bt.nodes()[p].nextSibling) {
            const ElementTree::Node& pn = bt.nodes()[p];
            const ElementTree::Value pname = bt.attribute(pn, "name");
            if (!SameNameFolded(bt.name(pn), "param") || !pname.found) continue;
            const ElementTree::Value def = bt.attribute(pn, "default");
            const std::string_view value =
                trimmedView(def.found ? bt.text().substr(def.begin, def.end - def.begin) : bt.value(pn));
            Param declared;
            declared.name = trimmedView(bt.text().substr(pname.begin, pname.end - pname.begin));
            declared.value = value;
            declared.hasOrigin = value.find('$') == std::string_view::npos;
            declared.origin = place(inner, offsetIn(inner, value), offsetIn(inner, value) + value.size());
            params.push_back(declared);
        }
        for (const ElementTree::Node* pn : passed) {
            const ElementTree::Value pname = t.attribute(*pn, "name");
            if (!pname.found) continue;
            const ElementTree::Value v = t.attribute(*pn, "value");
            const std::string_view value = trimmedView(v.found ? t.text().substr(v.begin, v.end - v.begin) : t.value(*pn));
            Param given;
            given.name = trimmedView(t.text().substr(pname.begin, pname.end - pname.begin));
            given.value = substitute(f, value);
            if (value.find('$') == std::string_view::npos) {
                given.hasOrigin = true;
                given.origin = place(f, offsetIn(f, value), offsetIn(f, value) + value.size());
            } else if (const Param* outer = param(f, wholeParam(value)); outer && outer->hasOrigin) {
                given.hasOrigin = true;
                given.origin = outer->origin;
            }
            const auto same = std::find_if(params.begin(), params.end(),
                                           [&](const Param& d) { return d.name == given.name; });
            if (same != params.end()) {
                *same = given;
            } else {
                params.push_back(given);
            }
        }
        inner.params = &params;
        w_.calls_[static_cast<std::size_t>(callIndex)].resolved = true;
        const std::uint32_t inside = bt.child(definition, "definition");
        const bool declared = inside == ElementTree::kNone;
        walk(inner, declared ? definition.firstChild : bt.nodes()[inside].firstChild, control, direct, itemLayout,
             declared, nesting + 1);
    }

    // The elements from `first` on, children of `control` (-1: the window);
    // `direct`: they are its direct children.
    void walk(const Frame& f, std::uint32_t first, std::int32_t control, bool direct, bool itemLayout,
              bool skipParams, std::size_t nesting) {
        if (nesting > kMaxNesting) {
            note("elements nested more than " + std::to_string(kMaxNesting) + " deep: the deeper ones are left out");
            return;
        }
        const ElementTree& t = *f.tree;
        for (std::uint32_t k = first; k != ElementTree::kNone; k = t.nodes()[k].nextSibling) {
            if (++visited_ > ExpandedWindow::kMaxNodes) {
                note("the window is too large to expand whole: the rest is left out");
                return;
            }
            const ElementTree::Node& n = t.nodes()[k];
            const std::string_view name = t.name(n);
            if (SameNameFolded(name, "control")) {
                const std::int32_t c = addControl(f, n, control, itemLayout);
                if (c == -2) return;
                elementUses(f, n, name);
                walk(f, n.firstChild, c, true, itemLayout, false, nesting + 1);
            } else if (SameNameFolded(name, "include")) {
                if (!t.attribute(n, "name").found) call(f, n, control, direct, itemLayout, nesting);
            } else if (skipParams && SameNameFolded(name, "param")) {
                continue;
            } else {
                elementUses(f, n, name);
                if (direct) {
                    WindowElement e;
                    e.name = name;
                    e.value = substitute(f, t.value(n));
                    e.attributes = substitute(f, t.attributesText(n));
                    e.at = place(f, n.tag + 1, n.nameEnd);
                    auto& list = control >= 0 ? w_.controls_[static_cast<std::size_t>(control)].elements
                                              : w_.windowElements_;
                    list.push_back(e);
                }
                const bool layout = itemLayout || SameNameFolded(name, "itemlayout") ||
                                    SameNameFolded(name, "focusedlayout");
                walk(f, n.firstChild, control, false, layout, false, nesting + 1);
            }
        }
    }

    ExpandedWindow& w_;
    const IncludeLibrary& includes_;
    std::size_t visited_ = 0;
};

Location ExpandedWindow::locate(const WindowPlace& at) const {
    if (at.file >= files_.size()) return {};
    return LocateInFile(*files_[at.file], at.begin, at.end);
}

WindowPlace ExpandedWindow::placeInWindow(const WindowControl& c) const {
    if (c.via < 0) return c.extent;
    std::size_t call = static_cast<std::size_t>(c.via);
    while (calls_[call].parent >= 0) call = static_cast<std::size_t>(calls_[call].parent);
    return calls_[call].extent;
}

std::int32_t ExpandedWindow::controlAt(std::uint32_t offset) const {
    std::int32_t best = -1;
    std::uint32_t bestSize = 0;
    for (std::size_t k = 0; k < controls_.size(); ++k) {
        if (controls_[k].inItemLayout) continue;
        const WindowPlace p = placeInWindow(controls_[k]);
        if (p.file != 0 || offset < p.begin || offset >= p.end) continue;
        if (best < 0 || p.end - p.begin < bestSize) {
            best = static_cast<std::int32_t>(k);
            bestSize = p.end - p.begin;
        }
    }
    return best;
}

std::vector<std::uint32_t> ExpandedWindow::controlsWithId(const ControlIdValue& id) const {
    std::vector<std::uint32_t> out;
    if (!id.number || id.huge) return out;
    for (std::size_t k = 0; k < controls_.size(); ++k) {
        const WindowControl& c = controls_[k];
        if (!c.inItemLayout && c.idValue == id) out.push_back(static_cast<std::uint32_t>(k));
    }
    return out;
}

const WindowElement* ExpandedWindow::element(const WindowControl& c, std::string_view name) const {
    for (const WindowElement& e : c.elements) {
        if (SameNameFolded(e.name, name)) return &e;
    }
    return nullptr;
}

std::string_view ExpandedWindow::caption(const WindowControl& c) const {
    for (const char* name : {"description", "label"}) {
        if (const WindowElement* e = element(c, name); e && !e->value.empty()) return e->value;
    }
    return {};
}

void IncludeLibrary::build(const std::vector<const SkinFile*>& files) {
    trees_.clear();
    sorted_.clear();
    for (const SkinFile* file : files) {
        trees_.push_back(std::make_unique<ElementTree>(file->text));
        const ElementTree& t = *trees_.back();
        const auto treeIndex = static_cast<std::uint32_t>(trees_.size() - 1);
        for (std::uint32_t root = t.firstRoot(); root != ElementTree::kNone; root = t.nodes()[root].nextSibling) {
            if (!SameNameFolded(t.name(t.nodes()[root]), "includes")) continue;
            for (std::uint32_t k = t.nodes()[root].firstChild; k != ElementTree::kNone; k = t.nodes()[k].nextSibling) {
                const ElementTree::Node& n = t.nodes()[k];
                const ElementTree::Value name = t.attribute(n, "name");
                if (!SameNameFolded(t.name(n), "include") || !name.found || t.attribute(n, "file").found) continue;
                sorted_.push_back({trimmedView(t.text().substr(name.begin, name.end - name.begin)),
                                   IncludeBody{file, treeIndex, k}});
            }
        }
    }
    std::stable_sort(sorted_.begin(), sorted_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    sorted_.erase(std::unique(sorted_.begin(), sorted_.end(),
                              [](const auto& a, const auto& b) { return a.first == b.first; }),
                  sorted_.end());
}

const IncludeBody* IncludeLibrary::find(std::string_view name) const {
    const auto it = std::lower_bound(sorted_.begin(), sorted_.end(), name,
                                     [](const auto& entry, std::string_view n) { return entry.first < n; });
    return it != sorted_.end() && it->first == name ? &it->second : nullptr;
}

std::unique_ptr<ExpandedWindow> ExpandWindow(const SkinFile& window, const IncludeLibrary& includes) {
    auto out = std::make_unique<ExpandedWindow>();
    WindowBuilder(*out, includes).build(window);
    return out;
}

bool NamesControlId(std::string_view element) {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> out{"views"};
        auto take = [&out](const vocab::Items<vocab::Element>& elements) {
            for (const vocab::Element& e : elements) {
                if (e.kind == vocab::ValueKind::ControlId || e.kind == vocab::ValueKind::Navigation)
                    out.push_back(e.name);
            }
        };
        take(vocab::commonElements());
        take(vocab::focusableElements());
        take(vocab::windowElements());
        for (const vocab::ControlType& type : vocab::controlTypes()) take(type.elements);
        return out;
    }();
    return std::any_of(names.begin(), names.end(), [&](std::string_view n) { return SameNameFolded(n, element); });
}

}  // namespace skin
