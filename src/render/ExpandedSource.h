// The renderer's input filled from the skin model's expanded window: the
// controls the media center ends up with (includes put in place, their
// parameters substituted), each where it is written. A list's item layouts
// get the controls written inside them, and its static <content> is read
// from the file where it stands. Portable.
#pragma once

#include "render/WindowSource.h"

namespace skin {
class ExpandedWindow;
}

namespace render {

WindowSource SourceOf(const skin::ExpandedWindow& window);

}  // namespace render
