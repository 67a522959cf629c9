#include "textures/OrtFile.h"

#include <limits>
#include <new>

#include "base/TextCodec.h"

namespace textures {

FilePtr openForReading(const std::wstring& path) noexcept
{
#ifdef _WIN32
    return FilePtr(::_wfopen(path.c_str(), L"rb"));
#else
    try {
        return FilePtr(std::fopen(text::toUtf8(path).c_str(), "rb"));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
#endif
}

bool seekTo(std::FILE* file, std::uint64_t offset) noexcept
{
#ifdef _WIN32
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<__int64>::max()))
        return false;
    return ::_fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return false;
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::optional<std::uint64_t> fileLength(std::FILE* file) noexcept
{
#ifdef _WIN32
    if (::_fseeki64(file, 0, SEEK_END) != 0)
        return std::nullopt;
    const __int64 end = ::_ftelli64(file);
#else
    if (::fseeko(file, 0, SEEK_END) != 0)
        return std::nullopt;
    const off_t end = ::ftello(file);
#endif
    if (end < 0 || !seekTo(file, 0))
        return std::nullopt;
    return static_cast<std::uint64_t>(end);
}

}  // namespace textures
