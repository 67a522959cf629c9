// What a skin's references resolve against: the files under its media folder,
// the entries of media\textures.ort, the include names its include files
// define, and the files beside the window being checked. Built once per skin
// and brought up to date by a cheap look at sizes and times: only the part
// that changed (media folders, bundle, include files, window folder) is read
// again, so the bundle's names are read once per change of the bundle.
#pragma once

#include "skin/DirectoryReader.h"
#include "skin/IncludeScan.h"
#include "skin/SkinReferences.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace skin {

// The stored entry names of a texture bundle; false when it cannot be read.
using BundleNameReader = std::function<bool(const std::wstring& path, std::vector<std::string>& names)>;

// Through the bundle reader, which reads the header only.
bool ReadBundleNames(const std::wstring& path, std::vector<std::string>& names);

class SkinIndex {
public:
    SkinIndex(DirectoryLister& lister, FileReader readFile, BundleNameReader readBundle);

    // Describes the skin of a window file in `documentFolder` (the skin folder
    // is its parent, as the media lookup has it). Reads everything for a new
    // folder; otherwise only what changed since the last call. True when
    // anything was read again, so earlier results may no longer hold.
    bool refresh(const std::wstring& documentFolder);

    bool resolves(const Reference& ref) const;
    // What is missing and where it was looked for: two lines, for a call tip.
    std::wstring explainMissing(const Reference& ref) const;

    const std::wstring& documentFolder() const { return documentFolder_; }
    const std::wstring& mediaFolder() const { return mediaFolder_; }  // ends in '\'
    const std::wstring& bundlePath() const { return bundlePath_; }
    std::size_t mediaFileCount() const { return mediaFiles_.size(); }
    std::size_t bundleEntryCount() const { return bundleEntries_.size(); }
    std::size_t includeNameCount() const { return includeNames_.size(); }
    // How often each part was read (the bundle's names especially).
    int bundleReads() const { return bundleReads_; }
    int mediaScans() const { return mediaScans_; }

private:
    struct Stamped {
        std::wstring path;
        FileStamp stamp;
    };
    bool changed(const std::vector<Stamped>& stamps) const;
    void loadMedia();
    void loadBundle();
    void loadIncludes();
    void loadFolder();
    std::wstring includeFilePath(const std::wstring& name) const;

    DirectoryLister& lister_;
    FileReader readFile_;
    BundleNameReader readBundle_;

    bool loaded_ = false;
    std::wstring documentFolder_;
    std::wstring mediaFolder_;
    std::wstring bundlePath_;
    std::wstring includesPath_;

    std::unordered_set<std::wstring> mediaFiles_;     // keys of paths below the media folder
    std::unordered_set<std::wstring> bundleEntries_;  // keys of entry names
    std::unordered_set<std::wstring> includeNames_;   // exact
    bool includesRead_ = false;
    std::size_t includeFilesRead_ = 0;
    // Include files named by references, looked up on first use.
    mutable std::unordered_map<std::wstring, bool> includeFiles_;

    std::vector<Stamped> mediaStamps_;
    std::vector<Stamped> bundleStamps_;
    std::vector<Stamped> includeStamps_;
    std::vector<Stamped> folderStamps_;
    int bundleReads_ = 0;
    int mediaScans_ = 0;
};

}  // namespace skin
