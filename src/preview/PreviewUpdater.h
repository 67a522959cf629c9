// What the image previewer does when the caret may have moved, apart from
// the windows and the device it does it with: find the tag value on the
// caret's line, turn it into a path under the skin's media folder, clear the
// panel and show the file, or else the bundle's image of that name.
#pragma once

#include <string>

namespace preview {

// The editor, as far as the previewer asks it.
class PreviewSource {
public:
    virtual ~PreviewSource() = default;
    virtual int caretLine() = 0;
    // The text between the first '>' and the next '<' of the line (at least
    // one character), decoded through the document's code page; false if none.
    virtual bool tagValueOnLine(int line, std::wstring& value) = 0;
    // The folder of the current document.
    virtual std::wstring currentDirectory() = 0;
};

// The panel, as far as the previewer draws on it.
class PreviewCanvas {
public:
    virtual ~PreviewCanvas() = default;
    virtual void clear() = 0;
    // False when there is no such file or it cannot be decoded.
    virtual bool showFile(const std::wstring& imagePath) = 0;
    // The image of that path from the skin's texture bundle; false if none.
    virtual bool showBundleImage(const std::wstring& imagePath) = 0;
    // Neither had the image: the panel stays as clear() left it.
    virtual void showNothing() {}
};

// Holds what the last update saw; the panel that owns it hands it the editor
// and itself at each update, so the updater keeps no way back to the panel.
class PreviewUpdater {
public:
    // Cheap when the caret's line has not changed (one question to the editor,
    // no file access) and a no-op when called again from inside itself.
    void update(PreviewSource& source, PreviewCanvas& canvas);
    // Makes the next update run even on the same line.
    void forgetLine() { lastLine_ = -1; }

    void setShown(bool shown) { shown_ = shown; }
    bool shown() const { return shown_; }
    int lastLine() const { return lastLine_; }
    // The path the last update that found a name looked for.
    const std::wstring& lastImagePath() const { return lastImagePath_; }

private:
    int lastLine_ = -1;
    bool shown_ = false;
    bool busy_ = false;
    std::wstring lastImagePath_;
};

}  // namespace preview
