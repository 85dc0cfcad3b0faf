#include "analysis/ui/FormSinFile.h"

#include "analysis/LoadTexts.h"
#include "analysis/ScriptBlocks.h"
#include "analysis/ScriptCollection.h"
#include "analysis/SourceLoader.h"
#include "analysis/ui/AnalysisHost.h"
#include "analysis/ui/CloseQuestion.h"
#include "analysis/ui/FunctionTab.h"
#include "analysis/ui/LoadStopCommand.h"
#include "analysis/ui/LogoImage.h"
#include "analysis/ui/MListView.h"
#include "analysis/SourceMapSink.h"
#include "analysis/ui/WindowSink.h"
#include "platform/page/PageEngine.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TextPane.h"
#include "util/AppInfo.h"
#include "util/Shell.h"
#include "workbench/ui/WorkbenchControls.h"
#include "workbench/ui/WorkbenchTools.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>

#include <cmath>

using namespace WindowLayout;

namespace {

const QString DoneText = QStringLiteral("分析所有JS文件完成。");

// A caption is never cut: a label's or check box's box grows to the right, and equally up and down, to
// what its text needs. Its place in the layout rules stays the design's.
QRect roomForCaption(QWidget *w, QRect box) {
    auto *label = qobject_cast<QLabel *>(w);
    if (!(label && !label->text().isEmpty()) && !qobject_cast<QCheckBox *>(w))
        return box;
    const QSize needed = w->sizeHint();
    box.setWidth(std::max(box.width(), needed.width()));
    const int extra = needed.height() - box.height();
    if (extra > 0) {
        const int up = std::min(extra / 2, box.top());
        box.adjust(0, -up, 0, extra - up);
    }
    return box;
}

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
    m_functions = new FunctionTab(this, m_host);
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

void FormSinFile::createTools() {
    WorkbenchControls c;
    c.window = this;
    c.RtbOld = RtbOld;
    c.RtbNew = RtbNew;
    c.RtbDown = RtbDown;
    c.Text1 = Text1;
    c.Text2 = Text2;
    c.Text3 = Text3;
    c.Text5 = Text5;
    c.Combo1 = Combo1;
    c.Command1 = Command1;
    c.Command2 = Command2;
    c.Command3 = Command3;
    c.Command4 = Command4;
    c.Command5 = Command5;
    c.Command6 = Command6;
    c.Command7 = Command7;
    c.Command8 = Command8;
    c.Command9 = Command9;
    c.Check1 = Check1;
    c.Check2 = Check2;
    c.sourcePath = [this] { return 文件路径; };
    c.sourceEncoding = [this] { return m_loader ? m_loader->document().encoding : std::nullopt; };
    c.sourceReloaded = [this](const TextCodec::Encoding &readAs) {
        if (m_loader)
            m_loader->document().reloaded(readAs);
    };
    m_tools = new WorkbenchTools(c, this);
    connect(m_tools, &WorkbenchTools::reloadFinished, this, &FormSinFile::textReplaced);
    // 规范化 has marked the blocks where they now stand (also without header lines); the functions
    // are found again.
    connect(m_tools, &WorkbenchTools::normalised, this, [this] { 显示到LV(); });
    if (m_closeQuestion)
        m_closeQuestion->watch(m_tools); // tools made again after a close
}

void FormSinFile::buildControls() {
    auto button = [](QWidget *parent, const QString &caption) { return new QPushButton(caption, parent); };
    auto label = [](QWidget *parent, const QString &caption) { return new QLabel(caption, parent); };
    auto check = [](QWidget *parent) { return new QCheckBox(QStringLiteral("自动换行"), parent); };

    m_body = new QWidget(this);
    // Above the body, which covers the whole window, so the logo gets its clicks and its tooltip.
    Image1 = new LogoImage(this);
    connect(Image1, &LogoImage::clicked, this, [] { Shell::openUrl(AppInfo::SupportPageUrl); });
    Label1 = label(m_body, QStringLiteral("文件或网址:"));
    Text1 = new QLineEdit(m_body);
    Label4 = label(m_body, QStringLiteral("多个文件或网页JS:"));
    Combo1 = new QComboBox(m_body);
    Combo1->setEditable(false);
    Command4 = button(m_body, QStringLiteral("下载查看"));
    SSTab1 = new QTabWidget(m_body);
    const QStringList tabs = {QStringLiteral("原全部函数"), QStringLiteral("分解函数"),
                              QStringLiteral("新全部函数"), QStringLiteral("下载查看保存")};
    for (int i = 0; i < 4; ++i) {
        m_pages[i] = new QWidget;
        SSTab1->addTab(m_pages[i], tabs[i]);
        m_pages[i]->installEventFilter(this);
    }

    QWidget *p = m_pages[0];
    Command1 = button(p, QStringLiteral("重新打开"));
    Check1 = check(p);
    Command2 = button(p, QStringLiteral("调整行间距"));
    Command3 = button(p, QStringLiteral("规范化"));
    Text3 = new QLineEdit(p);
    Command6 = button(p, QStringLiteral("查找"));
    RtbOld = new TextPane(p);

    p = m_pages[1];
    Label2 = label(p, QStringLiteral("函数数：0"));
    ListView1 = new ListView(p);
    ListView1->setHeaderLabels({QStringLiteral("函数名称")});
    ListView1->setFont(TextPane::defaultFont());
    Label5 = label(p, QStringLiteral("函数内容："));
    Text4 = new QPlainTextEdit(p);
    Text4->setFont(TextPane::defaultFont());

    p = m_pages[2];
    Check2 = check(p);
    Text2 = new QLineEdit(p);
    Command9 = button(p, QStringLiteral("查找"));
    Command7 = button(p, QStringLiteral("保存"));
    Command5 = button(p, QStringLiteral("另存为"));
    RtbNew = new TextPane(p);

    p = m_pages[3];
    Label3 = label(p, QStringLiteral("网址："));
    Text5 = new QLineEdit(p);
    Command8 = button(p, QStringLiteral("另存为..."));
    RtbDown = new TextPane(p);

    RtbTmp = new TextPane(this);
    RtbTmp->hide();

    m_controls = {Image1,   Label1,    Text1,    Label4,   Combo1, Command4, SSTab1,
                  Command1, Check1,    Command2, Command3, Text3,  Command6, RtbOld,
                  Label2,   ListView1, Label5,   Text4,    Check2, Text2,    Command9,
                  Command7, Command5,  RtbNew,   Label3,   Text5,  Command8, RtbDown};

    connect(SSTab1, &QTabWidget::currentChanged, this, &FormSinFile::onTabChanged);
    // Besides what the selection does for the download button, the pane goes to the script.
    connect(Combo1, &QComboBox::currentIndexChanged, this, &FormSinFile::showScript);
    connect(Combo1, &QComboBox::activated, this, &FormSinFile::showScript);
    connect(ListView1, &ListView::rightButtonPressed, this, &FormSinFile::onListRightButton);
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
    QStringList headers;
    for (int i = 0; i < Combo1->count(); ++i)
        headers << HeaderOfListEntry(i, Combo1->itemText(i));
    return headers;
}

void FormSinFile::textReplaced() {
    const QList<int> lines = HeaderLinesOf(RtbOld->text(), headerTexts());
    // A script file read again holds its one script alone, from its first line.
    if (lines.isEmpty() && 处理单个文件 == 1)
        RtbOld->setBlocks({0}, false);
    else
        RtbOld->setBlocks(lines, true);
    显示到LV();
}

void FormSinFile::showScript(int index) {
    const QList<int> blocks = RtbOld->blockLines();
    if (index >= 0 && index < blocks.size())
        RtbOld->scrollToLine(blocks[index]);
}

// ---- Function list -------------------------------------------------------------------------------------

void FormSinFile::显示到LV() {
    ListView1->clear();
    Label2->setText(QStringLiteral("函数种类数：") + QString::number(ListView1->topLevelItemCount()));
    MListView::ListViewAutoSizeColumns(ListView1, MListView::AutoSizeUseHeader);
    // The entries come from the combined text, found in the background (the bytes are copied here and
    // decoded there).
    m_functions->deriveFromUtf8(RtbOld->utf8Text());
}

bool FormSinFile::判断LV1有相同项(const QString &name) const {
    const QString wanted = name.toLower();
    int matches = 0;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (ListView1->topLevelItem(i)->text(0).toLower() == wanted && ++matches == 2)
            return true;
    }
    return false;
}

void FormSinFile::onListRightButton(const QPoint &globalPos) {
    if (!m_host)
        return;
    const ListPopupMenu popup = m_host->listPopupMenu();
    const QList<QTreeWidgetItem *> selected = ListView1->selectedItems();
    auto enable = [](QAction *action, bool on) {
        if (action)
            action->setEnabled(on);
    };
    if (selected.isEmpty()) {
        enable(popup.mergeSame, false);
        enable(popup.remove, false);
        enable(popup.modify, false);
    } else {
        enable(popup.remove, true);
        enable(popup.modify, true);
        enable(popup.mergeSame, 判断LV1有相同项(selected.first()->text(0)));
    }
    if (popup.menu)
        popup.menu->popup(globalPos); // not exec(): no nested event loop
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
    delete m_loader;
    if (Web1 && Web1->parent() == this)
        delete Web1;
    Web1 = engine;
    createLoader();
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
    m_loader->start(处理单个文件, 文件路径);
}

void FormSinFile::showSource(short kind) {
    // 4. Caption, Text1, buttons; the loader runs when this returns.
    switch (kind) {
    case 1:
        setWindowTitle(QStringLiteral("分析单个JS文件:") + 文件名);
        Text1->setText(文件路径);
        break;
    case 2:
    case 3:
        setWindowTitle(kind == 2 ? QStringLiteral("分析本地JS网页文件") : QStringLiteral("分析在线JS网页文件:") + 文件名);
        Text1->setText(文件路径);
        Command1->setEnabled(false);
        Command7->setEnabled(false);
        break;
    default:
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
    if (处理单个文件 >= 1 && 处理单个文件 <= 3)
        显示到LV();
    if (处理单个文件 == 1 && m_tools) {
        // The header the collection wrote above the file, so that "保存" writes the file's own text.
        ScriptElement element;
        element.src = 文件路径;
        m_tools->setSourceHeader(planScript(0, element, pageAddressOf(QStringLiteral("about:blank"))).header);
    }
    // 5. For every kind, after the loader.
    if (m_host)
        m_host->setStatusText(stopped ? LoadTexts::Stopped : DoneText);
    m_body->setEnabled(true);
    if (处理单个文件 >= 1 && 处理单个文件 <= 3)
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
