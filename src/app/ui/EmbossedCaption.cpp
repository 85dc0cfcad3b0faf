#include "app/ui/EmbossedCaption.h"

#include "app/Emboss.h"

#include <QLabel>

namespace {

void setTextColour(QLabel *label, const QColor &colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

void FormLabelCaptionEmbossed(QLabel *front, QLabel *shadow, QLabel *highlight, const QString &label_text,
                              short label_effect, quint32 label_forecolor, short label_depth) {
    front->hide();
    shadow->hide();
    highlight->hide();

    const QString text = label_text.isEmpty() ? front->text() : label_text;
    front->setText(text);
    shadow->setText(text);
    highlight->setText(text);

    front->setAutoFillBackground(false);
    setTextColour(front, Emboss::FromBgr(label_forecolor));
    for (QLabel *layer : {shadow, highlight}) {
        layer->resize(front->size());
        layer->setAutoFillBackground(front->autoFillBackground());
    }
    setTextColour(shadow, Emboss::FromBgr(Emboss::ShadowColour));
    setTextColour(highlight, Emboss::FromBgr(Emboss::HighlightColour));

    const Emboss::Placement placed =
        Emboss::Positions(front->pos(), label_effect, label_depth, {shadow->pos(), highlight->pos()});
    shadow->move(placed.shadow);
    highlight->move(placed.highlight);

    shadow->show();
    highlight->show();
    front->show();
    front->raise();
}
