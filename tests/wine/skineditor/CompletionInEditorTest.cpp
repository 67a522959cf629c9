// Completion of the skin's names in the stand-in editor, on a copy of the
// sample skin with two variables added: typing `$VAR[` shows them, choosing
// one writes the name and its bracket once, the menu command completes a name
// typed in part before a bracket already there, and the Options box turns it
// off.
#include "Host.h"
#include "SkinEditorTestSupport.h"
#include "settings/settings_ids.h"
#include "wine/preview/PreviewSupport.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <memory>
#include <string>

namespace {

const wchar_t kMenu[] = L"&Quorrel";

constexpr UINT kInsertText = 2003;
constexpr UINT kGotoPos = 2025;
constexpr UINT kAutoCActive = 2102;
constexpr UINT kAutoCComplete = 2104;
constexpr UINT kAutoCCurrentText = 2610;

class CompletionInEditor : public skineditortest::EditorWithSkin {
protected:
    void SetUp() override {
        EditorWithSkin::SetUp();
        ASSERT_NO_FATAL_FAILURE(copySampleSkin());
        insertInto(L"720p\\includes.xml", "</includes>",
                   "\t<variable name=\"ListLabel\"><value>First value</value></variable>\n"
                   "\t<variable name=\"Clock\"><value>$INFO[System.Time]</value></variable>\n");
        ASSERT_NO_FATAL_FAILURE(startEditor(L"720p\\Home.xml"));
    }

    LRESULT send(UINT message, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(view_, message, w, l); }
    std::string text() const { return host_->documentBytes(); }
    // Writes `line` before the controls' end tag and puts the caret after `caretAfter` in it.
    void insertLine(const std::string& line, const std::string& caretAfter) {
        const std::size_t at = text().find("\t</controls>");
        ASSERT_NE(at, std::string::npos);
        send(kInsertText, at, reinterpret_cast<LPARAM>(line.c_str()));
        send(kGotoPos, at + line.find(caretAfter) + caretAfter.size());
        ::SetFocus(view_);
    }
    // Typed keys go through the view as WM_CHAR, which the view answers (and
    // notifies the plugin of) before SendMessage returns.
    void type(const std::string& keys) {
        for (char c : keys) send(WM_CHAR, static_cast<WPARAM>(c), 1);
    }
    std::string chosenItem() const {
        char buffer[256] = "";
        send(kAutoCCurrentText, 0, reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    static std::size_t count(const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }
    void setOption(int boxId, bool on) { skineditortest::setOptionsBox(*host_, boxId, on); }
};

TEST_F(CompletionInEditor, TypingAVariablesOpenerOffersTheVariablesAndWritesTheChosenOneOnce) {
    insertLine("\t\t<label></label>\n", "<label>");
    type("$VAR[");
    ASSERT_NE(send(kAutoCActive), 0);
    EXPECT_EQ(chosenItem(), "Clock  ($INFO[System.Time])");  // sorted by name
    type("Li");
    ASSERT_NE(send(kAutoCActive), 0);
    EXPECT_EQ(chosenItem(), "ListLabel  (First value)");
    send(kAutoCComplete);
    EXPECT_EQ(send(kAutoCActive), 0);
    EXPECT_EQ(count(text(), "<label>$VAR[ListLabel]</label>"), 1u);
    EXPECT_EQ(count(text(), "]]"), 0u);

    // On demand, inside a name typed in part before its bracket.
    insertLine("\t\t<label2>$VAR[Li]</label2>\n", "$VAR[Li");
    ASSERT_TRUE(host_->runMenu(kMenu, L"Complete &name"));
    ASSERT_NE(send(kAutoCActive), 0);
    send(kAutoCComplete);
    EXPECT_EQ(count(text(), "<label2>$VAR[ListLabel]</label2>"), 1u);

    // Outside a context nothing is offered; switched off, nothing at all.
    insertLine("\t\t<description></description>\n", "<description>");
    type("abc");
    EXPECT_EQ(send(kAutoCActive), 0);
    setOption(IDC_OPTIONS_COMPLETE_NAMES, false);
    insertLine("\t\t<label></label>\n", "<label>");
    type("$VAR[");
    EXPECT_EQ(send(kAutoCActive), 0);
}

// Today's vocabulary in the editor: an enum element's values on demand, a
// texture's attributes after a blank.
TEST_F(CompletionInEditor, OffersTheValuesAndAttributesTheMediaCenterReads) {
    insertLine("\t\t<control type=\"label\"><aligny></aligny></control>\n", "<aligny>");
    ASSERT_TRUE(host_->runMenu(kMenu, L"Complete &name"));
    ASSERT_NE(send(kAutoCActive), 0);
    EXPECT_EQ(chosenItem(), "center");
    send(kAutoCComplete);
    EXPECT_EQ(count(text(), "<aligny>center</aligny>"), 1u);

    insertLine("\t\t<texture>a.png</texture>\n", "<texture");
    type(" fl");
    ASSERT_NE(send(kAutoCActive), 0);
    EXPECT_EQ(chosenItem(), "flipx");
}

}  // namespace
