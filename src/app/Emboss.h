#pragma once
// Geometry and colours of the embossed caption: a front label with a shadow and a highlight copy behind it.

#include <QColor>
#include <QPoint>

namespace Emboss {

inline constexpr short Raised = 1;
inline constexpr short Sunken = 2;

// Colours as the platform writes them, blue in the high byte (0x800000 is dark blue).
QColor FromBgr(quint32 bgr);
inline constexpr quint32 ShadowColour = 0x808080;
inline constexpr quint32 HighlightColour = 0xFFFFFF;

struct Placement {
    QPoint shadow;
    QPoint highlight;
};

// Raised: shadow `depth` below-right of the front, highlight `depth` above-left; sunken the other way round.
// Any other effect keeps the layers where they are (`current`).
Placement Positions(const QPoint &front, short effect, short depth, const Placement &current);

} // namespace Emboss
