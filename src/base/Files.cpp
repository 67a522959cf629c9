#include "base/Files.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/FileAccess.h"
#include "base/TextCodec.h"

namespace fs = std::filesystem;

namespace files {

bool exists(const std::wstring& path) noexcept {
    try {
        std::error_code error;
        return fs::exists(systemPath(path), error);
    } catch (...) {
        return false;
    }
}

bool createFolders(const std::wstring& folder) noexcept {
    try {
        const fs::path target = systemPath(folder);
        std::error_code error;
        fs::create_directories(target, error);
        // Another writer may have made it meanwhile; what counts is that it is there.
        return fs::is_directory(target, error);
    } catch (...) {
        return false;
    }
}

bool listFilesBelow(const std::wstring& folder, std::vector<std::wstring>& relative) noexcept {
    relative.clear();
    try {
        const fs::path root = systemPath(folder);
        std::error_code error;
        if (!fs::is_directory(root, error)) return false;
        fs::recursive_directory_iterator it(root, fs::directory_options::none, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            std::error_code kind;
            if (!it->is_regular_file(kind)) continue;
            std::wstring name;
            for (const fs::path& part : it->path().lexically_relative(root)) {
                if (!name.empty()) name.push_back(L'/');
                name += text::fromUtf8(part.u8string());
            }
            relative.push_back(std::move(name));
        }
        if (error) {
            relative.clear();
            return false;
        }
        return true;
    } catch (...) {
        relative.clear();
        return false;
    }
}

bool readAll(const std::wstring& path, std::vector<std::uint8_t>& bytes) noexcept {
    try {
        std::ifstream in(systemPath(path), std::ios::binary);
        if (!in) return false;
        in.seekg(0, std::ios::end);
        const std::streamoff length = in.tellg();
        if (length < 0) return false;
        in.seekg(0, std::ios::beg);
        bytes.resize(static_cast<std::size_t>(length));
        in.read(reinterpret_cast<char*>(bytes.data()), length);
        return static_cast<std::streamoff>(in.gcount()) == length;
    } catch (...) {
        return false;
    }
}

std::wstring pendingName(const std::wstring& path) { return path + L".tmp"; }

namespace {

void discard(const std::wstring& path) noexcept {
    try {
        std::error_code error;
        fs::remove(systemPath(path), error);
    } catch (...) {
    }
}

}  // namespace

bool writeWhole(const std::wstring& path, const std::uint8_t* data, std::size_t size, bool keepExisting) noexcept {
    std::wstring pending;
    try {
        pending = pendingName(path);
        const fs::path target = systemPath(path);
        const fs::path temporary = systemPath(pending);
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            if (!out) return false;
            out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
            out.close();
            if (!out) {
                discard(pending);
                return false;
            }
        }
        std::error_code error;
        if (keepExisting && fs::exists(target, error)) {
            discard(pending);
            return false;
        }
        fs::rename(temporary, target, error);
        if (error) {
            discard(pending);
            return false;
        }
        return true;
    } catch (...) {
        if (!pending.empty()) discard(pending);
        return false;
    }
}

}  // namespace files
