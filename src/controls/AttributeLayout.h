// Arithmetic of the attribute area: where rows sit, how far the area scrolls,
// and which notifications of a row count as a change of its value.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace controls {

constexpr int kRowPitch = 25;     // rows are placed this far apart
constexpr int kRowHeight = 20;    // height of a row's windows
constexpr int kLabelWidth = 120;  // width of the tag column
constexpr int kScrollUnit = 5;    // pixels per scroll unit
constexpr int kAreaTop = 45;      // y of the attribute area in the panel
constexpr int kTypeListTop = 5;   // y of the type list in the panel
constexpr int kTypeListHeight = 30;
constexpr int kTypeListWidth = 188;
// A combo box's window height includes its dropped list; the closed box takes
// its height from the font.
constexpr int kTypeListDropHeight = 320;
constexpr int kRowDropHeight = 200;
constexpr int kTypeListFontHeight = 15;
constexpr int kStatusHeight = 30;  // the status line at the panel's foot (two lines of text)

// The sizes above (given at 96 DPI) at the DPI the panel shows at.
struct AttributeMetrics {
    int rowPitch = kRowPitch;
    int rowHeight = kRowHeight;
    int labelWidth = kLabelWidth;
    int scrollUnit = kScrollUnit;
    int areaTop = kAreaTop;
    int typeListTop = kTypeListTop;
    int typeListWidth = kTypeListWidth;
    int typeListDropHeight = kTypeListDropHeight;
    int rowDropHeight = kRowDropHeight;
    int typeListFontHeight = kTypeListFontHeight;
    int statusHeight = kStatusHeight;

    static AttributeMetrics at(int dpi);
    // y of a row inside the area, taking the current scroll offset into account.
    int rowTop(int index, int scrollOffsetPixels) const { return rowPitch * index - scrollOffsetPixels; }
    // Height the rows need: enough that the last row, scrolled to the bottom,
    // shows whole.
    int contentHeight(int rowCount) const;
};

// The same at 96 DPI.
int rowsContentHeight(int rowCount);

// Scroll requests of a vertical scroll bar (the SB_* codes).
enum class ScrollRequest : int {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8
};

class ScrollState {
public:
    // Recomputes page and maximum for the given heights and clamps the position.
    void setRange(int contentHeight, int clientHeight);
    // Pixels per unit (kScrollUnit at 96 DPI); the position is kept in units.
    void setUnit(int pixels) { unit_ = pixels > 0 ? pixels : 1; }
    // Applies a request; returns the change of position in units (0: nothing moves).
    int scroll(int request, int thumbPosition = 0);
    // Forgets everything but the unit (a new, empty area).
    void reset() {
        const int unit = unit_;
        *this = ScrollState();
        unit_ = unit;
    }

    int page() const { return page_; }
    int maximum() const { return maximum_; }
    int position() const { return position_; }
    int offsetPixels() const { return position_ * unit_; }
    int unit() const { return unit_; }

private:
    int unit_ = kScrollUnit;
    int page_ = 0;
    int maximum_ = 0;
    int position_ = 0;
};

// y of a row inside the area at 96 DPI.
inline int rowTop(int index, int scrollOffsetPixels) { return AttributeMetrics{}.rowTop(index, scrollOffsetPixels); }

// Whether a value window's notification code reports a change of its value:
// a drop-down selection change (1), a drop-down edit change (5) or an edit's
// change (0x300).
bool isValueChange(unsigned code);

}  // namespace controls
