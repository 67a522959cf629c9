// Reading one skin file into definitions and references. The XML is read by a
// forgiving tokenizer of our own rather than a validating parser: it keeps
// byte offsets (which a parser's locations do not give), and a file broken in
// one place still yields everything around the break.
#include "skin/SkinModel.h"

#include "base/TextCodec.h"
#include "skin/MediaPaths.h"
#include "skin/SkinReferences.h"
#include "skin/SkinScanText.h"
#include "skin/SkinVocabulary.h"
#include "skin/StringsFileScan.h"

#include <algorithm>
#include <cstring>

namespace skin {

using namespace scan;

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isConditionElement(std::string_view e) { return oneOf(e, {"visible", "enable", "selected", "usealttexture"}); }

// Nothing but digits once the $PARAM[...] parts are taken out.
bool digitsButParams(std::string_view v) {
    static constexpr std::string_view kParam = "$PARAM[";
    for (std::size_t k = 0; k < v.size(); ++k) {
        if (v.compare(k, kParam.size(), kParam) == 0) {
            const std::size_t close = v.find(']', k);
            if (close == std::string_view::npos) return false;
            k = close;
        } else if (!isDigit(v[k])) {
            return false;
        }
    }
    return true;
}

struct Attribute {
    std::string name;  // lower case
    Span value;
};

struct Element {
    std::string name;  // lower case
    std::size_t tag = 0;
    std::vector<Attribute> attributes;
    bool textSeen = false;
    Span text;                // the first run of text directly inside
    bool brokenText = false;  // a comment, CDATA section or child element after text
    bool hasChild = false;    // a child element
    std::size_t markup = MarkupElement::kNone;  // its index in the file's markup, when recorded
    // What the element is to the skin.
    enum class Is : unsigned char {
        Other,
        IncludesRoot,
        IncludeDefinition,
        IncludeCall,
        ParamDeclaration,
        ParamPass,
        NamedDefinition,  // variable, expression, constant
        FontsRoot,
        Fontset,
        FontEntry,
        ColoursRoot,
        ColourDefinition,
        Default,
    } is = Is::Other;
    std::string name2;  // IncludeDefinition, IncludeCall: the include; Fontset: its id
    Span nameSpan;      // the defining name attribute's value
    std::size_t definition = static_cast<std::size_t>(-1);  // index into the file's definitions
};

class Scanner {
public:
    Scanner(SkinFile& file, const std::vector<std::string>& imageElements)
        : f_(file), t_(file.text), images_(imageElements) {}

    void run();

private:
    Location locate(std::size_t begin, std::size_t end) const { return LocationIn(f_, begin, end); }
    std::string str(Span s) const { return std::string(t_.substr(s.begin, s.end - s.begin)); }
    void fail(std::size_t at, const char* what) {
        if (f_.problem.empty()) {
            f_.problem = "line " + std::to_string(locate(at, at).line) + ": " + what;
        }
    }

    const Attribute* attribute(const Element& e, std::string_view name) const {
        for (const Attribute& a : e.attributes) {
            if (a.name == name) return &a;
        }
        return nullptr;
    }
    Element* parent(std::size_t up = 1) { return stack_.size() > up ? &stack_[stack_.size() - 1 - up] : nullptr; }
    std::string context() const {
        for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
            if (it->is == Element::Is::IncludeDefinition) return it->name2;
        }
        return std::string();
    }

    void startTag(Element e, bool selfClosing, std::size_t tagEnd);
    void endTag(std::size_t at, std::size_t end, std::string_view name);
    void close(Element& e, std::size_t end);
    void text(Span s);
    void valueReferences(Span s, const std::string& element);
    void dollarReferences(Span s, const std::string& element);
    void addReference(SymbolKind kind, ReferenceForm form, Span s, const std::string& element, std::string scope = {});
    Definition& addDefinition(SymbolKind kind, std::size_t tag, Span name);
    void classify(Element& e);
    void record(Element& e);

    SkinFile& f_;
    std::string_view t_;
    const std::vector<std::string>& images_;
    std::vector<Element> stack_;
    std::string fontset_;
    Span fontName_;
    std::string fontFile_;
    std::string fontSize_;
};

void Scanner::addReference(SymbolKind kind, ReferenceForm form, Span s, const std::string& element, std::string scope) {
    SymbolReference r;
    r.kind = kind;
    r.form = form;
    r.name = str(s);
    r.scope = std::move(scope);
    r.context = context();
    r.element = element;
    r.at = locate(s.begin, s.end);
    f_.references.push_back(std::move(r));
}

Definition& Scanner::addDefinition(SymbolKind kind, std::size_t tag, Span name) {
    Definition d;
    d.kind = kind;
    d.name = str(name);
    d.at = locate(tag, tag + 1);
    d.nameAt = locate(name.begin, name.end);
    f_.definitions.push_back(std::move(d));
    return f_.definitions.back();
}

// $VAR[..], $ESCVAR[..], $EXP[..], $LOCALIZE[..], $PARAM[..] anywhere in a
// text or attribute value, nested ones too.
void Scanner::dollarReferences(Span s, const std::string& element) {
    static const struct {
        std::string_view word;
        SymbolKind kind;
    } kWords[] = {{"$VAR[", SymbolKind::Variable},
                  {"$ESCVAR[", SymbolKind::Variable},
                  {"$EXP[", SymbolKind::Expression},
                  {"$LOCALIZE[", SymbolKind::String},
                  {"$PARAM[", SymbolKind::Param}};
    for (std::size_t i = t_.find('$', s.begin); i < s.end; i = t_.find('$', i + 1)) {
        for (const auto& w : kWords) {
            if (t_.compare(i, w.word.size(), w.word) != 0 || i + w.word.size() > s.end) continue;
            const std::size_t open = i + w.word.size();
            // The name runs to the first comma at this level or the closing bracket.
            std::size_t end = open;
            int depth = 0;
            bool comma = false;
            for (; end < s.end; ++end) {
                const char c = t_[end];
                if (c == '[') ++depth;
                if (c == ']' && depth-- == 0) break;
                if (c == ',' && depth == 0 && w.kind != SymbolKind::String) {
                    comma = true;
                    break;
                }
            }
            (void)comma;
            const Span name = trimmed(t_, {open, end});
            if (name.begin == name.end) break;
            const std::string_view n = t_.substr(name.begin, name.end - name.begin);
            ReferenceForm form = n.find('$') != std::string_view::npos ? ReferenceForm::Dynamic : ReferenceForm::Name;
            if (w.kind == SymbolKind::String && form == ReferenceForm::Name &&
                !std::all_of(n.begin(), n.end(), isDigit)) {
                form = ReferenceForm::Dynamic;
            }
            addReference(w.kind, form, name, element, w.kind == SymbolKind::Param ? context() : std::string());
            break;
        }
    }
}

// The references a value makes by its element's or attribute's name.
void Scanner::valueReferences(Span raw, const std::string& element) {
    const Span s = trimmed(t_, raw);
    if (s.begin == s.end) return;
    const std::string_view v = t_.substr(s.begin, s.end - s.begin);
    const bool dynamic = v.find('$') != std::string_view::npos;
    const ReferenceForm nameOrDynamic = dynamic ? ReferenceForm::Dynamic : ReferenceForm::Name;
    if (std::find(images_.begin(), images_.end(), element) != images_.end()) {
        std::wstring wide = text::fromUtf8(v);
        if (dynamic || IsTexturePath(wide)) addReference(SymbolKind::Texture, nameOrDynamic, s, element);
    } else if (element == "font") {
        addReference(SymbolKind::Font, nameOrDynamic, s, element);
    } else if (isColourElement(element)) {
        ReferenceForm form = nameOrDynamic;
        const bool allHex = std::all_of(v.begin(), v.end(), isHex);
        if (!dynamic && (allHex && (v.size() == 8 || std::any_of(v.begin(), v.end(), isDigit)))) {
            form = ReferenceForm::Literal;
        } else if (!dynamic && v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
            form = ReferenceForm::Literal;
        }
        addReference(SymbolKind::Colour, form, s, element);
    } else if (isLabelElement(element) && std::all_of(v.begin(), v.end(), isDigit)) {
        addReference(SymbolKind::String, ReferenceForm::Name, s, element);
    } else if (isLabelElement(element) && v.find("$PARAM[") != std::string_view::npos && digitsButParams(v)) {
        // A parameter's value may be a string id: <label>$PARAM[label]</label>.
        addReference(SymbolKind::String, ReferenceForm::Dynamic, s, element);
    } else if (element == "value" && std::all_of(v.begin(), v.end(), isDigit)) {
        addReference(SymbolKind::String, ReferenceForm::Literal, s, element);
    }
}

void Scanner::classify(Element& e) {
    Element* up = parent(0);  // e is not on the stack yet: the top is its parent
    const Element::Is upIs = up ? up->is : Element::Is::Other;
    const Attribute* name = attribute(e, "name");
    if (!up && e.name == "includes") {
        e.is = Element::Is::IncludesRoot;
    } else if (!up && e.name == "fonts") {
        e.is = Element::Is::FontsRoot;
    } else if (!up && e.name == "colors") {
        e.is = Element::Is::ColoursRoot;
    } else if (upIs == Element::Is::IncludesRoot && e.name == "include" && name && !attribute(e, "file")) {
        // With a file attribute it pulls in that file, whatever its name says.
        e.is = Element::Is::IncludeDefinition;
        e.name2 = str(trimmed(t_, name->value));
        e.nameSpan = trimmed(t_, name->value);
    } else if (upIs == Element::Is::IncludesRoot && name && oneOf(e.name, {"variable", "expression", "constant"})) {
        e.is = Element::Is::NamedDefinition;
        e.nameSpan = trimmed(t_, name->value);
    } else if (upIs == Element::Is::IncludesRoot && e.name == "default") {
        e.is = Element::Is::Default;
    } else if (upIs == Element::Is::IncludeDefinition && e.name == "param" && name) {
        e.is = Element::Is::ParamDeclaration;
        e.nameSpan = trimmed(t_, name->value);
    } else if (upIs == Element::Is::IncludeCall && e.name == "param" && name) {
        e.is = Element::Is::ParamPass;
        e.nameSpan = trimmed(t_, name->value);
    } else if (e.name == "include" && !name && !attribute(e, "file")) {
        e.is = Element::Is::IncludeCall;
    } else if (upIs == Element::Is::FontsRoot && e.name == "fontset") {
        e.is = Element::Is::Fontset;
        const Attribute* id = attribute(e, "id");
        e.name2 = id ? str(trimmed(t_, id->value)) : std::string();
    } else if (upIs == Element::Is::Fontset && e.name == "font") {
        e.is = Element::Is::FontEntry;
    } else if (upIs == Element::Is::ColoursRoot && e.name == "color" && name) {
        e.is = Element::Is::ColourDefinition;
        e.nameSpan = trimmed(t_, name->value);
    }
}

void Scanner::startTag(Element e, bool selfClosing, std::size_t tagEnd) {
    classify(e);
    for (const Attribute& a : e.attributes) {
        dollarReferences(a.value, a.name);
        if (a.name == "condition") f_.conditions.push_back({a.value.begin, a.value.end});
        if (a.name == "colordiffuse") {
            valueReferences(a.value, "colordiffuse");
        } else if (isStringAttribute(e.name, a.name) && e.is == Element::Is::Other) {
            const Span v = trimmed(t_, a.value);
            const std::string_view id = t_.substr(v.begin, v.end - v.begin);
            if (!id.empty() && std::all_of(id.begin(), id.end(), isDigit)) {
                addReference(SymbolKind::String, ReferenceForm::Name, v, a.name);
            }
        } else if (isNumericAttribute(a.name) && e.is == Element::Is::Other) {
            // "0,-50" and the like: each part may be a constant.
            for (std::size_t b = a.value.begin; b <= a.value.end;) {
                std::size_t c = b;
                while (c < a.value.end && t_[c] != ',') ++c;
                const Span part = trimmed(t_, {b, c});
                const std::string_view p = t_.substr(part.begin, part.end - part.begin);
                if (p.find('$') != std::string_view::npos) {
                    addReference(SymbolKind::Constant, ReferenceForm::Dynamic, part, a.name);
                } else if (part.begin < part.end && (isNameStart(t_[part.begin]) && t_[part.begin] != ':') &&
                           p != "auto") {
                    addReference(SymbolKind::Constant, ReferenceForm::Name, part, a.name);
                }
                b = c + 1;
            }
        }
    }
    switch (e.is) {
    case Element::Is::IncludeDefinition:
        e.definition = f_.definitions.size();
        addDefinition(SymbolKind::Include, e.tag, e.nameSpan);
        break;
    case Element::Is::NamedDefinition:
        e.definition = f_.definitions.size();
        addDefinition(e.name == "variable"     ? SymbolKind::Variable
                      : e.name == "expression" ? SymbolKind::Expression
                                               : SymbolKind::Constant,
                      e.tag, e.nameSpan);
        break;
    case Element::Is::ParamDeclaration: {
        e.definition = f_.definitions.size();
        Definition& d = addDefinition(SymbolKind::Param, e.tag, e.nameSpan);
        d.scope = parent(0)->name2;
        if (const Attribute* def = attribute(e, "default")) {
            d.value = str(def->value);
            f_.paramValues.push_back(d.value);
        }
        break;
    }
    case Element::Is::ParamPass:
        addReference(SymbolKind::Param, ReferenceForm::Name, e.nameSpan, "param", parent(0)->name2);
        if (const Attribute* value = attribute(e, "value")) f_.paramValues.push_back(str(trimmed(t_, value->value)));
        break;
    case Element::Is::IncludeCall:
        if (const Attribute* content = attribute(e, "content")) {
            const Span s = trimmed(t_, content->value);
            e.name2 = str(s);
            if (s.begin < s.end) {
                addReference(SymbolKind::Include,
                             e.name2.find('$') != std::string::npos ? ReferenceForm::Dynamic : ReferenceForm::Name, s,
                             "include");
            }
        }
        break;
    case Element::Is::Fontset:
        fontset_ = e.name2;
        // The fontset's name as the settings show it: a string id.
        if (const Attribute* idloc = attribute(e, "idloc")) {
            const Span s = trimmed(t_, idloc->value);
            const std::string_view v = t_.substr(s.begin, s.end - s.begin);
            if (!v.empty() && std::all_of(v.begin(), v.end(), isDigit)) {
                addReference(SymbolKind::String, ReferenceForm::Name, s, "idloc");
            }
        }
        break;
    case Element::Is::ColourDefinition: {
        e.definition = f_.definitions.size();
        Definition& d = addDefinition(SymbolKind::Colour, e.tag, e.nameSpan);
        d.group = f_.group;
        d.primary = f_.group == "defaults";
        break;
    }
    default:
        break;
    }
    if (e.name == "control" && e.is == Element::Is::Other) {
        const Attribute* id = attribute(e, "id");
        const bool inItemLayout = std::any_of(stack_.begin(), stack_.end(), [](const Element& up) {
            return up.name == "itemlayout" || up.name == "focusedlayout";
        });
        if (id && !inItemLayout) {
            const Span s = trimmed(t_, id->value);
            f_.controlIds.push_back({str(s), {s.begin, s.end}});
        }
    }
    if (!stack_.empty() && stack_.back().textSeen) stack_.back().brokenText = true;
    if (!stack_.empty()) stack_.back().hasChild = true;
    record(e);
    if (e.name == "include") {
        if (const Attribute* file = attribute(e, "file")) {
            const Span s = trimmed(t_, file->value);
            if (s.begin < s.end) {
                addReference(SymbolKind::IncludeFile, ReferenceForm::Name, s, "include");
                if (parent(0) && parent(0)->is == Element::Is::IncludesRoot) f_.includedFiles.push_back(str(s));
            }
        }
    }
    stack_.push_back(std::move(e));
    if (selfClosing) {
        close(stack_.back(), tagEnd);
        stack_.pop_back();
    }
}

void Scanner::text(Span s) {
    if (stack_.empty()) return;
    Element& e = stack_.back();
    dollarReferences(s, e.name);
    if (trimmed(t_, s).begin == trimmed(t_, s).end) return;
    if (e.textSeen) {
        e.brokenText = true;
        return;
    }
    e.textSeen = true;
    e.text = s;
    if (e.is == Element::Is::ParamPass || e.is == Element::Is::ParamDeclaration) {
        f_.paramValues.push_back(str(trimmed(t_, s)));
    }
    const Element* up = parent();
    const Element::Is upIs = up ? up->is : Element::Is::Other;
    if (e.is == Element::Is::IncludeCall && e.name2.empty()) {
        const Span n = trimmed(t_, s);
        e.name2 = str(n);
        addReference(SymbolKind::Include,
                     e.name2.find('$') != std::string::npos ? ReferenceForm::Dynamic : ReferenceForm::Name, n,
                     "include");
    } else if (upIs == Element::Is::FontEntry) {
        return;  // name, filename, size: read when the font closes
    } else if (e.is == Element::Is::Other && isNumericElement(e.name)) {
        const Span n = trimmed(t_, s);
        const std::string_view v = t_.substr(n.begin, n.end - n.begin);
        if (v.find('$') != std::string_view::npos) {
            addReference(SymbolKind::Constant, ReferenceForm::Dynamic, n, e.name);
        } else if (isNameStart(v[0]) && v != "auto") {
            addReference(SymbolKind::Constant, ReferenceForm::Name, n, e.name);
        }
    } else if (e.is == Element::Is::Other || e.is == Element::Is::Default) {
        valueReferences(s, e.name);
    }
}

// Controls, their children and animations, for the vocabulary's rules.
void Scanner::record(Element& e) {
    const Element* up = parent(0);
    const bool inMarkup = up && up->markup != MarkupElement::kNone;
    const bool control = e.name == "control" && e.is == Element::Is::Other;
    const bool child = inMarkup && (up->name == "control" || up->name == "animation");
    if (!control && !child && e.name != "animation") return;
    e.markup = f_.markup.size();
    MarkupElement m;
    m.name = e.name;
    m.tag = e.tag;
    m.control = control;
    if (child) m.parent = up->markup;
    m.attributes.reserve(e.attributes.size());
    for (const Attribute& a : e.attributes) m.attributes.emplace_back(a.name, TextRange{a.value.begin, a.value.end});
    f_.markup.push_back(std::move(m));
}

// The first lines of a definition's text, for hovers.
std::string firstLines(std::string_view t, std::size_t begin, std::size_t end) {
    constexpr int kLines = 6;
    constexpr std::size_t kBytes = 400;
    std::size_t stop = begin;
    int lines = 0;
    while (stop < end && stop - begin < kBytes) {
        if (t[stop] == '\n' && ++lines == kLines) break;
        ++stop;
    }
    std::string out(t.substr(begin, stop - begin));
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    if (stop < end) out += "\n...";
    return out;
}

void Scanner::close(Element& e, std::size_t end) {
    if (e.markup < f_.markup.size() && e.textSeen && !e.brokenText && !e.hasChild) {
        MarkupElement& m = f_.markup[e.markup];
        const Span s = trimmed(t_, e.text);
        m.plainText = true;
        m.text = {s.begin, s.end};
    }
    const bool expression = e.is == Element::Is::NamedDefinition && e.name == "expression";
    if ((expression || (e.is == Element::Is::Other && isConditionElement(e.name))) && !e.brokenText) {
        const Span c = e.textSeen ? trimmed(t_, e.text) : Span{e.tag, e.tag};
        f_.conditions.push_back({c.begin, c.end});
    }
    switch (e.is) {
    case Element::Is::IncludeDefinition:
    case Element::Is::NamedDefinition:
        if (e.definition < f_.definitions.size()) {
            Definition& d = f_.definitions[e.definition];
            if (d.kind == SymbolKind::Constant) {
                d.value = e.textSeen ? str(trimmed(t_, e.text)) : std::string();
            } else if (d.kind == SymbolKind::Expression) {
                d.value = e.textSeen ? str(trimmed(t_, e.text)) : std::string();
            } else {
                d.value = firstLines(t_, e.tag, end);
            }
        }
        break;
    case Element::Is::ParamDeclaration:
        if (e.definition < f_.definitions.size() && !attribute(e, "default") && e.textSeen) {
            f_.definitions[e.definition].value = str(trimmed(t_, e.text));
        }
        break;
    case Element::Is::ColourDefinition:
        if (e.definition < f_.definitions.size() && e.textSeen) {
            f_.definitions[e.definition].value = str(trimmed(t_, e.text));
        }
        break;
    default:
        break;
    }
    Element* up = parent(1);  // `e` is the top of the stack
    if (up && up->is == Element::Is::FontEntry) {
        if (e.name == "name" && e.textSeen) fontName_ = trimmed(t_, e.text);
        if (e.name == "filename" && e.textSeen) fontFile_ = str(trimmed(t_, e.text));
        if (e.name == "size" && e.textSeen) fontSize_ = str(trimmed(t_, e.text));
    }
    if (e.is == Element::Is::FontEntry) {
        if (fontName_.end > fontName_.begin) {
            Definition& d = addDefinition(SymbolKind::Font, e.tag, fontName_);
            d.group = fontset_;
            d.value = fontFile_ + (fontSize_.empty() ? std::string() : ", size " + fontSize_);
        }
        fontName_ = Span{};
        fontFile_.clear();
        fontSize_.clear();
    }
}

void Scanner::endTag(std::size_t at, std::size_t end, std::string_view name) {
    const std::string n = lower(name);
    for (std::size_t k = stack_.size(); k-- > 0;) {
        if (stack_[k].name == n) {
            if (k + 1 != stack_.size()) fail(at, "an element is not closed");
            while (stack_.size() > k) {
                close(stack_.back(), end);
                stack_.pop_back();
            }
            return;
        }
    }
    // Most often a misspelt end of the open element: taken as its end.
    fail(at, "an end tag without its start tag");
    if (!stack_.empty()) {
        close(stack_.back(), end);
        stack_.pop_back();
    }
}

void Scanner::run() {
    const std::size_t n = t_.size();
    std::size_t i = 0;
    while (i < n) {
        if (t_[i] != '<') {
            const std::size_t next = std::min(t_.find('<', i), n);
            text({i, next});
            i = next;
            continue;
        }
        if (t_.compare(i, 4, "<!--") == 0) {
            const std::size_t close = t_.find("-->", i + 4);
            if (close == std::string_view::npos) {
                fail(i, "a comment is not closed");
                return;
            }
            i = close + 3;
            continue;
        }
        if (t_.compare(i, 9, "<![CDATA[") == 0) {
            std::size_t close = t_.find("]]>", i + 9);
            if (close == std::string_view::npos) {
                fail(i, "a CDATA section is not closed");
                close = n;
            }
            text({i + 9, close});
            i = std::min(close + 3, n);
            continue;
        }
        if (i + 1 < n && (t_[i + 1] == '?' || t_[i + 1] == '!')) {
            const std::size_t close = t_.find('>', i + 2);
            i = close == std::string_view::npos ? n : close + 1;
            continue;
        }
        if (i + 1 < n && t_[i + 1] == '/') {
            std::size_t j = i + 2;
            while (j < n && isNameChar(t_[j])) ++j;
            const std::string_view name = t_.substr(i + 2, j - i - 2);
            const std::size_t close = t_.find('>', j);
            const std::size_t end = close == std::string_view::npos ? n : close + 1;
            endTag(i, end, name);
            i = end;
            continue;
        }
        if (i + 1 >= n || !isNameStart(t_[i + 1])) {
            fail(i, "a stray '<'");
            ++i;
            continue;
        }
        Element e;
        e.tag = i;
        std::size_t j = i + 1;
        while (j < n && isNameChar(t_[j])) ++j;
        e.name = lower(t_.substr(i + 1, j - i - 1));
        bool selfClosing = false;
        bool complete = false;
        while (j < n) {
            while (j < n && isBlank(t_[j])) ++j;
            if (j >= n || t_[j] == '<') break;
            if (t_[j] == '>') {
                complete = true;
                ++j;
                break;
            }
            if (t_[j] == '/' && j + 1 < n && t_[j + 1] == '>') {
                complete = selfClosing = true;
                j += 2;
                break;
            }
            if (!isNameStart(t_[j])) {
                ++j;
                continue;
            }
            const std::size_t nameStart = j;
            while (j < n && isNameChar(t_[j])) ++j;
            Attribute a;
            a.name = lower(t_.substr(nameStart, j - nameStart));
            while (j < n && isBlank(t_[j])) ++j;
            if (j >= n || t_[j] != '=') continue;
            ++j;
            while (j < n && isBlank(t_[j])) ++j;
            if (j >= n || (t_[j] != '"' && t_[j] != '\'')) continue;
            const std::size_t quote = t_.find(t_[j], j + 1);
            if (quote == std::string_view::npos) {
                j = n;
                break;
            }
            a.value = {j + 1, quote};
            e.attributes.push_back(std::move(a));
            j = quote + 1;
        }
        if (!complete) {
            fail(i, "a start tag is not closed");
            selfClosing = true;  // keep its attributes; nothing is inside it
        }
        startTag(std::move(e), selfClosing, j);
        i = j;
    }
    if (!stack_.empty()) {
        fail(stack_.back().tag, "an element is not closed");
        while (!stack_.empty()) {
            close(stack_.back(), n);
            stack_.pop_back();
        }
    }
}

void fillLineStarts(SkinFile& f) {
    f.lineStarts.assign(1, 0);
    const std::string& t = f.text;
    for (std::size_t k = 0; k < t.size(); ++k) {
        if (t[k] == '\n' || (t[k] == '\r' && (k + 1 >= t.size() || t[k + 1] != '\n'))) f.lineStarts.push_back(k + 1);
    }
}

}  // namespace

void ScanSkinFile(SkinFile& file, const std::vector<std::string>& imageElements) {
    file.definitions.clear();
    file.references.clear();
    file.includedFiles.clear();
    file.markup.clear();
    file.problem.clear();
    if (file.role == FileRole::Strings || file.role == FileRole::CoreStrings) {
        utf16ToUtf8(file.text);
        fillLineStarts(file);
        scanStringsFile(file);
        return;
    }
    fillLineStarts(file);
    Scanner(file, imageElements).run();
    if (file.role == FileRole::Fonts) {
        // References resolve in the fontset named Default, else in the first.
        std::string chosen;
        for (const Definition& d : file.definitions) {
            if (d.kind == SymbolKind::Font && lower(d.group) == "default") chosen = d.group;
        }
        if (chosen.empty()) {
            for (const Definition& d : file.definitions) {
                if (d.kind == SymbolKind::Font) {
                    chosen = d.group;
                    break;
                }
            }
        }
        for (Definition& d : file.definitions) {
            if (d.kind == SymbolKind::Font) d.primary = d.group == chosen;
        }
    }
}

}  // namespace skin
