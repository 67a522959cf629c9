#include "cli/OrtTool.h"

#include <algorithm>
#include <cstdio>

#include "cli/Usage.h"
#include "base/FileAccess.h"
#include "base/Files.h"
#include "skin/MediaPaths.h"
#include "textures/BundleExtraction.h"
#include "textures/BundlePacking.h"
#include "textures/OrtReader.h"
#include "textures/PixelImage.h"
#include "textures/PixelLayout.h"

namespace cli {
namespace {

// A path as the user gave it, followed by a name below it ('/' in the
// name turned into the platform's separator).
std::wstring below(const std::wstring& folder, std::wstring name) {
    const wchar_t separator = files::separator();
    std::replace(name.begin(), name.end(), L'/', separator);
    if (folder.empty() || folder.back() == separator || folder.back() == L'/' || folder.back() == L'\\')
        return folder + name;
    return folder + separator + name;
}

std::wstring formatName(std::uint32_t format) {
    switch (format & ort::kFormatCodeMask) {
    case textures::format::kDxt1:
        return L"DXT1";
    case textures::format::kDxt3:
        return L"DXT3";
    case textures::format::kDxt5:
    case textures::format::kDxt5Alt:
        return L"DXT5";
    case textures::format::kBgra32:
        return L"A8R8G8B8";
    case textures::format::kAlpha8:
        return L"A8";
    case textures::format::kRgb24:
        return L"R8G8B8";
    default:
        return L"code " + std::to_wstring(format & ort::kFormatCodeMask);
    }
}

std::wstring entryName(const OrtEntry& entry) { return preview::DecodeSkinText(entry.path); }

bool openBundle(OrtReader& reader, const std::wstring& path, Console& console) {
    if (reader.Open(path)) return true;
    console.err(path + (files::exists(path) ? L": not a texture bundle, or its header is damaged" : L": no such file"));
    return false;
}

int list(const std::wstring& bundle, Console& console) {
    OrtReader reader;
    if (!openBundle(reader, bundle, console)) return kFailed;
    for (const OrtEntry& entry : reader.entries()) {
        std::uint64_t packed = 0, unpacked = 0;
        for (const OrtFrame& frame : entry.frames) {
            packed += frame.packedSize;
            unpacked += frame.unpackedSize;
        }
        std::wstring size = L"-", format = L"-";
        if (!entry.frames.empty()) {
            const OrtFrame& first = entry.frames.front();
            size = std::to_wstring(first.width) + L"x" + std::to_wstring(first.height);
            format = formatName(first.format);
        }
        console.out(entryName(entry) + L"\t" + std::to_wstring(entry.frames.size()) + L"\t" + size + L"\t" + format +
                    L"\t" + std::to_wstring(packed) + L"\t" + std::to_wstring(unpacked));
    }
    return kDone;
}

int verify(const std::wstring& bundle, Console& console) {
    OrtReader reader;
    if (!openBundle(reader, bundle, console)) return kFailed;
    std::size_t frames = 0, broken = 0;
    for (const OrtEntry& entry : reader.entries()) {
        for (std::size_t i = 0; i < entry.frames.size(); ++i) {
            const OrtFrame& frame = entry.frames[i];
            OrtReader::FrameBytes stored, pixels;
            textures::Image32 image;
            ++frames;
            if (!reader.ReadStoredBytes(frame, stored)) {
                console.err(bundle + L": " + entryName(entry) + L": frame " + std::to_wstring(i + 1) +
                            L" cannot be read");
            } else if (!OrtReader::Unpack(frame, stored, pixels)) {
                console.err(bundle + L": " + entryName(entry) + L": frame " + std::to_wstring(i + 1) +
                            L" does not decompress to its size");
            } else if (!textures::decodeFrame(frame.format & ort::kFormatCodeMask, frame.width, frame.height,
                                              pixels.data.get(), pixels.size, image)) {
                console.err(bundle + L": " + entryName(entry) + L": frame " + std::to_wstring(i + 1) +
                            L" does not decode (" + formatName(frame.format) + L", " + std::to_wstring(frame.width) +
                            L"x" + std::to_wstring(frame.height) + L")");
            } else {
                continue;
            }
            ++broken;
        }
    }
    if (broken != 0) return kFailed;
    console.out(bundle + L": " + std::to_wstring(reader.entries().size()) + L" entries, " + std::to_wstring(frames) +
                L" frames, all decode");
    return kDone;
}

int extract(const std::wstring& bundle, const std::wstring& folder, bool overwrite, Console& console) {
    if (!files::createFolders(folder)) {
        console.err(folder + L": cannot be made a folder");
        return kFailed;
    }
    std::wstring output = folder;
    if (output.back() != L'\\' && output.back() != L'/') output.push_back(L'\\');
    textures::ExtractionSettings settings;
    settings.diagnostics = false;
    settings.overwrite = overwrite;
    const textures::ExtractionReport report = textures::ExtractBundle(bundle, output, nullptr, nullptr, settings);
    if (!report.opened) {
        console.err(bundle +
                    (files::exists(bundle) ? L": not a texture bundle, or its header is damaged" : L": no such file"));
        return kFailed;
    }
    for (std::size_t i = 0; i < report.failed.size(); ++i) {
        const std::wstring reason = i < report.failureReasons.size() ? report.failureReasons[i] : L"not written";
        console.err(bundle + L": " + report.failed[i] + L": " + reason);
    }
    std::wstring summary = L"Extracted " + std::to_wstring(report.written) + L" of " + std::to_wstring(report.total) +
                           L" entries into " + folder;
    if (report.kept != 0)
        summary += L"; " + std::to_wstring(report.kept) + L" existing files kept (--overwrite replaces them)";
    console.out(summary);
    return report.failed.empty() ? kDone : kFailed;
}

int pack(const std::wstring& folder, const std::wstring& bundle, bool strict, Console& console) {
    textures::PackSettings settings;
    settings.strict = strict;
    const textures::PackReport report = textures::PackFolder(folder, bundle, nullptr, nullptr, settings);
    for (const textures::PackProblem& problem : report.skipped)
        console.err(below(folder, problem.file) + L": " + problem.reason);
    if (!report.written) {
        console.err(bundle + L": " + (report.error.empty() ? std::wstring(L"not written") : report.error));
        return kFailed;
    }
    wchar_t size[32] = {};
    std::swprintf(size, 32, L"%.1f", static_cast<double>(report.bytes) / (1024.0 * 1024.0));
    console.out(L"Packed " + std::to_wstring(report.entries) + L" images (" + std::to_wstring(report.frames) +
                L" frames) into " + bundle + L": " + size + L" MiB" +
                (report.skipped.empty() ? L""
                                        : L"; " + std::to_wstring(report.skipped.size()) +
                                              (report.skipped.size() == 1 ? L" file skipped" : L" files skipped")));
    return kDone;
}

}  // namespace

int runOrtTool(const std::vector<std::wstring>& args, Console& console) {
    if (args.empty()) return usage(console, L"");
    const std::wstring& command = args.front();
    if (command == L"--help" || command == L"-h" || command == L"help") {
        help(console);
        return kDone;
    }
    bool overwrite = false, strict = false;
    std::vector<std::wstring> operands;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--overwrite" && command == L"extract") {
            overwrite = true;
        } else if (arg == L"--strict" && command == L"pack") {
            strict = true;
        } else if (arg.size() > 1 && arg[0] == L'-' && arg != L"--") {
            return usage(console, L"unknown option " + arg + L" for " + command);
        } else if (arg == L"--") {
            operands.insert(operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        } else {
            operands.push_back(arg);
        }
    }
    const auto wants = [&](std::size_t count) { return operands.size() == count; };
    const bool anyEmpty =
        std::any_of(operands.begin(), operands.end(), [](const std::wstring& s) { return s.empty(); });
    if (anyEmpty) return usage(console, L"an empty path");
    if (command == L"list" && wants(1)) return list(operands[0], console);
    if (command == L"verify" && wants(1)) return verify(operands[0], console);
    if (command == L"extract" && wants(2)) return extract(operands[0], operands[1], overwrite, console);
    if (command == L"pack" && wants(2)) return pack(operands[0], operands[1], strict, console);
    if (command == L"list" || command == L"verify" || command == L"extract" || command == L"pack")
        return usage(console, L"wrong number of arguments for " + command);
    return usage(console, L"unknown command " + command);
}

}  // namespace cli
