// The skin's shared material: include names and files from includes.xml and
// the files it names, the image names offered to the user (bundle entries and
// loose files under the media folder), and the one open texture bundle.
//
// One object per process, owned by the application object, which hands it to
// the controls panel's choices, the previewer and the tester panel; its
// bundle makes textures for the device the application object gives it
// (bundle().useDevice). Everything runs on the user-interface thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/DirectoryReader.h"
#include "skin/IncludeScan.h"
#include "textures/OrtReader.h"

class DXTexture;

class SkinResources {
public:
    // Whole contents of a file named by its UTF-16 path; false when unreadable.
    using FileReader = skin::FileReader;

    // Over the platform's file system.
    SkinResources();
    SkinResources(std::unique_ptr<DirectoryLister> lister, FileReader reader);
    ~SkinResources();
    SkinResources(const SkinResources&) = delete;
    SkinResources& operator=(const SkinResources&) = delete;

    // Refills the include lists from includes.xml and, after all of its own
    // names, the names of every include file it lists (one level deep).
    void LoadIncludes(const std::wstring& includesPath);
    // Refills the image names from the media folder of a document in
    // `documentFolder`: every bundle's entries, then PNG, JPEG and BMP files.
    void ListMedia(const std::wstring& documentFolder);

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

    const std::vector<std::wstring>& includeNames() const { return includeNames_; }
    const std::vector<std::wstring>& includeFiles() const { return includeFiles_; }
    const std::vector<std::wstring>& imageNames() const { return imageNames_; }
    OrtReader& bundle() { return bundle_; }

private:
    bool openBundle(const std::wstring& bundlePath);
    const OrtEntry* findEntry(const std::wstring& name) const;
    std::unique_ptr<DXTexture> loadFirstFrame(const OrtEntry* entry);

    std::unique_ptr<DirectoryLister> lister_;
    FileReader readFile_;
    std::vector<std::wstring> includeNames_;
    std::vector<std::wstring> includeFiles_;
    std::vector<std::wstring> imageNames_;
    OrtReader bundle_;
    std::wstring bundlePath_;
    std::wstring heldPath_;
    bool reopenHeld_ = false;
};
