#include "analysis/ui/FunctionTab.h"

#include "analysis/EndpointBase.h"
#include "analysis/ScriptBlocks.h"
#include "analysis/SourceDocument.h"
#include "analysis/ui/AnalysisHost.h"
#include "analysis/ui/MListView.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ListView.h"
#include "util/FreeOnPool.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

using namespace Decompose;

namespace {

const char *const PopupOwner = "varnel.popupOwner";

void showCount(QLabel *label, int count) {
    label->setText(QStringLiteral("函数种类数：") + QString::number(count));
}

QTreeWidgetItem *entryFor(const Function &f, int index) {
    auto *item = new QTreeWidgetItem(QStringList{f.name});
    item->setData(0, FunctionTab::TagRole, QStringLiteral("网址%1 第%2行").arg(f.script).arg(f.line));
    item->setData(0, FunctionTab::IndexRole, index);
    return item;
}

// Empties the list; its entries, taken out of it, belong to no list any more and are deleted on the pool.
void emptyList(QTreeWidget *list) {
    QList<QTreeWidgetItem *> items = list->invisibleRootItem()->takeChildren();
    if (!items.isEmpty())
        QThreadPool::globalInstance()->start([items] { qDeleteAll(items); });
}

} // namespace

// What a background derivation hands to the window: the text it parsed and the list entries, built there
// so the window only inserts them.
struct FunctionTab::Derived {
    QString text;
    QList<Block> blocks;
    QList<Function> functions;
    QList<Endpoint> endpoints;
    QList<QTreeWidgetItem *> items;
    ~Derived() { qDeleteAll(items); }
};

FunctionTab::FunctionTab(const FunctionControls &controls, AnalysisHost *host, QObject *parent)
    : QObject(parent), c(controls), m_host(host) {
    c.Text4->setReadOnly(true);
    connect(c.ListView1, &QTreeWidget::itemSelectionChanged, this, &FunctionTab::showSelected);
    connect(c.ListView1, &ListView::rightButtonPressed, this, &FunctionTab::onRightButton);
    if (m_host) {
        const ListPopupMenu popup = m_host->listPopupMenu();
        m_popupMenu = popup.menu;
        auto wire = [this](QAction *action, void (FunctionTab::*slot)()) {
            if (action)
                connect(action, &QAction::triggered, this, [this, slot] {
                    if (popupIsOurs())
                        (this->*slot)();
                });
        };
        wire(popup.modify, &FunctionTab::modify);
        wire(popup.mergeSame, &FunctionTab::mergeSame);
        wire(popup.remove, &FunctionTab::remove);
    }
    auto *undoKey = new QShortcut(QKeySequence::Undo, c.ListView1, nullptr, nullptr, Qt::WidgetShortcut);
    connect(undoKey, &QShortcut::activated, this, &FunctionTab::undo);

    QWidget *page1 = c.Label5->parentWidget();
    m_confirm = new QPushButton(QStringLiteral("确定修改"), page1);
    m_cancel = new QPushButton(QStringLiteral("取消修改"), page1);
    m_confirm->hide();
    m_cancel->hide();
    connect(m_confirm, &QPushButton::clicked, this, &FunctionTab::confirmModify);
    connect(m_cancel, &QPushButton::clicked, this, &FunctionTab::cancelModify);
    m_saveNew = new QPushButton(QStringLiteral("新文本另存为"), c.Command5->parentWidget());
    m_saveNew->setObjectName(QStringLiteral("Command10"));
    connect(m_saveNew, &QPushButton::clicked, this, &FunctionTab::saveNewTextClicked);
    c.Label5->installEventFilter(this);
    c.Text4->installEventFilter(this);
    c.Command5->installEventFilter(this);
    placeExtraButtons();
}

FunctionTab::~FunctionTab() {
    cancel();
    // The host may be gone by now (it deletes its windows last); the menu is watched on its own.
    if (popupIsOurs())
        m_popupMenu->setProperty(PopupOwner, QVariant());
}

bool FunctionTab::popupIsOurs() const {
    return m_popupMenu && m_popupMenu->property(PopupOwner).value<QObject *>() == this;
}

bool FunctionTab::eventFilter(QObject *watched, QEvent *event) {
    if ((watched == c.Label5 || watched == c.Text4 || watched == c.Command5) &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeExtraButtons();
    return QObject::eventFilter(watched, event);
}

// The confirm and cancel buttons sit right of "函数内容："; the third save-as right of "另存为", with the
// gap the tab's buttons keep between them.
void FunctionTab::placeExtraButtons() {
    const QRect label = c.Label5->geometry();
    const QRect text4 = c.Text4->geometry();
    const QRect save = c.Command5->geometry();
    const int gap = std::max(2, save.left() - c.Command7->geometry().right() - 1);
    // In the row of the label, above Text4.
    const int top = std::max(0, label.top() - 3);
    const int height = std::max(16, text4.top() - 1 - top);
    m_confirm->setGeometry(label.right() + 1 + gap, top, save.width(), height);
    m_cancel->setGeometry(m_confirm->geometry().right() + 1 + gap, top, save.width(), height);
    m_saveNew->setGeometry(save.right() + 1 + gap, save.top(), save.width() + save.width() / 4, save.height());
}

// ---- Deriving the list --------------------------------------------------------------------------------

void FunctionTab::显示到LV(const QByteArray &combinedUtf8) {
    emptyList(c.ListView1);
    showCount(c.Label2, c.ListView1->topLevelItemCount());
    MListView::ListViewAutoSizeColumns(c.ListView1, MListView::AutoSizeUseHeader);
    // The entries come from the combined text, found in the background (the bytes are copied here and
    // decoded there).
    deriveFromUtf8(combinedUtf8);
}

void FunctionTab::deriveFrom(const QString &text) {
    derive([text] { return text; });
}

void FunctionTab::deriveFromUtf8(const QByteArray &utf8) {
    derive([utf8] { return QString::fromUtf8(utf8); });
}

void FunctionTab::derive(const std::function<QString()> &makeText) {
    cancel();
    cancelModify();
    freeOnPool(std::exchange(m_array, Decompose::FunctionArray()));
    emit arrayReset();
    emit endpointsDerived({});
    auto stop = std::make_shared<std::atomic_bool>(false);
    m_stop = stop;
    m_running = new QFutureWatcher<std::shared_ptr<Derived>>(this);
    auto *watcher = m_running;
    // The script list names the header lines exactly, also once the normaliser has moved them.
    const QStringList entries = c.entries ? c.entries() : QStringList();
    const QUrl page = c.page ? c.page() : QUrl();
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, stop] {
        watcher->deleteLater();
        if (m_running != watcher)
            return;
        m_running = nullptr;
        m_stop.reset();
        if (stop->load())
            return;
        std::shared_ptr<Derived> derived = watcher->future().takeResult();
        applyDerived(*derived);
        freeOnPool(std::move(derived));
    });
    watcher->setFuture(QtConcurrent::run([makeText, entries, page, stop] {
        auto d = std::make_shared<Derived>();
        d->text = makeText();
        const QString &text = d->text;
        for (const ScriptBlock &b : ScriptBlocksOf(text, HeadersOfListEntries(entries)))
            d->blocks.push_back(Block{b.number, Range{b.bodyStart, b.bodyEnd}});
        // One parse and walk of each block gives the list and the addresses.
        Decomposition found = decompose(text, d->blocks, page, stop.get());
        d->functions = std::move(found.functions);
        d->endpoints = std::move(found.endpoints);
        if (stop->load())
            return d;
        d->items.reserve(d->functions.size());
        for (int i = 0; i < d->functions.size(); ++i)
            d->items.push_back(entryFor(d->functions.at(i), i));
        return d;
    }));
}

void FunctionTab::cancel() {
    if (!m_running)
        return;
    m_stop->store(true);
    // The work ends at the next block; waiting keeps no task running past its window.
    QFutureWatcher<std::shared_ptr<Derived>> *watcher = m_running;
    m_running = nullptr;
    m_stop.reset();
    watcher->waitForFinished();
    watcher->deleteLater();
}

void FunctionTab::applyDerived(Derived &derived) {
    m_array.reset(derived.text, derived.blocks, derived.functions);
    emit arrayReset();
    ListView *list = c.ListView1;
    emptyList(list);
    list->addTopLevelItems(derived.items);
    derived.items.clear(); // the list owns them now
    showCount(c.Label2, list->topLevelItemCount());
    MListView::ListViewAutoSizeColumns(list, MListView::AutoSizeUseHeader);
    c.Text4->clear();
    emit listFilled();
    emit endpointsDerived(derived.endpoints);
}

void FunctionTab::fillList(int selectIndex) {
    ListView *list = c.ListView1;
    QList<QTreeWidgetItem *> items;
    items.reserve(m_array.functions().size());
    for (int i = 0; i < m_array.functions().size(); ++i)
        items.push_back(entryFor(m_array.functions().at(i), i));
    {
        const QSignalBlocker quiet(list);
        emptyList(list);
        list->addTopLevelItems(items);
    }
    showCount(c.Label2, list->topLevelItemCount());
    MListView::ListViewAutoSizeColumns(list, MListView::AutoSizeUseHeader);
    if (selectIndex >= list->topLevelItemCount())
        selectIndex = list->topLevelItemCount() - 1;
    if (selectIndex >= 0) {
        QTreeWidgetItem *item = list->topLevelItem(selectIndex);
        list->setCurrentItem(item);
        list->scrollToItem(item);
    }
    showSelected();
    emit listFilled();
}

// ---- Using the list -------------------------------------------------------------------------------------

bool FunctionTab::判断LV1有相同项(const QString &name) const {
    const QString wanted = name.toLower();
    int matches = 0;
    for (int i = 0; i < c.ListView1->topLevelItemCount(); ++i) {
        if (c.ListView1->topLevelItem(i)->text(0).toLower() == wanted && ++matches == 2)
            return true;
    }
    return false;
}

// The host's popup menu, shared by every analysis window: its entries enabled for this list, and marked
// as this tab's so that only this tab acts on them.
void FunctionTab::onRightButton(const QPoint &globalPos) {
    if (!m_host)
        return;
    const ListPopupMenu popup = m_host->listPopupMenu();
    const QList<QTreeWidgetItem *> selected = c.ListView1->selectedItems();
    auto enable = [](QAction *action, bool on) {
        if (action)
            action->setEnabled(on);
    };
    enable(popup.remove, !selected.isEmpty());
    enable(popup.modify, !selected.isEmpty());
    enable(popup.mergeSame, !selected.isEmpty() && 判断LV1有相同项(selected.first()->text(0)));
    if (m_popupMenu)
        m_popupMenu->setProperty(PopupOwner, QVariant::fromValue<QObject *>(this));
    if (popup.menu)
        popup.menu->popup(globalPos); // not exec(): no nested event loop
}

int FunctionTab::selectedIndex() const {
    const QList<QTreeWidgetItem *> selected = c.ListView1->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->data(0, IndexRole).toInt();
}

void FunctionTab::showSelected() {
    if (isModifying())
        cancelModify();
    const int index = selectedIndex();
    if (index < 0 || index >= m_array.functions().size()) {
        c.Text4->clear();
        return;
    }
    c.Text4->setPlainText(m_array.functionText(index));
    const Range loaded = m_array.rangeInLoadedText(m_array.functions().at(index).text);
    emit functionChosen(int(loaded.start), int(loaded.length()));
}

void FunctionTab::modify() {
    const int index = selectedIndex();
    if (index < 0)
        return;
    m_modifying = index;
    c.Text4->setReadOnly(false);
    m_confirm->show();
    m_cancel->show();
    c.ListView1->setEnabled(false);
    c.Text4->setFocus();
}

void FunctionTab::cancelModify() {
    if (!isModifying())
        return;
    const int index = m_modifying;
    m_modifying = -1;
    m_confirm->hide();
    m_cancel->hide();
    c.Text4->setReadOnly(true);
    c.ListView1->setEnabled(true);
    c.Text4->setPlainText(m_array.functionText(index));
}

void FunctionTab::confirmModify() {
    if (!isModifying())
        return;
    const int index = m_modifying;
    // The box shows lines; they go back with the breaks of the function they replace (CR LF unless it
    // had bare LF ones).
    QString replacement = c.Text4->toPlainText();
    const QString original = m_array.functionText(index);
    if (original.contains(QStringLiteral("\r\n")) || !original.contains(QLatin1Char('\n')))
        replacement.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const FunctionArray::Outcome outcome = m_array.replaceText(index, replacement);
    if (outcome == FunctionArray::Outcome::AddsSyntaxErrors) {
        // Still editing: the text typed is kept for another try.
        Dialogs::current().message(c.window, QStringLiteral("修改后的函数有语法错误，未作修改。"),
                                   Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    m_modifying = -1;
    m_confirm->hide();
    m_cancel->hide();
    c.Text4->setReadOnly(true);
    c.ListView1->setEnabled(true);
    afterChange(outcome, index);
}

void FunctionTab::mergeSame() {
    const int index = selectedIndex();
    if (index < 0)
        return;
    const QString name = m_array.functions().at(index).name.toLower();
    int kept = index;
    for (int i = 0; i < m_array.functions().size(); ++i) {
        if (m_array.functions().at(i).name.toLower() == name)
            kept = i;
    }
    // The entry that stays is the one selected afterwards; it moves up by the entries dropped before it.
    const qsizetype before = m_array.functions().size();
    const FunctionArray::Outcome outcome = m_array.mergeSame(index);
    afterChange(outcome, int(kept - (before - m_array.functions().size())));
}

void FunctionTab::remove() {
    const int index = selectedIndex();
    if (index < 0)
        return;
    afterChange(m_array.drop(index), index);
}

void FunctionTab::undo() {
    if (isModifying() || !m_array.undo())
        return;
    fillList(selectedIndex());
}

void FunctionTab::afterChange(FunctionArray::Outcome outcome, int nearIndex) {
    switch (outcome) {
    case FunctionArray::Outcome::Changed:
        fillList(nearIndex);
        break;
    case FunctionArray::Outcome::AddsSyntaxErrors:
        Dialogs::current().message(c.window, QStringLiteral("这样改动会使脚本出现语法错误，未作改动。"),
                                   Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        break;
    case FunctionArray::Outcome::Unchanged:
    case FunctionArray::Outcome::NoSuchFunction:
        showSelected();
        break;
    }
}
