#include "unit/controls/CaretTrackerTestSupport.h"

#include <fstream>
#include <iterator>

using controls::BlockLines;
using controls::fakes::TrackerFixture;

namespace {

// Lines: 0 "<controls>", 1-8 the button, 9 blank, 10-13 the image, 14 "</controls>".
const char* const kWindow =
    "<controls>\n"
    "\t<control type=\"button\" id=\"9000\">\n"
    "\t\t<description>Videos</description>\n"
    "\t\t<posx>60</posx>\n"
    "\t\t<posy>200</posy>\n"
    "\t\t<texturefocus border=\"5\">buttons/focus.png</texturefocus>\n"
    "\t\t<onclick>ActivateWindow(Videos)</onclick>\n"
    "\t\t<visible>true</visible>\n"
    "\t</control>\n"
    "\n"
    "\t<control type=\"image\">\n"
    "\t\t<posx>0</posx>\n"
    "\t\t<texture>backgrounds/home.jpg</texture>\n"
    "\t</control>\n"
    "</controls>\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

using CaretTracking = TrackerFixture;
using CaretWriteBack = TrackerFixture;
using CaretStaleBlock = TrackerFixture;
using CaretText = TrackerFixture;

TEST_F(CaretTracking, LoadsTheControlUnderTheCaretOncePerBlock) {
    open(kWindow, 1);  // the start line
    EXPECT_EQ(tracker.lines(), (BlockLines{1, 8}));
    ASSERT_EQ(panel.shownTypes, std::vector<std::wstring>{L"button"});
    EXPECT_EQ(panel.cat.currentType(), L"button");
    EXPECT_EQ(panel.value(L"posx"), L"60");
    EXPECT_EQ(panel.value(L"texturefocus"), L"buttons/focus.png");
    EXPECT_EQ(panel.value(L"label"), L"");
    EXPECT_EQ(tracker.blockText().substr(0, 32), L"\t<control type=\"button\" id=\"9000");

    moveTo(4);
    moveTo(8);  // the closing line
    EXPECT_EQ(tracker.lines(), (BlockLines{1, 8}));
    EXPECT_EQ(panel.shownTypes.size(), 1u);

    moveTo(9);  // between two controls: nothing under the caret, the rows stay
    EXPECT_EQ(panel.shownTypes.size(), 1u);
    EXPECT_EQ(panel.status, L"");
    // ...but what is typed into them now has no control to go to.
    tracker.writeBack(L"posx", L"1");
    EXPECT_EQ(doc.str(), kWindow);
    EXPECT_EQ(panel.status, L"The caret is not inside a control; the edit was not written.");

    moveTo(12);
    EXPECT_EQ(tracker.lines(), (BlockLines{10, 13}));
    EXPECT_EQ(panel.shownTypes.back(), L"image");
    EXPECT_EQ(panel.value(L"posx"), L"0");  // values of the button are not carried over
}

TEST_F(CaretTracking, DoesNothingWhileHiddenOrForTheSameLine) {
    panel.shown = false;
    open(kWindow, 3);
    EXPECT_FALSE(tracker.lines().found());
    EXPECT_TRUE(panel.shownTypes.empty());

    panel.shown = true;
    moveTo(0);  // the last line handled starts as 0
    moveTo(0);
    EXPECT_TRUE(panel.shownTypes.empty());
    moveTo(3);
    EXPECT_EQ(panel.shownTypes.size(), 1u);
}

TEST_F(CaretTracking, ShowsTheChildrenOfUnknownTypesAndSaysWhyItShowsNothingElsewhere) {
    // A type nothing knows: its rows are its own children (the first of a
    // name, which is the one an edit changes), and the status line says so,
    // also after a move within it. An element holding elements is not
    // replaced by the text of its row.
    const std::wstring knobStatus =
        L"\"Knob\" is not a control type the panel lists; the rows are the control's own elements.";
    open("<control type=\"Knob\">\n<posx>1</posx>\n<posx>2</posx>\n<dial><a/>x</dial>\n</control>\n", 1);
    EXPECT_EQ(panel.shownTypes, std::vector<std::wstring>{L"Knob"});
    EXPECT_EQ(panel.status, knobStatus);
    EXPECT_EQ(panel.value(L"posx"), L"1");
    EXPECT_EQ(panel.value(L"dial"), L"");
    moveTo(2);
    EXPECT_EQ(panel.status, knobStatus);
    tracker.writeBack(L"dial", L"y");
    EXPECT_EQ(doc.modifications(), 0);
    EXPECT_EQ(panel.status, L"\"dial\" holds elements of its own; it was not written.");
    tracker.writeBack(L"posx", L"3");
    editorEcho();
    EXPECT_EQ(doc.str(), "<control type=\"Knob\">\n<posx>3</posx>\n<posx>2</posx>\n<dial><a/>x</dial>\n</control>\n");

    const std::size_t shown = panel.shownTypes.size();
    // Element names are matched exactly, so a capitalised control is not read.
    open("<CONTROL TYPE=\"label\">\n<posx>1</posx>\n</CONTROL>\n", 1);
    EXPECT_EQ(panel.shownTypes.size(), shown);
    EXPECT_NE(panel.status.find(L"lower case"), std::wstring::npos);

    // Nested deeper than any skin: never handed to the parser, whose
    // recursion would exhaust the stack.
    std::string deep = "<control type=\"label\">\n";
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    open(deep + "\n</control>\n", 2);
    EXPECT_EQ(panel.shownTypes.size(), shown);
    EXPECT_NE(panel.status.find(L"not well-formed"), std::wstring::npos);

    // No scratch folder, no load.
    tracker.setScratchFolder(L"");
    open(kWindow, 3);
    EXPECT_EQ(panel.shownTypes.size(), shown);
}

TEST_F(CaretTracking, ReadsTheScratchFileByItsUnicodePath) {
    testsupport::ScratchFolder unusual(L"Konfiguration \u00E9\u65E5");
    tracker.setScratchFolder(unusual.path());
    open(kWindow, 3);
    EXPECT_EQ(panel.shownTypes.size(), 1u);
    auto scratch = [&] { return testsupport::readFile(unusual.file(L"tempcontrol.xml")); };
    EXPECT_EQ(scratch().substr(0, 10), "<control t");
    // The file is rewritten in place: a shorter block leaves nothing of the longer one behind.
    moveTo(12);
    EXPECT_EQ(panel.shownTypes.size(), 2u);
    EXPECT_EQ(
        scratch(),
        "<control type=\"image\">\n\t\t<posx>0</posx>\n\t\t<texture>backgrounds/home.jpg</texture>\n\t</control>");
}

TEST_F(CaretWriteBack, ReplacesOnlyTheEditedElement) {
    open(kWindow, 3);
    tracker.writeBack(L"posx", L"75");
    EXPECT_EQ(doc.str(), replaced(kWindow, "<posx>60</posx>", "<posx>75</posx>"));
    EXPECT_EQ(panel.value(L"posx"), L"75");
    EXPECT_TRUE(tracker.writingBack());

    // The caret update raised by the edit only clears the flag.
    doc.setCaretLine(8);
    editorEcho();
    EXPECT_FALSE(tracker.writingBack());
    EXPECT_EQ(panel.shownTypes.size(), 1u);

    // Attributes stay; a cleared value leaves an empty element, not a removed line.
    tracker.writeBack(L"texturefocus", L"buttons/other.png");
    tracker.writeBack(L"posy", L"");
    std::string expected = replaced(kWindow, "<posx>60</posx>", "<posx>75</posx>");
    expected = replaced(expected, ">buttons/focus.png<", ">buttons/other.png<");
    expected = replaced(expected, "<posy>200</posy>", "<posy></posy>");
    EXPECT_EQ(doc.str(), expected);

    // The same value again changes nothing at all.
    const int before = doc.modifications();
    tracker.writeBack(L"posx", L"75");
    EXPECT_EQ(doc.modifications(), before);
}

TEST_F(CaretWriteBack, AddsAMissingChildOnANewLineAndFollowsTheGrowingBlock) {
    open(kWindow, 2);
    tracker.writeBack(L"label", L"Videos & more");
    // Two tabs above the closing line are eight columns: eight spaces.
    std::string expected =
        replaced(kWindow, "\t</control>\n\n", "        <label>Videos &amp; more</label>\n\t</control>\n\n");
    EXPECT_EQ(doc.str(), expected);
    EXPECT_EQ(tracker.lines(), (BlockLines{1, 9}));

    // Typing on: the new element is now an existing one.
    tracker.writeBack(L"label", L"Videos & music");
    expected = replaced(expected, "Videos &amp; more", "Videos &amp; music");
    EXPECT_EQ(doc.str(), expected);

    tracker.writeBack(L"font", L"font13");
    expected = replaced(expected, "</label>\n", "</label>\n        <font>font13</font>\n");
    EXPECT_EQ(doc.str(), expected);
    EXPECT_EQ(tracker.lines(), (BlockLines{1, 10}));

    EXPECT_EQ(panel.value(L"font"), L"font13");
}

TEST_F(CaretWriteBack, TheTypeRowRetypesTheControlNeverTheCatalogue) {
    open(kWindow, 3);
    tracker.writeBack(L"type", L"buttonx");
    editorEcho();
    EXPECT_EQ(doc.str(), replaced(kWindow, "type=\"button\"", "type=\"buttonx\""));
    EXPECT_TRUE(panel.cat.hasType(L"button"));
    EXPECT_FALSE(panel.cat.hasType(L"buttonx"));
    EXPECT_EQ(panel.shownTypes.size(), 1u);  // an unlisted type: the rows stay
    EXPECT_EQ(panel.status, L"\"buttonx\" is not a control type the panel lists; the rows stay as they were.");
    // Edits go on into the same control, whatever it is called meanwhile.
    tracker.writeBack(L"posx", L"1");
    editorEcho();
    EXPECT_EQ(doc.str(), replaced(replaced(kWindow, "type=\"button\"", "type=\"buttonx\""), "<posx>60<", "<posx>1<"));
    tracker.writeBack(L"type", L"button");
    editorEcho();
    EXPECT_EQ(panel.shownTypes.size(), 1u);
    EXPECT_EQ(panel.status, L"");

    // A listed type: the rows follow the control as it now reads.
    tracker.writeBack(L"type", L"image");
    editorEcho();
    EXPECT_EQ(panel.shownTypes.back(), L"image");
    EXPECT_EQ(panel.value(L"posx"), L"1");
    EXPECT_EQ(panel.value(L"texture"), L"");
    moveTo(4);
    EXPECT_EQ(panel.shownTypes.size(), 2u);  // already loaded
    // Another control of the old type still loads.
    open(kWindow, 3);
    EXPECT_EQ(panel.shownTypes.back(), L"button");
}

TEST_F(CaretWriteBack, EditsAmidBlankLinesCommentsAndSharedLinesTouchNothingElse) {
    // Where a reprinted copy of this block would number its lines differently.
    const std::string window =
        "<control type=\"button\">\n"
        "\n"
        "    <!-- position\n"
        "         <posy>0</posy> -->\n"
        "    <posx>1</posx><posy>2</posy>\n"
        "    <animation effect=\"fade\"\n"
        "               time=\"200\">WindowOpen</animation>\n"
        "\n"
        "    <label>A</label>   <!-- keep -->\n"
        "</control>\n";
    open(window, 4);
    tracker.writeBack(L"posy", L"3");
    std::string expected = replaced(window, "<posy>2</posy>", "<posy>3</posy>");
    EXPECT_EQ(doc.str(), expected);
    tracker.writeBack(L"label", L"B");
    expected = replaced(expected, "<label>A</label>", "<label>B</label>");
    EXPECT_EQ(doc.str(), expected);
    // A multi-line element is printed on one line; the block shrinks with it.
    tracker.writeBack(L"animation", L"WindowClose");
    expected = replaced(expected, "<animation effect=\"fade\"\n               time=\"200\">WindowOpen</animation>",
                        "<animation effect=\"fade\" time=\"200\">WindowClose</animation>");
    EXPECT_EQ(doc.str(), expected);
    EXPECT_EQ(tracker.lines(), (BlockLines{0, 8}));
    tracker.writeBack(L"posx", L"4");
    EXPECT_EQ(doc.str(), replaced(expected, "<posx>1</posx>", "<posx>4</posx>"));
}

TEST_F(CaretStaleBlock, NeverWritesIntoAnotherDocument) {
    open(kWindow, 3);
    doc.setIdentity(2);  // another document shows in the view, same text
    tracker.writeBack(L"posx", L"1");
    EXPECT_EQ(doc.modifications(), 0);
    EXPECT_EQ(panel.shownTypes.size(), 2u);  // the rows now show the control of this document
    EXPECT_NE(panel.status.find(L"has changed"), std::wstring::npos);

    // After the switch is announced, the same line is looked at again.
    tracker.bufferActivated();
    moveTo(3);
    EXPECT_EQ(tracker.lines(), (BlockLines{1, 8}));
    tracker.bufferActivated();
    tracker.writeBack(L"posx", L"1");
    EXPECT_EQ(doc.modifications(), 0);
}

TEST_F(CaretStaleBlock, NeverWritesFromABlockTheDocumentNoLongerHolds) {
    open(kWindow, 3);
    // Someone else adds a line above the control: its lines now hold other text.
    const std::string shifted = "<!-- new -->\n" + std::string(kWindow);
    doc.setText(shifted);
    tracker.writeBack(L"posx", L"1");
    EXPECT_EQ(doc.str(), shifted);
    EXPECT_NE(panel.status.find(L"has changed"), std::wstring::npos);
    // The rows now show the control where it now is.
    moveTo(3);
    EXPECT_EQ(tracker.lines(), (BlockLines{2, 9}));
    EXPECT_EQ(panel.shownTypes.size(), 2u);
    tracker.writeBack(L"posx", L"1");
    EXPECT_EQ(doc.str(), replaced(shifted, "<posx>60</posx>", "<posx>1</posx>"));

    // A hand edit inside the control without a caret move: the edit goes
    // into the text as it now stands, and so does every one after it.
    const std::string edited = replaced(doc.str(), "<posy>200</posy>", "<posy>201</posy>\n\t\t<width>5</width>");
    doc.setText(edited);
    tracker.writeBack(L"posx", L"2");
    EXPECT_EQ(doc.str(), replaced(edited, "<posx>1</posx>", "<posx>2</posx>"));
    tracker.writeBack(L"height", L"3");
    EXPECT_EQ(doc.str(), replaced(replaced(edited, "<posx>1</posx>", "<posx>2</posx>"), "\t</control>\n\n",
                                  "        <height>3</height>\n\t</control>\n\n"));
    EXPECT_EQ(tracker.lines(), (BlockLines{2, 11}));
}

TEST_F(CaretStaleBlock, ReloadsWhenTheSameLinesHoldChangedText) {
    open(kWindow, 3);
    doc.setText(replaced(kWindow, "<posx>60</posx>", "<posx>61</posx>"));
    moveTo(4);
    EXPECT_EQ(panel.shownTypes.size(), 2u);
    EXPECT_EQ(panel.value(L"posx"), L"61");
}

TEST_F(CaretText, CarriesUtf8ValuesBothWays) {
    const std::string window =
        "<control type=\"label\">\n\t<label>Gr\xC3\xBC\xC3\x9F"
        "e \xE6\x97\xA5\xE6\x9C\xAC</label>\n</control>\n";
    open(window, 1);
    EXPECT_EQ(panel.value(L"label"), L"Gr\u00FC\u00DFe \u65E5\u672C");
    tracker.writeBack(L"label", L"\u00C9t\u00E9 \u2014 \u6771\u4EAC");
    EXPECT_EQ(doc.str(), replaced(window,
                                  "Gr\xC3\xBC\xC3\x9F"
                                  "e \xE6\x97\xA5\xE6\x9C\xAC",
                                  "\xC3\x89t\xC3\xA9 \xE2\x80\x94 \xE6\x9D\xB1\xE4\xBA\xAC"));
}

TEST_F(CaretText, KeepsAnsiDocumentsInTheirCodePage) {
    const std::string window = "<control type=\"label\">\n\t<label>caf\xE9</label>\n</control>\n";
    open(window, 1, 0);
    EXPECT_EQ(panel.value(L"label"), L"caf\u00E9");
    tracker.writeBack(L"label", L"th\u00E9");
    const std::string written = replaced(window, "caf\xE9", "th\xE9");
    EXPECT_EQ(doc.str(), written);
    // A character the code page cannot hold would become '?': nothing is written.
    tracker.writeBack(L"label", L"\u6771");
    EXPECT_EQ(doc.str(), written);
}
