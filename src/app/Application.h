// The plugin's one application object: everything the plugin owns hangs off it.
// Constructed when the library is loaded (no windows yet), informed by setInfo,
// and torn down when the library is unloaded.
#pragma once

#include "clipboard/ClipboardList.h"
#include "controls/ControlsPanel.h"
#include "controls/CaretTracker_win.h"
#include "app/PanelSkinChoices_win.h"
#include "app/AboutDialog.h"
#include "app/HostWindowHook_win.h"
#include "editor/HubSystem_win.h"
#include "editor/NppEditor_win.h"
#include "framework/EditorEventHub.h"
#include "preview/ImagePreviewer.h"
#include "skineditor/NameCompleter_win.h"
#include "skineditor/ReferenceMarker_win.h"
#include "skineditor/ReferencesPanel_win.h"
#include "skineditor/SkinNavigator_win.h"
#include "skineditor/WindowOutlinePanel_win.h"
#include "skineditor/WindowPreviewPanel_win.h"
#include "settings/MediaCenterFiles.h"
#include "skin/SkinModelHolder.h"
#include "framework/WakeWindow_win.h"
#include "settings/SettingsStore.h"
#include "settings/OptionsDialog.h"
#include "skin/SkinResources.h"
#include "tester/TesterPanel.h"
#include "textures/DisplayDevice_win.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    bool InitInstance(HINSTANCE module);
    int ExitInstance();

    void setInfo(const npp::NppData& data);
    npp::FuncItem* getFuncsArray(int* count);
    void beNotified(const npp::SCNotification& notification);

    // Menu commands.
    void toggleTester();
    void togglePreviewer();
    void toggleControls();
    void showOptions();
    void showAbout();
    void goToDefinition();
    void findReferences();
    void toggleHover();
    void toggleOutline();
    void togglePreview();
    void testWindow();
    void reloadSkin();
    void completeName();

    LRESULT hostWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The editor switched between dark and light: every panel and dialog follows at once.
    void followEditorTheme();

    const editor::NppEditor& editor() const { return editor_; }

private:
    // Members in construction order. The editor seam, the settings store and
    // the event hub come first: everything after them borrows them.
    editor::NppEditor editor_;
    editor::Win32HubSystem hubSystem_{editor_};
    EditorEventHub hub_;
    SettingsStore store_;
    // The colours the panels and dialogs paint with, read from the editor.
    ui::Theme theme_;
    // The menu the editor holds a pointer to for as long as the plugin is
    // loaded, and the shortcuts it borrows.
    std::array<npp::FuncItem, 17> commandTable_{};
    npp::ShortcutKey previewerShortcut_{true, true, false, 'V'};
    npp::ShortcutKey controlsShortcut_{true, true, false, 'B'};
    npp::ShortcutKey definitionShortcut_{true, true, true, 'D'};
    // Not in the editor's default key map (see the README).
    npp::ShortcutKey testWindowShortcut_{true, true, true, 'T'};
    // Ctrl+Alt+Shift+Space: free in the editor's default key map (its own
    // completion keys are Ctrl+Space, Ctrl+Enter, Ctrl+Shift+Space and Ctrl+Alt+Space).
    npp::ShortcutKey completeNameShortcut_{true, true, true, VK_SPACE};
    // The Direct3D device the previewer draws with and the skin's shared
    // material (its bundle makes textures for that device): handed to the
    // panels, so they come before them.
    textures::DisplayDevice display_;
    SkinResources skinResources_;
    AboutDialog about_;
    std::wstring settingsPath_;
    ClipboardList clipboardList_;
    OSClipboardController clipboardController_;
    TesterPanel tester_;
    ImagePreviewer previewer_;
    ControlsPanel controls_;
    // Follows the caret into the control under it and writes row edits back.
    controls::PanelCaretFollower caretFollower_{controls_, editor_};

    // The element names whose text names an image, from the control catalogue.
    const std::vector<std::wstring> imageElements_;

    // The skin models: built on a worker, which wakes the editor's thread
    // through this window when one is ready (the window outlives the holder).
    ui::WakeWindow wake_;
    std::unique_ptr<DirectoryLister> skinLister_;
    skin::SkinModelHolder models_;
    // The skin's include and image names (from its model) as row choices,
    // with the image preview.
    controls::PanelSkinChoices skinChoices_{controls_, previewer_, editor_, models_};
    skineditor::ReferencesPanel referencesPanel_;
    // Go to definition, Find references, hover and colour values.
    skineditor::SkinNavigator navigator_{editor_, models_, referencesPanel_};
    // The current window's controls, includes expanded, following the caret.
    skineditor::WindowOutlinePanel outlinePanel_;
    // The current window drawn as the media center lays it out, on a worker.
    skineditor::WindowPreviewPanel previewPanel_;
    // The skin check's findings marked in the document as it is edited.
    skineditor::ReferenceMarker marker_{editor_, models_};
    // The skin's names offered as they are typed, from the same models.
    skineditor::HeldSkinModels completionModels_{models_};
    skineditor::NameCompleter completer_;

    // The media center's own strings and colours files named in Options,
    // handed to the skin models and to Check skin.
    MediaCenterFiles mediaCenterFiles_;
    OptionsDialog options_;
    plugin::HostWindowHook hook_;
    HINSTANCE module_ = nullptr;
    bool informed_ = false;
};

Application& theApp();
