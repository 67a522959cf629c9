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
#include "refcheck/ReferenceMarker_win.h"
#include "settings/SettingsStore.h"
#include "settings/OptionsDialog.h"
#include "skin/SkinResources.h"
#include "tester/TesterPanel.h"
#include "textures/DisplayDevice_win.h"

#include <array>
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
    std::array<npp::FuncItem, 6> commandTable_{};
    npp::ShortcutKey previewerShortcut_{true, true, false, 'V'};
    npp::ShortcutKey controlsShortcut_{true, true, false, 'B'};
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

    // The skin's include and image names as row choices, with the image preview.
    controls::PanelSkinChoices skinChoices_{controls_, previewer_, editor_, skinResources_};
    // The element names whose text names an image, from the control catalogue.
    const std::vector<std::wstring> imageElements_;
    // Missing textures and includes marked in the document as it is edited.
    refcheck::ReferenceMarker marker_{editor_, imageElements_};

    OptionsDialog options_;
    plugin::HostWindowHook hook_;
    HINSTANCE module_ = nullptr;
    bool informed_ = false;
};

Application& theApp();
