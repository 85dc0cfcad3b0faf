// The file dialog's size, type and date columns read in Chinese, whatever the system locale.

#include "platform/ui/ChineseFileModel.h"
#include "support/TestEnv.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

class TestChineseFileDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The system speaks English here; the program's default locale is Chinese, as the program sets it.
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }

    void sizes_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qint64(0) << "0 字节";
        QTest::newRow("bytes") << qint64(1023) << "1023 字节";
        QTest::newRow("one KB") << qint64(1024) << "1.0 KB";
        QTest::newRow("KB") << qint64(1536) << "1.5 KB";
        QTest::newRow("MB") << (qint64(5) << 20) << "5.0 MB";
        QTest::newRow("GB") << (qint64(3) << 30) + (qint64(1) << 29) << "3.5 GB";
        QTest::newRow("TB stays TB") << (qint64(2048) << 40) << "2,048.0 TB";
    }
    void sizes() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(ChineseFileTexts::Size(bytes), text);
    }

    void types_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("text"); // empty: any name holding Chinese
        QTest::newRow("folder") << "sub" << true << "文件夹";
        QTest::newRow("folder with a suffix") << "sub.js" << true << "文件夹";
        QTest::newRow("unknown suffix") << "a.zzq" << false << "ZZQ 文件";
        QTest::newRow("no suffix") << "zzqdata" << false << "文件";
        QTest::newRow("script") << "a.js" << false << "";
    }
    void types() {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        folder ? void(QDir().mkpath(path)) : TestEnv::writeFile(path, "x");
        const QString type = ChineseFileTexts::Type(QFileInfo(path));
        if (!text.isEmpty())
            QCOMPARE(type, text);
        else
            QVERIFY2(std::any_of(type.begin(), type.end(), [](QChar c) { return c.script() == QChar::Script_Han; }),
                     qPrintable(type));
    }

    void dateIsChineseShortForm() {
        const QDateTime when(QDate(2026, 12, 8), QTime(5, 7));
        QCOMPARE(ChineseFileTexts::Date(when), QStringLiteral("2026/12/8 05:07"));
        QCOMPARE(ChineseFileTexts::Date(QDateTime()), QString());
    }

    // The real dialog: its view shows the proxy's texts, and the columns are as wide as their texts.
    void dialogShowsChineseColumns() {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("子文件夹")));
        TestEnv::writeFile(dir.filePath(QStringLiteral("a.zzq")), QByteArray(2048, 'x'));
        QFileDialog dialog(nullptr, QStringLiteral("t"), dir.path());
        ChineseFileModel::install(dialog);
        dialog.show();
        auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
        QVERIFY(view);
        QVERIFY(view->isVisible());
        QAbstractItemModel *model = view->model();
        QVERIFY(qobject_cast<ChineseFileModel *>(model));
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(view->rootIndex()), 2, 20000);
        QStringList rows;
        for (int row = 0; row < 2; ++row) {
            QStringList cells;
            for (int column = 1; column <= 3; ++column) {
                const QModelIndex index = model->index(row, column, view->rootIndex());
                cells << index.data().toString();
                const int needed = view->fontMetrics().horizontalAdvance(cells.last());
                QTRY_VERIFY2(view->header()->sectionSize(column) >= needed, qPrintable(cells.last()));
            }
            rows << cells.mid(0, 2).join(QLatin1Char('|'));
        }
        rows.sort();
        QCOMPARE(rows, (QStringList{"2.0 KB|ZZQ 文件", "|文件夹"}));
    }
};

VARNEL_TEST_MAIN(TestChineseFileDialog)
#include "tst_chinesefiledialog.moc"
