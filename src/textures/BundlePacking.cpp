#include "textures/BundlePacking.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "base/FileAccess.h"
#include "base/Files.h"
#include "base/TextCodec.h"
#include "textures/BundleWriter.h"
#include "textures/ImageFiles.h"
#include "textures/PixelLayout.h"

namespace textures {
namespace {

// The frames written: 32-bit pixels, bytes B, G, R, A.
constexpr std::uint32_t kBgraCode = format::kBgra32;
// Largest name the 256-byte path field holds with its terminator.
constexpr std::size_t kLongestName = ort::kPathBytes - 1;

wchar_t lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool endsWith(const std::wstring& name, const wchar_t* suffix) {
    const std::wstring tail(suffix);
    if (name.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), name.end() - static_cast<std::ptrdiff_t>(tail.size()),
                      [](wchar_t a, wchar_t b) { return a == lower(b); });
}

struct Item {
    std::wstring name;  // relative, '/' separated
    std::string entry;  // the name as the bundle stores it
    std::wstring path;  // the file
};

struct StoredFrame {
    OrtFrame record;
    ort::Bytes stored;
};

struct Result {
    bool done = false;
    bool ok = false;
    std::wstring reason;
    std::uint32_t loop = 0;
    std::vector<StoredFrame> frames;
};

struct Entry {
    std::string path;
    std::uint32_t loop = 0;
    std::vector<OrtFrame> frames;  // offsets counted from the start of the spool
};

// Decodes one file and stores its frames; the reason in words when it cannot.
Result packOne(const Item& item) {
    Result result;
    std::vector<std::uint8_t> bytes;
    if (!files::readAll(item.path, bytes)) {
        result.reason = L"cannot be read";
        return result;
    }
    DecodedImage image;
    std::string why;
    if (!decodeImageFile(bytes.data(), bytes.size(), image, why, ChannelOrder::Bgra)) {
        result.reason = text::fromUtf8(why);
        return result;
    }
    bytes = std::vector<std::uint8_t>();
    result.frames.reserve(image.frames.size());
    for (ImageFrame& frame : image.frames) {
        StoredFrame stored;
        stored.record.width = frame.image.width;
        stored.record.height = frame.image.height;
        stored.record.format = kBgraCode;
        stored.record.unpackedSize = frame.image.pixels.size();
        stored.record.duration = frame.durationMs;
        if (!ort::storeFrame(frame.image.pixels.data(), frame.image.pixels.size(), stored.stored)) {
            result.frames.clear();
            result.reason = L"out of memory";
            return result;
        }
        stored.record.packedSize = stored.stored.size();
        frame.image.pixels = std::vector<std::uint8_t>();
        result.frames.push_back(std::move(stored));
    }
    result.loop = result.frames.size() > 1 ? 1 : 0;
    result.ok = true;
    return result;
}

bool writeAll(std::FILE* file, const std::uint8_t* data, std::size_t size) {
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

// Puts the header, then the spooled frame data, into the pending file.
bool assemble(std::FILE* target, const std::vector<Entry>& entries, std::size_t frameCount, std::FILE* spool,
              const base::CancelFlag& stop) {
    const std::uint64_t header = ort::headerBytes(entries.size(), frameCount);
    ort::Bytes bytes;
    bytes.reserve(static_cast<std::size_t>(header));
    ort::putFileHeader(bytes, static_cast<std::uint32_t>(entries.size()));
    for (const Entry& entry : entries) {
        ort::putEntryHeader(bytes, entry.path, entry.loop, static_cast<std::uint32_t>(entry.frames.size()));
        for (OrtFrame frame : entry.frames) {
            frame.offset += header;
            ort::putFrameRecord(bytes, frame);
        }
    }
    if (!writeAll(target, bytes.data(), bytes.size())) return false;
    if (std::fflush(spool) != 0 || !files::seekTo(spool, 0)) return false;
    std::vector<std::uint8_t> chunk(1 << 20);
    for (;;) {
        if (stop.cancelled()) return false;
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), spool);
        if (!writeAll(target, chunk.data(), got)) return false;
        if (got < chunk.size()) return std::ferror(spool) == 0;
    }
}

}  // namespace

bool isPackableName(const std::wstring& name) {
    for (const wchar_t* extension : {L".png", L".jpg", L".jpeg", L".gif", L".bmp"}) {
        if (endsWith(name, extension)) return true;
    }
    return false;
}

PackReport PackFolder(const std::wstring& folder, const std::wstring& bundlePath, const base::CancelFlag* cancel,
                      PackProgress* progress, const PackSettings& settings) {
    PackReport report;
    std::vector<std::wstring> names;
    if (!files::listFilesBelow(folder, names)) {
        report.error = L"cannot read the folder " + folder;
        return report;
    }
    report.listed = true;

    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base.push_back(L'\\');
    std::vector<Item> items;
    std::vector<PackProblem> tooLong;
    for (const std::wstring& name : names) {
        if (!isPackableName(name)) continue;
        Item item;
        item.name = name;
        item.entry = text::toUtf8(name);
        std::wstring relative = name;
        std::replace(relative.begin(), relative.end(), L'/', L'\\');
        item.path = base + relative;
        if (item.entry.size() > kLongestName) {
            tooLong.push_back({name, L"name longer than 255 bytes"});
            continue;
        }
        items.push_back(std::move(item));
    }
    report.found = items.size() + tooLong.size();
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.entry < b.entry; });
    if (settings.strict && !tooLong.empty()) {
        report.skipped = tooLong;
        report.error = L"not written, as a file cannot be packed";
        return report;
    }

    // The frames' data goes to a spool file as it is ready; the bundle is
    // its header followed by that data, under the pending name until whole.
    const std::wstring pending = files::pendingName(bundlePath);
    const std::wstring spoolPath = bundlePath + L".data.tmp";
    struct Leftovers {  // removed after the spool is closed (declared before it)
        std::wstring spool, pending;
        bool keepPending = false;
        ~Leftovers() {
            files::removeFile(spool);
            if (!keepPending) files::removeFile(pending);
        }
    } leftovers{spoolPath, pending};
    files::FilePtr spool = files::open(spoolPath, "w+b");
    if (!spool) {
        report.error = L"cannot write " + spoolPath;
        return report;
    }

    if (progress != nullptr) progress->begin(items.size());

    const base::CancelFlag never;
    const base::CancelFlag& user = cancel != nullptr ? *cancel : never;
    base::CancelFlag stop;  // the user's cancel, a strict failure or a write error
    const unsigned workers = settings.workers != 0 ? settings.workers : base::defaultWorkerCount();
    // Results wait in memory only until every earlier entry is written, and
    // no file starts further ahead than this of the first unwritten one.
    const std::size_t window = 4 * static_cast<std::size_t>(workers);

    std::mutex lock;
    std::condition_variable turn;
    std::vector<Result> results(items.size());
    std::size_t next = 0;
    std::uint64_t spooled = 0;
    std::size_t frameCount = 0;
    std::vector<Entry> entries;
    std::vector<PackProblem> problems;
    bool strictFailure = false;
    bool writeFailure = false;
    std::atomic<std::size_t> done{0};

    // Called with the lock held: writes every finished result that is next in order.
    const auto writeReady = [&] {
        while (next < results.size() && results[next].done) {
            Result& result = results[next];
            if (result.ok && !writeFailure) {
                Entry entry;
                entry.path = items[next].entry;
                entry.loop = result.loop;
                for (StoredFrame& frame : result.frames) {
                    frame.record.offset = spooled;
                    if (!writeAll(spool.get(), frame.stored.data(), frame.stored.size())) {
                        writeFailure = true;
                        stop.cancel();
                        break;
                    }
                    spooled += frame.stored.size();
                    entry.frames.push_back(frame.record);
                }
                frameCount += entry.frames.size();
                entries.push_back(std::move(entry));
            } else if (!result.ok) {
                problems.push_back({items[next].name, result.reason});
                if (settings.strict) {
                    strictFailure = true;
                    stop.cancel();
                }
            }
            result = Result{};
            result.done = true;
            ++next;
        }
        turn.notify_all();
    };

    base::runParallel(items.size(), workers, stop, [&](std::size_t index) {
        if (user.cancelled()) {
            stop.cancel();
            return;
        }
        {
            std::unique_lock<std::mutex> hold(lock);
            while (index >= next + window && !stop.cancelled() && !user.cancelled())
                turn.wait_for(hold, std::chrono::milliseconds(50));
        }
        if (user.cancelled() || stop.cancelled()) {
            stop.cancel();
            return;
        }
        if (progress != nullptr) progress->itemStarted(items[index].name);
        Result result;
        try {
            result = packOne(items[index]);
        } catch (...) {
            result = Result{};
            result.reason = L"out of memory";
        }
        result.done = true;
        {
            const std::lock_guard<std::mutex> hold(lock);
            results[index] = std::move(result);
            try {
                writeReady();
            } catch (...) {
                writeFailure = true;
                stop.cancel();
            }
        }
        const std::size_t count = done.fetch_add(1) + 1;
        if (progress != nullptr) progress->itemDone(count);
    });

    report.skipped = tooLong;
    report.skipped.insert(report.skipped.end(), problems.begin(), problems.end());
    std::sort(report.skipped.begin(), report.skipped.end(),
              [](const PackProblem& a, const PackProblem& b) { return text::toUtf8(a.file) < text::toUtf8(b.file); });
    if (user.cancelled()) {
        report.cancelled = true;
        return report;
    }
    if (strictFailure) {
        report.error = L"not written, as a file cannot be packed";
        return report;
    }
    if (writeFailure || next != items.size()) {
        report.error = L"cannot write " + spoolPath;
        return report;
    }

    files::FilePtr target = files::open(pending, "wb");
    if (!target) {
        report.error = L"cannot write " + pending;
        return report;
    }
    const bool assembled = assemble(target.get(), entries, frameCount, spool.get(), user);
    const bool flushed = assembled && std::fflush(target.get()) == 0 && files::flushToDisk(target.get());
    const bool closed = std::fclose(target.release()) == 0;
    if (user.cancelled()) {
        report.cancelled = true;
        return report;
    }
    if (!flushed || !closed) {
        report.error = L"cannot write " + pending;
        return report;
    }
    spool.reset();
    if (!files::moveReplacing(pending, bundlePath)) {
        report.error = L"cannot replace " + bundlePath + L" (is it open in another program?)";
        return report;
    }
    leftovers.keepPending = true;
    report.written = true;
    report.entries = entries.size();
    report.frames = frameCount;
    report.bytes = ort::headerBytes(entries.size(), frameCount) + spooled;
    return report;
}

std::wstring packSummary(const PackReport& report, const std::wstring& bundlePath, std::size_t listed) {
    std::wstring text;
    if (report.written) {
        const auto plural = [](std::size_t n, const wchar_t* one, const wchar_t* many) {
            return std::to_wstring(n) + L" " + (n == 1 ? one : many);
        };
        wchar_t size[32] = {};
        std::swprintf(size, 32, L"%.1f", static_cast<double>(report.bytes) / (1024.0 * 1024.0));
        text = L"Packed " + plural(report.entries, L"image", L"images") + L" (" +
               plural(report.frames, L"frame", L"frames") + L") into " + bundlePath + L": " + size + L" MiB.";
    } else if (report.cancelled) {
        text = L"The packing was cancelled; no bundle was written.";
    } else {
        text = L"The bundle was not written: " + report.error + L".";
    }
    if (!report.skipped.empty()) {
        const std::size_t count = report.skipped.size();
        text += L"\r\n\r\n" + std::to_wstring(count) + (count == 1 ? L" file was" : L" files were") +
                (report.written ? L" skipped:" : L" not packed:");
        const std::size_t shown = std::min(listed, count);
        for (std::size_t i = 0; i < shown; ++i)
            text += L"\r\n" + report.skipped[i].file + L": " + report.skipped[i].reason;
        if (shown < count) text += L"\r\n...";
    }
    return text;
}

}  // namespace textures
