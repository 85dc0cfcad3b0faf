#include "support/EventTurns.h"
#include "support/FakeDialogs.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <future>

#include <httplib.h>

// The helpers every other test leans on: isolation, the dialogs fake and the local server.
class TestSupport : public QObject {
    Q_OBJECT
private slots:
    void homeIsTemporary() {
        const QString home = TestEnv::isolate();
        QCOMPARE(QDir::homePath(), home);
        QVERIFY(QStandardPaths::isTestModeEnabled());
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation).startsWith(home));
    }
    void fakeDialogsAnswerInOrder() {
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        fake.answers << Dialogs::Answer::Yes;
        QCOMPARE(Dialogs::current().message(nullptr, "q", Dialogs::Icon::Question, Dialogs::Buttons::YesNo),
                 Dialogs::Answer::Yes);
        QCOMPARE(Dialogs::current().message(nullptr, "q2", Dialogs::Icon::Question, Dialogs::Buttons::YesNo),
                 Dialogs::Answer::No);
        QCOMPARE(fake.messages.size(), 2);
        QCOMPARE(fake.messages[1].text, QStringLiteral("q2"));
        QCOMPARE(Dialogs::current().saveFile(nullptr, {}), QString());
    }
    void serverAnswersRoutes() {
        LocalHttpServer server;
        server.route("/a.js", LocalHttpServer::Response{200, "var a;", "application/javascript", {}, 0, {}});
        httplib::Client client("127.0.0.1", server.port());
        auto ok = client.Get("/a.js");
        QVERIFY(ok);
        QCOMPARE(ok->status, 200);
        QCOMPARE(QByteArray::fromStdString(ok->body), QByteArray("var a;"));
        auto missing = client.Get("/none.js");
        QVERIFY(missing);
        QCOMPARE(missing->status, 404);
        QCOMPARE(server.hits("/a.js"), 1);
    }

    // A held answer comes only after release(); hold() makes the next one wait again; a server that goes
    // ends the wait of an answer still held.
    void heldAnswerWaitsForRelease() {
        auto server = std::make_unique<LocalHttpServer>();
        LocalHttpServer::Response held = LocalHttpServer::reply(200, "late");
        held.held = true;
        server->route("/h.js", held);
        const int port = server->port();
        auto fetch = [port] {
            httplib::Client client("127.0.0.1", port);
            auto r = client.Get("/h.js");
            return r ? QByteArray::fromStdString(r->body) : QByteArray();
        };
        for (int round = 1; round <= 2; ++round) {
            std::future<QByteArray> answer = std::async(std::launch::async, fetch);
            QTRY_COMPARE_WITH_TIMEOUT(server->hits("/h.js"), round, 10000);
            QCOMPARE(server->answered("/h.js"), round - 1);
            server->release();
            QCOMPARE(answer.get(), QByteArray("late"));
            QCOMPARE(server->answered("/h.js"), round);
            server->hold();
        }
        std::future<QByteArray> unanswered = std::async(std::launch::async, fetch);
        QTRY_COMPARE_WITH_TIMEOUT(server->hits("/h.js"), 3, 10000);
        server.reset();
        unanswered.get(); // returns: the server's end let the held answer go
    }

    // pendingHandled() returns once what was queued before it, posted or timed at zero, has run.
    void pendingHandledRunsWhatWasQueued() {
        bool posted = false;
        bool timed = false;
        QMetaObject::invokeMethod(qApp, [&posted] { posted = true; }, Qt::QueuedConnection);
        QTimer::singleShot(0, qApp, [&timed] { timed = true; });
        QVERIFY(EventTurns::pendingHandled());
        QVERIFY(posted);
        QVERIFY(timed);
    }

    // intervalsPassed() returns once a timer of that interval that was running before it has had its turns.
    void intervalsPassedLetsARunningTimerFire_data() {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("turns");
        QTest::newRow("5 ms, 3 turns") << 5 << 3;
        QTest::newRow("10 ms, 1 turn") << 10 << 1;
        QTest::newRow("1 ms, 5 turns") << 1 << 5;
    }
    void intervalsPassedLetsARunningTimerFire() {
        QFETCH(int, interval);
        QFETCH(int, turns);
        QTimer running;
        int fired = 0;
        connect(&running, &QTimer::timeout, this, [&fired] { ++fired; });
        running.start(interval);
        QVERIFY(EventTurns::intervalsPassed(interval, turns));
        QVERIFY2(fired >= turns - 1, qPrintable(QString::number(fired)));
        QVERIFY(fired >= 1);
    }

    // answerPassed() returns once the server has handed the answer over and a later one has come back.
    void answerPassedFollowsTheServer() {
        LocalHttpServer server;
        server.route("/a.js", LocalHttpServer::reply(200, "var a;"));
        httplib::Client client("127.0.0.1", server.port());
        QVERIFY(client.Get("/a.js"));
        QVERIFY(EventTurns::answerPassed(server, "/a.js"));
    }
};

VARNEL_TEST_MAIN(TestSupport)
#include "tst_testsupport.moc"
