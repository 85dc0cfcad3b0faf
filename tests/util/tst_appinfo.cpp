#include "support/TestEnv.h"
#include "util/AppInfo.h"

#include <QApplication>
#include <QTest>

class TestAppInfo : public QObject {
    Q_OBJECT
private slots:
    void mainCaption() { QCOMPARE(AppInfo::MainCaption(), QStringLiteral("VarnelJS分析提取分解器 V1.2")); }
};

VARNEL_TEST_MAIN(TestAppInfo)
#include "tst_appinfo.moc"
