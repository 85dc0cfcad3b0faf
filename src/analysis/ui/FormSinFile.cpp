#include "analysis/ui/FormSinFile.h"

#include "analysis/LoadTexts.h"
#include "analysis/ScriptBlocks.h"
#include "analysis/SourceLoader.h"
#include "analysis/ui/AnalysisHost.h"
#include "analysis/ui/CloseQuestion.h"
#include "analysis/ui/ControlPlacement.h"
#include "analysis/ui/FunctionTab.h"
#include "analysis/ui/LoadStopCommand.h"
#include "analysis/ui/LogoImage.h"
#include "analysis/ui/MListView.h"
#include "analysis/SourceMapSink.h"
#include "analysis/ui/WindowSink.h"
#include "platform/page/PageEngine.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/TextPane.h"
#include "workbench/ui/WorkbenchTools.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>

using namespace WindowLayout;

namespace {

const QString DoneText = QStringLiteral("分析所有JS文件完成。");

} // namespace

FormSinFile::FormSinFile(AnalysisHost *host, QWidget *parent) : QWidget(parent), m_host(host) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Holds the focus while its controls are disabled, so the focus does not wander to another child
    // window and bring that one to the front.
    setFocusPolicy(Qt::ClickFocus);
    buildControls();
    createTools();
    m_geometry = designGeometry();
    // The design size of the window: the top strip's right edge and the tab control's bottom, with a margin.
    resize(sizeHint());
    placeControls();
    createFunctionTab();
    m_closeQuestion = new CloseQuestion(this);
    m_closeQuestion->watch(m_tools);
    m_closeQuestion->watch(m_functions);

    Web1 = createDefaultPageEngine(this);
    m_sink = std::make_unique<WindowSink>(Combo1, RtbOld);
    createSourceMapTab();
    createLoader();
    m_stopCommand = new LoadStopCommand(this, [this] { 停止载入(); });
    createEndpointsTab();
}

QSize FormSinFile::sizeHint() const {
    // The top strip's right edge and the tab control's bottom, with a margin.
    return QSize(twipsToPixels(13230, logicalDpiX()), twipsToPixels(8130, logicalDpiY()));
}

FormSinFile::~FormSinFile() {
    // Stop before the controls go: the loader writes into Combo1 and RtbOld, a download into RtbDown.
    stopLoad();
    delete m_loader;
    m_loader = nullptr;
    delete m_tools;
    m_tools = nullptr;
    delete m_functions;
    m_functions = nullptr;
}

// Pushes the geometry (twips) to the widgets. Tab controls are placed relative to the tab control, so
// the page's own offset inside it (below the tab bar) is taken off; nothing goes above the page's top.
void FormSinFile::placeControls() {
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    QWidget *page = SSTab1->currentWidget();
    const QPoint offset = page && page->isVisible() ? page->mapTo(SSTab1, QPoint(0, 0)) : QPoint(0, 0);
    for (const DesignEntry &e : Design) {
        const Rect &r = m_geometry[e.control];
        QRect px(twipsToPixels(r.left, dpiX), twipsToPixels(r.top, dpiY), twipsToPixels(r.width, dpiX),
                 twipsToPixels(r.height, dpiY));
        if (e.tab != WindowArea)
            px.moveTo(std::max(0, px.x() - offset.x()), std::max(0, px.y() - offset.y()));
        QWidget *w = m_controls[e.control];
        px = roomForCaption(w, px);
        if (w->geometry() != px)
            w->setGeometry(px);
    }
    placeSourceMapTab(offset);
    placeEndpointsTab(offset);
}

QWidget *FormSinFile::outerWindow() const {
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return frame;
    return window();
}

void FormSinFile::applyResizeRules() {
    if (!m_loadStarted)
        return; // the first rules run once the caption height is known
    QWidget *frame = outerWindow();
    const QSize outer = frame->isWindow() ? frame->frameGeometry().size() : frame->size();
    WindowState state;
    state.minimised = frame->isMinimized();
    state.width = pixelsToTwips(outer.width(), logicalDpiX());
    state.height = pixelsToTwips(outer.height(), logicalDpiY());
    if (WindowLayout::resize(m_geometry, state, CaptionHeight, SSTab1->currentIndex()))
        placeControls();
}

void FormSinFile::调整窗口() {
    fitVisibleTab(m_geometry, SSTab1->currentIndex());
    placeControls();
}

void FormSinFile::onTabChanged(int index) {
    调整窗口();
    if (index == 2)
        数组2文本();
}

void FormSinFile::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()); frame && m_watchedFrame != frame) {
        frame->installEventFilter(this);
        m_watchedFrame = frame;
    }
    if (!m_loadStarted)
        startLoad();
    else
        placeControls();
}

void FormSinFile::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    m_body->setGeometry(rect());
    applyResizeRules();
}

void FormSinFile::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        applyResizeRules();
}

bool FormSinFile::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_watchedFrame && event->type() == QEvent::WindowStateChange) {
        // The frame's state changes after this event; look once it has.
        QTimer::singleShot(0, this, &FormSinFile::applyResizeRules);
    } else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                event->type() == QEvent::LayoutRequest) && // a caption's new text may need more room
               watched == SSTab1->currentWidget()) {
        placeControls();
    }
    return QWidget::eventFilter(watched, event);
}

void FormSinFile::closeEvent(QCloseEvent *event) {
    if (!m_closeQuestion->allowsClose()) {
        event->ignore();
        return;
    }
    m_functions->cancel(); // a closed window takes no late list
    stopLoad();
    if (m_tools && (m_tools->isDownloading() || m_tools->isReloading())) {
        // Deleting the tools stops the transfer or the read; fresh ones keep the window usable should it
        // be shown again.
        delete m_tools;
        createTools();
        m_tools->scriptSelected();
    }
    QWidget::closeEvent(event);
}

QStringList FormSinFile::headerTexts() const {
    return HeadersOfListEntries(m_sink->entries());
}

void FormSinFile::textReplaced() {
    const QList<int> lines = HeaderLinesOf(RtbOld->text(), headerTexts());
    // A script file read again holds its one script alone, from its first line.
    if (lines.isEmpty() && document().kind == SourceKind::ScriptFile)
        RtbOld->setBlocks({0}, false);
    else
        RtbOld->setBlocks(lines, true);
    listFunctions();
}

void FormSinFile::showScript(int index) {
    const QList<int> blocks = RtbOld->blockLines();
    if (index >= 0 && index < blocks.size())
        RtbOld->scrollToLine(blocks[index]);
}

// ---- Function list -------------------------------------------------------------------------------------

void FormSinFile::listFunctions() {
    m_functions->显示到LV(RtbOld->utf8Text());
}

void FormSinFile::数组2文本() {
    RtbNew->setText(QString());
    RtbNew->setFontPointSize(11);
    RtbNew->hide();
    RtbNew->setEnabled(false);
    RtbNew->setSelection(1, 0);
    RtbNew->show();
    RtbNew->setEnabled(true);
    // Then the combined text with the function array's changes.
    const QString text = m_functions->newText();
    RtbNew->setText(text);
    // Header lines look as in 原全部函数, whatever their addresses hold.
    RtbNew->setBlocks(HeaderLinesOf(text, headerTexts()), true);
    RtbNew->setSelection(0, 0);
}

// ---- Load sequence --------------------------------------------------------------------------------------

void FormSinFile::停止载入() {
    if (m_loading)
        m_loader->stop();
}

void FormSinFile::setPageEngine(PageEngine *engine) {
    if (m_loadStarted || !engine)
        return;
    const SourceDocument source = m_loader->document(); // what the opener named
    delete m_loader;
    if (Web1 && Web1->parent() == this)
        delete Web1;
    Web1 = engine;
    createLoader();
    m_loader->document() = source;
}

void FormSinFile::setSource(SourceKind kind, const QString &path, const QString &name) {
    if (!m_loadStarted)
        m_loader->document().beginLoad(kind, path, name);
}

const SourceDocument &FormSinFile::document() const {
    return m_loader->document();
}

void FormSinFile::createLoader() {
    m_loader = new SourceLoader(Web1, m_mapSink.get(), this);
    connect(m_loader, &SourceLoader::loadStarting, this, &FormSinFile::showSource);
    connect(m_loader, &SourceLoader::finished, this, &FormSinFile::finishLoad);
    connect(m_loader, &SourceLoader::progress, this, [this](int obtained, int total) {
        if (m_host && total > 0) // a page without scripts has nothing to count
            m_host->setStatusText(LoadTexts::Progress(obtained, total));
    });
    connect(m_loader, &SourceLoader::pageLoading, this, [this](int seen) {
        if (m_host)
            m_host->setStatusText(LoadTexts::PageLoading(seen));
    });
}

void FormSinFile::startLoad() {
    m_loadStarted = true;
    m_loading = true;
    m_stopCommand->setActive(true);
    setFocus();
    m_body->setEnabled(false);
    m_sink->setWriteHeaders(!(m_host && m_host->hideNumbering()));

    // 1. Caption height: the style's title bar height in pixels, in twips.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    CaptionHeight = pixelsToTwips(titleBar, logicalDpiY());
    applyResizeRules();

    // 2.-5. The loader: silent engine, blank page, the source by kind; the window follows its signals.
    m_loader->start();
}

void FormSinFile::showSource(SourceKind kind) {
    // 4. Caption, Text1, buttons; the loader runs when this returns.
    const SourceDocument &source = document();
    switch (kind) {
    case SourceKind::ScriptFile:
        setWindowTitle(QStringLiteral("分析单个JS文件:") + source.name);
        Text1->setText(source.path); // from here on the user's: "保存" writes where it names
        break;
    case SourceKind::PageFile:
    case SourceKind::PageAddress:
        setWindowTitle(kind == SourceKind::PageFile ? QStringLiteral("分析本地JS网页文件")
                                                    : QStringLiteral("分析在线JS网页文件:") + source.name);
        Text1->setText(source.path);
        Command1->setEnabled(false);
        Command7->setEnabled(false);
        break;
    case SourceKind::None:
        break;
    }
}

void FormSinFile::finishLoad() {
    if (!m_loading)
        return;
    m_loading = false;
    m_loaded = true;
    m_stopCommand->setActive(false);
    const bool stopped = m_loader->wasStopped();
    RtbOld->setBlocks(m_sink->blockLines(), m_sink->writesHeaders());
    const bool loadsSomething = document().kind != SourceKind::None;
    if (loadsSomething)
        listFunctions();
    // 5. For every kind, after the loader.
    if (m_host)
        m_host->setStatusText(stopped ? LoadTexts::Stopped : DoneText);
    m_body->setEnabled(true);
    if (loadsSomething)
        reportFailures(m_loader->pageFailure(), m_loader->failures());
    emit loadFinished();
}

void FormSinFile::stopLoad() {
    if (m_loader)
        m_loader->abort();
    if (m_loading && Web1)
        Web1->stop();
    m_loading = false;
    if (m_stopCommand)
        m_stopCommand->setActive(false);
}

void FormSinFile::reportFailures(const QString &pageFailure, const QList<ScriptFailure> &failures) {
    QStringList lines;
    if (!pageFailure.isEmpty())
        lines << pageFailure;
    if (!failures.isEmpty())
        lines << QStringLiteral("以下脚本未能取得，其内容为空：");
    for (const ScriptFailure &f : failures)
        lines << QStringLiteral("网址%1：%2（%3）").arg(f.index).arg(f.address, f.reason);
    if (lines.isEmpty())
        return;
    Dialogs::current().message(this, lines.join(QStringLiteral("\r\n")), Dialogs::Icon::Critical,
                               Dialogs::Buttons::Ok);
}
