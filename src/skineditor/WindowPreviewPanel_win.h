// The "Window Preview" panel: the window file being edited, drawn as the
// media center lays it out on an idle installation (includes expanded, the
// document's unsaved text counted), fitted to the panel. It is drawn again on
// a worker after every change of the model (the last one wins), so typing is
// never held up. The control under the caret is outlined; a click puts the
// caret on the topmost control drawn there, in the file where it is written
// (an include file too). The status line counts what was drawn and what
// could not be, and names the outlined control.
#pragma once

#include "framework/DockingDlgInterface.h"
#include "render/PreviewWorker.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace editor {
class NppEditor;
}
namespace skin {
class SkinModelHolder;
}

namespace skineditor {

class WindowPreviewPanel : public DockingDlgInterface {
public:
    // `poke` wakes the editor's thread, which then calls drawingFinished().
    WindowPreviewPanel(int commandIndex, const editor::NppEditor& editor, skin::SkinModelHolder& models,
                       std::function<void()> poke);

    void open();
    // The document was switched, or its model brought up to date: draw again.
    void refresh();
    // A file was saved: its textures and fonts are read again at the next drawing.
    void fileSaved();
    // SCN_UPDATEUI of a view: the control under the caret is outlined.
    void caretMoved(HWND view);
    // On the editor's thread, after the worker poked it.
    void drawingFinished();
    // The editor shuts down: the worker's thread ends now, not under the
    // loader lock at unload (a drawing in progress runs to its end first).
    void finish() { worker_.reset(); }

    // For tests: the last drawing shown, the outlined control (-1: none),
    // the drawing's place in the panel, and a click there in skin pixels.
    const render::Rendering& drawing() const { return shown_.rendering; }
    int outlined() const { return outlined_; }
    RECT pictureRect() const { return picture_; }
    bool clickAt(float skinX, float skinY);

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void requestDrawing();
    void layout();
    void paint(HDC dc);
    void outlineAt(const std::wstring& path, std::uint32_t line);
    void showStatus();

    const editor::NppEditor& editor_;
    skin::SkinModelHolder& models_;
    std::function<void()> poke_;
    std::unique_ptr<render::PreviewWorker> worker_;
    std::shared_ptr<render::AssetCache> cache_;
    std::wstring cacheFolder_;  // the skin whose textures the cache holds
    bool forget_ = false;
    std::uint64_t serial_ = 0;
    render::PreviewResult shown_;
    std::wstring path_;
    std::wstring status_;
    RECT area_{};     // where the picture may go
    RECT picture_{};  // where the last drawing is
    int outlined_ = -1;
};

}  // namespace skineditor
