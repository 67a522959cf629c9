// Directory searches by UTF-16 path, so skins in folders whose names fall
// outside the ANSI code page are found as they are.
#include "skin/DirectoryReader.h"

#include <windows.h>

namespace {

struct FindHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~FindHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::FindClose(handle);
        }
    }
};

class Win32Lister : public DirectoryLister {
public:
    bool list(const std::wstring& pattern, std::vector<DirItem>& out) override {
        out.clear();
        WIN32_FIND_DATAW data{};
        FindHandle find;
        find.handle = ::FindFirstFileW(pattern.c_str(), &data);
        if (find.handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        do {
            DirItem item;
            item.name = data.cFileName;
            item.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            item.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            out.push_back(std::move(item));
        } while (::FindNextFileW(find.handle, &data));
        return true;
    }

    // Read from the file's own record: a search reads the folder's copy of
    // it, which the system may update only later.
    FileStamp stamp(const std::wstring& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        FileStamp result;
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
            return result;
        }
        result.exists = true;
        result.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        result.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        result.writeTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime;
        return result;
    }
};

}  // namespace

std::unique_ptr<DirectoryLister> makePlatformDirectoryLister() { return std::make_unique<Win32Lister>(); }
