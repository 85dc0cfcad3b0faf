// Quitting while a window's page is parsed: the program's shutdown does not wait for the parse (it
// cannot be interrupted inside gumbo; a parser that holds its worker stands in for it), the window goes at once, and the worker sees the cancellation
// when the parse returns. A test program of its own: the shutdown cancels the whole pool.

#include "TestHost.h"
#include "analysis/SourceLoader.h"
#include "analysis/ui/FormSinFile.h"
#include "platform/WorkerPool.h"
#include "support/BlockingParser.h"
#include "support/FakeDialogs.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

class TestQuitMidParse : public QObject {
    Q_OBJECT
private slots:
    void quitWhileParsing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("deep.htm"));
        TestEnv::writeFile(path, "<html><body><script>var deep;</script></body></html>");
        BlockingParser parser;
        TestHost host;
        FakeDialogs dialogs;
        FakeDialogs::Scope scope(dialogs);
        WorkerPool &pool = WorkerPool::program();
        auto *form = new FormSinFile(&host);
        form->setSource(SourceKind::PageFile, path, QString());
        form->show();
        QTRY_VERIFY_WITH_TIMEOUT(parser.entered(), 10000);
        QVERIFY(form->isLoading());

        // What the program does when it quits: cancel everything, then the windows go.
        QVERIFY2(!pool.shutdown(0), "the parse should still be running");
        QPointer<FormSinFile> gone = form;
        delete form;
        QVERIFY(gone.isNull());
        QVERIFY(host.statusTexts.isEmpty());

        parser.release(); // the parse returns, long after the program would have gone
        QTRY_COMPARE_WITH_TIMEOUT(pool.activeCount(), 0, 10000);
        QCOMPARE(pool.cancelledReturns(), 1);
        QVERIFY(pool.shutdown(0));
        QVERIFY(dialogs.messages.isEmpty());
    }
};

VARNEL_TEST_MAIN(TestQuitMidParse)
#include "tst_quitmidparse.moc"
