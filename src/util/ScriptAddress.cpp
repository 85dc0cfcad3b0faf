#include "util/Module1.h"
#include "util/TextPositions.h"

#include <cstddef>

namespace Module1 {

namespace {

template <std::size_t N> bool containsAnyCase(const QString &text, const char *const (&needles)[N]) {
    for (const char *n : needles)
        if (n && text.contains(QLatin1String(n), Qt::CaseInsensitive))
            return true;
    return false;
}

// Folder part of a page address: the address itself when it ends with "/", else up to its last "/".
QString baseFolderOf(const QString &page) {
    if (page.endsWith(QLatin1Char('/')))
        return page;
    return Pos::upTo(page, Pos::findLast(page, QStringLiteral("/")));
}

// "../" goes up one folder: B up to the last "/" before its own final character.
QString parentFolderOf(const QString &base) {
    const QString head = Pos::upTo(base, int(base.size()) - 1);
    return Pos::upTo(head, Pos::findLast(head, QStringLiteral("/")));
}

// Site root of a base folder: scheme and host for web addresses, the drive for C:/dir/,
// and "/" for a local folder that starts with a single "/".
QString rootOf(const QString &base) {
    if (base.startsWith(QLatin1Char('/')) && !base.startsWith(QLatin1String("//")))
        return QStringLiteral("/");
    const int i = Pos::find(base, QStringLiteral("://"));
    const int j = Pos::find(base, QStringLiteral("/"), i + 3);
    return Pos::upTo(base, j);
}

// Addresses taken from script text bring string syntax along; drop it.
QString cleanUp(QString r) {
    r.remove(QLatin1Char('\''));
    r.remove(QLatin1Char('"'));
    r.remove(QLatin1Char(' '));
    r.remove(QLatin1String(");"));
    return r;
}

QString resolveRelative(const QString &address, const QString &base) {
    if (address.startsWith(QLatin1String("../")))
        return parentFolderOf(base) + Pos::from(address, 4);
    if (address.startsWith(QLatin1String("./")))
        return base + Pos::from(address, 3);
    if (address.startsWith(QLatin1Char('/')))
        return rootOf(base) + Pos::from(address, 2);
    return base + address;
}

// Schemes recognised inside a longer address, with the number of characters kept before their "://".
// "https" is recognised too: without it a secure address would lose its first letter.
struct SchemeGroup {
    const char *schemes[3]; // unused places are null
    int kept;
    const char *cutWhenStartingWith; // a redirect's own parameters are cut off after this scheme
};

const SchemeGroup SchemeGroups[] = {
    {{"https://"}, 5, "https://"},
    {{"http://", "rtsp://", "mmst://"}, 4, "http://"},
    {{"ftp://", "mms://", "pnm://"}, 3, "ftp://"},
};
constexpr int FallbackKept = 4;

// An address whose last "://" stands at position k >= 6: some leading text carries another address.
QString resolveEmbedded(const QString &address, int k) {
    const bool several = Pos::upTo(address, k - 1).contains(QLatin1String("://"));
    // With two or more addresses the last one wins; only the text around it decides its scheme.
    const QString probe = several ? Pos::from(address, k - 5) : address;
    for (const SchemeGroup &group : SchemeGroups) {
        if (!containsAnyCase(probe, group.schemes))
            continue;
        QString r = Pos::from(address, k - group.kept);
        if (several && Pos::startsAnyCase(r, QLatin1String(group.cutWhenStartingWith)) &&
            r.contains(QLatin1Char('=')) && r.contains(QLatin1Char('&')))
            r = Pos::upTo(r, Pos::find(r, QStringLiteral("&")) - 1);
        return r;
    }
    return Pos::from(address, k - FallbackKept);
}

} // namespace

QString ResolveScriptAddress(const QString &address, const QString &pageAddress) {
    QString page = pageAddress;
    page.replace(QLatin1Char('\\'), QLatin1Char('/'));

    if (page.isEmpty() || page.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0)
        return address;

    if (address.startsWith(QLatin1Char('?'))) {
        const int q = Pos::findLast(page, QStringLiteral("?"));
        return (q > 0 ? Pos::upTo(page, q - 1) : page) + address;
    }

    // "//host/path" on a web page goes to that host by the page's own scheme.
    if (address.startsWith(QLatin1String("//")) && !address.contains(QLatin1String("://"))) {
        for (const char *s : {"http://", "https://"})
            if (Pos::startsAnyCase(page, QLatin1String(s)))
                return cleanUp(page.left(int(qstrlen(s)) - 2) + address);
    }

    const int k = Pos::findLast(address, QStringLiteral("://"));
    if (k >= 1 && k <= 5)
        return cleanUp(address);

    if (k == 0) {
        if (Pos::startsAnyCase(address, QStringLiteral("mailto:")))
            return address;
        const QString base = baseFolderOf(page);
        if (Pos::startsAnyCase(address, QStringLiteral("javascript:")))
            return ResolveScriptLink(address, base);
        return cleanUp(resolveRelative(address, base));
    }

    return cleanUp(resolveEmbedded(address, k));
}

} // namespace Module1
