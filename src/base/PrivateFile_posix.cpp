// Elsewhere: a new file of mode 0600 under $TMPDIR (or /tmp).
#include "base/PrivateFile.h"

#include "base/TextCodec.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace files {

std::wstring userTemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return text::fromUtf8(path);
}

bool createPrivateFile(const std::wstring& path, const std::string& bytes) noexcept {
    try {
        const std::string name = text::toUtf8(path);
        // O_EXCL with O_CREAT also refuses a link at the name.
        const int file = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (file < 0) return false;
        std::size_t done = 0;
        bool written = true;
        while (written && done < bytes.size()) {
            const ssize_t n = ::write(file, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EINTR) {
                written = false;
            }
        }
        const bool closed = ::close(file) == 0;
        if (written && closed) return true;
        ::unlink(name.c_str());
        return false;
    } catch (...) {
        return false;
    }
}

}  // namespace files
