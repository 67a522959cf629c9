// The plugin in the stand-in editor, with and without the stand-in
// localisation plugin: captions, dialog and menu requests, option
// descriptions, and the About box.
#include "Host.h"
#include "app/about_ids.h"
#include "settings/settings_ids.h"
#include "support/WineTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using ::testing::Contains;
using ::testing::ElementsAre;
using wine_test::itemText;
using wine_test::ScratchFolder;

namespace {

struct StandInRequest {
    long code = 0;
    HWND window = nullptr;
    std::wstring text;
    int count = 0;
    bool answered = false;
};

using RequestCountFn = int(__cdecl*)();
using RequestFn = BOOL(__cdecl*)(int, long*, HWND*, wchar_t*, int, int*, BOOL*);

class PluginInHost : public ::testing::Test {
protected:
    void start(bool withLocalisation) {
        const std::wstring app = host::exeFolder();
        const std::wstring root = folder_.file(L"plugins");
        ::CreateDirectoryW(root.c_str(), nullptr);
        ASSERT_TRUE(install(app + L"\\plugins\\Quorrel\\Quorrel.dll", root, L"Quorrel"));
        if (withLocalisation) {
            ASSERT_TRUE(install(app + L"\\testplugins\\NativeLang\\NativeLang.dll", root, L"NativeLang"));
        }
        host::Options options;
        options.pluginRoot = root;
        options.configFolder = folder_.file(L"Config");
        std::wstring error;
        host_ = host::Host::create(options, &error);
        ASSERT_NE(host_, nullptr) << std::string(error.begin(), error.end());
        host_->pump(100);
    }
    void TearDown() override {
        if (host_) host_->shutdown();
        host_.reset();
    }

    static bool install(const std::wstring& dll, const std::wstring& root, const std::wstring& name) {
        const std::wstring folder = root + L"\\" + name;
        ::CreateDirectoryW(folder.c_str(), nullptr);
        return ::CopyFileW(dll.c_str(), (folder + L"\\" + name + L".dll").c_str(), FALSE) != FALSE;
    }

    std::vector<StandInRequest> standInRequests() const {
        std::vector<StandInRequest> out;
        HMODULE module = host_->pluginModule(L"NativeLang");
        if (module == nullptr) return out;
        auto count =
            reinterpret_cast<RequestCountFn>(reinterpret_cast<void*>(::GetProcAddress(module, "standInRequestCount")));
        auto get = reinterpret_cast<RequestFn>(reinterpret_cast<void*>(::GetProcAddress(module, "standInRequest")));
        if (count == nullptr || get == nullptr) return out;
        for (int i = 0; i < count(); ++i) {
            StandInRequest r;
            wchar_t text[600] = L"";
            BOOL answered = FALSE;
            get(i, &r.code, &r.window, text, 600, &r.count, &answered);
            r.text = text;
            r.answered = answered != FALSE;
            out.push_back(r);
        }
        return out;
    }
    std::vector<std::wstring> requested(long code) const {
        std::vector<std::wstring> keys;
        for (const auto& r : standInRequests())
            if (r.code == code) keys.push_back(r.text);
        return keys;
    }

    void run(const wchar_t* item) {
        ASSERT_TRUE(host_->runMenu(L"&Quorrel", item)) << std::string(item, item + std::wcslen(item));
        host_->pump(100);
    }
    HWND optionsDialog() const {
        for (HWND dialog : host_->modelessDialogs())
            if (wine_test::windowText(dialog) == L"Quorrel Options") return dialog;
        return nullptr;
    }
    HWND aboutBox() const {
        for (HWND dialog : host_->modelessDialogs())
            if (::GetDlgItem(dialog, IDC_ABOUT_EMAIL) != nullptr) return dialog;
        return nullptr;
    }
    std::vector<std::wstring> captions() const {
        std::vector<std::wstring> names;
        for (const auto& registration : host_->dockingRegistrations()) names.push_back(registration.name);
        return names;
    }
    void hover(HWND dialog, int id) {
        ::SendMessageW(::GetDlgItem(dialog, id), WM_NCHITTEST, 0, 0);
        host_->pump(20);
    }
    void press(HWND dialog, UINT key) {
        HWND focus = ::GetFocus();
        HWND target = (focus != nullptr && (focus == dialog || ::IsChild(dialog, focus))) ? focus : dialog;
        ::PostMessageW(target, WM_KEYDOWN, key, 0);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        host_->pump(150);
    }

    ScratchFolder folder_{L"localisation"};
    std::unique_ptr<host::Host> host_;
};

TEST_F(PluginInHost, WithTheLocalisationPluginCaptionsAndDescriptionsAreTranslated) {
    ASSERT_NO_FATAL_FAILURE(start(true));
    run(L"&Ormu Tester");
    run(L"&Ormu Image Previewer");
    run(L"&Ormu Controls");
    EXPECT_THAT(captions(), ElementsAre(L"Ormu-Befehle", L"Ormu-Bildvorschau", L"Ormu-Steuerelemente"));
    const auto keys = requested(5);
    EXPECT_THAT(keys, Contains(L"Ormu Commands"));
    EXPECT_THAT(keys, Contains(L"Ormu Image Previewer"));
    EXPECT_THAT(keys, Contains(L"Ormu Controls"));

    // The menu is offered for translation after host notifications.
    bool menuAsked = false;
    for (const auto& r : standInRequests())
        if (r.code == 1 && r.text == L"&Quorrel" && r.count == 17) menuAsked = true;
    EXPECT_TRUE(menuAsked);

    run(L"&Options...");
    const HWND options = optionsDialog();
    ASSERT_NE(options, nullptr);
    bool optionsAsked = false;
    for (const auto& r : standInRequests())
        if (r.code == 0 && r.window == options && r.text == L"Options") optionsAsked = true;
    EXPECT_TRUE(optionsAsked) << "no dialog translation request for the Options dialog; seen: "
                              << ::testing::PrintToString(requested(0));

    hover(options, IDC_OPTIONS_IP);
    EXPECT_EQ(itemText(options, IDC_OPTIONS_DESCRIPTION), L"IP-Adresse des Ormu-Rechners f\u00fcr den Testdialog");
    hover(options, IDC_OPTIONS_LOGIN);  // no translation for it: the built-in text
    EXPECT_EQ(itemText(options, IDC_OPTIONS_DESCRIPTION), L"Login");
    EXPECT_THAT(requested(5), Contains(L"1020_HELP"));
    EXPECT_THAT(requested(5), Contains(L"1022_HELP"));

    run(L"&About...");
    const HWND about = aboutBox();
    ASSERT_NE(about, nullptr);
    bool aboutAsked = false;
    for (const auto& r : standInRequests())
        if (r.code == 0 && r.window == about && r.text == L"About") aboutAsked = true;
    EXPECT_TRUE(aboutAsked) << "no dialog translation request for the About box";
}

TEST_F(PluginInHost, WithoutTheLocalisationPluginTheEnglishTextsStay) {
    ASSERT_NO_FATAL_FAILURE(start(false));
    run(L"&Ormu Tester");
    run(L"&Ormu Image Previewer");
    run(L"&Ormu Controls");
    EXPECT_THAT(captions(), ElementsAre(L"Ormu Commands", L"Ormu Image Previewer", L"Ormu Controls"));
    run(L"&Options...");
    const HWND options = optionsDialog();
    ASSERT_NE(options, nullptr);
    hover(options, IDC_OPTIONS_IP);
    EXPECT_EQ(itemText(options, IDC_OPTIONS_DESCRIPTION), L"Ip of ormu for the test dialog");

    bool helpAsked = false;
    for (const auto& message : host_->pluginMessages()) {
        EXPECT_EQ(message.target, L"NativeLang.dll");
        EXPECT_EQ(message.source, L"Quorrel.dll");
        EXPECT_FALSE(message.delivered);
        if (message.internalMsg == 5 && message.key == L"1020_HELP") helpAsked = true;
    }
    EXPECT_TRUE(helpAsked);
}

TEST_F(PluginInHost, AboutBoxHidesOnEscapeAndEnterAndReopensAsTheSameWindow) {
    ASSERT_NO_FATAL_FAILURE(start(false));
    run(L"&About...");
    const HWND about = aboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(::IsWindowVisible(about));
    EXPECT_EQ(itemText(about, IDC_ABOUT_EMAIL), L"quorrel@example.org");
    EXPECT_EQ(itemText(about, IDC_ABOUT_MENU_OPTIONS), L"Options...\t\t\tShows the option dialog.");

    press(about, VK_ESCAPE);
    EXPECT_FALSE(::IsWindowVisible(about));
    run(L"&About...");
    EXPECT_EQ(aboutBox(), about);
    EXPECT_TRUE(::IsWindowVisible(about));
    press(about, VK_RETURN);
    EXPECT_FALSE(::IsWindowVisible(about));
}

TEST_F(PluginInHost, AFreshEmptySettingsFileGetsTheSixDefaultsAndOkSavesAtOnce) {
    const std::wstring config = folder_.file(L"Config");
    const std::wstring settings = config + L"\\Quorrel.xml";
    ::CreateDirectoryW(config.c_str(), nullptr);
    ASSERT_TRUE(testsupport::writeFile(settings, ""));
    ASSERT_NO_FATAL_FAILURE(start(false));

    run(L"&Options...");
    const HWND options = optionsDialog();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(itemText(options, IDC_OPTIONS_IP), L"");
    ::SetDlgItemTextW(options, IDC_OPTIONS_IP, L"10.9.8.7");
    ::SendMessageW(::GetDlgItem(options, IDOK), BM_CLICK, 0, 0);
    host_->pump(100);
    EXPECT_FALSE(::IsWindowVisible(options));
    // On disk while the editor still runs.
    const std::string written = testsupport::readFile(settings);
    EXPECT_NE(written.find("<Value name=\"OrmuIp\" type=\"string\">10.9.8.7</Value>"), std::string::npos) << written;

    host_->shutdown();
    const std::string final = testsupport::readFile(settings);
    for (const char* key : {"OrmuIp", "WgetPath", "OrmuLogin", "OrmuPassword", "LoadIncludes", "LoadImages"})
        EXPECT_NE(final.find(std::string("name=\"") + key + "\""), std::string::npos) << key << "\n" << final;
    EXPECT_NE(final.find("<Value name=\"LoadImages\" type=\"bool\">false</Value>"), std::string::npos) << final;
}

}  // namespace
