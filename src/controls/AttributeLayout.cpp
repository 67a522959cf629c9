#include "controls/AttributeLayout.h"

#include "framework/Dpi.h"

#include <algorithm>
#include <initializer_list>

namespace controls {

AttributeMetrics AttributeMetrics::at(int dpi) {
    AttributeMetrics m;
    for (int* length :
         {&m.rowPitch, &m.rowHeight, &m.labelWidth, &m.scrollUnit, &m.areaTop, &m.typeListTop, &m.typeListWidth,
          &m.typeListDropHeight, &m.rowDropHeight, &m.typeListFontHeight, &m.statusHeight}) {
        *length = ui::scaled(*length, dpi);
    }
    return m;
}

int AttributeMetrics::contentHeight(int rowCount) const {
    return rowCount > 0 ? rowPitch * (rowCount - 1) + rowHeight : 0;
}

int rowsContentHeight(int rowCount) { return AttributeMetrics{}.contentHeight(rowCount); }

void ScrollState::setRange(int contentHeight, int clientHeight) {
    const int overflow = contentHeight - clientHeight;
    // Round up so that the last few pixels are reachable too.
    page_ = overflow > 0 ? (overflow + unit_ - 1) / unit_ : overflow / unit_;
    maximum_ = std::max(page_, 0);
    position_ = std::min(position_, maximum_);
}

int ScrollState::scroll(int request, int thumbPosition) {
    int delta = 0;
    switch (static_cast<ScrollRequest>(request)) {
    case ScrollRequest::LineUp:
        delta = -1;
        break;
    case ScrollRequest::LineDown:
        delta = 1;
        break;
    case ScrollRequest::PageUp:
        delta = page_ < 1 ? -1 : -page_;
        break;
    case ScrollRequest::PageDown:
        delta = page_ < 1 ? 1 : page_;
        break;
    case ScrollRequest::ThumbTrack:
        delta = thumbPosition - position_;
        break;
    case ScrollRequest::Top:
        delta = -position_;
        break;
    case ScrollRequest::Bottom:
        delta = maximum_ - position_;
        break;
    default:
        delta = 0;
        break;
    }
    delta = std::clamp(delta, -position_, maximum_ - position_);
    position_ += delta;
    return delta;
}

bool isValueChange(unsigned code) { return code == 1u || code == 5u || code == 0x300u; }

}  // namespace controls
