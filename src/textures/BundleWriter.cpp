#include "textures/BundleWriter.h"

#include <cstring>

#include <lzo/lzo1x.h>

namespace ort {
namespace {

void put32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void put64(Bytes& out, std::uint64_t value) {
    put32(out, static_cast<std::uint32_t>(value));
    put32(out, static_cast<std::uint32_t>(value >> 32));
}

}  // namespace

void putFileHeader(Bytes& out, std::uint32_t entryCount) {
    out.insert(out.end(), kMagic, kMagic + sizeof kMagic);
    out.push_back(static_cast<std::uint8_t>(kVersion));
    put32(out, entryCount);
}

bool putEntryHeader(Bytes& out, std::string_view path, std::uint32_t loop, std::uint32_t frameCount) {
    if (path.size() > kPathBytes) return false;
    const std::size_t at = out.size();
    out.resize(at + kPathBytes, 0);
    if (!path.empty()) std::memcpy(out.data() + at, path.data(), path.size());
    put32(out, loop);
    put32(out, frameCount);
    return true;
}

void putFrameRecord(Bytes& out, const OrtFrame& frame) {
    put32(out, frame.width);
    put32(out, frame.height);
    put32(out, frame.format);
    put64(out, frame.packedSize);
    put64(out, frame.unpackedSize);
    put32(out, frame.duration);
    put64(out, frame.offset);
}

std::uint64_t headerBytes(std::uint64_t entries, std::uint64_t frames) {
    return kFileHeaderBytes + entries * kEntryHeaderBytes + frames * kFrameBytes;
}

bool storeFrame(const std::uint8_t* pixels, std::size_t size, Bytes& stored) noexcept {
    // lzo_init checks the library against its headers; once is enough.
    static const bool ready = lzo_init() == LZO_E_OK;
    try {
        stored.clear();
        if (ready && size > 0) {
            // The compressor's worst case for incompressible input.
            stored.resize(size + size / 16 + 64 + 3);
            std::vector<std::uint8_t> work(LZO1X_1_MEM_COMPRESS);
            lzo_uint produced = stored.size();
            if (lzo1x_1_compress(pixels, size, stored.data(), &produced, work.data()) == LZO_E_OK && produced < size) {
                stored.resize(produced);
                return true;
            }
        }
        stored.assign(pixels, pixels + size);
        return true;
    } catch (...) {
        stored.clear();
        return false;
    }
}

}  // namespace ort
