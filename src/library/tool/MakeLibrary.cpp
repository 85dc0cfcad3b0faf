// Build step: turns the library's SQL script into the encrypted library file.
// Usage: varnel_makelibrary <script.sql> <library file>

#include "library/LibraryFile.h"
#include "library/ModuleDataBase.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: varnel_makelibrary <script.sql> <library file>\n");
        return 2;
    }
    QFile script(args.at(1));
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const QString sql = QString::fromUtf8(script.readAll());
    QString error;
    if (!LibraryFile::CreateFromSql(args.at(2), ModuleDataBase::LibraryDbPassword, sql, &error)) {
        std::fprintf(stderr, "cannot build %s: %s\n", qPrintable(args.at(2)), qPrintable(error));
        return 1;
    }
    return 0;
}
