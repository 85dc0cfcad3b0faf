#pragma once
// Background work the program owns. Reads, decodes and parses run here, never on Qt's global pool, so
// that the program can stop them: every task gets a CancelToken and looks at it between its steps; the
// window that started a task cancels it when it closes, and the program cancels them all when it quits.
// A step that cannot be interrupted (a parse inside a library) is abandoned instead: nothing waits for
// it and its result is dropped.

#include <QFuture>
#include <QPromise>

#include <atomic>
#include <functional>
#include <memory>

class QThreadPool;

// A task's stop signal: copied into the task, kept by whoever may cancel it.
class CancelToken {
public:
    CancelToken();
    void cancel() const;
    // True once cancel() was called on any copy, or the program is shutting down.
    bool isCancelled() const;

private:
    std::shared_ptr<std::atomic<bool>> m_flag;
};

class WorkerPool {
public:
    // The program's pool. It is never destroyed: an abandoned task may still be running at exit.
    static WorkerPool &program();

    // Runs `work(token)` on a worker. The future holds the result, or none when the token was cancelled
    // before the task began. R must be default-constructible and copyable.
    template <typename R>
    QFuture<R> run(const CancelToken &token, std::function<R(const CancelToken &)> work) {
        auto promise = std::make_shared<QPromise<R>>();
        QFuture<R> future = promise->future();
        promise->start();
        startTask([promise, token, work = std::move(work)] {
            if (!token.isCancelled())
                promise->addResult(work(token));
            promise->finish();
        }, token);
        return future;
    }

    // Tasks queued or running.
    int activeCount() const;
    // Tasks that returned after their token had been cancelled: they saw the cancellation.
    int cancelledReturns() const;

    // Cancels every task, present and future, and waits at most `ms` for the running ones to return.
    // True when none is left; false when some are abandoned (the caller must not wait for them).
    bool shutdown(int ms);
    static bool isShuttingDown();

private:
    WorkerPool();
    void startTask(std::function<void()> task, const CancelToken &token);

    QThreadPool *m_pool;
    std::atomic<int> m_active{0};
    std::atomic<int> m_cancelledReturns{0};
};
