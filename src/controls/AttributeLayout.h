// Arithmetic of the attribute area: where rows sit, how far the area scrolls,
// and which notifications of a row count as a change of its value.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace controls {

constexpr int kRowPitch = 25;      // rows are placed this far apart
constexpr int kRowHeight = 20;     // height of a row's windows
constexpr int kLabelWidth = 120;   // width of the tag column
constexpr int kScrollUnit = 5;     // pixels per scroll unit
constexpr int kAreaTop = 45;       // y of the attribute area in the panel
constexpr int kTypeListTop = 5;    // y of the type list in the panel
constexpr int kTypeListHeight = 30;
constexpr int kStatusHeight = 30;  // the status line at the panel's foot (two lines of text)

// Height the rows need: enough that the last row, scrolled to the bottom,
// shows whole.
int rowsContentHeight(int rowCount);

// Scroll requests of a vertical scroll bar (the SB_* codes).
enum class ScrollRequest : int {
    LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, ThumbPosition = 4, ThumbTrack = 5,
    Top = 6, Bottom = 7, EndScroll = 8
};

class ScrollState {
public:
    // Recomputes page and maximum for the given heights and clamps the position.
    void setRange(int contentHeight, int clientHeight);
    // Applies a request; returns the change of position in units (0: nothing moves).
    int scroll(int request, int thumbPosition = 0);
    // Forgets everything (a new, empty area).
    void reset() { *this = ScrollState(); }

    int page() const { return page_; }
    int maximum() const { return maximum_; }
    int position() const { return position_; }
    int offsetPixels() const { return position_ * kScrollUnit; }

private:
    int page_ = 0;
    int maximum_ = 0;
    int position_ = 0;
};

// y of a row inside the area, taking the current scroll offset into account.
inline int rowTop(int index, int scrollOffsetPixels) { return kRowPitch * index - scrollOffsetPixels; }

// Whether a value window's notification code reports a change of its value:
// a drop-down selection change (1), a drop-down edit change (5) or an edit's
// change (0x300).
bool isValueChange(unsigned code);

}  // namespace controls
