#pragma once
// The about box: embossed title, version, the maker's credits, links to the maker's sites and a
// feedback mail, and a button for the system-information program.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace SysInfo {
class Registry;
}

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // `registry` (not owned) is where the system-information program is looked up; null = this platform's.
    explicit frmAbout(QWidget *parent = nullptr, SysInfo::Registry *registry = nullptr);

    QLabel *lblTitle = nullptr;
    QLabel *Label8 = nullptr; // shadow layer of the title
    QLabel *Label9 = nullptr; // highlight layer of the title
    QLabel *lblVersion = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr; // link: support site
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr; // link: feedback mail
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr; // link: second site
    QFrame *Line1 = nullptr;
    QFrame *Line2 = nullptr; // hover underline of the links

    // Shows the hover underline under `label`.
    void 模拟网址下划线(QLabel *label);
    void StartSysInfo();

    static void ShowModal(QWidget *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QLabel *makeLabel(const QString &text, int x, int y, int width, int height);
    QLabel *makeLink(const QString &text, int x, int y, const QString &toolTip);
    void linkClicked(QLabel *label);

    SysInfo::Registry *m_registry;
};
