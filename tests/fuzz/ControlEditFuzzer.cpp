// libFuzzer target over the controls panel's way into the document: any text,
// a caret line and a row edit go through the search for the control under the
// caret, the rows its type gets and the plan of the edit. Whatever the text,
// nothing crashes, and an edit that is made changes only the edited element
// (or adds its one new element), as a parse of the control before and after
// confirms; an element holding elements is never replaced by a row's text.
//
// Input: two bytes of caret line, one byte choosing the row (among every tag
// of every type the panel lists, then the control's own children, the rows of
// a type nothing knows), one byte of value length, that many bytes of value,
// then the document.
#include "controls/ControlBlock.h"
#include "controls/ControlCatalogue.h"
#include "controls/ControlEdit.h"
#include "base/TextCodec.h"
#include "unit/controls/ControlBlockTestDocument.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "control edit: %s\n%s\n", what, detail.c_str());
    std::abort();
}

std::string printed(const TiXmlNode& node) {
    TiXmlPrinter printer;
    node.Accept(&printer);
    return printer.Str();
}

// A child as it compares before and after an edit: text next to where a new
// line went in gains or loses blanks at its ends, and nothing else.
std::string compared(const TiXmlNode& node) {
    if (node.Type() != TiXmlNode::TINYXML_TEXT) return printed(node);
    std::string value = node.ValueStr();
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!value.empty() && blank(value.back())) value.pop_back();
    std::size_t first = 0;
    while (first < value.size() && blank(value[first])) ++first;
    return "text:" + value.substr(first);
}

// One element named `name` and blanks around it, nothing else.
bool isOneElement(const std::string& text, const std::string& name) {
    TiXmlDocument doc;
    doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* only = doc.RootElement();
    return !doc.Error() && only != nullptr && only->ValueStr() == name && only->NextSibling() == nullptr &&
           only->PreviousSibling() == nullptr;
}

// The control element of a text, parsed as the panel parses it; null when it does not parse.
const TiXmlElement* parseControl(const std::string& element, TiXmlDocument& xml) {
    if (!controls::nestingWithin(element)) return nullptr;
    xml.Parse(element.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (xml.Error()) return nullptr;
    return xml.FirstChildElement("control");
}

// Every tag of every type's rows: the older ones, today's and the legacy aliases.
const std::vector<std::wstring>& rowTags() {
    static const std::vector<std::wstring> tags = [] {
        std::set<std::wstring> all;
        for (const ControlTemplate& t : ControlCatalogue().templates()) {
            for (const auto& entry : t) all.insert(entry.first);
        }
        return std::vector<std::wstring>(all.begin(), all.end());
    }();
    return tags;
}

// The row a byte chooses: a tag of the list, or one of the control's own children.
std::wstring chosenTag(std::uint8_t choice, const TiXmlElement& control) {
    std::vector<std::wstring> tags = rowTags();
    for (const TiXmlElement* child = control.FirstChildElement(); child; child = child->NextSiblingElement()) {
        tags.push_back(text::fromUtf8(child->ValueStr()));
    }
    // Odd choices pick one of the children (when there are any), even ones a tag of the list.
    const std::size_t children = tags.size() - rowTags().size();
    if (children > 0 && choice % 2 == 1) return tags[rowTags().size() + (choice / 2) % children];
    return tags[(choice / 2) % rowTags().size()];
}

// Values as typed: letters, digits and the characters XML must escape; no
// blanks (the parser folds them, which would blur the read-back).
std::wstring valueFrom(const std::uint8_t* data, std::size_t size) {
    static const wchar_t alphabet[] = L"aZ09.&<>\"'/-_\u00E9\u6771";
    std::wstring value;
    for (std::size_t i = 0; i < size; ++i)
        value.push_back(alphabet[data[i] % (sizeof(alphabet) / sizeof(wchar_t) - 1)]);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const controls::Position caretLine = data[0] | (data[1] << 8);
    const std::size_t valueSize = std::min<std::size_t>(data[3] % 16, size - 4);
    const std::wstring value = valueFrom(data + 4, valueSize);
    const std::string text(reinterpret_cast<const char*>(data) + 4 + valueSize, size - 4 - valueSize);

    controls::fakes::TextDocument doc(text);
    const controls::ControlBlock block =
        controls::findControl(doc, caretLine % std::max<controls::Position>(1, doc.lineCount()));
    if (!block.found()) return 0;
    const controls::BlockText found = controls::readBlock(doc, block);
    const std::string element(found.element());
    if (element.size() < 3 || element.front() != '<' || element.back() != '>') fail("not an element", element);

    TiXmlDocument before;
    const TiXmlElement* control = parseControl(element, before);
    if (control == nullptr) return 0;
    const std::wstring tag = chosenTag(data[2], *control);
    // The rows read back into the catalogue as the panel reads them.
    ControlCatalogue catalogue;
    std::vector<TagValue> children;
    for (const TiXmlElement* child = control->FirstChildElement(); child; child = child->NextSiblingElement()) {
        children.emplace_back(text::fromUtf8(child->ValueStr()), std::wstring());
    }
    const char* type = control->Attribute("type");
    catalogue.load(text::fromUtf8(type != nullptr ? type : ""), children);
    for (const TagValue& row : catalogue.rowsOf(catalogue.currentType())) {
        if (row.first.empty()) fail("a row without a tag", element);
    }
    controls::RowEdit row = controls::planRowEdit(found, *control, text::kCodePageUtf8, tag, value);
    controls::BlockEdit& edit = row.edit;
    const TiXmlElement* existing = control->FirstChildElement(text::toUtf8(tag));
    if (tag != L"type" && existing != nullptr && existing->FirstChildElement() != nullptr &&
        edit.kind != controls::BlockEdit::Kind::None) {
        fail("an element holding elements replaced by a row's text", element);
    }
    if (edit.kind == controls::BlockEdit::Kind::None) return 0;
    if (!row.problem.empty()) fail("a plan with a problem", element);
    if (edit.from > edit.to || edit.to > element.size()) fail("an edit outside the element", element);
    controls::setInsertIndentation(edit, 4);

    // The edit as the panel makes it: only these bytes of the document change.
    const std::string replaced = element.substr(edit.from, edit.to - edit.from);
    const std::string after = element.substr(0, edit.from) + edit.text + element.substr(edit.to);
    const std::string tagBytes = text::toUtf8(tag);
    const std::string valueBytes = text::toUtf8(value);

    TiXmlDocument edited;
    const TiXmlElement* result = parseControl(after, edited);
    if (result == nullptr) fail("the edited control does not parse", after);

    const TiXmlElement* oldChild = nullptr;
    const TiXmlElement* newChild = nullptr;
    if (tag == L"type") {
        // Inside the start tag, nothing but the attribute's value.
        std::size_t startEnd = 0;
        for (char quote = 0; startEnd < element.size(); ++startEnd) {
            const char c = element[startEnd];
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        // Between the two quotes of one value, holding neither that quote nor '<'.
        const char quote = edit.from > 0 ? element[edit.from - 1] : 0;
        if (edit.to >= startEnd || (quote != '"' && quote != '\'') || element[edit.to] != quote ||
            replaced.find_first_of(std::string(1, quote) + "<") != std::string::npos) {
            fail("a type edit beyond the attribute's value", element);
        }
        const char* type = result->Attribute("type");
        if (type == nullptr || valueBytes != type) fail("the type does not read back", after);
    } else {
        // The replaced bytes: the element edited (one element named as the
        // row), the "/>" of a self-closing control, or nothing.
        if (!replaced.empty() && replaced != "/>" && !isOneElement(replaced, tagBytes)) {
            fail("replaced more than the edited element", replaced + "\n--- in ---\n" + element);
        }
        // What goes in: the element, or a new line of it (with the end tag's
        // own new line when it had none, and the end tag of an opened control).
        const std::string added = replaced == "/>" ? edit.text.substr(1, edit.text.rfind('<') - 1) : edit.text;
        if (!isOneElement(added, tagBytes)) fail("put in more than the edited element", edit.text);
        // Read back: the first child of that name holds the value.
        oldChild = control->FirstChildElement(tagBytes);
        newChild = result->FirstChildElement(tagBytes);
        if (newChild == nullptr) fail("the edited element is missing", after);
        const char* got = newChild->GetText();
        if (valueBytes != (got != nullptr ? got : "")) fail("the value does not read back", after);
    }

    // Everything else of the control is as it was.
    std::vector<std::string> others;
    for (const TiXmlNode* n = control->FirstChild(); n != nullptr; n = n->NextSibling()) {
        if (n != oldChild) others.push_back(compared(*n));
    }
    std::vector<std::string> othersAfter;
    for (const TiXmlNode* n = result->FirstChild(); n != nullptr; n = n->NextSibling()) {
        if (n != newChild) othersAfter.push_back(compared(*n));
    }
    if (others != othersAfter) {
        std::string both;
        for (const std::string& o : others) both += "[" + o + "]";
        both += "\n--- became ---\n";
        for (const std::string& o : othersAfter) both += "[" + o + "]";
        fail("other children changed", element + "\n--- became ---\n" + after + "\n" + both);
    }
    TiXmlElement bareBefore(*control);
    TiXmlElement bareAfter(*result);
    bareBefore.Clear();
    bareAfter.Clear();
    if (tag == L"type") {
        bareBefore.RemoveAttribute("type");
        bareAfter.RemoveAttribute("type");
    }
    if (printed(bareBefore) != printed(bareAfter))
        fail("the control's attributes changed", element + "\n--- became ---\n" + after);
    return 0;
}
