#pragma once
// The esbuild fixture under tests/data/sourcemap (see its README for the commands that made it).

#include <QByteArray>
#include <QFile>
#include <QString>

inline QString fixturePath(const QString &relative) {
    return QStringLiteral(VARNEL_SOURCEMAP_DATA "/") + relative;
}

inline QByteArray fixtureBytes(const QString &relative) {
    QFile f(fixturePath(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
