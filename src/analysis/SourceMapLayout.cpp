#include "analysis/SourceMapLayout.h"

namespace SourceMapLayout {

namespace {

// The margins of the other tabs' panes: 100 on the right, 80 at the bottom; 60 between tree and pane.
constexpr int RightMargin = 100;
constexpr int BottomMargin = 80;
constexpr int Gap = 60;

} // namespace

void fit(Geometry &g, int tabWidth, int tabHeight) {
    const int height = tabHeight - g.tree.top - BottomMargin;
    const int inner = tabWidth - g.tree.left - RightMargin - Gap;
    if (height < 0 || inner < 0)
        return;
    g.tree.width = inner / 3;
    g.tree.height = height;
    g.pane.left = g.tree.left + g.tree.width + Gap;
    g.pane.top = g.tree.top;
    g.pane.width = tabWidth - g.pane.left - RightMargin;
    g.pane.height = height;
}

} // namespace SourceMapLayout
