#pragma once
// An embossed caption made of three stacked labels: front, shadow and highlight.

#include <QString>

class QLabel;

// Gives the three labels one text (`label_text`, or the front label's own when empty), the front label
// `label_forecolor` (blue in the high byte), the shadow grey and the highlight white, both the front's size,
// and places shadow and highlight `label_depth` pixels off the front for effect 1 (raised) or 2 (sunken);
// other effects leave them where they are. The front label ends on top.
void FormLabelCaptionEmbossed(QLabel *front, QLabel *shadow, QLabel *highlight, const QString &label_text,
                              short label_effect, quint32 label_forecolor, short label_depth);
