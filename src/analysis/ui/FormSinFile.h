#pragma once
// FormSinFile: the analysis window of one source (a script file, a local page file or an online page).
//
// The opener names the source (setSource: kind, path, name), then shows the window. The first show computes
// the caption height and hands the load to its SourceLoader; the window only follows the loader's signals:
// caption / Text1 / buttons by kind when the blank page is in, the function list and the status text
// "分析所有JS文件完成。" when it has finished. While the load runs the window's commands are disabled;
// closing the window stops it, after asking about unsaved work (CloseQuestion).

#include "analysis/WindowLayout.h"
#include "util/SourceKind.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class AnalysisHost;
class CloseQuestion;
class EndpointsTab;
class FunctionTab;
class GoToOriginal;
class ListView;
class LoadStopCommand;
class LogoImage;
class PageEngine;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class SourceDocument;
class SourceLoader;
class SourceMapCollector;
class SourceMapSink;
class SourceMapTab;
class TextPane;
class WindowSink;
class WorkbenchTools;
struct ScriptFailure;

class FormSinFile : public QWidget {
    Q_OBJECT
public:
    explicit FormSinFile(AnalysisHost *host, QWidget *parent = nullptr);
    ~FormSinFile() override;

    // The design size, so a new child window of the frame opens at it rather than collapsed.
    QSize sizeHint() const override;

    // The source, named by the opener before the window is shown; document() keeps it.
    void setSource(SourceKind kind, const QString &path, const QString &name);

    // Height of a caption bar in twips, computed once when the window loads.
    int CaptionHeight = 0;

    // Top strip.
    LogoImage *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command4 = nullptr;
    QTabWidget *SSTab1 = nullptr;
    // Tab 0 "原全部函数".
    QPushButton *Command1 = nullptr;
    QCheckBox *Check1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QLineEdit *Text3 = nullptr;
    QPushButton *Command6 = nullptr;
    TextPane *RtbOld = nullptr;
    // Tab 1 "分解函数".
    QLabel *Label2 = nullptr;
    ListView *ListView1 = nullptr;
    QLabel *Label5 = nullptr;
    QPlainTextEdit *Text4 = nullptr;
    // Tab 2 "新全部函数".
    QCheckBox *Check2 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command9 = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Command5 = nullptr;
    TextPane *RtbNew = nullptr;
    // Tab 3 "下载查看保存".
    QLabel *Label3 = nullptr;
    QLineEdit *Text5 = nullptr;
    QPushButton *Command8 = nullptr;
    TextPane *RtbDown = nullptr;
    // Hidden scratch pane and the page engine.
    TextPane *RtbTmp = nullptr;
    PageEngine *Web1 = nullptr;

    // The text of 新全部函数 from the function array.
    void 数组2文本();
    // Fits the visible tab's main controls to the tab control.
    void 调整窗口();
    // Stops a running load (Esc, or "停止" in the window's context menu): what was collected stays, the
    // scripts not obtained are reported, and the status line reads "载入已停止。".
    void 停止载入();
    // The header line of every script in Combo1, as the collection wrote it.
    QStringList headerTexts() const;
    LoadStopCommand *stopCommand() const { return m_stopCommand; }

    // Replaces the page engine; only before the window is first shown (tests).
    void setPageEngine(PageEngine *engine);
    SourceLoader *loader() const { return m_loader; }
    // What the window knows about its source (kind, path, name, encoding, save header, script blocks).
    const SourceDocument &document() const;
    // The editing tools wired to the buttons, boxes and panes.
    WorkbenchTools *tools() const { return m_tools; }
    // The tab 分解函数 at work: the function list, its count, Text4, the popup entries, undo, the new text.
    FunctionTab *functionTab() const { return m_functions; }
    // Where a load writes the script list and the combined text.
    WindowSink *windowSink() const { return m_sink.get(); }
    // What the window holds that no file does yet; closing asks about it.
    CloseQuestion *closeQuestion() const { return m_closeQuestion; }
    // True while the load sequence runs.
    bool isLoading() const { return m_loading; }
    bool isLoaded() const { return m_loaded; }
    // The controls' places in twips, as the layout rules left them.
    const WindowLayout::Geometry &layoutGeometry() const { return m_geometry; }
    QWidget *control(WindowLayout::Control c) const { return m_controls[c]; }
    // Tab 4 "源映射": the maps and original sources of the load, and "转到原始源码" in RtbOld's menu.
    static constexpr int SourceMapTabIndex = 4;
    const SourceMapCollector *sourceMaps() const { return m_sourceMaps; }
    SourceMapTab *sourceMapTab() const { return m_sourceMapTab; }
    GoToOriginal *goToOriginal() const { return m_goToOriginal; }
    // The tab "网址调用": the addresses the code talks to, from the function list's derivation.
    EndpointsTab *endpointsTab() const { return m_endpointsTab; }

signals:
    // The load sequence has ended (status text written, failures reported).
    void loadFinished();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // FormSinFileControls.cpp: the controls, one function per tab, and the owners of the tabs' work.
    void buildControls();
    void createSourceMapTab(); // FormSinFileSourceMaps.cpp
    void placeSourceMapTab(const QPoint &pageOffset);
    void createEndpointsTab(); // FormSinFileEndpoints.cpp
    void placeEndpointsTab(const QPoint &pageOffset);
    void buildSourceTab(QWidget *page);
    void buildFunctionTab(QWidget *page);
    void buildNewTextTab(QWidget *page);
    void buildDownloadTab(QWidget *page);
    void createTools();
    void createFunctionTab();

    void placeControls();
    void applyResizeRules();
    QWidget *outerWindow() const;
    void onTabChanged(int index);
    // Scrolls RtbOld to the script of Combo1's entry `index`.
    void showScript(int index);
    // After "规范化" or "重新打开" gave RtbOld a new text: the script sections are found again from their
    // header lines and the function list is derived again.
    void textReplaced();
    // The function list derived again from RtbOld's text (FunctionTab fills it).
    void listFunctions();

    // Load sequence: the loader runs it, the window follows.
    void createLoader();
    void startLoad();
    void showSource(SourceKind kind);
    void finishLoad();
    void stopLoad();
    // One message box, after the collection: the page's own failure first, then every script that
    // could not be obtained.
    void reportFailures(const QString &pageFailure, const QList<ScriptFailure> &failures);

    AnalysisHost *m_host;
    QWidget *m_body = nullptr; // everything but the logo; disabled while loading
    std::array<QWidget *, WindowLayout::ControlCount> m_controls{};
    std::array<QWidget *, 4> m_pages{};
    WindowLayout::Geometry m_geometry;
    std::unique_ptr<WindowSink> m_sink;
    SourceMapCollector *m_sourceMaps = nullptr;
    std::unique_ptr<SourceMapSink> m_mapSink; // m_sink, with every script handed to m_sourceMaps
    SourceMapTab *m_sourceMapTab = nullptr;
    GoToOriginal *m_goToOriginal = nullptr;
    SourceLoader *m_loader = nullptr;
    WorkbenchTools *m_tools = nullptr;
    FunctionTab *m_functions = nullptr;
    EndpointsTab *m_endpointsTab = nullptr;
    LoadStopCommand *m_stopCommand = nullptr;
    CloseQuestion *m_closeQuestion = nullptr;
    QPointer<QWidget> m_watchedFrame;
    bool m_loadStarted = false;
    bool m_loading = false;
    bool m_loaded = false;
};
