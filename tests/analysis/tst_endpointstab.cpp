// The tab "网址调用" of a loaded window: its rows and count after a load and after 规范化, the filter,
// double-click to the line in "原全部函数", "复制" and "另存为...", and its table filling the tab.

#include "TestHost.h"
#include "analysis/ui/EndpointTable.h"
#include "analysis/ui/EndpointsTab.h"
#include "analysis/ui/FormSinFile.h"
#include "analysis/ui/SourceMapTab.h"
#include "platform/ui/TextPane.h"
#include "support/FakeDialogs.h"
#include "support/TestEnv.h"
#include "analysis/WindowLayout.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Lines in the window are one more than here: the collection's header line comes first.
const QByteArray Script = "function load(id) {\n"
                          "  return fetch('/api/users/' + id, { method: 'POST' });\n"
                          "}\n"
                          "var send = function () {\n"
                          "  var xhr = new XMLHttpRequest();\n"
                          "  xhr.open('GET', 'https://example.com/data.json');\n"
                          "};\n"
                          "function socket() { return new WebSocket('wss://h.example/live'); }\n"
                          "var plain = 'text/html';\n"
                          "$.post('/save?a=1,2');\n";

QStringList rowCells(const QAbstractItemModel *model, int row) {
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->index(row, c).data().toString();
    return cells;
}

int caretLine(TextPane *pane) {
    int line = -1, index = -1;
    pane->editor()->getCursorPosition(&line, &index);
    return line;
}

} // namespace

class TestEndpointsTab : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    TestHost host;
    FakeDialogs dialogs;
    std::unique_ptr<FakeDialogs::Scope> scope;
    QString path;

    std::unique_ptr<FormSinFile> loaded(const QString &file = {}) {
        auto form = std::make_unique<FormSinFile>(&host);
        form->setSource(SourceKind::ScriptFile, file.isEmpty() ? path : file, QStringLiteral("f.js"));
        form->resize(900, 600);
        QSignalSpy filled(form->endpointsTab(), &EndpointsTab::filled);
        form->show();
        if (!QTest::qWaitFor([&] { return form->isLoaded() && form->endpointsTab()->shownCount() > 0; },
                             20000))
            return nullptr;
        form->SSTab1->setCurrentIndex(form->SSTab1->count() - 1);
        return form;
    }

    static QTableView *table(FormSinFile &form) { return form.endpointsTab()->controls().table; }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        scope = std::make_unique<FakeDialogs::Scope>(dialogs);
        path = dir.filePath(QStringLiteral("f.js"));
        TestEnv::writeFile(path, Script);
    }

    void rowsAfterLoad_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("fetch built from pieces")
            << 0 << QStringList{"/api/users/{id}", "fetch", "POST", "load", "0", "3"};
        QTest::newRow("XMLHttpRequest in a function value")
            << 1 << QStringList{"https://example.com/data.json", "XMLHttpRequest", "GET", "send", "0", "7"};
        QTest::newRow("WebSocket") << 2
                                   << QStringList{
                                          "wss://h.example/live", "WebSocket", "", "socket", "0", "9"};
        QTest::newRow("top level $.post") << 3 << QStringList{"/save?a=1,2", "$.ajax", "POST", "", "0", "11"};
    }
    void rowsAfterLoad() {
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        auto form = loaded();
        QVERIFY(form);
        QCOMPARE(form->SSTab1->tabText(form->SSTab1->count() - 1), QStringLiteral("网址调用"));
        QCOMPARE(table(*form)->model()->rowCount(), 4); // the MIME type is no address
        QCOMPARE(form->endpointsTab()->controls().count->text(), QStringLiteral("网址调用数：4"));
        QCOMPARE(rowCells(table(*form)->model(), row), cells);
    }

    void sortsAndFilters() {
        auto form = loaded();
        QVERIFY(form);
        QTableView *view = table(*form);
        view->sortByColumn(EndpointTable::Line, Qt::DescendingOrder);
        QCOMPARE(view->model()->index(0, EndpointTable::Line).data().toInt(), 11);
        form->endpointsTab()->controls().filter->setText(QStringLiteral("API/"));
        QCOMPARE(view->model()->rowCount(), 1);
        QCOMPARE(form->endpointsTab()->controls().count->text(), QStringLiteral("网址调用数：1 / 4"));
        QCOMPARE(form->endpointsTab()->shownEndpoint(0)->function, QStringLiteral("load"));
    }

    void doubleClickGoesToTheLine_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("line"); // 0-based in the pane
        QTest::newRow("fetch") << 0 << 2;
        QTest::newRow("WebSocket") << 2 << 8;
        QTest::newRow("last line") << 3 << 10;
    }
    static void doubleClick(QTableView *view, int row) {
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        // A double-click is a press, a release and the double-click on the same row.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void doubleClickGoesToTheLine() {
        QFETCH(int, row);
        QFETCH(int, line);
        auto form = loaded();
        QVERIFY(form);
        doubleClick(table(*form), row);
        QCOMPARE(form->SSTab1->currentIndex(), 0);
        QCOMPARE(caretLine(form->RtbOld), line);
        const QString lineText = form->RtbOld->text().split(QLatin1Char('\n')).at(line);
        QCOMPARE(form->RtbOld->text().mid(form->RtbOld->selectionStart(), form->RtbOld->selectionLength()),
                 lineText);
    }

    // In a script with a source map, once the map is in, the original source opens in "源映射".
    void doubleClickOpensTheOriginal() {
        const QString mapped = dir.filePath(QStringLiteral("mapped.js"));
        const QByteArray map = R"({"version":3,"sources":["src/a.ts"],"sourcesContent":["x"],"mappings":"AAAA"})";
        TestEnv::writeFile(mapped, "fetch('/m');\n//# sourceMappingURL=data:application/json;base64," +
                                       map.toBase64() + "\n");
        auto form = loaded(mapped);
        QVERIFY(form);
        QTRY_VERIFY_WITH_TIMEOUT(form->sourceMapTab()->controls().count->text().contains(QLatin1Char('1')), 20000);
        doubleClick(table(*form), 0);
        QCOMPARE(form->SSTab1->currentIndex(), FormSinFile::SourceMapTabIndex);
    }

    void copiesTheSelectedRows() {
        auto form = loaded();
        QVERIFY(form);
        QTableView *view = table(*form);
        view->selectRow(2);
        view->selectionModel()->select(view->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        dialogs.clipboard.clear();
        QTest::mouseClick(form->endpointsTab()->controls().copy, Qt::LeftButton);
        QCOMPARE(dialogs.clipboard, QStringLiteral("/api/users/{id}\tfetch\tPOST\tload\t0\t3\n"
                                                   "wss://h.example/live\tWebSocket\t\tsocket\t0\t9\n"));
    }

    void savesCsvWithBom() {
        auto form = loaded();
        QVERIFY(form);
        const QString target = dir.filePath(QStringLiteral("out.csv"));
        dialogs.fileAnswers.enqueue(target);
        form->endpointsTab()->controls().filter->setText(QStringLiteral("save"));
        QTest::mouseClick(form->endpointsTab()->controls().saveAs, Qt::LeftButton);
        QVERIFY(!dialogs.fileCalls.isEmpty());
        QCOMPARE(dialogs.fileCalls.last().request.filters, QStringList{"*.csv"});
        const QByteArray bytes = TestEnv::readFile(target);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        // The rows shown: the filter applies.
        QCOMPARE(QString::fromUtf8(bytes.mid(3)), QStringLiteral("网址,种类,方法,函数,脚本,行\r\n"
                                                                 "\"/save?a=1,2\",$.ajax,POST,,0,11\r\n"));
    }

    void normaliseFillsAgain() {
        auto form = loaded();
        QVERIFY(form);
        QSignalSpy filled(form->endpointsTab(), &EndpointsTab::filled);
        form->SSTab1->setCurrentIndex(0);
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        // Emptied while the text is derived again, then the new findings.
        QTRY_VERIFY_WITH_TIMEOUT(filled.size() >= 2 && form->endpointsTab()->shownCount() == 4, 20000);
        QCOMPARE(table(*form)->model()->index(0, EndpointTable::Function).data().toString(),
                 QStringLiteral("load"));
    }

    void tableFillsTheTab() {
        auto form = loaded();
        QVERIFY(form);
        form->resize(1100, 750);
        form->调整窗口();
        const WindowLayout::Rect tab = form->layoutGeometry()[WindowLayout::SSTab1];
        const QRect px = table(*form)->geometry();
        const QPoint pageOffset = table(*form)->parentWidget()->mapTo(form->SSTab1, QPoint(0, 0));
        const double dpiX = form->logicalDpiX(), dpiY = form->logicalDpiY();
        QCOMPARE(px.width(), Twips::twipsToPixels(tab.width - 75 - 100, dpiX));
        QCOMPARE(px.y() + pageOffset.y() + px.height(),
                 Twips::twipsToPixels(735, dpiY) + Twips::twipsToPixels(tab.height - 735 - 80, dpiY));
        // Below the buttons and the filter box.
        QVERIFY(px.top() > form->endpointsTab()->controls().filter->geometry().bottom());
    }
};

QTEST_MAIN(TestEndpointsTab)
#include "tst_endpointstab.moc"
