// The expanded window as an outline: a tree of its controls, each named by
// its type, id and description or label, those an include brings marked
// with the include and where they are written.
#pragma once

#include "skin/ExpandedWindow.h"

#include <string>
#include <vector>

namespace skin {

struct OutlineEntry {
    std::string name;          // "button 9000: Home menu"
    std::string detail;        // "include Menu, includes.xml line 6"; empty for the window's own
    bool fromInclude = false;
    Location at;               // where the control is written
    Location inWindow;         // its place in the window's file (the call that brought it)
    Location inWindowEnd;      // the end of that place
    std::uint32_t control = 0; // index into the window's controls()
    std::vector<OutlineEntry> children;
};

std::vector<OutlineEntry> BuildWindowOutline(const ExpandedWindow& window);

}  // namespace skin
