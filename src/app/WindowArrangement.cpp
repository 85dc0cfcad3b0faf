#include "app/WindowArrangement.h"

#include <algorithm>

namespace {

// Splits `extent` into `count` parts; the first `extent % count` parts are one longer.
QList<QPair<int, int>> split(int start, int extent, int count) {
    QList<QPair<int, int>> parts;
    if (count <= 0)
        return parts;
    const int base = extent / count;
    const int extra = extent % count;
    int at = start;
    for (int i = 0; i < count; ++i) {
        const int length = base + (i < extra ? 1 : 0);
        parts.append({at, length});
        at += length;
    }
    return parts;
}

int iconsPerRow(const QRect &area, const QSize &iconSize) {
    return std::max(1, iconSize.width() > 0 ? area.width() / iconSize.width() : 1);
}

} // namespace

namespace WindowArrangement {

QList<QRect> StackedRows(const QRect &area, int count) {
    QList<QRect> rects;
    for (const auto &[top, height] : split(area.top(), area.height(), count))
        rects.append(QRect(area.left(), top, area.width(), height));
    return rects;
}

QList<QRect> SideBySideColumns(const QRect &area, int count) {
    QList<QRect> rects;
    for (const auto &[left, width] : split(area.left(), area.width(), count))
        rects.append(QRect(left, area.top(), width, area.height()));
    return rects;
}

QList<QPoint> IconPositions(const QRect &area, const QSize &iconSize, int count) {
    QList<QPoint> points;
    const int perRow = iconsPerRow(area, iconSize);
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        points.append(QPoint(area.left() + column * iconSize.width(),
                             area.top() + area.height() - (row + 1) * iconSize.height()));
    }
    return points;
}

QRect AreaAboveIcons(const QRect &area, const QSize &iconSize, int count) {
    if (count <= 0)
        return area;
    const int perRow = iconsPerRow(area, iconSize);
    const int rows = (count + perRow - 1) / perRow;
    const int height = std::max(0, area.height() - rows * iconSize.height());
    return QRect(area.left(), area.top(), area.width(), height);
}

} // namespace WindowArrangement
