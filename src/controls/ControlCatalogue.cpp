#include "controls/ControlCatalogue.h"

#include "base/TextCodec.h"
#include "skin/ControlVocabulary.h"

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

namespace vocab = skin::vocab;

namespace {

const wchar_t* const kTypeTag = L"type";

struct OlderType {
    const wchar_t* name;
    std::vector<std::wstring> ownTags;
};

// The older catalogue's types in the order its list showed them (it listed
// "slider" twice; once is enough). Those today's media center still reads
// keep these tags beside today's; the others follow today's types in the list.
// The vertical alignment tag of "selectbutton" is spelt "alignY" by the skin
// engine that read it.
const std::vector<OlderType>& olderTypes() {
    static const std::vector<OlderType> table = {
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

const OlderType* findOlder(const std::wstring& name) {
    for (const OlderType& t : olderTypes()) {
        if (controls::equalsIgnoringAsciiCase(t.name, name)) return &t;
    }
    return nullptr;
}

std::wstring wide(std::string_view name) { return text::fromUtf8(std::string(name)); }

// An element's value is text typed into a row: elements that hold elements
// (a group's controls, a list's layouts and content) get none.
bool takesARow(const vocab::Element& e) { return e.kind != vocab::ValueKind::Container; }

void addOlderTags(ControlTemplate& values, const OlderType& older) {
    for (const std::wstring& tag : ControlCatalogue::commonTags()) values.emplace(tag, std::wstring());
    for (const std::wstring& tag : older.ownTags) values.emplace(tag, std::wstring());
}

// A tag of a type without a vocabulary entry: the elements every control, or
// every focusable one, reads.
const vocab::Element* commonElement(const std::wstring& tag) {
    const std::string name = text::toUtf8(tag);
    for (const auto& set : {vocab::commonElements(), vocab::focusableElements()}) {
        for (const vocab::Element& e : set) {
            if (vocab::equalsFolded(e.name, name)) return &e;
        }
    }
    return nullptr;
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
    for (const vocab::ControlType& type : vocab::controlTypes()) {
        Entry entry;
        entry.vocabulary = &type;
        const std::wstring name = wide(type.name);
        const OlderType* older = findOlder(name);
        if (older != nullptr) addOlderTags(entry.values, *older);
        auto add = [&](const vocab::Element& e) {
            if (!takesARow(e)) return;
            const std::wstring tag = wide(e.name);
            if (entry.values.emplace(tag, std::wstring()).second && e.has(vocab::Ignored)) {
                entry.onlyWhereUsed.insert(tag);
            }
        };
        for (const vocab::Element& e : vocab::commonElements()) add(e);
        if (type.focusable) {
            for (const vocab::Element& e : vocab::focusableElements()) add(e);
        }
        for (const vocab::Element& e : type.elements) add(e);
        entry.values[kTypeTag] = name;
        entries_.push_back(std::move(entry));
    }
    for (const OlderType& older : olderTypes()) {
        if (vocab::findType(text::toUtf8(older.name)) != nullptr) continue;
        Entry entry;
        entry.standing = Standing::Older;
        addOlderTags(entry.values, older);
        // Where an older control stands is written as today's controls write it.
        for (const vocab::Element& e : vocab::commonElements()) {
            if (takesARow(e) && !e.has(vocab::Ignored)) entry.values.emplace(wide(e.name), std::wstring());
        }
        entry.values[kTypeTag] = older.name;
        entries_.push_back(std::move(entry));
    }
}

ControlCatalogue::Entry* ControlCatalogue::find(const std::wstring& name) {
    return const_cast<Entry*>(static_cast<const ControlCatalogue*>(this)->find(name));
}

const ControlCatalogue::Entry* ControlCatalogue::find(const std::wstring& name) const {
    for (const Entry& e : entries_) {
        const auto it = e.values.find(kTypeTag);
        if (it != e.values.end() && controls::equalsIgnoringAsciiCase(it->second, name)) return &e;
    }
    return nullptr;
}

std::vector<ControlCatalogue::TypeEntry> ControlCatalogue::types() const {
    std::vector<TypeEntry> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_) {
        const auto it = e.values.find(kTypeTag);
        out.push_back(TypeEntry{it == e.values.end() ? std::wstring() : it->second, e.standing});
    }
    return out;
}

std::vector<std::wstring> ControlCatalogue::typeNames() const {
    std::vector<std::wstring> names;
    for (TypeEntry& t : types()) names.push_back(std::move(t.name));
    return names;
}

std::vector<ControlTemplate> ControlCatalogue::templates() const {
    std::vector<ControlTemplate> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_) out.push_back(e.values);
    return out;
}

bool ControlCatalogue::hasType(const std::wstring& name) const { return find(name) != nullptr; }

bool ControlCatalogue::lists(const std::wstring& name) const {
    const Entry* e = find(name);
    return e != nullptr && e->standing != Standing::Unlisted;
}

ControlTemplate ControlCatalogue::templateFor(const std::wstring& name) const {
    const Entry* e = find(name);
    return e != nullptr ? e->values : ControlTemplate();
}

ControlTemplate ControlCatalogue::selectType(const std::wstring& name) {
    currentType_ = name;
    return templateFor(name);
}

void ControlCatalogue::clearValues(const std::wstring& name) {
    Entry* e = find(name);
    if (e == nullptr) return;
    for (auto& [tag, value] : e->values) {
        if (tag != kTypeTag) value.clear();
    }
}

void ControlCatalogue::setValue(const std::wstring& tag, const std::wstring& value) {
    // The type names are the catalogue's own: a value never renames them.
    if (tag == kTypeTag) return;
    Entry* e = find(currentType_);
    if (e == nullptr) return;
    const auto it = e->values.find(tag);
    if (it != e->values.end()) it->second = value;
}

void ControlCatalogue::load(const std::wstring& type, const std::vector<TagValue>& children) {
    Entry* entry = find(type);
    if (entry == nullptr || entry->standing == Standing::Unlisted) {
        // One unlisted type at a time, with the children of the control last read.
        if (!entries_.empty() && entries_.back().standing == Standing::Unlisted) entries_.pop_back();
        Entry unlisted;
        unlisted.standing = Standing::Unlisted;
        for (const auto& child : children) {
            if (child.first != kTypeTag) unlisted.values.emplace(child.first, std::wstring());
        }
        unlisted.values[kTypeTag] = type;
        entries_.push_back(std::move(unlisted));
        entry = &entries_.back();
    }
    currentType_ = type;
    clearValues(type);
    entry->used.clear();
    for (const auto& [tag, value] : children) {
        if (entry->used.insert(tag).second) setValue(tag, value);
    }
}

bool ControlCatalogue::shows(const Entry& entry, const std::wstring& tag) const {
    const bool used = entry.used.count(tag) != 0;
    if (entry.onlyWhereUsed.count(tag) != 0 && !used) return false;
    if (entry.standing == Standing::Unlisted) return true;
    const std::string name = text::toUtf8(tag);
    const std::wstring modern = wide(vocab::modernNameOf(name));
    if (!modern.empty() && entry.values.count(modern) != 0) return used && entry.used.count(modern) == 0;
    const std::wstring legacy = wide(vocab::legacyNameOf(name));
    if (!legacy.empty() && entry.values.count(legacy) != 0) return used || entry.used.count(legacy) == 0;
    return true;
}

std::vector<TagValue> ControlCatalogue::rowsOf(const std::wstring& name) const {
    std::vector<TagValue> rows;
    const Entry* e = find(name);
    if (e == nullptr) return rows;
    for (const auto& [tag, value] : e->values) {
        if (shows(*e, tag)) rows.emplace_back(tag, value);
    }
    return rows;
}

const vocab::Element* ControlCatalogue::elementOf(const std::wstring& type, const std::wstring& tag) const {
    const Entry* e = find(type);
    if (e == nullptr || e->standing == Standing::Unlisted || e->values.count(tag) == 0) return nullptr;
    if (e->vocabulary == nullptr) return commonElement(tag);
    return vocab::findElement(*e->vocabulary, text::toUtf8(tag)).element;
}
