// Completion: the context is read from the document's text before the caret
// by one forward pass over its tags (so comments, unclosed tags and the
// element the caret stands in are known), then the model's names of that
// kind are filtered and ranked.
#include "skin/Completion.h"

#include "base/TextCodec.h"
#include "skin/SkinVocabulary.h"

#include <algorithm>
#include <set>

namespace skin {

namespace {

bool isNameByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '.' ||
           u == '-' || u == '/' || u == '\\' || u == ':' || u == '#' || u >= 0x80;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char lowerByte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lowerByte);
    return out;
}

bool endsWithNoCase(std::string_view text, std::size_t end, std::string_view tail) {
    if (end < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (lowerByte(text[end - tail.size() + i]) != lowerByte(tail[i])) return false;
    }
    return true;
}

struct Attribute {
    std::string name;  // lower case
    std::string value;
};

// An element open at the caret, or the tag the caret stands in.
struct OpenTag {
    std::string name;              // lower case
    std::size_t begin = 0;         // its '<'
    std::size_t contentStart = 0;  // after its '>' (0 while unterminated)
    std::vector<Attribute> attributes;

    const std::string* attribute(std::string_view n) const {
        for (const Attribute& a : attributes) {
            if (a.name == n) return &a.value;
        }
        return nullptr;
    }
};

// Reads a start tag from its '<' up to `limit`; `end` is after its '>' or
// npos when the tag is not finished before `limit`.
OpenTag readTag(std::string_view text, std::size_t at, std::size_t limit, std::size_t& end, bool& selfClosing) {
    OpenTag tag;
    tag.begin = at;
    std::size_t i = at + 1;
    while (i < limit && isNameByte(text[i])) ++i;
    tag.name = lower(text.substr(at + 1, i - at - 1));
    end = std::string_view::npos;
    selfClosing = false;
    while (i < limit) {
        const char c = text[i];
        if (c == '>') {
            selfClosing = text[i - 1] == '/';
            end = i + 1;
            break;
        }
        if (c == '<') break;  // a tag left open: the next one starts here
        if (isNameByte(c)) {
            const std::size_t n = i;
            while (i < limit && isNameByte(text[i])) ++i;
            Attribute a{lower(text.substr(n, i - n)), {}};
            std::size_t j = i;
            while (j < limit && isBlank(text[j])) ++j;
            if (j < limit && text[j] == '=') {
                ++j;
                while (j < limit && isBlank(text[j])) ++j;
                if (j < limit && (text[j] == '"' || text[j] == '\'')) {
                    const std::size_t close = text.find(text[j], j + 1);
                    const std::size_t valueEnd = close == std::string_view::npos || close > limit ? limit : close;
                    a.value = std::string(text.substr(j + 1, valueEnd - j - 1));
                    i = valueEnd < limit ? valueEnd + 1 : limit;
                } else {
                    i = j;
                }
            }
            tag.attributes.push_back(std::move(a));
            continue;
        }
        ++i;
    }
    if (end == std::string_view::npos && i < limit) end = i;  // broken off by the next '<'
    return tag;
}

struct Scan {
    std::vector<OpenTag> open;  // elements open at the caret, outermost first
    bool inComment = false;
    bool inTag = false;  // the caret stands inside a start tag
    OpenTag tag;         // that tag
};

// One pass over the text before the caret.
Scan scanTo(std::string_view text, std::size_t caret) {
    Scan scan;
    std::size_t i = 0;
    while (i < caret) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string_view::npos || lt >= caret) break;
        const std::string_view rest = text.substr(lt);
        auto skipTo = [&](std::string_view closer) {
            const std::size_t e = text.find(closer, lt + 2);
            if (e == std::string_view::npos || e + closer.size() > caret) return false;
            i = e + closer.size();
            return true;
        };
        if (rest.substr(0, 4) == "<!--") {
            if (!skipTo("-->")) {
                scan.inComment = true;
                return scan;
            }
        } else if (rest.substr(0, 9) == "<![CDATA[") {
            if (!skipTo("]]>")) {
                scan.inComment = true;
                return scan;
            }
        } else if (rest.substr(0, 2) == "<?" || rest.substr(0, 2) == "<!") {
            if (!skipTo(">")) {
                scan.inComment = true;
                return scan;
            }
        } else if (rest.substr(0, 2) == "</") {
            std::size_t n = lt + 2;
            while (n < caret && isNameByte(text[n])) ++n;
            const std::string name = lower(text.substr(lt + 2, n - lt - 2));
            for (std::size_t k = scan.open.size(); k-- > 0;) {
                if (scan.open[k].name == name) {
                    scan.open.resize(k);
                    break;
                }
            }
            const std::size_t gt = text.find('>', n);
            i = gt == std::string_view::npos || gt >= caret ? caret : gt + 1;
        } else {
            std::size_t end = 0;
            bool selfClosing = false;
            OpenTag tag = readTag(text, lt, caret, end, selfClosing);
            if (end == std::string_view::npos) {
                scan.inTag = true;
                scan.tag = std::move(tag);
                return scan;
            }
            tag.contentStart = end;
            if (!selfClosing && text[end - 1] == '>') scan.open.push_back(std::move(tag));
            i = end;
        }
    }
    return scan;
}

// The names given by <param name="..."> children of an include call, and the
// element names of a control's children (lower case), read from the
// element's content to its end tag (or the text's end), except the tag at
// `skip`.
std::vector<std::string> childNames(std::string_view text, const OpenTag& parent, std::size_t skip, bool params) {
    std::vector<std::string> names;
    std::size_t i = parent.contentStart;
    int depth = 0;
    while (i < text.size()) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string_view::npos) break;
        if (text.compare(lt, 4, "<!--") == 0) {
            const std::size_t e = text.find("-->", lt + 4);
            if (e == std::string_view::npos) break;
            i = e + 3;
            continue;
        }
        if (text.compare(lt, 2, "</") == 0) {
            if (depth == 0) break;
            --depth;
            i = lt + 2;
            continue;
        }
        if (text.compare(lt, 2, "<?") == 0 || text.compare(lt, 2, "<!") == 0) {
            i = lt + 2;
            continue;
        }
        std::size_t end = 0;
        bool selfClosing = false;
        OpenTag tag = readTag(text, lt, text.size(), end, selfClosing);
        if (depth == 0 && lt != skip) {
            if (params) {
                if (tag.name == "param") {
                    if (const std::string* n = tag.attribute("name")) names.push_back(*n);
                }
            } else if (!tag.name.empty()) {
                names.push_back(tag.name);
            }
        }
        if (end == std::string_view::npos) break;
        if (!selfClosing && text[end - 1] == '>') ++depth;
        i = end;
    }
    return names;
}

struct BracketForm {
    std::string_view opener;
    CompletionContext context;
};

const BracketForm kBrackets[] = {{"$VAR[", CompletionContext::Variable},
                                 {"$ESCVAR[", CompletionContext::Variable},
                                 {"$EXP[", CompletionContext::Expression},
                                 {"$PARAM[", CompletionContext::DefinitionParam},
                                 {"$LOCALIZE[", CompletionContext::String}};

bool contains(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The vocabulary's element of a name inside an open control (its type's),
// else the first element of that name any control reads.
const vocab::Element* elementOf(std::string_view name, const OpenTag* control) {
    const std::string* typeName = control ? control->attribute("type") : nullptr;
    if (const vocab::ControlType* type = typeName ? vocab::findType(*typeName) : nullptr) {
        return vocab::findElement(*type, name).element;
    }
    for (const vocab::ControlType& type : vocab::controlTypes()) {
        if (const vocab::ElementMatch m = vocab::findElement(type, name)) return m.element;
    }
    return nullptr;
}

// The values an element's text may take: an enumeration's or a boolean's.
vocab::Items<std::string_view> valuesOf(std::string_view element, const OpenTag* control) {
    if (element == "animation") return vocab::animationTriggers();
    const vocab::Element* e = elementOf(element, control);
    if (e == nullptr) return {};
    if (e->kind == vocab::ValueKind::Enum && e->enumeration) return e->enumeration->values;
    if (e->kind == vocab::ValueKind::Boolean) return vocab::findEnumeration("boolean")->values;
    return {};
}

CompletionContext elementTextContext(std::string_view element) {
    if (element == "include") return CompletionContext::IncludeName;
    if (element == "font") return CompletionContext::Font;
    if (isColourElement(element)) return CompletionContext::Colour;
    if (isNumericElement(element)) return CompletionContext::Constant;
    if (isLabelElement(element)) return CompletionContext::String;
    if (isImageElement(element)) return CompletionContext::Texture;
    return CompletionContext::None;
}

// The attributes a tag may carry, where the vocabulary lists them.
vocab::Items<std::string_view> attributesOf(std::string_view tag) {
    if (tag == "animation") return vocab::animationAttributes();
    if (tag == "effect") return vocab::effectAttributes();
    if (isImageElement(tag)) return vocab::textureAttributes();
    return {};
}

// The values of an animation's attributes (and a scroll's tween and easing).
vocab::Items<std::string_view> attributeValues(std::string_view tag, std::string_view attribute) {
    if ((tag == "animation" && attribute == "effect") || (tag == "effect" && attribute == "type")) {
        return vocab::animationEffects();
    }
    if (tag == "animation" && attribute == "type") return vocab::animationTriggers();
    if (attribute == "tween") return vocab::animationTweens();
    if (attribute == "easing") return vocab::animationEasings();
    return {};
}

}  // namespace

CompletionSite FindCompletionSite(std::string_view text, std::size_t caret) {
    CompletionSite site;
    caret = std::min(caret, text.size());
    const Scan scan = scanTo(text, caret);
    if (scan.inComment) return site;

    std::size_t start = caret;
    while (start > 0 && isNameByte(text[start - 1])) --start;
    std::size_t end = caret;
    while (end < text.size() && isNameByte(text[end])) ++end;
    site.start = start;
    site.caret = caret;
    site.end = end;

    // $NAME[ forms, in element text and attribute values alike; a string
    // may be looked for by words of its text.
    for (const BracketForm& form : kBrackets) {
        std::size_t open = start;
        if (form.context == CompletionContext::String) {
            const std::size_t bracket = text.substr(0, caret).find_last_of("[]\"<>\r\n");
            if (bracket == std::string_view::npos || text[bracket] != '[') continue;
            open = bracket + 1;
        }
        if (!endsWithNoCase(text, open, form.opener)) continue;
        site.context = form.context;
        site.start = open;
        site.closing = "]";
        if (form.context == CompletionContext::DefinitionParam) {
            for (std::size_t k = scan.open.size(); k-- > 0;) {
                const std::string* name = scan.open[k].name == "include" ? scan.open[k].attribute("name") : nullptr;
                if (name) {
                    site.scope = *name;
                    break;
                }
            }
        }
        site.typed = std::string(text.substr(site.start, caret - site.start));
        return site;
    }
    site.typed = std::string(text.substr(start, caret - start));

    if (scan.inTag) {
        const OpenTag& tag = scan.tag;
        if (start == tag.begin + 1) {  // <| : a new element's name
            const OpenTag* control =
                scan.open.empty() || scan.open.back().name != "control" ? nullptr : &scan.open.back();
            const std::string* type = control ? control->attribute("type") : nullptr;
            if (!type) return site;
            site.context = CompletionContext::ElementName;
            site.scope = lower(*type);
            site.present = childNames(text, *control, tag.begin, false);
            return site;
        }
        if (start > tag.begin + 1 && isBlank(text[start - 1])) {  // <texture |: an attribute's name
            site.values = attributesOf(tag.name);
            if (site.values.empty()) return site;
            site.context = CompletionContext::AttributeName;
            for (const Attribute& a : tag.attributes) {
                if (a.name != lower(site.typed)) site.present.push_back(a.name);
            }
            return site;
        }
        if (start == 0 || (text[start - 1] != '"' && text[start - 1] != '\'')) return site;
        std::size_t j = start - 1;
        while (j > tag.begin && isBlank(text[j - 1])) --j;
        if (j <= tag.begin || text[j - 1] != '=') return site;
        --j;
        while (j > tag.begin && isBlank(text[j - 1])) --j;
        std::size_t n = j;
        while (n > tag.begin && isNameByte(text[n - 1])) --n;
        const std::string attribute = lower(text.substr(n, j - n));
        site.closing = std::string(1, text[start - 1]);
        if (tag.name == "include" && attribute == "content") {
            site.context = CompletionContext::IncludeName;
        } else if (tag.name == "param" && attribute == "name") {
            const OpenTag* call = scan.open.empty() || scan.open.back().name != "include" ? nullptr : &scan.open.back();
            const std::string* called = call ? call->attribute("content") : nullptr;
            if (!called) return site;
            site.context = CompletionContext::CallParameter;
            site.scope = *called;
            site.present = childNames(text, *call, tag.begin, true);
        } else if (tag.name == "control" && attribute == "type") {
            site.context = CompletionContext::ControlType;
        } else if (!attributeValues(tag.name, attribute).empty()) {
            site.context = CompletionContext::AttributeValue;
            site.values = attributeValues(tag.name, attribute);
        } else if (attribute == "colordiffuse") {
            site.context = CompletionContext::Colour;
        } else if (isNumericAttribute(attribute)) {
            site.context = CompletionContext::Constant;
        }
        return site;
    }

    // An element's text: only a name since its start tag.
    if (scan.open.empty() || scan.open.back().contentStart != start) return site;
    const OpenTag& element = scan.open.back();
    if (element.name == "include" && element.attribute("content")) return site;
    site.context = elementTextContext(element.name);
    if (site.context != CompletionContext::None) return site;
    const OpenTag* control =
        scan.open.size() > 1 && scan.open[scan.open.size() - 2].name == "control" ? &scan.open[scan.open.size() - 2]
                                                                                 : nullptr;
    site.values = valuesOf(element.name, control);
    if (!site.values.empty()) site.context = CompletionContext::Value;
    return site;
}

namespace {

// The first <value> of a variable's text, else its first line.
std::string firstValue(const std::string& text) {
    const std::size_t v = text.find("<value");
    if (v != std::string::npos) {
        const std::size_t gt = text.find('>', v);
        if (gt != std::string::npos && text[gt - 1] != '/') {
            const std::size_t lt = text.find('<', gt);
            return text.substr(gt + 1, lt == std::string::npos ? std::string::npos : lt - gt - 1);
        }
    }
    return text.substr(0, text.find('\n'));
}

struct Ranked {
    int rank = 0;  // 0 name begins with the typed part, 1 name holds it, 2 text holds it
    std::string key;
    CompletionEntry entry;
};

class Collector {
public:
    Collector(const std::string& typed, bool byText) : typed_(lower(typed)), byText_(byText) {}

    void add(std::string name, std::string detail, SymbolKind kind) {
        if (!seen_.insert(name).second) return;
        std::string key = lower(name);
        int rank = 0;
        if (!typed_.empty()) {
            const std::size_t at = key.find(typed_);
            if (at == 0) {
                rank = 0;
            } else if (at != std::string::npos) {
                rank = 1;
            } else if (byText_ && lower(detail).find(typed_) != std::string::npos) {
                rank = 2;
            } else {
                return;
            }
        }
        ranked_.push_back({rank, std::move(key), {std::move(name), std::move(detail), kind}});
    }

    std::vector<CompletionEntry> take() {
        std::sort(ranked_.begin(), ranked_.end(), [](const Ranked& a, const Ranked& b) {
            if (a.rank != b.rank) return a.rank < b.rank;
            if (a.key != b.key) return a.key < b.key;
            return a.entry.name < b.entry.name;
        });
        std::vector<CompletionEntry> out;
        out.reserve(ranked_.size());
        for (Ranked& r : ranked_) out.push_back(std::move(r.entry));
        return out;
    }

private:
    std::string typed_;
    bool byText_ = false;
    std::set<std::string> seen_;
    std::vector<Ranked> ranked_;
};

std::string fileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return text::toUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

// Every primary definition of a kind, in the model's file order.
template <typename F>
void forEachDefinition(const SkinModel& model, SymbolKind kind, F&& f) {
    for (const auto& file : model.files()) {
        for (const Definition& d : file->definitions) {
            if (d.kind == kind) f(d);
        }
    }
}

// What an element takes: its kind, or its values.
std::string elementDetail(const vocab::Element& e) {
    if (e.kind != vocab::ValueKind::Enum || e.enumeration == nullptr) return std::string(vocab::kindName(e.kind));
    std::string out;
    for (std::string_view v : e.enumeration->values) out += (out.empty() ? "" : ", ") + std::string(v);
    return out;
}

std::string typeDetail(const vocab::ControlType& t) {
    std::string out = t.container ? "holds items" : t.focusable ? "takes focus" : "";
    if (t.recent) out += out.empty() ? "newest releases" : ", newest releases";
    return out;
}

}  // namespace

std::vector<CompletionEntry> CompletionEntries(const SkinModel& model, const CompletionSite& site) {
    Collector out(site.typed, site.context == CompletionContext::String);
    auto primaries = [&](SymbolKind kind, auto detail) {
        forEachDefinition(model, kind, [&](const Definition& d) {
            if (d.primary) out.add(d.name, detail(d), kind);
        });
    };
    switch (site.context) {
    case CompletionContext::None:
        break;
    case CompletionContext::IncludeName:
        primaries(SymbolKind::Include, [](const Definition& d) { return fileName(d.at.path); });
        break;
    case CompletionContext::CallParameter:
        forEachDefinition(model, SymbolKind::Param, [&](const Definition& d) {
            if (d.scope == site.scope && !contains(site.present, d.name)) out.add(d.name, d.value, SymbolKind::Param);
        });
        break;
    case CompletionContext::DefinitionParam:
        if (site.scope.empty()) break;
        forEachDefinition(model, SymbolKind::Param, [&](const Definition& d) {
            if (d.scope == site.scope) out.add(d.name, d.value, SymbolKind::Param);
        });
        for (const auto& file : model.files()) {
            for (const SymbolReference& r : file->references) {
                if (r.kind == SymbolKind::Param && r.element == "param" && r.scope == site.scope &&
                    r.form == ReferenceForm::Name) {
                    out.add(r.name, std::string(), SymbolKind::Param);
                }
            }
        }
        break;
    case CompletionContext::Variable:
        primaries(SymbolKind::Variable, [](const Definition& d) { return firstValue(d.value); });
        break;
    case CompletionContext::Expression:
        primaries(SymbolKind::Expression, [](const Definition& d) { return d.value; });
        break;
    case CompletionContext::Constant:
        primaries(SymbolKind::Constant, [](const Definition& d) { return d.value; });
        break;
    case CompletionContext::Font:
        primaries(SymbolKind::Font, [](const Definition& d) { return d.value; });
        break;
    case CompletionContext::Colour:
        primaries(SymbolKind::Colour, [](const Definition& d) { return d.value; });
        break;
    case CompletionContext::String:
        primaries(SymbolKind::String, [](const Definition& d) { return d.value; });
        break;
    case CompletionContext::Texture: {
        // One entry per texture, by its folded key; where it is told beside it.
        std::map<std::string, std::pair<std::string, int>> where;  // key -> name, 1 disk | 2 bundle
        for (const Definition& d : model.textures()) {
            auto& w = where.try_emplace(NameKey(d.name), d.name, 0).first->second;
            w.second |= d.group == "bundle" ? 2 : 1;
        }
        for (auto& [key, w] : where) {
            out.add(std::move(w.first),
                    w.second == 3   ? "disk and bundle"
                    : w.second == 2 ? "bundle"
                                    : "disk",
                    SymbolKind::Texture);
        }
        break;
    }
    case CompletionContext::ElementName: {
        const vocab::ControlType* type = vocab::findType(site.scope);
        if (type == nullptr) break;
        auto offer = [&](vocab::Items<vocab::Element> elements) {
            for (const vocab::Element& e : elements) {
                // Older names and those without effect are not offered; one present is offered again
                // only when it may repeat.
                if (e.has(vocab::Legacy) || e.has(vocab::Ignored)) continue;
                if (!e.has(vocab::Repeatable) && contains(site.present, e.name)) continue;
                out.add(std::string(e.name), elementDetail(e), SymbolKind::Include);
            }
        };
        offer(type->elements);
        if (type->focusable) offer(vocab::focusableElements());
        offer(vocab::commonElements());
        break;
    }
    case CompletionContext::ControlType:
        for (const vocab::ControlType& type : vocab::controlTypes()) {
            out.add(std::string(type.name), typeDetail(type), SymbolKind::Include);
        }
        break;
    case CompletionContext::Value:
    case CompletionContext::AttributeValue:
    case CompletionContext::AttributeName:
        for (std::string_view value : site.values) {
            if (!contains(site.present, value)) out.add(std::string(value), std::string(), SymbolKind::Include);
        }
        break;
    }
    return out.take();
}

std::vector<OpenElement> OpenElementsAt(std::string_view text, std::size_t offset) {
    const Scan scan = scanTo(text, std::min(offset, text.size()));
    std::vector<OpenElement> out;
    for (const OpenTag& tag : scan.open) {
        const std::string* type = tag.attribute("type");
        out.push_back({tag.name, type ? *type : std::string()});
    }
    return out;
}

std::string CompletionInsertText(std::string_view text, const CompletionSite& site, std::string_view name) {
    std::string insert(name);
    if (!site.closing.empty() && text.substr(std::min(site.end, text.size()), site.closing.size()) != site.closing) {
        insert += site.closing;
    }
    return insert;
}

}  // namespace skin
