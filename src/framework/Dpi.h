// Every length the plugin chooses itself (row heights, margins, fonts, the
// splitter) is given for a screen of 96 dots per inch and scaled to the DPI
// of the window it is used in.
#pragma once

namespace ui {

constexpr int kBaseDpi = 96;

// `length` (at 96 DPI) at `dpi`, to the nearest pixel, halves away from zero
// (as MulDiv rounds). A DPI that is not positive counts as 96.
int scaled(int length, int dpi);

}  // namespace ui
