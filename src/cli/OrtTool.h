// The texture bundle commands of the quorrel command line: they list,
// extract, pack and verify bundles with the plugin's own cores.
//
//   quorrel list BUNDLE
//   quorrel extract [--overwrite] BUNDLE FOLDER
//   quorrel pack [--strict] FOLDER BUNDLE
//   quorrel verify BUNDLE
//
// Errors are one line each on standard error, naming the file and the
// reason. Exit status: 0 done, 1 failed (or, for verify, a frame that does
// not decode), 2 a usage error.
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

namespace cli {

// Runs one command; `args` are the arguments after the program's name, the
// command first.
int runOrtTool(const std::vector<std::wstring>& args, Console& console);

}  // namespace cli
