// The XML text of a control as the attribute rows describe it (dragged out of
// the panel into a document).
#pragma once

#include <string>
#include <vector>

#include "controls/ControlCatalogue.h"

namespace controls {

using ::TagValue;

// A "control" element whose "type" attribute is the value of the "type" row
// and with one child per other non-empty row, in tag order; four spaces per
// level and "\n" after every line. Empty when there are no rows. Any
// character survives (the text goes through UTF-8, never a narrower set).
std::wstring controlXml(const std::vector<TagValue>& rows);

}  // namespace controls
