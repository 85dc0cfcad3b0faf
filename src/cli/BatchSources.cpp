#include "cli/BatchSources.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>

namespace Cli {

Source sourceFromLine(const QString &line) {
    QString text = line.trimmed();
    if (text.startsWith(QChar(0xFEFF))) // a list saved with a byte-order mark
        text = text.mid(1).trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
        return {};
    // Two letters at least, so that a drive ("C:\pages\a.htm") stays a path.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch())
        return {SourceKind::PageAddress, text, {}};
    return {SourceKind::PageFile, absoluteSourcePath(SourceKind::PageFile, text), {}};
}

QString absoluteSourcePath(SourceKind kind, const QString &value) {
    const bool shareOrDrive = value.startsWith(QLatin1String("\\\\")) || value.mid(1, 1) == QLatin1String(":");
    if (kind != SourceKind::PageAddress && QDir::isRelativePath(value) && !shareOrDrive)
        return QFileInfo(value).absoluteFilePath();
    return value;
}

BatchSources::BatchSources(QList<SourceArg> args) : m_args(std::move(args)) {}

BatchSources::~BatchSources() = default;

QString BatchSources::open() {
    for (const SourceArg &a : m_args) {
        if (a.kind != SourceKind::None)
            continue;
        auto file = std::make_unique<QFile>();
        bool opened = false;
        if (a.value == QLatin1String("-")) {
            opened = file->open(stdin, QIODevice::ReadOnly);
        } else {
            file->setFileName(a.value);
            opened = !QFileInfo(a.value).isDir() && file->open(QIODevice::ReadOnly);
        }
        if (!opened) {
            const QString why = QFileInfo(a.value).isDir() ? QStringLiteral("这是文件夹，不是文件")
                                                            : file->errorString();
            return QStringLiteral("无法读取地址列表 %1：%2").arg(a.value, why);
        }
        m_files.push_back(std::move(file));
    }
    return QString();
}

std::optional<Source> BatchSources::next() {
    while (m_arg < m_args.size()) {
        const SourceArg &a = m_args.at(m_arg);
        if (a.kind != SourceKind::None) {
            ++m_arg;
            return Source{a.kind, absoluteSourcePath(a.kind, a.value), {}};
        }
        QFile *file = m_file < m_files.size() ? m_files[m_file].get() : nullptr;
        if (!file) {
            ++m_arg;
            continue;
        }
        // At most MaxLineBytes bytes: a line that has not ended by then is too long.
        QByteArray line = file->readLine(MaxLineBytes + 1);
        if (line.isEmpty()) {
            if (file->error() != QFileDevice::NoError && m_readError.isEmpty())
                m_readError = QStringLiteral("读取地址列表 %1 时出错：%2").arg(a.value, file->errorString());
            m_files[m_file].reset();
            ++m_file;
            ++m_arg;
            continue;
        }
        if (!line.endsWith('\n') && line.size() >= MaxLineBytes) {
            while (!line.endsWith('\n') && !line.isEmpty()) // the rest of the line goes unread
                line = file->readLine(MaxLineBytes + 1);
            return Source{SourceKind::None,
                          {},
                          QStringLiteral("地址列表 %1 中有一行超过 %2 KiB，未加载")
                              .arg(a.value)
                              .arg(MaxLineBytes / 1024)};
        }
        const Source s = sourceFromLine(QString::fromUtf8(line));
        if (s.kind != SourceKind::None)
            return s;
    }
    return std::nullopt;
}

} // namespace Cli
