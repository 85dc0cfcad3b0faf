#include "app/ui/MDIForm1.h"

#include "analysis/SourceDocument.h"
#include "analysis/ui/FormSinFile.h"
#include "app/AppLook.h"
#include "app/LibraryLocation.h"
#include "app/OpenCommands.h"
#include "app/Options.h"
#include "platform/page/PageEngineChoice.h"
#include "app/WindowArrangement.h"
#include "app/ui/WindowMenu.h"
#include "app/ui/fOption.h"
#include "app/ui/frmAbout.h"
#include "library/ModuleDataBase.h"
#include "library/ui/fModel.h"
#include "platform/SettingsStore.h"
#include "platform/ui/Dialogs.h"
#include "util/AppInfo.h"
#include "util/Module1.h"
#include "util/Module1Shell.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStandardPaths>
#include <QStatusBar>

#include <algorithm>
#include <exception>

namespace {

QAction *addCommand(QMenu *menu, const QString &objectName, const QString &caption) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(objectName);
    return action;
}

void addSeparator(QMenu *menu, const QString &objectName) {
    menu->addSeparator()->setObjectName(objectName);
}

QMenu *addSubmenu(QMenuBar *bar, const QString &objectName, const QString &caption) {
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(objectName);
    menu->menuAction()->setObjectName(objectName);
    return menu;
}

// Runs one command; whatever goes wrong inside ends the command without a message.
template <typename F> void quietly(F &&command) {
    try {
        command();
    } catch (const std::exception &) {
    } catch (...) {
    }
}

} // namespace

MDIForm1::Program MDIForm1::RunningProgram() {
    return {QCoreApplication::applicationDirPath(), QCoreApplication::applicationFilePath(), QString()};
}

MDIForm1::MDIForm1(const Program &program, QWidget *parent) : QMainWindow(parent), m_program(program) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowIcon(AppLook::AppIcon());
    setAcceptDrops(true);
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    buildMenus();
    buildStatusBar();
    startUp();
    setWindowState(windowState() | Qt::WindowMaximized);
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::buildMenus() {
    QMenuBar *bar = menuBar();

    QMenu *file = addSubmenu(bar, QStringLiteral("menu文件"), QStringLiteral("文件(&F)"));
    connect(addCommand(file, QStringLiteral("menu打开JS文件"), QStringLiteral("打开JS文件...")),
            &QAction::triggered, this, [this] { 打开JS文件(); });
    connect(addCommand(file, QStringLiteral("menu打开网页文件"), QStringLiteral("打开网页文件...")),
            &QAction::triggered, this, [this] { 打开网页文件(); });
    connect(addCommand(file, QStringLiteral("menu打开网址"), QStringLiteral("打开网址...")),
            &QAction::triggered, this, [this] { 打开网址(); });
    addSeparator(file, QStringLiteral("tre3466"));
    connect(addCommand(file, QStringLiteral("menu退出"), QStringLiteral("退出")), &QAction::triggered, this,
            [this] { close(); });

    QAction *library = bar->addAction(QStringLiteral("库存JS函数样板(&M)"));
    library->setObjectName(QStringLiteral("menu库存JS函数样板"));
    connect(library, &QAction::triggered, this, [this] { 库存JS函数样板(); });

    QMenu *tools = addSubmenu(bar, QStringLiteral("menu工具"), QStringLiteral("工具(&T)"));
    connect(addCommand(tools, QStringLiteral("menu选项"), QStringLiteral("选项")), &QAction::triggered, this,
            [this] { 选项(); });

    QMenu *window = addSubmenu(bar, QStringLiteral("menu窗口"), QStringLiteral("窗口(&W)"));
    const QString arrangeNames[] = {QStringLiteral("menu层叠排列"), QStringLiteral("menu水平平铺"),
                                    QStringLiteral("menu垂直平铺"), QStringLiteral("menu重排最小化图标")};
    const QString arrangeCaptions[] = {QStringLiteral("层叠排列"), QStringLiteral("水平平铺"),
                                       QStringLiteral("垂直平铺"), QStringLiteral("重排最小化图标")};
    for (int mode = 0; mode < 4; ++mode)
        connect(addCommand(window, arrangeNames[mode], arrangeCaptions[mode]), &QAction::triggered, this,
                [this, mode] { Arrange(mode); });
    addSeparator(window, QStringLiteral("iouyoi987"));
    connect(addCommand(window, QStringLiteral("menu最小化所有子窗口"), QStringLiteral("最小化所有子窗口")),
            &QAction::triggered, this, [this] { 最小化所有子窗口(); });
    connect(addCommand(window, QStringLiteral("menu关闭所有子窗口"), QStringLiteral("关闭所有子窗口")),
            &QAction::triggered, this, [this] { 关闭所有子窗口(); });
    m_windowMenu = new WindowMenu(window, m_mdiArea);

    QMenu *help = addSubmenu(bar, QStringLiteral("menu帮助"), QStringLiteral("帮助(&H)"));
    connect(addCommand(help, QStringLiteral("menu关于"), QStringLiteral("关于")), &QAction::triggered, this,
            [this] { 关于(); });
    connect(addCommand(help, QStringLiteral("menu定制软件"), QStringLiteral("定制软件")), &QAction::triggered,
            this, [this] { 定制软件(); });

    // The function list's popup menu belongs to the menu structure; the analysis windows show it.
    QMenu *lv1 = addSubmenu(bar, QStringLiteral("menuLV1"), QStringLiteral("LV1"));
    m_listPopup.menu = lv1;
    m_listPopup.modify = addCommand(lv1, QStringLiteral("menuLV1修改"), QStringLiteral("修改"));
    m_listPopup.mergeSame = addCommand(lv1, QStringLiteral("menuLV1合并相同"), QStringLiteral("合并相同"));
    m_listPopup.remove = addCommand(lv1, QStringLiteral("menuLV1删除"), QStringLiteral("删除"));
}

void MDIForm1::buildStatusBar() {
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    m_panel1 = new QLabel(AppInfo::GroupName, bar);
    m_panel1->setFrameShape(QFrame::StyledPanel);
    m_panel1->setMinimumWidth(120);
    m_panel2 = new QLabel(bar);
    m_panel2->setFrameShape(QFrame::StyledPanel);
    bar->addWidget(m_panel1);
    bar->addWidget(m_panel2, 1);
}

void MDIForm1::startUp() {
    m_listPopup.menu->menuAction()->setVisible(false);

    HideNumbering = SettingsStore::LoadHideNumbering();
    UseBrowserEngine = SettingsStore::LoadUseBrowserEngine();
    NormaliseIndents = SettingsStore::LoadNormaliseIndent();

    setWindowTitle(AppInfo::MainCaption());

    const QString dataFolder = m_program.userDataFolder.isEmpty()
                                   ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                                   : m_program.userDataFolder;
    ModuleDataBase::LibraryDbPath = LibraryLocation::Resolve(
        m_program.programFolder, dataFolder, LibraryLocation::InstalledTemplate(m_program.programFolder));
    ModuleDataBase::CompactLibraryDb(ModuleDataBase::LibraryDbPath, ModuleDataBase::LibraryDbPassword);

    Module1::LookUpProgramsFolder();
    if (!Module1::ProgramsFolder.endsWith(QLatin1Char('/')))
        Module1::ProgramsFolder += QLatin1Char('/');
    // The applications folder of a new user may be missing; it is made as it is named (hidden levels keep
    // their dot), so that only the group level goes through the name cleaning below.
    QDir().mkpath(Module1::ProgramsFolder);
    QString groupFolder =
        Module1::CreateFolderPath(Module1::ProgramsFolder + AppInfo::GroupName + QLatin1Char('/'));
    // Without its group folder the entry would land in the root folder: better none at all.
    if (!groupFolder.isEmpty())
        Module1::CreateProgramShortcut(AppInfo::Title, AppInfo::ShortcutDescription, m_program.programPath,
                                       groupFolder, AppLook::DesktopIcon(m_program.programFolder));
}

void MDIForm1::setStatusText(const QString &text) {
    m_panel2->setText(text);
    emit statusTextChanged(text);
}

QString MDIForm1::statusText() const {
    return m_panel2->text();
}

ListPopupMenu MDIForm1::listPopupMenu() {
    return m_listPopup;
}

bool MDIForm1::hideNumbering() const {
    return HideNumbering != 0;
}

QLabel *MDIForm1::statusPanel(int panel) const {
    return panel == 1 ? m_panel1 : m_panel2;
}

void MDIForm1::提取文件名(const QString &路径, FormSinFile *fr, SourceKind 单多网) {
    // A page file's caption names no file.
    fr->setSource(单多网, 路径,
                  单多网 == SourceKind::PageFile ? QString() : OpenCommands::SourceFileName(路径));
}

bool MDIForm1::查找Form1是打开(const QString &路径, FormSinFile *&fr0) {
    const QString wanted = 路径.toLower();
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto *window = dynamic_cast<FormSinFile *>(sub->widget());
        if (window && window->document().path.toLower() == wanted) {
            fr0 = window;
            return true;
        }
    }
    return false;
}

void MDIForm1::focusWindow(FormSinFile *window) {
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    if (!sub)
        return;
    m_mdiArea->setActiveSubWindow(sub);
    window->setFocus();
    if (!sub->isMaximized())
        sub->showMaximized();
}

void MDIForm1::openSource(const QString &path, const QString &statusText, SourceKind kind) {
    FormSinFile *open = nullptr;
    if (查找Form1是打开(path, open)) {
        focusWindow(open);
        return;
    }
    setStatusText(statusText);
    FormSinFile *window = newAnalysisWindow();
    提取文件名(path, window, kind);
    choosePageEngine(window, kind);
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(window);
    // The analysis window places its controls itself (no layout), so the frame cannot infer its size.
    sub->resize(sub->sizeHint());
    sub->show();
    // In front and active, also when another child is maximised.
    m_mdiArea->setActiveSubWindow(sub);
}

void MDIForm1::openFileSource(const QStringList &filters, const QString &statusText, SourceKind kind) {
    quietly([&] {
        Dialogs::FileRequest request;
        request.filters = filters;
        const QString name = Dialogs::current().openFile(this, request);
        if (name.isEmpty())
            return;
        openSource(name, statusText, kind);
    });
}

void MDIForm1::打开JS文件() {
    openFileSource(OpenCommands::ScriptFilters, OpenCommands::OpeningScriptFile, SourceKind::ScriptFile);
}

void MDIForm1::打开网页文件() {
    openFileSource(OpenCommands::PageFilters, OpenCommands::OpeningPageFile, SourceKind::PageFile);
}

void MDIForm1::打开网址() {
    quietly([&] {
        const QString proposed = OpenCommands::ProposedAddress(Dialogs::current().clipboardText());
        const QString answer =
            Dialogs::current().input(this, OpenCommands::AddressPrompt, AppInfo::Title, proposed).trimmed();
        if (answer.isEmpty())
            return;
        openSource(OpenCommands::CompleteTypedAddress(answer), OpenCommands::OpeningPageAddress,
                   SourceKind::PageAddress);
    });
}

void MDIForm1::库存JS函数样板() {
    // A closed browser leaves the area at once but is deleted later: only one still listed counts.
    if (m_libraryWindow && m_mdiArea->subWindowList().contains(m_libraryWindow.data())) {
        m_mdiArea->setActiveSubWindow(m_libraryWindow);
        if (m_libraryWindow->isMinimized())
            m_libraryWindow->showMaximized();
        return;
    }
    m_libraryWindow = m_mdiArea->addSubWindow(newLibraryBrowser());
    m_libraryWindow->showMaximized();
}

void MDIForm1::选项() {
    fOption::ShowModal(this);
}

void MDIForm1::关于() {
    frmAbout::ShowModal(this);
}

void MDIForm1::定制软件() {
    Module1::OpenInNewBrowserWindow(AppInfo::CustomSoftwareUrl);
}

void MDIForm1::Arrange(int mode) {
    QList<QMdiSubWindow *> normal;
    QList<QMdiSubWindow *> minimised;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isVisible())
            continue;
        (sub->isMinimized() ? minimised : normal).append(sub);
    }
    const QRect area = m_mdiArea->viewport()->rect();
    QSize iconSize;
    for (QMdiSubWindow *sub : minimised)
        iconSize = iconSize.expandedTo(sub->size());

    if (mode == 0) {
        m_mdiArea->cascadeSubWindows();
        return;
    }
    const QList<QPoint> icons = WindowArrangement::IconPositions(area, iconSize, int(minimised.size()));
    for (int i = 0; i < minimised.size(); ++i)
        minimised[i]->move(icons[i]);
    if (mode == 3)
        return;

    const QRect free = WindowArrangement::AreaAboveIcons(area, iconSize, int(minimised.size()));
    const QList<QRect> places = mode == 1 ? WindowArrangement::StackedRows(free, int(normal.size()))
                                          : WindowArrangement::SideBySideColumns(free, int(normal.size()));
    for (int i = 0; i < normal.size(); ++i) {
        if (normal[i]->isMaximized())
            normal[i]->showNormal();
        normal[i]->setGeometry(places[i]);
    }
}

void MDIForm1::最小化所有子窗口() {
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
        quietly([sub] { sub->showMinimized(); });
}

bool MDIForm1::关闭所有子窗口() {
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        bool closed = true;
        quietly([sub, &closed] { closed = sub->close(); });
        if (!closed)
            return false;
    }
    return true;
}

void MDIForm1::closeEvent(QCloseEvent *event) {
    // Each child gets its own closing logic first; one that stays open keeps the program open.
    if (关闭所有子窗口())
        event->accept();
    else
        event->ignore();
}

void MDIForm1::choosePageEngine(FormSinFile *window, SourceKind kind) {
    static bool announced = false;
    const bool wanted = UseBrowserEngine && isPage(kind);
    const QString problem = wanted ? PageEngineChoice::startProblem() : QString();
    const PageEngineChoice::Decision d = PageEngineChoice::decide(kind, UseBrowserEngine, problem, announced);
    if (d.browser) {
        window->setPageEngine(PageEngineChoice::create(window));
    } else if (d.announce) {
        announced = true;
        Dialogs::current().message(this, PageEngineChoice::fallbackMessage(problem), Dialogs::Icon::Information,
                                   Dialogs::Buttons::Ok);
    }
}

void MDIForm1::dragEnterEvent(QDragEnterEvent *event) {
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent *event) {
    openDropped(event->mimeData());
    event->acceptProposedAction();
}

void MDIForm1::openDropped(const QMimeData *data) {
    QList<OpenCommands::Source> sources;
    if (data->hasUrls()) {
        for (const QUrl &url : data->urls())
            sources << OpenCommands::DroppedUrl(url);
    } else if (data->hasText()) {
        sources << OpenCommands::DroppedText(data->text());
    }
    for (const OpenCommands::Source &source : sources) {
        if (source.kind != SourceKind::None)
            quietly([&] { openSource(source.path, OpenCommands::OpeningText(source.kind), source.kind); });
    }
}

FormSinFile *MDIForm1::newAnalysisWindow() {
    return new FormSinFile(this);
}

QWidget *MDIForm1::newLibraryBrowser() {
    return new fModel();
}
