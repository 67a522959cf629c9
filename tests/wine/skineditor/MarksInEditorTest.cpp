// The plugin in the stand-in editor on a copy of the sample skin (under a
// folder named outside any ANSI code page), with a few references added that
// the skin does not have: the missing names carry the editor's indicator for
// errors,
// typing fixes and breaks them, the caret on one shows a call tip, new media
// is noticed, and the Options box switches it all off.
#include "Host.h"
#include "SkinEditorTestSupport.h"
#include "settings/settings_ids.h"
#include "wine/preview/PreviewSupport.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <memory>
#include <set>
#include <string>

namespace {

const wchar_t kMenu[] = L"&Quorrel";

constexpr UINT kIndicatorValueAt = 2507;
constexpr UINT kCallTipActive = 2202;
constexpr UINT kSetSel = 2160;
constexpr int kIndicators = 36;

const char kAdded[] =
    "\t\t<include>NoSuchInclude</include>\n"
    "\t\t<texture>buttons/focux.png</texture>\n"
    "\t\t<include content=\"HomeClock\"/>\n";

class MarksInEditor : public skineditortest::EditorWithSkin {
protected:
    void SetUp() override {
        EditorWithSkin::SetUp();
        ASSERT_NO_FATAL_FAILURE(copySampleSkin());
        home_ = insertInto(L"720p\\Home.xml", "\t</controls>", kAdded);
        ASSERT_NO_FATAL_FAILURE(
            startEditor(L"720p\\Home.xml", [this](host::Host& host) { host.refuseIndicators(refuseIndicators_); }));
        // The skin is read on the plugin's worker, which wakes the editor when done.
        if (!refuseIndicators_) host_->pumpUntil([&] { return !indicatorsAt(at("NoSuchInclude")).empty(); });
    }

    LRESULT send(UINT message, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(view_, message, w, l); }
    std::string text() const { return host_->documentBytes(); }
    // Where a name stands in the document (its first occurrence).
    LRESULT at(const std::string& name) const {
        const std::size_t pos = text().find(name);
        EXPECT_NE(pos, std::string::npos) << name;
        return static_cast<LRESULT>(pos);
    }
    std::set<int> indicatorsAt(LRESULT pos) const {
        std::set<int> on;
        for (int i = 0; i < kIndicators; ++i) {
            if (send(kIndicatorValueAt, static_cast<WPARAM>(i), pos) != 0) on.insert(i);
        }
        return on;
    }
    // Every character of the name carries the indicator, the ones around it do not.
    bool marked(const std::string& name, int indicator) const {
        const LRESULT from = at(name);
        const auto on = [&](LRESULT p) { return send(kIndicatorValueAt, static_cast<WPARAM>(indicator), p) != 0; };
        for (LRESULT p = from; p < from + static_cast<LRESULT>(name.size()); ++p) {
            if (!on(p)) return false;
        }
        return !on(from - 1) && !on(from + static_cast<LRESULT>(name.size()));
    }
    bool unmarked(const std::string& name, int indicator) const {
        const LRESULT from = at(name);
        for (LRESULT p = from; p < from + static_cast<LRESULT>(name.size()); ++p) {
            if (send(kIndicatorValueAt, static_cast<WPARAM>(indicator), p) != 0) return false;
        }
        return true;
    }
    void typeAt(LRESULT from, LRESULT to, wchar_t c) {
        ::SetFocus(view_);
        send(kSetSel, static_cast<WPARAM>(from), to);
        send(WM_CHAR, c, 1);
        host_->pump(150);
    }
    void caretOn(const std::string& name) {
        send(kSetSel, static_cast<WPARAM>(at(name) + 2), at(name) + 2);
        host_->pump(150);
    }
    void setOption(int boxId, bool on) { skineditortest::setOptionsBox(*host_, boxId, on); }

    std::string home_;
    bool refuseIndicators_ = false;
};

// An editor that has no indicator left to give.
class MarksWithoutIndicators : public MarksInEditor {
protected:
    MarksWithoutIndicators() { refuseIndicators_ = true; }
};

}  // namespace

TEST_F(MarksInEditor, MissingNamesAreMarkedAndTypingFixesAndBreaksThem) {
    // The one indicator on every missing name is the plugin's.
    std::set<int> common = indicatorsAt(at("missing/nothing.png"));
    for (const char* name : {"NoSuchInclude", "buttons/focux.png"}) {
        std::set<int> here = indicatorsAt(at(name));
        std::set<int> both;
        for (int i : common) {
            if (here.count(i)) both.insert(i);
        }
        common = both;
    }
    ASSERT_EQ(common.size(), 1u) << "no indicator, or more than one, on the missing names";
    const int indicator = *common.begin();
    for (const char* name : {"missing/nothing.png", "NoSuchInclude", "buttons/focux.png"}) {
        EXPECT_TRUE(marked(name, indicator)) << name;
    }
    // On disk, in the bundle, in includes.xml and in a file it includes.
    for (const char* name : {"backgrounds/home.jpg", "misc/logo.bmp", "icons/star.png", "FadeIn", "HomeClock"}) {
        EXPECT_TRUE(unmarked(name, indicator)) << name;
    }

    // The author types the right letter over the wrong one.
    const LRESULT x = at("focux.png") + 4;
    typeAt(x, x + 1, L's');
    ASSERT_NE(text().find("<texture>buttons/focus.png</texture>\n\t\t<include content"), std::string::npos);
    EXPECT_TRUE(unmarked("buttons/focus.png</texture>\n\t\t<include content", indicator));
    EXPECT_TRUE(marked("missing/nothing.png", indicator));

    // And breaks an include name; a new line above moves the marks along.
    const LRESULT fade = at("FadeIn</include>") + 6;
    typeAt(fade, fade, L'x');
    EXPECT_TRUE(marked("FadeInx", indicator));
    typeAt(0, 0, L'\r');
    EXPECT_TRUE(marked("FadeInx", indicator));
    EXPECT_TRUE(marked("NoSuchInclude", indicator));
    EXPECT_TRUE(unmarked("backgrounds/home.jpg", indicator));
}

TEST_F(MarksInEditor, TheCaretOnAMissingNameShowsACallTipAndNewMediaIsSeen) {
    caretOn("missing/nothing.png");
    EXPECT_EQ(send(kCallTipActive), 1);
    caretOn("backgrounds/home.jpg");
    EXPECT_EQ(send(kCallTipActive), 0);

    // The image appears on disk: seen at a caret move once the plugin looks again.
    ASSERT_TRUE(::CreateDirectoryW((skin_ + L"\\media\\missing").c_str(), nullptr));
    ASSERT_TRUE(previewtest::writeFile(skin_ + L"\\media\\missing\\Nothing.PNG", "png"));
    const int indicator = *indicatorsAt(at("NoSuchInclude")).begin();
    EXPECT_TRUE(marked("missing/nothing.png", indicator));
    host_->pump(2200);
    caretOn("misc/logo.bmp");
    host_->pumpUntil([&] { return unmarked("missing/nothing.png", indicator); });
    EXPECT_TRUE(unmarked("missing/nothing.png", indicator));
    EXPECT_TRUE(marked("NoSuchInclude", indicator));
}

TEST_F(MarksInEditor, TheOptionsBoxSwitchesMarkingOffAndOn) {
    const int indicator = *indicatorsAt(at("NoSuchInclude")).begin();
    setOption(IDC_OPTIONS_MARK_MISSING, false);
    EXPECT_TRUE(unmarked("NoSuchInclude", indicator));
    EXPECT_TRUE(unmarked("missing/nothing.png", indicator));
    typeAt(0, 0, L' ');
    EXPECT_TRUE(unmarked("NoSuchInclude", indicator));
    setOption(IDC_OPTIONS_MARK_MISSING, true);
    EXPECT_TRUE(marked("NoSuchInclude", indicator));
    EXPECT_TRUE(marked("missing/nothing.png", indicator));
}

TEST_F(MarksWithoutIndicators, NoIndicatorIsUsedButTheCallTipStillTells) {
    for (const char* name : {"missing/nothing.png", "NoSuchInclude", "buttons/focux.png"}) {
        EXPECT_TRUE(indicatorsAt(at(name)).empty()) << name;
    }
    host_->pumpUntil([&] {
        caretOn("NoSuchInclude");
        return send(kCallTipActive) == 1;
    });
    EXPECT_EQ(send(kCallTipActive), 1);
}
