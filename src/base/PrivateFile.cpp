#include "base/PrivateFile.h"

#include "base/FileAccess.h"

#include <random>

namespace files {
namespace {

// Names nobody can predict, so that no one can put a file or a link in the
// way beforehand (creation refuses an existing name anyway).
std::wstring unguessablePart() {
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::random_device source;
    std::wstring part;
    for (int i = 0; i < 4; ++i) {
        std::uint32_t value = source();
        for (int digit = 0; digit < 8; ++digit, value >>= 4) part.push_back(kHex[value & 0xF]);
    }
    return part;
}

}  // namespace

bool PrivateTempFile::create(const std::string& bytes, const std::wstring& prefix, const std::wstring& suffix,
                             const std::wstring& folder) {
    remove();
    const std::wstring where = folder.empty() ? userTemporaryFolder() : folder;
    if (where.empty()) return false;
    // A name already taken (all but impossible) gets another try.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::wstring path = where + separator() + prefix + unguessablePart() + suffix;
        if (createPrivateFile(path, bytes)) {
            path_ = path;
            return true;
        }
    }
    return false;
}

bool PrivateTempFile::remove() noexcept {
    if (path_.empty()) return true;
    if (!removeFile(path_)) return false;
    path_.clear();
    return true;
}

}  // namespace files
