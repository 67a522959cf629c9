// The control types a skin window may name, each with the child tags such a
// control may carry. The templates double as the working copy of the control
// being edited: the values read from the document are stored in the template
// of the control's type, and the attribute rows are built from it.
#pragma once

#include <map>
#include <string>
#include <vector>

// Tag name -> value, ordered by plain code-unit comparison (so rows come out
// sorted, upper case before lower case).
using ControlTemplate = std::map<std::wstring, std::wstring>;

class ControlCatalogue {
public:
    ControlCatalogue();
    virtual ~ControlCatalogue() = default;

    // Type names in catalogue order, duplicates included.
    std::vector<std::wstring> typeNames() const;
    // Type names are matched with ASCII letters folded; tags are matched exactly.
    bool hasType(const std::wstring& name) const;
    // A copy of the first template of that type; empty when there is none.
    ControlTemplate templateFor(const std::wstring& name) const;
    // Makes `name` the current type and returns its template.
    ControlTemplate selectType(const std::wstring& name);
    // Empties every value except "type" in each template of that type.
    void clearValues(const std::wstring& name);
    // Stores the value in the templates of the current type. A tag the type
    // does not carry is dropped, and so is "type": the types and their tags
    // are fixed once the catalogue is built.
    void setValue(const std::wstring& tag, const std::wstring& value);

    const std::wstring& currentType() const { return currentType_; }
    void setCurrentType(const std::wstring& name) { currentType_ = name; }
    const std::vector<ControlTemplate>& templates() const { return templates_; }

    // The tags every type carries, in the order they are inserted.
    static const std::vector<std::wstring>& commonTags();

private:
    std::wstring currentType_;
    std::vector<ControlTemplate> templates_;
};

namespace controls {
// Equality with ASCII letters folded to lower case; other characters compared as they are.
bool equalsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b);
}  // namespace controls
