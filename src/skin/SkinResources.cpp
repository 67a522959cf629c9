#include "skin/SkinResources.h"

#include <algorithm>

#include "base/TextCodec.h"
#include "skin/MediaPaths.h"
#include "textures/DXTexture.h"

SkinResources::SkinResources() = default;

SkinResources::~SkinResources() { bundle_.Close(); }

namespace {

// Windows paths: either separator, any case.
bool samePath(const std::wstring& a, const std::wstring& b) {
    const auto fold = [](wchar_t c) {
        if (c == L'/') return L'\\';
        return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
}

}  // namespace

void SkinResources::HoldBundle(const std::wstring& bundlePath) {
    heldPath_ = bundlePath;
    if (bundle_.IsOpen() && samePath(bundlePath_, bundlePath)) {
        bundle_.Close();
        reopenHeld_ = true;
    }
}

void SkinResources::ReleaseBundle() {
    heldPath_.clear();
    if (reopenHeld_) {
        reopenHeld_ = false;
        openBundle(bundlePath_);
    }
}

bool SkinResources::openBundle(const std::wstring& bundlePath) {
    if (bundlePath != bundlePath_) {
        bundle_.Close();
    }
    bundlePath_ = bundlePath;
    if (!heldPath_.empty() && samePath(bundlePath, heldPath_)) {
        bundle_.Close();
        return false;
    }
    if (!bundle_.IsOpen() && !bundle_.Open(bundlePath)) {
        return false;
    }
    return true;
}

bool SkinResources::ListBundle(const std::wstring& bundlePath, std::vector<std::wstring>& names) {
    names.clear();
    if (!openBundle(bundlePath)) {
        return false;
    }
    names.reserve(bundle_.entries().size());
    for (const OrtEntry& entry : bundle_.entries()) {
        names.push_back(preview::DecodeSkinText(entry.path));
    }
    return true;
}

const OrtEntry* SkinResources::findEntry(const std::wstring& name) const {
    // The reader indexes names byte for byte; ask for every byte form that
    // lists as this name, so what the drop-downs show is what is found.
    for (const std::string& bytes : preview::SkinTextEncodings(name)) {
        if (const OrtEntry* entry = bundle_.Find(text::widenBytes(bytes))) {
            return entry;
        }
    }
    return nullptr;
}

std::unique_ptr<DXTexture> SkinResources::loadFirstFrame(const OrtEntry* entry) {
    if (!entry || entry->frames.empty()) {
        return nullptr;
    }
    return bundle_.LoadFrame(entry->frames.front());
}

std::unique_ptr<DXTexture> SkinResources::FindTexture(const std::wstring& imagePath) {
    const preview::BundleLocation where = preview::BundleFor(imagePath);
    if (!openBundle(where.bundlePath)) {
        return nullptr;
    }
    return loadFirstFrame(findEntry(where.entryName));
}

std::unique_ptr<DXTexture> SkinResources::LoadBundleTexture(const std::wstring& entryName) {
    if (!bundle_.IsOpen()) {
        return nullptr;
    }
    return loadFirstFrame(findEntry(entryName));
}
