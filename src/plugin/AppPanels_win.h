// The panels and dialogs the application object owns. Each one lives in its
// own folder; until a folder provides its class, a plain panel stands in so
// that the menu, docking and check marks work end to end.
#pragma once

#include "plugin/ModelController.h"
#include "ui/DockingDlgInterface.h"
#include "ui/StaticDialog.h"

// A docking panel with no contents of its own.
class StandInPanel : public DockingDlgInterface, public IController {
public:
    StandInPanel(int commandIndex, const wchar_t* caption);
    void update() {}
    void caretMoved() {}
    void bufferActivated() {}

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

#if __has_include("tester/OrmuControllerDialog.h")
#include "tester/OrmuControllerDialog.h"
using TesterPanel = OrmuControllerDialog;
#else
class TesterPanel : public StandInPanel {
public:
    TesterPanel() : StandInPanel(1, L"Ormu Commands") {}
};
#endif

#if __has_include("preview/OrmuImagePreviewer.h")
#include "preview/OrmuImagePreviewer.h"
using PreviewerPanel = OrmuImagePreviewer;
#else
class PreviewerPanel : public StandInPanel {
public:
    PreviewerPanel() : StandInPanel(2, L"Ormu Image Previewer") {}
};
#endif

#if __has_include("controls/COrmuControlsDialog.h")
#include "controls/COrmuControlsDialog.h"
using ControlsPanel = COrmuControlsDialog;
#else
class ControlsPanel : public StandInPanel {
public:
    ControlsPanel() : StandInPanel(3, L"Ormu Controls") {}
};
#endif

#if __has_include("settings/ZuverUdozboardSettingsDialog.h")
#include "settings/ZuverUdozboardSettingsDialog.h"
using OptionsDialog = ZuverUdozboardSettingsDialog;
#define QUORREL_HAVE_OPTIONS_DIALOG 1
#else
class OptionsDialog {};
#endif

#if __has_include("plugin/AboutDialog.h")
#include "plugin/AboutDialog.h"
using AboutBox = AboutDialog;
#define QUORREL_HAVE_ABOUT_DIALOG 1
#else
class AboutBox {};
#endif
