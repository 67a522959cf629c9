// Control ids followed through the expanded windows: what names an id under
// a position, the controls it opens, every place that names it, what to say
// about it, and the ids that no control of a window has.
//
// An id written in an include's body belongs to every window that calls the
// include, and is judged in each of them with that window's controls.
#pragma once

#include "skin/ExpandedWindow.h"
#include "skin/SkinModel.h"

#include <string>
#include <utility>
#include <vector>

namespace skin {

struct ControlIdSite {
    bool found = false;
    bool isDefinition = false;  // on a control's own id
    Location at;                // the id's text
    // The windows it belongs to, with the id it reads there.
    std::vector<std::pair<const ExpandedWindow*, ControlIdValue>> in;
};

// The id under (line, column) of a file the model holds (columns in bytes, a
// name's end counts as on it).
ControlIdSite ControlIdAt(const SkinModel& model, const std::wstring& path, std::uint32_t line, std::uint32_t column);

struct ControlTarget {
    Location at;          // its id (or its tag, when the id is built from a parameter)
    std::string type;
    std::string caption;  // its description or label
};

// The controls the id opens (several where controls of exclusive groups share it).
std::vector<ControlTarget> ControlIdDefinitions(const ControlIdSite& site);
// Every place in its windows and their includes that names the id.
std::vector<Location> ControlIdReferences(const ControlIdSite& site);
// Which control it is: type, file and line, its description or label.
std::string ControlIdHover(const ControlIdSite& site);

struct ControlIdFault {
    Location at;
    std::string message;
};

// The literal ids written in `file` that no control of the window has; an id
// in an include's body only when it is wrong in every window that calls it.
// Silent on ids built at run time, in windows that may lack a control (an
// include not found, an id built at run time), and on ids a window's
// controls made at run time from its templates would have.
std::vector<ControlIdFault> UndefinedControlIds(const SkinModel& model, const SkinFile& file);

}  // namespace skin
