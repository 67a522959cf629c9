#include "OrtFuzzEntry.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "textures/OrtReader.h"

namespace {

// Crash loudly on a broken invariant, so the fuzzer keeps the input.
void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

int fuzzOrtBundle(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::uint8_t> copy(data, data + size);
    files::FilePtr file(::fmemopen(copy.data(), copy.size(), "rb"));
    if (!file) return 0;
    OrtReader reader;
    if (!reader.OpenStream(std::move(file), L"fuzz.ort")) {
        check(!reader.IsOpen() && reader.entries().empty(), "a failed open leaves the reader closed and empty");
        return 0;
    }
    const auto names = reader.EntryNames();
    check(names.size() == reader.entries().size(), "one name per entry");
    for (const std::wstring& name : names) check(reader.Find(name) != nullptr, "every listed name is found");

    // A small device keeps the texture buffers small; the frames' own sizes
    // still drive every read and decompression.
    const textures::TextureLimits device{256, 256};
    for (const OrtEntry& entry : reader.entries()) {
        for (const OrtFrame& frame : entry.frames) {
            auto texture = reader.LoadFrame(frame, device);
            check(reader.IsOpen(), "a frame load keeps the reader open");
            if (texture) {
                check(texture->textureWidth() <= device.maxWidth && texture->textureHeight() <= device.maxHeight,
                      "textures fit the device");
                check(texture->pixels().size() >= texture->textureBytes(), "the buffer holds the texture");
            }
        }
    }
    return 0;
}
