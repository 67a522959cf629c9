#include "textures/OrtReader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include <lzo/lzo1x.h>

#include "base/TextCodec.h"
#include "textures/PixelLayout.h"

using namespace textures;

namespace {

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(le32(p)) | static_cast<std::uint64_t>(le32(p + 4)) << 32;
}

bool readExactly(std::FILE* file, void* buffer, std::size_t bytes) {
    return std::fread(buffer, 1, bytes, file) == bytes;
}

OrtFrame decodeFrame(const unsigned char* p) {
    OrtFrame frame;
    frame.width = le32(p);
    frame.height = le32(p + 4);
    frame.format = le32(p + 8);
    frame.packedSize = le64(p + 12);
    frame.unpackedSize = le64(p + 20);
    frame.duration = le32(p + 28);
    frame.offset = le64(p + 32);
    return frame;
}

// Frame data may claim up to 4 GiB; nothing is zero-filled.
std::unique_ptr<std::uint8_t[]> allocateBytes(std::uint64_t bytes) noexcept {
    if (bytes > std::numeric_limits<std::size_t>::max()) return nullptr;
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bytes)]);
}

// The header read in large chunks rather than field by field: an index of
// ten thousand entries costs a few reads, not tens of thousands of calls.
class HeaderStream {
public:
    explicit HeaderStream(std::FILE* file) : file_(file), buffer_(kChunkBytes) {}

    // The next `bytes` bytes (at most a chunk), or null at a short read.
    const unsigned char* next(std::size_t bytes) {
        if (end_ - at_ < bytes) {
            std::memmove(buffer_.data(), buffer_.data() + at_, end_ - at_);
            end_ -= at_;
            at_ = 0;
            end_ += std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
            if (end_ < bytes) return nullptr;
        }
        const unsigned char* here = buffer_.data() + at_;
        at_ += bytes;
        consumed_ += bytes;
        return here;
    }
    std::uint64_t consumed() const { return consumed_; }

private:
    static constexpr std::size_t kChunkBytes = 64 * 1024;
    std::FILE* file_;
    std::vector<unsigned char> buffer_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    std::uint64_t consumed_ = 0;
};

constexpr std::uint64_t kLargestFrameBytes = std::numeric_limits<std::uint32_t>::max();

// LZO1X cannot expand one input byte to more than 255 output bytes (a long
// match spends a zero byte per 255 of length), so a frame claiming more
// cannot decompress to its size: refusing it at once spares an allocation of
// up to 4 GiB asked for by a few bytes of file.
constexpr std::uint64_t kLargestExpansion = 256;
constexpr std::uint64_t kExpansionSlack = 4096;

}  // namespace

bool OrtReader::Open(const std::wstring& path) noexcept {
    Close();
    try {
        path_ = path;
    } catch (const std::bad_alloc&) {
        return false;
    }
    files::FilePtr file = files::open(path, "rb");
    if (!file) return false;
    return OpenStream(std::move(file), path_);
}

bool OrtReader::OpenStream(files::FilePtr file, const std::wstring& path) noexcept {
    Close();
    bool ok = false;
    try {
        if (&path != &path_) path_ = path;
        file_ = std::move(file);
        ok = file_ && readHeader() && lzo_init() == LZO_E_OK;
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok) Close();
    return ok;
}

bool OrtReader::readHeader() {
    const auto length = files::fileLength(file_.get());
    if (!length) return false;
    fileLength_ = *length;

    HeaderStream in(file_.get());
    const unsigned char* head = in.next(ort::kFileHeaderBytes);
    if (!head || std::memcmp(head, ort::kMagic, sizeof ort::kMagic) != 0 || head[4] != ort::kVersion) return false;
    const std::uint32_t count = le32(head + 5);

    // Room is reserved for no more records than the rest of the file can
    // hold, so a huge count fails at its first short read having allocated
    // only in proportion to the file.
    const auto fitting = [this, &in](std::uint64_t wanted, std::uint64_t recordBytes) {
        const std::uint64_t left = fileLength_ > in.consumed() ? fileLength_ - in.consumed() : 0;
        return static_cast<std::size_t>(std::min(wanted, left / recordBytes));
    };
    entries_.reserve(fitting(count, ort::kEntryHeaderBytes));
    for (std::uint32_t i = 0; i < count; ++i) {
        const unsigned char* entryHead = in.next(ort::kEntryHeaderBytes);
        if (!entryHead) return false;
        OrtEntry entry;
        const void* zero = std::memchr(entryHead, 0, ort::kPathBytes);
        const std::size_t pathLength =
            zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - entryHead) : ort::kPathBytes;
        entry.path.assign(reinterpret_cast<const char*>(entryHead), pathLength);
        entry.loop = le32(entryHead + ort::kPathBytes);
        const std::uint32_t frames = le32(entryHead + ort::kPathBytes + 4);
        if (frames > 1) entry.frames.reserve(fitting(frames, ort::kFrameBytes));
        for (std::uint32_t f = 0; f < frames; ++f) {
            const unsigned char* frame = in.next(ort::kFrameBytes);
            if (!frame) return false;
            entry.frames.push_back(decodeFrame(frame));
        }
        entries_.push_back(std::move(entry));
    }
    // Exactly the fields the counts call for were read, so the header ends
    // where its counts say: 9 + the sum of 264 + 40 x frames over the entries.

    // Keys view the entries' own paths, which stay put from here on. Later
    // duplicates replace earlier ones.
    byName_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) byName_.insert_or_assign(std::string_view(entries_[i].path), i);
    return true;
}

void OrtReader::Close() noexcept {
    file_.reset();
    byName_.clear();
    entries_.clear();
    fileLength_ = 0;
}

std::vector<std::wstring> OrtReader::EntryNames() const {
    std::vector<std::wstring> names;
    names.reserve(entries_.size());
    for (const OrtEntry& entry : entries_) names.push_back(text::widenBytes(entry.path));
    return names;
}

const OrtEntry* OrtReader::Find(const std::wstring& name) const {
    // Names are bytes widened one to one, so a name with a character beyond
    // 0xFF names no entry; any other narrows back to exactly its bytes.
    std::string bytes;
    bytes.reserve(name.size());
    for (const wchar_t c : name) {
        if (static_cast<std::uint32_t>(c) > 0xFF) return nullptr;
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(c)));
    }
    const auto found = byName_.find(bytes);
    return found == byName_.end() ? nullptr : &entries_[found->second];
}

std::unique_ptr<DXTexture> OrtReader::LoadFrame(const OrtFrame& frame) noexcept {
    return LoadFrame(frame, device_ ? device_->limits() : TextureLimits{});
}

bool OrtReader::ReadStoredBytes(const OrtFrame& frame, FrameBytes& stored) noexcept {
    stored = FrameBytes{};
    if (!file_) return false;
    if (frame.packedSize > kLargestFrameBytes || frame.unpackedSize > kLargestFrameBytes) return false;
    // Never ask for more than the file holds after the frame's offset.
    if (frame.offset > fileLength_ || frame.packedSize > fileLength_ - frame.offset) return false;
    const std::uint32_t code = frame.format & ort::kFormatCodeMask;
    if (frame.width == 0 || frame.height == 0) return false;
    const auto needed = imageBytes(code, frame.width, frame.height);
    if (!needed || *needed > frame.unpackedSize) return false;
    if (frame.unpackedSize != frame.packedSize &&
        frame.unpackedSize > frame.packedSize * kLargestExpansion + kExpansionSlack)
        return false;

    auto packed = allocateBytes(frame.packedSize);
    if (!packed) return false;
    if (!files::seekTo(file_.get(), frame.offset) ||
        !readExactly(file_.get(), packed.get(), static_cast<std::size_t>(frame.packedSize)))
        return false;
    stored.data = std::move(packed);
    stored.size = static_cast<std::size_t>(frame.packedSize);
    return true;
}

bool OrtReader::Unpack(const OrtFrame& frame, FrameBytes& stored, FrameBytes& pixels) noexcept {
    pixels = FrameBytes{};
    if (!stored.data || stored.size != frame.packedSize) return false;
    if (frame.unpackedSize == frame.packedSize) {
        pixels = std::move(stored);
        return true;
    }
    auto unpacked = allocateBytes(frame.unpackedSize);
    if (!unpacked) return false;
    lzo_uint produced = static_cast<lzo_uint>(frame.unpackedSize);
    const int result = lzo1x_decompress_safe(stored.data.get(), static_cast<lzo_uint>(stored.size), unpacked.get(),
                                             &produced, nullptr);
    if (result != LZO_E_OK || produced != frame.unpackedSize) return false;
    stored = FrameBytes{};
    pixels.data = std::move(unpacked);
    pixels.size = static_cast<std::size_t>(frame.unpackedSize);
    return true;
}

std::unique_ptr<DXTexture> OrtReader::LoadFrame(const OrtFrame& frame, const TextureLimits& limits) noexcept {
    FrameBytes stored;
    FrameBytes pixels;
    if (!ReadStoredBytes(frame, stored) || !Unpack(frame, stored, pixels)) return nullptr;
    const std::uint32_t code = frame.format & ort::kFormatCodeMask;
    std::unique_ptr<DXTexture> texture(new (std::nothrow) DXTexture(device_));
    if (!texture || !texture->CopyPixels(frame.width, frame.height, code, pixels.data.get(), pixels.size, limits))
        return nullptr;
    return texture;
}
