#include "controls/ControlCatalogue.h"

namespace controls {

namespace {
wchar_t foldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
}  // namespace

bool equalsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

}  // namespace controls

namespace {

const wchar_t* const kTypeTag = L"type";

struct TypeRow {
    const wchar_t* name;
    std::vector<std::wstring> ownTags;
};

// The skin language's control types in the order the type list shows them.
// "slider" is listed twice on purpose: the list has always offered it twice,
// and both entries lead to the same rows.
const std::vector<TypeRow>& typeTable() {
    static const std::vector<TypeRow> table = {
        {L"label",
         {L"align", L"aligny", L"scroll", L"label", L"info", L"number", L"angle", L"haspath", L"font", L"textcolor",
          L"shadowcolor", L"wrapmultiline", L"scrollspeed", L"scrollsuffix"}},
        {L"fadelabel", {L"scroll", L"scrollout", L"pauseatend", L"label", L"font", L"textcolor", L"textoffsetx"}},
        {L"button",
         {L"texturefocus", L"texturenofocus", L"label", L"font", L"textcolor", L"disabledcolor", L"align", L"aligny",
          L"textoffsetx", L"textoffsety", L"onclick", L"onfocus"}},
        {L"multiselect",
         {L"texturefocus", L"texturenofocus", L"label", L"font", L"textcolor", L"disabledcolor", L"aligny",
          L"textoffsetx", L"textoffsety"}},
        {L"image", {L"fadetime", L"bordersize", L"info", L"aspectratio", L"texture", L"bordertexture"}},
        {L"multiimage",
         {L"imagepath", L"info", L"timeperimage", L"fadetime", L"pauseatend", L"randomize", L"aspectratio"}},
        {L"radiobutton",
         {L"texturefocus", L"texturenofocus", L"textureradioon", L"textureradiooff", L"selected", L"onclick", L"label",
          L"font", L"textcolor", L"disabledcolor", L"align", L"aligny", L"textoffsetx", L"textoffsety"}},
        // The vertical alignment tag of this type is spelt "alignY" by the skin engine.
        {L"selectbutton",
         {L"texturefocus", L"texturenofocus", L"texturebg", L"textureleft", L"textureleftfocus", L"textureright",
          L"texturerightfocus", L"label", L"font", L"textcolor", L"disabledcolor", L"align", L"alignY", L"textoffsetx",
          L"textoffsety"}},
        {L"togglebutton",
         {L"texturefocus", L"texturenofocus", L"alttexturefocus", L"alttexturenofocus", L"usealttexture", L"label",
          L"altlabel", L"font", L"textcolor", L"disabledcolor", L"align", L"aligny", L"textoffsetx", L"textoffsety",
          L"onclick", L"onfocus"}},
        {L"buttonscrollers",
         {L"texturefocus", L"texturenofocus", L"font", L"textcolor", L"align", L"aligny", L"textoffsetx",
          L"textoffsety", L"numbuttons", L"buttongap", L"orientation", L"defaultbutton", L"movement", L"alpha",
          L"wraparound", L"smoothscrolling"}},
        {L"buttonsblock", {}},
        {L"spin", {}},
        {L"settingsspin", {}},
        {L"slider", {}},
        {L"listcontainer", {}},
        {L"wraplistcontainer", {}},
        {L"fixedlistcontainer", {}},
        {L"slider", {}},
        {L"panelcontainer", {}},
        {L"progress", {}},
        {L"textbox", {}},
        {L"rssfeed", {}},
        {L"visualisation", {}},
        {L"video", {}},
        {L"mover", {}},
        {L"resize", {}},
        {L"edit", {}},
        {L"console", {}},
        {L"checkmark", {}},
        {L"extendedlist", {}},
    };
    return table;
}

bool isOfType(const ControlTemplate& t, const std::wstring& name) {
    const auto it = t.find(kTypeTag);
    return it != t.end() && controls::equalsIgnoringAsciiCase(it->second, name);
}

}  // namespace

const std::vector<std::wstring>& ControlCatalogue::commonTags() {
    static const std::vector<std::wstring> tags = {
        L"type",    L"description", L"id",     L"posx",          L"posy",   L"width",  L"height",
        L"visible", L"animation",   L"camera", L"colordiffuse",  L"onup",   L"ondown", L"onleft",
        L"onright", L"hitrect",     L"enable", L"pulseonselect", L"include"};
    return tags;
}

ControlCatalogue::ControlCatalogue() {
    templates_.reserve(typeTable().size());
    for (const TypeRow& row : typeTable()) {
        ControlTemplate working;
        for (const std::wstring& tag : commonTags()) working.emplace(tag, std::wstring());
        for (const std::wstring& tag : row.ownTags) working.emplace(tag, std::wstring());
        working[kTypeTag] = row.name;
        templates_.push_back(std::move(working));
    }
}

std::vector<std::wstring> ControlCatalogue::typeNames() const {
    std::vector<std::wstring> names;
    names.reserve(templates_.size());
    for (const ControlTemplate& t : templates_) {
        const auto it = t.find(kTypeTag);
        names.push_back(it == t.end() ? std::wstring() : it->second);
    }
    return names;
}

bool ControlCatalogue::hasType(const std::wstring& name) const {
    for (const ControlTemplate& t : templates_) {
        if (isOfType(t, name)) return true;
    }
    return false;
}

ControlTemplate ControlCatalogue::templateFor(const std::wstring& name) const {
    for (const ControlTemplate& t : templates_) {
        if (isOfType(t, name)) return t;
    }
    return {};
}

ControlTemplate ControlCatalogue::selectType(const std::wstring& name) {
    currentType_ = name;
    return templateFor(name);
}

void ControlCatalogue::clearValues(const std::wstring& name) {
    for (ControlTemplate& t : templates_) {
        if (!isOfType(t, name)) continue;
        for (auto& [tag, value] : t) {
            if (tag != kTypeTag) value.clear();
        }
    }
}

void ControlCatalogue::setValue(const std::wstring& tag, const std::wstring& value) {
    // The type names are the catalogue's own: a value never renames them.
    if (tag == kTypeTag) return;
    // Every template of the current type carries the same tags, so the first
    // one lacking the tag means none of them has it.
    for (ControlTemplate& t : templates_) {
        if (!isOfType(t, currentType_)) continue;
        const auto it = t.find(tag);
        if (it == t.end()) return;
        it->second = value;
    }
}
