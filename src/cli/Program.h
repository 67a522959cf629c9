// The quorrel command line: texture bundles (list, extract, pack, verify),
// the skin check (check) and the language server (lsp). Portable: the platform's main (main_posix.cpp
// or main_win.cpp) hands over the arguments as UTF-16, writes the lines out
// and provides the protocol's streams.
//
// Errors are one line each on standard error. Exit status: 0 done, 1 failed,
// 2 a usage error; the language server's is the protocol's (0 after
// shutdown and exit, else 1).
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

namespace cli {

// Runs one command; `args` are the arguments after the program's name.
int runProgram(const std::vector<std::wstring>& args, Console& console, ProtocolStreams& streams);

}  // namespace cli
