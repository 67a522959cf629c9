#include "controls/ControlEdit.h"

#include "base/TextCodec.h"

#include <tinyxml.h>

#include <vector>

namespace controls {

namespace {

TiXmlEncoding encodingFor(unsigned codePage) {
    return codePage == text::kCodePageUtf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
}

// A text as the parser gives it back: runs of blanks made one, none at the ends.
std::string condensed(const std::string& value) {
    if (!TiXmlBase::IsWhiteSpaceCondensed()) return value;
    std::string out;
    bool blank = false;
    for (char c : value) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = !out.empty();
        } else {
            if (blank) out.push_back(' ');
            blank = false;
            out.push_back(c);
        }
    }
    return out;
}

// Line ends as one: a file read by the parser has its CR LF and CR made LF,
// a text parsed in memory keeps them.
std::string oneLineEnd(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// A child as the parser sees it: printed, text with its end blanks dropped
// (a new line beside it adds some).
std::string seen(const TiXmlNode& node) {
    if (node.Type() == TiXmlNode::TINYXML_TEXT) return "text:" + condensed(oneLineEnd(node.ValueStr()));
    TiXmlPrinter printer;
    node.Accept(&printer);
    return oneLineEnd(printer.Str());
}

// Every child but `skip`, and the control's attributes but `skipAttribute`.
std::vector<std::string> rest(const TiXmlElement& control, const TiXmlNode* skip, const char* skipAttribute) {
    std::vector<std::string> out;
    for (const TiXmlNode* node = control.FirstChild(); node; node = node->NextSibling()) {
        if (node != skip) out.push_back(seen(*node));
    }
    for (const TiXmlAttribute* a = control.FirstAttribute(); a; a = a->Next()) {
        if (skipAttribute == nullptr || a->NameTStr() != skipAttribute)
            out.push_back(oneLineEnd(a->NameTStr() + "=" + a->ValueStr()));
    }
    return out;
}

// The edit, made in memory, reads back as intended: the parser still sees the
// control, with the value where it was meant to go and everything else as it
// was. Where the text's own scan and the parser disagree about the control
// (bytes that are no valid characters can make them), it does not.
bool readsBack(const BlockText& block, const BlockEdit& edit, const TiXmlElement& before, unsigned codePage,
               const std::string& tag, const std::string& value) {
    const std::string_view element = block.element();
    std::string after(element.substr(0, edit.from));
    after += edit.text;
    after += element.substr(edit.to);
    if (!nestingWithin(after)) return false;
    TiXmlDocument xml;
    xml.Parse(after.c_str(), nullptr, encodingFor(codePage));
    const TiXmlElement* control = xml.Error() ? nullptr : xml.FirstChildElement("control");
    if (control == nullptr) return false;
    if (tag == "type") {
        const char* type = control->Attribute("type");
        return type != nullptr && type == value && rest(*control, nullptr, "type") == rest(before, nullptr, "type");
    }
    const TiXmlElement* child = control->FirstChildElement(tag);
    if (child == nullptr || rest(*control, child, nullptr) != rest(before, before.FirstChildElement(tag), nullptr)) {
        return false;
    }
    const char* text = child->GetText();
    return condensed(text != nullptr ? text : "") == condensed(value);
}

}  // namespace

std::wstring typeOf(const TiXmlElement& control, unsigned codePage) {
    const char* type = control.Attribute("type");
    return text::fromCodePage(type ? type : "", codePage);
}

RowEdit planRowEdit(const BlockText& block, const TiXmlElement& control, unsigned codePage, const std::wstring& tag,
                    const std::wstring& value) {
    RowEdit result;
    // A value the document's code page cannot hold would reach the file as
    // question marks.
    if (!text::representable(tag, codePage) || !text::representable(value, codePage)) {
        result.problem = L"The document's encoding cannot hold this value; it was not written.";
        return result;
    }
    const std::string tagBytes = text::toCodePage(tag, codePage);
    const std::string valueBytes = text::toCodePage(value, codePage);

    if (tag == L"type") {
        result.edit = planTypeEdit(block.element(), valueBytes);
        if (result.edit.kind == BlockEdit::Kind::None ||
            !readsBack(block, result.edit, control, codePage, "type", valueBytes)) {
            result.edit = BlockEdit{};
            result.problem = L"This control's type attribute could not be found; the type was not written.";
        }
        return result;
    }

    std::vector<std::string> children;
    for (const TiXmlElement* child = control.FirstChildElement(); child; child = child->NextSiblingElement()) {
        children.push_back(child->ValueStr());
    }
    const TiXmlElement* existing = control.FirstChildElement(tagBytes);
    // A row holds text: writing it would drop the elements such an element holds.
    if (existing != nullptr && existing->FirstChildElement() != nullptr) {
        result.problem = L"\"" + tag + L"\" holds elements of its own; it was not written.";
        return result;
    }
    // Attributes of an existing element stay; its content becomes the value.
    TiXmlElement element = existing ? *existing : TiXmlElement(tagBytes);
    element.Clear();
    element.InsertEndChild(TiXmlText(valueBytes));
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak("");
    element.Accept(&printer);

    const BlockStyle style{block.indent, block.lineEnd};
    result.edit = planTagEdit(block.element(), children, tagBytes, printer.Str(), style);
    if (result.edit.kind != BlockEdit::Kind::None &&
        !readsBack(block, result.edit, control, codePage, tagBytes, valueBytes)) {
        result.edit = BlockEdit{};
    }
    if (result.edit.kind == BlockEdit::Kind::None) {
        result.problem = L"\"" + tag + L"\" could not be placed in this control's text; it was not written.";
    }
    return result;
}

}  // namespace controls
