#include "app/ui/frmAbout.h"

#include "app/Emboss.h"
#include "app/SysInfo.h"
#include "app/ui/EmbossedCaption.h"
#include "platform/ui/Dialogs.h"
#include "util/AppInfo.h"
#include "util/Module1Shell.h"

#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int DialogWidth = 470;
constexpr int DialogHeight = 300;

QFont titleFont() {
    QFont font(QStringLiteral("隶书"));
    font.setFamilies({QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("Noto Serif CJK SC")});
    font.setPointSize(20);
    return font;
}

} // namespace

frmAbout::frmAbout(QWidget *parent, SysInfo::Registry *registry)
    : QDialog(parent), m_registry(registry ? registry : &SysInfo::SystemRegistry()) {
    setWindowTitle(QStringLiteral("关于我的应用程序"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(DialogWidth, DialogHeight);
    setMouseTracking(true);

    Label8 = makeLabel(QStringLiteral("应用程序标题"), 24, 14, 420, 44);
    Label9 = makeLabel(QStringLiteral("应用程序标题"), 24, 14, 420, 44);
    lblTitle = makeLabel(QStringLiteral("应用程序标题"), 24, 14, 420, 44);
    for (QLabel *layer : {Label8, Label9, lblTitle})
        layer->setFont(titleFont());
    lblVersion = makeLabel(QStringLiteral("版本"), 26, 62, 300, 20);

    Label1 = makeLabel(QStringLiteral("出品：Varnel软件　　本软件可免费使用，欢迎传播。"), 26, 92, 420, 20);
    Label3 = makeLabel(QStringLiteral("支持网站："), 26, 122, 90, 20);
    Label2 = makeLink(AppInfo::SupportPageUrl, 116, 122, QStringLiteral("访问支持网站"));
    Label5 = makeLabel(QStringLiteral("其他网站："), 26, 148, 90, 20);
    Label7 = makeLink(AppInfo::SecondSiteUrl, 116, 148, QString());
    Label6 = makeLabel(QStringLiteral("意见反馈："), 26, 174, 90, 20);
    Label4 = makeLink(AppInfo::FeedbackRecipient, 116, 174, QStringLiteral("给软件作者写邮件"));

    Line2 = new QFrame(this);
    Line2->setFrameShape(QFrame::NoFrame);
    Line2->setAutoFillBackground(true);
    QPalette underline = Line2->palette();
    underline.setColor(QPalette::Window, Qt::blue);
    Line2->setPalette(underline);
    Line2->hide();

    Line1 = new QFrame(this);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(20, 206, DialogWidth - 40, 4);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setGeometry(DialogWidth - 130, 220, 110, 28);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("系统信息(&S)..."), this);
    cmdSysInfo->setGeometry(DialogWidth - 130, 256, 110, 28);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });

    // Load.
    setWindowTitle(QStringLiteral("关于『") + AppInfo::Title + QStringLiteral("』 "));
    lblTitle->setText(AppInfo::Title);
    lblVersion->setText(QStringLiteral("版本 ") + QString::number(AppInfo::VersionMajor) + QLatin1Char('.') +
                        QString::number(AppInfo::VersionMinor) + QLatin1Char('.') +
                        QString::number(AppInfo::VersionRevision));
    FormLabelCaptionEmbossed(lblTitle, Label8, Label9, AppInfo::Title, Emboss::Raised, 0x800000, 1);

    if (const QScreen *shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}

QLabel *frmAbout::makeLabel(const QString &text, int x, int y, int width, int height) {
    auto *label = new QLabel(text, this);
    label->setGeometry(x, y, width, height);
    return label;
}

QLabel *frmAbout::makeLink(const QString &text, int x, int y, const QString &toolTip) {
    auto *label = new QLabel(text, this);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->adjustSize();
    label->move(x, y);
    label->setToolTip(toolTip);
    label->setCursor(Qt::PointingHandCursor);
    label->setMouseTracking(true);
    label->installEventFilter(this);
    return label;
}

void frmAbout::模拟网址下划线(QLabel *label) {
    const int bottom = label->y() + label->height();
    Line2->setGeometry(label->x(), bottom, label->width(), 1);
    Line2->show();
    Line2->raise();
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event) {
    auto *label = qobject_cast<QLabel *>(watched);
    if (label && (label == Label2 || label == Label4 || label == Label7)) {
        if (event->type() == QEvent::Enter) {
            模拟网址下划线(label);
        } else if (event->type() == QEvent::MouseMove) {
            // Consumed, so the move does not reach the background, which hides the underline.
            模拟网址下划线(label);
            return true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint()))
                linkClicked(label);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::mouseMoveEvent(QMouseEvent *event) {
    Line2->hide();
    QDialog::mouseMoveEvent(event);
}

void frmAbout::linkClicked(QLabel *label) {
    if (label == Label2)
        Module1::OpenInNewBrowserWindow(AppInfo::SupportPageUrl);
    else if (label == Label7)
        Module1::OpenInNewBrowserWindow(AppInfo::SecondSiteUrl);
    else if (label == Label4)
        Module1::SendFeedbackMail(this);
}

void frmAbout::StartSysInfo() {
    const QString path = SysInfo::ProgramPath(
        *m_registry, [](const QString &candidate) { return QFileInfo::exists(candidate); });
    if (path.isEmpty() || !QProcess::startDetached(path, {}))
        Dialogs::current().message(this, QStringLiteral("此时系统信息不可用"), Dialogs::Icon::None,
                                   Dialogs::Buttons::Ok);
}

void frmAbout::ShowModal(QWidget *parent) {
    frmAbout dialog(parent);
    dialog.exec();
}
