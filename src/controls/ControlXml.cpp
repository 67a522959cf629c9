#include "controls/ControlXml.h"

#include <map>

#include <tinyxml.h>

#include "controls/ControlCatalogue.h"
#include "base/TextCodec.h"

namespace controls {

std::wstring controlXml(const std::vector<TagValue>& rows) {
    if (rows.empty()) return {};

    std::map<std::wstring, std::wstring> pairs;
    for (const auto& [tag, value] : rows) {
        if (!value.empty()) pairs[tag] = value;
    }

    TiXmlElement control("control");
    const auto type = pairs.find(L"type");
    control.SetAttribute("type", text::toUtf8(type == pairs.end() ? std::wstring() : type->second));
    for (const auto& [tag, value] : pairs) {
        if (equalsIgnoringAsciiCase(tag, L"type")) continue;
        TiXmlElement child(text::toUtf8(tag));
        child.InsertEndChild(TiXmlText(text::toUtf8(value)));
        control.InsertEndChild(child);
    }

    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak("\n");
    control.Accept(&printer);
    return text::fromUtf8(printer.Str());
}

}  // namespace controls
