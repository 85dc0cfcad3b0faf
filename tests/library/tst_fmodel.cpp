// The library browser: listing, count, the clear button, failures, and the grid's layout.

#include "LibraryFixtures.h"
#include "support/FakeDialogs.h"
#include "support/TestEnv.h"

#include "library/BrowserLayout.h"
#include "library/DataAccess.h"
#include "library/LibraryFile.h"
#include "library/ModuleDataBase.h"
#include "library/ui/fModel.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace LibraryFixtures;
namespace Db = ModuleDataBase;
using BrowserLayout::Rect;

namespace {

QList<Entry> listed(const fModel &window) {
    const QAbstractItemModel *model = window.DataGrid1->model();
    QList<Entry> entries;
    for (int row = 0; row < model->rowCount(); ++row)
        entries.append({model->index(row, 0).data().toString(), model->index(row, 1).data().toString()});
    return entries;
}

QStringList headers(const fModel &window) {
    const QAbstractItemModel *model = window.DataGrid1->model();
    QStringList names;
    for (int column = 0; column < model->columnCount(); ++column)
        names << model->headerData(column, Qt::Horizontal).toString();
    return names;
}

} // namespace

class TestLibraryBrowser : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString lib_;

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        lib_ = dir_->filePath(QStringLiteral("xqd.dll"));
        Db::LibraryDbPath = lib_;
    }

    void listsInOrderWithCount();
    void emptyLibrary();
    void missingFile();
    void unusableFile_data();
    void unusableFile();
    void clearButton_data();
    void clearButton();
    void clearWhenFileIsMissing();
    void holdsTheFileWhileOpen();
    void bigLibrary();

    void gridPlace_data();
    void gridPlace();
    void resizesTheGrid();
    void asMdiChild();
};

void TestLibraryBrowser::listsInOrderWithCount() {
    MakeLibrary(lib_,
                {{QStringLiteral("trim"), QStringLiteral("http://a/trim.htm")},
                 {QStringLiteral("数组去重"), QStringLiteral("http://a/unique.htm")},
                 {QStringLiteral("Alert"), QStringLiteral("http://a/alert.htm")},
                 {QStringLiteral("getCookie"), QStringLiteral("http://a/cookie.htm")},
                 {QStringLiteral("全角转半角"), QStringLiteral("http://a/half.htm")},
                 {QStringLiteral("addEvent"), QStringLiteral("")}},
                Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    fModel window;
    QCOMPARE(window.windowTitle(), QStringLiteral("库存JS函数模板"));
    QCOMPARE(window.Command1->text(), QStringLiteral("清空库存"));
    QCOMPARE(headers(window), (QStringList{QStringLiteral("函数名称"), QStringLiteral("网址")}));
    // Ascending by name in the engine's collation (code points); the address follows its row.
    const QList<Entry> expected{{QStringLiteral("Alert"), QStringLiteral("http://a/alert.htm")},
                                {QStringLiteral("addEvent"), QStringLiteral("")},
                                {QStringLiteral("getCookie"), QStringLiteral("http://a/cookie.htm")},
                                {QStringLiteral("trim"), QStringLiteral("http://a/trim.htm")},
                                {QStringLiteral("全角转半角"), QStringLiteral("http://a/half.htm")},
                                {QStringLiteral("数组去重"), QStringLiteral("http://a/unique.htm")}};
    QCOMPARE(listed(window), expected);
    QCOMPARE(window.Label1->text(), QStringLiteral("函数总数:6"));
    QVERIFY(fake.messages.isEmpty());
    // Read-only.
    QCOMPARE(window.DataGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QModelIndex cell = window.DataGrid1->model()->index(0, 0);
    QVERIFY(!(window.DataGrid1->model()->flags(cell) & Qt::ItemIsEditable));
    QVERIFY(!window.DataGrid1->model()->setData(cell, QStringLiteral("changed")));
}

void TestLibraryBrowser::emptyLibrary() {
    MakeLibrary(lib_, {}, Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    fModel window;
    QCOMPARE(window.DataGrid1->model()->rowCount(), 0);
    QCOMPARE(headers(window).size(), 2);
    QCOMPARE(window.Label1->text(), QStringLiteral("函数总数:0"));
    QVERIFY(fake.messages.isEmpty());
}

void TestLibraryBrowser::missingFile() {
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    fModel window;
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages.at(0).text, QStringLiteral("找不到合法的数据库文件或者数据库文件格式不对！\r\n"));
    QCOMPARE(fake.messages.at(0).icon, Dialogs::Icon::Critical);
    QCOMPARE(window.DataGrid1->model()->rowCount(), 0);
    QCOMPARE(window.Label1->text(), QStringLiteral("Label1"));
    // The start-up compaction on the same missing file stays silent.
    QVERIFY(!Db::CompactLibraryDb(Db::LibraryDbPath, Db::LibraryDbPassword));
    QCOMPARE(fake.messages.size(), 1);
}

void TestLibraryBrowser::unusableFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong password") << "password"
                                    << "连接数据库失败！file is encrypted or is not a database";
    QTest::newRow("zero bytes") << "empty"
                                << "连接数据库失败！file is encrypted or is not a database";
    QTest::newRow("no library table")
        << "notable"
        << "找不到合法的数据库文件或者数据库文件格式不对！\r\nno such table: CSS";
}

void TestLibraryBrowser::unusableFile() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    if (kind == QLatin1String("password")) {
        MakeLibrary(lib_, ManyEntries(5), QStringLiteral("another"));
    } else if (kind == QLatin1String("empty")) {
        TestEnv::writeFile(lib_, QByteArray());
    } else if (kind == QLatin1String("halved")) {
        MakeLibrary(lib_, ManyEntries(3000), Db::LibraryDbPassword, 100);
        const QByteArray whole = TestEnv::readFile(lib_);
        TestEnv::writeFile(lib_, whole.left(whole.size() / 2));
    } else {
        QString error;
        QVERIFY(LibraryFile::CreateFromSql(lib_, Db::LibraryDbPassword, QStringLiteral("CREATE TABLE t (a);"),
                                           &error));
    }
    const QByteArray before = TestEnv::readFile(lib_);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    fModel window;
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages.at(0).text, message);
    QCOMPARE(window.DataGrid1->model()->rowCount(), 0);
    QCOMPARE(window.Label1->text(), QStringLiteral("Label1"));
    QVERIFY(!DataAccess::IsOpenInProgram(lib_)); // nothing left holding the file
    QCOMPARE(TestEnv::readFile(lib_), before);
    // Neither the clear button nor the compaction changes a file that is not a database with this password
    // (a database with it but without the library table may be compacted: nothing is lost by that).
    if (kind != QLatin1String("notable")) {
        fake.answers << Dialogs::Answer::Yes;
        window.Command1->click();
        QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
        QCOMPARE(TestEnv::readFile(lib_), before);
        QCOMPARE(window.Label1->text(), QStringLiteral("Label1"));
    }
}

void TestLibraryBrowser::clearButton_data() {
    QTest::addColumn<QList<Dialogs::Answer>>("answer"); // none: the box closed without a button
    QTest::addColumn<bool>("cleared");
    QTest::newRow("是 empties") << QList<Dialogs::Answer>{Dialogs::Answer::Yes} << true;
    QTest::newRow("否 keeps all") << QList<Dialogs::Answer>{Dialogs::Answer::No} << false;
    QTest::newRow("closed box keeps all") << QList<Dialogs::Answer>{} << false;
}

void TestLibraryBrowser::clearButton() {
    QFETCH(QList<Dialogs::Answer>, answer);
    QFETCH(bool, cleared);
    MakeLibrary(lib_, ManyEntries(3000), Db::LibraryDbPassword, 200);
    const qint64 sizeBefore = FileSize(lib_);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    fModel window;
    QCOMPARE(window.DataGrid1->model()->rowCount(), 3000);
    QCOMPARE(window.Label1->text(), QStringLiteral("函数总数:3000"));

    fake.answers.append(answer);
    QTest::mouseClick(window.Command1, Qt::LeftButton);
    // One question, 否 its default; nothing reported after it.
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages.at(0).text, QStringLiteral("确定要清空库存吗？库中的全部函数样板都将删除。"));
    QCOMPARE(fake.messages.at(0).buttons, Dialogs::Buttons::NoYes);
    if (!cleared) {
        QCOMPARE(window.DataGrid1->model()->rowCount(), 3000);
        QCOMPARE(window.Label1->text(), QStringLiteral("函数总数:3000"));
        QCOMPARE(FileSize(lib_), sizeBefore);
        QCOMPARE(ReadEntries(lib_, Db::LibraryDbPassword).size(), 3000);
        return;
    }
    QCOMPARE(window.DataGrid1->model()->rowCount(), 0);
    QCOMPARE(headers(window).size(), 2); // the table is still there
    QCOMPARE(window.Label1->text(), QStringLiteral("函数总数:0"));
    QVERIFY(FileSize(lib_) < sizeBefore / 10); // compacted
    QVERIFY(!QFileInfo::exists(lib_ + QStringLiteral("DDD")));
    QVERIFY(ReadEntries(lib_, QString()).isEmpty()); // still encrypted
    QVERIFY(DataAccess::IsOpenInProgram(lib_));      // reloaded and holding its connection again
}

void TestLibraryBrowser::clearWhenFileIsMissing() {
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    fModel window;
    fake.messages.clear();
    fake.answers << Dialogs::Answer::Yes;
    window.Command1->click();
    // After the question, one message from the clear's own connection, one from the reload; the
    // compaction stays silent.
    QCOMPARE(fake.messages.size(), 3);
    fake.messages.removeFirst();
    for (const auto &m : fake.messages)
        QCOMPARE(m.text, Db::MissingFileMessage + QStringLiteral("\r\n"));
    QCOMPARE(window.Label1->text(), QStringLiteral("Label1"));
    QVERIFY(!QFileInfo::exists(lib_));
}

void TestLibraryBrowser::holdsTheFileWhileOpen() {
    MakeLibrary(lib_, ManyEntries(10), Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    {
        fModel window;
        window.show();
        QVERIFY(!Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
        // Rows deleted elsewhere show only after the next load.
        QVERIFY(Db::ClearLibraryTable(QStringLiteral("CSS")));
        QCOMPARE(window.DataGrid1->model()->rowCount(), 10);
        window.显示数据();
        QCOMPARE(window.DataGrid1->model()->rowCount(), 0);
        QCOMPARE(window.Label1->text(), QStringLiteral("函数总数:0"));
        QVERIFY(window.close());
        QVERIFY(!DataAccess::IsOpenInProgram(lib_));
        QCOMPARE(window.DataGrid1->model()->rowCount(), 0);
        QCOMPARE(window.DataGrid1->model()->columnCount(), 0); // detached
    }
    QVERIFY(Db::CompactLibraryDb(lib_, Db::LibraryDbPassword));
    QVERIFY(fake.messages.isEmpty());
}

void TestLibraryBrowser::bigLibrary() {
    MakeLibrary(lib_, ManyEntries(100000), Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    fModel window;
    window.show();
    QCOMPARE(window.Label1->text(), QStringLiteral("函数总数:100000"));
    QCOMPARE(window.DataGrid1->model()->rowCount(), 100000);
    const QAbstractItemModel *model = window.DataGrid1->model();
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("f000000"));
    QCOMPARE(model->index(99999, 0).data().toString(), QStringLiteral("f099999"));
    QCOMPARE(model->index(99999, 1).data().toString(), QStringLiteral("http://www.example.com/js/99999.htm"));
}

void TestLibraryBrowser::gridPlace_data() {
    QTest::addColumn<Rect>("grid");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<Rect>("expected");

    QTest::newRow("ordinary") << Rect{0, 600, 100, 100} << 12000 << 8000 << false
                              << Rect{0, 600, 11880, 6820};
    QTest::newRow("moved back to the left edge")
        << Rect{300, 600, 100, 100} << 9000 << 6000 << false << Rect{0, 600, 8880, 4820};
    QTest::newRow("height below 580 + top")
        << Rect{0, 600, 100, 100} << 9000 << 1000 << false << Rect{0, 600, 8880, 0};
    QTest::newRow("exactly 580 + top")
        << Rect{0, 600, 100, 100} << 9000 << 1180 << false << Rect{0, 600, 8880, 0};
    QTest::newRow("width below 120") << Rect{0, 600, 100, 100} << 60 << 8000 << false
                                     << Rect{0, 600, 0, 6820};
    QTest::newRow("minimised keeps everything")
        << Rect{0, 600, 5000, 3000} << 2000 << 400 << true << Rect{0, 600, 5000, 3000};
}

void TestLibraryBrowser::gridPlace() {
    QFETCH(Rect, grid);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, minimised);
    QFETCH(Rect, expected);
    QCOMPARE(BrowserLayout::GridPlace(grid, width, height, minimised), expected);
}

void TestLibraryBrowser::resizesTheGrid() {
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    fModel window;
    window.show();
    // 96 DPI: 15 twips a pixel. 800 x 600 px = 12000 x 9000 twips; the grid's top is 600 twips (40 px).
    window.resize(800, 600);
    QCOMPARE(window.DataGrid1->geometry(), QRect(0, 40, 792, 521));
    window.resize(100, 30);
    QCOMPARE(window.DataGrid1->geometry().topLeft(), QPoint(0, 40));
    QCOMPARE(window.DataGrid1->width(), 92);
    QCOMPARE(window.DataGrid1->height(), 0);
    window.resize(5, 5);
    QCOMPARE(window.DataGrid1->width(), 0);
    QCOMPARE(window.DataGrid1->height(), 0);
    QCOMPARE(window.Command1->geometry(), QRect(8, 8, 81, 25)); // the button keeps its place

    // A minimised window leaves the grid as it was, whatever size it is given meanwhile.
    window.resize(800, 600);
    const QRect before = window.DataGrid1->geometry();
    window.showMinimized();
    QVERIFY(window.isMinimized());
    window.resize(300, 200);
    QCOMPARE(window.DataGrid1->geometry(), before);
    window.showNormal();
    window.resize(300, 200);
    QCOMPARE(window.DataGrid1->geometry(), QRect(0, 40, 292, 121));
}

void TestLibraryBrowser::asMdiChild() {
    MakeLibrary(lib_, ManyEntries(20), Db::LibraryDbPassword);
    FakeDialogs fake;
    FakeDialogs::Scope scope(fake);
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    auto *window = new fModel;
    QMdiSubWindow *sub = area.addSubWindow(window);
    sub->showMaximized();
    QCoreApplication::processEvents();
    QCOMPARE(window->DataGrid1->width(), window->width() - 8);
    QCOMPARE(window->DataGrid1->height(), qRound((window->height() * 15 - 580 - 600) / 15.0));
    sub->showNormal();
    sub->resize(400, 300);
    QCoreApplication::processEvents();
    QCOMPARE(window->DataGrid1->width(), window->width() - 8);
    sub->close(); // the sub-window closes the browser, which lets the file go
    QVERIFY(!DataAccess::IsOpenInProgram(lib_));
    QVERIFY(fake.messages.isEmpty());
}

VARNEL_TEST_MAIN(TestLibraryBrowser)
#include "tst_fmodel.moc"
