#include "support/FakeDialogs.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTest>

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
};

VARNEL_TEST_MAIN(TestSupport)
#include "tst_testsupport.moc"
