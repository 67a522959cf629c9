// Packing a folder of images into a texture bundle: every PNG, JPEG, GIF
// and BMP file below the folder becomes one entry named by its path relative
// to the folder ('/' between folder names, UTF-8), with one 32-bit frame, or
// one per frame of an animated GIF (its delays as the frames' durations, the
// loop value 1). Entries are sorted by name and every frame is stored
// LZO1X-compressed when that is smaller, so one folder always gives the same
// bytes. Files are decoded and compressed on worker threads; the bundle is
// written under a pending name and renamed when complete, and a cancelled
// or failed run leaves no file behind. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/WorkerPool.h"

namespace textures {

// Whether a file is one the packer takes, by its extension (.png, .jpg,
// .jpeg, .gif, .bmp in any case).
bool isPackableName(const std::wstring& name);

struct PackProblem {
    std::wstring file;    // the file's path relative to the folder, '/' separated
    std::wstring reason;  // in words, e.g. "damaged JPEG data: ..."
};

struct PackReport {
    bool listed = false;     // the folder could be read
    bool written = false;    // the bundle is in place
    bool cancelled = false;  // stopped by the cancel flag before the end
    std::size_t found = 0;   // image files found below the folder
    std::size_t entries = 0;
    std::size_t frames = 0;
    std::uint64_t bytes = 0;           // size of the bundle written
    std::vector<PackProblem> skipped;  // files not packed, in entry order
    std::wstring error;                // why no bundle was written (empty when written or cancelled)
};

// Told how a run goes. Calls come from the worker threads and may overlap.
using PackProgress = base::StepProgress;

struct PackSettings {
    unsigned workers = 0;  // 0: base::defaultWorkerCount()
    // A file that cannot be packed fails the run (no bundle is written)
    // instead of being skipped.
    bool strict = false;
};

// Packs the images below `folder` into `bundlePath`, replacing a bundle
// there. Paths with '\' between folder names (as everywhere in the plugin).
PackReport PackFolder(const std::wstring& folder, const std::wstring& bundlePath,
                      const base::CancelFlag* cancel = nullptr, PackProgress* progress = nullptr,
                      const PackSettings& settings = {});

// What the user is told after a run: what was written, or why not, and the
// skipped files (the first `listed` of them). Lines end with "\r\n".
std::wstring packSummary(const PackReport& report, const std::wstring& bundlePath, std::size_t listed = 10);

}  // namespace textures
