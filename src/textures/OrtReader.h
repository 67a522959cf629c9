// Texture bundles ("textures.ort"): a header that lists every image path with
// its frames, followed by the frames' pixel data, each frame raw or LZO1X
// compressed. The reader indexes the header and reads one frame at a time on
// demand; the file stays open between lookups.
//
// Layout (little-endian): "ORTF", '2', u32 entry count, then per entry a
// 256-byte zero-terminated path, u32 loop, u32 frame count and per frame
// u32 width, height, format, u64 packed size, u64 unpacked size, u32
// duration, u64 offset of the frame's data from the start of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textures/DXTexture.h"
#include "base/FileAccess.h"

namespace ort {
constexpr char kMagic[4] = {'O', 'R', 'T', 'F'};
constexpr char kVersion = '2';
constexpr std::size_t kFileHeaderBytes = 9;
constexpr std::size_t kPathBytes = 256;
constexpr std::size_t kEntryHeaderBytes = kPathBytes + 8;
constexpr std::size_t kFrameBytes = 40;
constexpr std::uint32_t kFormatCodeMask = 0xFFFF;
}  // namespace ort

struct OrtFrame {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t format = 0;  // low 16 bits: pixel format code; high 16 bits: flags
    std::uint64_t packedSize = 0;
    std::uint64_t unpackedSize = 0;
    std::uint32_t duration = 0;
    std::uint64_t offset = 0;
};

struct OrtEntry {
    // The path field up to its zero byte; all 256 bytes when it has none.
    std::string path;
    std::uint32_t loop = 0;
    std::vector<OrtFrame> frames;
};

class OrtReader {
public:
    OrtReader() = default;
    OrtReader(const OrtReader&) = delete;
    OrtReader& operator=(const OrtReader&) = delete;
    ~OrtReader() = default;

    // Reads the bundle's header; false (and closed) when the file is missing,
    // not a bundle, truncated, or its header size disagrees with its counts.
    bool Open(const std::wstring& path) noexcept;
    // As Open, over a stream that is already open (at its start); the reader owns it.
    bool OpenStream(files::FilePtr file, const std::wstring& path) noexcept;
    void Close() noexcept;
    bool IsOpen() const noexcept { return file_ != nullptr; }

    // Entry paths widened byte by byte, in file order, duplicates included.
    std::vector<std::wstring> EntryNames() const;
    // The entry stored under exactly this name (the later one of duplicates),
    // or null. Valid until the reader is closed or reopened.
    const OrtEntry* Find(const std::wstring& name) const;

    // The device the textures of LoadFrame are made for (not owned; null, the
    // default, for none). Kept when the reader is closed or reopened.
    void useDevice(textures::TextureDevice* device) noexcept { device_ = device; }

    // Reads one frame of the open bundle into a new texture sized for the
    // reader's device; null when the frame cannot be read, does not
    // decompress to exactly its unpacked size, holds fewer bytes than its
    // size and format need, or memory cannot be had. The reader stays open.
    std::unique_ptr<DXTexture> LoadFrame(const OrtFrame& frame) noexcept;
    // As LoadFrame, sized for a device with the given largest texture size.
    std::unique_ptr<DXTexture> LoadFrame(const OrtFrame& frame, const textures::TextureLimits& limits) noexcept;

    // A frame's stored bytes as read from the file (moves the file position:
    // callers on several threads take turns), and those bytes turned into
    // its pixel data (decompressed when needed; safe on any thread). Both
    // fail where LoadFrame fails: unreadable, not decompressing to exactly
    // the unpacked size, fewer bytes than the size and format need, no memory.
    struct FrameBytes {
        std::unique_ptr<std::uint8_t[]> data;
        std::size_t size = 0;
    };
    bool ReadStoredBytes(const OrtFrame& frame, FrameBytes& stored) noexcept;
    static bool Unpack(const OrtFrame& frame, FrameBytes& stored, FrameBytes& pixels) noexcept;

    const std::vector<OrtEntry>& entries() const noexcept { return entries_; }
    const std::wstring& path() const noexcept { return path_; }

private:
    bool readHeader();

    textures::TextureDevice* device_ = nullptr;
    std::vector<OrtEntry> entries_;
    // Entry paths (viewing entries_, filled once per open) to their index.
    // Exact, case-sensitive lookups only; nothing walks it in order.
    std::unordered_map<std::string_view, std::size_t> byName_;
    files::FilePtr file_;
    std::uint64_t fileLength_ = 0;
    std::wstring path_;
};
