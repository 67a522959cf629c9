// libFuzzer target over the JPEG decoder of the packer.
#include "ImageFuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzJpegDecoding(data, size);
}
