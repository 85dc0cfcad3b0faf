#include "util/Module1.h"
#include "util/TextPositions.h"

namespace Module1 {

QString LinkScriptText;
QString LastLinkFunction;
QString LastLinkPrefix;

namespace {

// A prefix found in script text can itself hold a "javascript:" call, which would send the
// resolution round in circles; past this depth a link is returned as it is.
constexpr int MaxLinkDepth = 8;
int linkDepth = 0;

struct DepthGuard {
    DepthGuard() { ++linkDepth; }
    ~DepthGuard() { --linkDepth; }
    DepthGuard(const DepthGuard &) = delete;
    DepthGuard &operator=(const DepthGuard &) = delete;
};

QString beforeFirstComma(const QString &text) {
    const int comma = Pos::find(text, QStringLiteral(","));
    return comma > 0 ? Pos::upTo(text, comma - 1) : text;
}

} // namespace

QString ResolveScriptLink(const QString &address, const QString &baseFolder) {
    if (linkDepth >= MaxLinkDepth)
        return address;
    const DepthGuard guard;

    const QString base = baseFolder.endsWith(QLatin1Char('/'))
                             ? baseFolder
                             : Pos::upTo(baseFolder, Pos::findLast(baseFolder, QStringLiteral("/")));

    const int c = Pos::find(address, QStringLiteral("("));
    if (c == 0)
        return address;

    // Position 12 is the first character after "javascript:".
    const QString name = Pos::slice(address, 12, c - 12);

    // A call without a function name ("javascript:(…)") has no definition to look up: searching for
    // "function (" would take the prefix of any anonymous function, and the answer would depend on what
    // the memo held before.
    QString prefix;
    if (!name.isEmpty() && name.compare(QLatin1String("window.open"), Qt::CaseInsensitive) != 0) {
        if (name.compare(LastLinkFunction, Qt::CaseInsensitive) != 0) {
            LastLinkFunction = name;
            prefix = FindWindowOpenPrefix(LinkScriptText, name);
            LastLinkPrefix = prefix;
        } else {
            prefix = LastLinkPrefix;
        }
    }

    const int d = c + 1;
    const int e = Pos::find(address, QStringLiteral(")"), d);
    if (e == 0 || e <= d)
        return address;

    QString argument = beforeFirstComma(Pos::slice(address, d, e - d));
    argument.remove(QLatin1Char('"'));
    argument.remove(QLatin1Char('\''));

    return ResolveScriptAddress(prefix + argument, base);
}

QString FindWindowOpenPrefix(const QString &scriptText, const QString &name) {
    const QString pattern = QStringLiteral("function ") + name + QLatin1Char('(');
    const int a = Pos::findAnyCase(scriptText, pattern);
    if (a == 0)
        return QString();

    // Definition header without ")" after it: no parameter list to read.
    const int b = Pos::find(scriptText, QStringLiteral(")"), a);
    const int listStart = a + int(pattern.size());
    if (b - listStart < 0)
        return QString();
    const QString parameter = beforeFirstComma(Pos::slice(scriptText, listStart, b - listStart));

    const int g = Pos::findAnyCase(scriptText, QStringLiteral("window.open("), a);
    if (g == 0)
        return QString();

    // Without a parameter name there is nothing the prefix could stand in front of.
    if (parameter.isEmpty())
        return QString();
    const int h = Pos::findLast(scriptText, parameter, Qt::CaseInsensitive);

    // The parameter's last use standing before the call leaves no prefix.
    const int prefixStart = g + 12;
    if (h - prefixStart < 0)
        return QString();

    QString prefix = Pos::slice(scriptText, prefixStart, h - prefixStart);
    prefix.remove(QLatin1Char('"'));
    prefix.remove(QLatin1Char('\''));
    prefix.remove(QLatin1Char('+'));
    return Pos::trimSpaces(prefix);
}

} // namespace Module1
