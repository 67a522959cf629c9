// Extraction of a bundle shaped like a real skin's: about 700 entries of
// 32-bit LZO-compressed frames, mostly small UI images (icons, buttons,
// panels with soft edges and transparency), some backgrounds up to 1920 x
// 1080. The same bundle is extracted twice: as single-thread libpng at its
// default zlib level 6 would write it, and as the plugin does (worker
// threads, its faster PNG setting). Prints both times and total file sizes
// and their ratios. Built natively and for Windows (`make bench` runs both,
// the latter under Wine).
//
//   bench_extraction [scale]   (scale < 1 for a quick run, e.g. 0.2)
#include "OrtWriter.h"
#include "SkinImages.h"
#include "base/Files.h"
#include "base/TextCodec.h"
#include "textures/BundleExtraction.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

ortwriter::BundleSpec skinBundle(double scale, std::size_t& pixelBytes) {
    struct Size {
        std::uint32_t w, h;
    };
    const Size small[] = {{16, 16},   {24, 24},  {32, 32},  {48, 48},  {64, 64},  {96, 96},
                          {128, 128}, {128, 40}, {200, 60}, {256, 64}, {300, 48}, {180, 180}};
    const Size medium[] = {{400, 300}, {512, 256}, {640, 360}, {800, 120}, {600, 450}};
    const Size large[] = {{1920, 1080}, {1280, 720}, {960, 540}, {1280, 720}, {960, 540}};
    ortwriter::BundleSpec spec;
    pixelBytes = 0;
    const auto add = [&](const std::string& path, std::uint32_t w, std::uint32_t h, ortwriter::Bytes bgra) {
        pixelBytes += bgra.size();
        spec.entries.push_back({path, 0, {ortwriter::frame(ortwriter::kBgra32, w, h, std::move(bgra), true)}});
    };
    const auto count = [scale](int n) { return std::max(1, static_cast<int>(n * scale)); };
    for (int i = 0; i < count(520); ++i) {
        const Size s = small[i % 12];
        add("controls/c" + std::to_string(i) + ".png", s.w, s.h,
            skinimages::uiImage(s.w, s.h, static_cast<std::uint32_t>(i)));
    }
    for (int i = 0; i < count(140); ++i) {
        const Size s = medium[i % 5];
        add("panels/p" + std::to_string(i) + ".png", s.w, s.h, skinimages::uiImage(s.w, s.h, 1000u + i));
    }
    for (int i = 0; i < count(40); ++i) {
        const Size s = large[i % 5];
        add("backgrounds/b" + std::to_string(i) + ".png", s.w, s.h, skinimages::background(s.w, s.h, 2000u + i));
    }
    return spec;
}

std::uintmax_t folderBytes(const fs::path& folder) {
    std::uintmax_t total = 0;
    for (const auto& item : fs::recursive_directory_iterator(folder))
        if (item.is_regular_file()) total += item.file_size();
    return total;
}

struct Run {
    double seconds = 0;
    std::uintmax_t bytes = 0;
    int written = 0;
};

// One extraction into a fresh folder, timed, its files measured and removed.
Run extractOnce(const fs::path& out, const std::wstring& bundle, const textures::ExtractionSettings& settings) {
    fs::create_directories(out);
    const auto start = std::chrono::steady_clock::now();
    const textures::ExtractionReport report =
        textures::ExtractBundle(bundle, text::fromUtf8(out.u8string()) + L"\\", nullptr, nullptr, settings);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.bytes = folderBytes(out);
    run.written = report.written;
    fs::remove_all(out);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const fs::path base = fs::temp_directory_path() / ("quorrel-bench-extraction-" + std::to_string(std::rand()));
    fs::create_directories(base);
    std::size_t pixelBytes = 0;
    const ortwriter::BundleSpec spec = skinBundle(scale, pixelBytes);
    const ortwriter::Bytes bytes = ortwriter::build(spec);
    const std::wstring bundle = text::fromUtf8((base / "textures.ort").u8string());
    if (!files::writeWhole(bundle, bytes.data(), bytes.size(), false)) {
        std::printf("cannot write the bundle\n");
        return 1;
    }

    textures::ExtractionSettings baseline;
    baseline.workers = 1;
    baseline.png = textures::PngSettings{};  // libpng's defaults: zlib level 6, adaptive filters
    baseline.diagnostics = false;
    textures::ExtractionSettings plugin;  // as the tester panel runs it
    plugin.diagnostics = false;

    // Alternated and the best of two kept, so that a change in the machine's
    // load during the run favours neither side.
    Run single, parallel;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Run a = extractOnce(base / ("single" + std::to_string(attempt)), bundle, baseline);
        const Run b = extractOnce(base / ("plugin" + std::to_string(attempt)), bundle, plugin);
        if (attempt == 0 || a.seconds < single.seconds) single = a;
        if (attempt == 0 || b.seconds < parallel.seconds) parallel = b;
    }
    fs::remove_all(base);

    const double mib = 1024.0 * 1024.0;
    std::printf("bundle: %zu entries, %.1f MiB of pixels, %.1f MiB on disk (32-bit LZO frames)\n", spec.entries.size(),
                pixelBytes / mib, bytes.size() / mib);
    std::printf("single-thread libpng, zlib level 6: %.2f s, %d files, %.1f MiB\n", single.seconds, single.written,
                single.bytes / mib);
    const textures::PngSettings fast = textures::fastPngSettings();
    std::printf("extraction, %u workers, zlib level %d, filters 0x%02x: %.2f s, %d files, %.1f MiB\n",
                base::defaultWorkerCount(), fast.compressionLevel, fast.filters, parallel.seconds, parallel.written,
                parallel.bytes / mib);
    std::printf("speed: %.2fx faster (goal at least 2x); size: %.3fx (goal at most 1.25x)\n",
                single.seconds / parallel.seconds, static_cast<double>(parallel.bytes) / single.bytes);
    const bool complete = single.written == static_cast<int>(spec.entries.size()) && parallel.written == single.written;
    return complete ? 0 : 1;
}
