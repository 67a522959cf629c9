// Writes texture bundles for tests, benchmarks, fuzzing seeds and the sample
// skin: any mix of pixel formats, frames raw or LZO1X-1 compressed, several
// frames per entry, duplicate names, gap bytes between header and data, and
// broken variants on purpose (wrong counts, sizes and offsets, unterminated
// paths, corrupt compressed data, truncation). The records are the plugin's
// own bundle writer's (textures/BundleWriter.h); the tests check them against
// the reader and against layouts they spell out byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace ortwriter {

using Bytes = std::vector<std::uint8_t>;

// Format codes as bundles store them.
enum Code : std::uint32_t {
    kDxt1 = 1,
    kDxt3 = 2,
    kDxt5 = 4,
    kDxt5Alt = 8,
    kBgra32 = 16,
    kAlpha8 = 32,
    kRgb24 = 128,
};

struct FrameSpec {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t format = 0;  // written as is (flags in the high 16 bits allowed)
    Bytes pixels;              // the unpacked pixel data
    bool compress = false;     // as the plugin stores frames: LZO1X-1, raw when that would not be smaller
    std::uint32_t duration = 0;

    // Broken variants: what the header claims instead of the truth, and
    // stored bytes that replace the (packed) pixel data.
    std::optional<std::uint64_t> packedSize;
    std::optional<std::uint64_t> unpackedSize;
    std::optional<std::uint64_t> offset;
    std::optional<Bytes> stored;
};

struct EntrySpec {
    std::string path;  // up to 256 bytes; exactly 256 leaves no zero byte
    std::uint32_t loop = 0;
    std::vector<FrameSpec> frames;
};

struct BundleSpec {
    std::vector<EntrySpec> entries;
    std::string magic = "ORTF";  // first 4 bytes written
    char version = '2';
    std::optional<std::uint32_t> count;  // entry count written instead of the real one
    std::size_t gapBytes = 0;            // bytes between header and the first frame's data
};

// Bytes of a frame's pixel data of this format and size.
std::uint64_t pixelBytes(std::uint32_t format, std::uint32_t width, std::uint32_t height);

// Deterministic, not very compressible pixel data of the right size.
Bytes patternPixels(std::uint32_t format, std::uint32_t width, std::uint32_t height, std::uint32_t seed);

FrameSpec frame(std::uint32_t format, std::uint32_t width, std::uint32_t height, Bytes pixels, bool compress = false);

Bytes compressLzo(const Bytes& data);

// The bundle as bytes. Throws std::invalid_argument for a path over 256 bytes.
Bytes build(const BundleSpec& bundle);

// Where the header ends (and the gap, then the frame data, begins).
std::uint64_t headerBytes(const BundleSpec& bundle);

bool writeFile(const std::string& path, const Bytes& bytes);
#ifdef _WIN32
bool writeFile(const std::wstring& path, const Bytes& bytes);
#endif
// Writes and closes a file opened for writing (null: false).
bool writeFile(std::FILE* opened, const Bytes& bytes);

// An image drawn in code, 8-bit R, G, B, A per pixel, rows top to bottom.
struct Image {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes rgba;
};

// The image in a bundle format's pixel layout (DXT block-encoded, B G R A,
// alpha only, or R G B rows padded to 4 bytes).
Bytes encode(const Image& image, std::uint32_t format);

// The images of the sample skin's bundle and the bundle holding them.
BundleSpec sampleBundle();

// Small bundles covering the format's features, valid and broken: seeds
// for fuzzing. Names are file names.
std::vector<std::pair<std::string, Bytes>> seedBundles();

}  // namespace ortwriter
