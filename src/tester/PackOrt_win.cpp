// The tester panel's "Pack ort": the media folder (the current skin's
// preselected), the bundle to write (textures.ort beside the images
// proposed), then the packing on worker threads behind the progress window.
// The skin resources let go of that bundle while it is replaced and open it
// again afterwards; the summary goes to the panel's text pane.
#include "tester/TesterPanel.h"
#include "tester/FolderPicker_win.h"

#include "base/Win32Handles.h"
#include "editor/NppEditor_win.h"
#include "skin/MediaPaths.h"
#include "skin/SkinResources.h"
#include "textures/BundlePacking.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <memory>
#include <vector>

namespace {

constexpr const wchar_t* kFolderTitle = L"Select the media folder to pack:";

std::wstring askForBundleToWrite(HWND owner, HINSTANCE instance, const std::wstring& folder) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    std::vector<wchar_t> file(MAX_PATH, L'\0');
    const std::wstring proposed = L"textures.ort";
    std::copy(proposed.begin(), proposed.end(), file.begin());
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.hInstance = instance;
    request.lpstrFilter = L"Ort files\0*.ort\0";
    request.lpstrFile = file.data();
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = folder.c_str();
    request.lpstrDefExt = L"ort";
    request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
    if (!::GetSaveFileNameW(&request)) {
        return std::wstring();
    }
    return file.data();
}

}  // namespace

void TesterPanel::setBundleWritten(std::function<void(const std::wstring&)> told) { bundleWritten_ = std::move(told); }

void TesterPanel::packOrt() {
    const std::wstring documentFolder = editor_ == nullptr ? std::wstring() : editor_->currentDirectory();
    std::wstring media = documentFolder.empty() ? std::wstring() : preview::MediaFolderOf(documentFolder);
    if (!media.empty() && media.back() == L'\\') {
        media.pop_back();
    }
    const std::wstring folder = tester::browseForFolder(parent_, kFolderTitle, media);
    if (folder.empty()) {
        return;
    }
    const std::wstring bundle = askForBundleToWrite(parent_, instance_, folder);
    if (bundle.empty()) {
        return;
    }
    if (resources_ != nullptr) resources_->HoldBundle(bundle);
    auto report = std::make_shared<textures::PackReport>();
    ProgressWindow::Task task;
    task.title = kPackOrt;
    task.unit = L"images";
    task.work = [folder, bundle, report](ProgressWindow& progress) {
        *report = textures::PackFolder(folder, bundle, &progress.cancelFlag(), &progress);
    };
    task.finished = [this, report, bundle](bool) { packingEnded(*report, bundle); };
    progress_.setShell(shell_);
    packing_ = progress_.start(instance_, parent_, std::move(task));
    if (!packing_) {
        if (resources_ != nullptr) resources_->ReleaseBundle();
    }
}

void TesterPanel::packingEnded(const textures::PackReport& report, const std::wstring& bundle) {
    packing_ = false;
    if (resources_ != nullptr) resources_->ReleaseBundle();
    infoBox_.setText(textures::packSummary(report, bundle));
    infoBox_.enable(true);
    infoBox_.setReadOnly(true);
    if (report.written && bundleWritten_) {
        bundleWritten_(bundle);
    }
}
