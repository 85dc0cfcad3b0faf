#include "analysis/ui/LogoImage.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

LogoImage::LogoImage(QWidget *parent) : QWidget(parent) {
    setToolTip(QStringLiteral("作者网站"));
    setCursor(Qt::PointingHandCursor);
}

void LogoImage::drawLogo(QPainter &p, const QRectF &area) {
    if (area.width() < 2 || area.height() < 2)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = area.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(0x2f, 0x6f, 0xd0));
    fill.setColorAt(1, QColor(0x12, 0x3a, 0x80));
    QPainterPath frame;
    frame.addRoundedRect(r, 4, 4);
    p.fillPath(frame, fill);
    p.setPen(QColor(0x0b, 0x25, 0x55));
    p.drawPath(frame);

    // A "{}" mark, then the name.
    const qreal h = r.height();
    QFont mark(QStringLiteral("DejaVu Sans Mono"));
    mark.setBold(true);
    mark.setPixelSize(qMax(6, int(h * 0.7)));
    p.setFont(mark);
    p.setPen(QColor(0xff, 0xd5, 0x4a));
    const QRectF markRect(r.left() + 4, r.top(), h * 1.3, h);
    p.drawText(markRect, Qt::AlignCenter, QStringLiteral("{}"));

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setBold(true);
    name.setItalic(true);
    name.setPixelSize(qMax(6, int(h * 0.55)));
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRectF(markRect.right() + 2, r.top(), r.width() - markRect.width() - 8, h),
               Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Varnel JS"));
    p.restore();
}

void LogoImage::paintEvent(QPaintEvent *) {
    QPainter p(this);
    drawLogo(p, rect());
}

void LogoImage::mouseReleaseEvent(QMouseEvent *event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
