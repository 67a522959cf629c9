// An in-memory folder tree standing in for the file system: folders hold
// sub-folders and files in the order they were added, which is the order a
// search reports them in.
#pragma once

#include "skin/CSADirRead.h"

#include <map>
#include <string>
#include <vector>

class FakeFileSystem : public DirectoryLister {
public:
    // Adds the file and every folder on its way (paths with backslashes).
    void addFile(const std::wstring& path) { add(path, false); }
    void addFolder(const std::wstring& path) { add(path, true); }
    void addLink(const std::wstring& folder, const std::wstring& name) {
        addFolder(folder);
        folders_[folder].push_back(DirItem{name, true, true});
    }

    bool list(const std::wstring& pattern, std::vector<DirItem>& out) override {
        ++searches;
        patterns.push_back(pattern);
        out.clear();
        const std::size_t slash = pattern.rfind(L'\\');
        const auto folder = folders_.find(pattern.substr(0, slash));
        if (slash == std::wstring::npos || folder == folders_.end()) {
            return false;
        }
        std::wstring mask = pattern.substr(slash + 1);
        if (mask == L"*.*") {
            mask = L"*";  // the system's old rule: "*.*" also matches names without a dot
        }
        out.push_back(DirItem{L".", true, false});
        out.push_back(DirItem{L"..", true, false});
        for (const DirItem& item : folder->second) {
            if (matches(mask, item.name)) {
                out.push_back(item);
            }
        }
        return out.size() > 2 || matches(mask, L".");
    }

    int searches = 0;
    std::vector<std::wstring> patterns;

private:
    void add(const std::wstring& path, bool folder) {
        const std::size_t slash = path.rfind(L'\\');
        if (slash == std::wstring::npos) {
            folders_[path];
            return;
        }
        const std::wstring parent = path.substr(0, slash);
        if (!folders_.count(parent)) {
            add(parent, true);
        }
        auto& items = folders_[parent];
        const std::wstring name = path.substr(slash + 1);
        for (const DirItem& item : items) {
            if (item.name == name) {
                return;
            }
        }
        items.push_back(DirItem{name, folder, false});
        if (folder) {
            folders_[path];
        }
    }

    static wchar_t fold(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

    // '*' and '?' as the system reads them, letters folded.
    static bool matches(const std::wstring& mask, const std::wstring& name, std::size_t m = 0, std::size_t n = 0) {
        if (m == mask.size()) {
            return n == name.size();
        }
        if (mask[m] == L'*') {
            for (std::size_t k = n; k <= name.size(); ++k) {
                if (matches(mask, name, m + 1, k)) {
                    return true;
                }
            }
            return false;
        }
        if (n == name.size()) {
            return false;
        }
        if (mask[m] == L'?' || fold(mask[m]) == fold(name[n])) {
            return matches(mask, name, m + 1, n + 1);
        }
        return false;
    }

    std::map<std::wstring, std::vector<DirItem>> folders_;
};
