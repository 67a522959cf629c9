// The controls panel created straight from this program on a stand-in host
// window: its type list, the rows it builds, what it reports when a row is
// edited, how the area scrolls, and the drag of the control's XML.
#include "controls/ControlsPanel.h"
#include "controls/controls_ids.h"
#include "editor/NppEditor_win.h"
#include "settings/SettingsStore.h"
#include "framework/DragSource_win.h"
#include "support/WineTestSupport.h"

#include <commctrl.h>
#include <cwchar>
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using wine_test::pump;
using wine_test::windowText;

namespace {

struct Edit {
    std::wstring tag;
    std::wstring value;
    bool operator==(const Edit& o) const { return tag == o.tag && value == o.value; }
};

class RecordingSink : public ControlEditSink {
public:
    void tagEdited(const std::wstring& tag, const std::wstring& value) override { edits.push_back({tag, value}); }
    std::vector<Edit> edits;
};

// Offers two image names for every tag containing "texture".
class ImageChoices : public RowChoiceSource {
public:
    RowChoice rowFor(const std::wstring& tag, const skin::vocab::Element* /*element*/) override {
        if (tag.find(L"texture") == std::wstring::npos) return {};
        return {RowKind::ImageDropDown, {L"buttons/focus.png", L"buttons/nofocus.png"}};
    }
    void choiceMade(const std::wstring& tag, const std::wstring& value) override { choices.push_back({tag, value}); }
    std::vector<Edit> choices;
};

class ControlsPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ControlsTestHost";
        ::RegisterClassW(&wc);
        host_ = ::CreateWindowExW(0, wc.lpszClassName, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 700,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        editor_.connect(::GetModuleHandleW(nullptr), npp::NppData{host_, nullptr, nullptr});

        store_.setBool(L"ORMU", L"LoadImages", true);
        panel_ = std::make_unique<ControlsPanel>();
        panel_->setEditor(&editor_);
        panel_->init(&model_, nullptr, &store_);
        panel_->setEditSink(&sink_);
        panel_->showPanel();
        ASSERT_NE(panel_->handle(), nullptr);
        // The editor would dock and show it; here it floats at a known size.
        ::SetWindowPos(panel_->handle(), nullptr, 20, 20, 380, 345, SWP_NOZORDER | SWP_SHOWWINDOW);
        pump(30);
    }
    void TearDown() override {
        panel_.reset();
        ::DestroyWindow(host_);
        ::OleUninitialize();
    }

    // Picks the type in the list as the user does.
    void choose(const std::wstring& type) {
        const int index = panel_->typeList().findExact(type);
        ASSERT_GE(index, 0) << std::string(type.begin(), type.end());
        ::SendMessageW(list(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(panel_->handle(), WM_COMMAND, MAKEWPARAM(IDC_CONTROLS_TYPE_LIST, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(list()));
        pump(10);
    }
    std::wstring listText(int index) {
        wchar_t text[64] = L"";
        ::SendMessageW(list(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::size_t rowsOf(const wchar_t* type) const { return panel_->catalogue().rowsOf(type).size(); }
    HWND list() { return panel_->typeList().handle(); }
    AttributeArea& area() { return panel_->attributes(); }
    std::vector<std::wstring> rowTags() {
        std::vector<std::wstring> tags;
        for (std::size_t i = 0; i < area().rowCount(); ++i) tags.push_back(windowText(area().row(i).labelWindow()));
        return tags;
    }
    const AttributeRow* rowOf(const std::wstring& tag) {
        for (std::size_t i = 0; i < area().rowCount(); ++i) {
            if (windowText(area().row(i).labelWindow()) == tag) return &area().row(i);
        }
        return nullptr;
    }
    int rowTopInArea(const AttributeRow& row) {
        RECT rc{};
        ::GetWindowRect(row.handle(), &rc);
        ::MapWindowPoints(nullptr, area().handle(), reinterpret_cast<POINT*>(&rc), 2);
        return rc.top;
    }
    static void typeInto(HWND edit, const std::wstring& keys) {
        ::SetFocus(edit);
        for (wchar_t key : keys) ::SendMessageW(edit, WM_CHAR, key, 1);
    }

    HWND host_ = nullptr;
    IModel model_;
    SettingsStore store_;
    RecordingSink sink_;
    editor::NppEditor editor_;
    std::unique_ptr<ControlsPanel> panel_;
};

TEST_F(ControlsPanelTest, ListsTheTypesAndBuildsOneSortedRowPerTag) {
    EXPECT_EQ(windowText(panel_->handle()), L"Ormu Skin Controls");
    EXPECT_STREQ(panel_->caption(), L"Ormu Controls");
    EXPECT_EQ(panel_->registration()->dlgID, 3);
    ASSERT_EQ(::SendMessageW(list(), CB_GETCOUNT, 0, 0), 49);
    EXPECT_EQ(::SendMessageW(list(), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(area().rowCount(), 0u);
    // Today's types first, as they are named; the older ones after them, marked.
    EXPECT_EQ(listText(0), L"image");
    EXPECT_EQ(listText(34), L"multiselect (older)");
    EXPECT_EQ(listText(48), L"extendedlist (older)");

    choose(L"image");
    EXPECT_EQ(panel_->currentType(), L"image");
    const std::vector<std::wstring> tags = rowTags();
    EXPECT_EQ(tags.size(), rowsOf(L"image"));
    EXPECT_TRUE(std::is_sorted(tags.begin(), tags.end()));
    for (const wchar_t* tag : {L"left", L"top", L"texture", L"aspectratio", L"bordersize", L"type"})
        EXPECT_NE(rowOf(tag), nullptr) << std::string(tag, tag + std::wcslen(tag));
    EXPECT_EQ(rowOf(L"posx"), nullptr);  // the legacy alias only where a control uses it
    EXPECT_EQ(windowText(rowOf(L"type")->valueWindow()), L"image");
    EXPECT_FALSE(panel_->rebuilding());
    EXPECT_TRUE(sink_.edits.empty());  // building the rows is no edit

    // Rows sit 25 pixels apart from the top of the area, values beside the tags.
    EXPECT_EQ(rowTopInArea(area().row(0)), 0);
    EXPECT_EQ(rowTopInArea(area().row(3)), 75);
    RECT value{};
    ::GetWindowRect(area().row(0).valueWindow(), &value);
    ::MapWindowPoints(nullptr, area().row(0).handle(), reinterpret_cast<POINT*>(&value), 2);
    EXPECT_EQ(value.left, 120);
}

TEST_F(ControlsPanelTest, ChoosingTheShownTypeAgainLeavesRowsAndScrollingAlone) {
    choose(L"image");
    ::SendMessageW(area().handle(), WM_VSCROLL, SB_BOTTOM, 0);
    const int position = area().scrollState().position();
    ASSERT_GT(position, 0);
    const HWND firstRow = area().row(0).handle();
    const int firstTop = rowTopInArea(area().row(0));
    EXPECT_EQ(firstTop, -5 * position);

    choose(L"image");
    EXPECT_EQ(area().row(0).handle(), firstRow);
    EXPECT_EQ(area().scrollState().position(), position);
    EXPECT_EQ(rowTopInArea(area().row(0)), firstTop);

    // A new size for the panel keeps the rows where the scrolling put them.
    ::SetWindowPos(panel_->handle(), nullptr, 0, 0, 400, 330, SWP_NOMOVE | SWP_NOZORDER);
    pump(10);
    EXPECT_EQ(rowTopInArea(area().row(0)), -5 * area().scrollState().position());

    // Another type starts again at the top.
    choose(L"button");
    EXPECT_EQ(panel_->currentType(), L"button");
    EXPECT_EQ(area().scrollState().position(), 0);
    EXPECT_EQ(area().rowCount(), rowsOf(L"button"));
}

TEST_F(ControlsPanelTest, TheLastRowCanBeScrolledIntoView) {
    choose(L"radiobutton");  // the most rows
    ASSERT_GT(area().rowCount(), 60u);
    ::SendMessageW(area().handle(), WM_VSCROLL, SB_BOTTOM, 0);
    RECT client{};
    ::GetClientRect(area().handle(), &client);
    const AttributeRow& last = area().row(area().rowCount() - 1);
    EXPECT_LE(rowTopInArea(last) + 20, client.bottom);
    EXPECT_GE(rowTopInArea(last), 0);
    // Line by line back to the top.
    for (int i = 0; i < 400; ++i) ::SendMessageW(area().handle(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(rowTopInArea(area().row(0)), 0);
}

TEST_F(ControlsPanelTest, EnumerationsAndBooleansGetTheirValuesAndAnUnlistedTypeJoinsTheList) {
    choose(L"label");
    const AttributeRow* aligny = rowOf(L"aligny");
    ASSERT_NE(aligny, nullptr);
    ASSERT_TRUE(aligny->isDropDown());
    EXPECT_EQ(::SendMessageW(aligny->valueWindow(), CB_GETCOUNT, 0, 0), 2);  // top, center
    ASSERT_NE(rowOf(L"scroll"), nullptr);
    EXPECT_TRUE(rowOf(L"scroll")->isDropDown());
    EXPECT_FALSE(rowOf(L"label")->isDropDown());

    // An older type is chosen by its name, not by its marked text.
    EXPECT_TRUE(panel_->selectTypeByName(L"checkmark"));
    EXPECT_EQ(panel_->currentType(), L"checkmark");

    // A control of a type nothing knows: listed as written, with its children as rows.
    panel_->catalogue().load(L"Knob", {{L"turns", L"3"}});
    EXPECT_TRUE(panel_->selectTypeByName(L"Knob"));
    EXPECT_EQ(::SendMessageW(list(), CB_GETCOUNT, 0, 0), 50);
    EXPECT_EQ(listText(49), L"Knob");
    EXPECT_EQ(rowTags(), (std::vector<std::wstring>{L"turns", L"type"}));
    EXPECT_EQ(windowText(rowOf(L"turns")->valueWindow()), L"3");
}

TEST_F(ControlsPanelTest, EveryKeystrokeInARowIsReportedOnce) {
    choose(L"button");
    const AttributeRow* left = rowOf(L"left");
    ASSERT_NE(left, nullptr);
    ASSERT_FALSE(left->isDropDown());
    typeInto(left->valueWindow(), L"12");
    ASSERT_EQ(sink_.edits.size(), 2u);
    EXPECT_EQ(sink_.edits[0], (Edit{L"left", L"1"}));
    EXPECT_EQ(sink_.edits[1], (Edit{L"left", L"12"}));
    ::SendMessageW(left->valueWindow(), WM_CHAR, VK_BACK, 1);
    ASSERT_EQ(sink_.edits.size(), 3u);
    EXPECT_EQ(sink_.edits[2], (Edit{L"left", L"1"}));
    EXPECT_EQ(area().currentLabel(), left->labelWindow());
}

TEST_F(ControlsPanelTest, ValueBoxesTakeTextLongerThanTheyAreWide) {
    choose(L"button");
    const AttributeRow* onclick = rowOf(L"onclick");
    ASSERT_NE(onclick, nullptr);
    const std::wstring action = L"ActivateWindow(MyVideos,smb://media-server/videos/films/collection/2026/,return)";
    typeInto(onclick->valueWindow(), action);
    EXPECT_EQ(windowText(onclick->valueWindow()), action);
    EXPECT_EQ(sink_.edits.back(), (Edit{L"onclick", action}));
    EXPECT_EQ(sink_.edits.size(), action.size());
}

TEST_F(ControlsPanelTest, DropDownRowsComeFromTheChoiceSourceAndReportTheirEntries) {
    ImageChoices images;
    panel_->setRowChoiceSource(&images);
    panel_->catalogue().selectType(L"button");
    panel_->catalogue().setValue(L"texturefocus", L"custom/own.png");
    choose(L"button");
    const AttributeRow* focus = rowOf(L"texturefocus");
    ASSERT_NE(focus, nullptr);
    ASSERT_TRUE(focus->isDropDown());
    EXPECT_FALSE(rowOf(L"label")->isDropDown());
    EXPECT_EQ(::SendMessageW(focus->valueWindow(), CB_GETCOUNT, 0, 0), 2);
    // A value that is not among the entries shows as text with nothing selected.
    std::wstring value;
    EXPECT_TRUE(area().valueText(value, focus->valueWindow()));
    EXPECT_EQ(value, L"custom/own.png");
    EXPECT_TRUE(sink_.edits.empty());
    EXPECT_TRUE(images.choices.empty());

    // Picking an entry reports the entry, to the choice source first.
    ::SendMessageW(focus->valueWindow(), CB_SETCURSEL, 1, 0);
    ::SendMessageW(focus->handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(focus->valueWindow()));
    ASSERT_EQ(images.choices.size(), 1u);
    EXPECT_EQ(images.choices[0], (Edit{L"texturefocus", L"buttons/nofocus.png"}));
    ASSERT_EQ(sink_.edits.size(), 1u);
    EXPECT_EQ(sink_.edits[0], (Edit{L"texturefocus", L"buttons/nofocus.png"}));

    // Other notifications of a row (focus, drop-down opening) are no edits.
    for (WORD code : {WORD(CBN_SETFOCUS), WORD(CBN_DROPDOWN), WORD(CBN_KILLFOCUS)}) {
        ::SendMessageW(focus->handle(), WM_COMMAND, MAKEWPARAM(0, code),
                       reinterpret_cast<LPARAM>(focus->valueWindow()));
    }
    EXPECT_EQ(sink_.edits.size(), 1u);
    panel_->setRowChoiceSource(nullptr);
}

TEST_F(ControlsPanelTest, AClipboardChangeRefillsTheListButKeepsTheRows) {
    choose(L"label");
    const LRESULT label = ::SendMessageW(list(), CB_GETCURSEL, 0, 0);
    ASSERT_GE(label, 0);
    const HWND firstRow = area().row(0).handle();
    model_.notifyControllers();
    EXPECT_EQ(::SendMessageW(list(), CB_GETCOUNT, 0, 0), 49);
    EXPECT_EQ(::SendMessageW(list(), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(area().rowCount(), rowsOf(L"label"));
    EXPECT_EQ(area().row(0).handle(), firstRow);

    // A hidden panel leaves its list alone.
    choose(L"label");
    panel_->hidePanel();
    model_.notifyControllers();
    EXPECT_EQ(::SendMessageW(list(), CB_GETCURSEL, 0, 0), label);
}

TEST_F(ControlsPanelTest, SelectsATypeByItsNameAndRebuildsWhenToldToForget) {
    EXPECT_TRUE(panel_->selectTypeByName(L"Button"));
    EXPECT_EQ(panel_->currentType(), L"button");
    EXPECT_EQ(::SendMessageW(list(), CB_GETCURSEL, 0, 0), panel_->typeList().findExact(L"button"));
    EXPECT_FALSE(panel_->selectTypeByName(L"knob"));
    EXPECT_FALSE(panel_->selectTypeByName(L"butt"));  // whole names only
    EXPECT_EQ(panel_->currentType(), L"button");

    // New values for the same type: rows are rebuilt only after forgetting the type.
    panel_->catalogue().setValue(L"label", L"Play");
    EXPECT_TRUE(panel_->selectTypeByName(L"button"));
    EXPECT_EQ(windowText(rowOf(L"label")->valueWindow()), L"");
    panel_->forgetCurrentType();
    EXPECT_TRUE(panel_->selectTypeByName(L"button"));
    EXPECT_EQ(windowText(rowOf(L"label")->valueWindow()), L"Play");
    EXPECT_TRUE(sink_.edits.empty());
}

TEST_F(ControlsPanelTest, MirrorsTheTwoChoiceSettings) {
    EXPECT_TRUE(panel_->offerImages());
    EXPECT_FALSE(panel_->offerIncludes());
    EXPECT_TRUE(store_.exists(L"ORMU", L"LoadIncludes"));  // written when missing
    store_.setBool(L"ORMU", L"LoadIncludes", true);
    EXPECT_TRUE(panel_->offerIncludes());
    store_.setBool(L"ormu", L"LoadImages", false);  // group names are exact
    EXPECT_TRUE(panel_->offerImages());
    store_.setBool(L"ORMU", L"LoadImages", false);
    EXPECT_FALSE(panel_->offerImages());
}

TEST_F(ControlsPanelTest, TheDraggedTextIsTheControlsXml) {
    EXPECT_EQ(panel_->dragText(), L"");  // no rows, nothing to drag
    panel_->catalogue().selectType(L"button");
    panel_->catalogue().setValue(L"label", L"Price 5 \u20AC");
    panel_->catalogue().setValue(L"left", L"80");
    choose(L"button");
    EXPECT_EQ(panel_->dragText(),
              L"<control type=\"button\">\n    <label>Price 5 \u20AC</label>\n    <left>80</left>\n</control>\n");

    // The begin-drag notification hands the text to the data object and is
    // answered with 0, so that the drag list starts no drag of its own. With
    // no mouse button down the drag ends at once.
    DRAGLISTINFO info{DL_BEGINDRAG, area().handle(), POINT{5, 300}};
    ::SetWindowLongPtrW(panel_->handle(), DWLP_MSGRESULT, 77);
    ::SendMessageW(panel_->handle(), ::RegisterWindowMessageW(DRAGLISTMSGSTRING),
                   static_cast<WPARAM>(IDC_CONTROLS_ATTRIBUTES), reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(::GetWindowLongPtrW(panel_->handle(), DWLP_MSGRESULT), 0);
    FORMATETC unicode{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_EQ(panel_->dragData()->GetData(&unicode, &medium), S_OK);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(::GlobalLock(medium.hGlobal))), panel_->dragText());
    ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
}

}  // namespace
