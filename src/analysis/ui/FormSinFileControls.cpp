// The analysis window's controls, one function per tab, and the objects that own the tabs' work: the
// workbench tools (top strip, 原全部函数, 新全部函数, 下载查看保存) and FunctionTab (分解函数).

#include "analysis/SourceLoader.h"
#include "analysis/ui/CloseQuestion.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/EndpointBase.h"
#include "analysis/ui/FunctionTab.h"
#include "analysis/ui/LogoImage.h"
#include "analysis/ui/WindowSink.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TextPane.h"
#include "util/AppInfo.h"
#include "util/Shell.h"
#include "workbench/ui/WorkbenchControls.h"
#include "workbench/ui/WorkbenchTools.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

QPushButton *button(QWidget *parent, const QString &caption) {
    return new QPushButton(caption, parent);
}

QLabel *label(QWidget *parent, const QString &caption) {
    return new QLabel(caption, parent);
}

QCheckBox *wrapCheck(QWidget *parent) {
    return new QCheckBox(QStringLiteral("自动换行"), parent);
}

} // namespace

void FormSinFile::buildControls() {
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
    buildSourceTab(m_pages[0]);
    buildFunctionTab(m_pages[1]);
    buildNewTextTab(m_pages[2]);
    buildDownloadTab(m_pages[3]);

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
}

// Tab 0 "原全部函数".
void FormSinFile::buildSourceTab(QWidget *p) {
    Command1 = button(p, QStringLiteral("重新打开"));
    Check1 = wrapCheck(p);
    Command2 = button(p, QStringLiteral("调整行间距"));
    Command3 = button(p, QStringLiteral("规范化"));
    Text3 = new QLineEdit(p);
    Command6 = button(p, QStringLiteral("查找"));
    RtbOld = new TextPane(p);
}

// Tab 1 "分解函数".
void FormSinFile::buildFunctionTab(QWidget *p) {
    Label2 = label(p, QStringLiteral("函数数：0"));
    ListView1 = new ListView(p);
    ListView1->setHeaderLabels({QStringLiteral("函数名称")});
    ListView1->setFont(TextPane::defaultFont());
    Label5 = label(p, QStringLiteral("函数内容："));
    Text4 = new QPlainTextEdit(p);
    Text4->setFont(TextPane::defaultFont());
}

// Tab 2 "新全部函数".
void FormSinFile::buildNewTextTab(QWidget *p) {
    Check2 = wrapCheck(p);
    Text2 = new QLineEdit(p);
    Command9 = button(p, QStringLiteral("查找"));
    Command7 = button(p, QStringLiteral("保存"));
    Command5 = button(p, QStringLiteral("另存为"));
    RtbNew = new TextPane(p);
}

// Tab 3 "下载查看保存".
void FormSinFile::buildDownloadTab(QWidget *p) {
    Label3 = label(p, QStringLiteral("网址："));
    Text5 = new QLineEdit(p);
    Command8 = button(p, QStringLiteral("另存为..."));
    RtbDown = new TextPane(p);
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
    c.source = [this] { return m_loader ? m_loader->document().facts() : SourceFacts(); };
    c.sourceReloaded = [this](const std::optional<TextCodec::Encoding> &readAs) {
        if (m_loader)
            m_loader->document().reloaded(readAs);
    };
    m_tools = new WorkbenchTools(c, this);
    connect(m_tools, &WorkbenchTools::reloadFinished, this, &FormSinFile::textReplaced);
    // 规范化 has marked the blocks where they now stand (also without header lines); the functions
    // are found again.
    connect(m_tools, &WorkbenchTools::normalised, this, &FormSinFile::listFunctions);
    if (m_closeQuestion)
        m_closeQuestion->watch(m_tools); // tools made again after a close
}

void FormSinFile::createFunctionTab() {
    FunctionControls c;
    c.window = this;
    c.ListView1 = ListView1;
    c.Label2 = Label2;
    c.Label5 = Label5;
    c.Text4 = Text4;
    c.Command7 = Command7;
    c.Command5 = Command5;
    c.entries = [this] { return m_sink->entries(); };
    c.page = [this] { return endpointBase(document().kind, document().path); };
    m_functions = new FunctionTab(c, m_host, this);
    connect(m_functions, &FunctionTab::functionChosen, this,
            [this](int start, int length) { RtbOld->setSelection(start, length); });
    connect(m_functions, &FunctionTab::saveNewTextClicked, this, [this] {
        if (m_tools)
            m_tools->saveAs(RtbNew, false);
    });
}
