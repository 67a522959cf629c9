#include "framework/Dpi.h"

namespace ui {

int scaled(int length, int dpi) {
    if (dpi <= 0 || dpi == kBaseDpi) return length;
    const long long product = static_cast<long long>(length) * dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

}  // namespace ui
