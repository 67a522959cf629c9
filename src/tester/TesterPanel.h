// The tester panel: lists its commands ("Test window", "Extract ort", "Check
// skin", "Pack ort", "Reload skin"), explains the selected one and runs it on
// a double-click (or from the plugin's menu). With the option on, a saved
// window file has the media center reload the skin and open its window.
// Today's media center is asked over JSON-RPC, older ones through GNU Wget;
// the Connection option picks one, or has the plugin find which answers.
#pragma once

#include "settings/ModelController.h"
#include "framework/DockingDlgInterface.h"
#include "framework/ProgressWindow_win.h"
#include "framework/SplitterPanel.h"
#include "framework/ToolbarPanel.h"
#include "framework/FixedPitchEditBox.h"
#include "framework/FixedPitchListBox.h"
#include "tester/ActivateWindow_win.h"
#include "tester/JsonRpcClient_win.h"
#include "tester/SkinCheckCommand_win.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class SkinResources;
namespace textures {
struct ExtractionReport;
struct PackReport;
}  // namespace textures
namespace editor {
class NppEditor;
}

class TesterPanel : public DockingDlgInterface, public IController {
public:
    static constexpr int kCommandIndex = 1;
    static constexpr const wchar_t* kTestWindow = L"Test window";
    static constexpr const wchar_t* kExtractOrt = L"Extract ort";
    static constexpr const wchar_t* kCheckSkin = L"Check skin";
    static constexpr const wchar_t* kPackOrt = L"Pack ort";
    static constexpr const wchar_t* kReloadSkin = L"Reload skin";
    // Sent to the panel: wParam nonzero holds the work of the long commands
    // (extraction, packing, skin check) at its next report until Cancel or
    // this message with zero; tests use it to act while the work runs.
    static constexpr UINT kHoldWork = WM_APP + 0x62;

    TesterPanel();
    ~TesterPanel() override;

    // The editor the panel lives in (not owned; null for none).
    void setEditor(editor::NppEditor* editor);
    // The element names whose text names an image (for Check skin).
    void setImageElements(std::vector<std::wstring> names) { skinCheck_.setImageElements(std::move(names)); }
    void setMediaCenterFiles(std::wstring strings, std::wstring colours) {
        skinCheck_.setMediaCenterFiles(std::move(strings), std::move(colours));
    }
    // Told, on the editor's thread, of a bundle file that "Pack ort" wrote.
    void setBundleWritten(std::function<void(const std::wstring& bundlePath)> told);
    // The skin's shared material, whose open bundle "Pack ort" lets go of
    // while it replaces that file (not owned; null for none).
    void setSkinResources(SkinResources* resources) { resources_ = resources; }

    // Shows or hides through the host; showing lists the commands afresh.
    void display(bool show = true) override;
    // Destroys the child windows (at unload, while the panel window still exists).
    void releaseChildren() override;

    void attachedToSettings(SettingsStore* store) override;
    void settingsChanged(const std::wstring& group, const std::wstring& key) override;
    // The clipboard history changed: the list is refilled (its selection dropped).
    void modelModified() override;

    void fillCommandList();

    // A command run as the menu runs it: the panel is shown first, so that
    // its outcome is seen.
    void runFromMenu(const wchar_t* command);
    // The editor saved the file at `path` (its full path).
    void fileSaved(const std::wstring& path);

    // Ends a request still waiting for the client, and waits for its thread
    // (at the editor's shut-down, before the library is unloaded).
    void endTestWindow();
    // The text pane's text (the outcome of the last request, among others).
    std::wstring paneText() const;

    const std::wstring& ormuIp() const { return ormuIp_; }
    const std::wstring& ormuLogin() const { return ormuLogin_; }
    const std::wstring& ormuPassword() const { return ormuPassword_; }
    const std::wstring& wgetPath() const { return wgetPath_; }

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onDpiChanged() override;

private:
    editor::NppEditor* editor_ = nullptr;

    void createChildren();
    void relayout(bool resizeSplitter);
    void describeSelection();
    void runSelection();
    void runCommand(const std::wstring& command);
    void testWindow();
    void reloadSkin();
    // Asks the media center to reload the skin and/or open the window of the
    // skin file at `windowFile` (empty: none) over the connection in use;
    // false when another round still runs (nothing is sent then).
    bool askMediaCenter(bool reload, const std::wstring& windowFile);
    // Sends the requests in order through GNU Wget on the client's thread;
    // false when another round still runs (nothing is sent then).
    bool startRound(std::vector<tester::MediaCenterAction> actions);
    void jsonRpcRoundEnded();
    bool mediaCenterBusy() const { return client_.running() || jsonRpc_.running(); }
    void extractOrt();
    void extractionEnded(const textures::ExtractionReport& report);
    void roundEnded();
    void showInPane(const std::wstring& text);
    void checkSkin();
    void showCheckResults();
    void openCheckResult(int paneLine);
    void packOrt();
    void packingEnded(const textures::PackReport& report, const std::wstring& bundle);
    std::wstring currentFileName() const;

    std::wstring ormuIp_;
    std::wstring ormuLogin_;
    std::wstring ormuPassword_;
    std::wstring wgetPath_;
    std::wstring connection_;  // "automatic", "jsonrpc" or "http-command"
    std::wstring userDataFolder_;
    bool reloadOnSave_ = false;

    SplitterPanel splitter_;
    ToolbarPanel listPane_;
    ToolbarPanel textPane_;
    FixedPitchListBox commandList_;
    FixedPitchEditBox infoBox_;
    tester::SkinCheckCommand skinCheck_;
    // A command runs to its end inside the double-click; this keeps a second
    // one from starting underneath it.
    bool running_ = false;
    // The extraction and the packing run on their own thread behind this
    // window; while one runs every other command is refused.
    ProgressWindow progress_;
    // Requests to the media center wait for the client on a thread of their
    // own; a second command is refused meanwhile. What the round asked for,
    // for the outcome's words.
    tester::ClientRunner client_;
    std::wstring clientAddress_;
    std::vector<tester::MediaCenterAction> clientActions_;
    std::wstring clientFolder_;
    // Requests over JSON-RPC run on a thread of their own too.
    tester::JsonRpcRunner jsonRpc_;
    // What the automatic connection found at the address (forgotten when the
    // address or the option changes), and the older route's requests of a
    // round whose JSON-RPC found none there.
    enum class Route { Unknown, JsonRpc, HttpCommand };
    Route foundRoute_ = Route::Unknown;
    std::vector<tester::MediaCenterAction> fallbackActions_;
    bool fallingBack_ = false;  // the running older round is such a fallback
    // The last file saved while a round ran: one more round follows for it
    // (saves fold into it, they never queue).
    std::optional<std::wstring> savedMeanwhile_;
    bool packing_ = false;  // the running work is a packing
    std::function<void(const std::wstring&)> bundleWritten_;
    SkinResources* resources_ = nullptr;
};
