#include "controls/ControlBlock.h"

#include "unit/controls/ControlBlockTestDocument.h"

#include <gtest/gtest.h>

using namespace controls;
using controls::fakes::TextDocument;

namespace {

const char* const kTwoControls =
    "<controls>\n"                        // 0
    "\t<control type=\"button\" id=\"1\">\n"  // 1
    "\t\t<posx>10</posx>\n"               // 2
    "\t\t<posy>20</posy>\n"               // 3
    "\t</control>\n"                      // 4
    "\n"                                  // 5
    "\t<control type=\"image\">\n"        // 6
    "\t\t<texture>a.png</texture>\n"      // 7
    "\t</control>\n"                      // 8
    "</controls>\n";                      // 9

BlockLines at(const std::string& text, Position caret) { return findBlock(TextDocument(text), caret); }

}  // namespace

TEST(ControlBlockFind, ReportsNoControlOutsideControlsAndOnBadLines) {
    EXPECT_FALSE(at(kTwoControls, 5).found());  // the line above closes a control
    EXPECT_FALSE(at(kTwoControls, 9).found());
    EXPECT_FALSE(at(kTwoControls, 0).found());  // "<controls>" has no "type="
    EXPECT_FALSE(at(kTwoControls, -1).found());
    EXPECT_FALSE(at(kTwoControls, 400).found());
    EXPECT_FALSE(at("<control type=\"label\">\n<posx>1</posx>\n", 1).found());  // never closed
}

TEST(ControlBlockFind, MatchesKeyStringsWithoutCaseAndStopsAtSelfClosingLines) {
    EXPECT_EQ(at("<CONTROL TYPE=\"label\">\n<posx>1</posx>\n</CONTROL>\n", 1), (BlockLines{0, 2}));
    // A self-closing child above the caret ends the upward search.
    const std::string withEmpty = "<control type=\"image\">\n<texture border=\"2\"/>\n<posx>1</posx>\n</control>\n";
    EXPECT_FALSE(at(withEmpty, 2).found());
    // ...and, searching down, it is taken for the closing line.
    EXPECT_EQ(at(withEmpty, 0), (BlockLines{0, 1}));
    // A one-line self-closing control is no block of its own: the downward
    // search skips lines holding "<control".
    const std::string oneLine = "<control type=\"image\" id=\"3\"/>\n<control type=\"label\">\n</control>\n";
    EXPECT_EQ(at(oneLine, 0), (BlockLines{0, 2}));
}

TEST(ControlBlockCut, CutsAfterWhicheverTerminatorComesFirst) {
    EXPECT_EQ(cutBlock("<control type=\"a\"/>\n<control type=\"b\">\n</control>"), "<control type=\"a\"/>");
    EXPECT_EQ(cutBlock("<control type=\"a\">\n</CONTROL> <x/>"), "<control type=\"a\">\n</CONTROL>");
    // Only one of the two: nothing to cut.
    EXPECT_EQ(cutBlock("<control type=\"a\">\n</control> tail"), "<control type=\"a\">\n</control> tail");
    EXPECT_EQ(cutBlock("<control type=\"a\">\n<b/> tail"), "<control type=\"a\">\n<b/> tail");

    TextDocument doc("x\r\n<control type=\"a\">\r\n<posx>1</posx>\r\n</control>\r\ny");
    EXPECT_EQ(readBlock(doc, {1, 3}), "<control type=\"a\">\r\n<posx>1</posx>\r\n</control>");
}

TEST(ControlBlockLocate, FindsChildSpansThroughCommentsCdataQuotesAndNesting) {
    const std::string block =
        "<!-- <control type=\"fake\"> -->\n"
        "<control type=\"button\" note='a > b'>\n"
        "  <!-- <posx>0</posx> -->\n"
        "  <posx>10</posx><posy>20</posy>\n"
        "  <animation effect=\"fade\"\n"
        "             time=\"200\">WindowOpen</animation>\n"
        "  <label><![CDATA[</label>]]></label>\n"
        "  <include name=\"x\"><param name=\"p\" value=\"/>\"/></include>\n"
        "  <texture border=\"2\" />\n"
        "</control >";
    const auto control = locateControl(block);
    ASSERT_TRUE(control.has_value());
    ASSERT_EQ(control->children.size(), 6u);
    const char* names[] = {"posx", "posy", "animation", "label", "include", "texture"};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(control->children[i].name, names[i]);
    auto span = [&](std::size_t i) {
        const ElementSpan& e = control->children[i];
        return block.substr(e.begin, e.end - e.begin);
    };
    EXPECT_EQ(span(0), "<posx>10</posx>");
    EXPECT_EQ(span(1), "<posy>20</posy>");
    EXPECT_EQ(span(2), "<animation effect=\"fade\"\n             time=\"200\">WindowOpen</animation>");
    EXPECT_EQ(span(3), "<label><![CDATA[</label>]]></label>");
    EXPECT_EQ(span(4), "<include name=\"x\"><param name=\"p\" value=\"/>\"/></include>");
    EXPECT_EQ(span(5), "<texture border=\"2\" />");
    EXPECT_TRUE(control->children[5].selfClosing);
    EXPECT_EQ(control->children[4].children.size(), 1u);
    EXPECT_EQ(block.substr(control->closeBegin), "</control >");
}

TEST(ControlBlockLocate, RefusesTextItCannotDelimitWithCertainty) {
    EXPECT_FALSE(locateControl("<control type=\"a\"><posx>1</posy></control>"));  // mismatched end tag
    EXPECT_FALSE(locateControl("<control type=\"a\"><posx>1</posx>"));            // unclosed
    EXPECT_FALSE(locateControl("<control type=\"a\"><!-- open </control>"));      // unterminated comment
    EXPECT_FALSE(locateControl("<control type=\"a><posx>1</posx></control>"));    // unterminated quote
    EXPECT_FALSE(locateControl("text <control type=\"a\"></control>"));           // text ends the document's elements
    EXPECT_FALSE(locateControl(""));
    std::string deep = "<control type=\"a\">";
    for (int i = 0; i < 2000; ++i) deep += "<x>";
    EXPECT_FALSE(locateControl(deep));
    // Another element first: the first control counts.
    const auto second = locateControl("<?xml version=\"1.0\"?>\n<window/>\n<control type=\"b\"><posx>1</posx></control>");
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->children.at(0).name, "posx");
}

TEST(ControlBlockLocate, MeasuresNestingWithoutCountingEmptyElementsCommentsOrQuotes) {
    std::string nested;
    for (int i = 0; i < kMaxNesting; ++i) nested += "<a x='>'>";
    EXPECT_TRUE(nestingWithin(nested + "<b/><!-- <c> --><![CDATA[<d>]]>"));
    EXPECT_FALSE(nestingWithin(nested + "<e>"));
    std::string siblings;
    for (int i = 0; i < 10 * kMaxNesting; ++i) siblings += "<a></a><b />";
    EXPECT_TRUE(nestingWithin(siblings));
}

TEST(ControlBlockPlan, PlansNothingItCannotPlaceWithCertainty) {
    const std::string block = "<control type=\"button\">\n\t<posx>1</posx> <!-- left --><posy>2</posy>\n</control>";
    // Scan and parser disagree about the children.
    EXPECT_EQ(planTagEdit(block, {"posx"}, "posx", "<posx>3</posx>").kind, BlockEdit::Kind::None);
    EXPECT_EQ(planTagEdit(block, {"posy", "posx"}, "posx", "<posx>3</posx>").kind, BlockEdit::Kind::None);
    // A new element needs a closing line of its own to go before.
    EXPECT_EQ(planTagEdit("<control type=\"button\">\n<posx>1</posx></control>", {"posx"}, "posy", "<posy/>").kind,
              BlockEdit::Kind::None);
    EXPECT_EQ(planTagEdit("<control type=\"button\"></control>", {}, "posy", "<posy/>").kind,
              BlockEdit::Kind::None);
    EXPECT_EQ(planTagEdit("<control type=\"button\"/>", {}, "posy", "<posy/>").kind, BlockEdit::Kind::None);
    // Where it can, the line end is the one of the line above; the new line goes
    // in after it, so the inserted range ends on the new element's own line.
    const std::string crBlock = "<control type=\"button\">\r<posx>1</posx>\r</control>";
    BlockEdit cr = planTagEdit(crBlock, {"posx"}, "posy", "<posy/>");
    EXPECT_EQ(cr.text, "\r<posy/>");
    EXPECT_EQ(cr.from, crBlock.find("\r</control>"));
    setInsertIndentation(cr, 2);
    EXPECT_EQ(cr.text, "\r  <posy/>");
}
