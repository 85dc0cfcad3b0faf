#include "sourcemap/OutputPaths.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace SourceMaps {

namespace {

constexpr int MaxSegmentBytes = 120;
constexpr int MaxDepth = 32;

QString shortHash(const QString &text) {
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(10));
}

// The extension kept when a name is shortened or gets a suffix: a short one without odd characters.
qsizetype extensionStart(const QString &segment) {
    const qsizetype dot = segment.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || segment.size() - dot > 12)
        return segment.size();
    return dot;
}

bool isReserved(const QString &segment) {
    static const QRegularExpression reserved(QStringLiteral("^(con|prn|aux|nul|com[0-9¹²³]|lpt[0-9¹²³])$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QString stem = segment.section(QLatin1Char('.'), 0, 0).trimmed();
    return reserved.match(stem).hasMatch();
}

QString cleanSegment(const QString &raw) {
    QString s;
    s.reserve(raw.size());
    for (QChar c : raw) {
        const char16_t u = c.unicode();
        const bool refused = u < 0x20 || u == 0x7F || QStringView(u"<>:\"|?*").contains(c);
        s.append(refused ? QChar(u'_') : c);
    }
    while (!s.isEmpty() && (s.back() == QLatin1Char('.') || s.back() == QLatin1Char(' ')))
        s.chop(1);
    if (s.isEmpty())
        return QStringLiteral("_");
    if (isReserved(s))
        s.prepend(QLatin1Char('_'));
    if (s.toUtf8().size() > MaxSegmentBytes) {
        const QString ext = s.mid(extensionStart(s));
        QString head = s.left(extensionStart(s));
        const QString tail = QLatin1Char('~') + shortHash(raw) + ext;
        while (head.toUtf8().size() + tail.toUtf8().size() > MaxSegmentBytes)
            head.chop(head.size() > 1 && head.at(head.size() - 1).isLowSurrogate() ? 2 : 1);
        s = head + tail;
    }
    return s;
}

QString withSuffix(const QString &segment, int n) {
    const qsizetype at = extensionStart(segment);
    return segment.left(at) + QStringLiteral("~%1").arg(n) + segment.mid(at);
}

} // namespace

QString safeRelativePath(const QString &name) {
    QString s = name;
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList folders;
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch m = scheme.match(s);
    if (m.hasMatch()) {
        folders << m.captured(1); // a scheme, or a drive letter
        s = s.mid(m.capturedLength());
    }
    for (const QString &segment : s.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (segment != QLatin1String(".") && segment != QLatin1String(".."))
            folders << cleanSegment(segment);
    if (folders.isEmpty())
        return QStringLiteral("unnamed");
    if (folders.size() > MaxDepth) {
        const QStringList deep = folders.mid(MaxDepth - 2, folders.size() - MaxDepth + 1);
        folders = folders.mid(0, MaxDepth - 2) +
                  QStringList{QLatin1Char('~') + shortHash(deep.join(QLatin1Char('/'))), folders.back()};
    }
    return folders.join(QLatin1Char('/'));
}

QString OutputNames::place(const QString &name) {
    const QStringList segments = safeRelativePath(name).split(QLatin1Char('/'));
    QString prefix;
    QStringList folders;
    for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
        QString folder = prefix + segments[i];
        for (int n = 2; m_files.contains(folder.toLower()); ++n)
            folder = prefix + segments[i] + QStringLiteral("~%1").arg(n);
        folders << folder.toLower();
        prefix = folder + QLatin1Char('/');
    }
    QString file = prefix + segments.back();
    for (int n = 2; m_files.contains(file.toLower()) || m_folders.contains(file.toLower()); ++n)
        file = prefix + withSuffix(segments.back(), n);
    m_files.insert(file.toLower());
    for (const QString &f : std::as_const(folders))
        m_folders.insert(f);
    return file;
}

QStringList treePath(const QString &address) {
    QStringList nodes;
    QString rest = address;
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    static const QRegularExpression origin(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://[^/]*"));
    const QRegularExpressionMatch m = origin.match(rest);
    int fixed = 0;
    if (m.hasMatch()) {
        nodes << m.captured(0);
        rest = rest.mid(m.capturedLength());
        fixed = 1;
    }
    for (const QString &segment : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (nodes.size() > fixed)
                nodes.removeLast();
            continue;
        }
        nodes << segment;
    }
    return nodes;
}

} // namespace SourceMaps
