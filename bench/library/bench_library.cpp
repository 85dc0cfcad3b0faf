// The library on 100,000 rows: compaction, the record set's load and the browser's load.
// Prints times (Google Benchmark) and the file sizes (counters and a summary line).

#include "library/DataAccess.h"
#include "library/LibraryFile.h"
#include "library/ModuleDataBase.h"
#include "library/ui/fModel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int Rows = 100000;

QString librarySql(int rows) {
    QString sql =
        QStringLiteral("CREATE TABLE CSS (函数名称 TEXT, 网址 TEXT, TI TEXT, PR TEXT, VA TEXT, ABC TEXT);"
                       "BEGIN;");
    const QString body = QStringLiteral("function f(a, b) { return a + b; }");
    for (int i = 0; i < rows; ++i) {
        // Names in a scattered order, so the listing really sorts.
        const int key = int((qint64(i) * 7919) % rows);
        sql += QStringLiteral(
                   "INSERT INTO CSS VALUES ('函数%1', 'http://www.example.com/js/%1.htm', '标题', 'a, b', "
                   "'数字', '%2');")
                   .arg(key, 6, 10, QLatin1Char('0'))
                   .arg(body);
    }
    return sql + QStringLiteral("COMMIT;");
}

// A library of `Rows` rows, built once and copied for every run that changes it.
const QString &masterLibrary(const QTemporaryDir &dir) {
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("master.dll"));
        QString error;
        if (!LibraryFile::CreateFromSql(path, ModuleDataBase::LibraryDbPassword, librarySql(Rows), &error))
            qFatal("cannot build the library: %s", qPrintable(error));
    }
    return path;
}

QTemporaryDir &folder() {
    static QTemporaryDir dir;
    return dir;
}

void copyFresh(const QString &from, const QString &to) {
    QFile::remove(to);
    if (!QFile::copy(from, to))
        qFatal("cannot copy the library");
}

void BM_CompactAfterDeletingHalf(benchmark::State &state) {
    const QString lib = folder().filePath(QStringLiteral("xqd.dll"));
    qint64 before = 0, after = 0;
    for (auto _ : state) {
        state.PauseTiming();
        copyFresh(masterLibrary(folder()), lib);
        {
            DataAccess::Connection connection;
            connection.open(ModuleDataBase::OpeningConnectionText(lib, ModuleDataBase::LibraryDbPassword));
            connection.execute(QStringLiteral("delete from CSS where rowid % 2 = 0"));
        }
        before = QFileInfo(lib).size();
        state.ResumeTiming();
        if (!ModuleDataBase::CompactLibraryDb(lib, ModuleDataBase::LibraryDbPassword))
            state.SkipWithError("compaction failed");
        after = QFileInfo(lib).size();
    }
    state.counters["bytes_before"] = double(before);
    state.counters["bytes_after"] = double(after);
    std::printf("compaction after deleting half of %d rows: %lld -> %lld bytes\n", Rows, before, after);
}
BENCHMARK(BM_CompactAfterDeletingHalf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CompactFull(benchmark::State &state) {
    const QString lib = folder().filePath(QStringLiteral("full.dll"));
    copyFresh(masterLibrary(folder()), lib);
    for (auto _ : state) {
        if (!ModuleDataBase::CompactLibraryDb(lib, ModuleDataBase::LibraryDbPassword))
            state.SkipWithError("compaction failed");
    }
    state.counters["bytes"] = double(QFileInfo(lib).size());
}
BENCHMARK(BM_CompactFull)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ListingRecordSet(benchmark::State &state) {
    const QString lib = masterLibrary(folder());
    DataAccess::Connection connection;
    connection.open(ModuleDataBase::OpeningConnectionText(lib, ModuleDataBase::LibraryDbPassword));
    for (auto _ : state) {
        DataAccess::RecordSet records;
        if (!records.open(ModuleDataBase::ListingSql, connection) || records.rowCount() != Rows)
            state.SkipWithError("listing failed");
    }
}
BENCHMARK(BM_ListingRecordSet)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_BrowserLoad(benchmark::State &state) {
    ModuleDataBase::LibraryDbPath = masterLibrary(folder());
    fModel window;
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.显示数据();
        // Let the grid lay out and paint its first screen, as the user would see it.
        window.DataGrid1->viewport()->repaint();
        if (window.DataGrid1->model()->rowCount() != Rows)
            state.SkipWithError("browser load failed");
    }
    state.counters["bytes"] = double(QFileInfo(ModuleDataBase::LibraryDbPath).size());
}
BENCHMARK(BM_BrowserLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ModuleDataBase::SetMessageHandler(
        [](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    benchmark::Initialize(&argc, argv);
    std::printf("library of %d rows: %lld bytes\n", Rows, QFileInfo(masterLibrary(folder())).size());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
