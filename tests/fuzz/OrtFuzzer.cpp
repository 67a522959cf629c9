// libFuzzer target over the bundle reader.
#include "OrtFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { return fuzzOrtBundle(data, size); }
