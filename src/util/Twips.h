#pragma once
// Window layouts are worked out in twips (1/1440 inch) and applied in pixels: 1 px = 1440 / dpi twips.

#include <cmath>

namespace Twips {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect &) const = default;
};

// Both directions round to the nearest.
inline int twipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}
inline int pixelsToTwips(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

} // namespace Twips
