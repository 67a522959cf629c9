// Helpers shared by the tests, native and under Wine alike: files, scratch
// folders, text. Paths are UTF-16 strings, as the code under test takes them;
// natively a path's bytes are its UTF-8, and the separator is the platform's own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// UTF-8 <-> UTF-16, e.g. for failure messages and Linux paths.
std::string narrow(const std::wstring& wide);
std::wstring widen(const std::string& utf8);

// The file system's path for a test path, and back.
std::filesystem::path nativePath(const std::wstring& path);
std::wstring widePath(const std::filesystem::path& path);
// folder + the platform's separator + name.
std::wstring joinPath(const std::wstring& folder, const std::wstring& name);

bool fileExists(const std::wstring& path);
// The file's bytes; empty when it cannot be read.
std::string readFile(const std::wstring& path);
// False when the file cannot be read.
bool readFile(const std::wstring& path, std::string& bytes);
// Creates or replaces the file.
bool writeFile(const std::wstring& path, const std::string& bytes);
// Copies a folder with everything below it; false when anything failed.
bool copyTree(const std::wstring& from, const std::wstring& to);
// Removes a folder with everything below it, read-only files included.
void removeTree(const std::wstring& path);
// Every file below `folder`, as paths relative to it (the platform's
// separator), sorted.
std::vector<std::wstring> listFiles(const std::wstring& folder);

// A fresh folder, removed with everything in it at the end. Its name is
// "quorrel-<tag>-" and something unique, in `parent` (by default the system's
// temporary folder); tests may run in parallel processes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& tag = L"test", const std::wstring& parent = std::wstring());
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return joinPath(path_, name); }
    std::wstring operator/(const std::wstring& name) const { return file(name); }

private:
    std::wstring path_;
};

}  // namespace testsupport
