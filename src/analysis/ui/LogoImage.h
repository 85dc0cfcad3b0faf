#pragma once
// Image1: the logo at the top left of the analysis window. Clicking it opens the maker's support page.

#include <QLabel>

class LogoImage : public QLabel {
    Q_OBJECT
public:
    explicit LogoImage(QWidget *parent = nullptr);

    // The logo drawn at `size` (device-independent pixels).
    static QPixmap drawLogo(const QSize &size, qreal devicePixelRatio = 1.0);

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
