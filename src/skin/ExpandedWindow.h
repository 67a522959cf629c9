// A window as the media center builds it from its file: the file's own
// controls, those of every include it calls (to any depth, parameters
// substituted), and every place that names a control by its id. What a
// renderer walks, what the outline shows and what control ids are checked
// and followed against.
//
// Places are byte offsets into the files the window was built from
// (files()[k]), which the model holds; locate() turns one into a Location.
// Texts are views of those files' text, or of the window's own store where a
// parameter was substituted. A window is rebuilt whenever one of its files
// changes, so it never outlives what it views.
#pragma once

#include "skin/ElementTree.h"
#include "skin/SkinModel.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

// A control id read from text: a whole number (an optional '-' and digits).
struct ControlIdValue {
    bool number = false;  // a whole number; false for anything else (empty, a name, built with '$')
    bool huge = false;    // a number no control can have (more digits than a 64-bit id holds)
    std::int64_t value = 0;
    bool operator==(const ControlIdValue& o) const {
        return number == o.number && huge == o.huge && value == o.value;
    }
};
ControlIdValue ParseControlId(std::string_view text);

// A place in one of the window's files.
struct WindowPlace {
    std::uint32_t file = 0;   // index into ExpandedWindow::files()
    std::uint32_t begin = 0;  // byte offsets into its text
    std::uint32_t end = 0;
};

// A direct child element of a control, or of the window.
struct WindowElement {
    std::string_view name;        // as written
    std::string_view value;       // its text, trimmed, parameters substituted
    std::string_view attributes;  // its start tag's attribute text, parameters substituted
    WindowPlace at;               // its start tag
};

struct WindowControl {
    std::string_view type;     // as written
    std::string_view id;       // as the media center reads it (parameters substituted); empty when none
    ControlIdValue idValue;    // `id` read as a number
    bool idWrittenLiterally = false;  // the id is in the file as is (no $PARAM)
    bool inItemLayout = false;        // a list item's layout: not a control of the window
    WindowPlace at;            // the <control tag (its name)
    WindowPlace extent;        // the whole element, where written
    WindowPlace idAt;          // the id's value where written; equal to `at` when there is none
    std::int32_t parent = -1;  // index into controls(), -1 for the window's top level
    std::int32_t via = -1;     // the include call that brought it (innermost), index into calls()
    std::vector<std::uint32_t> children;  // in document order
    std::vector<WindowElement> elements;  // its direct child elements (include calls expanded)
};

struct WindowIncludeCall {
    std::string_view name;     // the include called (parameters substituted)
    WindowPlace at;            // the name it calls
    WindowPlace extent;        // the whole call
    std::int32_t parent = -1;  // the call it is inside, -1 for the window's file
    bool resolved = false;     // a definition was found and expanded
};

// A place that names a control id: a navigation or id element (<onup>,
// <defaultcontrol>, <pagecontrol>, <views> ...) or a function's argument
// (Control.HasFocus(n), Container(n), SetFocus(n) ...).
struct ControlIdUse {
    ControlIdValue id;          // the id as the window reads it
    bool built = false;         // built from $PARAM (or anything with '$') where it is written
    WindowPlace at;             // where it is written (a parameter's value at its call, if passed)
    std::int32_t via = -1;      // the include call it is inside, -1 for the window's own text
    std::string_view element;   // the element or function that names it ("onup", "Control.HasFocus")
};

class ExpandedWindow {
public:
    static constexpr std::size_t kMaxDepth = 32;        // include calls inside include calls
    static constexpr std::size_t kMaxControls = 20000;  // controls of one window
    static constexpr std::size_t kMaxNodes = 400000;    // elements visited for one window

    const std::wstring& path() const { return files_.front()->path; }
    const SkinFile& windowFile() const { return *files_.front(); }
    const std::vector<const SkinFile*>& files() const { return files_; }
    const std::vector<WindowControl>& controls() const { return controls_; }
    const std::vector<std::uint32_t>& topLevel() const { return topLevel_; }
    const std::vector<WindowElement>& windowElements() const { return windowElements_; }
    const std::vector<WindowIncludeCall>& calls() const { return calls_; }
    const std::vector<ControlIdUse>& idUses() const { return uses_; }
    // Cycles, calls too deep, a window too large: one line each.
    const std::vector<std::string>& notes() const { return notes_; }
    // False when a control may be missing: an include not found or built at
    // run time, a control id built at run time, a bound reached.
    bool complete() const { return complete_; }

    Location locate(const WindowPlace& at) const;
    // Where a control stands in the window's own file: its element, or the
    // call (in the window's file) that brought it.
    WindowPlace placeInWindow(const WindowControl& c) const;
    // The innermost control whose place in the window's file holds the
    // offset (the first of those a call brought), or -1.
    std::int32_t controlAt(std::uint32_t offset) const;
    // The controls with that id (item layouts left out), in document order.
    std::vector<std::uint32_t> controlsWithId(const ControlIdValue& id) const;
    // A control's element of that name (letter case ignored), or null.
    const WindowElement* element(const WindowControl& c, std::string_view name) const;
    // What names a control to a reader: its <description>, else its <label>.
    std::string_view caption(const WindowControl& c) const;

private:
    friend class WindowBuilder;
    std::vector<const SkinFile*> files_;
    std::vector<WindowControl> controls_;
    std::vector<std::uint32_t> topLevel_;
    std::vector<WindowElement> windowElements_;
    std::vector<WindowIncludeCall> calls_;
    std::vector<ControlIdUse> uses_;
    std::vector<std::string> notes_;
    std::deque<std::string> store_;  // substituted texts (a deque: views of them hold)
    bool complete_ = true;
};

// The include definitions of a window folder, by name (the first one read wins).
struct IncludeBody {
    const SkinFile* file = nullptr;
    std::uint32_t tree = 0;  // index into IncludeLibrary::trees
    std::uint32_t node = 0;
};

class IncludeLibrary {
public:
    // `files`: the include files of one window folder, includes.xml first.
    void build(const std::vector<const SkinFile*>& files);
    const IncludeBody* find(std::string_view name) const;
    const ElementTree& tree(std::uint32_t k) const { return *trees_[k]; }

private:
    std::vector<std::unique_ptr<ElementTree>> trees_;
    std::vector<std::pair<std::string_view, IncludeBody>> sorted_;
};

// Builds the expanded window of a window file with the include definitions of its folder.
std::unique_ptr<ExpandedWindow> ExpandWindow(const SkinFile& window, const IncludeLibrary& includes);

// Does the element (or window element) name a control id: the navigation and
// control-id elements of the vocabulary, and <views>.
bool NamesControlId(std::string_view element);

}  // namespace skin
