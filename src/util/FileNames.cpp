#include "util/Module1.h"
#include "util/TextPositions.h"

namespace Module1 {

namespace {

// Most file systems here take names of at most 255 bytes.
constexpr int MaxNameBytes = 255;

int utf8Bytes(char16_t unit) {
    if (unit < 0x80)
        return 1;
    if (unit < 0x800)
        return 2;
    return 3; // also a lone surrogate, which becomes the 3-byte replacement character
}

// The longest head of `text` whose UTF-8 form fits `maxBytes`, ending on a character boundary.
QString capUtf8(const QString &text, int maxBytes) {
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const int need = pair ? 4 : utf8Bytes(c.unicode());
        if (bytes + need > maxBytes)
            break;
        bytes += need;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

} // namespace

QString ToSafeFileName(const QString &text) {
    QString name = text;
    for (const QChar c : {u'\\', u'/', u':', u'*', u'?', u'"', u'<', u'>', u'|'})
        name.remove(c);

    for (const QChar c : {u'\r', u'\n', u'\0'})
        name.remove(c);

    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);

    return Pos::trimSpaces(capUtf8(name, MaxNameBytes));
}

QString SplitFileName(const QString &path, bool withoutExtension, QString &extension) {
    QString name = Pos::trimSpaces(path);
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const int slash = Pos::findLast(name, QStringLiteral("\\"));
    if (slash > 0)
        name = Pos::from(name, slash + 1);

    const int dot = Pos::findLast(name, QStringLiteral("."));
    const QString behindDot = Pos::from(name, dot + 1);
    const bool hasExtension = dot > 0 && behindDot.size() <= 5;

    extension = hasExtension ? behindDot : QString();
    if (withoutExtension && hasExtension)
        return Pos::trimSpaces(Pos::upTo(name, dot - 1));
    return name;
}

} // namespace Module1
