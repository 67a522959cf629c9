#include "OrtWriter.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include <lzo/lzo1x.h>

#include "textures/BundleWriter.h"

namespace ortwriter {
namespace {

// What a frame stores: its own replacement bytes, or its pixels as the
// plugin's writer stores them (compressed when asked and worth it).
Bytes storedBytes(const FrameSpec& f) {
    if (f.stored) return *f.stored;
    if (f.compress) {
        Bytes stored;
        if (!ort::storeFrame(f.pixels.data(), f.pixels.size(), stored))
            throw std::runtime_error("storing a frame failed");
        return stored;
    }
    return f.pixels;
}

}  // namespace

std::uint64_t pixelBytes(std::uint32_t format, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t w = width, h = height;
    switch (format & 0xFFFF) {
    case kDxt1:
        return (w + 3) / 4 * 8 * ((h + 3) / 4);
    case kDxt3:
    case kDxt5:
    case kDxt5Alt:
        return (w + 3) / 4 * 16 * ((h + 3) / 4);
    case kAlpha8:
        return w * h;
    case kRgb24:
        return (w * 3 + 3) / 4 * 4 * h;
    default:
        return w * 4 * h;
    }
}

Bytes patternPixels(std::uint32_t format, std::uint32_t width, std::uint32_t height, std::uint32_t seed) {
    Bytes out(static_cast<std::size_t>(pixelBytes(format, width, height)));
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < out.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        // Runs of equal bytes now and then, so LZO has something to do.
        out[i] = (i / 64) % 3 == 0 ? static_cast<std::uint8_t>(i / 64) : static_cast<std::uint8_t>(state);
    }
    return out;
}

FrameSpec frame(std::uint32_t format, std::uint32_t width, std::uint32_t height, Bytes pixels, bool compress) {
    FrameSpec f;
    f.format = format;
    f.width = width;
    f.height = height;
    f.pixels = std::move(pixels);
    f.compress = compress;
    return f;
}

Bytes compressLzo(const Bytes& data) {
    static const bool ready = lzo_init() == LZO_E_OK;
    if (!ready) throw std::runtime_error("lzo_init failed");
    Bytes out(data.size() + data.size() / 16 + 64 + 3);
    std::vector<unsigned char> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint produced = out.size();
    if (lzo1x_1_compress(data.data(), data.size(), out.data(), &produced, work.data()) != LZO_E_OK)
        throw std::runtime_error("lzo1x_1_compress failed");
    out.resize(produced);
    return out;
}

std::uint64_t headerBytes(const BundleSpec& bundle) {
    std::uint64_t frames = 0;
    for (const EntrySpec& e : bundle.entries) frames += e.frames.size();
    return ort::headerBytes(bundle.entries.size(), frames);
}

Bytes build(const BundleSpec& bundle) {
    std::vector<Bytes> stored;
    for (const EntrySpec& e : bundle.entries) {
        if (e.path.size() > 256) throw std::invalid_argument("entry path longer than 256 bytes: " + e.path);
        for (const FrameSpec& f : e.frames) stored.push_back(storedBytes(f));
    }

    Bytes out;
    ort::putFileHeader(out, bundle.count.value_or(static_cast<std::uint32_t>(bundle.entries.size())));
    // Broken variants: another magic or version in place of the real ones.
    std::string magic = bundle.magic;
    magic.resize(4, '\0');
    std::memcpy(out.data(), magic.data(), 4);
    out[4] = static_cast<std::uint8_t>(bundle.version);

    std::uint64_t dataAt = headerBytes(bundle) + bundle.gapBytes;
    std::size_t n = 0;
    for (const EntrySpec& e : bundle.entries) {
        ort::putEntryHeader(out, e.path, e.loop, static_cast<std::uint32_t>(e.frames.size()));
        for (const FrameSpec& f : e.frames) {
            const Bytes& data = stored[n++];
            OrtFrame record;
            record.width = f.width;
            record.height = f.height;
            record.format = f.format;
            record.packedSize = f.packedSize.value_or(data.size());
            record.unpackedSize = f.unpackedSize.value_or(f.pixels.size());
            record.duration = f.duration;
            record.offset = f.offset.value_or(dataAt);
            ort::putFrameRecord(out, record);
            dataAt += data.size();
        }
    }
    out.resize(out.size() + bundle.gapBytes, 0xEE);
    for (const Bytes& data : stored) out.insert(out.end(), data.begin(), data.end());
    return out;
}

bool writeFile(const std::string& path, const Bytes& bytes) { return writeFile(std::fopen(path.c_str(), "wb"), bytes); }

#ifdef _WIN32
bool writeFile(const std::wstring& path, const Bytes& bytes) {
    return writeFile(::_wfopen(path.c_str(), L"wb"), bytes);
}
#endif

bool writeFile(std::FILE* opened, const Bytes& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(opened, &std::fclose);
    if (!file) return false;
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

}  // namespace ortwriter
