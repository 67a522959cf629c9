// Completion from the skin's model and today's control vocabulary: what kind
// of name the caret is typing (found from the document's text alone) and the
// names offered there, each with a short detail, filtered by what was typed
// so far.
//
// Units as in SkinModel.h: texts are UTF-8 and offsets count bytes of the
// document's text.
#pragma once

#include "skin/ControlVocabulary.h"
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
    Value,            // an enum or boolean element's text, an animation's trigger
    AttributeName,    // <texture |, <animation |, <effect |
    AttributeValue,   // effect="|, tween="|, easing="|, an animation's type="|
};

// No longer read by completion, which takes the vocabulary itself; kept while
// the controls feature still makes one.
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
    std::vector<std::string> present;  // parameters given, elements or attributes present (lower case for these)
    vocab::Items<std::string_view> values;  // Value, AttributeName, AttributeValue: what may be written
};

struct CompletionEntry {
    std::string name;
    std::string detail;
    SymbolKind kind = SymbolKind::Include;  // what the name is (element names and types: Include)
};

// The context at `caret` of `text`; None inside a comment or outside every
// context of the table.
CompletionSite FindCompletionSite(std::string_view text, std::size_t caret);

// The entries for a site: sorted by name, those that begin with the typed
// part before those that only hold it (letter case ignored); a string is
// also found by its text.
std::vector<CompletionEntry> CompletionEntries(const SkinModel& model, const CompletionSite& site);

// An element open at a position of a document: its lower-case name and its
// type attribute as written (empty when it has none).
struct OpenElement {
    std::string name;
    std::string type;
};
// The elements open at `offset` (outermost first), read as completion reads
// them; a start tag the offset stands in is not among them.
std::vector<OpenElement> OpenElementsAt(std::string_view text, std::size_t offset);

// What replaces [site.start, site.end) when `name` is chosen: the name, and
// the closing bracket or quote unless the text already has it there.
std::string CompletionInsertText(std::string_view text, const CompletionSite& site, std::string_view name);

}  // namespace skin
