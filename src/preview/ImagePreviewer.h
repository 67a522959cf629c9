// The image previewer panel: shows the image named between the tags on the
// caret's line, from the skin's media folder or else from its texture bundle,
// at its own pixel size at the panel's top left, through the display device
// the application object hands it, created on this panel's window.
//
// The application object calls update() on every caret notification while the
// panel's menu item is checked and the panel is marked shown; the controls
// panel may draw a chosen image through previewImageFile().
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings/ModelController.h"
#include "preview/BitmapImage_win.h"
#include "preview/PreviewUpdater.h"
#include "framework/DockingDlgInterface.h"

class BaseTexture;
class SkinResources;
struct IDirect3DTexture9;
namespace editor {
class NppEditor;
}
namespace preview {
struct CapturedFrame;
}
namespace textures {
class DisplayDevice;
}

class ImagePreviewer : public DockingDlgInterface,
                       public IController,
                       private preview::PreviewSource,
                       private preview::PreviewCanvas {
public:
    // The panel's entry in the command table, which is also its docking id.
    static constexpr int kCommandIndex = 2;

    ImagePreviewer();
    ~ImagePreviewer() override;

    // The editor the panel lives in (not owned; null for none).
    void setEditor(editor::NppEditor* editor);
    // The display device the panel draws with and the skin's shared material
    // its bundle images come from (neither owned; null for none).
    void setDisplayDevice(textures::DisplayDevice* display) { display_ = display; }
    void setSkinResources(SkinResources* resources) { resources_ = resources; }

    // Reloads when the caret's line changed; cheap otherwise, never re-entered.
    void update() noexcept;
    // Draws the caret line's image again (its file or bundle may have changed).
    void redraw() noexcept;

    // Clears the panel to its background.
    void clearWindow();
    // Clears the panel, then draws the image file scaled down (never up) and
    // centred into it through GDI. False when the file cannot be loaded.
    bool previewImageFile(const std::wstring& imagePath);
    // Draws the current picture again on the background of the new theme.
    void themeChanged() override;

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onRegistered() override;
    void onDpiChanged() override;

private:
    // The device exists and presents to this panel's window.
    bool drawsHere() const;

    editor::NppEditor* editor_ = nullptr;
    textures::DisplayDevice* display_ = nullptr;
    SkinResources* resources_ = nullptr;

    // preview::PreviewSource
    int caretLine() override;
    bool tagValueOnLine(int line, std::wstring& value) override;
    std::wstring currentDirectory() override;
    // preview::PreviewCanvas
    void clear() override;
    bool showFile(const std::wstring& imagePath) override;
    bool showBundleImage(const std::wstring& imagePath) override;
    void showNothing() override;

    // Keeps the back buffer at the client size; a new size, or any WM_SIZE,
    // draws the current line's image again.
    void onSize(bool redraw);
    // Presents one frame: the background, and the texture (if any: a texture
    // object, or a plain device texture) at its own size.
    void presentFrame(BaseTexture* texture, IDirect3DTexture9* plain = nullptr);
    void captureBackBuffer();
    LRESULT frameRequest(WPARAM request, LPARAM frame);

    preview::PreviewUpdater updater_;
    BitmapImage fill_;

    bool capturing_ = false;
    std::uint32_t presents_ = 0;
    std::uint32_t clears_ = 0;
    std::uint32_t frameWidth_ = 0;
    std::uint32_t frameHeight_ = 0;
    std::vector<std::uint32_t> frame_;
};
