#include "sourcemap/OutputPaths.h"
#include "sourcemap/Reasons.h"
#include "sourcemap/SourceTree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace SourceMaps;

class TestOutputPaths : public QObject {
    Q_OBJECT
private slots:
    // Hostile and ordinary names from maps, and where they land.
    void safePath_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("webpack scheme") << "webpack://app/x.js"
                                        << "webpack/app/x.js";
        QTest::newRow("webpack with dot segment") << "webpack://app/./src/ui/menu.ts"
                                                  << "webpack/app/src/ui/menu.ts";
        QTest::newRow("webpack without host") << "webpack:///./src/a.js"
                                              << "webpack/src/a.js";
        QTest::newRow("relative upwards") << "../src/main.ts"
                                          << "src/main.ts";
        QTest::newRow("many levels up") << "../../../../../etc/passwd"
                                        << "etc/passwd";
        QTest::newRow("dot dot inside") << "a/b/../../../c.js"
                                        << "a/b/c.js";
        QTest::newRow("absolute") << "/etc/shadow"
                                  << "etc/shadow";
        QTest::newRow("file URL") << "file:///C:/Users/x/a.js"
                                  << "file/C_/Users/x/a.js";
        QTest::newRow("drive letter") << "C:\\Windows\\win.ini"
                                      << "C/Windows/win.ini";
        QTest::newRow("UNC path") << "\\\\server\\share\\a.js"
                                  << "server/share/a.js";
        QTest::newRow("port and query") << "http://h:8080/a.vue?3d5f"
                                        << "http/h_8080/a.vue_3d5f";
        QTest::newRow("NUL and controls") << QString::fromUtf16(u"a\0b\x01\x1f\x7f.js", 9) << "a_b___.js";
        QTest::newRow("refused characters") << "x<y>z|w*\"q\".ts"
                                            << "x_y_z_w__q_.ts";
        QTest::newRow("reserved name") << "src/CON"
                                       << "src/_CON";
        QTest::newRow("reserved name with extension") << "nul.txt"
                                                      << "_nul.txt";
        QTest::newRow("reserved port name, any case") << "Com1.js"
                                                      << "_Com1.js";
        QTest::newRow("not reserved: longer") << "console.js"
                                              << "console.js";
        QTest::newRow("trailing dots and spaces") << "a. . /b.js. "
                                                  << "a/b.js";
        QTest::newRow("only dots") << "..."
                                   << "_";
        QTest::newRow("empty") << ""
                               << "unnamed";
        QTest::newRow("only separators") << "//./\\"
                                         << "unnamed";
        QTest::newRow("Chinese kept") << "webpack://应用/组件/菜单.vue"
                                      << "webpack/应用/组件/菜单.vue";
        QTest::newRow("spaces inside kept") << "my dir/a b.js"
                                            << "my dir/a b.js";
    }
    void safePath() {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(safeRelativePath(name), path);
    }

    void longNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("ending"); // what the shortened name still ends with
        QTest::newRow("long ASCII") << QString(500, QLatin1Char('a')) + ".js"
                                    << ".js";
        QTest::newRow("long Chinese") << QString(300, QChar(0x8336)) + ".ts"
                                      << ".ts";
        QTest::newRow("long emoji") << QString::fromUtf8("\xF0\x9F\x98\x80").repeated(200) << "";
        QTest::newRow("long extension is not kept") << "a." + QString(300, QLatin1Char('b')) << "";
    }
    void longNames() {
        QFETCH(QString, name);
        QFETCH(QString, ending);
        const QString path = safeRelativePath(name);
        QVERIFY(path.toUtf8().size() <= 120);
        QVERIFY(!path.contains('/'));
        QVERIFY(path.contains('~'));
        QVERIFY(!path.back().isHighSurrogate() && path.isValidUtf16());
        QVERIFY(path.endsWith(ending));
        QCOMPARE(path.section('~', -1).size(), 10 + ending.size()); // the hash, then the extension
        // Two long names that differ only at the end stay apart.
        QVERIFY(safeRelativePath(name + "x") != path);
    }

    void deepPaths() {
        QStringList levels;
        for (int i = 0; i < 200; ++i)
            levels << QStringLiteral("d%1").arg(i);
        const QString path = safeRelativePath(levels.join('/') + "/f.js");
        QCOMPARE(path.count('/'), 31);
        QVERIFY(path.endsWith("/f.js"));
        QVERIFY(path.startsWith("d0/d1/"));
    }

    // Clashes within one save; the same input order always gives the same result.
    void clashes_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("same path twice") << QStringList{"../src/a.js", "src/a.js", "./src/a.js"}
                                         << QStringList{"src/a.js", "src/a~2.js", "src/a~3.js"};
        QTest::newRow("differ in case only")
            << QStringList{"src/A.js", "src/a.js"} << QStringList{"src/A.js", "src/a~2.js"};
        QTest::newRow("file then folder of that name")
            << QStringList{"lib", "lib/x.js"} << QStringList{"lib", "lib~2/x.js"};
        QTest::newRow("folder then file of that name")
            << QStringList{"lib/x.js", "lib"} << QStringList{"lib/x.js", "lib~2"};
        QTest::newRow("suffix taken already")
            << QStringList{"a.js", "a~2.js", "a.js"} << QStringList{"a.js", "a~2.js", "a~3.js"};
        QTest::newRow("reserved and escaped") << QStringList{"con", "_con"} << QStringList{"_con", "_con~2"};
    }
    void clashes() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, paths);
        OutputNames out;
        QStringList got;
        for (const QString &n : names)
            got << out.place(n);
        QCOMPARE(got, paths);
    }

    // Written for real, every hostile name stays inside the chosen folder.
    void nothingOutsideTheFolder() {
        QTemporaryDir outer;
        QVERIFY(outer.isValid());
        const QString root = outer.filePath("out");
        QVERIFY(QDir().mkpath(root));
        const QStringList hostile = {"../../escape.js",
                                     "/tmp/abs.js",
                                     "..\\..\\win.js",
                                     "C:/x/../../y.js",
                                     "file:///etc/z.js",
                                     "a/../../../../b.js",
                                     "webpack://../../c.js",
                                     "%2e%2e/d.js",
                                     QString::fromUtf16(u"..\0/e.js", 6),
                                     "lib",
                                     "lib/x.js"};
        OutputNames out;
        for (const QString &name : hostile) {
            const QString path = QDir(root).filePath(out.place(name));
            QVERIFY2(QDir::cleanPath(path).startsWith(root + '/'), qPrintable(path));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QFile f(path);
            QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
        }
        QCOMPARE(QDir(outer.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"out"});
    }

    void treePath_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("nodes");
        QTest::newRow("webpack") << "webpack://app/./src/ui/menu.ts"
                                 << QStringList{"webpack://app", "src", "ui", "menu.ts"};
        QTest::newRow("webpack without host")
            << "webpack:///./src/a.js" << QStringList{"webpack://", "src", "a.js"};
        QTest::newRow("http") << "https://s.test/src/main.ts"
                              << QStringList{"https://s.test", "src", "main.ts"};
        QTest::newRow("up past the origin")
            << "https://s.test/../../a.js" << QStringList{"https://s.test", "a.js"};
        QTest::newRow("relative name") << "../src/./x//y.js" << QStringList{"src", "x", "y.js"};
        QTest::newRow("backslashes") << "src\\x.js" << QStringList{"src", "x.js"};
    }
    void treePath() {
        QFETCH(QString, address);
        QFETCH(QStringList, nodes);
        QCOMPARE(SourceMaps::treePath(address), nodes);
    }

    // The fixture's sources and a webpack bundle's, merged: folders first, names in order, indexes kept.
    void sourceTree() {
        const QStringList addresses = {"https://s.test/src/main.ts",        "webpack://app/./src/ui/menu.ts",
                                       "https://s.test/src/util/format.js", "webpack://app/src/App.vue",
                                       "https://s.test/src/a.ts",           ""};
        QList<QStringList> paths;
        for (const QString &a : addresses)
            paths << SourceMaps::treePath(a);
        const QList<SourceTreeNode> tree = buildSourceTree(paths);
        // Flattened as "depth label index" for one comparison.
        QStringList flat;
        std::function<void(const QList<SourceTreeNode> &, int)> walk = [&](const QList<SourceTreeNode> &level,
                                                                           int depth) {
            for (const SourceTreeNode &n : level) {
                flat << QStringLiteral("%1 %2 %3").arg(depth).arg(n.label).arg(n.source);
                walk(n.children, depth + 1);
            }
        };
        walk(tree, 0);
        QCOMPARE(flat, (QStringList{"0 https://s.test -1", "1 src -1", "2 util -1", "3 format.js 2",
                                    "2 a.ts 4", "2 main.ts 0", "0 webpack://app -1", "1 src -1", "2 ui -1",
                                    "3 menu.ts 1", "2 App.vue 3", "0 unnamed 5"}));
    }

    void reasonTexts() {
        QCOMPARE(mapNotObtained("https://s.test/a.map", "HTTP 404"),
                 "源映射未能取得：https://s.test/a.map（HTTP 404）");
        QCOMPARE(sourceWithoutContent("webpack://app/a.js"),
                 "原始源码未能取得：webpack://app/a.js（没有内容，地址无法下载）");
        QCOMPARE(refused("/etc/passwd", true), "已拒绝：/etc/passwd（网络上的源映射不能读本机文件）");
        QCOMPARE(countLabel(12, 3), "原始源码：12 个（来自 3 个源映射）");
    }
};

QTEST_GUILESS_MAIN(TestOutputPaths)
#include "tst_outputpaths.moc"
