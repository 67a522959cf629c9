// Writing texture bundles: the header's records exactly as OrtReader reads
// them (OrtReader.h describes the layout), and how a frame's pixel data is
// stored. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "textures/OrtReader.h"

namespace ort {

using Bytes = std::vector<std::uint8_t>;

// The file header: magic, version and entry count.
void putFileHeader(Bytes& out, std::uint32_t entryCount);
// An entry's record before its frames: the path in its 256-byte field,
// zero-filled after it (a path of exactly 256 bytes has no terminator), the
// loop value and the frame count. False for a longer path.
bool putEntryHeader(Bytes& out, std::string_view path, std::uint32_t loop, std::uint32_t frameCount);
// One frame's record.
void putFrameRecord(Bytes& out, const OrtFrame& frame);
// Size of the header of a bundle with this many entries and frames in all.
std::uint64_t headerBytes(std::uint64_t entries, std::uint64_t frames);

// A frame's pixel data as the bundle stores it: LZO1X-1 compressed when that
// is smaller, otherwise as it is (the reader tells the two apart by the
// sizes). False when memory runs out or the compressor fails.
bool storeFrame(const std::uint8_t* pixels, std::size_t size, Bytes& stored) noexcept;

}  // namespace ort
