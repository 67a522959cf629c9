// The skin's shared material: the one open texture bundle and the textures
// found in it. (The names the panels offer come from the skin's model.)
//
// One object per process, owned by the application object, which hands it to
// the previewer and the tester panel; its bundle makes textures for the
// device the application object gives it (bundle().useDevice). Everything
// runs on the user-interface thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "textures/OrtReader.h"

class DXTexture;

class SkinResources {
public:
    SkinResources();
    ~SkinResources();
    SkinResources(const SkinResources&) = delete;
    SkinResources& operator=(const SkinResources&) = delete;

    // The image at a path under a skin's media folder, from that skin's
    // bundle; null when the bundle or the entry is missing or unreadable.
    std::unique_ptr<DXTexture> FindTexture(const std::wstring& imagePath);
    // Every entry name of a bundle, in its order; false when it cannot be opened.
    bool ListBundle(const std::wstring& bundlePath, std::vector<std::wstring>& names);
    // The first frame of an entry of the open bundle; null otherwise.
    std::unique_ptr<DXTexture> LoadBundleTexture(const std::wstring& entryName);

    // While a bundle file is replaced on disk: lets go of it if it is the
    // open one, and finds nothing in it (it is not opened) until
    // ReleaseBundle, which opens it again, as it now is, if it was open.
    void HoldBundle(const std::wstring& bundlePath);
    void ReleaseBundle();

    OrtReader& bundle() { return bundle_; }

private:
    bool openBundle(const std::wstring& bundlePath);
    const OrtEntry* findEntry(const std::wstring& name) const;
    std::unique_ptr<DXTexture> loadFirstFrame(const OrtEntry* entry);

    OrtReader bundle_;
    std::wstring bundlePath_;
    std::wstring heldPath_;
    bool reopenHeld_ = false;
};
