// The tab "源映射" of a loaded page of esbuild bundles: its count, its tree (bundles, sources by path,
// "未取得" with the reasons, kept out of the failure report), and "转到原始源码" from positions in a bundle
// in "原全部函数" to the original file and line; disabled once the script's text has changed.

#include "TestHost.h"
#include "analysis/OriginalPosition.h"
#include "analysis/ScriptBlocks.h"
#include "analysis/SourceMapCollector.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/GoToOriginal.h"
#include "analysis/ui/SourceMapTab.h"
#include "platform/net/HttpManager.h"
#include "platform/ui/TextPane.h"
#include "sourcemap/FixtureFiles.h"
#include "support/FakeDialogs.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

QByteArray withComment(const QByteArray &script, const QByteArray &url) {
    return script.left(script.lastIndexOf("//# sourceMappingURL=")) + "//# sourceMappingURL=" + url + "\n";
}

QStringList labels(const QTreeWidgetItem *item) {
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

} // namespace

class TestSourceMapTab : public QObject {
    Q_OBJECT

    TestHost host;
    FakeDialogs dialogs;
    std::unique_ptr<FakeDialogs::Scope> scope;
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<FormSinFile> form;
    const QByteArray app = fixtureBytes(QStringLiteral("out/app.min.js"));

    void serve(const QString &path, const QByteArray &body) {
        server->route(path, LocalHttpServer::reply(200, body, "text/javascript"));
    }

    // Where `token` stands in script `script`'s text in RtbOld.
    qsizetype offsetOf(int script, const QString &token) const {
        const QString text = form->RtbOld->text();
        for (const ScriptBlock &b : findScriptBlocks(text))
            if (b.number == script)
                return text.indexOf(token, b.bodyStart);
        return -1;
    }

private slots:
    void initTestCase() {
        scope = std::make_unique<FakeDialogs::Scope>(dialogs);
        HttpManager::setDefaultTimeoutMs(5000);
        server = std::make_unique<LocalHttpServer>();
        for (const char *name : {"app.min.js", "app.min.js.map", "nocontent.min.js", "nocontent.min.js.map"})
            serve(QStringLiteral("/out/") + QLatin1String(name),
                  fixtureBytes(QStringLiteral("out/") + QLatin1String(name)));
        for (const char *name : {"src/ui/menu.ts", "src/util/format.js", "src/main.ts"})
            serve(QStringLiteral("/") + QLatin1String(name), fixtureBytes(QLatin1String(name)));
        serve(QStringLiteral("/out/gone.min.js"), withComment(app, "gone.map"));
        QByteArray webpack = fixtureBytes(QStringLiteral("out/nocontent.min.js.map"));
        webpack.replace("../src/", "webpack://app/./src/");
        serve(QStringLiteral("/out/webpack.map"), webpack);
        serve(QStringLiteral("/out/webpack.min.js"), withComment(app, "webpack.map"));
        server->route(QStringLiteral("/page.htm"),
                      LocalHttpServer::reply(200,
                                             "<html><script src=\"out/app.min.js\"></script>"
                                             "<script src=\"out/nocontent.min.js\"></script>"
                                             "<script src=\"out/gone.min.js\"></script>"
                                             "<script src=\"out/webpack.min.js\"></script>"
                                             "<script>var plain = 1;</script></html>",
                                             "text/html"));
        form = std::make_unique<FormSinFile>(&host);
        form->setSource(SourceKind::PageAddress, server->baseUrl() + QStringLiteral("/page.htm"),
                        QStringLiteral("page.htm"));
        form->resize(900, 600);
        form->show();
        QTRY_VERIFY_WITH_TIMEOUT(form->isLoaded() && !form->sourceMaps()->isBusy(), 30000);
        form->sourceMapTab()->refresh();
    }

    void tabAfterDownloadViewSave() {
        QCOMPARE(form->SSTab1->tabText(FormSinFile::SourceMapTabIndex), QStringLiteral("源映射"));
        QCOMPARE(form->SSTab1->tabText(FormSinFile::SourceMapTabIndex - 1), QStringLiteral("下载查看保存"));
    }

    void countAndTree() {
        const SourceMapControls &c = form->sourceMapTab()->controls();
        QCOMPARE(c.count->text(), QStringLiteral("原始源码：6 个（来自 3 个源映射）"));
        QTreeWidget *tree = c.tree;
        const QString base = server->baseUrl();
        QCOMPARE(tree->topLevelItemCount(), 4);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("网址0 %1/out/app.min.js").arg(base));
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("网址1 %1/out/nocontent.min.js").arg(base));
        QCOMPARE(tree->topLevelItem(2)->text(0), QStringLiteral("网址3 %1/out/webpack.min.js").arg(base));
        // Sources by their path: server, folders, files.
        const QTreeWidgetItem *server0 = tree->topLevelItem(0)->child(0);
        QCOMPARE(server0->text(0), base);
        QCOMPARE(labels(server0->child(0)), (QStringList{"ui", "util", "main.ts"}));
        QCOMPARE(labels(server0->child(0)->child(0)), QStringList{"menu.ts"});
        // What was not obtained, with the reasons; none of it in the failure report.
        QTreeWidgetItem *missing = tree->topLevelItem(3);
        QCOMPARE(missing->text(0), SourceMapTab::NotObtainedLabel);
        QCOMPARE(
            labels(missing),
            (QStringList{QStringLiteral("源映射未能取得：%1/out/gone.map（HTTP 404）").arg(base),
                         "原始源码未能取得：webpack://app/./src/ui/menu.ts（没有内容，地址无法下载）",
                         "原始源码未能取得：webpack://app/./src/util/format.js（没有内容，地址无法下载）",
                         "原始源码未能取得：webpack://app/./src/main.ts（没有内容，地址无法下载）"}));
        QCOMPARE(dialogs.messages.size(), 0);
    }

    void selectingShowsTheSource() {
        const SourceMapControls &c = form->sourceMapTab()->controls();
        QTreeWidgetItem *menu = c.tree->topLevelItem(1)->child(0)->child(0)->child(0)->child(0);
        QCOMPARE(menu->text(0), QStringLiteral("menu.ts"));
        c.tree->setCurrentItem(menu);
        QCOMPARE(c.pane->text().toUtf8(), fixtureBytes(QStringLiteral("src/ui/menu.ts")));
        QVERIFY(c.pane->isEnabled());
        c.pane->setSelection(0, 0);
        c.pane->replaceSelection(QStringLiteral("typed"));
        QCOMPARE(c.pane->text().toUtf8(), fixtureBytes(QStringLiteral("src/ui/menu.ts"))); // read-only
    }

    void goToOriginal_data() {
        QTest::addColumn<int>("script");
        QTest::addColumn<QString>("token"); // in the bundle; the same text stands on the original line
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("original"); // text of the original line expected
        QTest::newRow("toFixed") << 0 << "toFixed"
                                 << "src/util/format.js"
                                 << "value.toFixed(2)";
        QTest::newRow("toUpperCase") << 0 << "toUpperCase"
                                     << "src/util/format.js"
                                     << "toUpperCase";
        QTest::newRow("coffee") << 0 << "\"coffee\""
                                << "src/main.ts"
                                << "\"coffee\"";
        QTest::newRow("push") << 0 << "n.push"
                              << "src/ui/menu.ts"
                              << "entries.push";
        QTest::newRow("join") << 0 << "join(\" | \")"
                              << "src/main.ts"
                              << "join(\" | \")";
        QTest::newRow("fetched sources, second bundle") << 1 << "reduce"
                                                        << "src/main.ts"
                                                        << "items.reduce";
    }

    void goToOriginal() {
        QFETCH(int, script);
        QFETCH(QString, token);
        QFETCH(QString, file);
        QFETCH(QString, original);
        form->SSTab1->setCurrentIndex(0);
        const qsizetype at = offsetOf(script, token);
        QVERIFY(at > 0);
        form->RtbOld->setSelection(int(at), 0);
        form->goToOriginal()->update();
        QVERIFY(form->goToOriginal()->action()->isEnabled());
        QVERIFY(form->goToOriginal()->go());
        QCOMPARE(form->SSTab1->currentIndex(), FormSinFile::SourceMapTabIndex);
        const SourceMapControls &c = form->sourceMapTab()->controls();
        const QString text = c.pane->text();
        QCOMPARE(text.toUtf8(), fixtureBytes(file));
        const QString lineText = text.mid(c.pane->selectionStart()).section(QLatin1Char('\n'), 0, 0);
        QVERIFY2(lineText.contains(original), qPrintable(lineText));
        QCOMPARE(c.tree->currentItem()->text(0), file.section(QLatin1Char('/'), -1));
    }

    void noMappingSaysSo_data() {
        QTest::addColumn<int>("script");
        QTest::addColumn<QString>("token");
        QTest::newRow("header line") << 0 << "网址0";
        QTest::newRow("script without a map") << 4 << "plain";
        QTest::newRow("map not obtained") << 2 << "toFixed";
    }

    void noMappingSaysSo() {
        QFETCH(int, script);
        QFETCH(QString, token);
        const QString text = form->RtbOld->text();
        const qsizetype at =
            token.startsWith(QStringLiteral("网址")) ? text.indexOf(token) : offsetOf(script, token);
        QVERIFY(at >= 0);
        form->SSTab1->setCurrentIndex(0);
        form->RtbOld->setSelection(int(at), 0);
        host.statusTexts.clear();
        QVERIFY(!form->goToOriginal()->go());
        QCOMPARE(host.statusText(), GoToOriginal::NoMappingText);
        QCOMPARE(form->SSTab1->currentIndex(), 0);
    }

    // Run last: it changes the text.
    void changedScriptDisablesTheEntry() {
        const qsizetype at = offsetOf(0, QStringLiteral("toFixed"));
        form->RtbOld->setSelection(int(offsetOf(0, QStringLiteral("function"))), 0);
        form->RtbOld->replaceSelection(QStringLiteral(" "));
        form->RtbOld->setSelection(int(at) + 1, 0);
        form->goToOriginal()->update();
        QVERIFY(!form->goToOriginal()->action()->isEnabled());
        QVERIFY(!form->goToOriginal()->go());
        // The next script still fits its map.
        form->RtbOld->setSelection(int(offsetOf(1, QStringLiteral("toFixed"))), 0);
        form->goToOriginal()->update();
        QVERIFY(form->goToOriginal()->action()->isEnabled());
        QVERIFY(form->goToOriginal()->go());
    }

    void cleanupTestCase() { form.reset(); }
};

VARNEL_TEST_MAIN(TestSourceMapTab)
#include "tst_sourcemaptab.moc"
