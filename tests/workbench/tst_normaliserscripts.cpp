// The normaliser on scripts nobody here wrote (Debian's JavaScript libraries): tree-sitter reads the
// same program before and after, and normalising again changes nothing.

#include "SyntaxTree.h"
#include "support/TestEnv.h"
#include "workbench/Normaliser.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>

class TestNormaliserScripts : public QObject {
    Q_OBJECT
private slots:
    void realScripts_data();
    void realScripts();
};

void TestNormaliserScripts::realScripts_data() {
    QTest::addColumn<QString>("path");
    QDirIterator it(QStringLiteral("/usr/share/javascript"), {QStringLiteral("*.js")}, QDir::Files,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    if (paths.isEmpty())
        QSKIP("no scripts under /usr/share/javascript (scripts/install-deps installs them)");
    for (const QString &path : paths)
        QTest::newRow(qPrintable(path)) << path;
}

void TestNormaliserScripts::realScripts() {
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString script = QString::fromUtf8(file.readAll());
    for (const bool indent : {false, true}) {
        NormaliseOptions options;
        options.indent = indent;
        const QString once = NormaliseCodeText(script, options);
        QCOMPARE(NormaliseCodeText(once, options), once);
        QCOMPARE(QString::fromUtf8(NormaliseCodeUtf8(script.toUtf8(), options)), once);
        const SyntaxTree before = SyntaxTreeOf(script);
        if (!before.accepted)
            continue;
        const SyntaxTree after = SyntaxTreeOf(once);
        QVERIFY2(after.accepted, qPrintable(path));
        QVERIFY2(after.shape == before.shape, qPrintable(path));
    }
}

VARNEL_TEST_MAIN(TestNormaliserScripts)
#include "tst_normaliserscripts.moc"
