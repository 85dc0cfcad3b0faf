#include "analysis/WindowLayout.h"

#include <cmath>

namespace WindowLayout {

const std::array<DesignEntry, ControlCount> Design = {{
    {Image1, WindowArea, {15, 15, 3000, 435}},
    {Label1, WindowArea, {3135, 135, 990, 180}},
    {Text1, WindowArea, {4245, 45, 7800, 270}},
    {Label4, WindowArea, {2595, 435, 1530, 180}},
    {Combo1, WindowArea, {4245, 375, 7800, 300}},
    {Command4, WindowArea, {12135, 360, 960, 330}},
    {SSTab1, WindowArea, {30, 735, 11595, 6930}},
    {Command1, 0, {90, 360, 1365, 330}},
    {Check1, 0, {1500, 360, 1140, 345}},
    {Command2, 0, {2685, 360, 1140, 345}},
    {Command3, 0, {3870, 360, 1140, 345}},
    {Text3, 0, {5055, 390, 2730, 270}},
    {Command6, 0, {7830, 360, 1140, 345}},
    {RtbOld, 0, {90, 750, 8535, 3825}},
    {Label2, 1, {105, 510, 810, 180}},
    {ListView1, 1, {75, 735, 4080, 4155}},
    {Label5, 1, {4275, 495, 900, 180}},
    {Text4, 1, {4185, 765, 7095, 4095}},
    {Check2, 2, {75, 360, 1140, 345}},
    {Text2, 2, {1267, 390, 2610, 270}},
    {Command9, 2, {3929, 360, 1140, 345}},
    {Command7, 2, {5121, 360, 1140, 345}},
    {Command5, 2, {6315, 360, 1140, 345}},
    {RtbNew, 2, {75, 735, 8535, 3825}},
    {Label3, 3, {120, 465, 540, 180}},
    {Text5, 3, {630, 435, 5970, 270}},
    {Command8, 3, {6990, 420, 1590, 345}},
    {RtbDown, 3, {45, 795, 7980, 5895}},
}};

Geometry designGeometry() {
    Geometry g;
    for (const DesignEntry &e : Design)
        g[e.control] = e.rect;
    return g;
}

namespace {

// A size the platform would refuse (negative) leaves the control as it was.
void setSize(Rect &r, int width, int height) {
    if (width < 0 || height < 0)
        return;
    r.width = width;
    r.height = height;
}

} // namespace

void fitVisibleTab(Geometry &g, int visibleTab) {
    const int tw = g[SSTab1].width;
    const int th = g[SSTab1].height;
    auto fill = [&](Control c) { setSize(g[c], tw - g[c].left - 100, th - g[c].top - 80); };
    switch (visibleTab) {
    case 0:
        fill(RtbOld);
        break;
    case 1:
        setSize(g[ListView1], g[ListView1].width, th - g[ListView1].top - 80);
        fill(Text4);
        break;
    case 2:
        fill(RtbNew);
        break;
    case 3:
        fill(RtbDown);
        break;
    default:
        break;
    }
}

bool resize(Geometry &g, const WindowState &window, int captionHeight, int visibleTab) {
    if (window.minimised)
        return false;
    if (window.width < MinWidth || window.height < MinHeight)
        return false;

    Rect tab = g[SSTab1];
    tab.left = 0;
    const int tabHeight = window.height - tab.top - captionHeight - 100;
    if (tabHeight >= 0) {
        tab.width = window.width - 100;
        tab.height = tabHeight;
        g[SSTab1] = tab;
    }
    setSize(g[Text1], window.width - g[Text1].left - 150, g[Text1].height);
    setSize(g[Combo1], g[Text1].width - g[Command4].width - 30, g[Combo1].height);
    g[Command4].left = g[Combo1].left + g[Combo1].width + 30;
    fitVisibleTab(g, visibleTab);
    return true;
}

} // namespace WindowLayout
