#pragma once
// Putting a control of the analysis window where its twips rectangle says, for the window and for the tabs
// that lay their own controls out (源映射, 网址调用).

#include "util/Twips.h"

#include <QPoint>
#include <QRect>

class QWidget;

// `box`, grown to the right and equally up and down as far as the caption of a label with text or a check
// box needs: a caption is never cut. Its place in the layout rules stays the design's.
QRect roomForCaption(QWidget *w, QRect box);

// Places `w`, a control on a tab page, at `r` (twips relative to the tab control): the page's own offset
// inside the tab control is taken off, and nothing goes above or left of the page.
void placeOnTabPage(QWidget *w, const Twips::Rect &r, const QPoint &pageOffset, double dpiX, double dpiY);
