// One fuzzing input: the bytes of a would-be bundle, opened, indexed and
// every frame loaded. Shared by the libFuzzer target and the corpus replay.
#pragma once

#include <cstddef>
#include <cstdint>

int fuzzOrtBundle(const std::uint8_t* data, std::size_t size);
