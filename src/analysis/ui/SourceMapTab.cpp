#include "analysis/ui/SourceMapTab.h"

#include "analysis/OriginalPosition.h"
#include "analysis/SourceFiles.h"
#include "analysis/SourceMapCollector.h"
#include "analysis/ui/ControlPlacement.h"
#include "platform/text/TextCodec.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/TextPane.h"
#include "sourcemap/OutputPaths.h"
#include "sourcemap/Reasons.h"
#include "sourcemap/SourceTree.h"
#include "util/AppInfo.h"
#include "workbench/FindNext.h"
#include "workbench/ui/PaneTools.h"

#include <Qsci/qsciscintilla.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

const QString SourceMapTab::NotObtainedLabel = QStringLiteral("未取得");

namespace {

void addNodes(QTreeWidgetItem *parent, const QList<SourceMaps::SourceTreeNode> &nodes, int bundle,
              const QList<int> &sourceOf) {
    for (const SourceMaps::SourceTreeNode &n : nodes) {
        auto *item = new QTreeWidgetItem(parent, {n.label});
        item->setData(0, SourceMapTab::BundleRole, bundle);
        item->setData(0, SourceMapTab::SourceRole, n.source < 0 ? -1 : sourceOf[n.source]);
        addNodes(item, n.children, bundle, sourceOf);
    }
}

QString textOf(const QByteArray &bytes) {
    return TextCodec::decode(bytes).text;
}

// The pane is read-only for the user; the program still puts the text in.
void showText(TextPane *pane, const QString &text) {
    pane->editor()->setReadOnly(false);
    pane->setText(text);
    pane->editor()->setReadOnly(true);
}

} // namespace

SourceMapTab::SourceMapTab(QWidget *page, QWidget *window, const SourceMapCollector *maps)
    : QObject(page), m_window(window), m_maps(maps) {
    c.saveAs = new QPushButton(QStringLiteral("另存为..."), page);
    c.saveAll = new QPushButton(QStringLiteral("全部另存为..."), page);
    c.findBox = new QLineEdit(page);
    c.find = new QPushButton(QStringLiteral("查找"), page);
    c.count = new QLabel(SourceMaps::countLabel(0, 0), page);
    c.tree = new QTreeWidget(page);
    c.tree->setHeaderHidden(true);
    c.pane = new TextPane(page);
    c.pane->editor()->setReadOnly(true);
    connect(c.saveAs, &QPushButton::clicked, this, &SourceMapTab::saveSelected);
    connect(c.saveAll, &QPushButton::clicked, this, &SourceMapTab::saveAll);
    connect(c.find, &QPushButton::clicked, this, &SourceMapTab::findNext);
    connect(c.findBox, &QLineEdit::returnPressed, this, &SourceMapTab::findNext);
    connect(c.tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { showItem(item); });
    // Sources come one by one; the tree is built again once a burst of them is in.
    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(100);
    connect(m_refresh, &QTimer::timeout, this, &SourceMapTab::refresh);
    connect(maps, &SourceMapCollector::changed, m_refresh, qOverload<>(&QTimer::start));
    connect(maps, &SourceMapCollector::idle, this, &SourceMapTab::refresh);
}

void SourceMapTab::refresh() {
    m_refresh->stop();
    const SourceMapResult &result = m_maps->result();
    c.count->setText(SourceMaps::countLabel(result.sourceCount(), result.mapCount()));
    const QPoint keep = m_shown;
    const QSignalBlocker block(c.tree);
    c.tree->clear();
    for (int b = 0; b < result.bundles.size(); ++b) {
        const MappedBundle &bundle = result.bundles[b];
        if (!bundle.mapReason.isEmpty())
            continue; // its map was not obtained: listed under 未取得
        auto *top = new QTreeWidgetItem(
            c.tree, {QStringLiteral("网址%1 %2").arg(bundle.script).arg(bundle.scriptAddress)});
        top->setData(0, BundleRole, b);
        top->setData(0, SourceRole, -1);
        QList<QStringList> paths;
        QList<int> sourceOf;
        for (int s = 0; s < bundle.sources.size(); ++s) {
            if (bundle.sources[s].status != OriginalSource::Ok)
                continue;
            paths << SourceMaps::treePath(bundle.sources[s].address);
            sourceOf << s;
        }
        addNodes(top, SourceMaps::buildSourceTree(paths), b, sourceOf);
        top->setExpanded(true);
    }
    const QStringList missing = result.notObtained();
    if (!missing.isEmpty()) {
        auto *branch = new QTreeWidgetItem(c.tree, {NotObtainedLabel});
        branch->setData(0, BundleRole, -1);
        branch->setData(0, SourceRole, -1);
        for (const QString &line : missing) {
            auto *item = new QTreeWidgetItem(branch, {line});
            item->setData(0, BundleRole, -1);
            item->setData(0, SourceRole, -1);
        }
        branch->setExpanded(true);
    }
    if (QTreeWidgetItem *item = itemOf(keep.x(), keep.y()))
        c.tree->setCurrentItem(item);
    else if (keep.x() >= 0) {
        m_shown = {-1, -1};
        showText(c.pane, QString());
    }
}

QTreeWidgetItem *SourceMapTab::itemOf(int bundle, int source) const {
    if (bundle < 0 || source < 0)
        return nullptr;
    QList<QTreeWidgetItem *> todo;
    for (int i = 0; i < c.tree->topLevelItemCount(); ++i)
        todo << c.tree->topLevelItem(i);
    while (!todo.isEmpty()) {
        QTreeWidgetItem *item = todo.takeLast();
        if (item->data(0, BundleRole).toInt() == bundle && item->data(0, SourceRole).toInt() == source)
            return item;
        for (int i = 0; i < item->childCount(); ++i)
            todo << item->child(i);
    }
    return nullptr;
}

void SourceMapTab::showItem(QTreeWidgetItem *item) {
    const int bundle = item ? item->data(0, BundleRole).toInt() : -1;
    const int source = item ? item->data(0, SourceRole).toInt() : -1;
    if (QPoint(bundle, source) == m_shown)
        return;
    const SourceMapResult &result = m_maps->result();
    if (source < 0 || bundle < 0 || bundle >= result.bundles.size() ||
        source >= result.bundles[bundle].sources.size())
        return; // a folder or a bundle: the pane keeps what it shows
    m_shown = {bundle, source};
    showText(c.pane, textOf(result.bundles[bundle].sources[source].bytes));
    c.pane->setSelection(0, 0);
}

bool SourceMapTab::showSource(int bundle, int source, int line) {
    if (!itemOf(bundle, source))
        refresh();
    QTreeWidgetItem *item = itemOf(bundle, source);
    if (!item)
        return false;
    c.tree->setCurrentItem(item);
    c.tree->scrollToItem(item);
    showItem(item);
    // The line is selected, so it stands out also while the pane has no focus.
    const QString text = c.pane->text();
    const int offset = int(lineStartOffset(text, line));
    const int end = int(lineStartOffset(text, line + 1));
    int length = end - offset;
    while (length > 0 && (text[offset + length - 1] == u'\n' || text[offset + length - 1] == u'\r'))
        --length;
    c.pane->setSelection(offset, length);
    c.pane->scrollToLine(qMax(0, line - 3));
    c.pane->editor()->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 0); // the line from its start
    return true;
}

QPoint SourceMapTab::selected() const {
    return m_shown;
}

void SourceMapTab::place(const Twips::Rect &tab, const QPoint &pageOffset, double dpiX, double dpiY) {
    SourceMapLayout::fit(m_geometry, tab.width, tab.height);
    const SourceMapLayout::Geometry &g = m_geometry;
    auto put = [&](QWidget *w, const Twips::Rect &r) { placeOnTabPage(w, r, pageOffset, dpiX, dpiY); };
    put(c.saveAs, g.saveAs);
    put(c.saveAll, g.saveAll);
    put(c.findBox, g.findBox);
    put(c.find, g.find);
    put(c.count, g.count);
    put(c.tree, g.tree);
    put(c.pane, g.pane);
}

void SourceMapTab::saveSelected() {
    const SourceMapResult &result = m_maps->result();
    if (m_shown.x() < 0 || m_shown.x() >= result.bundles.size())
        return;
    const OriginalSource &s = result.bundles[m_shown.x()].sources[m_shown.y()];
    Dialogs::FileRequest request;
    const QString safe = SourceMaps::safeRelativePath(s.name);
    request.fileName = safe.mid(safe.lastIndexOf(QLatin1Char('/')) + 1);
    request.filters = {QStringLiteral("*.*")};
    const QString path = Dialogs::current().saveFile(m_window, request);
    if (path.isEmpty())
        return;
    const QString error = TextCodec::writeFileBytes(path, s.bytes);
    if (!error.isEmpty())
        Dialogs::current().message(m_window, error, Dialogs::Icon::Critical, Dialogs::Buttons::Ok, AppInfo::Title);
}

void SourceMapTab::saveAll() {
    const SourceMapResult &result = m_maps->result();
    if (result.sourceCount() == 0)
        return;
    const QString folder = Dialogs::current().chooseFolder(m_window, QStringLiteral("全部另存为"));
    if (folder.isEmpty())
        return;
    const QString error = writeSources(folder, result, placeSources(result));
    if (!error.isEmpty())
        Dialogs::current().message(m_window, error, Dialogs::Icon::Critical, Dialogs::Buttons::Ok,
                                   AppInfo::Title);
}

void SourceMapTab::findNext() {
    const QString needle = c.findBox->text();
    if (needle.isEmpty())
        return;
    if (FindNextInPane(c.pane, needle) >= 0)
        c.pane->setFocus();
    else
        Dialogs::current().message(m_window, FindNotFoundMessage(needle), Dialogs::Icon::Critical,
                                   Dialogs::Buttons::Ok, AppInfo::Title);
}
