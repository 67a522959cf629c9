#include "textures/BundleExtraction.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <unordered_set>

#include "base/Files.h"
#include "textures/OrtReader.h"
#include "textures/PixelImage.h"

namespace textures {
namespace {

wchar_t upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool equalsIgnoreAsciiCase(const std::wstring& a, const wchar_t* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != L'\0'; ++i) {
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == L'\0';
}

// Windows opens the device, not a file, for these names, whatever extension
// follows ("nul.png" is the null device too).
bool isReservedDeviceName(const std::wstring& component) {
    std::wstring base = component.substr(0, component.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.pop_back();
    }
    static const wchar_t* const kFixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* reserved : kFixed) {
        if (equalsIgnoreAsciiCase(base, reserved)) {
            return true;
        }
    }
    if (base.size() == 4 &&
        (equalsIgnoreAsciiCase(base.substr(0, 3), L"COM") || equalsIgnoreAsciiCase(base.substr(0, 3), L"LPT"))) {
        const wchar_t digit = base[3];
        // Windows also reserves the superscript digits 1, 2 and 3.
        return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
    }
    return false;
}

bool isSafeComponent(const std::wstring& component) {
    if (component.empty() || component == L"." || component == L"..") {
        return false;
    }
    for (wchar_t c : component) {
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
        switch (c) {
        case L'<':
        case L'>':
        case L':':
        case L'"':
        case L'|':
        case L'?':
        case L'*':
            return false;
        default:
            break;
        }
    }
    if (component.back() == L'.' || component.back() == L' ') {
        return false;
    }
    return !isReservedDeviceName(component);
}

std::wstring withBackslashes(std::wstring name) {
    std::replace(name.begin(), name.end(), L'/', L'\\');
    return name;
}

// Diagnostic words on standard output; the editor does not show them.
void diagnostic(const char* word) noexcept {
    std::fputs(word, stdout);
    std::fputc('\n', stdout);
}

std::wstring foldedCase(const std::wstring& path) {
    std::wstring folded = path;
    std::transform(folded.begin(), folded.end(), folded.begin(), upper);
    return folded;
}

enum class Outcome : unsigned char { NotStarted, Written, Kept, Failed, Stopped };

// Why an entry failed, for the report.
enum class Failure : unsigned char { None, UnsafeName, NoFolder, Undecodable, Unencodable, Unwritable };

const wchar_t* failureText(Failure failure) {
    switch (failure) {
    case Failure::UnsafeName:
        return L"its name would leave the output folder or is no file name";
    case Failure::NoFolder:
        return L"its folder cannot be made";
    case Failure::Undecodable:
        return L"its frame cannot be read or decoded";
    case Failure::Unencodable:
        return L"it cannot be encoded as PNG";
    case Failure::Unwritable:
        return L"its file cannot be written";
    default:
        return L"failed";
    }
}

}  // namespace

bool isSafeEntryName(const std::wstring& name) {
    const std::wstring path = withBackslashes(name);
    if (path.empty()) {
        return false;
    }
    // Leading separators make the path absolute, UNC ("\\server") or a device
    // path ("\\?\", "\\.\"); each component is then checked on its own.
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find(L'\\', start);
        const std::wstring component = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!isSafeComponent(component)) {
            return false;
        }
        if (end == std::wstring::npos) {
            return true;
        }
        start = end + 1;
    }
}

std::vector<ExtractionItem> planExtraction(const std::vector<std::wstring>& names, const std::wstring& outputFolder) {
    std::vector<ExtractionItem> plan;
    plan.reserve(names.size());
    for (const std::wstring& name : names) {
        ExtractionItem item;
        item.name = name;
        item.safe = isSafeEntryName(name);
        if (item.safe) {
            const std::wstring target = withBackslashes(name);
            const std::size_t lastSeparator = target.rfind(L'\\');
            if (lastSeparator != std::wstring::npos) {
                item.folder = outputFolder + target.substr(0, lastSeparator);
            }
            item.fullPath = outputFolder + target;
        }
        plan.push_back(std::move(item));
    }
    return plan;
}

std::wstring skippedEntriesMessage(const std::vector<std::wstring>& failed, std::size_t listed) {
    if (failed.empty()) {
        return std::wstring();
    }
    std::wstring message =
        std::to_wstring(failed.size()) +
        (failed.size() == 1 ? L" entry of the bundle was not written:" : L" entries of the bundle were not written:");
    const std::size_t shown = std::min(listed, failed.size());
    for (std::size_t i = 0; i < shown; ++i) {
        message += L"\r\n" + failed[i];
    }
    if (shown < failed.size()) {
        message += L"\r\n...";
    }
    return message;
}

std::wstring cancelledRunMessage(const ExtractionReport& report) {
    std::wstring message = L"The extraction was cancelled: " + std::to_wstring(report.written) + L" of " +
                           std::to_wstring(report.total) + (report.total == 1 ? L" entry was" : L" entries were") +
                           L" written before the stop.";
    if (!report.failed.empty()) {
        message += L"\r\n\r\n" + skippedEntriesMessage(report.failed);
    }
    return message;
}

ExtractionReport ExtractBundle(const std::wstring& bundlePath, const std::wstring& outputFolder,
                               const base::CancelFlag* cancel, ExtractionProgress* progress,
                               const ExtractionSettings& settings) {
    ExtractionReport report;
    OrtReader reader;
    if (!reader.Open(bundlePath)) {
        return report;
    }
    report.opened = true;
    const std::vector<ExtractionItem> plan = planExtraction(reader.EntryNames(), outputFolder);
    report.total = plan.size();
    if (progress != nullptr) {
        progress->begin(plan.size());
    }
    if (plan.empty()) {
        return report;
    }

    // Entries that share a target (Windows file names ignore case) would
    // race for one file; the first one is written and the others count as
    // kept, as they would on finding it there.
    std::vector<bool> repeated(plan.size(), false);
    {
        std::unordered_set<std::wstring> seen;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            if (plan[i].safe && !seen.insert(foldedCase(plan[i].fullPath)).second) {
                repeated[i] = true;
            }
        }
    }

    const base::CancelFlag never;
    const base::CancelFlag& stop = cancel != nullptr ? *cancel : never;
    const std::function<bool()> keepGoing = [&stop] { return !stop.cancelled(); };
    std::vector<Outcome> outcomes(plan.size(), Outcome::NotStarted);
    std::mutex fileTurn;
    std::atomic<std::size_t> done{0};

    std::vector<Failure> failures(plan.size(), Failure::None);
    const auto extractOne = [&](std::size_t index) -> Outcome {
        const ExtractionItem& item = plan[index];
        Failure& failure = failures[index];
        if (!item.safe) {
            failure = Failure::UnsafeName;
            return Outcome::Failed;
        }
        if (repeated[index]) {
            return Outcome::Kept;
        }
        if (!item.folder.empty() && !files::createFolders(item.folder)) {
            failure = Failure::NoFolder;
            return Outcome::Failed;
        }
        if (!settings.overwrite && files::exists(item.fullPath)) {
            return Outcome::Kept;
        }
        const OrtEntry* entry = reader.Find(item.name);
        OrtReader::FrameBytes stored;
        OrtReader::FrameBytes pixels;
        Image32 image;
        bool decoded = false;
        if (entry != nullptr && !entry->frames.empty()) {
            const OrtFrame& frame = entry->frames.front();
            bool read = false;
            {
                const std::lock_guard<std::mutex> turn(fileTurn);
                read = reader.ReadStoredBytes(frame, stored);
            }
            decoded = read && OrtReader::Unpack(frame, stored, pixels) &&
                      decodeFrame(frame.format & ort::kFormatCodeMask, frame.width, frame.height, pixels.data.get(),
                                  pixels.size, image);
        }
        pixels = OrtReader::FrameBytes{};
        if (!decoded) {
            if (settings.diagnostics) {
                diagnostic("wtf");
            }
            failure = Failure::Undecodable;
            return Outcome::Failed;
        }
        std::vector<std::uint8_t> png;
        if (!encodePng(image, png, settings.png, keepGoing)) {
            if (stop.cancelled()) {
                return Outcome::Stopped;
            }
            failure = Failure::Unencodable;
            return Outcome::Failed;
        }
        if (stop.cancelled()) {
            return Outcome::Stopped;
        }
        const bool saved = files::writeWhole(item.fullPath, png.data(), png.size(), !settings.overwrite);
        if (settings.diagnostics) {
            diagnostic(saved ? "yeah" : "oh no");
        }
        if (!saved) {
            failure = Failure::Unwritable;
        }
        return saved ? Outcome::Written : Outcome::Failed;
    };

    const unsigned workers = settings.workers != 0 ? settings.workers : base::defaultWorkerCount();
    const base::ParallelOutcome run = base::runParallel(plan.size(), workers, stop, [&](std::size_t index) {
        if (progress != nullptr) {
            progress->itemStarted(plan[index].name);
        }
        Outcome outcome = Outcome::Failed;
        try {
            outcome = extractOne(index);
        } catch (...) {
            outcome = Outcome::Failed;
        }
        outcomes[index] = outcome;
        const std::size_t count = done.fetch_add(1) + 1;
        if (progress != nullptr) {
            progress->itemDone(count);
        }
    });
    // Only a progress report can have thrown; its entry counts as failed.
    for (const std::size_t index : run.threw) {
        if (outcomes[index] == Outcome::NotStarted) {
            outcomes[index] = Outcome::Failed;
        }
    }

    for (std::size_t i = 0; i < plan.size(); ++i) {
        switch (outcomes[i]) {
        case Outcome::Written:
            ++report.written;
            break;
        case Outcome::Kept:
            ++report.kept;
            break;
        case Outcome::Failed:
            report.failed.push_back(plan[i].name);
            report.failureReasons.push_back(failureText(failures[i]));
            break;
        case Outcome::Stopped:
        case Outcome::NotStarted:
            report.cancelled = true;
            break;
        }
    }
    return report;
}

}  // namespace textures
