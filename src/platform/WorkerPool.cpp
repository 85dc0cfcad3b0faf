#include "platform/WorkerPool.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QThreadPool>

namespace {

std::atomic<bool> g_shuttingDown{false};

} // namespace

CancelToken::CancelToken() : m_flag(std::make_shared<std::atomic<bool>>(false)) {}

void CancelToken::cancel() const {
    m_flag->store(true, std::memory_order_relaxed);
}

bool CancelToken::isCancelled() const {
    return m_flag->load(std::memory_order_relaxed) || g_shuttingDown.load(std::memory_order_relaxed);
}

WorkerPool &WorkerPool::program() {
    // Deliberately leaked: destroying a QThreadPool waits for its threads, and exit must not.
    static WorkerPool *pool = new WorkerPool;
    return *pool;
}

WorkerPool::WorkerPool() : m_pool(new QThreadPool) {
    // At least two, so one long parse never holds up every read.
    m_pool->setMaxThreadCount(qMax(2, QThread::idealThreadCount()));
}

void WorkerPool::startTask(std::function<void()> task, const CancelToken &token) {
    ++m_active;
    m_pool->start([this, task = std::move(task), token] {
        task();
        if (token.isCancelled())
            ++m_cancelledReturns;
        --m_active;
    });
}

int WorkerPool::activeCount() const {
    return m_active.load();
}

int WorkerPool::cancelledReturns() const {
    return m_cancelledReturns.load();
}

bool WorkerPool::shutdown(int ms) {
    g_shuttingDown.store(true);
    const QDeadlineTimer deadline(ms);
    // Queued tasks still start, see the cancellation and return at once: their futures finish empty.
    return m_pool->waitForDone(int(qMax<qint64>(0, deadline.remainingTime())));
}

bool WorkerPool::isShuttingDown() {
    return g_shuttingDown.load();
}
