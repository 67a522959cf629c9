// Reading a skin's include files: the include names that includes.xml and the
// files it lists define, and the files read on the way. One scan serves the
// include choices of the controls panel and the reference check.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace skin {

// Whole contents of a file named by its UTF-16 path; false when unreadable.
using FileReader = std::function<bool(const std::wstring& path, std::string& bytes)>;

// The platform's files (binary, any size).
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

struct IncludeScan {
    std::vector<std::wstring> names;  // "name" attributes, includes.xml's first
    std::vector<std::wstring> files;  // "file" attributes of includes.xml, in order
    std::vector<std::wstring> paths;  // every file the scan tried to read, includes.xml first
    bool rootRead = false;            // includes.xml was read and is an includes file
};

// Scans includes.xml at `includesPath`. The files it lists are read after it
// (each path made by putting the entry in place of "includes.xml"), and their
// names follow all of includes.xml's own. `depth` 1 stops there; a larger one
// also follows the files that those files list, level by level, each file
// read once.
IncludeScan ScanIncludes(const FileReader& readFile, const std::wstring& includesPath, int depth);

}  // namespace skin
