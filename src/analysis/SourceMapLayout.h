#pragma once
// Placement of the controls of the tab "源映射", in twips relative to the tab control, as the window's
// other tabs are placed (WindowLayout.h): the buttons, the find box and the count in a row at the top as
// on "新全部函数", the tree of sources on the left third below them, the source pane on the rest.

#include "util/Twips.h"

namespace SourceMapLayout {

using Twips::Rect;

struct Geometry {
    Rect saveAs{75, 360, 1140, 345};    // 另存为...
    Rect saveAll{1267, 360, 1500, 345}; // 全部另存为...
    Rect findBox{2819, 390, 2610, 270};
    Rect find{5481, 360, 1140, 345};  // 查找
    Rect count{6700, 435, 4200, 180}; // 原始源码：N 个（来自 M 个源映射）
    Rect tree{75, 735, 3000, 3825};
    Rect pane{3135, 735, 5475, 3825};
};

// 调整窗口 for this tab: the tree takes a third of the width inside the tab control's margins, the pane
// the rest; both reach down to the tab control's bottom margin. A size that would be negative keeps the
// control as it was.
void fit(Geometry &geometry, int tabWidth, int tabHeight);

} // namespace SourceMapLayout
