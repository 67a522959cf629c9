// On Windows: a new file whose security descriptor lets the user alone in
// (one access-allowed entry for the user's own SID, nothing inherited from
// the folder), in the folder GetTempPathW names.
#include "base/PrivateFile.h"

#include "base/Win32Handles.h"

#include <windows.h>

#include <vector>

namespace files {
namespace {

// The SID of the user this process runs as, in a buffer of its own.
bool currentUserSid(std::vector<unsigned char>& buffer) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const win::KernelHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return false;
    buffer.resize(size);
    return ::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size) != FALSE;
}

// A descriptor with a protected list that grants the user everything and
// nobody else anything. It points into `acl` and `user`, which must outlive it.
bool ownerOnlyDescriptor(SECURITY_DESCRIPTOR& descriptor, std::vector<unsigned char>& acl,
                         std::vector<unsigned char>& user) {
    if (!currentUserSid(user)) return false;
    PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    acl.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sid));
    auto* list = reinterpret_cast<ACL*>(acl.data());
    return ::InitializeAcl(list, static_cast<DWORD>(acl.size()), ACL_REVISION) &&
           ::AddAccessAllowedAce(list, ACL_REVISION, FILE_ALL_ACCESS, sid) &&
           ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           ::SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE) &&
           ::SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

}  // namespace

std::wstring userTemporaryFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, folder);
    if (n == 0 || n > MAX_PATH) return {};
    std::wstring path(folder, n);
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

bool createPrivateFile(const std::wstring& path, const std::string& bytes) noexcept {
    try {
        SECURITY_DESCRIPTOR descriptor{};
        std::vector<unsigned char> acl;
        std::vector<unsigned char> user;
        if (!ownerOnlyDescriptor(descriptor, acl, user)) return false;
        SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
        // CREATE_NEW never opens what is already there, a link included.
        win::KernelHandle file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
        if (!file) return false;
        DWORD written = 0;
        const bool complete = bytes.empty() || (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                                            &written, nullptr) &&
                                                written == bytes.size());
        file.reset();
        if (complete) return true;
        ::DeleteFileW(path.c_str());
        return false;
    } catch (...) {
        return false;
    }
}

}  // namespace files
