#include "library/BrowserLayout.h"

#include <algorithm>

namespace BrowserLayout {

Rect GridPlace(const Rect &grid, int windowWidth, int windowHeight, bool minimised) {
    if (minimised)
        return grid;
    return Rect{0, grid.top, std::max(0, windowWidth - 120), std::max(0, windowHeight - 580 - grid.top)};
}

} // namespace BrowserLayout
