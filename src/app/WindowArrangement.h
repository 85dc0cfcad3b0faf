#pragma once
// Where the main window puts its child windows when it arranges them (pixels, pure geometry).

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace WindowArrangement {

// `count` rows stacked from top to bottom, each the full width of `area`; together they fill it.
QList<QRect> StackedRows(const QRect &area, int count);
// `count` columns side by side from left to right, each the full height of `area`; together they fill it.
QList<QRect> SideBySideColumns(const QRect &area, int count);
// Top-left corners of `count` icons of `iconSize`, lined up from the bottom-left corner of `area`
// to the right; a row that is full goes on above the previous one.
QList<QPoint> IconPositions(const QRect &area, const QSize &iconSize, int count);
// The part of `area` above the icon rows that `IconPositions` fills (all of it when count is 0).
QRect AreaAboveIcons(const QRect &area, const QSize &iconSize, int count);

} // namespace WindowArrangement
