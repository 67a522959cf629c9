#include "skin/DirectoryReader.h"

#include <cwctype>
#include <exception>

namespace {

bool isDotEntry(const std::wstring& name) { return name == L"." || name == L".."; }

// Deeper than any real skin; stops a file system that reports a folder inside
// itself (a loop the link flag did not reveal) from exhausting the stack.
constexpr int kMaxDepth = 64;

// '\\' on Windows; '/' for a native program's POSIX paths (no backslash in them).
wchar_t separatorOf(const std::wstring& folder) {
    return folder.find(L'\\') == std::wstring::npos && folder.find(L'/') != std::wstring::npos ? L'/' : L'\\';
}

}  // namespace

std::wstring NormaliseFolder(std::wstring folder) {
    while (!folder.empty() && std::iswspace(static_cast<std::wint_t>(folder.back()))) {
        folder.pop_back();
    }
    const wchar_t separator = folder.find(L'\\') != std::wstring::npos ? L'\\' : L'/';
    while (!folder.empty() && folder.back() == separator) {
        folder.pop_back();
    }
    return folder;
}

bool DirectoryReader::ScanFolders(const std::wstring& start) {
    startFolder_ = NormaliseFolder(start);
    folders_.clear();
    walk(startFolder_, 0);
    folders_.push_back(startFolder_);
    return true;
}

void DirectoryReader::walk(const std::wstring& folder, int depth) {
    if (depth >= kMaxDepth) {
        return;
    }
    std::vector<DirItem> items;
    const wchar_t sep = separatorOf(folder);
    if (!lister_.list(folder + sep + L"*.*", items)) {
        return;
    }
    for (const DirItem& item : items) {
        // A link may lead back up the tree; its target is listed where it really is.
        if (!item.isFolder || item.isLink || isDotEntry(item.name)) {
            continue;
        }
        std::wstring sub = folder + sep + item.name;
        walk(sub, depth + 1);
        folders_.push_back(std::move(sub));
    }
}

bool DirectoryReader::FindFiles(const std::wstring& mask) {
    try {
        for (const std::wstring& folder : folders_) {
            if (folder.empty()) {
                continue;
            }
            const std::wstring base = NormaliseFolder(folder);
            std::vector<DirItem> items;
            const wchar_t sep = separatorOf(base);
            if (!lister_.list(base + sep + mask, items)) {
                continue;
            }
            for (const DirItem& item : items) {
                if (item.isFolder || isDotEntry(item.name)) {
                    continue;
                }
                files_.push_back(DirEntry{base + sep + item.name});
            }
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
