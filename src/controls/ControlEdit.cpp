#include "controls/ControlEdit.h"

#include "base/TextCodec.h"

#include <tinyxml.h>

#include <vector>

namespace controls {

std::wstring typeOf(const TiXmlElement& control, unsigned codePage) {
    const char* type = control.Attribute("type");
    return text::fromCodePage(type ? type : "", codePage);
}

RowEdit planRowEdit(const BlockText& block, const TiXmlElement& control, unsigned codePage,
                    const std::wstring& tag, const std::wstring& value) {
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
        if (result.edit.kind == BlockEdit::Kind::None) {
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
    if (result.edit.kind == BlockEdit::Kind::None) {
        result.problem = L"\"" + tag + L"\" could not be placed in this control's text; it was not written.";
    }
    return result;
}

}  // namespace controls
