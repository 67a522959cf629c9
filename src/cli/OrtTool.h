// The quorrel-ort command line: lists, extracts, packs and verifies texture
// bundles with the plugin's own cores. Portable: the platform's main (in
// main_posix.cpp or main_win.cpp) hands over the arguments as UTF-16 and
// writes the lines out.
//
//   quorrel-ort list BUNDLE
//   quorrel-ort extract [--overwrite] BUNDLE FOLDER
//   quorrel-ort pack [--strict] FOLDER BUNDLE
//   quorrel-ort verify BUNDLE
//
// Errors are one line each on standard error, naming the file and the
// reason. Exit status: 0 done, 1 failed (or, for verify, a frame that does
// not decode), 2 a usage error.
#pragma once

#include <string>
#include <vector>

namespace cli {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Where the program's lines go, without their line ends.
class Console {
public:
    virtual ~Console() = default;
    virtual void out(const std::wstring& line) = 0;
    virtual void err(const std::wstring& line) = 0;
};

// Runs one command; `args` are the arguments after the program's name.
int runOrtTool(const std::vector<std::wstring>& args, Console& console);

}  // namespace cli
