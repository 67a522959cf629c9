// Completion from the skin's model: what kind of name the caret is typing
// (found from the document's text alone) and the names the skin offers there,
// each with a short detail, filtered by what was typed so far.
//
// Units as in SkinModel.h: texts are UTF-8 and offsets count bytes of the
// document's text.
#pragma once

#include "skin/SkinModel.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

enum class CompletionContext : unsigned char {
    None,
    IncludeName,      // <include>|, <include content="|
    CallParameter,    // <param name="| inside an include call
    DefinitionParam,  // $PARAM[| inside an include's definition
    Variable,         // $VAR[|, $ESCVAR[|
    Expression,       // $EXP[|
    Constant,         // a numeric element's text or attribute
    Font,             // <font>|
    Colour,           // a colour element's text, colordiffuse="|
    String,           // $LOCALIZE[|, <label>|
    Texture,          // an image element's text
    ElementName,      // <| inside a <control type="T">
    ControlType,      // <control type="|
};

// What the catalogue of controls knows (handed down from the controls
// feature): names in lower case.
struct CompletionCatalogue {
    std::vector<std::string> imageElements;
    std::vector<std::string> controlTypes;
    std::map<std::string, std::vector<std::string>> elementsByType;  // type -> its element names (as spelt)
};

struct CompletionSite {
    CompletionContext context = CompletionContext::None;
    std::size_t start = 0;  // where the partial name starts
    std::size_t caret = 0;
    std::size_t end = 0;               // where the name under the caret ends (the caret or after it)
    std::string typed;                 // [start, caret)
    std::string closing;               // what ends the name ("]" or "\""), written only where missing
    std::string scope;                 // the include called or defined; the control's type
    std::vector<std::string> present;  // parameters given, elements present (lower case for elements)
};

struct CompletionEntry {
    std::string name;
    std::string detail;
    SymbolKind kind = SymbolKind::Include;  // what the name is (element names and types: Include)
};

// The context at `caret` of `text`; None inside a comment or outside every
// context of the table.
CompletionSite FindCompletionSite(std::string_view text, std::size_t caret, const CompletionCatalogue& catalogue);

// The entries for a site: sorted by name, those that begin with the typed
// part before those that only hold it (letter case ignored); a string is
// also found by its text.
std::vector<CompletionEntry> CompletionEntries(const SkinModel& model, const CompletionSite& site,
                                               const CompletionCatalogue& catalogue);

// What replaces [site.start, site.end) when `name` is chosen: the name, and
// the closing bracket or quote unless the text already has it there.
std::string CompletionInsertText(std::string_view text, const CompletionSite& site, std::string_view name);

}  // namespace skin
