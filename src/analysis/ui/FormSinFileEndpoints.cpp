// The analysis window's tab "网址调用": built beside the window's own controls, filled by the function
// list's derivation.

#include "analysis/ui/EndpointsTab.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/FunctionTab.h"
#include "analysis/ui/GoToOriginal.h"
#include "platform/ui/TextPane.h"

#include <Qsci/qsciscintilla.h>

#include <QTabWidget>

namespace {

// Selects line `line` (1-based) of the pane, its caret at the line's start, and scrolls so that the
// finding at `offset` shows too when it is on that line (a minified script is one long line).
void selectFindingLine(TextPane *pane, int line, qsizetype offset) {
    QsciScintilla *e = pane->editor();
    const long count = e->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    if (line < 1 || line > count)
        return;
    const unsigned long index = static_cast<unsigned long>(line - 1);
    e->SendScintilla(QsciScintillaBase::SCI_ENSUREVISIBLE, index); // unfolds its script
    const long start = e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, index);
    const long end = e->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, index);
    pane->setSelection(int(std::min<qsizetype>(offset, INT_MAX)), 0);
    long at = e->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    if (at < start || at > end) // the text has changed since the findings were made
        at = start;
    e->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(end), start);
    e->SendScintilla(QsciScintillaBase::SCI_SCROLLRANGE, static_cast<unsigned long>(start), at);
}

} // namespace

void FormSinFile::createEndpointsTab() {
    auto *page = new QWidget;
    SSTab1->addTab(page, QStringLiteral("网址调用"));
    page->installEventFilter(this);
    EndpointsTab::Hooks hooks;
    hooks.goToLine = [this](const Decompose::Endpoint &e) {
        SSTab1->setCurrentIndex(0);
        selectFindingLine(RtbOld, e.line, e.offset);
        RtbOld->setFocus();
    };
    // A finding in a bundle whose map is in opens its original source in "源映射"; any other shows its line.
    hooks.openOriginal = [this](const Decompose::Endpoint &e) {
        return m_goToOriginal && m_goToOriginal->openAt(e.offset);
    };
    m_endpointsTab = new EndpointsTab(page, this, hooks);
    connect(m_functions, &FunctionTab::endpointsDerived, m_endpointsTab, &EndpointsTab::setEndpoints);
}

void FormSinFile::placeEndpointsTab(const QPoint &pageOffset) {
    if (m_endpointsTab && SSTab1->currentWidget() == m_endpointsTab->parent())
        m_endpointsTab->place(m_geometry[WindowLayout::SSTab1], pageOffset, logicalDpiX(), logicalDpiY());
}
