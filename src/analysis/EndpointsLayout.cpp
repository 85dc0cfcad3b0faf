#include "analysis/EndpointsLayout.h"

namespace EndpointsLayout {

void fit(Geometry &g, int tabWidth, int tabHeight) {
    const int width = tabWidth - g.table.left - 100;
    const int height = tabHeight - g.table.top - 80;
    if (width < 0 || height < 0)
        return;
    g.table.width = width;
    g.table.height = height;
}

} // namespace EndpointsLayout
