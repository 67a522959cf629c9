// A skin in memory for the model's and the check's tests and benchmarks: the
// fake file system for names, sizes and times, and the files' bytes beside it.
#pragma once

#include "FakeFileSystem.h"
#include "skin/SkinModel.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class MemorySkin {
public:
    void put(const std::wstring& path, std::string bytes) {
        if (bytes_.count(path)) {
            fs.touch(path, bytes.size());
        } else {
            fs.addFile(path, bytes.size());
        }
        bytes_[path] = std::move(bytes);
    }
    skin::FileReader reader() {
        return [this](const std::wstring& path, std::string& out) {
            const auto it = bytes_.find(path);
            if (it == bytes_.end()) return false;
            out = it->second;
            return true;
        };
    }
    skin::BundleInfoReader bundle() {
        return [this](const std::wstring& path, std::vector<skin::BundleEntryInfo>& out) {
            if (!bytes_.count(path)) return false;
            out = bundleEntries;
            return true;
        };
    }
    skin::SkinModel model(std::wstring coreStrings = {}, std::wstring coreColours = {}) {
        skin::SkinModelOptions options;
        options.imageElements = {L"texture", L"texturefocus"};
        options.coreStringsPath = std::move(coreStrings);
        options.coreColoursPath = std::move(coreColours);
        return skin::SkinModel(fs, reader(), bundle(), options);
    }
    std::unique_ptr<skin::SkinModel> make(skin::SkinModelOptions options) {
        return std::make_unique<skin::SkinModel>(fs, reader(), bundle(), std::move(options));
    }
    // The bytes of a file put here (empty when none was).
    const std::string& text(const std::wstring& path) { return bytes_[path]; }

    FakeFileSystem fs;
    std::vector<skin::BundleEntryInfo> bundleEntries;

private:
    std::map<std::wstring, std::string> bytes_;
};

inline std::string png(std::uint32_t w, std::uint32_t h) {
    std::string b("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (std::uint32_t v : {w, h}) {
        for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<char>((v >> s) & 0xFF));
    }
    return b;
}
