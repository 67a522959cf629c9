#include "controls/ControlBlock.h"

#include "unit/controls/ControlBlockTestDocument.h"

#include <gtest/gtest.h>

using namespace controls;
using controls::fakes::TextDocument;

namespace {

const char* const kTwoControls =
    "<controls>\n"                            // 0
    "\t<control type=\"button\" id=\"1\">\n"  // 1
    "\t\t<posx>10</posx>\n"                   // 2
    "\t\t<posy>20</posy>\n"                   // 3
    "\t</control>\n"                          // 4
    "\n"                                      // 5
    "\t<control type=\"image\">\n"            // 6
    "\t\t<texture>a.png</texture>\n"          // 7
    "\t</control>\n"                          // 8
    "</controls>\n";                          // 9

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

TEST(ControlBlockFind, FollowsTheTagsNotTheLines) {
    EXPECT_EQ(at("<CONTROL TYPE=\"label\">\n<posx>1</posx>\n</Control>\n", 1), (BlockLines{0, 2}));
    // A self-closing child ends nothing, above or below the caret.
    const std::string withEmpty =
        "<control type=\"image\">\n<hitrect x=\"2\"/>\n<posx>1</posx>\n<include content=\"a\"/>\n</control>\n";
    for (Position line = 0; line <= 4; ++line) EXPECT_EQ(at(withEmpty, line), (BlockLines{0, 4})) << line;
    // A self-closing control is a block of its own.
    const std::string oneLine = "<control type=\"image\" id=\"3\"/>\n<control type=\"label\">\n</control>\n";
    EXPECT_EQ(at(oneLine, 0), (BlockLines{0, 0}));
    EXPECT_EQ(at(oneLine, 1), (BlockLines{1, 2}));
    // Groups: the innermost control around the caret's line; the group's own lines are the group's.
    const std::string group =
        "<control type=\"group\">\n"         // 0
        "  <posx>5</posx>\n"                 // 1
        "  <control type=\"button\">\n"      // 2
        "    <label>a</label>\n"             // 3
        "  </control>\n"                     // 4
        "  <!-- <control type=\"x\"> -->\n"  // 5
        "  <control type=\"image\"\n"        // 6
        "           texture=\"a/>b\"/>\n"    // 7
        "</control>\n";                      // 8
    const BlockLines expected[] = {{0, 8}, {0, 8}, {2, 4}, {2, 4}, {2, 4}, {0, 8}, {6, 7}, {6, 7}, {0, 8}};
    for (Position line = 0; line <= 8; ++line) EXPECT_EQ(at(group, line), expected[line]) << line;
    // Inside a comment: what it holds is no markup.
    const std::string commented =
        "<control type=\"label\">\n<!--\n<control type=\"button\">\n<posx>1</posx>\n</control>\n-->\n</control>\n";
    for (Position line = 0; line <= 6; ++line) EXPECT_EQ(at(commented, line), (BlockLines{0, 6})) << line;
}

TEST(ControlBlockRead, GivesTheLinesAndWhereTheElementLiesInThem) {
    TextDocument doc("x\r\n\t<posx>0</posx></control><control type=\"a\">\r\n<posx>1</posx>\r\n</control> <y/>\r\ny");
    const ControlBlock block = findControl(doc, 2);
    ASSERT_EQ(block.lines, (BlockLines{1, 3}));
    const BlockText text = readBlock(doc, block);
    EXPECT_EQ(text.bytes, "\t<posx>0</posx></control><control type=\"a\">\r\n<posx>1</posx>\r\n</control> <y/>");
    EXPECT_EQ(text.element(), "<control type=\"a\">\r\n<posx>1</posx>\r\n</control>");
    EXPECT_EQ(text.indent, "\t");
    EXPECT_EQ(text.lineEnd, "\r\n");
    // A block of one line takes the line end that follows it.
    TextDocument cr("<control type=\"a\"/>\r<x/>");
    EXPECT_EQ(readBlock(cr, findControl(cr, 0)).lineEnd, "\r");
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
    const auto second =
        locateControl("<?xml version=\"1.0\"?>\n<window/>\n<control type=\"b\"><posx>1</posx></control>");
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
    const BlockStyle style{"  ", "\n"};
    const std::string block = "<control type=\"button\">\n\t<posx>1</posx> <!-- left --><posy>2</posy>\n</control>";
    // Scan and parser disagree about the children.
    EXPECT_EQ(planTagEdit(block, {"posx"}, "posx", "<posx>3</posx>", style).kind, BlockEdit::Kind::None);
    EXPECT_EQ(planTagEdit(block, {"posy", "posx"}, "posx", "<posx>3</posx>", style).kind, BlockEdit::Kind::None);
    // Where it can, the line end is the one of the line above; the new line goes
    // in after it, so the inserted range ends on the new element's own line.
    const std::string crBlock = "<control type=\"button\">\r<posx>1</posx>\r</control>";
    BlockEdit cr = planTagEdit(crBlock, {"posx"}, "posy", "<posy/>", style);
    EXPECT_EQ(cr.text, "\r<posy/>");
    EXPECT_EQ(cr.from, crBlock.find("\r</control>"));
    setInsertIndentation(cr, 2);
    EXPECT_EQ(cr.text, "\r  <posy/>");
}

TEST(ControlBlockPlan, GivesTheEndTagALineOfItsOwnWhenItHasNone) {
    auto applied = [](std::string element, const std::string& eol, const std::string& indent) {
        const BlockEdit e = planTagEdit(element, {}, "posy", "<posy>1</posy>", BlockStyle{indent, eol});
        EXPECT_NE(e.kind, BlockEdit::Kind::None);
        element.replace(e.from, e.to - e.from, e.text);
        return element;
    };
    EXPECT_EQ(applied("<control type=\"image\"/>", "\r\n", "  "),
              "<control type=\"image\">\r\n      <posy>1</posy>\r\n  </control>");
    EXPECT_EQ(applied("<control type=\"image\" />", "\n", "\t"),
              "<control type=\"image\" >\n\t\t<posy>1</posy>\n\t</control>");
    EXPECT_EQ(applied("<control type=\"a\"></control>", "\n", ""),
              "<control type=\"a\">\n    <posy>1</posy>\n</control>");
    const std::string shared = "<control type=\"a\">\n  <posx>1</posx></control>";
    const BlockEdit e = planTagEdit(shared, {"posx"}, "posy", "<posy>1</posy>", BlockStyle{"", "\n"});
    EXPECT_EQ(e.linesAdded, 2);
    EXPECT_EQ(shared.substr(0, e.from) + e.text + shared.substr(e.to),
              "<control type=\"a\">\n  <posx>1</posx>\n    <posy>1</posy>\n</control>");
}

TEST(ControlBlockPlan, RetypesTheTypeAttributeInItsOwnQuotes) {
    const std::string element = "<control id='2' type='button'>\n</control>";
    const BlockEdit e = planTypeEdit(element, "it's <b> & \"c\"");
    ASSERT_EQ(e.kind, BlockEdit::Kind::Replace);
    EXPECT_EQ(element.substr(0, e.from) + e.text + element.substr(e.to),
              "<control id='2' type='it&apos;s &lt;b> &amp; \"c\"'>\n</control>");
    EXPECT_EQ(planTypeEdit("<control id=\"2\">", "a").kind, BlockEdit::Kind::None);
}
