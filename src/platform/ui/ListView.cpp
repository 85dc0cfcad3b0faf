#include "platform/ui/ListView.h"

#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>

ListView::ListView(QWidget *parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(false);
    // An automatic width may be narrower than the header's usual minimum.
    header()->setMinimumSectionSize(0);
}

void ListView::setView(ViewMode view) {
    m_view = view;
    setHeaderHidden(view != Report);
}

int ListView::contentWidth(int column) const {
    return std::max(sizeHintForColumn(column), 0);
}

void ListView::mousePressEvent(QMouseEvent *event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        emit rightButtonPressed(event->globalPosition().toPoint());
}
