// The skin model in the stand-in editor, on a small skin made here (include
// files two levels deep, strings, colours): Go to definition opens the file
// that defines the include under the caret at its line, Find references lists
// every call in the panel and a double-click there opens one, and a mouse
// resting on a $LOCALIZE shows the string's text, also that of the media
// center's own strings file named in Options.
#include "Host.h"
#include "SkinEditorTestSupport.h"
#include "npp/NppInterface.h"
#include "settings/settings_ids.h"
#include "wine/preview/PreviewSupport.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kMenu[] = L"&Quorrel";

constexpr UINT kCallTipActive = 2202;
constexpr UINT kIndicatorValueAt = 2507;

const char kIncludes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<includes>\r\n"
    "\t<include file=\"includes_more.xml\"/>\r\n"
    "\t<variable name=\"Title\">\r\n"
    "\t\t<value>$LOCALIZE[31001]</value>\r\n"
    "\t</variable>\r\n"
    "</includes>\r\n";
const char kMore[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<includes>\r\n"
    "\t<include file=\"includes_deep.xml\"/>\r\n"
    "</includes>\r\n";
const char kDeep[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<includes>\r\n"
    "\t<!-- the banner over every window -->\r\n"
    "\t<include name=\"Banner\">\r\n"
    "\t\t<control type=\"label\"><label>31002</label></control>\r\n"
    "\t</include>\r\n"
    "</includes>\r\n";
const char kHome[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<window>\r\n"
    "\t<controls>\r\n"
    "\t\t<include>Banner</include>\r\n"
    "\t\t<control type=\"label\">\r\n"
    "\t\t\t<label>$LOCALIZE[31001]</label><label2>$LOCALIZE[137]</label2>\r\n"
    "\t\t\t<textcolor>button_focus</textcolor>\r\n"
    "\t\t\t<shadowcolor>FF00FF00</shadowcolor>\r\n"
    "\t\t</control>\r\n"
    "\t\t<include>Banner</include>\r\n"
    "\t</controls>\r\n"
    "</window>\r\n";
const char kOther[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<window>\r\n"
    "\t<controls><include>Banner</include></controls>\r\n"
    "</window>\r\n";
const char kStrings[] =
    "msgid \"\"\r\n"
    "msgstr \"\"\r\n"
    "\r\n"
    "msgctxt \"#31001\"\r\n"
    "msgid \"Recently added\"\r\n"
    "msgstr \"\"\r\n"
    "\r\n"
    "msgctxt \"#31002\"\r\n"
    "msgid \"Banner text\"\r\n"
    "msgstr \"\"\r\n";
const char kColours[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<colors>\r\n"
    "\t<color name=\"button_focus\">FFFF8000</color>\r\n"
    "</colors>\r\n";

class SkinNavigation : public skineditortest::EditorWithSkin {
protected:
    void SetUp() override {
        EditorWithSkin::SetUp();
        skin_ = temp_.path() + L"\\navigation";
        const std::wstring window = skin_ + L"\\720p";
        for (const std::wstring& folder :
             {skin_, window, skin_ + L"\\language", skin_ + L"\\language\\resource.language.en_gb", skin_ + L"\\colors",
              skin_ + L"\\media"}) {
            ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        }
        ASSERT_TRUE(previewtest::writeFile(window + L"\\Includes.xml", kIncludes));
        ASSERT_TRUE(previewtest::writeFile(window + L"\\includes_more.xml", kMore));
        ASSERT_TRUE(previewtest::writeFile(window + L"\\includes_deep.xml", kDeep));
        ASSERT_TRUE(previewtest::writeFile(window + L"\\Home.xml", kHome));
        ASSERT_TRUE(previewtest::writeFile(window + L"\\Other.xml", kOther));
        ASSERT_TRUE(previewtest::writeFile(skin_ + L"\\language\\resource.language.en_gb\\strings.po", kStrings));
        ASSERT_TRUE(previewtest::writeFile(skin_ + L"\\colors\\defaults.xml", kColours));

        ASSERT_NO_FATAL_FAILURE(startEditor(L"720p\\Home.xml"));
    }

    LRESULT send(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        return ::SendMessageW(host_->currentView(), message, w, l);
    }
    // Where the n-th (0-based) occurrence of a text stands in the current document.
    LRESULT at(const std::string& needle, int nth = 0) const {
        const std::string text = host_->documentBytes();
        std::size_t pos = text.find(needle);
        for (int i = 0; i < nth && pos != std::string::npos; ++i) pos = text.find(needle, pos + 1);
        EXPECT_NE(pos, std::string::npos) << needle;
        return static_cast<LRESULT>(pos);
    }
    void caretAt(LRESULT position) {
        send(npp::SCI_SETSELECTIONSTART, static_cast<WPARAM>(position));
        send(npp::SCI_SETSELECTIONEND, static_cast<WPARAM>(position));
        host_->pump(50);
    }
    // The call tip a resting mouse at `position` shows: the model is built on
    // the plugin's worker, so a dwell before it is ready shows nothing and the
    // mouse rests again until one shows (empty if none ever does).
    std::string tipAfterDwell(LRESULT position) {
        host_->pumpUntil([&] {
            host_->clearRecords();
            host_->dwellAt(static_cast<int>(position));
            return !host_->callTips().empty();
        });
        return host_->callTips().empty() ? std::string() : host_->callTips().back();
    }
    int caretLine() const { return skineditortest::caretLineOf(host_->currentView()); }
    HWND referencesPanel() const {
        for (const auto& r : host_->dockingRegistrations()) {
            if (r.name == L"Skin References") return r.data.hClient;
        }
        return nullptr;
    }
};

}  // namespace

TEST_F(SkinNavigation, GoToDefinitionOpensTheDefiningFileAtItsLine) {
    EXPECT_FALSE(host_->acceleratorText(kMenu, L"Go to definition").empty());
    caretAt(at("Banner") + 2);
    ASSERT_TRUE(host_->runMenu(kMenu, L"Go to definition"));
    host_->pump(100);
    EXPECT_EQ(host_->currentPath(), skin_ + L"\\720p\\includes_deep.xml");
    EXPECT_EQ(caretLine(), previewtest::lineOf(kDeep, "<include name=\"Banner\">"));

    // From a string id in an include file to the strings file, back in Home.xml.
    ASSERT_TRUE(host_->activateDocument(skin_ + L"\\720p\\Home.xml"));
    host_->pump(50);
    caretAt(at("31001") + 1);
    ASSERT_TRUE(host_->runMenu(kMenu, L"Go to definition"));
    host_->pump(100);
    EXPECT_EQ(host_->currentPath(), skin_ + L"\\language\\resource.language.en_gb\\strings.po");
    EXPECT_EQ(caretLine(), previewtest::lineOf(kStrings, "#31001"));
}

TEST_F(SkinNavigation, FindReferencesListsEveryCallAndOpensTheOneDoubleClicked) {
    caretAt(at("Banner", 1) + 1);
    ASSERT_TRUE(host_->runMenu(kMenu, L"Find references"));
    host_->pump(100);
    const HWND panel = referencesPanel();
    ASSERT_NE(panel, nullptr);
    const HWND list = ::FindWindowExW(panel, nullptr, L"ListBox", nullptr);
    ASSERT_NE(list, nullptr);
    std::vector<std::wstring> lines = skineditortest::listBoxLines(list);
    std::vector<std::wstring> expected = {
        L"720p\\Home.xml (" + std::to_wstring(previewtest::lineOf(kHome, "Banner") + 1) +
            L"): <include>Banner</include>",
        L"720p\\Home.xml (10): <include>Banner</include>",
        L"720p\\Other.xml (3): <controls><include>Banner</include></controls>",
    };
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_NE(wine_test::windowText(::GetDlgItem(panel, 30602)).find(L"3 references to include Banner"),
              std::wstring::npos);

    // A double-click on Other.xml's line opens it there.
    const LRESULT other =
        ::SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"720p\\Other.xml"));
    ASSERT_NE(other, LB_ERR);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(other), 0);
    ::SendMessageW(panel, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    host_->pump(100);
    EXPECT_EQ(host_->currentPath(), skin_ + L"\\720p\\Other.xml");
    EXPECT_EQ(caretLine(), 2);
}

TEST_F(SkinNavigation, ARestingMouseOnALocalizeShowsTheStringAndColoursAreUnderlinedInTheirOwn) {
    EXPECT_EQ(send(npp::SCI_GETMOUSEDWELLTIME), 500);
    ASSERT_EQ(tipAfterDwell(at("31001") + 2), "Recently added");
    EXPECT_EQ(send(kCallTipActive), 1);
    ASSERT_TRUE(host_->dwellEnd());
    host_->pump(20);
    EXPECT_EQ(send(kCallTipActive), 0);

    // A named colour and a literal one, each underlined in its colour (the indicator's value).
    const auto value = [&](LRESULT position) {
        for (int i = 9; i <= 20; ++i) {
            const LRESULT v = send(kIndicatorValueAt, static_cast<WPARAM>(i), position);
            if (v != 0) return v & 0xFFFFFF;
        }
        return static_cast<LRESULT>(-1);
    };
    EXPECT_EQ(value(at("button_focus") + 3), static_cast<LRESULT>(RGB(0xFF, 0x80, 0x00)));
    EXPECT_EQ(value(at("FF00FF00") + 3), static_cast<LRESULT>(RGB(0x00, 0xFF, 0x00)));
    EXPECT_EQ(value(at("<label>$LOCALIZE")), -1);
}

TEST_F(SkinNavigation, TheMediaCenterStringsFileNamedInOptionsServesItsOwnIds) {
    const std::wstring core = temp_.path() + L"\\core strings.po";
    ASSERT_TRUE(previewtest::writeFile(core, "msgctxt \"#137\"\r\nmsgid \"Core text\"\r\nmsgstr \"\"\r\n"));
    skineditortest::changeOptions(
        *host_, [&](HWND dialog) { ::SetDlgItemTextW(dialog, IDC_OPTIONS_CORE_STRINGS, core.c_str()); });
    EXPECT_EQ(tipAfterDwell(at("137]") + 1), "Core text");
}
