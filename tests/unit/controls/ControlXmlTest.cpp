#include "controls/ControlXml.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include "base/TextCodec.h"

namespace {

using controls::controlXml;

TEST(ControlXml, PrintsTheChildrenInTagOrderFourSpacesDeep) {
    const std::vector<controls::TagValue> rows = {{L"description", L""}, {L"label", L"Play"},  {L"posx", L"80"},
                                                  {L"posy", L"120"},     {L"type", L"button"}, {L"width", L""}};
    EXPECT_EQ(controlXml(rows),
              L"<control type=\"button\">\n"
              L"    <label>Play</label>\n"
              L"    <posx>80</posx>\n"
              L"    <posy>120</posy>\n"
              L"</control>\n");
}

TEST(ControlXml, OnlyATypeGivesAnEmptyControlAndNoRowsGiveNothing) {
    EXPECT_EQ(controlXml({{L"id", L""}, {L"type", L"image"}}), L"<control type=\"image\" />\n");
    EXPECT_EQ(controlXml({}), L"");
    // Rows but no type: the attribute is still there, empty.
    EXPECT_EQ(controlXml({{L"posx", L"1"}}), L"<control type=\"\">\n    <posx>1</posx>\n</control>\n");
    // A differently spelt type row is not printed as a child.
    EXPECT_EQ(controlXml({{L"TYPE", L"x"}, {L"type", L"label"}}), L"<control type=\"label\" />\n");
}

TEST(ControlXml, AnyCharacterIsDraggedOutUnchanged) {
    const std::wstring label = L"Price \u20AC 5 \u00E9t\u00E9 \u65E5\u672C <&> \"q\"";
    const std::wstring xml = controlXml({{L"type", L"label"}, {L"label", label}, {L"info", L"\U0001F600"}});
    EXPECT_NE(xml.find(L"\u20AC"), std::wstring::npos);
    EXPECT_NE(xml.find(L"\u65E5\u672C"), std::wstring::npos);
    EXPECT_NE(xml.find(L"&lt;&amp;&gt;"), std::wstring::npos);

    // Parsing the text back yields the very values that went in.
    TiXmlDocument doc;
    doc.Parse(text::toUtf8(xml).c_str(), nullptr, TIXML_ENCODING_UTF8);
    ASSERT_FALSE(doc.Error()) << doc.ErrorDesc();
    const TiXmlElement* control = doc.FirstChildElement("control");
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(text::fromUtf8(control->FirstChildElement("label")->GetText()), label);
    EXPECT_EQ(text::fromUtf8(control->FirstChildElement("info")->GetText()), L"\U0001F600");
}

}  // namespace
