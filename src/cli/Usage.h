// The quorrel command line's usage text, one line per command.
#pragma once

#include <string>

#include "cli/Console.h"

namespace cli {

// The problem ("quorrel: " before it) and the usage lines on standard error;
// returns kUsage.
int usage(Console& console, const std::wstring& problem);

// The usage lines on standard output.
void help(Console& console);

}  // namespace cli
