#include "settings/SettingsStore.h"

#include <tinyxml.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <locale>
#include <sstream>

#include "settings/SettingsObserver.h"
#include "base/TextCodec.h"
#include "settings/SettingsFile.h"

namespace {

constexpr const char* kGroupElement = "Group";
constexpr const char* kValueElement = "Value";
constexpr const char* kNameAttribute = "name";
constexpr const char* kTypeAttribute = "type";

// Files written before non-ASCII values were supported carry no encoding and
// hold 8-bit text in the ANSI code page; newer files say UTF-8 (or start with
// its byte-order mark).
enum class FileText { Ansi, Utf8 };

std::wstring decode(const char* bytes, FileText kind) {
    if (bytes == nullptr) return {};
    return kind == FileText::Utf8 ? text::fromUtf8(bytes) : text::fromCodePage(bytes, text::kCodePageAnsi);
}

bool sameIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const auto ca = static_cast<unsigned char>(*a);
        const auto cb = static_cast<unsigned char>(*b);
        const auto la = (ca >= 'A' && ca <= 'Z') ? ca + ('a' - 'A') : ca;
        const auto lb = (cb >= 'A' && cb <= 'Z') ? cb + ('a' - 'A') : cb;
        if (la != lb) return false;
    }
    return *a == *b;
}

bool startsWithUtf8Mark(std::FILE* file) {
    unsigned char head[3] = {0, 0, 0};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    return got == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF;
}

// atoi reads the same digits, but an out-of-range number is undefined there.
int leadingInt(const char* textValue) {
    errno = 0;
    const long parsed = std::strtol(textValue, nullptr, 10);
    if (parsed > INT_MAX) return INT_MAX;
    if (parsed < INT_MIN) return INT_MIN;
    return static_cast<int>(parsed);
}

// The file is shared by every locale the editor may run in: numbers are
// written and read the C way ("%f", a point before six decimals) whatever the
// process's locale says.
std::string printFloat(float value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(6) << static_cast<double>(value);
    return out.str();
}

// Like atof: the leading number of the text, 0 when there is none.
float leadingFloat(const char* textValue) {
    std::istringstream in(textValue);
    in.imbue(std::locale::classic());
    double value = 0.0;
    in >> value;
    return in.fail() ? 0.0f : static_cast<float>(value);
}

// TinyXML collapses runs of blanks and trims them at both ends of a text unless
// told otherwise; a password or a path must come back exactly as it was stored.
// The switch is global to the library, so it is restored for other readers.
class KeepWhiteSpace {
public:
    KeepWhiteSpace() : previous_(TiXmlBase::IsWhiteSpaceCondensed()) { TiXmlBase::SetCondenseWhiteSpace(false); }
    ~KeepWhiteSpace() { TiXmlBase::SetCondenseWhiteSpace(previous_); }
    KeepWhiteSpace(const KeepWhiteSpace&) = delete;
    KeepWhiteSpace& operator=(const KeepWhiteSpace&) = delete;

private:
    bool previous_;
};

}  // namespace

SettingsStore::SettingsStore() = default;
SettingsStore::~SettingsStore() = default;

bool SettingsStore::load(const std::wstring& path) {
    TiXmlDocument document;
    FileText kind = FileText::Ansi;
    {
        const settings_file::FilePtr file = settings_file::openForReading(path);
        if (!file) return false;
        if (startsWithUtf8Mark(file.get())) kind = FileText::Utf8;
        // Without a byte-order mark the library would take the text for UTF-8
        // and stumble over the first ANSI letter of an older file. Read byte by
        // byte instead (UTF-8 text passes through unchanged) and decode below,
        // once the declaration has said what the bytes are.
        const KeepWhiteSpace keep;
        if (!document.LoadFile(file.get(), kind == FileText::Utf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY))
            return false;
    }

    const TiXmlDeclaration* declaration = nullptr;
    for (const TiXmlNode* node = document.FirstChild(); node != nullptr; node = node->NextSibling()) {
        declaration = node->ToDeclaration();
        if (declaration != nullptr) break;
    }
    if (declaration == nullptr || text::toUtf8(version_) != declaration->Version()) return false;
    if (sameIgnoringCase(declaration->Encoding(), "UTF-8") || sameIgnoringCase(declaration->Encoding(), "UTF8"))
        kind = FileText::Utf8;

    const TiXmlElement* root = document.RootElement();
    if (root == nullptr || text::toUtf8(rootName_) != root->Value()) return false;

    for (const TiXmlElement* groupElement = root->FirstChildElement(kGroupElement); groupElement != nullptr;
         groupElement = groupElement->NextSiblingElement(kGroupElement)) {
        const std::wstring group = decode(groupElement->Attribute(kNameAttribute), kind);
        for (const TiXmlElement* valueElement = groupElement->FirstChildElement(kValueElement); valueElement != nullptr;
             valueElement = valueElement->NextSiblingElement(kValueElement)) {
            const char* name = valueElement->Attribute(kNameAttribute);
            const char* type = valueElement->Attribute(kTypeAttribute);
            const char* valueText = valueElement->GetText();
            if (name == nullptr || type == nullptr) continue;
            const std::wstring key = decode(name, kind);
            if (std::strcmp(type, "string") == 0) {
                // The library writes an empty string as an element without
                // text; reading that back as "no value" would lose the empty
                // string the user stored.
                setString(group, key, decode(valueText, kind));
                continue;
            }
            if (valueText == nullptr) continue;
            if (std::strcmp(type, "bool") == 0) {
                if (std::strcmp(valueText, "true") == 0)
                    setBool(group, key, true);
                else if (std::strcmp(valueText, "false") == 0)
                    setBool(group, key, false);
            } else if (std::strcmp(type, "int") == 0) {
                setInt(group, key, leadingInt(valueText));
            } else if (std::strcmp(type, "float") == 0) {
                setFloat(group, key, leadingFloat(valueText));
            }
        }
    }
    return true;
}

bool SettingsStore::save(const std::wstring& path) {
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration(text::toUtf8(version_), "UTF-8", ""));
    auto* root = new TiXmlElement(text::toUtf8(rootName_));
    document.LinkEndChild(root);
    for (const auto& [groupName, values] : groups_) {
        auto* groupElement = new TiXmlElement(kGroupElement);
        root->LinkEndChild(groupElement);
        groupElement->SetAttribute(kNameAttribute, text::toUtf8(groupName));
        for (const auto& [key, value] : values) {
            std::string typeName;
            std::string valueText;
            switch (value->type) {
            case SettingValue::Bool:
                typeName = "bool";
                valueText = value->boolValue ? "true" : "false";
                break;
            case SettingValue::Int:
                typeName = "int";
                valueText = std::to_string(value->intValue);
                break;
            case SettingValue::Float:
                typeName = "float";
                valueText = printFloat(value->floatValue);
                break;
            case SettingValue::String:
                typeName = "string";
                valueText = text::toUtf8(value->stringValue);
                break;
            default:
                continue;  // created but never set: there is nothing to keep
            }
            auto* valueElement = new TiXmlElement(kValueElement);
            groupElement->LinkEndChild(valueElement);
            valueElement->SetAttribute(kNameAttribute, text::toUtf8(key));
            valueElement->SetAttribute(kTypeAttribute, typeName);
            if (!valueText.empty()) valueElement->LinkEndChild(new TiXmlText(valueText));
        }
    }
    return settings_file::replaceFile(path, [&document](std::FILE* file) { return document.SaveFile(file); });
}

bool SettingsStore::exists(const std::wstring& group, const std::wstring& key) const {
    const auto groupIt = groups_.find(group);
    return groupIt != groups_.end() && groupIt->second.count(key) != 0;
}

namespace {
const SettingValue* lookUp(const SettingsStore::Groups& groups, const std::wstring& group, const std::wstring& key,
                           int type) {
    const auto groupIt = groups.find(group);
    if (groupIt == groups.end()) return nullptr;
    const auto valueIt = groupIt->second.find(key);
    if (valueIt == groupIt->second.end() || valueIt->second->type != type) return nullptr;
    return valueIt->second.get();
}
}  // namespace

bool SettingsStore::getBool(const std::wstring& group, const std::wstring& key) const {
    const SettingValue* value = lookUp(groups_, group, key, SettingValue::Bool);
    return value != nullptr && value->boolValue;
}

int SettingsStore::getInt(const std::wstring& group, const std::wstring& key) const {
    const SettingValue* value = lookUp(groups_, group, key, SettingValue::Int);
    return value != nullptr ? value->intValue : 0;
}

float SettingsStore::getFloat(const std::wstring& group, const std::wstring& key) const {
    const SettingValue* value = lookUp(groups_, group, key, SettingValue::Float);
    return value != nullptr ? value->floatValue : 0.0f;
}

std::wstring SettingsStore::getString(const std::wstring& group, const std::wstring& key) const {
    const SettingValue* value = lookUp(groups_, group, key, SettingValue::String);
    return value != nullptr ? value->stringValue : std::wstring();
}

namespace {
// Finds or creates the record; null only when neither works.
SettingValue* slotFor(SettingsStore& store, const std::wstring& group, const std::wstring& key) {
    SettingValue* value = store.find(group, key);
    return value != nullptr ? value : store.create(group, key);
}
}  // namespace

void SettingsStore::setBool(const std::wstring& group, const std::wstring& key, bool value) {
    SettingValue* slot = slotFor(*this, group, key);
    if (slot == nullptr) return;
    slot->type = SettingValue::Bool;
    slot->boolValue = value;
    notify(group, key);
}

void SettingsStore::setInt(const std::wstring& group, const std::wstring& key, int value) {
    SettingValue* slot = slotFor(*this, group, key);
    if (slot == nullptr) return;
    slot->type = SettingValue::Int;
    slot->intValue = value;
    notify(group, key);
}

void SettingsStore::setFloat(const std::wstring& group, const std::wstring& key, float value) {
    SettingValue* slot = slotFor(*this, group, key);
    if (slot == nullptr) return;
    slot->type = SettingValue::Float;
    slot->floatValue = value;
    notify(group, key);
}

void SettingsStore::setString(const std::wstring& group, const std::wstring& key, const std::wstring& value) {
    SettingValue* slot = slotFor(*this, group, key);
    if (slot == nullptr) return;
    slot->type = SettingValue::String;
    slot->stringValue = value;
    notify(group, key);
}

bool SettingsStore::firstGroup() {
    groupCursor_ = groups_.begin();
    groupCursorValid_ = groupCursor_ != groups_.end();
    valueCursorValid_ = false;
    return groupCursorValid_;
}

bool SettingsStore::nextGroup() {
    valueCursorValid_ = false;
    if (!groupCursorValid_) return false;
    ++groupCursor_;
    groupCursorValid_ = groupCursor_ != groups_.end();
    return groupCursorValid_;
}

std::wstring SettingsStore::groupName() const { return groupCursorValid_ ? groupCursor_->first : std::wstring(); }

bool SettingsStore::firstValue() {
    valueCursorValid_ = false;
    if (!groupCursorValid_) return false;
    valueCursor_ = groupCursor_->second.begin();
    valueCursorValid_ = valueCursor_ != groupCursor_->second.end();
    return valueCursorValid_;
}

bool SettingsStore::nextValue() {
    if (!groupCursorValid_ || !valueCursorValid_) return false;
    ++valueCursor_;
    valueCursorValid_ = valueCursor_ != groupCursor_->second.end();
    return valueCursorValid_;
}

std::wstring SettingsStore::valueName() const { return valueCursorValid_ ? valueCursor_->first : std::wstring(); }

const SettingValue* SettingsStore::currentValue() const {
    return valueCursorValid_ ? valueCursor_->second.get() : nullptr;
}

void SettingsStore::addObserver(SettingsObserver* observer) {
    if (observer == nullptr) return;
    observers_.push_back(observer);
    observer->attachedToSettings(this);
}

void SettingsStore::removeObserver(SettingsObserver* observer) {
    for (auto it = observers_.begin(); it != observers_.end(); ++it) {
        if (*it == observer) {
            observers_.erase(it);
            return;
        }
    }
}

SettingValue* SettingsStore::find(const std::wstring& group, const std::wstring& key) {
    const auto groupIt = groups_.find(group);
    if (groupIt == groups_.end()) return nullptr;
    const auto valueIt = groupIt->second.find(key);
    return valueIt != groupIt->second.end() ? valueIt->second.get() : nullptr;
}

SettingValue* SettingsStore::create(const std::wstring& group, const std::wstring& key) {
    Values& values = groups_[group];
    if (values.count(key) != 0) return nullptr;
    auto record = std::make_unique<SettingValue>();
    SettingValue* created = record.get();
    values.emplace(key, std::move(record));
    return created;
}

void SettingsStore::notify(const std::wstring& group, const std::wstring& key) {
    // By index: an observer told of a change may register another one.
    for (std::size_t i = 0; i < observers_.size(); ++i) observers_[i]->settingsChanged(group, key);
}

namespace settings_keys {

void registerBool(SettingsStore& store, SettingsObserver& owner, const wchar_t* key, bool fallback) {
    if (store.exists(kGroup, key))
        owner.settingsChanged(kGroup, key);
    else
        store.setBool(kGroup, key, fallback);
}

void registerString(SettingsStore& store, SettingsObserver& owner, const wchar_t* key, const std::wstring& fallback) {
    if (store.exists(kGroup, key))
        owner.settingsChanged(kGroup, key);
    else
        store.setString(kGroup, key, fallback);
}

}  // namespace settings_keys
