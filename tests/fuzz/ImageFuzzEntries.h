// Fuzzing inputs for the image decoders: bundle frames of any format and
// size, and image files (PNG as the bundle tool and extraction read them
// back; PNG, JPEG, GIF and BMP as the packer reads a media folder).
// Shared by the libFuzzer targets and the corpus replay.
#pragma once

#include <cstddef>
#include <cstdint>

// The first six bytes choose the format code and a small size; the rest is
// the frame's pixel data.
int fuzzFrameDecoding(const std::uint8_t* data, std::size_t size);
// The bytes as a PNG file.
int fuzzPngDecoding(const std::uint8_t* data, std::size_t size);
// The bytes as a JPEG, GIF or BMP file.
int fuzzJpegDecoding(const std::uint8_t* data, std::size_t size);
int fuzzGifDecoding(const std::uint8_t* data, std::size_t size);
int fuzzBmpDecoding(const std::uint8_t* data, std::size_t size);
