#include "render/WindowSource.h"

#include <tinyxml.h>

#include <algorithm>

namespace render {

const Node* Node::child(std::string_view childName) const {
    for (const Node& c : children) {
        if (c.name == childName) return &c;
    }
    return nullptr;
}

std::string_view Node::childText(std::string_view childName) const {
    const Node* c = child(childName);
    return c ? std::string_view(c->text) : std::string_view();
}

std::string_view Node::attribute(std::string_view attributeName) const {
    for (const auto& [name, value] : attributes) {
        if (name == attributeName) return value;
    }
    return {};
}

bool Node::hasAttribute(std::string_view attributeName) const {
    return std::any_of(attributes.begin(), attributes.end(),
                       [&](const auto& a) { return a.first == attributeName; });
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

namespace {

// How deep the elements of the text nest, told from its tags alone (the XML
// parser recurses once per level, so a hostile file is refused before it).
int nestingDepth(std::string_view t) {
    int depth = 0;
    int deepest = 0;
    const auto skipTo = [&](std::size_t from, std::string_view end) {
        const std::size_t at = t.find(end, from);
        return at == std::string_view::npos ? t.size() : at + end.size();
    };
    for (std::size_t i = 0; i < t.size();) {
        if (t[i] != '<') {
            ++i;
        } else if (t.compare(i, 4, "<!--") == 0) {
            i = skipTo(i + 4, "-->");
        } else if (t.compare(i, 9, "<![CDATA[") == 0) {
            i = skipTo(i + 9, "]]>");
        } else if (t.compare(i, 2, "<?") == 0 || t.compare(i, 2, "<!") == 0) {
            i = skipTo(i + 2, ">");
        } else if (t.compare(i, 2, "</") == 0) {
            --depth;
            i = skipTo(i + 2, ">");
        } else {
            const std::size_t end = skipTo(i + 1, ">");
            if (!(end >= 2 && t[end - 2] == '/')) deepest = std::max(deepest, ++depth);
            i = end;
        }
    }
    return deepest;
}

void copyElement(const TiXmlElement& from, std::uint32_t file, Node& to, std::size_t& budget) {
    to.name = lowered(from.ValueStr());
    to.line = static_cast<std::uint32_t>(std::max(from.Row(), 0));
    to.file = file;
    for (const TiXmlAttribute* a = from.FirstAttribute(); a; a = a->Next()) {
        to.attributes.emplace_back(lowered(a->NameTStr()), a->ValueStr());
    }
    std::string text;
    for (const TiXmlNode* n = from.FirstChild(); n; n = n->NextSibling()) {
        if (const TiXmlText* t = n->ToText()) {
            text += t->ValueStr();
        } else if (const TiXmlElement* e = n->ToElement()) {
            if (budget == 0) break;
            --budget;
            to.children.emplace_back();
            copyElement(*e, file, to.children.back(), budget);
        }
    }
    to.text = std::string(trimmed(text));
}

}  // namespace

bool ReadWindowText(std::string_view text, std::uint32_t file, Node& out, std::string& reason) {
    if (nestingDepth(text) > kDeepestElement) {
        reason = "elements nested more than " + std::to_string(kDeepestElement) + " deep";
        return false;
    }
    TiXmlDocument document;
    const std::string copy(text);  // the parser reads up to a zero byte
    document.Parse(copy.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error()) {
        reason = std::string("not well-formed XML (line ") + std::to_string(document.ErrorRow()) + "): " +
                 document.ErrorDesc();
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    if (!root || lowered(root->ValueStr()) != "window") {
        reason = "no <window> element";
        return false;
    }
    std::size_t budget = kMostElements;
    out = Node{};
    copyElement(*root, file, out, budget);
    return true;
}

}  // namespace render
