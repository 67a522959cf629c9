// Bundle extraction speed under Wine: 500 32-bit 256x256 LZO frames written
// as PNG files. Prints images per second for the whole extraction and the
// share of time each stage takes (reading and decompressing, moving pixels
// to the device, PNG encoding and writing).
//
//   bench_tester_extraction.exe [frames] [size]
#include "OrtWriter.h"
#include "TesterTestSupport.h"
#include "textures/BundleExtraction_win.h"
#include "textures/DisplayDevice_win.h"
#include "textures/OrtReader.h"

#include <windows.h>
#include <d3dx9.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double now() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring makeFolder(const std::wstring& base, const wchar_t* name) {
    const std::wstring path = base + name;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path + L"\\";
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 500;
    const std::uint32_t size = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 256;

    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring base = makeFolder(temp, (L"quorrel-bench-" + std::to_wstring(::GetCurrentProcessId())).c_str());

    ortwriter::BundleSpec spec;
    for (int i = 0; i < frames; ++i) {
        spec.entries.push_back({"frames/f" + std::to_string(i) + ".png", 0,
                                {ortwriter::frame(ortwriter::kBgra32, size, size,
                                                  ortwriter::patternPixels(ortwriter::kBgra32, size, size,
                                                                           static_cast<std::uint32_t>(i)),
                                                  true)}});
    }
    const std::wstring bundle = base + L"bench.ort";
    const ortwriter::Bytes bytes = ortwriter::build(spec);
    if (!ortwriter::writeFile(bundle, bytes)) {
        std::printf("cannot write the bundle\n");
        return 1;
    }

    // The whole extraction, as the panel runs it (its own hidden-window device).
    const std::wstring whole = makeFolder(base, L"whole");
    const double start = now();
    const textures::ExtractionReport report = textures::ExtractBundle(bundle, whole);
    const double total = now() - start;

    // The same work stage by stage.
    const std::wstring staged = makeFolder(base, L"staged");
    textures::createHiddenDisplayDevice();
    OrtReader reader;
    double load = 0, upload = 0, encode = 0;
    int saved = 0;
    if (reader.Open(bundle)) {
        ::CreateDirectoryW((staged + L"frames").c_str(), nullptr);
        for (const OrtEntry& entry : reader.entries()) {
            double t = now();
            std::unique_ptr<CDXTexture> texture = reader.LoadFrame(entry.frames.front());
            load += now() - t;
            if (!texture) continue;
            t = now();
            texture->SendPixelsToDevice();
            upload += now() - t;
            std::wstring path = staged + std::wstring(entry.path.begin(), entry.path.end());
            for (wchar_t& c : path)
                if (c == L'/') c = L'\\';
            t = now();
            if (SUCCEEDED(::D3DXSaveTextureToFileW(path.c_str(), D3DXIFF_PNG, texture->DeviceTexture(), nullptr)))
                ++saved;
            encode += now() - t;
        }
    }
    reader.Close();
    textures::releaseDisplayDevice();
    const double stages = load + upload + encode;

    std::printf("bundle: %d frames of %ux%u 32-bit, LZO, %.1f MiB\n", frames, size, size,
                static_cast<double>(bytes.size()) / (1024.0 * 1024.0));
    std::printf("extraction: %d written, %zu failed, %.2f s, %.1f images/s\n", report.written, report.failed.size(),
                total, report.written / total);
    std::printf("stages (%d saved): read+decompress %.1f%%, to device %.1f%%, PNG encode+write %.1f%%\n", saved,
                100.0 * load / stages, 100.0 * upload / stages, 100.0 * encode / stages);
    testsupport::removeTree(base.substr(0, base.size() - 1));
    return report.written == frames ? 0 : 1;
}
