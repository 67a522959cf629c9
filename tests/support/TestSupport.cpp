#include "support/TestSupport.h"

#include "base/FileAccess.h"
#include "base/Files.h"
#include "base/TextCodec.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace testsupport {

std::string narrow(const std::wstring& wide) { return text::toUtf8(wide); }

std::wstring widen(const std::string& utf8) { return text::fromUtf8(utf8); }

fs::path nativePath(const std::wstring& path) { return fs::u8path(text::toUtf8(path)); }

std::wstring widePath(const fs::path& path) { return text::fromUtf8(path.u8string()); }

std::wstring joinPath(const std::wstring& folder, const std::wstring& name) {
    return folder + files::separator() + name;
}

bool fileExists(const std::wstring& path) { return files::exists(path); }

bool readFile(const std::wstring& path, std::string& bytes) {
    std::vector<std::uint8_t> read;
    if (!files::readAll(path, read)) return false;
    bytes.assign(read.begin(), read.end());
    return true;
}

std::string readFile(const std::wstring& path) {
    std::string bytes;
    return readFile(path, bytes) ? bytes : std::string();
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
    files::FilePtr file = files::open(path, "wb");
    if (!file) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}

bool copyTree(const std::wstring& from, const std::wstring& to) {
    std::error_code error;
    fs::copy(nativePath(from), nativePath(to), fs::copy_options::recursive | fs::copy_options::overwrite_existing,
             error);
    return !error;
}

namespace {

// Removes what can be removed and goes on past the rest. (std::filesystem's
// remove_all never returns under Wine when a Linux program left a name
// Windows cannot spell, such as one with '?'.)
void removeBelow(const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator(); it.increment(error))
        entries.push_back(it->path());
    for (const fs::path& entry : entries) {
        std::error_code ignored;
        const fs::file_status status = fs::symlink_status(entry, ignored);
        if (fs::is_directory(status)) removeBelow(entry);
        if (!fs::remove(entry, ignored) && !fs::is_symlink(status)) {
            // A read-only file (or, natively, a folder without write permission).
            fs::permissions(entry, fs::perms::owner_all, fs::perm_options::add, ignored);
            fs::remove(entry, ignored);
        }
    }
}

}  // namespace

void removeTree(const std::wstring& path) {
    const fs::path root = nativePath(path);
    std::error_code ignored;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
    removeBelow(root);
    fs::remove(root, ignored);
}

std::vector<std::wstring> listFiles(const std::wstring& folder) {
    std::vector<std::wstring> files;
    const fs::path root = nativePath(folder);
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        std::error_code ignored;
        if (!it->is_directory(ignored)) files.push_back(widePath(it->path().lexically_relative(root)));
    }
    std::sort(files.begin(), files.end());
    return files;
}

ScratchFolder::ScratchFolder(const std::wstring& tag, const std::wstring& parent) {
    static std::atomic<unsigned> counter{0};
    std::error_code error;
    const fs::path base = parent.empty() ? fs::temp_directory_path(error) : nativePath(parent);
    std::mt19937 random(std::random_device{}() ^
                        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name =
            L"quorrel-" + tag + L"-" + std::to_wstring(random() % 1000000u) + L"-" + std::to_wstring(++counter);
        const fs::path candidate = base / nativePath(name);
        // create_directory says false for a folder that was already there:
        // another test's, which must not be shared.
        if (fs::create_directory(candidate, error)) {
            path_ = widePath(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot make a scratch folder in " + base.u8string());
}

ScratchFolder::~ScratchFolder() { removeTree(path_); }

}  // namespace testsupport
