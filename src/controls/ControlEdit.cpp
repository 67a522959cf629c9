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

int elementChildren(const TiXmlElement& control) {
    int n = 0;
    for (const TiXmlElement* child = control.FirstChildElement(); child; child = child->NextSiblingElement()) ++n;
    return n;
}

// The edit, made in memory, reads back as intended: the parser still sees the
// control, with the value where it was meant to go and no child lost. Where
// the text's own scan and the parser disagree about where the control ends
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
        return type != nullptr && type == value && elementChildren(*control) == elementChildren(before);
    }
    const TiXmlElement* child = control->FirstChildElement(tag);
    const bool added = before.FirstChildElement(tag) == nullptr;
    if (child == nullptr || elementChildren(*control) != elementChildren(before) + (added ? 1 : 0)) return false;
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
