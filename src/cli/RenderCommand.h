// `quorrel render`: one window file of a skin drawn as the media center lays
// it out on an idle installation, written as a PNG file.
//
//   quorrel render [--size WxH] WINDOW_FILE OUT.png
//
// The picture has the skin's resolution for the window's folder (addon.xml's
// <res>), or --size. What could not be drawn goes to standard error, one line
// each: "path:line: type: why". Exit status: 0 written, 1 not written, 2 a
// usage error or a window file that cannot be read. A window file that is not
// well-formed is said so and drawn as far as it can be read.
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

namespace cli {

// `options` are the arguments after "render".
int runRender(const std::vector<std::wstring>& options, Console& console);

}  // namespace cli
