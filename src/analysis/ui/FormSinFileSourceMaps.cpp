// The analysis window's tab "源映射" and "转到原始源码": built beside the window's own controls.

#include "analysis/SourceDocument.h"
#include "analysis/SourceLoader.h"
#include "analysis/SourceMapCollector.h"
#include "analysis/SourceMapSink.h"
#include "analysis/ui/AnalysisHost.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/GoToOriginal.h"
#include "analysis/ui/SourceMapTab.h"
#include "analysis/ui/WindowSink.h"

#include <QTabWidget>

void FormSinFile::createSourceMapTab() {
    m_sourceMaps = new SourceMapCollector(this);
    m_mapSink = std::make_unique<SourceMapSink>(m_sink.get(), m_sourceMaps);
    auto *page = new QWidget;
    SSTab1->insertTab(SourceMapTabIndex, page, QStringLiteral("源映射"));
    page->installEventFilter(this);
    m_sourceMapTab = new SourceMapTab(page, this, m_sourceMaps);

    GoToOriginal::Hooks hooks;
    hooks.blocks = [this](QStringView text) {
        QList<ScriptBlock> blocks = m_loader->document().blocksOf(text);
        // Without header lines ("不显示编号") the blocks are where the collection put them: the map's
        // check of the script's text tells whether they still are.
        if (blocks.isEmpty() && !m_loader->document().wholeFile)
            blocks = m_loader->document().collectedBlocks;
        return blocks;
    };
    hooks.openTab = [this] { SSTab1->setCurrentIndex(SourceMapTabIndex); };
    hooks.status = [this](const QString &text) {
        if (m_host)
            m_host->setStatusText(text);
    };
    m_goToOriginal = new GoToOriginal(RtbOld, m_sourceMapTab, m_sourceMaps, hooks);
}

void FormSinFile::placeSourceMapTab(const QPoint &pageOffset) {
    if (m_sourceMapTab && SSTab1->currentIndex() == SourceMapTabIndex)
        m_sourceMapTab->place(m_geometry[WindowLayout::SSTab1], pageOffset, logicalDpiX(), logicalDpiY());
}
