// Packing a media folder shaped like a real skin's: about 700 image files,
// mostly small PNG UI elements with transparency, panels, backgrounds as
// JPEG and PNG up to 1920 x 1080, a few animated GIFs and BMPs. The same
// folder is packed twice: one file after the other on one thread (the same
// decoders and compressor), and as the plugin and quorrel do (worker
// threads). Prints both times, the bundle's size and the speed-up, and
// checks that both bundles are byte for byte the same.
//
//   bench_pack [scale]   (scale < 1 for a quick run, e.g. 0.2)
#include "ImageFileWriter.h"
#include "OrtWriter.h"
#include "SkinImages.h"
#include "base/TextCodec.h"
#include "base/WorkerPool.h"
#include "textures/BundlePacking.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Folder {
    std::size_t files = 0;
    std::uintmax_t bytes = 0;
    std::uint64_t pixels = 0;
};

void put(const fs::path& file, const ortwriter::Bytes& bytes, Folder& folder) {
    fs::create_directories(file.parent_path());
    if (!ortwriter::writeFile(file.string(), bytes)) {
        std::printf("cannot write %s\n", file.string().c_str());
        std::exit(1);
    }
    ++folder.files;
    folder.bytes += bytes.size();
}

ortwriter::Image image(std::uint32_t w, std::uint32_t h, const skinimages::Bytes& bgra) {
    return ortwriter::Image{w, h, skinimages::toRgba(bgra)};
}

// An animated busy indicator: a bright arc turning over a dark ring.
ortwriter::Bytes spinner(std::uint32_t size, int frames, std::uint32_t seed) {
    std::vector<ortwriter::GifColour> palette;
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t v = static_cast<std::uint8_t>(i * 17);
        palette.push_back({{v, v, static_cast<std::uint8_t>(std::min(255, v + 40))}});
    }
    std::vector<ortwriter::GifFrame> list;
    for (int f = 0; f < frames; ++f) {
        ortwriter::GifFrame frame{0, 0, size, size, {}, 8, 2, 0, false};
        for (std::uint32_t y = 0; y < size; ++y) {
            for (std::uint32_t x = 0; x < size; ++x) {
                const double dx = x - size / 2.0, dy = y - size / 2.0;
                const double r = std::sqrt(dx * dx + dy * dy) / (size / 2.0);
                const double angle = std::atan2(dy, dx) / (2 * 3.14159265) + 0.5;
                const double turn = std::fmod(angle + static_cast<double>(f) / frames + seed * 0.01, 1.0);
                const int level = r < 0.55 || r > 0.95 ? 0 : 1 + static_cast<int>(turn * 14.99);
                frame.indices.push_back(static_cast<std::uint8_t>(level));
            }
        }
        list.push_back(std::move(frame));
    }
    return ortwriter::gifFile(size, size, palette, list, true);
}

Folder makeMedia(const fs::path& media, double scale) {
    struct Size {
        std::uint32_t w, h;
    };
    const Size small[] = {{16, 16},   {24, 24},  {32, 32},  {48, 48},  {64, 64},  {96, 96},
                          {128, 128}, {128, 40}, {200, 60}, {256, 64}, {300, 48}, {180, 180}};
    const Size medium[] = {{400, 300}, {512, 256}, {640, 360}, {800, 120}, {600, 450}};
    const Size large[] = {{1920, 1080}, {1280, 720}, {960, 540}, {1280, 720}, {960, 540}};
    const auto count = [scale](int n) { return std::max(1, static_cast<int>(n * scale)); };
    Folder folder;
    for (int i = 0; i < count(510); ++i) {
        const Size s = small[i % 12];
        folder.pixels += std::uint64_t{s.w} * s.h;
        put(media / "controls" / ("c" + std::to_string(i) + ".png"),
            ortwriter::pngFile(image(s.w, s.h, skinimages::uiImage(s.w, s.h, static_cast<std::uint32_t>(i)))), folder);
    }
    for (int i = 0; i < count(140); ++i) {
        const Size s = medium[i % 5];
        folder.pixels += std::uint64_t{s.w} * s.h;
        put(media / "panels" / ("p" + std::to_string(i) + ".png"),
            ortwriter::pngFile(image(s.w, s.h, skinimages::uiImage(s.w, s.h, 1000u + i))), folder);
    }
    for (int i = 0; i < count(40); ++i) {
        const Size s = large[i % 5];
        folder.pixels += std::uint64_t{s.w} * s.h;
        const ortwriter::Image picture = image(s.w, s.h, skinimages::background(s.w, s.h, 2000u + i));
        if (i % 4 == 3) {
            put(media / "backgrounds" / ("b" + std::to_string(i) + ".png"), ortwriter::pngFile(picture), folder);
        } else {
            put(media / "backgrounds" / ("b" + std::to_string(i) + ".jpg"), ortwriter::jpegFile(picture, 90), folder);
        }
    }
    for (int i = 0; i < count(6); ++i) {
        folder.pixels += 64u * 64u * 12u;
        put(media / "busy" / ("spinner" + std::to_string(i) + ".gif"), spinner(64, 12, static_cast<std::uint32_t>(i)),
            folder);
    }
    for (int i = 0; i < count(8); ++i) {
        folder.pixels += 48u * 48u;
        put(media / "flags" / ("f" + std::to_string(i) + ".bmp"),
            ortwriter::bmpFile(image(48, 48, skinimages::uiImage(48, 48, 3000u + i)),
                               ortwriter::BmpLayout::Rgb24BottomUp),
            folder);
    }
    return folder;
}

struct Run {
    double seconds = 0;
    std::uint64_t bytes = 0;
    std::size_t entries = 0;
    ortwriter::Bytes bundle;
};

Run packOnce(const fs::path& media, const fs::path& bundle, unsigned workers) {
    textures::PackSettings settings;
    settings.workers = workers;
    const auto start = std::chrono::steady_clock::now();
    const textures::PackReport report = textures::PackFolder(
        text::fromUtf8(media.u8string()), text::fromUtf8(bundle.u8string()), nullptr, nullptr, settings);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.bytes = report.bytes;
    run.entries = report.written ? report.entries : 0;
    std::ifstream in(bundle, std::ios::binary);
    run.bundle.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    fs::remove(bundle);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const fs::path base = fs::temp_directory_path() / ("quorrel-bench-pack-" + std::to_string(std::rand()));
    const fs::path media = base / "media";
    const Folder folder = makeMedia(media, scale);

    // Alternated and the best of two kept, so that a change in the machine's
    // load during the run favours neither side.
    const unsigned workers = base::defaultWorkerCount();
    Run single, parallel;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Run a = packOnce(media, base / "single.ort", 1);
        const Run b = packOnce(media, base / "parallel.ort", workers);
        if (attempt == 0 || a.seconds < single.seconds) single = a;
        if (attempt == 0 || b.seconds < parallel.seconds) parallel = b;
    }
    fs::remove_all(base);

    const double mib = 1024.0 * 1024.0;
    std::printf("media: %zu files, %.1f MiB on disk, %.1f MiB as 32-bit pixels\n", folder.files, folder.bytes / mib,
                folder.pixels * 4 / mib);
    std::printf("one file after the other, one thread: %.2f s, %zu entries, bundle %.1f MiB\n", single.seconds,
                single.entries, single.bytes / mib);
    std::printf("packing, %u workers on %u cores: %.2f s, %zu entries, bundle %.1f MiB\n", workers,
                std::thread::hardware_concurrency(), parallel.seconds, parallel.entries, parallel.bytes / mib);
    std::printf("speed: %.2fx faster (goal at least 3x); bundles identical: %s\n", single.seconds / parallel.seconds,
                single.bundle == parallel.bundle ? "yes" : "NO");
    const bool complete = single.entries == folder.files && parallel.bundle == single.bundle;
    return complete ? 0 : 1;
}
