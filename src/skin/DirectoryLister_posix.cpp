// Directory searches natively, through std::filesystem: the plugin's paths
// (backslashes between folders) become the system's, and a pattern's mask
// ("*", "*.png", "?") is matched with ASCII letters folded, as Windows does.
#include "skin/DirectoryReader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "base/TextCodec.h"

namespace fs = std::filesystem;

namespace {

fs::path systemPath(const std::wstring& path) {
    std::string utf8 = text::toUtf8(path);
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    return fs::u8path(utf8);
}

wchar_t folded(wchar_t c) { return c < 0x80 ? static_cast<wchar_t>(std::tolower(static_cast<int>(c))) : c; }

// '*' any run, '?' one character; iterative, so a long name cannot make it slow.
bool matches(const std::wstring& mask, const std::wstring& name) {
    std::size_t m = 0, n = 0, star = std::wstring::npos, resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == L'?' || folded(mask[m]) == folded(name[n]))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == L'*') {
            star = m++;
            resume = n;
        } else if (star != std::wstring::npos) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == L'*') ++m;
    return m == mask.size();
}

class FilesystemLister : public DirectoryLister {
public:
    bool list(const std::wstring& pattern, std::vector<DirItem>& out) override {
        out.clear();
        try {
            const std::size_t slash = pattern.find_last_of(L"\\/");
            const std::wstring folder = slash == std::wstring::npos ? L"." : pattern.substr(0, slash);
            std::wstring mask = slash == std::wstring::npos ? pattern : pattern.substr(slash + 1);
            if (mask == L"*.*") mask = L"*";  // Windows' old rule: names without a dot match it too
            std::error_code error;
            fs::directory_iterator it(systemPath(folder.empty() ? L"/" : folder), error);
            for (; !error && it != fs::directory_iterator(); it.increment(error)) {
                DirItem item;
                item.name = text::fromUtf8(it->path().filename().u8string());
                if (!matches(mask, item.name)) continue;
                std::error_code kind;
                item.isLink = it->is_symlink(kind);
                item.isFolder = it->is_directory(kind);
                out.push_back(std::move(item));
            }
            return !out.empty();
        } catch (...) {
            out.clear();
            return false;
        }
    }

    FileStamp stamp(const std::wstring& path) override {
        FileStamp result;
        try {
            std::error_code error;
            const fs::path where = systemPath(path);
            const fs::file_status status = fs::status(where, error);
            if (error || !fs::exists(status)) return result;
            result.exists = true;
            result.isFolder = fs::is_directory(status);
            if (!result.isFolder) {
                const std::uintmax_t size = fs::file_size(where, error);
                result.size = error ? 0 : static_cast<std::uint64_t>(size);
            }
            const auto time = fs::last_write_time(where, error);
            if (!error) result.writeTime = static_cast<std::uint64_t>(time.time_since_epoch().count());
        } catch (...) {
            return FileStamp{};
        }
        return result;
    }
};

}  // namespace

std::unique_ptr<DirectoryLister> makePlatformDirectoryLister() { return std::make_unique<FilesystemLister>(); }
