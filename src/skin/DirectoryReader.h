// A recursive directory reader: the folders under a start folder in
// post-order, then the files matching a mask in each of them. Paths are
// UTF-16 throughout, so folders outside the ANSI code page list as they are.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What one directory search reports for each match.
struct DirItem {
    std::wstring name;  // as the system returns it, no folder part
    bool isFolder = false;
    bool isLink = false;  // a reparse point (junction, symbolic link)
};

// What a cheap look at one path tells: enough to see that a file or a folder
// changed since the last look (a folder's time moves when entries come or go).
struct FileStamp {
    bool exists = false;
    bool isFolder = false;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && isFolder == o.isFolder && size == o.size && writeTime == o.writeTime;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

// The seam to the file system: one search over a pattern made of a folder, a
// backslash and a mask ("C:\skin\media\*.png"), matches in the system's order.
class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // False when the search cannot be made (no such folder, no match).
    virtual bool list(const std::wstring& pattern, std::vector<DirItem>& out) = 0;
    // The path's own size and time, read without searching its folder.
    virtual FileStamp stamp(const std::wstring& path) = 0;
};

// The file system of the platform the plugin runs on (FindFirstFileW on Windows).
std::unique_ptr<DirectoryLister> makePlatformDirectoryLister();

struct DirEntry {
    std::wstring path;  // folder, a backslash, the file name
};

// Trailing blanks go, then trailing backslashes (or, in a path without any
// backslash, trailing forward slashes).
std::wstring NormaliseFolder(std::wstring folder);

class DirectoryReader {
public:
    explicit DirectoryReader(DirectoryLister& lister) : lister_(lister) {}
    virtual ~DirectoryReader() = default;

    // Every folder below `start`, each after its descendants, then `start`.
    bool ScanFolders(const std::wstring& start);
    // Appends every file matching `mask` in every scanned folder. False when a
    // search fails with an exception (memory); what was found stays.
    bool FindFiles(const std::wstring& mask);
    void ClearFiles() { files_.clear(); }

    const std::wstring& startFolder() const { return startFolder_; }
    const std::vector<std::wstring>& folders() const { return folders_; }
    const std::vector<DirEntry>& files() const { return files_; }

private:
    void walk(const std::wstring& folder, int depth);

    DirectoryLister& lister_;
    std::wstring startFolder_;
    std::vector<std::wstring> folders_;
    std::vector<DirEntry> files_;
};
