#include "platform/text/EncodingLabels.h"
#include "platform/text/TextCodec.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray enc(const char *encoding, const QString &text) {
    QStringEncoder e(encoding);
    return e.encode(text);
}

const QString kChinese = QStringLiteral(
    "// 这是一个用于测试的中文注释，包含一些常用汉字。\nvar s = '欢迎光临本站，祝您购物愉快！';\n");
const QString kTraditional = QStringLiteral(
    "// 這是一個用於測試的中文註釋，包含一些常用漢字。\nvar s = '歡迎光臨本站，祝您購物愉快！';\n");

} // namespace

class TestTextCodec : public QObject {
    Q_OBJECT
private slots:
    void decodeTable_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("declared");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<bool>("bom");

        const QString mixed = QStringLiteral("var a = '你好';\r\n");
        QTest::newRow("utf8") << mixed.toUtf8() << QByteArray() << mixed << QByteArray("UTF-8") << false;
        QTest::newRow("utf8 bom") << QByteArray("\xEF\xBB\xBF") + mixed.toUtf8() << QByteArray() << mixed
                                  << QByteArray("UTF-8") << true;
        QTest::newRow("utf16le bom") << QByteArray("\xFF\xFE") + enc("UTF-16LE", mixed) << QByteArray()
                                     << mixed << QByteArray("UTF-16LE") << true;
        QTest::newRow("utf16be bom") << QByteArray("\xFE\xFF") + enc("UTF-16BE", mixed) << QByteArray()
                                     << mixed << QByteArray("UTF-16BE") << true;
        QTest::newRow("gbk detected")
            << enc("GBK", kChinese) << QByteArray() << kChinese << QByteArray("GB18030") << false;
        // uchardet guesses a single-byte code page for such short texts.
        QTest::newRow("gbk short") << enc("GBK", QStringLiteral("你好")) << QByteArray()
                                   << QStringLiteral("你好") << QByteArray("GB18030") << false;
        QTest::newRow("gbk short script")
            << enc("GBK", QStringLiteral("alert(\"提交成功\")")) << QByteArray()
            << QStringLiteral("alert(\"提交成功\")") << QByteArray("GB18030") << false;
        QTest::newRow("gb18030 four-byte") << enc("GB18030", QStringLiteral("𠀀€你")) << QByteArray()
                                           << QStringLiteral("𠀀€你") << QByteArray("GB18030") << false;
        QTest::newRow("big5 detected")
            << enc("Big5", kTraditional) << QByteArray() << kTraditional << QByteArray("Big5") << false;
        QTest::newRow("big5 declared short") << enc("Big5", QStringLiteral("歡迎")) << QByteArray("big5")
                                             << QStringLiteral("歡迎") << QByteArray("Big5") << false;
        QTest::newRow("gbk declared") << enc("GBK", QStringLiteral("中文")) << QByteArray("GBK")
                                      << QStringLiteral("中文") << QByteArray("GB18030") << false;
        QTest::newRow("gb2312 declared") << enc("GBK", QStringLiteral("中文")) << QByteArray(" gb2312 ")
                                         << QStringLiteral("中文") << QByteArray("GB18030") << false;
        QTest::newRow("declared beats valid utf8") << QByteArray("abc") << QByteArray("gbk")
                                                   << QStringLiteral("abc") << QByteArray("GB18030") << false;
        QTest::newRow("unknown declared falls through to gbk")
            << enc("GBK", kChinese) << QByteArray("x-no-such-charset") << kChinese << QByteArray("GB18030")
            << false;
        QTest::newRow("unknown declared falls through to utf8")
            << mixed.toUtf8() << QByteArray("bogus") << mixed << QByteArray("UTF-8") << false;
        QTest::newRow("utf-7 declared is ignored")
            << QByteArray("a+ACEAPw-") << QByteArray("utf-7") << QStringLiteral("a+ACEAPw-")
            << QByteArray("UTF-8") << false;
        QTest::newRow("bom beats declared") << QByteArray("\xEF\xBB\xBF") + mixed.toUtf8()
                                            << QByteArray("gbk") << mixed << QByteArray("UTF-8") << true;
        QTest::newRow("latin1 declared") << QByteArray("caf\xE9 \x80") << QByteArray("ISO-8859-1")
                                         << QStringLiteral("café €") << QByteArray("windows-1252") << false;
        QTest::newRow("empty") << QByteArray() << QByteArray() << QString() << QByteArray("UTF-8") << false;
        QTest::newRow("bom only") << QByteArray("\xFF\xFE") << QByteArray() << QString()
                                  << QByteArray("UTF-16LE") << true;
        const QString ascii = QStringLiteral("var a = 1; // 你好\r\n");
        QTest::newRow("utf16le without bom")
            << enc("UTF-16LE", ascii) << QByteArray() << ascii << QByteArray("UTF-16LE") << false;
        QTest::newRow("utf16be without bom")
            << enc("UTF-16BE", ascii) << QByteArray() << ascii << QByteArray("UTF-16BE") << false;
        QTest::newRow("utf32 is not utf16")
            << QByteArray("a\0\0\0b\0\0\0", 8) << QByteArray() << QStringLiteral("a\0\0\0b\0\0\0")
            << QByteArray("UTF-8") << false;
        QTest::newRow("x-user-defined declared")
            << QByteArray("a\x80\xFF") << QByteArray("x-user-defined") << QStringLiteral("a\uF780\uF7FF")
            << QByteArray("x-user-defined") << false;
        QTest::newRow("second bom kept")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                          "a")
            << QByteArray() << QStringLiteral("\uFEFFa") << QByteArray("UTF-8") << true;
    }
    void decodeTable() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, declared);
        QFETCH(QString, text);
        QFETCH(QByteArray, encoding);
        QFETCH(bool, bom);
        const TextCodec::Decoded d = TextCodec::decode(bytes, declared);
        QCOMPARE(d.text, text);
        QCOMPARE(d.encoding, encoding);
        QCOMPARE(d.bom, bom);
    }

    void brokenInputDecodesWithoutCrash_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("truncated utf8")
            << QStringLiteral("你好").toUtf8().chopped(1) << QStringLiteral("你\uFFFD");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary += char((i * 131 + 7) & 0xFF);
        QTest::newRow("binary") << binary << QString();
        QTest::newRow("nul bytes") << QByteArray(100, '\0') << QString(100, QChar(0));
        QTest::newRow("utf16 odd length") << QByteArray("\xFF\xFE"
                                                        "a\0b",
                                                        5)
                                          << QStringLiteral("a");
        QTest::newRow("lone lead byte") << QByteArray("x\x81") << QStringLiteral("x");
    }
    void brokenInputDecodesWithoutCrash() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, prefix);
        const TextCodec::Decoded d = TextCodec::decode(bytes);
        QVERIFY(!d.encoding.isEmpty());
        QVERIFY(!d.text.isEmpty());
        QVERIFY2(d.text.startsWith(prefix), qPrintable(d.text));
    }

    void decodeHtml_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("contains");
        QTest::addColumn<QByteArray>("encoding");

        const QString page = QStringLiteral("<html><head><meta charset=gbk><title>测试</title></head><body>"
                                            "<script>var 名称 = '欢迎';</script></body></html>");
        QTest::newRow("gbk meta charset") << enc("GBK", page) << QByteArray()
                                          << QStringLiteral("var 名称 = '欢迎';") << QByteArray("GB18030");
        const QString httpEquiv = QStringLiteral(
            "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=big5\"></head>"
            "<body>歡迎</body></html>");
        QTest::newRow("http-equiv big5")
            << enc("Big5", httpEquiv) << QByteArray() << QStringLiteral("歡迎") << QByteArray("Big5");
        QTest::newRow("header beats meta")
            << enc("GBK", page) << QByteArray("gb2312") << QStringLiteral("欢迎") << QByteArray("GB18030");
        QTest::newRow("header utf8 beats meta gbk")
            << page.toUtf8() << QByteArray("utf-8") << QStringLiteral("欢迎") << QByteArray("UTF-8");
        QTest::newRow("unknown header falls to meta")
            << enc("GBK", page) << QByteArray("nonsense") << QStringLiteral("欢迎") << QByteArray("GB18030");
        const QString utf16Meta = QStringLiteral("<meta charset=\"utf-16\"><p>好</p>");
        QTest::newRow("meta utf-16 means utf-8")
            << utf16Meta.toUtf8() << QByteArray() << QStringLiteral("好") << QByteArray("UTF-8");
        const QString commented = QStringLiteral("<!-- <meta charset=big5> --><p>好</p>");
        QTest::newRow("meta in comment ignored")
            << commented.toUtf8() << QByteArray() << QStringLiteral("好") << QByteArray("UTF-8");
        const QString unknownMeta = QStringLiteral("<meta charset=klingon><p>中文内容</p>");
        QTest::newRow("unknown meta ignored")
            << enc("GBK", unknownMeta) << QByteArray() << QStringLiteral("中文内容") << QByteArray("GB18030");
    }
    void decodeHtmlRefusedLabels_data() {
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QByteArray>("encoding");
        // The page holds GBK text: a refused label leaves it to detection, which finds GB18030.
        QTest::newRow("utf-32") << QByteArray("utf-32") << QByteArray("GB18030");
        QTest::newRow("not a web label") << QByteArray("cp936") << QByteArray("GB18030");
        QTest::newRow("x-user-defined reads as windows-1252")
            << QByteArray("x-user-defined") << QByteArray("windows-1252");
        QTest::newRow("web label") << QByteArray("x-gbk") << QByteArray("GB18030");
    }
    void decodeHtmlRefusedLabels() {
        QFETCH(QByteArray, charset);
        QFETCH(QByteArray, encoding);
        const QByteArray page = "<meta charset=" + charset + "><script>" + enc("GBK", kChinese) + "</script>";
        QCOMPARE(TextCodec::decodeHtml(page).encoding, encoding);
    }

    void encodingForLabel_data() {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QByteArray>("encoding");
        QTest::newRow("gb2312") << QByteArray("gb2312") << QByteArray("GB18030");
        QTest::newRow("spaces and capitals") << QByteArray(" \tGBK\n") << QByteArray("GB18030");
        QTest::newRow("latin1") << QByteArray("latin1") << QByteArray("windows-1252");
        QTest::newRow("utf-16") << QByteArray("utf-16") << QByteArray("UTF-16LE");
        QTest::newRow("unicodefffe") << QByteArray("unicodefffe") << QByteArray("UTF-16BE");
        QTest::newRow("utf8") << QByteArray("UTF8") << QByteArray("UTF-8");
        QTest::newRow("utf-7") << QByteArray("utf-7") << QByteArray();
        QTest::newRow("utf-32") << QByteArray("utf-32") << QByteArray();
        QTest::newRow("replacement") << QByteArray("iso-2022-kr") << QByteArray();
        QTest::newRow("inner space") << QByteArray("utf 8") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void encodingForLabel() {
        QFETCH(QByteArray, label);
        QFETCH(QByteArray, encoding);
        QCOMPARE(TextCodec::encodingForLabel(label), encoding);
    }

    // The names files are read and written under: the web's reading for the wider encodings, Windows'
    // names for GBK, the codec's own name for the rest.
    void canonicalCharset_data() {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QByteArray>("encoding");
        QTest::newRow("gbk") << QByteArray("GBK") << QByteArray("GB18030");
        QTest::newRow("windows code page 936") << QByteArray(" cp936 ") << QByteArray("GB18030");
        QTest::newRow("euc-cn") << QByteArray("euc-cn") << QByteArray("GB18030");
        QTest::newRow("big5-hkscs") << QByteArray("big5-hkscs") << QByteArray("Big5");
        QTest::newRow("iso-8859-1") << QByteArray("ISO-8859-1") << QByteArray("windows-1252");
        QTest::newRow("utf-16") << QByteArray("utf-16") << QByteArray("UTF-16LE");
        QTest::newRow("utf8") << QByteArray("utf8") << QByteArray("UTF-8");
        QTest::newRow("codec's own name") << QByteArray("iso-8859-2") << QByteArray("ISO-8859-2");
        QTest::newRow("utf-7 refused") << QByteArray("UTF-7") << QByteArray();
        QTest::newRow("unknown") << QByteArray("no-such") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void canonicalCharset() {
        QFETCH(QByteArray, label);
        QFETCH(QByteArray, encoding);
        QCOMPARE(TextCodec::canonicalCharset(label), encoding);
    }

    void readBoundedStopsAtTheCap_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("cap");
        QTest::newRow("under") << 10 << 11;
        QTest::newRow("exactly") << 10 << 10;
        QTest::newRow("over") << 11 << 10;
        QTest::newRow("over by a chunk") << (3 << 20) << (1 << 20);
    }
    void readBoundedStopsAtTheCap() {
        QFETCH(int, size);
        QFETCH(int, cap);
        QByteArray data(size, 'x');
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QByteArray bytes;
        QCOMPARE(TextCodec::readBounded(buffer, cap, bytes), size <= cap);
        QCOMPARE(bytes.size(), qMin(size, cap));
    }

    void decodeHtml() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, header);
        QFETCH(QString, contains);
        QFETCH(QByteArray, encoding);
        const TextCodec::Decoded d = TextCodec::decodeHtml(bytes, header);
        QVERIFY2(d.text.contains(contains), qPrintable(d.text));
        QCOMPARE(d.encoding, encoding);
    }

    void charsetFromContentType_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("charset");
        QTest::newRow("plain") << QByteArray("text/html; charset=gbk") << QByteArray("gbk");
        QTest::newRow("quoted") << QByteArray("text/html;charset=\"UTF-8\"") << QByteArray("UTF-8");
        QTest::newRow("upper, spaces") << QByteArray("text/html ; CHARSET = big5 ") << QByteArray("big5");
        QTest::newRow("other params")
            << QByteArray("text/javascript; q=1; charset=gb2312") << QByteArray("gb2312");
        QTest::newRow("none") << QByteArray("text/html") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void charsetFromContentType() {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, charset);
        QCOMPARE(TextCodec::charsetFromContentType(value), charset);
    }

    void charsetFromHtml_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("charset");
        QTest::newRow("meta charset") << QByteArray("<meta charset=gbk>") << QByteArray("gbk");
        QTest::newRow("quoted, self-closed")
            << QByteArray("<head><meta charset='big5'/>") << QByteArray("big5");
        QTest::newRow("http-equiv") << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                                  "charset=gb2312\">")
                                    << QByteArray("gb2312");
        QTest::newRow("content before http-equiv")
            << QByteArray("<meta content='text/html; charset=gbk' http-equiv='content-type'>")
            << QByteArray("gbk");
        QTest::newRow("content without http-equiv")
            << QByteArray("<meta content='charset=gbk'>") << QByteArray();
        QTest::newRow("in comment") << QByteArray("<!-- <meta charset=gbk> -->") << QByteArray();
        QTest::newRow("inside attribute") << QByteArray("<div title='<meta charset=gbk>'>") << QByteArray();
        QTest::newRow("unknown then known")
            << QByteArray("<meta charset=nonsense><meta charset=utf-8>") << QByteArray("utf-8");
        QTest::newRow("none") << QByteArray("<html><body>hi</body></html>") << QByteArray();
        QTest::newRow("metadata is not meta") << QByteArray("<metadata charset=gbk>") << QByteArray();
        QTest::newRow("unterminated") << QByteArray("<meta charset=\"gbk") << QByteArray();
        // Long keyword metas come first on many old pages: the first 8 KiB are searched, no further.
        const QByteArray meta("<meta charset=gbk>");
        const QByteArray keywords = "<meta name=keywords content='" + QByteArray(8192, 'k') + "'>";
        QTest::newRow("meta ending at 8 KiB")
            << keywords.left(8192 - meta.size() - 2) + "'>" + meta << QByteArray("gbk");
        QTest::newRow("meta beyond 8 KiB") << keywords.left(8192 - 2) + "'>" + meta << QByteArray();
    }
    void charsetFromHtml() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, charset);
        QCOMPARE(TextCodec::charsetFromHtml(head), charset);
    }

    void encodeRoundTrip_data() {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("prefix");
        QTest::newRow("utf8") << QByteArray("UTF-8") << false << kChinese << QByteArray("//");
        QTest::newRow("utf8 bom") << QByteArray("UTF-8") << true << kChinese << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("utf16le bom") << QByteArray("UTF-16LE") << true << kChinese << QByteArray("\xFF\xFE");
        QTest::newRow("utf16be bom") << QByteArray("UTF-16BE") << true << kChinese << QByteArray("\xFE\xFF");
        QTest::newRow("gb18030") << QByteArray("GB18030") << false << kChinese + QStringLiteral("𠀀")
                                 << QByteArray("//");
        QTest::newRow("gbk written as gb18030")
            << QByteArray("GBK") << false << kChinese + QStringLiteral("𠀀€") << QByteArray("//");
        QTest::newRow("big5") << QByteArray("Big5") << false << kTraditional << QByteArray("//");
        QTest::newRow("bom ignored for gb18030")
            << QByteArray("GB18030") << true << kChinese << QByteArray("//");
    }
    void encodeRoundTrip() {
        QFETCH(QByteArray, encoding);
        QFETCH(bool, bom);
        QFETCH(QString, text);
        QFETCH(QByteArray, prefix);
        const QByteArray bytes = TextCodec::encode(text, encoding, bom);
        QVERIFY(bytes.startsWith(prefix));
        const TextCodec::Decoded d = TextCodec::decode(bytes);
        QCOMPARE(d.text, text);
        QCOMPARE(d.encoding, TextCodec::canonicalCharset(encoding));
        QCOMPARE(TextCodec::encode(d.text, d.encoding, d.bom), bytes);
    }

    void encodeDefaultsToUtf8() {
        QCOMPARE(TextCodec::encode(QStringLiteral("好"), QByteArray(), false), QStringLiteral("好").toUtf8());
        QCOMPARE(TextCodec::encode(QStringLiteral("好"), "no-such", false), QStringLiteral("好").toUtf8());
    }

    void readFileFailures_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("errorStart");
        QTest::newRow("missing") << "missing.js" << QStringLiteral("文件不存在：");
        QTest::newRow("folder") << "folder" << QStringLiteral("这是文件夹，不是文件：");
        QTest::newRow("empty path") << QString() << QStringLiteral("没有指定文件");
    }
    void readFileFailures() {
        QFETCH(QString, relative);
        QFETCH(QString, errorStart);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
        const QString path = relative.isEmpty() ? QString() : dir.filePath(relative);
        const TextCodec::FileText f = TextCodec::readFile(path);
        QVERIFY(!f.ok);
        QVERIFY2(f.error.startsWith(errorStart), qPrintable(f.error));
        QVERIFY(f.text.isEmpty());
    }

    void readFileDevice() {
        const TextCodec::FileText f = TextCodec::readFile(QStringLiteral("/dev/zero"));
        QVERIFY(!f.ok);
        QVERIFY2(f.error.contains(QStringLiteral("不是普通文件")), qPrintable(f.error));
    }

    void readFileUnreadable() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("secret.js"));
        TestEnv::writeFile(path, "x");
        QFile::setPermissions(path, QFileDevice::Permissions());
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("running with privileges that read any file");
        const TextCodec::FileText f = TextCodec::readFile(path);
        QVERIFY(!f.ok);
        QVERIFY2(f.error.startsWith(QStringLiteral("无法读取文件：") + path), qPrintable(f.error));
    }

    void readFileContents_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("encoding");
        QTest::newRow("empty") << QByteArray() << QString() << QByteArray("UTF-8");
        QTest::newRow("gbk") << enc("GBK", kChinese) << kChinese << QByteArray("GB18030");
        QTest::newRow("utf16le bom") << QByteArray("\xFF\xFE") + enc("UTF-16LE", kChinese) << kChinese
                                     << QByteArray("UTF-16LE");
    }
    void readFileContents() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QByteArray, encoding);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.js"));
        TestEnv::writeFile(path, bytes);
        const TextCodec::FileText f = TextCodec::readFile(path);
        QVERIFY(f.ok);
        QCOMPARE(f.text, text);
        QCOMPARE(f.encoding, encoding);
        QVERIFY(f.error.isEmpty());
    }

    void readBinaryFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("image.png"));
        QByteArray bytes("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
        for (int i = 0; i < 1000; ++i)
            bytes += char(i % 256);
        TestEnv::writeFile(path, bytes);
        const TextCodec::FileText f = TextCodec::readFile(path);
        QVERIFY(f.ok);
        QVERIFY(f.text.size() > 500);
    }

    void writeBackKeepsEncoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("gbk") << enc("GBK", kChinese);
        QTest::newRow("utf8 bom") << QByteArray("\xEF\xBB\xBF") + kChinese.toUtf8();
        QTest::newRow("utf16be bom") << QByteArray("\xFE\xFF") + enc("UTF-16BE", kChinese);
        QTest::newRow("big5") << enc("Big5", kTraditional);
    }
    void writeBackKeepsEncoding() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.js"));
        TestEnv::writeFile(path, bytes);
        const TextCodec::FileText f = TextCodec::readFile(path);
        QVERIFY(f.ok);
        QCOMPARE(TextCodec::writeFile(path, f.text, f.encoding, f.bom), QString());
        QCOMPARE(TestEnv::readFile(path), bytes);
    }

    void writeFileFailures() {
        QTemporaryDir dir;
        const QString missingFolder = dir.filePath(QStringLiteral("no/such/folder/a.js"));
        QVERIFY(TextCodec::writeFile(missingFolder, QStringLiteral("x"))
                    .startsWith(QStringLiteral("无法写入文件：")));
        QVERIFY(!TextCodec::writeFile(dir.path(), QStringLiteral("x")).isEmpty());
        QVERIFY(!TextCodec::writeFile(QString(), QStringLiteral("x")).isEmpty());
    }

    void failedWriteKeepsOldFile() {
        // A name at the file-system limit leaves no room for QSaveFile's temporary name beside it,
        // so the write fails even with privileges that ignore permissions.
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(250, QLatin1Char('a')) + QStringLiteral(".js"));
        TestEnv::writeFile(path, "old");
        const QString error = TextCodec::writeFile(path, QStringLiteral("new"));
        QVERIFY2(error.contains(path), qPrintable(error));
        QCOMPARE(TestEnv::readFile(path), QByteArray("old"));
    }
};

VARNEL_TEST_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
