#include "support/EventTurns.h"

#include "platform/net/HttpManager.h"
#include "support/LocalHttpServer.h"

#include <QObject>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace EventTurns {

bool pendingHandled(int timeoutMs) {
    // A timer object, not QTimer::singleShot(0) (which posts an event): a zero timer fires after the events
    // posted before it and after the zero timers started before it. Twice, for what those handlers queue.
    for (int turn = 0; turn < 2; ++turn) {
        QTimer timer;
        timer.setSingleShot(true);
        bool fired = false;
        QObject::connect(&timer, &QTimer::timeout, [&fired] { fired = true; });
        timer.start(0);
        if (!QTest::qWaitFor([&fired] { return fired; }, timeoutMs))
            return false;
    }
    return true;
}

bool intervalsPassed(int intervalMs, int turns, int timeoutMs) {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    int fired = 0;
    QObject::connect(&timer, &QTimer::timeout, [&fired] { ++fired; });
    timer.start(intervalMs);
    return QTest::qWaitFor([&fired, turns] { return fired >= turns; }, timeoutMs) && pendingHandled(timeoutMs);
}

bool answerPassed(LocalHttpServer &server, const QString &path, int answers, int timeoutMs) {
    if (!QTest::qWaitFor([&] { return server.answered(path) >= answers; }, timeoutMs))
        return false;
    const QString marker = QStringLiteral("/__answer-passed");
    server.route(marker, LocalHttpServer::reply(200, "marker", "text/plain"));
    QObject owner;
    QPointer<HttpHandler> request = HttpManager::forThread()->get(server.baseUrl() + marker, &owner);
    return QTest::qWaitFor([&request] { return !request || request->isFinished(); }, timeoutMs) && request &&
           request->result().ok && pendingHandled(timeoutMs);
}

} // namespace EventTurns
