// The skin's own names as choices in the controls panel: image names in rows
// whose tag contains "texture", include names in the "include" row, and a
// preview of the image a drop-down row was set to.
//
// The editor, the panel's two flags and the previewer are reached through
// SkinChoiceEnvironment, so the rules here run without any window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/ControlEditSink.h"
#include "skin/Completion.h"

class ControlCatalogue;
class SkinResources;

namespace controls {

// What a cheap look at a file or folder tells: whether it is there, its size
// and its last write time.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::uint64_t time = 0;
    bool operator==(const FileStamp& o) const { return exists == o.exists && size == o.size && time == o.time; }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

class SkinChoiceEnvironment {
public:
    virtual ~SkinChoiceEnvironment() = default;
    // The panel's mirrors of the settings "LoadImages" and "LoadIncludes".
    virtual bool offerImages() const = 0;
    virtual bool offerIncludes() const = 0;
    // The folder of the editor's current document; empty when it has none.
    virtual std::wstring documentFolder() = 0;
    // Folder names as the file system compares them (case does not count).
    virtual bool sameFolder(const std::wstring& a, const std::wstring& b) const;
    // Clears the previewer, then draws the image file scaled into it; false
    // (the previewer stays cleared) when it cannot be loaded or there is no
    // previewer window to draw into. Windows delivered meanwhile may run
    // another choice, which the busy guard below turns away.
    virtual bool previewImage(const std::wstring& imagePath) = 0;
    // Clears the previewer only.
    virtual void clearPreview() = 0;
    // The stamp of a file or folder (no reading of its contents).
    virtual FileStamp stamp(const std::wstring& path) = 0;
};

// The catalogue's tags whose text names an image: those the image choices
// are offered for, less "usealttexture", whose text is a condition.
std::vector<std::wstring> imageElementNames(const ControlCatalogue& catalogue);
// The control types, each type's element names and the image elements, for
// completion.
skin::CompletionCatalogue completionCatalogue(const ControlCatalogue& catalogue);

class SkinChoices : public RowChoiceSource {
public:
    SkinChoices(SkinChoiceEnvironment& environment, SkinResources& resources)
        : environment_(environment), resources_(resources) {}

    // Image names are listed again when the document belongs to another
    // skin, or when the media folder or the bundle changed since they were
    // listed; include names likewise for another folder or a changed include
    // file. The check looks at a few files' sizes and times only.
    RowChoice rowFor(const std::wstring& tag) override;
    // Previews the value chosen in a drop-down row.
    void choiceMade(const std::wstring& tag, const std::wstring& value) override;
    // Loads the include names of the newly active document's folder, unless
    // they were loaded for it and its include files are unchanged.
    void documentActivated() override;

    // The folder the includes were last loaded for (empty before the first).
    const std::wstring& lastFolder() const { return lastFolder_; }
    // The file the last preview tried to show (empty before the first).
    const std::wstring& lastPreviewPath() const { return lastPreviewPath_; }
    bool previewing() const { return busy_; }

private:
    void refreshIncludes(const std::wstring& folder);
    void refreshImages(const std::wstring& folder);
    std::vector<FileStamp> stamps(const std::vector<std::wstring>& paths);
    std::vector<std::wstring> includePaths(const std::wstring& folder) const;

    SkinChoiceEnvironment& environment_;
    SkinResources& resources_;
    std::wstring lastFolder_;
    std::vector<FileStamp> includeStamps_;  // includes.xml and the files it names, when loaded
    std::wstring imagesSkin_;               // the skin folder the image names were listed for
    bool imagesListed_ = false;
    std::vector<FileStamp> imageStamps_;  // the media folder and its bundle, when listed
    std::wstring lastPreviewPath_;
    bool busy_ = false;
};

}  // namespace controls
