#include "platform/FailureTexts.h"

#include "support/TestEnv.h"

#include <QTest>

class TestFailureTexts : public QObject {
    Q_OBJECT
private slots:
    // Sizes and times as the failure lists show them: whole units when they divide, seconds with decimals.
    void formatted_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("64 MiB") << FailureTexts::TooLarge(qint64(64) << 20)
                                << QStringLiteral("内容太大（超过 64 MiB）");
        QTest::newRow("KiB") << FailureTexts::TooLarge(1536 * 1024)
                             << QStringLiteral("内容太大（超过 1536 KiB）");
        QTest::newRow("odd MiB in KiB") << FailureTexts::TooLarge((qint64(1) << 20) + 1024)
                                        << QStringLiteral("内容太大（超过 1025 KiB）");
        QTest::newRow("bytes") << FailureTexts::TooLarge(1000)
                               << QStringLiteral("内容太大（超过 1000 字节）");
        QTest::newRow("30 s") << FailureTexts::NoDataWithin(30000)
                              << QStringLiteral("超时（30 秒内没有收到数据）");
        QTest::newRow("1.5 s") << FailureTexts::NotDoneWithin(1500)
                               << QStringLiteral("超时（1.5 秒内未完成）");
        QTest::newRow("status") << FailureTexts::HttpStatus(404) << QStringLiteral("HTTP 404");
        QTest::newRow("certificate") << FailureTexts::Certificate(QStringLiteral("过期"))
                                     << QStringLiteral("证书错误：过期");
        QTest::newRow("file with detail")
            << FailureTexts::AboutFile(FailureTexts::ReadFailed, QStringLiteral("/a.js"),
                                       QStringLiteral("I/O"))
            << QStringLiteral("读取文件时出错：/a.js（I/O）");
        QTest::newRow("file without detail")
            << FailureTexts::AboutFile(FailureTexts::FileMissing, QStringLiteral("/a.js"))
            << QStringLiteral("文件不存在：/a.js");
    }
    void formatted() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }
};

VARNEL_TEST_MAIN(TestFailureTexts)
#include "tst_failuretexts.moc"
