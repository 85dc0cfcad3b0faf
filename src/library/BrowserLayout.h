#pragma once
// Where the library browser puts its grid when the window is resized. All lengths in twips.

#include "util/Twips.h"

namespace BrowserLayout {

using Rect = Twips::Rect;

// The grid goes to the left edge, keeps its top, and takes the window's width less 120 and its height
// less 580 less the grid's top; never a negative size. A minimised window leaves the grid as it is.
Rect GridPlace(const Rect &grid, int windowWidth, int windowHeight, bool minimised);

} // namespace BrowserLayout
