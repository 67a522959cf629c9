// The control types the controls panel lists, each with the child tags such a
// control gets a row for: a view of the control vocabulary (what today's media
// center reads), which also keeps the types and tags of the panel's older
// catalogue so that older skins keep their rows. The templates double as the
// working copy of the control being edited: the values read from the document
// are stored in the template of the control's type, and the attribute rows are
// built from it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace skin::vocab {
struct ControlType;
struct Element;
}  // namespace skin::vocab

// Tag name -> value, ordered by plain code-unit comparison (so rows come out
// sorted, upper case before lower case).
using ControlTemplate = std::map<std::wstring, std::wstring>;
using TagValue = std::pair<std::wstring, std::wstring>;

class ControlCatalogue {
public:
    // Where a type stands: read by today's media center, kept from the older
    // catalogue for older skins, or the type of the control last read that
    // nothing knows (listed as written, with its own children as tags).
    enum class Standing { Today, Older, Unlisted };
    struct TypeEntry {
        std::wstring name;
        Standing standing = Standing::Today;
    };

    ControlCatalogue();
    virtual ~ControlCatalogue() = default;

    // Today's types in the vocabulary's order, then the older ones, then the
    // unlisted type of the control last read (when there is one).
    std::vector<TypeEntry> types() const;
    std::vector<std::wstring> typeNames() const;
    // Type names are matched with ASCII letters folded; tags are matched exactly.
    bool hasType(const std::wstring& name) const;
    // A type of today's media center or of older releases (not the unlisted one).
    bool lists(const std::wstring& name) const;
    // A copy of the template of that type; empty when there is none.
    ControlTemplate templateFor(const std::wstring& name) const;
    // Makes `name` the current type and returns its template.
    ControlTemplate selectType(const std::wstring& name);
    // Empties every value except "type" in the template of that type.
    void clearValues(const std::wstring& name);
    // Stores the value in the template of the current type. A tag the type
    // does not carry is dropped, and so is "type": the types and their tags
    // are fixed once the catalogue is built.
    void setValue(const std::wstring& tag, const std::wstring& value);

    // Reads a control's child elements (tag and text, in document order) into
    // the template of its type and makes it the current type; the first of
    // several children of one name gives the value (it is the one an edit
    // changes). A type nothing knows becomes the unlisted type, spelt as
    // written, whose tags are these children.
    void load(const std::wstring& type, const std::vector<TagValue>& children);

    // The rows of a type: its tags with their values, in template order. A
    // legacy alias ("posx") stands in place of its modern name ("left") only
    // where the control last read uses it (and not the modern name); an
    // element the media center reads without effect only where it is used.
    std::vector<TagValue> rowsOf(const std::wstring& name) const;

    // What the vocabulary says of a tag of a type (its value kind and
    // values); null when it says nothing (older tags, unlisted types).
    const skin::vocab::Element* elementOf(const std::wstring& type, const std::wstring& tag) const;

    const std::wstring& currentType() const { return currentType_; }
    void setCurrentType(const std::wstring& name) { currentType_ = name; }
    // Every type's template, in list order.
    std::vector<ControlTemplate> templates() const;

    // The older catalogue's common tags, in the order they were inserted.
    static const std::vector<std::wstring>& commonTags();

private:
    struct Entry {
        Standing standing = Standing::Today;
        const skin::vocab::ControlType* vocabulary = nullptr;  // null for older and unlisted types
        ControlTemplate values;
        std::set<std::wstring> onlyWhereUsed;  // elements read without effect
        std::set<std::wstring> used;           // children of the control last read
    };
    Entry* find(const std::wstring& name);
    const Entry* find(const std::wstring& name) const;
    bool shows(const Entry& entry, const std::wstring& tag) const;

    std::wstring currentType_;
    std::vector<Entry> entries_;
};

namespace controls {
// Equality with ASCII letters folded to lower case; other characters compared as they are.
bool equalsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b);
}  // namespace controls
