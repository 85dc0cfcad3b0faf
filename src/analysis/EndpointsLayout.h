#pragma once
// Placement of the controls of the tab "网址调用", in twips relative to the tab control, as the window's
// other tabs are placed (WindowLayout.h): the buttons, the filter box and the count in a row at the top
// as on "新全部函数", the table below them.

#include "util/Twips.h"

namespace EndpointsLayout {

using Twips::Rect;

struct Geometry {
    Rect copy{75, 360, 1140, 345};         // 复制
    Rect saveAs{1267, 360, 1140, 345};     // 另存为...
    Rect filterLabel{2460, 435, 540, 180}; // 筛选：
    Rect filter{3000, 390, 2730, 270};
    Rect count{5820, 435, 3000, 180}; // 网址调用数：N
    Rect table{75, 735, 8535, 3825};
};

// 调整窗口 for this tab: the table fills the tab control below the row of buttons, inside the margins
// the other tabs' panes keep (100 on the right, 80 at the bottom). A size that would be negative keeps
// the table as it was; the row at the top never moves.
void fit(Geometry &geometry, int tabWidth, int tabHeight);

} // namespace EndpointsLayout
