// The Options dialog on a stand-in parent window, driven through its controls
// as a user would, against a store and settings file of the test's own.
#include "settings/ModelController.h"
#include "settings/SettingsStore.h"
#include "settings/OptionsDialog.h"
#include "settings/settings_ids.h"
#include "support/WineTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

using ::testing::ElementsAre;
using wine_test::itemText;
using wine_test::pump;

namespace {

class KeyRecorder : public SettingsObserver {
public:
    void attachedToSettings(SettingsStore*) override {}
    void settingsChanged(const std::wstring&, const std::wstring& key) override { keys.push_back(key); }
    std::vector<std::wstring> keys;
};

// The name shown on the folder picker's selected tree item.
std::wstring selectedFolderName(HWND picker) {
    HWND tree = ::FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
    if (tree == nullptr) return {};
    wchar_t name[MAX_PATH] = L"";
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetSelection(tree);
    item.pszText = name;
    item.cchTextMax = MAX_PATH;
    if (item.hItem == nullptr || !TreeView_GetItem(tree, &item)) return {};
    return name;
}

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OptionsTestParent";
        ::RegisterClassW(&wc);
        parent_ = ::CreateWindowExW(0, wc.lpszClassName, L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700,
                                    nullptr, nullptr, wc.hInstance, nullptr);
        store_.setString(L"ORMU", L"OrmuIp", L"192.168.0.10");
        store_.setString(L"ORMU", L"OrmuLogin", L"admin");
        store_.setString(L"ORMU", L"OrmuPassword", L"secret");
        store_.setString(L"ORMU", L"WgetPath", L"C:\\tools");
        store_.setBool(L"ORMU", L"LoadIncludes", true);
        store_.setBool(L"ORMU", L"LoadImages", false);
        store_.addObserver(&recorder_);
        dialog_.init(::GetModuleHandleW(nullptr), parent_, &store_, settingsPath_);
    }
    void TearDown() override {
        dialog_.destroy();
        ::DestroyWindow(parent_);
    }

    HWND item(int id) const { return ::GetDlgItem(dialog_.handle(), id); }
    void type(int id, const std::wstring& text) { ::SetDlgItemTextW(dialog_.handle(), id, text.c_str()); }
    void click(int id) {
        ::SendMessageW(item(id), BM_CLICK, 0, 0);
        pump();
    }

    wine_test::ScratchFolder folder_{L"options"};
    std::wstring settingsPath_ = folder_.file(L"Quorrel.xml");
    HWND parent_ = nullptr;
    SettingsStore store_;
    KeyRecorder recorder_;
    OptionsDialog dialog_;
};

TEST_F(OptionsDialogTest, OpenedTwiceIsOneWindowShowingStoredValuesNotAbandonedEdits) {
    dialog_.showOptions();
    pump();
    const HWND first = dialog_.handle();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(::IsWindowVisible(first));
    EXPECT_EQ(itemText(first, IDC_OPTIONS_IP), L"192.168.0.10");
    EXPECT_EQ(itemText(first, IDC_OPTIONS_WGET_PATH), L"C:\\tools");
    EXPECT_EQ(::IsDlgButtonChecked(first, IDC_OPTIONS_LOAD_INCLUDES), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(first, IDC_OPTIONS_LOAD_IMAGES), BST_UNCHECKED);
    // Off until the user turns it on.
    EXPECT_EQ(itemText(first, IDC_OPTIONS_RELOAD_ON_SAVE),
              L"After saving a window file, reload the skin and open its window");
    EXPECT_EQ(::IsDlgButtonChecked(first, IDC_OPTIONS_RELOAD_ON_SAVE), BST_UNCHECKED);

    type(IDC_OPTIONS_LOGIN, L"abandoned");
    click(IDC_OPTIONS_LOAD_IMAGES);
    click(IDCANCEL);
    EXPECT_FALSE(::IsWindowVisible(first));
    EXPECT_TRUE(recorder_.keys.empty()) << "Cancel stored something";
    EXPECT_FALSE(testsupport::fileExists(settingsPath_));
    EXPECT_EQ(store_.getString(L"ORMU", L"OrmuLogin"), L"admin");

    dialog_.showOptions();
    pump();
    EXPECT_EQ(dialog_.handle(), first);
    EXPECT_TRUE(::IsWindowVisible(first));
    EXPECT_EQ(itemText(first, IDC_OPTIONS_LOGIN), L"admin");
    EXPECT_EQ(::IsDlgButtonChecked(first, IDC_OPTIONS_LOAD_IMAGES), BST_UNCHECKED);
    EXPECT_EQ(dialog_.optionTable().size(), 13u);  // the table is built once
}

TEST_F(OptionsDialogTest, OkStoresAndNotifiesEveryKeyAndSavesAtOnce) {
    dialog_.showOptions();
    pump();
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'w') + L"\\bin";
    type(IDC_OPTIONS_IP, L"10.1.2.3");
    type(IDC_OPTIONS_WGET_PATH, longPath);
    type(IDC_OPTIONS_LOGIN, L"");     // the user removes the stored login
    type(IDC_OPTIONS_PASSWORD, L"");  // and the password
    click(IDC_OPTIONS_LOAD_IMAGES);
    // The connection shows its default until one is chosen from its list.
    EXPECT_EQ(itemText(dialog_.handle(), IDC_OPTIONS_CONNECTION), L"automatic");
    EXPECT_EQ(::SendMessageW(item(IDC_OPTIONS_CONNECTION), CB_GETCOUNT, 0, 0), 3);
    ::SendMessageW(item(IDC_OPTIONS_CONNECTION), CB_SETCURSEL, 1, 0);
    type(IDC_OPTIONS_USER_DATA, L"\\\\box\\userdata");
    recorder_.keys.clear();
    click(IDOK);

    EXPECT_FALSE(::IsWindowVisible(dialog_.handle()));
    EXPECT_THAT(recorder_.keys,
                ElementsAre(L"OrmuIp", L"WgetPath", L"OrmuLogin", L"OrmuPassword", L"LoadIncludes", L"LoadImages",
                            L"MarkMissingReferences", L"ReloadSkinOnSave", L"CompleteNames", L"CoreStringsFile",
                            L"CoreColoursFile", L"Connection", L"MediaCenterUserData"));
    EXPECT_EQ(store_.getString(L"ORMU", L"Connection"), L"jsonrpc");
    EXPECT_EQ(store_.getString(L"ORMU", L"MediaCenterUserData"), L"\\\\box\\userdata");
    EXPECT_EQ(store_.getString(L"ORMU", L"OrmuLogin"), L"");
    EXPECT_EQ(store_.getString(L"ORMU", L"OrmuPassword"), L"");
    EXPECT_EQ(store_.getString(L"ORMU", L"WgetPath"), longPath);
    EXPECT_TRUE(store_.getBool(L"ORMU", L"LoadImages"));

    // Confirmed values are on disk before anything else happens.
    SettingsStore reloaded;
    ASSERT_TRUE(reloaded.load(settingsPath_));
    EXPECT_EQ(reloaded.getString(L"ORMU", L"OrmuIp"), L"10.1.2.3");
    EXPECT_EQ(reloaded.getString(L"ORMU", L"WgetPath"), longPath);
    EXPECT_EQ(reloaded.getString(L"ORMU", L"OrmuLogin"), L"");
    EXPECT_TRUE(reloaded.getBool(L"ORMU", L"LoadImages"));

    // An OK without changes still tells every key.
    dialog_.showOptions();
    pump();
    recorder_.keys.clear();
    click(IDOK);
    EXPECT_EQ(recorder_.keys.size(), 13u);
}

TEST_F(OptionsDialogTest, BrowseFillsOnlyTheWgetPathBox) {
    dialog_.showOptions();
    pump();
    wine_test::ScratchFolder chosen(L"wget-folder");
    const HWND dialog = dialog_.handle();
    {
        wine_test::ModalAnswerer answerer(dialog, [&chosen](HWND picker) {
            // The picker fills its tree while it starts: ask again until the
            // folder is really the selected one, then confirm.
            const std::wstring leaf = chosen.path().substr(chosen.path().rfind(L'\\') + 1);
            for (int attempt = 0; attempt < 20 && selectedFolderName(picker) != leaf; ++attempt) {
                ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosen.path().c_str()));
                ::Sleep(250);
            }
            ::SendMessageW(picker, WM_COMMAND, IDOK, 0);
        });
        click(IDC_OPTIONS_BROWSE_WGET);
        ASSERT_TRUE(answerer.answered()) << "no folder picker owned by the dialog appeared";
    }
    pump();
    std::wstring shown = itemText(dialog, IDC_OPTIONS_WGET_PATH);
    EXPECT_EQ(::CompareStringOrdinal(shown.c_str(), -1, chosen.path().c_str(), -1, TRUE), CSTR_EQUAL)
        << std::string(shown.begin(), shown.end());
    EXPECT_EQ(itemText(dialog, IDC_OPTIONS_IP), L"192.168.0.10");
    EXPECT_EQ(itemText(dialog, IDC_OPTIONS_LOGIN), L"admin");
    EXPECT_EQ(store_.getString(L"ORMU", L"WgetPath"), L"C:\\tools");  // nothing stored before OK
    EXPECT_TRUE(recorder_.keys.empty());
    EXPECT_TRUE(::IsWindowVisible(dialog));
}

TEST_F(OptionsDialogTest, HoveringAnOptionShowsItsDescription) {
    dialog_.showOptions();
    pump();
    const HWND dialog = dialog_.handle();
    ::SendMessageW(item(IDC_OPTIONS_IP), WM_NCHITTEST, 0, 0);
    EXPECT_EQ(dialog_.hoveredControl(), IDC_OPTIONS_IP);
    EXPECT_EQ(itemText(dialog, IDC_OPTIONS_DESCRIPTION), L"Ip of ormu for the test dialog");
    ::SendMessageW(item(IDC_OPTIONS_LOAD_IMAGES), WM_NCHITTEST, 0, 0);
    EXPECT_EQ(itemText(dialog, IDC_OPTIONS_DESCRIPTION), L"Load images");
    ::SendMessageW(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(dialog_.hoveredControl(), 0);
    EXPECT_EQ(itemText(dialog, IDC_OPTIONS_DESCRIPTION), L"");
}

}  // namespace
