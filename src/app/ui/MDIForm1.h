#pragma once
// The main window: the frame of the child windows, the menus, the shared status line and the start-up.

#include "analysis/ui/AnalysisHost.h"
#include "util/SourceKind.h"

#include <QMainWindow>
#include <QPointer>

class FormSinFile;
class QLabel;
class QMimeData;
class WindowMenu;
class QMdiArea;
class QMdiSubWindow;

class MDIForm1 : public QMainWindow, public AnalysisHost {
    Q_OBJECT
public:
    // Where the program lives: the library file sits in `programFolder` when there is one there, else in
    // `userDataFolder` (empty: the user's data folder of the program); the desktop entry starts
    // `programPath`.
    struct Program {
        QString programFolder;
        QString programPath;
        QString userDataFolder;
    };
    // The running program.
    static Program RunningProgram();

    explicit MDIForm1(const Program &program = RunningProgram(), QWidget *parent = nullptr);
    ~MDIForm1() override;

    // AnalysisHost: panel 2 of the status bar and the function list's popup menu.
    void setStatusText(const QString &text) override;
    QString statusText() const override;
    ListPopupMenu listPopupMenu() override;
    bool hideNumbering() const override;

    // Fills the source fields of a new analysis window.
    void 提取文件名(const QString &路径, FormSinFile *fr, SourceKind 单多网);
    // The open analysis window whose source path is `路径`, letter case ignored; `fr0` is left alone when
    // none is.
    bool 查找Form1是打开(const QString &路径, FormSinFile *&fr0);

    // Menu commands.
    void 打开JS文件();
    void 打开网页文件();
    void 打开网址();
    void 库存JS函数样板();
    void 选项();
    void 关于();
    void 定制软件();
    // 0 cascade, 1 tile horizontally (rows), 2 tile vertically (columns), 3 line up minimised windows.
    void Arrange(int mode);
    void 最小化所有子窗口();
    // Closes the children in turn; one that stays open (取消 of its save question) ends the round: false.
    bool 关闭所有子窗口();

    QMdiArea *mdiArea() const { return m_mdiArea; }
    QLabel *statusPanel(int panel) const; // 1 or 2
    WindowMenu *windowMenu() const { return m_windowMenu; }
    // Opens what a drop brings (files and addresses), as the menu commands would.
    void openDropped(const QMimeData *data);

signals:
    void statusTextChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void startUp();
    void openFileSource(const QStringList &filters, const QString &statusText, SourceKind kind);
    void openSource(const QString &path, const QString &statusText, SourceKind kind);
    void focusWindow(FormSinFile *window);

    // Child windows are made here only.
    FormSinFile *newAnalysisWindow();
    // Gives a page window the browser engine when it is wanted and can start (see PageEngineChoice).
    void choosePageEngine(FormSinFile *window, SourceKind kind);
    QWidget *newLibraryBrowser();

    Program m_program;
    QMdiArea *m_mdiArea = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    ListPopupMenu m_listPopup;
    WindowMenu *m_windowMenu = nullptr;
    QPointer<QMdiSubWindow> m_libraryWindow;
};
