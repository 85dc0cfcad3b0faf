// The program's worker pool: results, cancellation seen between steps, and a shutdown that does not wait
// for a step that cannot be interrupted. The shutdown test runs last: it cancels the whole pool.

#include "platform/WorkerPool.h"
#include "support/TestEnv.h"

#include <QFutureWatcher>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace {

// Waits for `future` through a watcher, as the program does.
template <typename R>
bool waitFinished(const QFuture<R> &future) {
    QFutureWatcher<R> watcher;
    QSignalSpy spy(&watcher, &QFutureWatcherBase::finished);
    watcher.setFuture(future);
    return watcher.isFinished() || spy.wait(10000);
}

} // namespace

class TestWorkerPool : public QObject {
    Q_OBJECT
private slots:
    void resultOrNone_data() {
        QTest::addColumn<bool>("cancelFirst");
        QTest::newRow("runs") << false;
        QTest::newRow("cancelled before it begins") << true;
    }
    void resultOrNone() {
        QFETCH(bool, cancelFirst);
        CancelToken token;
        if (cancelFirst)
            token.cancel();
        std::atomic<bool> ran{false};
        const QFuture<int> future = WorkerPool::program().run<int>(token, [&ran](const CancelToken &) {
            ran = true;
            return 42;
        });
        QVERIFY(waitFinished(future));
        QCOMPARE(future.resultCount(), cancelFirst ? 0 : 1);
        QCOMPARE(ran.load(), !cancelFirst);
        if (!cancelFirst)
            QCOMPARE(future.result(), 42);
    }

    // A task that looks at its token between steps stops at the next step once it is cancelled.
    void cancellationSeenBetweenSteps() {
        CancelToken token;
        QSemaphore started;
        const int before = WorkerPool::program().cancelledReturns();
        const QFuture<int> future = WorkerPool::program().run<int>(token, [&started](const CancelToken &t) {
            started.release();
            int steps = 0;
            while (!t.isCancelled() && steps < 1000000) {
                ++steps;
                QThread::yieldCurrentThread(); // one step of work
            }
            return steps;
        });
        started.acquire();
        token.cancel();
        QVERIFY(waitFinished(future));
        QVERIFY2(future.result() < 1000000, "the task ran all its steps");
        QTRY_COMPARE_WITH_TIMEOUT(WorkerPool::program().cancelledReturns(), before + 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(WorkerPool::program().activeCount(), 0, 10000);
    }

    // Quitting: cooperative tasks end, an uninterruptible step is abandoned and the shutdown returns
    // without it; tokens made afterwards are cancelled from the start.
    void shutdownDoesNotWaitForAnUninterruptibleStep() {
        QSemaphore inLibrary, release;
        CancelToken token;
        const int before = WorkerPool::program().cancelledReturns();
        const QFuture<int> stuck = WorkerPool::program().run<int>(token, [&](const CancelToken &) {
            inLibrary.release();
            release.acquire(); // a parse inside a library: no point to stop at
            return 1;
        });
        inLibrary.acquire();
        const QFuture<int> cooperative = WorkerPool::program().run<int>(CancelToken(), [](const CancelToken &t) {
            while (!t.isCancelled())
                QThread::yieldCurrentThread();
            return 2;
        });
        QVERIFY(!WorkerPool::program().shutdown(50));
        QVERIFY(WorkerPool::isShuttingDown());
        QVERIFY(CancelToken().isCancelled());
        QVERIFY(waitFinished(cooperative)); // it saw the cancellation while the other one was stuck
        QVERIFY(!stuck.isFinished());
        release.release();
        QVERIFY(waitFinished(stuck));
        QTRY_COMPARE_WITH_TIMEOUT(WorkerPool::program().activeCount(), 0, 10000);
        QCOMPARE(WorkerPool::program().cancelledReturns(), before + 2);
    }
};

VARNEL_TEST_MAIN(TestWorkerPool)
#include "tst_workerpool.moc"
