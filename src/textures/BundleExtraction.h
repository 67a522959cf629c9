// Extracting a texture bundle: every entry's first frame written as a PNG
// file into a folder tree that mirrors the entries' paths. The rule that
// keeps every entry inside the chosen folder, the plan of folders and files,
// and the run itself: entries decoded and encoded on worker threads, each
// file written under a pending name and renamed when complete, the whole
// stoppable through a cancel flag. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/WorkerPool.h"
#include "textures/PngCodec.h"

namespace textures {

// Whether an entry name (forward or back slashes as separators) can be
// written below an output folder as it stands: a relative path of ordinary
// components, none of them empty, "." or "..", none a reserved device name,
// none with a character a Windows file name cannot hold or with a trailing
// dot or blank (which Windows would silently drop).
bool isSafeEntryName(const std::wstring& name);

struct ExtractionItem {
    std::wstring name;      // the entry name as stored in the bundle
    bool safe = false;      // false: never written
    std::wstring folder;    // output folder + the entry's folder part (no trailing backslash); empty if none
    std::wstring fullPath;  // output folder + the entry's path with backslashes
};

// One item per entry, in the bundle's order. `outputFolder` ends with a backslash.
std::vector<ExtractionItem> planExtraction(const std::vector<std::wstring>& names, const std::wstring& outputFolder);

struct ExtractionReport {
    bool opened = false;                       // the bundle could be read at all
    std::size_t total = 0;                     // entries in the bundle
    int written = 0;                           // PNG files written
    int kept = 0;                              // targets that existed already and were left untouched
    std::vector<std::wstring> failed;          // entries not written, in bundle order (a stop is no failure)
    std::vector<std::wstring> failureReasons;  // why, in words, one for each of `failed`
    bool cancelled = false;                    // the run stopped before every entry was done
};

// Told how a run goes. Calls come from the worker threads and may overlap.
using ExtractionProgress = base::StepProgress;

struct ExtractionSettings {
    unsigned workers = 0;  // 0: base::defaultWorkerCount()
    PngSettings png = fastPngSettings();
    bool diagnostics = true;  // the words on standard output ("yeah", "oh no", "wtf")
    bool overwrite = false;   // replace existing files instead of keeping them
};

// Extracts the bundle into `outputFolder` (ending with a backslash). Entries
// whose names would leave the folder are skipped; existing files are left as
// they are (unless the settings say overwrite), and of entries sharing one
// target only the first is written.
// Once `cancel` is set no entry starts and running encodings are abandoned;
// no half-written file is left either way.
ExtractionReport ExtractBundle(const std::wstring& bundlePath, const std::wstring& outputFolder,
                               const base::CancelFlag* cancel = nullptr, ExtractionProgress* progress = nullptr,
                               const ExtractionSettings& settings = {});

// The message that tells the user which entries could not be written: the
// count and the first `listed` names. Empty when nothing failed.
std::wstring skippedEntriesMessage(const std::vector<std::wstring>& failed, std::size_t listed = 10);

// The message after a run that was stopped: how many entries were written
// before the stop, then the skipped entries if any.
std::wstring cancelledRunMessage(const ExtractionReport& report);

}  // namespace textures
