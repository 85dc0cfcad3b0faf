#include "support/TestEnv.h"
#include "platform/page/ScriptFetchers.h"
#include "workbench/FindNext.h"
#include "workbench/LinePitch.h"
#include "workbench/PaneBlocks.h"
#include "workbench/SaveEncoding.h"
#include "workbench/SourceSave.h"
#include "workbench/UnsavedWork.h"

#include <QApplication>

#include <algorithm>

Q_DECLARE_METATYPE(CodeRange)
#include <QTest>

class TestWorkbenchLogic : public QObject {
    Q_OBJECT
private slots:
    void scriptTextForSave_data() {
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("saved");
        const QString h = QStringLiteral("网址0[本地JS]：/d/a.js\r\n");
        QTest::newRow("as collected") << h + "var a;\r\n" << h << "var a;";
        QTest::newRow("file ending in a line break") << h + "var a;\r\n\r\n" << h << "var a;\r\n";
        QTest::newRow("empty file") << h + "\r\n" << h << "";
        QTest::newRow("header edited stays") << "网址0[本地JS]：/d/b.js\r\nx\r\n"
                                             << h << "网址0[本地JS]：/d/b.js\r\nx";
        QTest::newRow("final break removed by the user") << h + "x" << h << "x";
        QTest::newRow("no header known: text as it is") << "x\r\n"
                                                        << ""
                                                        << "x\r\n";
        QTest::newRow("lone LF is not the collection's") << h + "x\n" << h << "x\n";
    }
    void scriptTextForSave() {
        QFETCH(QString, pane);
        QFETCH(QString, header);
        QFETCH(QString, saved);
        QCOMPARE(ScriptTextForSave(pane, header), saved);
    }

    void planSave_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<bool>("ask");
        QTest::newRow("gbk holds simplified") << "简体" << QByteArray("GBK") << false;
        QTest::newRow("gb18030 holds emoji") << "😀" << QByteArray("GB18030") << false;
        QTest::newRow("big5 lacks simplified") << "简体" << QByteArray("Big5") << true;
        QTest::newRow("latin lacks chinese") << "中" << QByteArray("windows-1252") << true;
        QTest::newRow("latin holds euro") << "€é" << QByteArray("windows-1252") << false;
        QTest::newRow("utf-16 holds all") << "😀中" << QByteArray("UTF-16LE") << false;
        QTest::newRow("host code page holds all") << "😀中" << QByteArray() << false;
    }
    void planSave() {
        QFETCH(QString, text);
        QFETCH(QByteArray, encoding);
        QFETCH(bool, ask);
        QCOMPARE(PlanSave(text, encoding, false).askUtf8, ask);
    }

    void savePlan_data();
    void savePlan();
    void sourceChanged_data();
    void sourceChanged();
    void functionsChanged_data();
    void functionsChanged();

    void paneBlocks_data();
    void paneBlocks();
    void findNext_data();
    void findNext();
    void findRepeatedPresses();
    void notFoundMessage();
    void linePitch_data();
    void linePitch();
    void downloadable_data();
    void downloadable();
    void rewriteEncoding_data();
    void rewriteEncoding();
};

void TestWorkbenchLogic::findNext_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("expected");

    QTest::newRow("abcabc bc from 0") << "abcabc"
                                      << "bc" << 0 << 1;
    QTest::newRow("abcabc bc from 1") << "abcabc"
                                      << "bc" << 1 << 4;
    QTest::newRow("abcabc bc from 4") << "abcabc"
                                      << "bc" << 4 << -1;
    QTest::newRow("match at caret, one character") << "abc"
                                                   << "a" << 0 << 0;
    QTest::newRow("match at caret skipped, longer needle") << "abcab"
                                                           << "ab" << 0 << 3;
    QTest::newRow("only match at caret, longer needle") << "abc"
                                                        << "ab" << 0 << -1;
    QTest::newRow("ABC finds abc") << "xxabc"
                                   << "ABC" << 0 << 2;
    QTest::newRow("abc finds ABC") << "xxABC"
                                   << "abc" << 0 << 2;
    QTest::newRow("non-ASCII case") << "straÄe"
                                    << "ä" << 0 << 4;
    QTest::newRow("CJK") << "函数名函数"
                         << "函数" << 1 << 3;
    QTest::newRow("empty needle") << "abc"
                                  << "" << 0 << -1;
    QTest::newRow("empty text") << ""
                                << "a" << 0 << -1;
    QTest::newRow("start past the end") << "abc"
                                        << "bc" << 3 << -1;
    QTest::newRow("caret far past the end") << "abc"
                                            << "c" << 100 << -1;
    QTest::newRow("needle longer than text") << "ab"
                                             << "abc" << 0 << -1;
}

void TestWorkbenchLogic::findNext() {
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(int, caret);
    QFETCH(int, expected);
    QCOMPARE(FindNext(text, needle, caret), expected);
}

void TestWorkbenchLogic::findRepeatedPresses() {
    // A one-character needle: each press starts at the caret, which stands at the previous match.
    const QString text = QStringLiteral("xaxa");
    int caret = 0;
    caret = FindNext(text, QStringLiteral("a"), caret);
    QCOMPARE(caret, 1);
    QCOMPARE(FindNext(text, QStringLiteral("a"), caret), 1);
}

void TestWorkbenchLogic::notFoundMessage() {
    QCOMPARE(FindNotFoundMessage(QStringLiteral("bc")),
             QStringLiteral("不存在：bc\r\n或者已经到了文本尾部。"));
}

void TestWorkbenchLogic::linePitch_data() {
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("extra");
    QTest::addColumn<int>("expected");

    QTest::newRow("9 pt") << 9.0 << 50 << 248;
    QTest::newRow("10.5 pt") << 10.5 << 50 << 281;
    QTest::newRow("no extra") << 12.0 << 0 << 264;
    // 22 × x ends in one half exactly when x is an odd number of quarter points.
    QTest::newRow("0.25 pt: 5.5 to 6") << 0.25 << 0 << 6;
    QTest::newRow("0.75 pt: 16.5 to 16") << 0.75 << 0 << 16;
    QTest::newRow("10.25 pt: 275.5 to 276") << 10.25 << 50 << 276;
    QTest::newRow("10.75 pt: 286.5 to 286") << 10.75 << 50 << 286;
    QTest::newRow("1.25 pt: 27.5 to 28") << 1.25 << 0 << 28;
    QTest::newRow("9.1 pt: 250.2 to 250") << 9.1 << 50 << 250;
    QTest::newRow("9.15 pt: 251.3 to 251") << 9.15 << 50 << 251;
    QTest::newRow("negative extra") << 10.0 << -300 << -80;
    QTest::newRow("-0.25 pt: -5.5 to -6") << -0.25 << 0 << -6;
}

void TestWorkbenchLogic::linePitch() {
    QFETCH(double, points);
    QFETCH(int, extra);
    QFETCH(int, expected);
    QCOMPARE(LinePitchTwips(points, extra), expected);
}

void TestWorkbenchLogic::downloadable_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("expected");

    QTest::newRow("http") << "http://h/b.js" << true;
    QTest::newRow("HTTP in capitals") << "HTTP://H/B.JS" << true;
    QTest::newRow("mixed case") << "hTtP://h/b.js" << true;
    QTest::newRow("https") << "https://h/b.js" << true;
    QTest::newRow("HTTPS in capitals") << "HTTPS://H/B.JS" << true;
    QTest::newRow("https too short") << "https:/" << false;
    QTest::newRow("other scheme") << "ftp://h/b.js" << false;
    QTest::newRow("inline entry") << "[网页内JS-0] http://h/p.htm" << false;
    QTest::newRow("local entry") << "[本地JS-1] C:/dir/a.js" << false;
    QTest::newRow("leading space") << " http://h/b.js" << false;
    QTest::newRow("bare prefix") << "http://" << true;
    QTest::newRow("too short") << "http:/" << false;
    QTest::newRow("empty") << "" << false;
}

void TestWorkbenchLogic::downloadable() {
    QFETCH(QString, address);
    QFETCH(bool, expected);
    QCOMPARE(isHttpAddress(address), expected);
}

void TestWorkbenchLogic::rewriteEncoding_data() {
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("GBK") << QByteArray("GBK") << QByteArray("GB18030");
    QTest::newRow("gb2312") << QByteArray("gb2312") << QByteArray("GB18030");
    QTest::newRow("code page 936") << QByteArray("windows-936") << QByteArray("GB18030");
    QTest::newRow("GB18030") << QByteArray("GB18030") << QByteArray("GB18030");
    QTest::newRow("web label of GBK") << QByteArray("x-gbk") << QByteArray("GB18030");
    QTest::newRow("euc-cn") << QByteArray(" EUC-CN ") << QByteArray("GB18030");
    QTest::newRow("Big5 kept") << QByteArray("Big5") << QByteArray("Big5");
    QTest::newRow("UTF-16LE kept") << QByteArray("UTF-16LE") << QByteArray("UTF-16LE");
    QTest::newRow("host code page") << QByteArray() << QByteArray();
}

void TestWorkbenchLogic::rewriteEncoding() {
    QFETCH(QByteArray, read);
    QFETCH(QByteArray, written);
    QCOMPARE(EncodingForRewrite(read), written);
}

using Step = UnsavedWork::Step;

void TestWorkbenchLogic::savePlan_data() {
    QTest::addColumn<bool>("source");
    QTest::addColumn<bool>("functions");
    QTest::addColumn<bool>("saveEnabled");
    QTest::addColumn<QList<Step>>("steps");
    QTest::newRow("nothing changed") << false << false << true << QList<Step>{};
    QTest::newRow("script file typed in") << true << false << true << QList<Step>{Step::SaveSourceOver};
    QTest::newRow("page typed in") << true << false << false << QList<Step>{Step::SaveSourceAs};
    QTest::newRow("functions edited") << false << true << true << QList<Step>{Step::SaveNewTextAs};
    QTest::newRow("both, script file")
        << true << true << true << QList<Step>{Step::SaveSourceOver, Step::SaveNewTextAs};
    QTest::newRow("both, page") << true << true << false
                                << QList<Step>{Step::SaveSourceAs, Step::SaveNewTextAs};
}

void TestWorkbenchLogic::savePlan() {
    QFETCH(bool, source);
    QFETCH(bool, functions);
    QFETCH(bool, saveEnabled);
    QFETCH(QList<Step>, steps);
    QCOMPARE(UnsavedWork::savePlan(source, functions, saveEnabled), steps);
}

// Events, in order: n = 规范化, s = a save started, f = that save failed, r = read again.
void TestWorkbenchLogic::sourceChanged_data() {
    QTest::addColumn<QString>("events");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("changed");
    QTest::newRow("as loaded") << "" << false << false;
    QTest::newRow("typed in") << "" << true << true;
    QTest::newRow("normalised") << "n" << false << true;
    QTest::newRow("normalised, saved") << "ns" << false << false;
    QTest::newRow("normalised, save failed") << "nsf" << false << true;
    QTest::newRow("failed, then saved") << "nsfs" << false << false;
    QTest::newRow("normalised, read again") << "nr" << false << false;
    QTest::newRow("saved, normalised again") << "nsn" << false << true;
    QTest::newRow("typed after the save") << "ns" << true << true;
}

void TestWorkbenchLogic::sourceChanged() {
    QFETCH(QString, events);
    QFETCH(bool, typed);
    QFETCH(bool, changed);
    UnsavedWork work;
    for (QChar e : events) {
        switch (e.toLatin1()) {
        case 'n':
            work.sourceNormalised();
            break;
        case 's':
            work.sourceSaveStarted();
            break;
        case 'f':
            work.sourceSaveFailed();
            break;
        case 'r':
            work.sourceReplaced();
            break;
        }
    }
    QCOMPARE(work.sourceChanged(typed), changed);
}

// Steps: "load:T", "save:T" (a save of T started), "fail"; then the array's text now.
void TestWorkbenchLogic::functionsChanged_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("now");
    QTest::addColumn<bool>("changed");
    QTest::newRow("as derived") << QStringList{"load:a b"} << "a b" << false;
    QTest::newRow("an entry removed") << QStringList{"load:a b"} << "a" << true;
    QTest::newRow("removed, then undone") << QStringList{"load:a b"} << "a b" << false;
    QTest::newRow("saved") << QStringList{"load:a b", "save:a"} << "a" << false;
    QTest::newRow("save failed") << QStringList{"load:a b", "save:a", "fail"} << "a" << true;
    QTest::newRow("changed after the save") << QStringList{"load:a b", "save:a"} << "" << true;
    QTest::newRow("derived again drops the edits") << QStringList{"load:a b", "load:c"} << "c" << false;
    QTest::newRow("while deriving") << QStringList{"load:a b", "load:"} << "" << false;
}

void TestWorkbenchLogic::functionsChanged() {
    QFETCH(QStringList, steps);
    QFETCH(QString, now);
    QFETCH(bool, changed);
    UnsavedWork work;
    for (const QString &step : steps) {
        const QString text = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QLatin1String("load:")))
            work.functionsLoaded(text);
        else if (step.startsWith(QLatin1String("save:")))
            work.functionsSaveStarted(text);
        else
            work.functionsSaveFailed();
    }
    QCOMPARE(work.functionsChanged(now), changed);
}

void TestWorkbenchLogic::paneBlocks_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<bool>("headed");
    QTest::addColumn<QList<CodeRange>>("ranges");
    const QByteArray combined = "H0\r\na;\r\nb\r\nH1\r\nc\r\n";
    QTest::newRow("headed") << combined << QList<int>{0, 3} << true << QList<CodeRange>{{4, 9}, {15, 16}};
    QTest::newRow("numbering off") << QByteArray("a;\r\nb\r\nc\r\n") << QList<int>{0, 2} << false
                                   << QList<CodeRange>{{0, 5}, {7, 8}};
    QTest::newRow("no blocks: the whole text") << QByteArray("x\ny") << QList<int>{} << true
                                               << QList<CodeRange>{{0, 3}};
    QTest::newRow("text before the first header stays out")
        << QByteArray("pre\nH0\nx\n") << QList<int>{1} << true << QList<CodeRange>{{7, 8}};
    QTest::newRow("header on the last line, no body") << QByteArray("a\rH1") << QList<int>{1} << true
                                                       << QList<CodeRange>{{4, 4}};
    QTest::newRow("lines out of order are skipped") << QByteArray("a\nb\nc") << QList<int>{2, 1} << false
                                                    << QList<CodeRange>{{4, 5}};
}

void TestWorkbenchLogic::paneBlocks() {
    QFETCH(QByteArray, text);
    QFETCH(QList<int>, lines);
    QFETCH(bool, headed);
    QFETCH(QList<CodeRange>, ranges);
    QCOMPARE(BlockRangesOfLines(text, lines, headed), ranges);
    // And back: each block's start line is found again (when the marks were in order).
    if (!lines.isEmpty() && std::is_sorted(lines.begin(), lines.end()))
        QCOMPARE(LinesOfBlocks(text, ranges, headed), lines);
}

VARNEL_TEST_MAIN(TestWorkbenchLogic)
#include "tst_workbenchlogic.moc"
