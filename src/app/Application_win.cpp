// The application object, the library's entry point and the six exports.
#include "app/Application.h"

#include "settings/SettingsStore.h"
#include "base/Win32Handles.h"
#include "framework/Window.h"

#include <array>
#include <initializer_list>
#include <cwchar>
#include <memory>
#include <optional>

namespace {

constexpr wchar_t kPluginName[] = L"&Quorrel";

// The one command table: the panels' entries are the indices the panels dock with.
enum Command : int {
    SkinControls = 0,
    Tester = TesterPanel::kCommandIndex,
    Previewer = ImagePreviewer::kCommandIndex,
    Controls = ControlsPanel::kCommandIndex,
    Options = 4,
    About = 5,
    // Separators group the rest: navigation, the media center, completion.
    GoToDefinition = 7,
    FindReferences = 8,
    Hover = 9,
    WindowOutline = 10,
    WindowPreview = 11,
    TestWindow = 13,
    ReloadSkin = 14,
    CompleteName = 16
};
static_assert(Tester == 1 && Previewer == 2 && Controls == 3, "menu order");

struct MenuEntry {
    const wchar_t* text;
    void (*handler)();
};

void doNothing() {}

// Every handler the host calls: no exception may reach the editor.
template <void (Application::*Method)()>
void guarded() {
    try {
        (theApp().*Method)();
    } catch (...) {
    }
}

// An entry without a handler is a separator (the editor draws it so).
constexpr std::array<MenuEntry, 17> kMenu{{
    {L"&Ormu Skin Controls...", &doNothing},
    {L"&Ormu Tester", &guarded<&Application::toggleTester>},
    {L"&Ormu Image Previewer", &guarded<&Application::togglePreviewer>},
    {L"&Ormu Controls", &guarded<&Application::toggleControls>},
    {L"&Options...", &guarded<&Application::showOptions>},
    {L"&About...", &guarded<&Application::showAbout>},
    {L"", nullptr},
    {L"Go to definition", &guarded<&Application::goToDefinition>},
    {L"Find references", &guarded<&Application::findReferences>},
    {L"Hover tips", &guarded<&Application::toggleHover>},
    {L"&Window outline", &guarded<&Application::toggleOutline>},
    {L"Window &preview", &guarded<&Application::togglePreview>},
    {L"", nullptr},
    {L"&Test window", &guarded<&Application::testWindow>},
    {L"&Reload skin", &guarded<&Application::reloadSkin>},
    {L"", nullptr},
    {L"Complete &name", &guarded<&Application::completeName>},
}};
// (Separators have no text; comparing the handlers' addresses with null is
// always true to the compiler, which warns.)
static_assert(kMenu[GoToDefinition].text[0] != L'\0' && kMenu[WindowOutline].text[0] != L'\0' &&
                  kMenu[WindowPreview].text[0] != L'\0' && kMenu[TestWindow].text[0] != L'\0' &&
                  kMenu[CompleteName].text[0] != L'\0',
              "commands on menu entries");

bool hostInFront() { return ::GetForegroundWindow() == theApp().editor().hostWindow(); }

LRESULT CALLBACK hostWindowHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return theApp().hostWindowHook(window, message, wParam, lParam);
}

// The one application object: constructed when the library is loaded,
// destroyed when it is unloaded (both from DllMain).
std::optional<Application> application;

}  // namespace

Application& theApp() { return *application; }

Application::Application()
    : clipboardController_(&hostInFront),
      imageElements_(controls::imageElementNames(ControlCatalogue())),
      skinLister_(makePlatformDirectoryLister()),
      // One lister for every model: the platform's keeps no state between calls.
      models_(
          [this] {
              skin::SkinModelOptions options;
              options.imageElements = imageElements_;
              return std::make_unique<skin::SkinModel>(*skinLister_, skin::ReadWholeFile, skin::ReadBundleInfo,
                                                       std::move(options));
          },
          [this] { wake_.poke(); }),
      referencesPanel_(FindReferences),
      outlinePanel_(WindowOutline, editor_, models_),
      previewPanel_(WindowPreview, editor_, models_, [this] { wake_.poke(); }),
      completer_(editor_, completionModels_),
      mediaCenterFiles_([this](const std::wstring& strings, const std::wstring& colours) {
          models_.setCorePaths(strings, colours);
          tester_.setMediaCenterFiles(strings, colours);
      }) {}

Application::~Application() = default;

bool Application::InitInstance(HINSTANCE module) {
    module_ = module;
    return true;
}

void Application::setInfo(const npp::NppData& data) {
    editor_.connect(module_, data);
    editor_.setCommands(commandTable_.data(), static_cast<int>(commandTable_.size()));
    EditorEventHub& hub = hub_;
    hub.setSystem(&hubSystem_);
    hub.setSelectionFormats(::RegisterClipboardFormatW(L"MSDEVColumnSelect"),
                            ::RegisterClipboardFormatW(L"MSDEVLineSelect"));

    hook_.install(data.nppHandle, &hostWindowHookProc);

    settingsPath_ = editor_.configFolder() + L"\\Quorrel.xml";
    if (::GetFileAttributesW(settingsPath_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        win::KernelHandle file(::CreateFileW(settingsPath_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    SettingsStore& store = store_;
    store.load(settingsPath_);

    for (StaticDialog* dialog : std::initializer_list<StaticDialog*>{&about_, &options_}) dialog->setShell(&editor_);
    theme_ = editor_.currentTheme();
    for (StaticDialog* dialog : std::initializer_list<StaticDialog*>{&about_, &options_, &tester_, &previewer_,
                                                                     &controls_, &referencesPanel_, &outlinePanel_,
                                                                     &previewPanel_}) {
        dialog->setTheme(&theme_);
    }
    skinResources_.bundle().useDevice(&display_.textures());
    tester_.setEditor(&editor_);
    tester_.setSkinResources(&skinResources_);
    tester_.setImageElements(imageElements_);
    // A bundle the tester packed may be the one the previewer shows from.
    tester_.setBundleWritten([this](const std::wstring&) { previewer_.redraw(); });
    previewer_.setEditor(&editor_);
    previewer_.setDisplayDevice(&display_);
    previewer_.setSkinResources(&skinResources_);
    controls_.setEditor(&editor_);
    about_.init(module_, data.nppHandle, data);
    options_.init(module_, data.nppHandle, &store, settingsPath_);

    store.addObserver(&clipboardList_);

    previewer_.attach(module_, data.nppHandle);
    tester_.attach(module_, data.nppHandle);
    controls_.attach(module_, data.nppHandle);
    previewer_.init(&clipboardList_, &hub, &store);
    tester_.init(&clipboardList_, &hub, &store);
    controls_.init(&clipboardList_, &hub, &store);
    clipboardController_.init(&clipboardList_, &hub, &store);
    hub.addClipboardListener(&clipboardController_);
    store.addObserver(&marker_);

    wake_.create(module_, [this] {
        // The preview's worker pokes too, when a drawing is ready.
        previewPanel_.drawingFinished();
        if (!models_.collect()) return;
        navigator_.modelChanged();
        marker_.modelChanged();
        outlinePanel_.refresh();
        previewPanel_.refresh();
    });
    referencesPanel_.setShell(&editor_);
    referencesPanel_.setEditor(&editor_);
    referencesPanel_.attach(module_, data.nppHandle);
    outlinePanel_.setShell(&editor_);
    outlinePanel_.attach(module_, data.nppHandle);
    previewPanel_.setShell(&editor_);
    previewPanel_.attach(module_, data.nppHandle);
    navigator_.connected();
    store.addObserver(&completer_);
    store.addObserver(&mediaCenterFiles_);
    informed_ = true;
}

npp::FuncItem* Application::getFuncsArray(int* count) {
    static_assert(std::tuple_size<decltype(commandTable_)>::value == kMenu.size(), "one entry per menu item");
    for (std::size_t i = 0; i < kMenu.size(); ++i) {
        npp::FuncItem& item = commandTable_[i];
        std::wcsncpy(item.itemName, kMenu[i].text, npp::kMenuItemSize - 1);
        item.itemName[npp::kMenuItemSize - 1] = L'\0';
        item.pFunc = kMenu[i].handler;
        item.init2Check = false;
        item.pShKey = nullptr;
    }
    commandTable_[Previewer].pShKey = &previewerShortcut_;
    commandTable_[Controls].pShKey = &controlsShortcut_;
    commandTable_[GoToDefinition].pShKey = &definitionShortcut_;
    commandTable_[Hover].init2Check = navigator_.hover();
    commandTable_[TestWindow].pShKey = &testWindowShortcut_;
    commandTable_[CompleteName].pShKey = &completeNameShortcut_;
    editor_.setCommands(commandTable_.data(), static_cast<int>(commandTable_.size()));
    if (count != nullptr) *count = static_cast<int>(commandTable_.size());
    return commandTable_.data();
}

namespace {
template <typename Panel>
void toggle(const editor::NppEditor& editor, Panel& panel, int command) {
    if (editor.isCommandChecked(command)) {
        panel.hidePanel();
    } else {
        panel.showPanel();
    }
}
}  // namespace

void Application::toggleTester() { toggle(editor_, tester_, Tester); }

void Application::togglePreviewer() {
    editor_.recordActiveView();
    toggle(editor_, previewer_, Previewer);
}

void Application::toggleControls() {
    editor_.recordActiveView();
    toggle(editor_, controls_, Controls);
}

void Application::showOptions() { options_.showOptions(); }

void Application::showAbout() { about_.open(); }

void Application::goToDefinition() { navigator_.goToDefinition(); }

void Application::findReferences() {
    if (editor_.isCommandChecked(FindReferences)) {
        referencesPanel_.hidePanel();
    } else {
        navigator_.findReferences();
    }
}

void Application::toggleOutline() {
    if (editor_.isCommandChecked(WindowOutline)) {
        outlinePanel_.hidePanel();
    } else {
        outlinePanel_.open();
    }
}

void Application::togglePreview() {
    if (editor_.isCommandChecked(WindowPreview)) {
        previewPanel_.hidePanel();
    } else {
        previewPanel_.open();
    }
}

void Application::toggleHover() {
    navigator_.setHover(!navigator_.hover());
    editor_.setCommandChecked(Hover, navigator_.hover());
}

void Application::testWindow() { tester_.runFromMenu(TesterPanel::kTestWindow); }

void Application::reloadSkin() { tester_.runFromMenu(TesterPanel::kReloadSkin); }

void Application::completeName() { completer_.completeNow(); }

void Application::beNotified(const npp::SCNotification& n) {
    switch (n.nmhdr.code) {
    case npp::SCN_MODIFIED:
        if ((n.modificationType & (npp::SC_MOD_INSERTTEXT | npp::SC_MOD_DELETETEXT)) != 0) {
            controls_.documentChanged(n.position);
        }
        // Selecting the changed range after a deletion would leave the next
        // typed character replacing the text that followed it: insertions only.
        // Only in the view that holds the caret: the other view may show the
        // same document, or another one.
        if (controls_.markedShown() && n.text != nullptr && (n.modificationType & npp::SC_MOD_INSERTTEXT) != 0 &&
            n.nmhdr.hwndFrom == editor_.activeView()) {
            editor_.select(n.nmhdr.hwndFrom, n.position, n.position + n.length);
        }
        navigator_.textModified(n);
        return;
    case npp::SCN_CHARADDED:
        completer_.charAdded(n);
        return;
    case npp::SCN_AUTOCSELECTION:
        completer_.listChosen(n);
        return;
    case npp::SCN_AUTOCCANCELLED:
        completer_.listCancelled();
        return;
    case npp::NPPN_BUFFERACTIVATED:
        controls_.bufferActivated();
        // The navigator hands the document's text to the model; the marks are made from it.
        navigator_.documentActivated();
        marker_.documentActivated();
        outlinePanel_.refresh();
        previewPanel_.refresh();
        return;
    case npp::SCN_DWELLSTART:
        navigator_.dwellStarted(n);
        return;
    case npp::SCN_DWELLEND:
        navigator_.dwellEnded(n);
        return;
    case npp::SCN_UPDATEUI:
        if (editor_.isCommandChecked(Previewer)) {
            if (previewer_.markedShown()) previewer_.update();
        } else {
            previewer_.markShown(false);
        }
        if (!editor_.isCommandChecked(Controls)) controls_.markShown(false);
        controls_.caretMoved();
        navigator_.viewUpdated(n.nmhdr.hwndFrom);
        marker_.viewUpdated(n.nmhdr.hwndFrom);
        outlinePanel_.caretMoved(n.nmhdr.hwndFrom);
        previewPanel_.caretMoved(n.nmhdr.hwndFrom);
        return;
    default:
        if (n.nmhdr.hwndFrom != editor_.hostWindow()) return;
        editor_.translateMenu(kPluginName);
        if (n.nmhdr.code == npp::NPPN_DARKMODECHANGED) followEditorTheme();
        if (n.nmhdr.code == npp::NPPN_FILESAVED) {
            previewPanel_.fileSaved();
            tester_.fileSaved(editor_.pathOfBuffer(n.nmhdr.idFrom));
        }
        // The display device goes while the editor still runs, not under the
        // loader lock at unload.
        if (n.nmhdr.code == npp::NPPN_SHUTDOWN) {
            display_.release();
            // Its thread ends while the editor still runs, not under the loader lock.
            tester_.endTestWindow();
            models_.finish();
            previewPanel_.finish();
        }
        return;
    }
}

void Application::followEditorTheme() {
    theme_ = editor_.currentTheme();
    for (StaticDialog* dialog : std::initializer_list<StaticDialog*>{&tester_, &previewer_, &controls_, &options_,
                                                                     &about_, &referencesPanel_, &outlinePanel_, &previewPanel_}) {
        dialog->themeChanged();
    }
}

LRESULT Application::hostWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = hook_.previous();
    try {
        plugin::hostMessage(hub_, window, message, wParam, lParam);
    } catch (...) {
    }
    if (previous == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

int Application::ExitInstance() {
    if (!informed_) return 0;
    store_.save(settingsPath_);
    tester_.releaseChildren();
    EditorEventHub& hub = hub_;
    HWND host = editor_.hostWindow();
    if (hub.hasListeners() && ::IsWindow(host)) {
        ::ChangeClipboardChain(host, static_cast<HWND>(hub.nextViewer()));
    }
    hub.reset();
    // Leave no dangling window procedure behind: restore the host's own one if
    // nobody hooked the window after us.
    hook_.remove();
    models_.finish();
    wake_.destroy();
    display_.release();
    ui::unregisterChildClasses(module_);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    try {
        if (reason == DLL_PROCESS_ATTACH) {
            ::DisableThreadLibraryCalls(module);
            application.emplace();
            return application->InitInstance(module) ? TRUE : FALSE;
        }
        if (reason == DLL_PROCESS_DETACH && application) {
            application->ExitInstance();
            application.reset();
        }
    } catch (...) {
        return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
    }
    return TRUE;
}

extern "C" {

__declspec(dllexport) void setInfo(npp::NppData data) {
    try {
        theApp().setInfo(data);
    } catch (...) {
    }
}

__declspec(dllexport) const wchar_t* getName() { return kPluginName; }

__declspec(dllexport) npp::FuncItem* getFuncsArray(int* count) {
    try {
        return theApp().getFuncsArray(count);
    } catch (...) {
        if (count != nullptr) *count = 0;
        return nullptr;
    }
}

__declspec(dllexport) void beNotified(npp::SCNotification* notification) {
    if (notification == nullptr) return;
    try {
        theApp().beNotified(*notification);
    } catch (...) {
    }
}

__declspec(dllexport) LRESULT messageProc(UINT, WPARAM, LPARAM) { return TRUE; }

__declspec(dllexport) BOOL isUnicode() { return TRUE; }

}  // extern "C"
