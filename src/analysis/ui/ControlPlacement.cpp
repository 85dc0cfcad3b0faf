#include "analysis/ui/ControlPlacement.h"

#include <QCheckBox>
#include <QLabel>

#include <algorithm>

QRect roomForCaption(QWidget *w, QRect box) {
    auto *label = qobject_cast<QLabel *>(w);
    if (!(label && !label->text().isEmpty()) && !qobject_cast<QCheckBox *>(w))
        return box;
    const QSize needed = w->sizeHint();
    box.setWidth(std::max(box.width(), needed.width()));
    const int extra = needed.height() - box.height();
    if (extra > 0) {
        const int up = std::min(extra / 2, box.top());
        box.adjust(0, -up, 0, extra - up);
    }
    return box;
}

void placeOnTabPage(QWidget *w, const Twips::Rect &r, const QPoint &pageOffset, double dpiX, double dpiY) {
    QRect px(Twips::twipsToPixels(r.left, dpiX), Twips::twipsToPixels(r.top, dpiY), Twips::twipsToPixels(r.width, dpiX),
             Twips::twipsToPixels(r.height, dpiY));
    px.moveTo(std::max(0, px.x() - pageOffset.x()), std::max(0, px.y() - pageOffset.y()));
    px = roomForCaption(w, px);
    if (w->geometry() != px)
        w->setGeometry(px);
}
