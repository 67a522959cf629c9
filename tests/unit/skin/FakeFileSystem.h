// An in-memory folder tree standing in for the file system: folders hold
// sub-folders and files in the order they were added, which is the order a
// search reports them in. Every change moves the clock: the changed path and
// its folder get a new time, as on a real file system.
#pragma once

#include "skin/DirectoryReader.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FakeFileSystem : public DirectoryLister {
public:
    // Windows paths, or POSIX ones as a native program names them.
    static constexpr const wchar_t* kSeparators = L"\\/";

    // Adds the file and every folder on its way.
    void addFile(const std::wstring& path, std::uint64_t size = 0) {
        add(path, false);
        stamps_[path].size = size;
    }
    // The file's content changed (its size and time do; its folder's do not).
    void touch(const std::wstring& path, std::uint64_t size) { stamps_[path] = {true, false, size, ++clock_}; }
    void remove(const std::wstring& path) {
        const std::size_t slash = path.find_last_of(kSeparators);
        auto& items = folders_[path.substr(0, slash)];
        for (auto it = items.begin(); it != items.end(); ++it) {
            if (it->name == path.substr(slash + 1)) {
                items.erase(it);
                break;
            }
        }
        stamps_.erase(path);
        folders_.erase(path);
        stamps_[path.substr(0, slash)].writeTime = ++clock_;
    }
    void addFolder(const std::wstring& path) { add(path, true); }
    void addLink(const std::wstring& folder, const std::wstring& name) {
        addFolder(folder);
        folders_[folder].push_back(DirItem{name, true, true});
    }

    bool list(const std::wstring& pattern, std::vector<DirItem>& out) override {
        ++searches;
        patterns.push_back(pattern);
        out.clear();
        const std::size_t slash = pattern.find_last_of(kSeparators);
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

    FileStamp stamp(const std::wstring& path) override {
        ++stamps;
        const auto it = stamps_.find(path);
        return it == stamps_.end() ? FileStamp{} : it->second;
    }

    int searches = 0;
    int stamps = 0;
    std::vector<std::wstring> patterns;

private:
    void add(const std::wstring& path, bool folder) {
        const std::size_t slash = path.find_last_of(kSeparators);
        if (slash == std::wstring::npos) {
            folders_[path];
            stamps_[path] = {true, true, 0, ++clock_};
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
        stamps_[path] = {true, folder, 0, ++clock_};
        stamps_[parent].writeTime = clock_;
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
    std::map<std::wstring, FileStamp> stamps_;
    std::uint64_t clock_ = 0;
};
