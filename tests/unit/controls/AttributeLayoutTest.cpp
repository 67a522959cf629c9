#include "controls/AttributeLayout.h"
#include "controls/ControlCatalogue.h"
#include "controls/ControlEditSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using controls::ScrollRequest;
using controls::ScrollState;

int code(ScrollRequest r) { return static_cast<int>(r); }

TEST(ScrollState, OverflowingContentScrollsInFivePixelUnits) {
    ScrollState s;
    s.setRange(45 + 25 * 20, 300);  // 545 pixels of content in 300
    EXPECT_EQ(s.page(), 49);
    EXPECT_EQ(s.maximum(), 49);
    EXPECT_EQ(s.position(), 0);

    EXPECT_EQ(s.scroll(code(ScrollRequest::Bottom)), 49);  // the content moves up by 245 pixels
    EXPECT_EQ(s.offsetPixels(), 245);
    EXPECT_EQ(s.scroll(code(ScrollRequest::LineDown)), 0);  // already at the bottom
    EXPECT_EQ(s.scroll(code(ScrollRequest::LineUp)), -1);
    EXPECT_EQ(s.scroll(code(ScrollRequest::PageDown)), 1);  // clamped to the maximum
    EXPECT_EQ(s.scroll(code(ScrollRequest::ThumbTrack), 10), -39);
    EXPECT_EQ(s.scroll(code(ScrollRequest::ThumbTrack), 500), 39);
    EXPECT_EQ(s.scroll(code(ScrollRequest::EndScroll)), 0);
    EXPECT_EQ(s.scroll(code(ScrollRequest::ThumbPosition), 3), 0);
    EXPECT_EQ(s.scroll(code(ScrollRequest::Top)), -49);
    EXPECT_EQ(s.scroll(code(ScrollRequest::PageUp)), 0);
    EXPECT_EQ(s.scroll(code(ScrollRequest::PageDown)), 49);

    // Growing the area clamps the position to the new maximum.
    s.setRange(545, 500);
    EXPECT_EQ(s.maximum(), 9);
    EXPECT_EQ(s.position(), 9);
}

TEST(ScrollState, ShortContentDoesNotScroll) {
    ScrollState s;
    s.setRange(200, 300);
    EXPECT_EQ(s.page(), -20);
    EXPECT_EQ(s.maximum(), 0);
    for (int request = 0; request <= 8; ++request) EXPECT_EQ(s.scroll(request, 40), 0) << request;
    EXPECT_EQ(s.position(), 0);
}

TEST(ScrollState, TheLastRowCanAlwaysBeScrolledIntoView) {
    for (int rows = 1; rows <= 35; ++rows) {
        for (int client = 20; client <= 900; client += 7) {
            ScrollState s;
            s.setRange(controls::rowsContentHeight(rows), client);
            s.scroll(code(ScrollRequest::Bottom));
            const int lastBottom = controls::rowTop(rows - 1, s.offsetPixels()) + controls::kRowHeight;
            EXPECT_LE(lastBottom, client) << rows << " rows in " << client;
            // ... and the first row is where it belongs when nothing needs scrolling.
            if (controls::rowsContentHeight(rows) <= client) {
                EXPECT_EQ(s.offsetPixels(), 0);
            }
        }
    }
    // The same on screens of other scales, where every length is scaled.
    for (int dpi : {120, 144, 168, 192}) {
        const controls::AttributeMetrics m = controls::AttributeMetrics::at(dpi);
        for (int rows = 1; rows <= 35; rows += 2) {
            for (int client = 30; client <= 1800; client += 13) {
                ScrollState s;
                s.setUnit(m.scrollUnit);
                s.setRange(m.contentHeight(rows), client);
                s.scroll(code(ScrollRequest::Bottom));
                EXPECT_LE(m.rowTop(rows - 1, s.offsetPixels()) + m.rowHeight, client) << dpi << " dpi";
                // ... and no further than a unit past it.
                EXPECT_LT(s.offsetPixels(), std::max(m.contentHeight(rows) - client, 0) + s.unit()) << dpi << " dpi";
            }
        }
    }
}

TEST(AttributeMetrics, EveryLengthScalesWithTheScreen) {
    const controls::AttributeMetrics at96 = controls::AttributeMetrics::at(96);
    EXPECT_EQ(at96.rowPitch, 25);
    EXPECT_EQ(at96.rowHeight, 20);
    EXPECT_EQ(at96.labelWidth, 120);
    EXPECT_EQ(at96.areaTop, 45);
    EXPECT_EQ(at96.scrollUnit, 5);
    EXPECT_EQ(at96.contentHeight(25), controls::rowsContentHeight(25));

    const controls::AttributeMetrics at144 = controls::AttributeMetrics::at(144);
    EXPECT_EQ(at144.rowPitch, 38);
    EXPECT_EQ(at144.rowHeight, 30);
    EXPECT_EQ(at144.labelWidth, 180);
    EXPECT_EQ(at144.areaTop, 68);
    EXPECT_EQ(at144.typeListTop, 8);
    EXPECT_EQ(at144.scrollUnit, 8);
    EXPECT_EQ(at144.typeListFontHeight, 23);
    EXPECT_EQ(at144.rowDropHeight, 300);
    // Rows keep a gap between them at every scale.
    for (int dpi = 96; dpi <= 288; dpi += 24) {
        const controls::AttributeMetrics m = controls::AttributeMetrics::at(dpi);
        EXPECT_LT(m.rowTop(0, 0) + m.rowHeight, m.rowTop(1, 0)) << dpi;
    }
}

TEST(AttributeRows, KindsFollowTheSettingsThenTheVocabulary) {
    const ControlCatalogue catalogue;
    struct Case {
        const wchar_t* type;
        const wchar_t* tag;
        bool images;
        bool includes;
        RowKind kind;
    };
    const Case cases[] = {
        {L"image", L"texture", false, false, RowKind::Text},
        {L"image", L"texture", true, false, RowKind::ImageDropDown},
        {L"togglebutton", L"usealttexture", true, true, RowKind::ImageDropDown},  // "texture" first
        {L"label", L"include", true, false, RowKind::Text},
        {L"label", L"include", false, true, RowKind::IncludeDropDown},
        {L"label", L"Texture", true, true, RowKind::Text},  // case matters
        {L"label", L"left", true, true, RowKind::Text},
        {L"label", L"aligny", false, false, RowKind::ValueDropDown},
        {L"label", L"scroll", false, false, RowKind::ValueDropDown},    // a boolean
        {L"list", L"autoscroll", false, false, RowKind::ValueDropDown}, // a boolean or a condition
        {L"label", L"visible", false, false, RowKind::Text},            // a condition
        {L"label", L"font", false, false, RowKind::FontDropDown},
        {L"label", L"textcolor", false, false, RowKind::ColourDropDown},
        {L"image", L"animation", false, false, RowKind::ValueDropDown},  // its triggers
        // Older types: what every control reads has its kind, the rest is text.
        {L"multiselect", L"colordiffuse", false, false, RowKind::ColourDropDown},
        {L"multiselect", L"aligny", false, false, RowKind::Text},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(controls::rowKindFor(c.tag, catalogue.elementOf(c.type, c.tag), c.images, c.includes), c.kind)
            << std::string(c.type, c.type + std::wcslen(c.type)) << " "
            << std::string(c.tag, c.tag + std::wcslen(c.tag));
    }
    using Options = std::vector<std::wstring>;
    EXPECT_EQ(controls::valueChoice(catalogue.elementOf(L"label", L"aligny")).options, (Options{L"top", L"center"}));
    EXPECT_EQ(controls::valueChoice(catalogue.elementOf(L"label", L"scroll")).options, (Options{L"true", L"false"}));
    EXPECT_EQ(controls::valueChoice(catalogue.elementOf(L"label", L"font")).kind, RowKind::Text);
    EXPECT_EQ(controls::valueChoice(nullptr).kind, RowKind::Text);
}

}  // namespace
