#include "analysis/ui/EndpointsTab.h"

#include "analysis/ui/ControlPlacement.h"
#include "analysis/ui/EndpointTable.h"
#include "analysis/ui/EndpointsModel.h"
#include "platform/text/TextCodec.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/TextPane.h"
#include "util/AppInfo.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

#include <algorithm>

using Decompose::Endpoint;

EndpointsTab::EndpointsTab(QWidget *page, QWidget *window, Hooks hooks)
    : QObject(page), m_window(window), m_hooks(std::move(hooks)) {
    c.copy = new QPushButton(QStringLiteral("复制"), page);
    c.saveAs = new QPushButton(QStringLiteral("另存为..."), page);
    c.filterLabel = new QLabel(QStringLiteral("筛选："), page);
    c.filter = new QLineEdit(page);
    c.filter->setClearButtonEnabled(true);
    c.count = new QLabel(page);
    c.table = new QTableView(page);

    m_model = new EndpointsModel(this);
    m_shown = new QSortFilterProxyModel(this);
    m_shown->setSourceModel(m_model);
    m_shown->setFilterKeyColumn(-1); // any cell
    m_shown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_shown->setSortCaseSensitivity(Qt::CaseInsensitive);
    c.table->setModel(m_shown);
    c.table->setFont(TextPane::defaultFont());
    c.table->setSelectionBehavior(QAbstractItemView::SelectRows);
    c.table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    c.table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c.table->setWordWrap(false);
    c.table->verticalHeader()->hide();
    // Rows all one height: a long list needs no measuring.
    c.table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    c.table->verticalHeader()->setDefaultSectionSize(c.table->fontMetrics().height() + 4);
    c.table->horizontalHeader()->setStretchLastSection(true);
    c.table->setSortingEnabled(true);
    // Text order until a header is clicked.
    c.table->sortByColumn(-1, Qt::AscendingOrder);
    showCount();

    connect(c.copy, &QPushButton::clicked, this, &EndpointsTab::copySelected);
    connect(c.saveAs, &QPushButton::clicked, this, &EndpointsTab::saveAs);
    connect(c.filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_shown->setFilterFixedString(text);
        showCount();
    });
    connect(c.table, &QTableView::doubleClicked, this, &EndpointsTab::activate);
}

void EndpointsTab::setEndpoints(const QList<Endpoint> &endpoints) {
    // A new list comes in text order: sorting a long one again would hold up the window.
    if (m_shown->sortColumn() >= 0)
        c.table->sortByColumn(-1, Qt::AscendingOrder);
    m_model->setEndpoints(endpoints);
    if (!endpoints.isEmpty()) {
        // The address column as wide as its widest text among the first rows, within reason.
        c.table->horizontalHeader()->setResizeContentsPrecision(200);
        c.table->resizeColumnsToContents();
        c.table->setColumnWidth(EndpointTable::Address,
                                std::min(c.table->columnWidth(EndpointTable::Address),
                                         std::max(200, c.table->viewport()->width() / 2)));
    }
    showCount();
    emit filled();
}

void EndpointsTab::showCount() {
    const int all = m_model->rowCount();
    const int shown = m_shown->rowCount();
    QString text = QStringLiteral("网址调用数：") + QString::number(shown);
    if (shown != all)
        text += QStringLiteral(" / ") + QString::number(all);
    c.count->setText(text);
}

int EndpointsTab::shownCount() const {
    return m_shown->rowCount();
}

const Endpoint *EndpointsTab::shownEndpoint(int row) const {
    const QModelIndex source = m_shown->mapToSource(m_shown->index(row, 0));
    return source.isValid() ? &m_model->endpoint(source.row()) : nullptr;
}

QList<const Endpoint *> EndpointsTab::rows(bool selectedOnly) const {
    QList<const Endpoint *> out;
    if (selectedOnly) {
        QList<int> shownRows;
        for (const QModelIndex &i : c.table->selectionModel()->selectedRows())
            shownRows << i.row();
        std::sort(shownRows.begin(), shownRows.end()); // in the order the table shows them
        for (int row : shownRows)
            out << shownEndpoint(row);
        return out;
    }
    for (int row = 0; row < m_shown->rowCount(); ++row)
        out << shownEndpoint(row);
    return out;
}

void EndpointsTab::copySelected() {
    const QList<const Endpoint *> selected = rows(true);
    if (!selected.isEmpty())
        Dialogs::current().setClipboardText(EndpointTable::copyText(selected));
}

void EndpointsTab::saveAs() {
    Dialogs::FileRequest request;
    request.fileName = QStringLiteral("网址调用.csv");
    request.filters = {QStringLiteral("*.csv")};
    request.defaultSuffix = QStringLiteral("csv");
    const QString path = Dialogs::current().saveFile(m_window, request);
    if (path.isEmpty())
        return;
    const QString error = TextCodec::writeFileBytes(path, EndpointTable::csvBytes(rows(false)));
    if (!error.isEmpty())
        Dialogs::current().message(m_window, error, Dialogs::Icon::Critical, Dialogs::Buttons::Ok, AppInfo::Title);
}

void EndpointsTab::activate(const QModelIndex &shownIndex) {
    const Endpoint *e = shownEndpoint(shownIndex.row());
    if (!e)
        return;
    // The window looks the original up as the text stands now (its map may have come after the findings).
    if (m_hooks.openOriginal && m_hooks.openOriginal(*e))
        return;
    if (m_hooks.goToLine)
        m_hooks.goToLine(*e);
}

void EndpointsTab::place(const Twips::Rect &tab, const QPoint &pageOffset, double dpiX, double dpiY) {
    EndpointsLayout::fit(m_geometry, tab.width, tab.height);
    auto put = [&](QWidget *w, const Twips::Rect &r) { placeOnTabPage(w, r, pageOffset, dpiX, dpiY); };
    const EndpointsLayout::Geometry &g = m_geometry;
    put(c.copy, g.copy);
    put(c.saveAs, g.saveAs);
    put(c.filterLabel, g.filterLabel);
    put(c.filter, g.filter);
    put(c.count, g.count);
    put(c.table, g.table);
}
