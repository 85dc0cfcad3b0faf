#include "analysis/SourceDocument.h"
#include "analysis/ui/FormSinFile.h"
#include "app/AppLook.h"
#include "app/Options.h"
#include "app/SysInfo.h"
#include "app/ui/EmbossedCaption.h"
#include "app/ui/MDIForm1.h"
#include "app/ui/WindowMenu.h"
#include "app/ui/fOption.h"
#include "app/ui/frmAbout.h"
#include "library/LibraryFile.h"
#include "library/ModuleDataBase.h"
#include "library/ui/fModel.h"
#include "platform/SettingsStore.h"
#include "platform/ui/TextPane.h"

#include "support/FakeDialogs.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnv.h"
#include "util/AppInfo.h"
#include "util/Module1Shell.h"
#include "util/Shell.h"
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A child window that refuses to close.
class StubbornWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

QString groupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) +
           QStringLiteral("/Varnel软件/");
}

QList<FormSinFile *> analysisWindows(MDIForm1 &frame) {
    QList<FormSinFile *> windows;
    for (QMdiSubWindow *sub : frame.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (auto *w = dynamic_cast<FormSinFile *>(sub->widget()))
            windows << w;
    return windows;
}

QMdiSubWindow *subWindowOf(QWidget *w) {
    return qobject_cast<QMdiSubWindow *>(w->parentWidget());
}

} // namespace

class TestAppWindows : public QObject {
    Q_OBJECT
    QTemporaryDir m_programFolder;
    QTemporaryDir m_files;
    QList<QUrl> m_opened;
    MDIForm1::Program m_program;
    std::unique_ptr<MDIForm1> m_menuFrame;

    std::unique_ptr<MDIForm1> newFrame() {
        auto frame = std::make_unique<MDIForm1>(m_program);
        frame->show();
        return frame;
    }
    // Writes a small source file and returns its path.
    QString sourceFile(const QString &relative, const QByteArray &text = "var a = 1;\r\n") {
        const QString path = m_files.path() + QLatin1Char('/') + relative;
        TestEnv::writeFile(path, text);
        return path;
    }

private slots:
    void initTestCase() {
        TestEnv::isolate();
        AppLook::Apply(*qApp);
        QVERIFY(m_programFolder.isValid());
        m_program = {m_programFolder.path(), m_programFolder.path() + QStringLiteral("/varneljs"), QString()};
        Shell::setUrlOpener([this](const QUrl &url) {
            m_opened << url;
            return true;
        });
        QString error;
        QVERIFY2(LibraryFile::CreateFromSql(m_programFolder.path() + QStringLiteral("/xqd.dll"),
                                            ModuleDataBase::LibraryDbPassword,
                                            QStringLiteral("CREATE TABLE CSS (函数名称 TEXT, 网址 TEXT);"
                                                           "INSERT INTO CSS VALUES ('f', 'http://h/f.htm');"),
                                            &error),
                 qPrintable(error));
    }
    void cleanupTestCase() {
        m_menuFrame.reset();
        Shell::setUrlOpener({});
    }
    void init() {
        m_opened.clear();
        if (QTest::currentTestFunction() != QLatin1String("menus"))
            m_menuFrame.reset();
    }

    void startUpEffects() {
        QVERIFY(SettingsStore::SaveHideNumbering(1));
        HideNumbering = 0;
        QStringList compacted;
        ModuleDataBase::testing::SetBeforeReplaceHook([&](const QString &copy) {
            compacted << copy;
            return true;
        });
        auto frame = newFrame();
        ModuleDataBase::testing::SetBeforeReplaceHook({});
        QCOMPARE(compacted, QStringList{m_programFolder.path() + QStringLiteral("/xqd.dllDDD")});
        QVERIFY(QFileInfo::exists(m_programFolder.path() + QStringLiteral("/xqd.dll")));
        QCOMPARE(frame->windowTitle(), QStringLiteral("VarnelJS分析提取分解器 V1.2"));
        QVERIFY(frame->windowState() & Qt::WindowMaximized);
        QCOMPARE(HideNumbering, short(1));
        QCOMPARE(ModuleDataBase::LibraryDbPath, m_programFolder.path() + QStringLiteral("/xqd.dll"));
        QCOMPARE(frame->statusPanel(1)->text(), QStringLiteral("Varnel软件"));
        QCOMPARE(frame->statusPanel(2)->text(), QString());
        QCOMPARE(frame->statusBar()->objectName(), QStringLiteral("StatusBar1"));
        QVERIFY(SettingsStore::SaveHideNumbering(0));

        // A second start replaces the entry of the first.
        frame.reset();
        frame = newFrame();
        const QStringList entries = QDir(groupFolder()).entryList(QDir::Files);
        QCOMPARE(entries, QStringList{QStringLiteral("VarnelJS分析提取分解器.desktop")});
        const QString entry = QString::fromUtf8(TestEnv::readFile(groupFolder() + entries.first()));
        QVERIFY2(entry.contains(QStringLiteral("Name=VarnelJS分析提取分解器")), qPrintable(entry));
        QVERIFY(entry.contains(QStringLiteral("Comment=分析JS文件的最佳工具！")));
        QVERIFY(entry.contains(QStringLiteral("Exec=") + m_program.programPath));
        QVERIFY(entry.contains(QStringLiteral("Path=") + groupFolder()));
        // The hidden folders on the way are used as they are, not rebuilt without their dot.
        QCOMPARE(QDir(TestEnv::isolate()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    }

    void menus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const char *rows[][2] = {{"menu文件", "文件(&F)"},
                                 {"menu打开JS文件", "打开JS文件..."},
                                 {"menu打开网页文件", "打开网页文件..."},
                                 {"menu打开网址", "打开网址..."},
                                 {"menu退出", "退出"},
                                 {"menu库存JS函数样板", "库存JS函数样板(&M)"},
                                 {"menu工具", "工具(&T)"},
                                 {"menu选项", "选项"},
                                 {"menu窗口", "窗口(&W)"},
                                 {"menu层叠排列", "层叠排列"},
                                 {"menu水平平铺", "水平平铺"},
                                 {"menu垂直平铺", "垂直平铺"},
                                 {"menu重排最小化图标", "重排最小化图标"},
                                 {"menu最小化所有子窗口", "最小化所有子窗口"},
                                 {"menu关闭所有子窗口", "关闭所有子窗口"},
                                 {"menu帮助", "帮助(&H)"},
                                 {"menu关于", "关于"},
                                 {"menu定制软件", "定制软件"},
                                 {"menuLV1", "LV1"},
                                 {"menuLV1修改", "修改"},
                                 {"menuLV1合并相同", "合并相同"},
                                 {"menuLV1删除", "删除"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
    }
    void menus() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        // One frame for all rows: a start-up compacts the library, which takes a moment.
        if (!m_menuFrame)
            m_menuFrame = newFrame();
        MDIForm1 *frame = m_menuFrame.get();
        QAction *action = frame->menuBar()->findChild<QAction *>(name);
        if (!action)
            action = frame->findChild<QAction *>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        // Only the function list's popup is hidden from the menu bar.
        if (name == QStringLiteral("menuLV1"))
            QVERIFY(!action->isVisible());
        const ListPopupMenu popup = frame->listPopupMenu();
        QVERIFY(popup.menu && popup.modify && popup.mergeSame && popup.remove);
        QCOMPARE(popup.remove->text(), QStringLiteral("删除"));
    }

    void openCommands_data() {
        QTest::addColumn<SourceKind>("kind");
        QTest::addColumn<QString>("status");
        QTest::newRow("script file") << SourceKind::ScriptFile << QStringLiteral("正在打开JS文件...");
        QTest::newRow("page file") << SourceKind::PageFile << QStringLiteral("正在打开含JS网页文件...");
        QTest::newRow("address") << SourceKind::PageAddress
                                 << QStringLiteral("正在打开网页，分析所有JS文件...");
    }
    void openCommands() {
        QFETCH(SourceKind, kind);
        QFETCH(QString, status);
        LocalHttpServer server;
        server.route(QStringLiteral("/dir/page.htm"),
                     LocalHttpServer::Response{200, "<html></html>", "text/html", {}, 0, {}});
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        QSignalSpy statuses(frame.get(), &MDIForm1::statusTextChanged);

        QString path;
        if (kind == SourceKind::ScriptFile) {
            path = sourceFile(QStringLiteral("open/a.js"));
            fake.fileAnswers << path;
            frame->打开JS文件();
            QCOMPARE(fake.fileCalls.size(), 1);
            QCOMPARE(fake.fileCalls[0].request.filters, (QStringList{"*.js", "*.*"}));
        } else if (kind == SourceKind::PageFile) {
            path = sourceFile(QStringLiteral("open/page.html"), "<html><script>var b;</script></html>");
            fake.fileAnswers << path;
            frame->打开网页文件();
            QCOMPARE(fake.fileCalls.size(), 1);
            QCOMPARE(fake.fileCalls[0].request.filters,
                     (QStringList{"*.htm;*.html;*.sthml;*.shtml;*.asp;*.php;*.jsp", "*.*"}));
        } else {
            path = server.baseUrl() + QStringLiteral("/dir/page.htm");
            fake.inputAnswers << QStringLiteral("  ") + path + QStringLiteral(" ");
            frame->打开网址();
            QCOMPARE(fake.inputPrompts, QStringList{QStringLiteral("请输入网址:")});
        }
        QVERIFY(fake.fileCalls.isEmpty() || fake.fileCalls[0].request.fileName.isEmpty());
        const QList<FormSinFile *> windows = analysisWindows(*frame);
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows[0]->document().path, path);
        QCOMPARE(windows[0]->document().kind, kind);
        QCOMPARE(windows[0]->document().name, kind == SourceKind::ScriptFile    ? QStringLiteral("a.js")
                                              : kind == SourceKind::PageAddress ? QStringLiteral("page.htm")
                                                                                : QString());
        QVERIFY(subWindowOf(windows[0])->isVisible());
        // A new child opens at the window's design size, not collapsed to its title bar.
        QVERIFY(windows[0]->width() >= windows[0]->sizeHint().width() - 1);
        QVERIFY(windows[0]->height() >= windows[0]->sizeHint().height() - 1);
        QVERIFY(!statuses.isEmpty());
        QCOMPARE(statuses.first().first().toString(), status);
        frame->关闭所有子窗口();
    }

    // Qt's own buttons and dialogs speak Chinese; the icon is drawn on the frame and on its children.
    void chineseDialogsAndIcon() {
        QVERIFY(!AppLook::InstallChineseTranslations(*qApp, m_files.path())); // no catalogue there
        QDialogButtonBox buttons(QDialogButtonBox::Ok); // one text of Qt's catalogue tells it is in
        QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));

        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        fake.fileAnswers << sourceFile(QStringLiteral("icon/a.js"));
        frame->打开JS文件();
        QMdiSubWindow *child = frame->mdiArea()->subWindowList().value(0);
        QVERIFY(child);
        for (QWidget *w : {static_cast<QWidget *>(frame.get()), static_cast<QWidget *>(child)}) {
            const QImage image = w->windowIcon().pixmap(48, 48).toImage();
            QVERIFY(!image.isNull());
            // Drawn, not blank: the middle of the icon is opaque and not all one colour.
            QCOMPARE(qAlpha(image.pixel(24, 24)), 255);
            QVERIFY(image.pixel(24, 24) != image.pixel(24, 12));
        }
        QVERIFY(!QApplication::windowIcon().pixmap(16, 16).isNull());
        frame->关闭所有子窗口();
    }

    // The real input box: wide enough for its whole caption and an address; it answers or is cancelled.
    void inputBox_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("answered") << true;
        QTest::newRow("cancelled") << false;
    }
    void inputBox() {
        QFETCH(bool, accept);
        QSize seen;
        QString proposed;
        int captionWidth = 0;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = box->size();
            proposed = box->textValue();
            captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
            box->setTextValue(QStringLiteral("http://127.0.0.1/新.htm"));
            accept ? box->accept() : box->reject();
        });
        const QString answer = Dialogs::current().input(nullptr, QStringLiteral("请输入网址:"), AppInfo::Title,
                                                        QStringLiteral("http://x/"));
        QCOMPARE(proposed, QStringLiteral("http://x/"));
        QCOMPARE(answer, accept ? QStringLiteral("http://127.0.0.1/新.htm") : QString());
        QVERIFY(seen.width() > captionWidth + 100);
        QVERIFY(seen.width() >= 60 * QFontMetrics(QApplication::font()).averageCharWidth());
    }

    void messageBoxShowsItsWholeCaption() {
        QSize seen;
        int captionWidth = 0;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = box->size();
            captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
            box->accept();
        });
        Dialogs::current().message(nullptr, QStringLiteral("短"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        QVERIFY(seen.width() > captionWidth + 100);
    }

    // The 窗口 menu names the children below its commands, the active one ticked; a new child comes to the
    // front even when another one is maximised, and an entry brings its child forward.
    void windowList() {
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        QMenu *menu = frame->menuBar()->findChild<QMenu *>(QStringLiteral("menu窗口"));
        QVERIFY(menu);
        const int commands = int(menu->actions().size());
        frame->windowMenu()->refresh();
        QCOMPARE(menu->actions().size(), commands); // no children, no list

        const QStringList names = {QStringLiteral("w1.js"), QStringLiteral("w2.js"), QStringLiteral("w&3.js")};
        for (const QString &name : names) {
            fake.fileAnswers << sourceFile(QStringLiteral("list/") + name);
            frame->打开JS文件();
            if (name == names.first())
                frame->mdiArea()->subWindowList().first()->showMaximized();
            QMdiSubWindow *newest = frame->mdiArea()->subWindowList(QMdiArea::CreationOrder).last();
            QCOMPARE(frame->mdiArea()->activeSubWindow(), newest);
            QCOMPARE(frame->mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), newest);
        }
        const QList<FormSinFile *> windows = analysisWindows(*frame);
        QTRY_VERIFY(std::all_of(windows.begin(), windows.end(), [](FormSinFile *w) { return w->isLoaded(); }));

        frame->windowMenu()->refresh();
        const QList<QAction *> entries = frame->windowMenu()->entries();
        QCOMPARE(menu->actions().size(), commands + 1 + names.size()); // a separator, then the children
        QCOMPARE(entries.size(), names.size());
        const QStringList captions = {QStringLiteral("&1 分析单个JS文件:w1.js"),
                                      QStringLiteral("&2 分析单个JS文件:w2.js"),
                                      QStringLiteral("&3 分析单个JS文件:w&&3.js")};
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i]->text(), captions[i]);
            QCOMPARE(entries[i]->isChecked(), i == 2);
        }
        frame->mdiArea()->subWindowList().at(1)->showMinimized();
        entries[1]->trigger();
        QMdiSubWindow *second = frame->mdiArea()->subWindowList(QMdiArea::CreationOrder).at(1);
        QCOMPARE(frame->mdiArea()->activeSubWindow(), second);
        QVERIFY(!second->isMinimized());
        frame->windowMenu()->refresh();
        QVERIFY(frame->windowMenu()->entries().at(1)->isChecked());
        QVERIFY(!frame->windowMenu()->entries().at(2)->isChecked());

        frame->关闭所有子窗口();
        frame->windowMenu()->refresh();
        QCOMPARE(menu->actions().size(), commands);
    }

    // Files and addresses dropped on the frame open as the menu commands would; other things open nothing.
    void drops() {
        LocalHttpServer server;
        server.route(QStringLiteral("/d.htm"), LocalHttpServer::Response{200, "<html></html>", "text/html", {}, 0, {}});
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        const QString script = sourceFile(QStringLiteral("drop/a.js"));
        const QString page = sourceFile(QStringLiteral("drop/p.html"), "<html></html>");
        const QString other = sourceFile(QStringLiteral("drop/n.txt"));
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(script), QUrl::fromLocalFile(page), QUrl::fromLocalFile(other)});
        frame->openDropped(&files);
        QMimeData text;
        text.setText(QStringLiteral(" ") + server.baseUrl() + QStringLiteral("/d.htm\n"));
        frame->openDropped(&text);
        QMimeData again; // an open source comes forward instead of opening twice
        again.setUrls({QUrl::fromLocalFile(script)});
        frame->openDropped(&again);

        const QList<FormSinFile *> windows = analysisWindows(*frame);
        QCOMPARE(windows.size(), 3);
        QCOMPARE(windows[0]->document().path, script);
        QCOMPARE(windows[0]->document().kind, SourceKind::ScriptFile);
        QCOMPARE(windows[1]->document().path, page);
        QCOMPARE(windows[1]->document().kind, SourceKind::PageFile);
        QCOMPARE(windows[2]->document().path, server.baseUrl() + QStringLiteral("/d.htm"));
        QCOMPARE(windows[2]->document().kind, SourceKind::PageAddress);
        QCOMPARE(frame->mdiArea()->activeSubWindow(), subWindowOf(windows[0]));
        QTRY_VERIFY(std::all_of(windows.begin(), windows.end(), [](FormSinFile *w) { return w->isLoaded(); }));
        frame->关闭所有子窗口();
    }

    // An installed program has no library beside it: the user's copy is made from the template under
    // share/ and compacted there; the desktop entry names the installed icon.
    void installedProgramKeepsItsLibraryInTheUsersFolder() {
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("share/varneljs"))));
        QString error;
        QVERIFY2(LibraryFile::CreateFromSql(prefix.filePath(QStringLiteral("share/varneljs/xqd.dll")),
                                            ModuleDataBase::LibraryDbPassword,
                                            QStringLiteral("CREATE TABLE CSS (函数名称 TEXT, 网址 TEXT);"),
                                            &error),
                 qPrintable(error));
        const QString userData = prefix.filePath(QStringLiteral("home/data"));
        QStringList compacted;
        ModuleDataBase::testing::SetBeforeReplaceHook([&](const QString &copy) {
            compacted << copy;
            return true;
        });
        MDIForm1 frame({bin, bin + QStringLiteral("/varneljs"), userData});
        ModuleDataBase::testing::SetBeforeReplaceHook({});
        QCOMPARE(ModuleDataBase::LibraryDbPath, userData + QStringLiteral("/xqd.dll"));
        QVERIFY(QFileInfo(ModuleDataBase::LibraryDbPath).isFile());
        QCOMPARE(compacted, QStringList{userData + QStringLiteral("/xqd.dllDDD")});
        QVERIFY(!QFileInfo::exists(bin + QStringLiteral("/xqd.dll")));
        const QString entry = QString::fromUtf8(
            TestEnv::readFile(groupFolder() + QStringLiteral("VarnelJS分析提取分解器.desktop")));
        QVERIFY2(entry.contains(QStringLiteral("\nIcon=varneljs\n")), qPrintable(entry));
        MDIForm1 restored(m_program); // later tests use the build-folder library again
        QCOMPARE(ModuleDataBase::LibraryDbPath, m_programFolder.path() + QStringLiteral("/xqd.dll"));
    }

    void cancelledOrBlankOpensNothing() {
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        frame->打开JS文件(); // cancelled file dialog
        fake.inputAnswers << QStringLiteral("    ");
        frame->打开网址(); // an answer of spaces
        frame->打开网址(); // cancelled input box
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 0);
        QCOMPARE(frame->statusPanel(2)->text(), QString());
        QVERIFY(fake.messages.isEmpty());
    }

    void clipboardProposal_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("capital prefix") << "HTTP://Example.ORG/x.htm"
                                        << "HTTP://Example.ORG/x.htm";
        QTest::newRow("secure scheme") << "https://example.org/"
                                       << "https://example.org/";
        QTest::newRow("other text") << "just words"
                                    << "";
    }
    void clipboardProposal() {
        QFETCH(QString, clipboard);
        QFETCH(QString, proposed);
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        fake.clipboard = clipboard;
        auto frame = newFrame();
        frame->打开网址();
        QCOMPARE(fake.inputProposed, QStringList{proposed});
    }

    void openWindowIsFocusedWhateverTheCase() {
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        const QString upper = sourceFile(QStringLiteral("A/X.JS"));
        const QString other = sourceFile(QStringLiteral("other.js"));
        fake.fileAnswers << upper << other;
        frame->打开JS文件();
        frame->打开JS文件();
        QCOMPARE(analysisWindows(*frame).size(), 2);
        FormSinFile *first = analysisWindows(*frame).first();
        QVERIFY(frame->mdiArea()->activeSubWindow() != subWindowOf(first));

        // The same file in lower case: the open window comes forward, maximised; no new window.
        const QString lower = m_files.path() + QStringLiteral("/a/x.js");
        FormSinFile *found = nullptr;
        QVERIFY(frame->查找Form1是打开(lower, found));
        QCOMPARE(found, first);
        fake.fileAnswers << lower;
        frame->打开JS文件();
        QCOMPARE(analysisWindows(*frame).size(), 2);
        QCOMPARE(frame->mdiArea()->activeSubWindow(), subWindowOf(first));
        QVERIFY(subWindowOf(first)->isMaximized());

        FormSinFile *untouched = first;
        QVERIFY(!frame->查找Form1是打开(m_files.path() + QStringLiteral("/none.js"), untouched));
        QCOMPARE(untouched, first);
        frame->关闭所有子窗口();
    }

    void pageFileMatchingScriptWindowFocusesIt() {
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        const QString path = sourceFile(QStringLiteral("both.htm"));
        fake.fileAnswers << path << path;
        frame->打开JS文件();
        QSignalSpy statuses(frame.get(), &MDIForm1::statusTextChanged);
        frame->打开网页文件();
        const QList<FormSinFile *> windows = analysisWindows(*frame);
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows[0]->document().kind, SourceKind::ScriptFile);
        QVERIFY(subWindowOf(windows[0])->isMaximized());
        QVERIFY(statuses.isEmpty());
        frame->关闭所有子窗口();
    }

    void arrangeMinimiseClose() {
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        frame->resize(1000, 700);
        for (const char *name : {"w1.js", "w2.js", "w3.js"})
            fake.fileAnswers << sourceFile(QString::fromLatin1(name));
        for (int i = 0; i < 3; ++i)
            frame->打开JS文件();
        const QList<QMdiSubWindow *> subs = frame->mdiArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(subs.size(), 3);
        const QRect area = frame->mdiArea()->viewport()->rect();

        frame->Arrange(1);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(subs[i]->geometry().left(), area.left());
            QCOMPARE(subs[i]->geometry().width(), area.width());
            QVERIFY(subs[i]->geometry().height() >= area.height() / 3 - 1);
            if (i > 0)
                QCOMPARE(subs[i]->geometry().top(), subs[i - 1]->geometry().bottom() + 1);
        }
        frame->Arrange(2);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(subs[i]->geometry().top(), area.top());
            QCOMPARE(subs[i]->geometry().height(), area.height());
            if (i > 0)
                QCOMPARE(subs[i]->geometry().left(), subs[i - 1]->geometry().right() + 1);
        }
        frame->Arrange(0);
        QVERIFY(subs[1]->geometry().topLeft() != subs[0]->geometry().topLeft());

        frame->最小化所有子窗口();
        for (QMdiSubWindow *sub : subs)
            QVERIFY(sub->isMinimized());
        frame->Arrange(3);
        QCOMPARE(subs[0]->geometry().bottom(), area.bottom());
        QCOMPARE(subs[0]->geometry().left(), area.left());
        QCOMPARE(subs[1]->geometry().left(), subs[0]->geometry().right() + 1);

        frame->关闭所有子窗口();
        QTRY_COMPARE(frame->mdiArea()->subWindowList().size(), 0);
    }

    // Quitting, or 关闭所有子窗口, asks once per changed window in turn; 取消 keeps that window and the
    // program open and asks no further; a child that refuses to close keeps the program open too.
    void closingAsksPerChangedWindow_data() {
        QTest::addColumn<bool>("quit");
        QTest::addColumn<QList<int>>("changed"); // windows typed in, of a.js, b.js, c.js
        QTest::addColumn<QList<Dialogs::Answer>>("answers");
        QTest::addColumn<bool>("stubborn");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QList<int>>("left");    // windows still open
        QTest::addColumn<QList<int>>("written"); // files written over
        using A = Dialogs::Answer;
        for (bool quit : {true, false}) {
            const char *how = quit ? "quit: " : "close all: ";
            QTest::addRow("%snothing changed", how)
                << quit << QList<int>{} << QList<A>{} << false << 0 << QList<int>{} << QList<int>{};
            QTest::addRow("%stwo changed, 不保存", how)
                << quit << QList<int>{0, 2} << QList<A>{A::Discard, A::Discard} << false << 2 << QList<int>{}
                << QList<int>{};
            QTest::addRow("%s取消 at the second", how)
                << quit << QList<int>{0, 2} << QList<A>{A::Discard, A::Cancel} << false << 2 << QList<int>{2}
                << QList<int>{};
            QTest::addRow("%s取消 at the first", how) << quit << QList<int>{0, 2} << QList<A>{A::Cancel}
                                                      << false << 1 << QList<int>{0, 1, 2} << QList<int>{};
            QTest::addRow("%s保存 writes over the file", how)
                << quit << QList<int>{1} << QList<A>{A::Save} << false << 1 << QList<int>{} << QList<int>{1};
        }
        QTest::newRow("quit: a child refuses")
            << true << QList<int>{} << QList<A>{} << true << 0 << QList<int>{} << QList<int>{};
    }
    void closingAsksPerChangedWindow() {
        QFETCH(bool, quit);
        QFETCH(QList<int>, changed);
        QFETCH(QList<Dialogs::Answer>, answers);
        QFETCH(bool, stubborn);
        QFETCH(int, questions);
        QFETCH(QList<int>, left);
        QFETCH(QList<int>, written);
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        QStringList paths;
        for (const char *name : {"a.js", "b.js", "c.js"}) {
            paths << sourceFile(QStringLiteral("closing/") + QLatin1String(name));
            fake.fileAnswers << paths.last();
            frame->打开JS文件();
        }
        QList<QPointer<FormSinFile>> windows;
        for (FormSinFile *w : analysisWindows(*frame)) {
            QTRY_VERIFY(w->isLoaded());
            windows << w;
        }
        QCOMPARE(windows.size(), 3);
        for (int i : changed) {
            // "//" typed before the script's first line, below its header.
            FormSinFile *w = windows[i];
            w->RtbOld->setSelection(int(w->headerTexts().constFirst().size()) + 2, 0);
            QTest::keyClicks(w->RtbOld->editor(), QStringLiteral("//"));
        }
        QPointer<QMdiSubWindow> refusing;
        if (stubborn) {
            refusing = frame->mdiArea()->addSubWindow(new StubbornWindow);
            refusing->show();
        }
        fake.answers.append(answers);
        bool allClosed = false;
        if (quit)
            frame->findChild<QAction *>(QStringLiteral("menu退出"))->trigger();
        else
            allClosed = frame->关闭所有子窗口();

        QCOMPARE(fake.messages.size(), questions);
        for (int q = 0; q < questions; ++q) {
            QCOMPARE(fake.messages[q].text, QStringLiteral("分析单个JS文件:%1 的内容已修改，是否保存？")
                                                .arg(QFileInfo(paths[changed[q]]).fileName()));
            QCOMPARE(fake.messages[q].buttons, Dialogs::Buttons::SaveDiscardCancel);
        }
        const bool stays = !left.isEmpty() || stubborn;
        QCOMPARE(frame->isVisible(), !quit || stays);
        if (!quit)
            QCOMPARE(allClosed, !stays);
        for (int i = 0; i < 3; ++i) {
            if (left.contains(i))
                QVERIFY(windows[i] && windows[i]->isVisible());
            else
                QTRY_VERIFY(windows[i].isNull());
            QCOMPARE(TestEnv::readFile(paths[i]),
                     written.contains(i) ? QByteArray("//var a = 1;\r\n") : QByteArray("var a = 1;\r\n"));
        }
        QCOMPARE(fake.fileCalls.size(), 3); // the three opened; 保存 over a script file needs no dialog
        delete refusing.data();
    }

    // The real boxes: the texts of their buttons, the default, and what each button or Esc answers.
    void questionBoxes_data() {
        QTest::addColumn<Dialogs::Buttons>("buttons");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("click"); // empty: Esc
        QTest::addColumn<Dialogs::Answer>("answer");
        const QStringList saveTexts = {"保存", "不保存", "取消"};
        using A = Dialogs::Answer;
        using B = Dialogs::Buttons;
        QTest::newRow("否 default, 是") << B::NoYes << QStringList{"是", "否"} << "否"
                                        << "是" << A::Yes;
        QTest::newRow("否 default, 否") << B::NoYes << QStringList{"是", "否"} << "否"
                                        << "否" << A::No;
        QTest::newRow("否 default, Esc") << B::NoYes << QStringList{"是", "否"} << "否"
                                         << "" << A::No;
        QTest::newRow("保存") << B::SaveDiscardCancel << saveTexts << "保存"
                              << "保存" << A::Save;
        QTest::newRow("不保存") << B::SaveDiscardCancel << saveTexts << "保存"
                                << "不保存" << A::Discard;
        QTest::newRow("取消") << B::SaveDiscardCancel << saveTexts << "保存"
                              << "取消" << A::Cancel;
        QTest::newRow("Esc is 取消") << B::SaveDiscardCancel << saveTexts << "保存"
                                     << "" << A::Cancel;
    }
    void questionBoxes() {
        QFETCH(Dialogs::Buttons, buttons);
        QFETCH(QStringList, texts);
        QFETCH(QString, defaultText);
        QFETCH(QString, click);
        QFETCH(Dialogs::Answer, answer);
        QStringList seen;
        QString seenDefault;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QAbstractButton *clicked = nullptr;
            for (QAbstractButton *b : box->buttons()) {
                seen << b->text();
                if (b->text() == click)
                    clicked = b;
            }
            seenDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
            if (click.isEmpty())
                QTest::keyClick(box, Qt::Key_Escape);
            else if (clicked)
                clicked->click();
            else
                box->done(-1);
        });
        const Dialogs::Answer got =
            Dialogs::current().message(nullptr, QStringLiteral("问题"), Dialogs::Icon::Question, buttons);
        seen.sort();
        texts.sort();
        QCOMPARE(seen, texts);
        QCOMPARE(seenDefault, defaultText);
        QCOMPARE(got, answer);
    }

    void libraryBrowserOpensOnce() {
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        auto frame = newFrame();
        frame->findChild<QAction *>(QStringLiteral("menu库存JS函数样板"))->trigger();
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);
        QMdiSubWindow *library = frame->mdiArea()->subWindowList().first();
        QVERIFY(library->isMaximized());
        auto *browser = qobject_cast<fModel *>(library->widget());
        QVERIFY(browser);
        QCOMPARE(browser->Label1->text(), QStringLiteral("函数总数:1"));
        QVERIFY(fake.messages.isEmpty());
        // Shown again without a reload: a label changed since stays as it is.
        browser->Label1->setText(QStringLiteral("marked"));

        fake.fileAnswers << sourceFile(QStringLiteral("lib.js"));
        frame->打开JS文件();
        QCOMPARE(frame->mdiArea()->activeSubWindow() == library, false);
        frame->库存JS函数样板();
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);
        QCOMPARE(frame->mdiArea()->activeSubWindow(), library);
        QCOMPARE(library->widget(), browser);
        QCOMPARE(browser->Label1->text(), QStringLiteral("marked"));

        library->close();
        QTRY_COMPARE(frame->mdiArea()->subWindowList().size(), 1);
        frame->库存JS函数样板();
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);
        frame->关闭所有子窗口();
    }

    void customSoftwareOpensTheMakersPage() {
        auto frame = newFrame();
        frame->findChild<QAction *>(QStringLiteral("menu定制软件"))->trigger();
        QCOMPARE(m_opened, QList<QUrl>{QUrl(AppInfo::CustomSoftwareUrl)});
    }

    void options() {
        QVERIFY(SettingsStore::SaveHideNumbering(0));
        HideNumbering = 0;
        {
            fOption dialog;
            QCOMPARE(dialog.windowTitle(), QStringLiteral("设置"));
            QCOMPARE(dialog.Check1->text(), QStringLiteral("现内容中不显示编号分隔符"));
            QCOMPARE(dialog.Command1->text(), QStringLiteral("确定"));
            QVERIFY(!dialog.Check1->isChecked());
            dialog.Command1->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(SettingsStore::value(AppInfo::HideNumberingKey), QStringLiteral("0"));
        }
        {
            fOption dialog;
            dialog.show();
            dialog.Check1->setChecked(true);
            dialog.Command1->click();
            QCOMPARE(HideNumbering, short(1));
            QCOMPARE(SettingsStore::value(AppInfo::HideNumberingKey), QStringLiteral("1"));
        }
        {
            fOption dialog;
            dialog.show();
            QVERIFY(dialog.Check1->isChecked());
            dialog.Check1->setChecked(false);
            dialog.close(); // the close box
            QCOMPARE(HideNumbering, short(1));
            QCOMPARE(SettingsStore::value(AppInfo::HideNumberingKey), QStringLiteral("1"));
        }
        // A restart loads the stored option.
        HideNumbering = 0;
        auto frame = newFrame();
        QCOMPARE(HideNumbering, short(1));
        fOption dialog(frame.get());
        QVERIFY(dialog.Check1->isChecked());
        QVERIFY(SettingsStore::SaveHideNumbering(0));
    }

    void normaliseIndentOption() {
        QVERIFY(SettingsStore::SaveNormaliseIndent(false));
        NormaliseIndents = false;
        {
            fOption dialog;
            QCOMPARE(dialog.Check3->text(), QStringLiteral("规范化时按层次缩进"));
            QVERIFY(!dialog.Check3->isChecked()); // off by default
            dialog.show();
            dialog.Check3->setChecked(true);
            dialog.Command1->click();
            QVERIFY(NormaliseIndents);
            QCOMPARE(SettingsStore::value(AppInfo::NormaliseIndentKey), QStringLiteral("1"));
        }
        // A restart loads the stored option.
        NormaliseIndents = false;
        auto frame = newFrame();
        QVERIFY(NormaliseIndents);
        fOption dialog(frame.get());
        QVERIFY(dialog.Check3->isChecked());
        QVERIFY(SettingsStore::SaveNormaliseIndent(false));
        NormaliseIndents = false;
    }

    void aboutBox() {
        frmAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("关于『VarnelJS分析提取分解器』 "));
        QCOMPARE(about.lblTitle->text(), AppInfo::Title);
        QCOMPARE(about.lblVersion->text(), QStringLiteral("版本 1.2.926"));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        // Raised by one pixel: shadow below-right, highlight above-left, all three with the title.
        QCOMPARE(about.Label8->pos(), about.lblTitle->pos() + QPoint(1, 1));
        QCOMPARE(about.Label9->pos(), about.lblTitle->pos() - QPoint(1, 1));
        QCOMPARE(about.Label8->text(), AppInfo::Title);
        QCOMPARE(about.Label9->size(), about.lblTitle->size());
        QCOMPARE(about.lblTitle->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
        QCOMPARE(about.Label8->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
        QCOMPARE(about.Label9->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(about.Label2->toolTip(), QStringLiteral("访问支持网站"));
        QCOMPARE(about.Label4->toolTip(), QStringLiteral("给软件作者写邮件"));
    }

    void embossEffects_data() {
        QTest::addColumn<short>("effect");
        QTest::addColumn<QPoint>("shadow");
        QTest::addColumn<QPoint>("highlight");
        QTest::newRow("raised") << short(1) << QPoint(43, 23) << QPoint(37, 17);
        QTest::newRow("sunken") << short(2) << QPoint(37, 17) << QPoint(43, 23);
        QTest::newRow("no effect keeps design positions") << short(0) << QPoint(5, 6) << QPoint(7, 8);
    }
    void embossEffects() {
        QFETCH(short, effect);
        QFETCH(QPoint, shadow);
        QFETCH(QPoint, highlight);
        QWidget window;
        auto *front = new QLabel(QStringLiteral("原标题"), &window);
        auto *back = new QLabel(QStringLiteral("x"), &window);
        auto *light = new QLabel(QStringLiteral("y"), &window);
        front->setGeometry(40, 20, 200, 30);
        back->setGeometry(5, 6, 10, 10);
        light->setGeometry(7, 8, 10, 10);
        FormLabelCaptionEmbossed(front, back, light, QString(), effect, 0x0000FF, 3);
        QCOMPARE(back->pos(), shadow);
        QCOMPARE(light->pos(), highlight);
        // The front label's own caption is used when no text is given; sizes and colours are set for every
        // effect.
        for (QLabel *label : {front, back, light})
            QCOMPARE(label->text(), QStringLiteral("原标题"));
        QCOMPARE(back->size(), front->size());
        QCOMPARE(light->size(), front->size());
        QCOMPARE(front->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
        QCOMPARE(back->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
    }

    void aboutLinks() {
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(!about.Line2->isVisible());
        for (QLabel *link : {about.Label2, about.Label7, about.Label4}) {
            QMouseEvent over(QEvent::MouseMove, QPointF(link->rect().center()),
                             link->mapToGlobal(QPointF(link->rect().center())), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(link, &over);
            QVERIFY(about.Line2->isVisible());
            QCOMPARE(about.Line2->x(), link->x());
            QCOMPARE(about.Line2->width(), link->width());
            QCOMPARE(about.Line2->y(), link->y() + link->height());
        }
        // Moving onto the background hides the underline.
        QMouseEvent move(QEvent::MouseMove, QPointF(3, about.height() - 3),
                         about.mapToGlobal(QPointF(3, about.height() - 3)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&about, &move);
        QVERIFY(!about.Line2->isVisible());

        QTest::mouseClick(about.Label2, Qt::LeftButton);
        QTest::mouseClick(about.Label7, Qt::LeftButton);
        QTest::mouseClick(about.Label4, Qt::LeftButton);
        QCOMPARE(m_opened.size(), 3);
        QCOMPARE(m_opened[0], QUrl(AppInfo::SupportPageUrl));
        QCOMPARE(m_opened[1], QUrl(AppInfo::SecondSiteUrl));
        QCOMPARE(m_opened[2], QUrl(Module1::FeedbackMailAddress(QDate::currentDate()), QUrl::TolerantMode));
    }

    void sysInfoIsUnavailableHere() {
        FakeDialogs fake;
        FakeDialogs::Scope scope(fake);
        frmAbout about;
        about.show();
        about.cmdSysInfo->click();
        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, QStringLiteral("此时系统信息不可用"));
        QCOMPARE(fake.messages[0].buttons, Dialogs::Buttons::Ok);
        QVERIFY(about.isVisible());
        about.cmdOK->click();
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

VARNEL_TEST_MAIN(TestAppWindows)
#include "tst_appwindows.moc"
