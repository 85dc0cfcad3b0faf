#pragma once
// Image1: the logo at the top left of the analysis window. Clicking it opens the maker's support page.

#include <QWidget>

class LogoImage : public QWidget {
    Q_OBJECT
public:
    explicit LogoImage(QWidget *parent = nullptr);

    // Draws the logo filling `rect`.
    static void drawLogo(QPainter &painter, const QRectF &rect);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
