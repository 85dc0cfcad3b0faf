#include "decompose/AddressText.h"

#include <array>

namespace Decompose {

namespace {

constexpr qsizetype PlaceholderLimit = 40;
// Stands for a placeholder while a literal's shape is judged.
constexpr QChar Hole(0xE000);

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The value of `count` hex digits at `at` (count 0: up to '}'), or -1; `used` gets the digits read.
int hexNumber(QStringView s, qsizetype at, int count, qsizetype &used) {
    int value = 0;
    qsizetype i = at;
    for (; i < s.size() && (count == 0 || i - at < count); ++i) {
        const int h = hexValue(s[i]);
        if (h < 0)
            break;
        value = value * 16 + h;
        if (value > 0x10FFFF)
            return -1;
    }
    used = i - at;
    if (used == 0 || (count > 0 && used != count))
        return -1;
    return value;
}

bool isForbidden(QChar c) {
    // Blanks and controls mean prose or markup; these characters mean markup, style, regular
    // expressions, globs or code.
    if (c.isSpace() || c.unicode() < 0x20)
        return true;
    switch (c.unicode()) {
    case '<': case '>': case '"': case '\'': case '\\': case '^': case '`':
    case '|': case '*': case '(': case ')': case '{': case '}': case '$':
        return true;
    default:
        return false;
    }
}

bool isHostChar(QChar c) {
    return c.isLetterOrNumber() || c == Hole || c == u'.' || c == u'-' || c == u':' || c == u'[' || c == u']' ||
           c == u'@' || c == u'_' || c == u'%' || c == u'~';
}

bool isDateOrNumber(QStringView segment) {
    static const QString dateLetters = QStringLiteral("yMdDhHmsSY");
    bool digits = true;
    bool dateFormat = true;
    for (QChar c : segment) {
        digits = digits && (c.isDigit() || c == u'.' || c == u',' || c == u'%' || c == u'-' || c == u'+');
        dateFormat = dateFormat && dateLetters.contains(c);
    }
    return digits || dateFormat;
}

// A segment that names something: two characters or more, a letter among them, not a date format.
bool isWordy(QStringView segment) {
    if (segment.size() < 2 || isDateOrNumber(segment))
        return false;
    for (QChar c : segment) {
        if (c.isLetter())
            return true;
    }
    return false;
}

bool hasWordySegment(QStringView path) {
    for (QStringView part : path.tokenize(u'/')) {
        if (isWordy(part))
            return true;
    }
    return false;
}

bool isMimeTop(QStringView s) {
    static const std::array<const char *, 9> tops = {"text",  "image",     "audio",   "video", "application",
                                                     "font",  "multipart", "message", "model"};
    for (const char *t : tops) {
        if (s.compare(QLatin1StringView(t), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// `.png`, `.json`: a short extension after the last dot of the last segment.
bool hasExtension(QStringView segment) {
    const qsizetype dot = segment.lastIndexOf(u'.');
    if (dot < 0 || dot + 1 >= segment.size() || segment.size() - dot - 1 > 5 || !segment[dot + 1].isLetter())
        return false;
    for (QChar c : segment.mid(dot + 1)) {
        if (!c.isLetterOrNumber() || c.unicode() > 0x7f)
            return false;
    }
    return true;
}

// host[:port] right after "//": letters, digits and the like, with a dot, a port, a placeholder or
// "localhost" so that "//x" (a comment marker, a regex) does not pass.
bool isAuthority(QStringView rest) {
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != u'/' && rest[end] != u'?' && rest[end] != u'#')
        ++end;
    const QStringView host = rest.first(end);
    if (host.isEmpty() || !(host[0].isLetterOrNumber() || host[0] == Hole || host[0] == u'['))
        return false;
    for (QChar c : host) {
        if (!isHostChar(c))
            return false;
    }
    return host.contains(u'.') || host.contains(u':') || host.contains(Hole) ||
           host.compare(u"localhost", Qt::CaseInsensitive) == 0;
}

bool isPathShape(QStringView s) {
    // Before the query and fragment.
    qsizetype end = 0;
    while (end < s.size() && s[end] != u'?' && s[end] != u'#')
        ++end;
    const QStringView path = s.first(end);
    const bool query = end < s.size();
    if (s.startsWith(u"./") || s.startsWith(u"../"))
        return s.size() > (s.startsWith(u"./") ? 2 : 3);
    if (!hasWordySegment(path))
        return false;
    if (s.startsWith(u'/')) {
        // Not a command-line switch (/p:Configuration=Release, /m:4).
        const qsizetype next = path.indexOf(u'/', 1);
        return !s.startsWith(u"//") && !path.mid(1, next < 0 ? -1 : next - 1).contains(u':');
    }
    // Relative: a/b/c, a/b.json, a/b?x=; not text/html, and/or, km/h.
    const qsizetype slash = path.indexOf(u'/');
    if (slash <= 0 || path.first(slash).contains(u':'))
        return false;
    const qsizetype slashes = path.count(u'/');
    if (slashes >= 2)
        return true;
    if (isMimeTop(path.first(slash)))
        return false;
    return query || hasExtension(path.mid(slash + 1));
}

} // namespace

WrittenAddress writeAddress(const QList<AddressPiece> &pieces) {
    WrittenAddress out;
    for (const AddressPiece &p : pieces) {
        if (p.placeholder)
            out.placeholders.push_back({out.text.size(), out.text.size() + p.text.size()});
        out.text += p.text;
    }
    return out;
}

QString placeholderOf(QStringView expression) {
    QString out;
    out.reserve(PlaceholderLimit + 2);
    out += u'{';
    qsizetype taken = 0;
    for (qsizetype i = 0; i < expression.size() && taken < PlaceholderLimit; ++i) {
        const QChar c = expression[i];
        if (c.isSpace())
            continue;
        if (c.isHighSurrogate() && taken + 1 == PlaceholderLimit)
            break;
        out += c;
        ++taken;
    }
    out += u'}';
    return out;
}

QString decodeJsString(QStringView s) {
    if (!s.contains(u'\\'))
        return s.toString();
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const QChar c = s[++i];
        qsizetype used = 0;
        switch (c.unicode()) {
        case 'n': out += u'\n'; break;
        case 't': out += u'\t'; break;
        case 'r': out += u'\r'; break;
        case 'b': out += u'\b'; break;
        case 'f': out += u'\f'; break;
        case 'v': out += u'\v'; break;
        case '0': out += QChar(0); break;
        case '\r': // a line continuation
            if (i + 1 < s.size() && s[i + 1] == u'\n')
                ++i;
            break;
        case '\n': case 0x2028: case 0x2029:
            break;
        case 'x': {
            const int v = hexNumber(s, i + 1, 2, used);
            if (v < 0) {
                out += c;
                break;
            }
            out += QChar(v);
            i += used;
            break;
        }
        case 'u': {
            const bool braced = i + 1 < s.size() && s[i + 1] == u'{';
            const int v = hexNumber(s, i + 1 + (braced ? 1 : 0), braced ? 0 : 4, used);
            if (v < 0 || (braced && (i + 2 + used >= s.size() || s[i + 2 + used] != u'}'))) {
                out += c;
                break;
            }
            const char32_t cp = char32_t(v);
            out += QString::fromUcs4(&cp, 1);
            i += used + (braced ? 2 : 0);
            break;
        }
        default:
            out += c;
        }
    }
    return out;
}

bool isHttpMethod(QStringView text) {
    static const std::array<const char *, 7> methods = {"GET", "POST", "PUT", "DELETE", "PATCH", "HEAD", "OPTIONS"};
    for (const char *m : methods) {
        if (text.compare(QLatin1StringView(m), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isAddressLiteral(const QList<AddressPiece> &pieces) {
    QString shape;
    for (const AddressPiece &p : pieces) {
        if (p.placeholder) {
            shape += Hole;
            continue;
        }
        for (QChar c : p.text) {
            if (isForbidden(c))
                return false;
        }
        shape += p.text;
    }
    if (!shape.contains(u'/'))
        return false;
    const QStringView s(shape);
    for (const char16_t *scheme : {u"http://", u"https://", u"ws://", u"wss://"}) {
        if (s.startsWith(QStringView(scheme), Qt::CaseInsensitive))
            return isAuthority(s.mid(QStringView(scheme).size()));
    }
    if (s.startsWith(u"//"))
        return isAuthority(s.mid(2));
    if (s.startsWith(Hole)) {
        // {base}/api/items: what follows the expression must be a path of its own.
        const QStringView rest = s.mid(1);
        return rest.startsWith(u'/') && !rest.startsWith(u"//") && isPathShape(rest);
    }
    return isPathShape(s);
}

} // namespace Decompose
