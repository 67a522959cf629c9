// libFuzzer target over the PNG decoder.
#include "ImageFuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzPngDecoding(data, size);
}
