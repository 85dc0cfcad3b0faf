#pragma once
// Placement of the analysis window's controls, in twips (1/1440 inch), without widgets.
//
// Controls of the top strip and the tab control itself are placed in the window's client area; controls
// of a tab are placed relative to the tab control. The window keeps a Geometry as the truth, runs the
// rules below on it and only then moves its widgets, so rounding to pixels never accumulates.

#include "util/Twips.h"

#include <array>

namespace WindowLayout {

enum Control : int {
    Image1,
    Label1,
    Text1,
    Label4,
    Combo1,
    Command4,
    SSTab1,
    // tab 0 "原全部函数"
    Command1,
    Check1,
    Command2,
    Command3,
    Text3,
    Command6,
    RtbOld,
    // tab 1 "分解函数"
    Label2,
    ListView1,
    Label5,
    Text4,
    // tab 2 "新全部函数"
    Check2,
    Text2,
    Command9,
    Command7,
    Command5,
    RtbNew,
    // tab 3 "下载查看保存"
    Label3,
    Text5,
    Command8,
    RtbDown,
    ControlCount
};

using Twips::Rect;

inline constexpr int WindowArea = -1; // "tab" of the top strip and of the tab control

struct DesignEntry {
    Control control;
    int tab; // WindowArea, or 0..3 for a control on that tab
    Rect rect;
};

// The design geometry, in Control order.
extern const std::array<DesignEntry, ControlCount> Design;

using Geometry = std::array<Rect, ControlCount>;
Geometry designGeometry();

// Below this outer size the window moves nothing.
inline constexpr int MinWidth = 6000;
inline constexpr int MinHeight = 2000;

struct WindowState {
    bool minimised = false;
    int width = 0;  // outer width, twips
    int height = 0; // outer height, twips
};

// The resize rules: nothing when minimised or smaller than MinWidth × MinHeight; otherwise the tab control,
// Text1, Combo1 and Command4 follow the window, then fitVisibleTab(). Returns whether the rules ran.
// A control whose new width or height would be negative keeps its size, and the other steps still run.
bool resize(Geometry &geometry, const WindowState &window, int captionHeight, int visibleTab);

// 调整窗口: fits the main controls of the visible tab (panes, Text4, ListView1's height) to the tab control;
// an index outside 0..3 changes nothing.
void fitVisibleTab(Geometry &geometry, int visibleTab);

using Twips::pixelsToTwips;
using Twips::twipsToPixels;

} // namespace WindowLayout
