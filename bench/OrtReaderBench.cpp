// The bundle reader's hot paths against their physical floors:
// - opening a bundle of 10,000 entries vs one fread of the header bytes and
//   parsing them from memory (goal: within 3x);
// - loading a 1024x1024 32-bit LZO frame vs a bare lzo1x_decompress_safe of
//   the same bytes plus one copy (goal: within 1.25x);
// - peak heap during Open, which must follow the entries, not the pixel data.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <malloc.h>
#include <unistd.h>
#include <new>
#include <string>
#include <vector>

#include <lzo/lzo1x.h>

#include "OrtWriter.h"
#include "base/TextCodec.h"
#include "textures/OrtReader.h"

// Heap accounting for the peak-memory benchmark: every operator new of the
// process is counted (the reader allocates nothing with malloc directly).
namespace heap {
std::size_t live = 0;
std::size_t peak = 0;
}  // namespace heap

void* operator new(std::size_t bytes) {
    void* p = std::malloc(bytes ? bytes : 1);
    if (!p) throw std::bad_alloc();
    heap::live += ::malloc_usable_size(p);
    if (heap::live > heap::peak) heap::peak = heap::live;
    return p;
}
void* operator new[](std::size_t bytes) { return operator new(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    try {
        return operator new(bytes);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return operator new(bytes, std::nothrow); }
void operator delete(void* p) noexcept {
    if (p) {
        heap::live -= ::malloc_usable_size(p);
        std::free(p);
    }
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

namespace fs = std::filesystem;
using namespace ortwriter;

fs::path benchFolder() {
    static const fs::path folder = [] {
        fs::path p = fs::temp_directory_path() / ("quorrel-bench-" + std::to_string(::getpid()));
        fs::create_directories(p);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(fs::temp_directory_path() / ("quorrel-bench-" + std::to_string(::getpid())), ignored);
        });
        return p;
    }();
    return folder;
}

std::wstring writeBundle(const std::string& name, const BundleSpec& bundle) {
    const fs::path path = benchFolder() / name;
    if (!fs::exists(path) && !writeFile(path.string(), build(bundle))) std::abort();
    return text::fromUtf8(path.string());
}

// 10,000 entries of small frames under folder-like names.
BundleSpec manyEntries(std::size_t count, std::uint64_t sharedFrameBytes = 0) {
    BundleSpec bundle;
    bundle.entries.reserve(count);
    const Bytes small = patternPixels(kAlpha8, 4, 4, 1);
    for (std::size_t i = 0; i < count; ++i) {
        EntrySpec entry;
        entry.path = "skin/folder" + std::to_string(i % 37) + "/image" + std::to_string(i) + ".png";
        FrameSpec f = frame(kAlpha8, 4, 4, i == 0 || sharedFrameBytes == 0 ? small : Bytes{});
        if (sharedFrameBytes != 0) {
            // Every frame claims the same large block of pixel data.
            f.pixels = i == 0 ? Bytes(static_cast<std::size_t>(sharedFrameBytes), 7) : Bytes{};
            f.width = 1024;
            f.height = static_cast<std::uint32_t>(sharedFrameBytes / 1024);
            f.packedSize = f.unpackedSize = sharedFrameBytes;
            f.offset = headerBytes(BundleSpec{}) + 0;  // patched below
        }
        entry.frames.push_back(std::move(f));
        bundle.entries.push_back(std::move(entry));
    }
    if (sharedFrameBytes != 0)
        for (EntrySpec& e : bundle.entries) e.frames[0].offset = headerBytes(bundle);
    return bundle;
}

void BM_OpenBundle(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::wstring path = writeBundle("open-" + std::to_string(count) + ".ort", manyEntries(count));
    for (auto _ : state) {
        OrtReader reader;
        if (!reader.Open(path)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(reader.entries().data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK(BM_OpenBundle)->Arg(10000)->Unit(benchmark::kMillisecond);

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint64_t le64(const unsigned char* p) { return le32(p) | static_cast<std::uint64_t>(le32(p + 4)) << 32; }

// The floor: the same header bytes in one fread, parsed from memory into the
// same records (no name index).
void BM_OpenFloor(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const BundleSpec bundle = manyEntries(count);
    const std::wstring path = writeBundle("open-" + std::to_string(count) + ".ort", bundle);
    const std::string narrow = text::toUtf8(path);
    const std::size_t bytes = static_cast<std::size_t>(headerBytes(bundle));
    for (auto _ : state) {
        std::vector<unsigned char> header(bytes);
        std::FILE* file = std::fopen(narrow.c_str(), "rb");
        if (!file || std::fread(header.data(), 1, bytes, file) != bytes) state.SkipWithError("read failed");
        std::fclose(file);
        std::vector<OrtEntry> entries;
        const unsigned char* p = header.data() + 9;
        for (std::uint32_t i = 0, n = le32(header.data() + 5); i < n; ++i) {
            OrtEntry entry;
            entry.path.assign(reinterpret_cast<const char*>(p), ::strnlen(reinterpret_cast<const char*>(p), 256));
            entry.loop = le32(p + 256);
            const std::uint32_t frames = le32(p + 260);
            p += 264;
            for (std::uint32_t f = 0; f < frames; ++f, p += 40)
                entry.frames.push_back(OrtFrame{le32(p), le32(p + 4), le32(p + 8), le64(p + 12), le64(p + 20),
                                                le32(p + 28), le64(p + 32)});
            entries.push_back(std::move(entry));
        }
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK(BM_OpenFloor)->Arg(10000)->Unit(benchmark::kMillisecond);

// A 1024x1024 B G R A picture: smooth gradients with some noise, as skins have.
Bytes picture() {
    Bytes pixels(1024 * 1024 * 4);
    std::uint32_t noise = 12345;
    for (std::size_t y = 0; y < 1024; ++y)
        for (std::size_t x = 0; x < 1024; ++x) {
            noise = noise * 1103515245 + 12345;
            std::uint8_t* p = &pixels[(y * 1024 + x) * 4];
            p[0] = static_cast<std::uint8_t>(x / 4);
            p[1] = static_cast<std::uint8_t>(y / 4 + ((noise >> 16) & 3));
            p[2] = static_cast<std::uint8_t>((x + y) / 8);
            p[3] = 255;
        }
    return pixels;
}

const BundleSpec& pictureBundle() {
    static const BundleSpec bundle = [] {
        BundleSpec b;
        EntrySpec e;
        e.path = "backgrounds/large.png";
        e.frames.push_back(frame(kBgra32, 1024, 1024, picture(), true));
        b.entries.push_back(std::move(e));
        return b;
    }();
    return bundle;
}

void BM_LoadFrame(benchmark::State& state) {
    const std::wstring path = writeBundle("picture.ort", pictureBundle());
    OrtReader reader;
    if (!reader.Open(path)) {
        state.SkipWithError("open failed");
        return;
    }
    const OrtFrame frame = reader.entries()[0].frames[0];
    for (auto _ : state) {
        auto texture = reader.LoadFrame(frame, {4096, 4096});
        if (!texture) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(texture->pixels().data());
    }
    state.counters["packed_bytes"] = static_cast<double>(frame.packedSize);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(frame.unpackedSize));
}
BENCHMARK(BM_LoadFrame)->Unit(benchmark::kMillisecond);

// The floor: the packed bytes already in memory, decompressed into a buffer
// and copied once.
void BM_LoadFloor(benchmark::State& state) {
    if (lzo_init() != LZO_E_OK) std::abort();
    const Bytes& pixels = pictureBundle().entries[0].frames[0].pixels;
    const Bytes packed = compressLzo(pixels);
    std::vector<std::uint8_t> unpacked(pixels.size()), copy(pixels.size());
    for (auto _ : state) {
        lzo_uint produced = unpacked.size();
        if (lzo1x_decompress_safe(packed.data(), packed.size(), unpacked.data(), &produced, nullptr) != LZO_E_OK)
            state.SkipWithError("decompress failed");
        std::memcpy(copy.data(), unpacked.data(), produced);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pixels.size()));
}
BENCHMARK(BM_LoadFloor)->Unit(benchmark::kMillisecond);

// Peak heap of Open for (entries, bytes of pixel data per frame). Every
// frame of the large variant claims 4 MiB of real data in the file.
void BM_OpenPeakHeap(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const auto frameBytes = static_cast<std::uint64_t>(state.range(1));
    const std::wstring path = writeBundle("peak-" + std::to_string(count) + "-" + std::to_string(frameBytes) + ".ort",
                                          manyEntries(count, frameBytes));
    std::size_t peak = 0;
    for (auto _ : state) {
        OrtReader reader;
        const std::size_t before = heap::live;
        heap::peak = before;
        if (!reader.Open(path)) state.SkipWithError("open failed");
        peak = heap::peak - before;
    }
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
    state.counters["per_entry"] = static_cast<double>(peak) / static_cast<double>(count);
}
BENCHMARK(BM_OpenPeakHeap)
    ->Args({1000, 0})
    ->Args({1000, 4 << 20})
    ->Args({10000, 0})
    ->Args({10000, 4 << 20})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
