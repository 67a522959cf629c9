// libFuzzer target over the GIF decoder of the packer.
#include "ImageFuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzGifDecoding(data, size);
}
