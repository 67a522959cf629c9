// libFuzzer target over the frame decoders.
#include "ImageFuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzFrameDecoding(data, size);
}
