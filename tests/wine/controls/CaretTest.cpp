// The control under the caret, end to end in the stand-in editor with the real
// Scintilla: the panel docked in the host, the caret moved in a window file of
// the sample skin, values typed into rows, and the document's bytes compared.
// The editor's caret updates reach the panel the way the plugin forwards them.
#include "Host.h"
#include "controls/ControlsPanel.h"
#include "controls/CaretTracker_win.h"
#include "editor/NppEditor_win.h"
#include "base/TextCodec.h"
#include "settings/SettingsStore.h"
#include "support/WineTestSupport.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <cstring>
#include <memory>
#include <string>

using wine_test::pump;
using wine_test::ScratchFolder;
using wine_test::windowText;

namespace {

constexpr UINT kUpdateUi = 2007;
constexpr int kPanelCommandId = 40999;

ControlsPanel* g_panel = nullptr;
WNDPROC g_hostProc = nullptr;
int g_caretUpdates = 0;

// What the plugin does with the editor's caret updates.
LRESULT CALLBACK forwardingHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = ::CallWindowProcW(g_hostProc, window, message, wParam, lParam);
    if (message == WM_NOTIFY && g_panel != nullptr) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->code == kUpdateUi) {
            ++g_caretUpdates;
            g_panel->caretMoved();
        }
    }
    return result;
}

// The "Videos" button of the sample's menu, and its width's line.
const char kVideosWidth[] = "<description>Videos</description>\n\t\t\t\t<width>240</width>";

std::wstring sampleWindowFile() { return wine_test::sampleSkinFolder() + L"\\720p\\Home.xml"; }

std::string replacedOnce(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

int lineOf(const std::string& text, const std::string& needle) {
    const std::size_t at = text.find(needle);
    if (at == std::string::npos) return -1;
    int line = 0;
    for (std::size_t i = 0; i < at; ++i) line += text[i] == '\n' ? 1 : 0;
    return line;
}

class CaretInEditor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        sample_ = testsupport::readFile(sampleWindowFile());
        ASSERT_FALSE(sample_.empty()) << "sample skin not found";
        ASSERT_TRUE(testsupport::writeFile(files_.file(L"Home.xml"), sample_));

        host::Options options;
        options.pluginRoot = plugins_.path();  // no plugin: the panel lives in this program
        options.configFolder = config_.path();
        std::wstring error;
        host_ = host::Host::create(options, &error);
        ASSERT_NE(host_, nullptr) << std::string(error.begin(), error.end());

        editor_.connect(::GetModuleHandleW(nullptr), npp::NppData{host_->mainWindow(), host_->view(0), host_->view(1)});
        editor_.setRecordedView(host_->view(0));
        // The panel looks at its menu item's check mark, as in the editor.
        commands_[ControlsPanel::kCommandIndex].cmdID = kPanelCommandId;
        editor_.setCommands(commands_, 6);
        ::AppendMenuW(::GetMenu(host_->mainWindow()), MF_STRING | MF_CHECKED, kPanelCommandId, L"Caret panel");

        panel_ = std::make_unique<ControlsPanel>();
        panel_->setEditor(&editor_);
        panel_->init(&model_, nullptr, &store_);
        follower_ = std::make_unique<controls::PanelCaretFollower>(*panel_, editor_);
        g_panel = panel_.get();
        g_hostProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(host_->mainWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&forwardingHostProc)));

        ASSERT_TRUE(host_->openFile(files_.file(L"Home.xml")));
        panel_->showPanel();
        pump(50);
    }

    void TearDown() override {
        g_panel = nullptr;
        if (host_ && g_hostProc != nullptr) {
            ::SetWindowLongPtrW(host_->mainWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProc));
        }
        follower_.reset();
        panel_.reset();
        if (host_) host_->shutdown();
        host_.reset();
        ::OleUninitialize();
    }

    void caretTo(int line) {
        ASSERT_TRUE(host_->setCaret(line, 0));
        pump(60);
    }

    AttributeArea& area() { return panel_->attributes(); }
    HWND valueOf(const std::wstring& tag) {
        for (std::size_t i = 0; i < area().rowCount(); ++i) {
            if (windowText(area().row(i).labelWindow()) == tag) return area().row(i).valueWindow();
        }
        return nullptr;
    }
    // Replaces the row's text the way a user would: select all, then type.
    void typeInto(HWND edit, const std::wstring& keys) {
        ::SetFocus(edit);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        for (wchar_t key : keys) ::SendMessageW(edit, WM_CHAR, key, 1);
        pump(60);
    }
    int indentationOf(int line) {
        return static_cast<int>(
            ::SendMessageW(host_->view(0), npp::SCI_GETLINEINDENTATION, static_cast<WPARAM>(line), 0));
    }

    npp::FuncItem commands_[6]{};
    ScratchFolder files_{L"caret-files"};
    ScratchFolder config_{L"caret-config"};
    ScratchFolder plugins_{L"caret-plugins"};
    std::string sample_;
    std::unique_ptr<host::Host> host_;
    IModel model_;
    SettingsStore store_;
    editor::NppEditor editor_;
    std::unique_ptr<ControlsPanel> panel_;
    std::unique_ptr<controls::PanelCaretFollower> follower_;
};

}  // namespace

TEST_F(CaretInEditor, ShowsTheControlUnderTheCaretAndWritesTypedValuesBack) {
    const int width = lineOf(sample_, kVideosWidth) + 1;  // the "Videos" button, in the menu's grouplist
    ASSERT_GT(width, 1);
    caretTo(width);
    ASSERT_EQ(panel_->currentType(), L"button");
    ASSERT_NE(valueOf(L"width"), nullptr);
    EXPECT_EQ(windowText(valueOf(L"width")), L"240");
    EXPECT_EQ(windowText(valueOf(L"description")), L"Videos");
    EXPECT_EQ(windowText(valueOf(L"onclick")), L"ActivateWindow(Videos)");
    EXPECT_EQ(windowText(valueOf(L"type")), L"button");

    const HWND areaBefore = area().handle();
    const HWND rowBefore = area().row(0).handle();
    const int updatesBefore = g_caretUpdates;
    typeInto(valueOf(L"width"), L"75");
    std::string expected = replacedOnce(sample_, kVideosWidth, "<description>Videos</description>\n\t\t\t\t<width>75</width>");
    EXPECT_EQ(host_->documentBytes(), expected);
    // The editor did report the changes, and the rows were not rebuilt for them.
    EXPECT_GT(g_caretUpdates, updatesBefore);
    EXPECT_EQ(area().handle(), areaBefore);
    EXPECT_EQ(area().row(0).handle(), rowBefore);
    EXPECT_EQ(windowText(valueOf(L"width")), L"75");

    // A tag the control lacks: one new line before the closing line, indented
    // like the line above it, with the document's line end.
    const std::string last = "<onclick>ActivateWindow(Videos)</onclick>\n\t\t\t</control>";
    const int closing = lineOf(expected, last) + 1;
    const int columns = indentationOf(closing - 1);
    typeInto(valueOf(L"textcolor"), L"ff");
    expected = replacedOnce(expected, last,
                            "<onclick>ActivateWindow(Videos)</onclick>\n" +
                                std::string(static_cast<std::size_t>(columns), ' ') +
                                "<textcolor>ff</textcolor>\n\t\t\t</control>");
    EXPECT_EQ(host_->documentBytes(), expected);
    EXPECT_EQ(follower_->tracker().lines().end, closing + 1);
    EXPECT_EQ(area().handle(), areaBefore);

    // Moving on within the same control reloads nothing.
    caretTo(width + 1);
    EXPECT_EQ(area().handle(), areaBefore);
}

TEST_F(CaretInEditor, GroupsAndListsShowWhereTheyStandAndAPickedValueLands) {
    caretTo(lineOf(sample_, "<description>Header</description>"));
    ASSERT_EQ(panel_->currentType(), L"group");
    ASSERT_NE(valueOf(L"left"), nullptr);
    EXPECT_EQ(windowText(valueOf(L"left")), L"60");
    EXPECT_EQ(valueOf(L"posx"), nullptr);
    caretTo(lineOf(sample_, "<description>Shortcuts</description>"));
    ASSERT_EQ(panel_->currentType(), L"list");
    ASSERT_NE(valueOf(L"left"), nullptr);
    EXPECT_EQ(windowText(valueOf(L"left")), L"360");
    EXPECT_EQ(valueOf(L"content"), nullptr);  // it holds items, not text

    // The clock's vertical alignment, picked from the values it takes.
    caretTo(lineOf(sample_, "<aligny>center</aligny>"));
    ASSERT_EQ(panel_->currentType(), L"label");
    const HWND aligny = valueOf(L"aligny");
    ASSERT_NE(aligny, nullptr);
    const LRESULT top =
        ::SendMessageW(aligny, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"top"));
    ASSERT_NE(top, CB_ERR);
    ::SendMessageW(aligny, CB_SETCURSEL, static_cast<WPARAM>(top), 0);
    ::SendMessageW(::GetParent(aligny), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(aligny));
    pump(60);
    EXPECT_EQ(host_->documentBytes(), replacedOnce(sample_, "<aligny>center</aligny>", "<aligny>top</aligny>"));
    EXPECT_EQ(panel_->status(), L"");
}

TEST_F(CaretInEditor, EditsBetweenBlankLinesAndCommentsChangeOnlyTheirElement) {
    // The "Window title" label has a blank line and a comment among its children.
    const int top = lineOf(sample_, "<top>0</top>\n\t\t\t\t<width>600</width>");
    ASSERT_GT(top, 0);
    caretTo(top);
    ASSERT_EQ(panel_->currentType(), L"label");
    EXPECT_EQ(windowText(valueOf(L"label")), L"Home");
    typeInto(valueOf(L"label"), L"Start");
    EXPECT_EQ(host_->documentBytes(), replacedOnce(sample_, "<label>Home</label>", "<label>Start</label>"));
}

TEST_F(CaretInEditor, DoesNothingWhileThePanelIsHidden) {
    caretTo(lineOf(sample_, kVideosWidth));
    ASSERT_EQ(panel_->currentType(), L"button");
    panel_->hidePanel();
    ::CheckMenuItem(::GetMenu(host_->mainWindow()), kPanelCommandId, MF_BYCOMMAND | MF_UNCHECKED);
    const int texture = lineOf(sample_, "<texture>misc/arrow.bmp</texture>");
    caretTo(texture);
    EXPECT_EQ(panel_->currentType(), L"button");
    EXPECT_EQ(host_->documentBytes(), sample_);
}

TEST_F(CaretInEditor, NeverWritesIntoTheDocumentThatBecameActive) {
    caretTo(lineOf(sample_, kVideosWidth));
    ASSERT_EQ(panel_->currentType(), L"button");
    const HWND widthRow = valueOf(L"width");

    // Same text in another file: the same lines hold "the same" control.
    ASSERT_TRUE(testsupport::writeFile(files_.file(L"Copy.xml"), sample_));
    ASSERT_TRUE(host_->openFile(files_.file(L"Copy.xml")));
    panel_->bufferActivated();  // as the plugin forwards the editor's notice
    pump(30);
    typeInto(widthRow, L"5");
    EXPECT_EQ(host_->documentBytes(), sample_);
    ASSERT_TRUE(host_->activateDocument(files_.file(L"Home.xml")));
    panel_->bufferActivated();
    pump(30);
    EXPECT_EQ(host_->documentBytes(), sample_);
}

TEST_F(CaretInEditor, CarriesTextThroughTheDocumentsCodePage) {
    const std::string utf8 =
        "<window>\r\n\t<controls>\r\n\t\t<control type=\"label\">\r\n\t\t\t<label>Gr\xC3\xBC\xC3\x9F"
        "e</label>\r\n"
        "\t\t</control>\r\n\t</controls>\r\n</window>\r\n";
    ASSERT_TRUE(testsupport::writeFile(files_.file(L"Utf8.xml"), utf8));
    ASSERT_TRUE(host_->openFile(files_.file(L"Utf8.xml")));
    panel_->bufferActivated();
    caretTo(3);
    ASSERT_EQ(panel_->currentType(), L"label");
    EXPECT_EQ(windowText(valueOf(L"label")), L"Gr\u00FC\u00DFe");
    typeInto(valueOf(L"label"), L"\u6771\u4EAC");
    std::string expected = replacedOnce(utf8,
                                        "Gr\xC3\xBC\xC3\x9F"
                                        "e",
                                        "\xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(host_->documentBytes(), expected);
    // A new element in a CR LF document ends with CR LF.
    typeInto(valueOf(L"font"), L"f");
    expected = replacedOnce(
        expected, "</label>\r\n",
        "</label>\r\n" + std::string(static_cast<std::size_t>(indentationOf(3)), ' ') + "<font>f</font>\r\n");
    EXPECT_EQ(host_->documentBytes(), expected);

    const std::string ansi = "<control type=\"label\">\n\t<label>caf\xE9</label>\n</control>\n";
    ASSERT_TRUE(testsupport::writeFile(files_.file(L"Ansi.xml"), ansi));
    ASSERT_TRUE(host_->openFile(files_.file(L"Ansi.xml")));
    panel_->bufferActivated();
    caretTo(1);
    EXPECT_EQ(windowText(valueOf(L"label")), L"caf\u00E9");
    typeInto(valueOf(L"label"), L"th\u00E9");
    EXPECT_EQ(host_->documentBytes(), replacedOnce(ansi, "caf\xE9", "th\xE9"));
}

namespace {

// Opens a document of its own in the current view, as the editor announces it.
class CaretInOwnDocument : public CaretInEditor {
protected:
    void openText(const std::wstring& name, const std::string& text) {
        ASSERT_TRUE(testsupport::writeFile(files_.file(name), text));
        ASSERT_TRUE(host_->openFile(files_.file(name)));
        panel_->bufferActivated();
        pump(30);
    }
};

}  // namespace

TEST_F(CaretInOwnDocument, FindsTheControlFromItsTagsAndWritesOnlyIntoIt) {
    const std::string text =
        "<window>\n"
        "\t<controls>\n"
        "\t\t<control>\n"                                     // 2
        "\t\t\t<posx>5</posx>\n"                                // 3
        "\t\t\t<control type=\"button\">\n"                     // 4
        "\t\t\t\t<posx>10</posx>\n"                             // 5
        "\t\t\t\t<hitrect x=\"0\" y=\"0\" w=\"9\" h=\"9\"/>\n"  // 6
        "\t\t\t\t<label>Play</label>\n"                         // 7
        "\t\t\t</control>\n"                                    // 8
        "\t\t</control>\n"                                      // 9
        "\t</controls>\n"
        "</window>\n";
    openText(L"Structure.xml", text);
    caretTo(7);  // below the self-closing child
    ASSERT_EQ(panel_->currentType(), L"button");
    EXPECT_EQ(windowText(valueOf(L"label")), L"Play");
    typeInto(valueOf(L"posx"), L"12");
    const std::string edited = replacedOnce(text, "<posx>10</posx>", "<posx>12</posx>");
    EXPECT_EQ(host_->documentBytes(), edited);
    EXPECT_EQ(panel_->status(), L"");

    // The lines of a control without a type: the rows stay, and the status line says why.
    caretTo(3);
    EXPECT_EQ(panel_->currentType(), L"button");
    EXPECT_EQ(panel_->status(), L"This control names no type; the rows are unchanged.");
    // What is typed now was meant for the button: not written, the row shows the document's value again.
    typeInto(valueOf(L"label"), L"Stop");
    EXPECT_EQ(host_->documentBytes(), edited);
    EXPECT_EQ(windowText(valueOf(L"label")), L"Play");
    EXPECT_EQ(panel_->status(), L"The control under the caret has changed; the edit was not written.");
    caretTo(8);
    EXPECT_EQ(panel_->status(), L"");
}

TEST_F(CaretInEditor, ARowEditAfterAHandEditGoesIntoTheTextAsItNowStands) {
    caretTo(lineOf(sample_, kVideosWidth) + 1);
    ASSERT_EQ(panel_->currentType(), L"button");
    // The width fixed by hand on the caret's line; the caret stays there.
    const std::string hand = replacedOnce(sample_, kVideosWidth, "<description>Videos</description>\n\t\t\t\t<width>241</width>");
    const std::intptr_t at = static_cast<std::intptr_t>(sample_.find(kVideosWidth) + std::strlen(kVideosWidth)) - 11;
    ::SendMessageW(host_->view(0), npp::SCI_SETTARGETSTART, static_cast<WPARAM>(at), 0);
    ::SendMessageW(host_->view(0), npp::SCI_SETTARGETEND, static_cast<WPARAM>(at + 3), 0);
    ::SendMessageW(host_->view(0), npp::SCI_REPLACETARGET, 3, reinterpret_cast<LPARAM>("241"));
    pump(60);
    ASSERT_EQ(host_->documentBytes(), hand);
    typeInto(valueOf(L"height"), L"49");
    EXPECT_EQ(host_->documentBytes(), replacedOnce(hand, "<height>48</height>", "<height>49</height>"));
    EXPECT_EQ(panel_->status(), L"");
}

TEST_F(CaretInEditor, TheTypeRowRetypesTheControlAndTheRowsFollowIt) {
    caretTo(lineOf(sample_, kVideosWidth));
    const HWND type = valueOf(L"type");
    ASSERT_NE(type, nullptr);
    // One keystroke at the end: "buttonx", which no type of the list is.
    ::SetFocus(type);
    ::SendMessageW(type, EM_SETSEL, 6, 6);
    ::SendMessageW(type, WM_CHAR, L'x', 1);
    pump(60);
    const std::string videos = "<control type=\"button\" id=\"9001\">";
    ASSERT_NE(sample_.find(videos), std::string::npos);
    EXPECT_EQ(host_->documentBytes(), replacedOnce(sample_, videos, "<control type=\"buttonx\" id=\"9001\">"));
    EXPECT_EQ(panel_->status(), L"\"buttonx\" is not a control type the panel lists; the rows stay as they were.");
    EXPECT_EQ(panel_->currentType(), L"button");
    ::SendMessageW(type, WM_CHAR, VK_BACK, 1);
    pump(60);
    EXPECT_EQ(host_->documentBytes(), sample_);
    EXPECT_EQ(panel_->status(), L"");

    // Another listed type: the rows follow the control as it now reads.
    typeInto(type, L"image");
    pump(60);
    EXPECT_EQ(host_->documentBytes(), replacedOnce(sample_, videos, "<control type=\"image\" id=\"9001\">"));
    EXPECT_EQ(panel_->currentType(), L"image");
    EXPECT_EQ(windowText(valueOf(L"width")), L"240");
    // The catalogue still knows buttons: the next one loads.
    caretTo(lineOf(sample_, "<description>Music</description>"));
    EXPECT_EQ(panel_->currentType(), L"button");
}

TEST_F(CaretInOwnDocument, WithTwoViewsItReadsAndWritesTheViewThatHoldsTheCaret) {
    // Home.xml stays in the main view, the one recorded when the panel was shown.
    const std::string other =
        "<window>\n\t<controls>\n\t\t<control type=\"label\">\n\t\t\t<label>Other</label>\n"
        "\t\t</control>\n\t</controls>\n</window>\n";
    host_->setCurrentView(1);
    openText(L"Other.xml", other);
    caretTo(3);
    ASSERT_EQ(panel_->currentType(), L"label");
    EXPECT_EQ(windowText(valueOf(L"label")), L"Other");
    typeInto(valueOf(L"label"), L"Second");
    EXPECT_EQ(host_->documentBytes(), replacedOnce(other, "Other", "Second"));
    host_->setCurrentView(0);
    EXPECT_EQ(host_->documentBytes(), sample_);
}

TEST_F(CaretInOwnDocument, AMissingElementGetsLinesOfItsOwnAlsoBesideTheEndTag) {
    const std::string text =
        "<window>\r\n\t<controls>\r\n"
        "\t\t<control type=\"image\"><posx>1</posx></control>\r\n"  // 2
        "\t\t<control type=\"image\" id=\"2\"/>\r\n"                // 3
        "\t</controls>\r\n</window>\r\n";
    openText(L"Shared.xml", text);
    caretTo(2);
    ASSERT_EQ(panel_->currentType(), L"image");
    typeInto(valueOf(L"texture"), L"a.png");
    std::string expected = replacedOnce(text, "<posx>1</posx></control>",
                                        "<posx>1</posx>\r\n\t\t\t<texture>a.png</texture>\r\n\t\t</control>");
    EXPECT_EQ(host_->documentBytes(), expected);
    caretTo(5);  // the self-closing control, two lines further down now
    typeInto(valueOf(L"top"), L"7");
    expected = replacedOnce(expected, "<control type=\"image\" id=\"2\"/>",
                            "<control type=\"image\" id=\"2\">\r\n\t\t\t<top>7</top>\r\n\t\t</control>");
    EXPECT_EQ(host_->documentBytes(), expected);
    EXPECT_EQ(panel_->status(), L"");
}
