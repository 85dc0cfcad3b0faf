#include "app/Emboss.h"

namespace Emboss {

QColor FromBgr(quint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

Placement Positions(const QPoint &front, short effect, short depth, const Placement &current) {
    const QPoint offset(depth, depth);
    switch (effect) {
    case Raised:
        return {front + offset, front - offset};
    case Sunken:
        return {front - offset, front + offset};
    default:
        return current;
    }
}

} // namespace Emboss
