#include "tester/TesterPanel.h"
#include "tester/FolderPicker_win.h"

#include "editor/NppEditor_win.h"

#include "npp/NppInterface.h"
#include "tester/tester_ids.h"
#include "settings/SettingsStore.h"
#include "tester/ActivateWindow_win.h"
#include "tester/WindowTable.h"
#include "tester/JsonRpcMessages.h"
#include "tester/MediaCenterAddress.h"
#include "tester/TodayWindowTable.h"
#include "base/Files.h"
#include "base/TextCodec.h"
#include "skin/SavedFile.h"
#include "textures/BundleExtraction.h"

#include <commctrl.h>
#include <commdlg.h>
#include <ole2.h>
#include <shlobj.h>

#include <initializer_list>
#include <memory>

namespace {

constexpr const wchar_t* kWindowIdText = L"The window id that \r\nis going to be loaded: ";
constexpr const wchar_t* kExtractText = L"This command is used if you want to extract a compressed ort file";
constexpr const wchar_t* kBusyText = L"An extraction is still running. Wait for it to end, or cancel it.";
constexpr const wchar_t* kTestBusyText =
    L"An earlier request to the media center is still under way; this one was not sent.";
constexpr const wchar_t* kReloadText = L"This command asks the media center to reload the skin";
// Posted by the client's thread when a round of requests has its outcome.
constexpr UINT kClientDoneMessage = WM_APP + 20;
// Posted by the JSON-RPC round's thread when it ended.
constexpr UINT kJsonRpcDoneMessage = WM_APP + 21;
constexpr const wchar_t* kAutomatic = L"automatic";
constexpr const wchar_t* kHttpCommand = L"http-command";
constexpr const wchar_t* kCheckBusyText = L"A skin check is still running. Wait for it to end, or cancel it.";
constexpr const wchar_t* kCheckText =
    L"Checks every window file in the folder of the current document for textures, includes and include files "
    L"that the skin does not have. Double-click a result to open its file at its line.";
constexpr const wchar_t* kNoSkinText =
    L"Open a window file of the skin first: Check skin looks at the folder it is in.";
constexpr const wchar_t* kPackBusyText = L"A bundle is still being packed. Wait for it to end, or cancel it.";
constexpr const wchar_t* kPackText = L"This command packs the images of a media folder into an ort file";

bool sameIgnoringCase(const std::wstring& a, const wchar_t* b) {
    return tester::asciiLower(a) == tester::asciiLower(b);
}

bool endsWithXml(const std::wstring& name) {
    return name.size() >= 4 && name.compare(name.size() - 4, 4, L".xml") == 0;
}

// OLE for the new-style folder browser, undone only if this call did it.
std::wstring askForBundle(HWND owner, HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.hInstance = instance;
    request.lpstrFilter = L"Ort files\0*.ort\0";
    request.lpstrFile = file;
    request.nMaxFile = MAX_PATH;
    request.Flags = OFN_FILEMUSTEXIST | OFN_DONTADDTORECENT;
    if (!::GetOpenFileNameW(&request)) {
        return std::wstring();
    }
    return file;
}

}  // namespace

TesterPanel::TesterPanel() : DockingDlgInterface(IDD_ORMU_COMMANDS, kCommandIndex, L"Ormu Commands") {}

TesterPanel::~TesterPanel() = default;

void TesterPanel::display(bool show) {
    DockingDlgInterface::display(show);
    markShown(show);
    if (show) {
        fillCommandList();
    }
}

void TesterPanel::releaseChildren() {
    tester::StopReportingDoubleClicks(infoBox_.handle());
    infoBox_.destroy();
    commandList_.destroy();
    textPane_.destroy();
    listPane_.destroy();
    if (splitter_.handle() != nullptr && ::IsWindow(splitter_.handle())) {
        ::DestroyWindow(splitter_.handle());
    }
}

void TesterPanel::attachedToSettings(SettingsStore* store) {
    IController::attachedToSettings(store);
    if (store == nullptr) {
        return;
    }
    using namespace settings_keys;
    const struct {
        const wchar_t* key;
        const std::wstring* field;
    } keys[] = {
        {kOrmuIp, &ormuIp_}, {kWgetPath, &wgetPath_}, {kOrmuLogin, &ormuLogin_}, {kOrmuPassword, &ormuPassword_},
        {kMediaCenterUserData, &userDataFolder_}};
    for (const auto& entry : keys) {
        if (!store->exists(kGroup, entry.key)) {
            store->setString(kGroup, entry.key, *entry.field);
        } else {
            settingsChanged(kGroup, entry.key);
        }
    }
    registerBool(*store, *this, kReloadSkinOnSave, false);
    registerString(*store, *this, kConnection, kAutomatic);
}

void TesterPanel::settingsChanged(const std::wstring& group, const std::wstring& key) {
    using namespace settings_keys;
    if (group != kGroup || settings_ == nullptr) {
        return;
    }
    if (key == kReloadSkinOnSave) {
        reloadOnSave_ = settings_->getBool(group, key);
        return;
    }
    if (key == kOrmuIp || key == kConnection) foundRoute_ = Route::Unknown;
    std::wstring* field = nullptr;
    if (key == kConnection) {
        field = &connection_;
    } else if (key == kMediaCenterUserData) {
        field = &userDataFolder_;
    } else if (key == kOrmuIp) {
        field = &ormuIp_;
    } else if (key == kWgetPath) {
        field = &wgetPath_;
    } else if (key == kOrmuLogin) {
        field = &ormuLogin_;
    } else if (key == kOrmuPassword) {
        field = &ormuPassword_;
    }
    if (field != nullptr) {
        *field = settings_->getString(group, key);
    }
}

void TesterPanel::modelModified() {
    if (markedShown()) {
        fillCommandList();
    }
}

void TesterPanel::fillCommandList() {
    if (commandList_.handle() == nullptr) {
        return;
    }
    commandList_.clear();
    commandList_.addItem(kTestWindow);
    commandList_.addItem(kExtractOrt);
    commandList_.addItem(kCheckSkin);
    commandList_.addItem(kPackOrt);
    commandList_.addItem(kReloadSkin);
}

void TesterPanel::createChildren() {
    for (Window* child : std::initializer_list<Window*>{&splitter_, &listPane_, &textPane_}) child->setTheme(theme_);
    splitter_.attach(instance_, hwnd_);
    listPane_.attach(instance_, splitter_.handle());
    commandList_.attach(instance_, listPane_.handle());
    textPane_.attach(instance_, splitter_.handle());
    infoBox_.attach(instance_, textPane_.handle());
    listPane_.setChild(&commandList_);
    textPane_.setChild(&infoBox_);
    splitter_.setPanes(&listPane_, &textPane_);
    infoBox_.enable(false);
    tester::ReportDoubleClicks(infoBox_.handle(), hwnd_);
}

void TesterPanel::onDpiChanged() {
    commandList_.refreshFont();
    infoBox_.refreshFont();
    relayout(true);
}

void TesterPanel::relayout(bool resizeSplitter) {
    if (splitter_.handle() == nullptr) {
        return;
    }
    RECT client{};
    clientRect(client);
    bool sideBySide = false;
    if (isFloating()) {
        sideBySide = (client.bottom - client.top) < (client.right - client.left);
    } else {
        // The host's top and bottom containers are wide and low.
        sideBySide = dockedContainer() == 2 || dockedContainer() == 3;
    }
    splitter_.setSideBySide(sideBySide);
    if (resizeSplitter) {
        splitter_.moveTo(client);
    }
}

std::wstring TesterPanel::currentFileName() const {
    return editor_ == nullptr ? std::wstring() : editor_->currentFileName();
}

void TesterPanel::describeSelection() {
    infoBox_.setText(L"");
    if (commandList_.selectedIndex() < 0) {
        return;
    }
    const std::wstring command = commandList_.selectedText();
    if (sameIgnoringCase(command, kTestWindow)) {
        const std::wstring name = currentFileName();
        if (!endsWithXml(name)) {
            return;
        }
        if (connection_ != kHttpCommand && foundRoute_ != Route::HttpCommand) {
            // Today's media center: its window table, then the file's own id.
            std::vector<std::uint8_t> bytes;
            if (editor_ != nullptr) files::readAll(editor_->currentPath(), bytes);
            const auto window = tester::windowToOpen(name, std::string(bytes.begin(), bytes.end()));
            if (window)
                showInPane(L"The window that is going to be opened: \r\n" + tester::windowWords(*window) +
                           (window->name.empty() ? L", through the keymap file" : L""));
            return;
        }
        const std::wstring id = tester::windowIdForFile(name);
        if (id != name) {
            infoBox_.setText(kWindowIdText + id);
            infoBox_.enable(true);
            infoBox_.setReadOnly(true);
        }
    } else if (sameIgnoringCase(command, kExtractOrt)) {
        infoBox_.setText(kExtractText);
        infoBox_.enable(true);
        infoBox_.setReadOnly(true);
    } else if (sameIgnoringCase(command, kCheckSkin)) {
        // The last check's results stay until the next check.
        infoBox_.setText(skinCheck_.hasResults() ? skinCheck_.resultsText() : kCheckText);
        infoBox_.enable(true);
        infoBox_.setReadOnly(true);
    } else if (sameIgnoringCase(command, kPackOrt)) {
        infoBox_.setText(kPackText);
        infoBox_.enable(true);
        infoBox_.setReadOnly(true);
    } else if (sameIgnoringCase(command, kReloadSkin)) {
        showInPane(kReloadText);
    }
}

void TesterPanel::runSelection() {
    if (commandList_.selectedIndex() < 0) {
        return;
    }
    runCommand(commandList_.selectedText());
}

void TesterPanel::runFromMenu(const wchar_t* command) {
    if (!markedShown()) showPanel();
    runCommand(command);
}

void TesterPanel::runCommand(const std::wstring& command) {
    if (running_) {
        return;
    }
    if (progress_.running()) {
        // One command at a time; a second one is refused, not queued.
        if (skinCheck_.running()) {
            ::MessageBoxW(parent_, kCheckBusyText, kCheckSkin, MB_OK | MB_ICONINFORMATION);
        } else {
            ::MessageBoxW(parent_, packing_ ? kPackBusyText : kBusyText, packing_ ? kPackOrt : kExtractOrt,
                          MB_OK | MB_ICONINFORMATION);
        }
        return;
    }
    struct RunningFlag {
        bool& flag;
        explicit RunningFlag(bool& f) : flag(f) { flag = true; }
        ~RunningFlag() { flag = false; }
    } runningFlag(running_);
    if (sameIgnoringCase(command, kTestWindow)) {
        testWindow();
    } else if (sameIgnoringCase(command, kExtractOrt)) {
        extractOrt();
    } else if (sameIgnoringCase(command, kCheckSkin)) {
        checkSkin();
    } else if (sameIgnoringCase(command, kPackOrt)) {
        packOrt();
    } else if (sameIgnoringCase(command, kReloadSkin)) {
        reloadSkin();
    }
}

void TesterPanel::testWindow() {
    const std::wstring name = tester::asciiLower(currentFileName());
    if (!endsWithXml(name)) {
        return;
    }
    std::wstring path = editor_ == nullptr ? std::wstring() : editor_->currentPath();
    if (path.empty()) path = name;
    if (!askMediaCenter(false, path)) {
        showInPane(kTestBusyText);
    }
}

void TesterPanel::reloadSkin() {
    if (!askMediaCenter(true, {})) {
        showInPane(kTestBusyText);
    }
}

bool TesterPanel::askMediaCenter(bool reload, const std::wstring& windowFile) {
    if (mediaCenterBusy()) return false;
    const std::wstring fileName = windowFile.substr(windowFile.find_last_of(L'\\') + 1);
    std::vector<tester::MediaCenterAction> actions;
    if (reload) actions.push_back(tester::MediaCenterAction::reloadSkin());
    if (!windowFile.empty())
        actions.push_back(tester::MediaCenterAction::openWindow(tester::windowIdForFile(tester::asciiLower(fileName))));
    const tester::AddressReading reading = tester::readMediaCenterAddress(ormuIp_);
    if (!reading.address) {
        showInPane(reading.problem + L" Nothing was sent.");
        return true;
    }
    const bool automatic = connection_ != kHttpCommand && connection_ != L"jsonrpc";
    if (connection_ == kHttpCommand || (automatic && foundRoute_ == Route::HttpCommand)) {
        fallingBack_ = false;
        return startRound(std::move(actions));
    }

    tester::JsonRpcEndpoint endpoint;
    endpoint.host = reading.address->host;
    endpoint.port = reading.address->jsonRpcPort();
    if (!ormuLogin_.empty() || !ormuPassword_.empty()) {
        endpoint.authorization = tester::basicAuthorization(ormuLogin_, ormuPassword_);
        if (!endpoint.authorization) {
            showInPane(L"The login holds a colon, which HTTP basic authentication cannot carry. Change it in the "
                       L"Options; nothing was sent.");
            return true;
        }
    }
    tester::JsonRpcTask task;
    task.reloadSkin = reload;
    task.askVersionFirst = automatic && foundRoute_ != Route::JsonRpc;
    task.userDataFolder = userDataFolder_;
    if (!windowFile.empty()) {
        std::vector<std::uint8_t> bytes;
        files::readAll(windowFile, bytes);
        task.window = tester::windowToOpen(fileName, std::string(bytes.begin(), bytes.end()));
        if (!task.window && !reload) {
            showInPane(L"Neither window table has " + fileName +
                       L", and the file has no <window id=\"...\"> with a number: there is no window to open.");
            return true;
        }
    }
    const std::wstring shown = reading.address->jsonRpcAuthority();
    if (!jsonRpc_.start(std::move(endpoint), task, shown, hwnd_, kJsonRpcDoneMessage)) return false;
    fallbackActions_ = automatic ? std::move(actions) : std::vector<tester::MediaCenterAction>();
    showInPane(tester::jsonRpcAskingText(task, shown));
    return true;
}

void TesterPanel::jsonRpcRoundEnded() {
    if (jsonRpc_.running()) {
        return;
    }
    const tester::JsonRpcReport report = jsonRpc_.collect();
    const bool automatic = !fallbackActions_.empty();
    std::vector<tester::MediaCenterAction> fallback = std::move(fallbackActions_);
    fallbackActions_.clear();
    if (report.ending == tester::JsonRpcReport::NoJsonRpc && automatic) {
        // No JSON-RPC here: the older route, through GNU Wget, may answer.
        foundRoute_ = Route::Unknown;
        fallingBack_ = true;
        startRound(std::move(fallback));
    } else {
        std::wstring text = report.text;
        if (automatic && report.jsonRpcAnswered) {
            foundRoute_ = Route::JsonRpc;
            text += L"\r\nConnection: JSON-RPC, found automatically at this address" +
                    (report.version.empty() ? std::wstring() : L" (interface version " + text::fromUtf8(report.version) + L")") +
                    L".";
        }
        showInPane(text);
    }
    if (savedMeanwhile_ && !mediaCenterBusy()) {
        const std::wstring path = *savedMeanwhile_;
        savedMeanwhile_.reset();
        fileSaved(path);
    }
}

void TesterPanel::fileSaved(const std::wstring& path) {
    if (!reloadOnSave_) {
        return;
    }
    const skin::SavedFileRole role = skin::RoleOfSavedFile(path);
    if (role == skin::SavedFileRole::None) {
        return;
    }
    if (mediaCenterBusy()) {
        savedMeanwhile_ = path;
        return;
    }
    if (!isCreated()) {
        // Its pane is where the outcome goes.
        showPanel();
        if (!isCreated()) return;
    }
    askMediaCenter(true, role == skin::SavedFileRole::Window ? path : std::wstring());
}

bool TesterPanel::startRound(std::vector<tester::MediaCenterAction> actions) {
    if (client_.running()) {
        return false;
    }
    // The address as the URL needs it ("http://host/" typed is host).
    const tester::AddressReading reading = tester::readMediaCenterAddress(ormuIp_);
    const std::wstring address = reading.address ? reading.address->authority() : ormuIp_;
    const tester::ClientSettings settings{address, ormuLogin_, ormuPassword_, wgetPath_};
    std::vector<tester::ClientCommand> commands;
    for (const tester::MediaCenterAction& action : actions)
        commands.push_back(tester::buildClientCommand(settings, action));
    if (!client_.start(std::move(commands), tester::kClientWaitMilliseconds, hwnd_, kClientDoneMessage)) {
        return false;
    }
    clientAddress_ = address;
    clientFolder_ = wgetPath_;
    clientActions_ = std::move(actions);
    showInPane(tester::askingText(clientAddress_, clientActions_));
    return true;
}

void TesterPanel::roundEnded() {
    if (client_.running()) {
        return;
    }
    std::vector<tester::ActivationReport> reports;
    for (const tester::ClientRun& run : client_.collect()) reports.push_back(tester::interpretClientRun(run));
    std::wstring text = tester::outcomeText(reports, clientAddress_, clientActions_, clientFolder_);
    if (fallingBack_) {
        fallingBack_ = false;
        bool through = !reports.empty();
        for (const tester::ActivationReport& report : reports)
            through = through && (report.result == tester::Activation::Opened || report.result == tester::Activation::Sent);
        if (through) {
            foundRoute_ = Route::HttpCommand;
            text += L"\r\nConnection: the HTTP command route of older releases, found automatically at this address "
                    L"(no JSON-RPC there).";
        } else {
            text += L"\r\nThere is no JSON-RPC at this address either (404 on /jsonrpc).";
        }
    }
    showInPane(text);
    if (savedMeanwhile_) {
        const std::wstring path = *savedMeanwhile_;
        savedMeanwhile_.reset();
        fileSaved(path);
    }
}

void TesterPanel::endTestWindow() {
    if (client_.running() || client_.finished()) {
        client_.stop();
        client_.collect();
    }
    if (jsonRpc_.running() || jsonRpc_.finished()) {
        jsonRpc_.stop();
        jsonRpc_.collect();
    }
}

void TesterPanel::showInPane(const std::wstring& text) {
    infoBox_.setText(text);
    infoBox_.enable(true);
    infoBox_.setReadOnly(true);
}

std::wstring TesterPanel::paneText() const {
    const HWND box = infoBox_.handle();
    if (box == nullptr) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TesterPanel::extractOrt() {
    const std::wstring bundle = askForBundle(parent_, instance_);
    if (bundle.empty()) {
        ::MessageBoxW(parent_, L"You most choose a ort file", L"no input file", MB_OK);
        return;
    }
    std::wstring folder = tester::browseForFolder(parent_, L"Select a folder for extraction:");
    if (folder.empty()) {
        ::MessageBoxW(parent_, L"You most choose an output directory", L"no output dir", MB_OK);
        return;
    }
    if (folder.back() != L'\\') {
        folder.push_back(L'\\');
    }
    auto report = std::make_shared<textures::ExtractionReport>();
    ProgressWindow::Task task;
    task.title = L"Extract ort";
    task.work = [bundle, folder, report](ProgressWindow& progress) {
        *report = textures::ExtractBundle(bundle, folder, &progress.cancelFlag(), &progress);
    };
    task.finished = [this, report](bool) { extractionEnded(*report); };
    progress_.setShell(shell_);
    progress_.start(instance_, parent_, std::move(task));
}

void TesterPanel::extractionEnded(const textures::ExtractionReport& report) {
    // A clean run stays silent; a stop tells how far it came, and entries that
    // could not be written are told once.
    if (report.cancelled) {
        ::MessageBoxW(parent_, textures::cancelledRunMessage(report).c_str(), kExtractOrt, MB_OK | MB_ICONINFORMATION);
    } else if (!report.failed.empty()) {
        ::MessageBoxW(parent_, textures::skippedEntriesMessage(report.failed).c_str(), kExtractOrt,
                      MB_OK | MB_ICONWARNING);
    }
}

void TesterPanel::checkSkin() {
    const std::wstring folder = editor_ == nullptr ? std::wstring() : editor_->currentDirectory();
    infoBox_.enable(true);
    infoBox_.setReadOnly(true);
    if (folder.empty()) {
        infoBox_.setText(kNoSkinText);
        return;
    }
    progress_.setShell(shell_);
    skinCheck_.start(progress_, instance_, parent_, folder, [this] { showCheckResults(); });
}

void TesterPanel::showCheckResults() {
    infoBox_.setText(skinCheck_.resultsText());
    infoBox_.enable(true);
    infoBox_.setReadOnly(true);
}

void TesterPanel::openCheckResult(int paneLine) {
    const skin::CheckFinding* finding = skinCheck_.findingOnLine(paneLine);
    // Only while the pane shows the results (another command's text has no findings).
    if (finding == nullptr || editor_ == nullptr || infoBox_.text() != skinCheck_.resultsText()) return;
    editor_->openAtLine(finding->at.path, finding->at.line > 0 ? static_cast<std::intptr_t>(finding->at.line) - 1 : 0);
}

INT_PTR TesterPanel::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Exceptions end in the shared dialog procedure.
    switch (message) {
    case WM_INITDIALOG:
        createChildren();
        return TRUE;
    case kClientDoneMessage:
        roundEnded();
        return TRUE;
    case kJsonRpcDoneMessage:
        jsonRpcRoundEnded();
        return TRUE;
    case kHoldWork:
        if (wParam != 0) {
            progress_.holdWork();
        } else {
            progress_.releaseWork();
        }
        return TRUE;
    case tester::kPaneLineChosen:
        openCheckResult(static_cast<int>(wParam));
        return TRUE;
    case WM_SIZE:
    case WM_MOVE:
        relayout(true);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        const INT_PTR handled = DockingDlgInterface::dialogProc(message, wParam, lParam);
        if (header != nullptr && header->hwndFrom == parent_ &&
            (LOWORD(header->code) == npp::DMN_DOCK || LOWORD(header->code) == npp::DMN_FLOAT)) {
            relayout(false);
        }
        return handled;
    }
    case WM_COMMAND: {
        const HWND from = reinterpret_cast<HWND>(lParam);
        if (from != nullptr && from == commandList_.handle()) {
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                describeSelection();
                return TRUE;
            }
            if (HIWORD(wParam) == LBN_DBLCLK) {
                runSelection();
                return TRUE;
            }
        }
        if (from != nullptr && from == infoBox_.handle() && HIWORD(wParam) == EN_UPDATE) {
            return TRUE;
        }
        return DockingDlgInterface::dialogProc(message, wParam, lParam);
    }
    default:
        return DockingDlgInterface::dialogProc(message, wParam, lParam);
    }
}

void TesterPanel::setEditor(editor::NppEditor* editor) {
    editor_ = editor;
    setShell(editor);
}
