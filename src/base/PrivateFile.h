// A file that only the user can open, made for one use in the user's
// temporary folder (a secret handed to another program, say) and removed when
// its owner goes. The platform halves (PrivateFile_win.cpp: an owner-only
// security descriptor; PrivateFile_posix.cpp: mode 0600) create it.
#pragma once

#include <string>

namespace files {

// The user's temporary folder (no trailing separator); empty when the system names none.
std::wstring userTemporaryFolder();

// Creates `path` anew (never opening a file or link already there) so that
// only the user can open it, and writes `bytes` into it. On failure nothing is
// left at `path` that this call made.
bool createPrivateFile(const std::wstring& path, const std::string& bytes) noexcept;

class PrivateTempFile {
public:
    PrivateTempFile() = default;
    ~PrivateTempFile() { remove(); }
    PrivateTempFile(const PrivateTempFile&) = delete;
    PrivateTempFile& operator=(const PrivateTempFile&) = delete;

    // Writes `bytes` into a new private file named `prefix`, something
    // unguessable and `suffix`, in `folder` (the user's temporary folder when
    // empty). False when no file could be made.
    bool create(const std::string& bytes, const std::wstring& prefix, const std::wstring& suffix,
                const std::wstring& folder = std::wstring());
    // Empty while there is no file.
    const std::wstring& path() const { return path_; }
    // Removes the file now; true when none is left.
    bool remove() noexcept;

private:
    std::wstring path_;
};

}  // namespace files
