#include "framework/Dpi.h"
#include "framework/Theme.h"

#include <gtest/gtest.h>

namespace {

TEST(Dpi, LengthsChosenAt96ScaleToTheNearestPixel) {
    EXPECT_EQ(ui::scaled(25, 96), 25);
    EXPECT_EQ(ui::scaled(25, 144), 38);  // 37.5: halves go away from zero
    EXPECT_EQ(ui::scaled(20, 144), 30);
    EXPECT_EQ(ui::scaled(120, 144), 180);
    EXPECT_EQ(ui::scaled(5, 120), 6);  // 6.25
    EXPECT_EQ(ui::scaled(6, 120), 8);  // 7.5
    EXPECT_EQ(ui::scaled(15, 192), 30);
    EXPECT_EQ(ui::scaled(-25, 144), -38);
    EXPECT_EQ(ui::scaled(0, 144), 0);
    // A window that reports no DPI keeps the lengths as given.
    EXPECT_EQ(ui::scaled(25, 0), 25);
    EXPECT_EQ(ui::scaled(25, -144), 25);
    // Large screens and lengths do not overflow.
    EXPECT_EQ(ui::scaled(1000000, 480), 5000000);
}

TEST(Theme, LightKeepsEachWindowsColoursAndDarkTakesTheEditors) {
    ui::Palette palette;
    palette.background = ui::rgb(0x20, 0x20, 0x20);
    palette.text = ui::rgb(0xE0, 0xE0, 0xE0);
    const ui::Colour grey = ui::rgb(212, 208, 200);
    EXPECT_EQ(grey, 0xC8D0D4u);  // as the system's COLORREF lays it out

    const ui::Theme light;
    EXPECT_FALSE(light.isDark());
    EXPECT_EQ(light.pick(grey, &ui::Palette::background), grey);
    EXPECT_EQ(light, ui::Theme::light());
    EXPECT_EQ(ui::Theme(std::optional<ui::Palette>{}), light);

    const ui::Theme dark(palette);
    EXPECT_TRUE(dark.isDark());
    EXPECT_EQ(dark.pick(grey, &ui::Palette::background), 0x202020u);
    EXPECT_EQ(dark.pick(grey, &ui::Palette::text), 0xE0E0E0u);
    EXPECT_NE(dark, light);
    ui::Palette softer = palette;
    softer.background = ui::rgb(0x30, 0x30, 0x30);
    EXPECT_NE(ui::Theme(softer), dark);  // a new tone of dark is a change too

    // Direct3D's opaque 0xAARRGGBB of the same colours.
    EXPECT_EQ(ui::opaqueArgb(grey), 0xFFD4D0C8u);
    EXPECT_EQ(ui::opaqueArgb(ui::rgb(0x12, 0x34, 0x56)), 0xFF123456u);
}

}  // namespace
