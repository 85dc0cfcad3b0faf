#include "platform/text/TextCodec.h"
#include "platform/ui/TextPane.h"
#include "platform/ui/Utf8Units.h"
#include "support/TestEnv.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTest>

// The text pane speaks UTF-16 offsets while the editor inside works in UTF-8 bytes: the tests hold the
// two in step on texts with Chinese characters, surrogate pairs and CR LF line breaks.
class TestTextPane : public QObject {
    Q_OBJECT

    static QString mixed() {
        // a 中 😀 b CR LF 第 二 行 😀 x  -> UTF-16 units: a(0) 中(1) 😀(2,3) b(4) \r(5) \n(6) 第(7) 二(8) 行(9)
        // 😀(10,11) x(12)
        return QStringLiteral("a中\U0001F600b\r\n第二行\U0001F600x");
    }

    static long send(TextPane &pane, unsigned int msg, unsigned long w = 0, long l = 0) {
        return pane.editor()->SendScintilla(msg, w, l);
    }

private slots:
    // Counting over the bytes eight at a time must agree with QString's own count across word edges.
    void utf8Units_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii, one word and a half") << QStringLiteral("abcdefghijkl");
        QTest::newRow("chinese over word edges") << QStringLiteral("ab中文字符c中");
        QTest::newRow("surrogate pairs") << QStringLiteral("a\U0001F600bcdefg\U0001F600\U0001F600");
        QTest::newRow("mixed") << mixed();
    }
    void utf8Units() {
        QFETCH(QString, text);
        const QByteArray bytes = text.toUtf8();
        const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
        QCOMPARE(utf16Units(p, long(bytes.size())), long(text.size()));
        QCOMPARE(utf8Length(text), bytes.size());
        for (int units = 0; units <= text.size(); ++units) {
            long left = -1;
            const long at = bytesOfUnits(p, long(bytes.size()), units, &left);
            // Inside a pair the count stops at its start, one unit left over.
            const bool inPair = units > 0 && units < text.size() && text.at(units - 1).isHighSurrogate();
            QCOMPARE(at, long(text.left(inPair ? units - 1 : units).toUtf8().size()));
            QCOMPARE(left, inPair ? 1L : 0L);
        }
        long left = -1;
        QCOMPARE(bytesOfUnits(p, long(bytes.size()), text.size() + 3, &left), long(bytes.size()));
        QCOMPARE(left, 3L);
    }

    void textRoundTrips_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii") << QStringLiteral("var a = 1;");
        QTest::newRow("cjk and pairs") << mixed();
        QTest::newRow("bare LF and CR kept") << QStringLiteral("a\nb\rc\r\nd");
        QTest::newRow("NUL inside") << QString::fromUtf16(u"a\0b", 3);
        QTest::newRow("ends with break") << QStringLiteral("x();\r\n");
    }
    void textRoundTrips() {
        QFETCH(QString, text);
        TextPane pane;
        pane.setText(text);
        QCOMPARE(pane.text(), text);
        QCOMPARE(pane.length(), text.size());
        QCOMPARE(pane.selectionStart(), 0);
        QCOMPARE(pane.selectionLength(), 0);
        QCOMPARE(pane.utf8Text(), text.toUtf8());
        QCOMPARE(pane.utf8View(), text.toUtf8());

        // The same text put in as bytes.
        TextPane bytes;
        bytes.setText(QStringLiteral("old 旧"));
        bytes.setSelection(2, 2);
        bytes.setUtf8Text(text.toUtf8());
        QCOMPARE(bytes.text(), text);
        QCOMPARE(bytes.length(), text.size());
        QCOMPARE(bytes.selectionStart(), 0);
        QCOMPARE(bytes.selectionLength(), 0);
        // Its own text, given back as a view of itself.
        bytes.setUtf8Text(bytes.utf8View());
        QCOMPARE(bytes.text(), text);
    }

    // Bytes that are not UTF-8 go in as QString reads them, so text, length and offsets agree.
    void setUtf8TextRepairsBadBytes() {
        const QByteArray bad("a\xE4\xB8"
                             "b\xFF\xF0\x9F\x98\x80"
                             "c"); // cut sequence, stray byte, a pair
        const QString want = QString::fromUtf8(bad);
        TextPane pane;
        pane.setUtf8Text(bad);
        QCOMPARE(pane.text(), want);
        QCOMPARE(pane.utf8Text(), want.toUtf8());
        QCOMPARE(pane.length(), want.size());
        pane.setSelection(int(want.size()) - 1, 1);
        QCOMPARE(pane.editor()->selectedText(), QStringLiteral("c"));
    }

    void setTextReplacesAndIsNotUndoable() {
        TextPane pane;
        pane.show();
        QVERIFY(QTest::qWaitForWindowActive(&pane));
        pane.setText(QStringLiteral("first"));
        pane.setText(QStringLiteral("第二"));
        QCOMPARE(pane.text(), QStringLiteral("第二"));
        pane.editor()->undo();
        QCOMPARE(pane.text(), QStringLiteral("第二"));
        // Nor is a byte-level set, and it forgets the typing before it.
        pane.setSelection(2, 0);
        QTest::keyClicks(pane.editor(), QStringLiteral("x"));
        QCOMPARE(pane.text(), QStringLiteral("第二x"));
        pane.setUtf8Text(QStringLiteral("第三").toUtf8());
        QVERIFY(!pane.editor()->isUndoAvailable());
        pane.editor()->undo();
        QCOMPARE(pane.text(), QStringLiteral("第三"));
    }

    void selectionOffsets_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("wantStart");
        QTest::addColumn<int>("wantLength");
        QTest::newRow("caret at 0") << 0 << 0 << 0 << 0;
        QTest::newRow("one CJK char") << 1 << 1 << 1 << 1;
        QTest::newRow("whole pair") << 2 << 2 << 2 << 2;
        QTest::newRow("after pair") << 4 << 1 << 4 << 1;
        QTest::newRow("over the line break") << 4 << 4 << 4 << 4;
        QTest::newRow("second line") << 7 << 3 << 7 << 3;
        QTest::newRow("pair on second line") << 10 << 3 << 10 << 3;
        QTest::newRow("start inside a pair falls back") << 3 << 0 << 2 << 0;
        QTest::newRow("end inside a pair falls back") << 1 << 2 << 1 << 1;
        QTest::newRow("caret at the end") << 13 << 0 << 13 << 0;
        QTest::newRow("start past the end") << 40 << 5 << 13 << 0;
        QTest::newRow("length past the end") << 9 << 100 << 9 << 4;
        QTest::newRow("negative start") << -5 << 2 << 0 << 2;
        QTest::newRow("negative length") << 7 << -3 << 7 << 0;
    }
    void selectionOffsets() {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, wantStart);
        QFETCH(int, wantLength);
        for (const bool asBytes : {false, true}) {
            TextPane pane;
            if (asBytes)
                pane.setUtf8Text(mixed().toUtf8());
            else
                pane.setText(mixed());
            pane.setSelection(start, length);
            QCOMPARE(pane.selectionStart(), wantStart);
            QCOMPARE(pane.selectionLength(), wantLength);
            QCOMPARE(pane.editor()->selectedText(), mixed().mid(wantStart, wantLength));
        }
    }

    // Every offset of a text whose characters take one to four bytes, so the eight-byte steps of the
    // count end inside characters of every size. An offset inside a surrogate pair falls back to its start.
    void everyOffsetAgrees() {
        const QString text = QStringLiteral("a中\U0001F600\u00E9\r\nxy文\U0001F601\U0001F602b字\u00E9;{}"
                                            "\U0001F603末尾abc中文字符\U0001F604");
        auto fallBack = [&](int offset) {
            offset = std::min(offset, int(text.size()));
            return offset < text.size() && text.at(offset).isLowSurrogate() ? offset - 1 : offset;
        };
        TextPane pane;
        pane.setText(text);
        QCOMPARE(pane.length(), text.size());
        for (int start = 0; start <= text.size() + 1; ++start) {
            for (int length = 0; length <= 5; ++length) {
                const int wantStart = fallBack(start);
                const int wantEnd = fallBack(std::min(start, int(text.size())) + length);
                pane.setSelection(start, length);
                QCOMPARE(pane.selectionStart(), wantStart);
                QCOMPARE(pane.selectionLength(), wantEnd - wantStart);
                QCOMPARE(pane.editor()->selectedText(), text.mid(wantStart, wantEnd - wantStart));
            }
        }
    }

    // Offsets deep inside a large text of many lines land on the right character in both directions.
    void offsetsInLargeText() {
        QString text;
        const QString line = QStringLiteral("函数\U0001F600 f%1() { return '中文'; }\r\n");
        for (int i = 0; i < 20000; ++i)
            text += line.arg(i);
        auto checkOffsets = [](TextPane &pane, const QString &text) {
            QCOMPARE(pane.length(), text.size());
            for (qsizetype offset : {qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(4), qsizetype(777),
                                     qsizetype(123456), text.size() / 2, text.size() - 3, text.size() - 1}) {
                if (text.at(offset).isLowSurrogate())
                    continue;
                pane.setSelection(int(offset), 2);
                QCOMPARE(pane.selectionStart(), offset);
                QCOMPARE(pane.editor()->selectedText(), text.mid(offset, pane.selectionLength()));
            }
        };
        TextPane pane;
        pane.setText(text);
        checkOffsets(pane, text);
        pane.setUtf8Text(text.toUtf8());
        checkOffsets(pane, text);

        // Edits after a bulk set, before and after the first offset is asked for, keep offsets right.
        const QString head = QStringLiteral("\U0001F600头\r\n");
        pane.setUtf8Text(text.toUtf8());
        pane.editor()->insertAt(head, 0, 0);
        checkOffsets(pane, head + text);
        pane.editor()->insertAt(head, 0, 0);
        checkOffsets(pane, head + head + text);
    }

    void appendPutsCaretAtEnd() {
        TextPane pane;
        pane.setText(QStringLiteral("网址0[本地JS]：C:/a.js\r\n"));
        pane.setSelection(2, 3);
        pane.append(QStringLiteral("alert('\U0001F600');"));
        pane.append(QStringLiteral("\r\n"));
        const QString want = QStringLiteral("网址0[本地JS]：C:/a.js\r\nalert('\U0001F600');\r\n");
        QCOMPARE(pane.text(), want);
        QCOMPARE(pane.selectionStart(), want.size());
        QCOMPARE(pane.selectionLength(), 0);
        pane.append(QString());
        QCOMPARE(pane.text(), want);
    }

    // Long texts go into the editor in slices; a surrogate pair on a slice boundary stays whole.
    void longAppendKeepsPairsWhole() {
        const qsizetype slice = 1 << 20;
        QString text(slice - 1, QLatin1Char('a'));
        text += QStringLiteral("\U0001F600中");
        text += QString(slice, QChar(0x6587));
        TextPane pane;
        pane.setText(QStringLiteral("网址0：x\r\n"));
        pane.append(text);
        QCOMPARE(pane.length(), 7 + text.size());
        QCOMPARE(pane.text(), QStringLiteral("网址0：x\r\n") + text);
        pane.setSelection(7 + int(slice) - 1, 3);
        QCOMPARE(pane.editor()->selectedText(), QStringLiteral("\U0001F600中"));
    }

    void reserveKeepsTheText() {
        TextPane pane;
        pane.setText(QStringLiteral("网址0：a\r\n"));
        pane.setSelection(2, 1);
        pane.reserve(3 << 20);
        QCOMPARE(pane.text(), QStringLiteral("网址0：a\r\n"));
        QCOMPARE(pane.selectionStart(), 2);
        QCOMPARE(pane.selectionLength(), 1);
        const QString body(2 << 20, QChar(0x5B57));
        pane.append(body);
        QCOMPARE(pane.length(), 7 + body.size());
        QVERIFY(pane.text().endsWith(body));
    }

    void replaceSelectionReplacesAndLeavesCaretAfter() {
        TextPane pane;
        pane.setText(mixed());
        pane.setSelection(2, 2);
        pane.replaceSelection(QStringLiteral("笑"));
        QCOMPARE(pane.text(), QStringLiteral("a中笑b\r\n第二行\U0001F600x"));
        QCOMPARE(pane.selectionStart(), 3);
        QCOMPARE(pane.selectionLength(), 0);
    }

    void wrapSwitches() {
        TextPane pane;
        pane.resize(300, 200);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        pane.setText(QString(400, QLatin1Char('x')) + QStringLiteral(" ") + QString(400, QChar(0x4E2D)));
        QVERIFY(!pane.wordWrap());
        QCOMPARE(send(pane, QsciScintillaBase::SCI_WRAPCOUNT, 0), 1L);
        pane.setWordWrap(true);
        QVERIFY(pane.wordWrap());
        QCOMPARE(pane.editor()->wrapMode(), QsciScintilla::WrapWord);
        QTRY_VERIFY(send(pane, QsciScintillaBase::SCI_WRAPCOUNT, 0) > 2);
        pane.setWordWrap(false);
        QCOMPARE(pane.editor()->wrapMode(), QsciScintilla::WrapNone);
        QTRY_COMPARE(send(pane, QsciScintillaBase::SCI_WRAPCOUNT, 0), 1L);
    }

    void fontIsTheSongFaceAtTenAndAHalf() {
        TextPane pane;
        QCOMPARE(pane.fontPointSize(), 10.5);
        QCOMPARE(send(pane, QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL, QsciScintillaBase::STYLE_DEFAULT),
                 1050L);
        char face[128] = {};
        pane.editor()->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, QsciScintillaBase::STYLE_DEFAULT,
                                     face);
        const QStringList faces = {QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                   QStringLiteral("Noto Sans Mono CJK SC")};
        bool anyInstalled = false;
        for (const QString &f : faces)
            anyInstalled = anyInstalled || QFontDatabase::hasFamily(f);
        if (anyInstalled)
            QVERIFY2(faces.contains(QString::fromUtf8(face)), face);
        pane.setFontPointSize(11);
        QCOMPARE(pane.fontPointSize(), 11.0);
        QCOMPARE(send(pane, QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL, 5), 1100L);
    }

    // Lines are `pitch` twips apart (1 px = 1440 / logical DPI twips) but never closer than single spacing.
    void linePitch_data() {
        QTest::addColumn<int>("twips");
        QTest::newRow("10.5 pt design pitch") << 281;
        QTest::newRow("9 pt pitch") << 248;
        QTest::newRow("wide") << 600;
        QTest::newRow("tighter than single") << 30;
        QTest::newRow("single") << 0;
    }
    void linePitch() {
        QFETCH(int, twips);
        TextPane pane;
        pane.setText(QStringLiteral("a\r\nb\r\nc"));
        const long single = send(pane, QsciScintillaBase::SCI_TEXTHEIGHT, 0);
        pane.setLinePitchTwips(twips);
        QCOMPARE(pane.linePitchTwips(), twips);
        const long wanted = qRound(twips * pane.editor()->logicalDpiY() / 1440.0);
        QCOMPARE(send(pane, QsciScintillaBase::SCI_TEXTHEIGHT, 1), std::max(single, wanted));
        // A font change keeps the pitch in twips.
        pane.setFontPointSize(20);
        pane.setLinePitchTwips(0);
        const long bigSingle = send(pane, QsciScintillaBase::SCI_TEXTHEIGHT, 0);
        pane.setLinePitchTwips(twips);
        QCOMPARE(send(pane, QsciScintillaBase::SCI_TEXTHEIGHT, 0), std::max(bigSingle, wanted));
    }

    void focusGoesToTheEditor() {
        TextPane pane;
        pane.show();
        QVERIFY(QTest::qWaitForWindowActive(&pane));
        pane.setFocus();
        QTRY_VERIFY(pane.editor()->hasFocus());
    }

    void loadAndSaveFiles() {
        QTemporaryDir dir;
        const QString text = QStringLiteral("alert('中文');\r\nvar s = \"汉字\";");
        const QString gbk = dir.filePath(QStringLiteral("gbk.js"));
        TestEnv::writeFile(gbk, TextCodec::encode(text, "GB18030", false));
        TextPane pane;
        QCOMPARE(pane.loadFile(gbk), QString());
        QCOMPARE(pane.text(), text);

        const QString utf8 = dir.filePath(QStringLiteral("out.js"));
        QCOMPARE(pane.saveFile(utf8), QString());
        QCOMPARE(TestEnv::readFile(utf8), text.toUtf8());
        const QString back = dir.filePath(QStringLiteral("back.js"));
        QCOMPARE(pane.saveFile(back, "GB18030"), QString());
        QCOMPARE(TestEnv::readFile(back), TestEnv::readFile(gbk));

        // A missing file: a reason, and the pane keeps its text.
        QVERIFY(!pane.loadFile(dir.filePath(QStringLiteral("missing.js"))).isEmpty());
        QCOMPARE(pane.text(), text);
        // A folder that does not exist: a reason, nothing written.
        QVERIFY(!pane.saveFile(dir.filePath(QStringLiteral("no/such/folder/x.js"))).isEmpty());
    }

    void typingIsSeen() {
        TextPane pane;
        pane.show();
        QVERIFY(QTest::qWaitForWindowActive(&pane));
        pane.setText(QStringLiteral("ab"));
        pane.setSelection(1, 0);
        int changes = 0;
        connect(&pane, &TextPane::textChanged, this, [&] { ++changes; });
        QTest::keyClicks(pane.editor(), QStringLiteral("xy"));
        QCOMPARE(pane.text(), QStringLiteral("axyb"));
        QCOMPARE(pane.selectionStart(), 3);
        QTRY_VERIFY(changes > 0);
        pane.editor()->undo();
        QVERIFY(pane.text() != QStringLiteral("axyb")); // typing stays undoable
    }

    // What the program writes is no edit of the user's; typing is, until undone or marked unmodified.
    // Steps: t = type, u = undo all, a = append, s = setText, 8 = setUtf8Text, m = setUnmodified.
    void modifiedByTypingOnly_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("modified");
        QTest::newRow("set by the program") << "s" << false;
        QTest::newRow("appended") << "sa" << false;
        QTest::newRow("typed") << "st" << true;
        QTest::newRow("typed, then undone") << "stu" << false;
        QTest::newRow("typed, then replaced") << "st8" << false;
        QTest::newRow("typed, then marked") << "stm" << false;
        QTest::newRow("marked, typed again") << "stmt" << true;
        QTest::newRow("marked, undone past the mark") << "stmu" << true;
        QTest::newRow("typed, then appended to: a fresh start") << "sta" << false;
    }
    void modifiedByTypingOnly() {
        QFETCH(QString, steps);
        QFETCH(bool, modified);
        TextPane pane;
        pane.show();
        QVERIFY(QTest::qWaitForWindowActive(&pane));
        for (QChar step : steps) {
            switch (step.toLatin1()) {
            case 't':
                pane.setSelection(1, 0);
                QTest::keyClicks(pane.editor(), QStringLiteral("xy"));
                break;
            case 'u':
                while (pane.editor()->isUndoAvailable())
                    pane.editor()->undo();
                break;
            case 'a':
                pane.append(QStringLiteral("\r\nmore"));
                break;
            case 's':
                pane.setText(QStringLiteral("ab"));
                break;
            case '8':
                pane.setUtf8Text("cd");
                break;
            case 'm':
                pane.setUnmodified();
                break;
            }
        }
        QCOMPARE(pane.isModified(), modified);
    }

    void textChangedIsSignalled() {
        TextPane pane;
        int changes = 0;
        connect(&pane, &TextPane::textChanged, this, [&] { ++changes; });
        pane.setText(QStringLiteral("x"));
        QVERIFY(changes > 0);
    }
    // Blocks: header lines open a fold running to the line before the next header, and carry a band and a
    // text colour of their own; without headers the blocks are only remembered.
    void blocks_data() {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<QList<int>>("starts");
        QTest::addColumn<bool>("headed");
        QTest::addColumn<QList<int>>("foldHeaders");
        QTest::addColumn<int>("foldedHeader");
        QTest::addColumn<QList<int>>("hiddenWhenFolded");
        QTest::newRow("three headed blocks") << 9 << QList<int>{0, 3, 6} << true << QList<int>{0, 3, 6} << 3
                                             << QList<int>{4, 5};
        QTest::newRow("text before the first header stays out") << 6 << QList<int>{2, 4} << true
                                                                 << QList<int>{2, 4} << 2 << QList<int>{3};
        QTest::newRow("last block runs to the end") << 6 << QList<int>{0, 2} << true << QList<int>{0, 2} << 2
                                                    << QList<int>{3, 4, 5};
        QTest::newRow("lines past the end are left out") << 4 << QList<int>{0, 9} << true << QList<int>{0} << 0
                                                         << QList<int>{1, 2, 3};
        QTest::newRow("without headers nothing folds") << 6 << QList<int>{0, 3} << false << QList<int>{} << -1
                                                       << QList<int>{};
    }
    void blocks() {
        QFETCH(int, lineCount);
        QFETCH(QList<int>, starts);
        QFETCH(bool, headed);
        QFETCH(QList<int>, foldHeaders);
        QFETCH(int, foldedHeader);
        QFETCH(QList<int>, hiddenWhenFolded);
        TextPane pane;
        QStringList lines;
        for (int i = 0; i < lineCount - 1; ++i)
            lines << QStringLiteral("//host/行%1 {").arg(i);
        pane.setText(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        QCOMPARE(pane.lineCount(), lineCount);
        pane.setBlocks(starts, headed);
        // The syntax colouring runs over the whole text: it must not fold at the braces.
        send(pane, QsciScintillaBase::SCI_COLOURISE, 0, -1);

        QList<int> kept;
        for (int line : starts)
            if (line < lineCount)
                kept << line;
        QCOMPARE(pane.blockLines(), kept);
        for (int line = 0; line < lineCount; ++line) {
            const bool header = foldHeaders.contains(line);
            const long level = send(pane, QsciScintillaBase::SCI_GETFOLDLEVEL, line);
            QCOMPARE(bool(level & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG), header);
            QCOMPARE(bool(send(pane, QsciScintillaBase::SCI_MARKERGET, line) & (1 << 2)), header);
            const long start = send(pane, QsciScintillaBase::SCI_POSITIONFROMLINE, line);
            QCOMPARE(send(pane, QsciScintillaBase::SCI_INDICATORVALUEAT, 8, start) != 0, header && line < lineCount - 1);
        }
        QCOMPARE(send(pane, QsciScintillaBase::SCI_GETMARGINWIDTHN, 2) > 0, !foldHeaders.isEmpty());
        if (foldedHeader < 0)
            return;
        pane.foldBlock(foldedHeader, true);
        for (int line = 0; line < lineCount; ++line)
            QCOMPARE(pane.isLineVisible(line), !hiddenWhenFolded.contains(line));
        // Going to a hidden line unfolds its block.
        pane.scrollToLine(hiddenWhenFolded.last());
        QVERIFY(pane.isLineVisible(hiddenWhenFolded.last()));
        // A new text drops the marks.
        pane.setText(QStringLiteral("a\r\nb"));
        QCOMPARE(pane.blockLines(), QList<int>{});
    }

    void scrollToLineKeepsTheCaret() {
        TextPane pane;
        pane.resize(300, 200);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QStringList lines;
        for (int i = 0; i < 400; ++i)
            lines << QString::number(i);
        pane.setText(lines.join(QStringLiteral("\r\n")));
        pane.setSelection(5, 0);
        pane.scrollToLine(250);
        QCOMPARE(pane.firstVisibleLine(), 250);
        QCOMPARE(pane.selectionStart(), 5);
        pane.scrollToLine(400); // past the end: nothing moves
        QCOMPARE(pane.firstVisibleLine(), 250);
    }
};

VARNEL_TEST_MAIN(TestTextPane)
#include "tst_textpane.moc"
