#pragma once
// Keeps tests away from the real home folder: test-mode standard paths and temporary HOME / XDG folders.
// Call TestEnv::isolate() first thing in main (see VARNEL_TEST_MAIN) or in initTestCase.

#include <QString>

namespace TestEnv {

// Points HOME and the XDG folders at a fresh temporary folder and enables QStandardPaths' test mode.
// Returns the temporary home. Safe to call more than once (the first call wins).
QString isolate();

// Writes `bytes` to `path`, creating the folders on the way; fails the test if it cannot.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// What the browser engine needs headless: no GPU, and its sandbox off when the tests run as root (it
// refuses to start as root otherwise). Call before the application object exists.
void prepareBrowserEngine();

// Makes the browser engine of this test program trust the certificate in `pemPath`: the engine's trust
// store is the NSS database in HOME (call after isolate(), before the first https load). Empty on
// success, else what went wrong (certutil comes with libnss3-tools).
QString trustInBrowserEngine(const QString &pemPath);

} // namespace TestEnv

// A QTEST_MAIN that isolates the environment before the application object exists.
#define VARNEL_TEST_MAIN(TestClass)                                                                         \
    int main(int argc, char **argv) {                                                                       \
        TestEnv::isolate();                                                                                 \
        QApplication app(argc, argv);                                                                       \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                            \
        TestClass tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                          \
        return QTest::qExec(&tc, argc, argv);                                                               \
    }
