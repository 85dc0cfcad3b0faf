#include "sourcemap/Access.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace SourceMaps {

namespace {

bool hasDriveLetter(const QString &s) {
    return s.size() >= 2 && s[0].isLetter() && s[0].unicode() < 128 && s[1] == QLatin1Char(':') &&
           (s.size() == 2 || s[2] == QLatin1Char('/') || s[2] == QLatin1Char('\\'));
}

// A scheme per RFC 3986 followed by ":"; a single letter is a drive, not a scheme.
bool hasScheme(const QString &s) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(s).hasMatch();
}

QUrl baseUrl(const QString &base) {
    QString b = base;
    b.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (hasDriveLetter(b) || (!hasScheme(b)))
        return QUrl::fromLocalFile(b);
    return QUrl(b);
}

QString folderOf(const QString &cleanPath) {
    const qsizetype slash = cleanPath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : cleanPath.left(slash + 1);
}

} // namespace

bool isLocalAddress(const QString &address) {
    if (address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return true;
    return hasDriveLetter(address) || !hasScheme(address);
}

QString resolveAddress(const QString &reference, const QString &base) {
    QString ref = reference;
    ref.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (hasDriveLetter(ref))
        return QUrl::fromLocalFile(ref).toString(QUrl::FullyEncoded);
    const QUrl resolved = baseUrl(base).resolved(QUrl(ref));
    return resolved.toString(QUrl::FullyEncoded);
}

Referrer Referrer::of(const QString &address) {
    Referrer r;
    r.address = address;
    r.fromNetwork = !isLocalAddress(address);
    if (!r.fromNetwork)
        r.localRoot = folderOf(QDir::cleanPath(baseUrl(address).toLocalFile()));
    return r;
}

Referrer Referrer::leadingTo(const QString &address) const {
    Referrer r = *this;
    r.address = address;
    // A local file that names a network address hands the network's trust on.
    if (!isLocalAddress(address) && !address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
        r.fromNetwork = true;
        r.localRoot.clear();
    }
    return r;
}

AccessDecision decideAccess(const QString &reference, const Referrer &referrer) {
    AccessDecision d;
    d.fromNetwork = referrer.fromNetwork;
    const QString trimmed = reference.trimmed();
    if (trimmed.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
        d.access = Access::Data;
        d.target = trimmed;
        return d;
    }
    // A drive letter or a "\\server" path names this machine's files whatever the base is.
    const bool namesLocalFile = hasDriveLetter(trimmed) || trimmed.startsWith(QLatin1String("\\\\"));
    const QString resolved = resolveAddress(trimmed, referrer.address);
    const QUrl url(resolved);
    const QString scheme = url.scheme().toLower();
    if (!namesLocalFile && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))) {
        d.access = Access::Fetch;
        d.target = resolved;
        return d;
    }
    if (namesLocalFile || scheme == QLatin1String("file") || scheme.isEmpty()) {
        d.access = Access::Refused;
        d.target = resolved;
        if (referrer.fromNetwork || referrer.localRoot.isEmpty() || !url.host().isEmpty())
            return d;
        const QString path = QDir::cleanPath(url.toLocalFile());
        if (path.startsWith(referrer.localRoot) && !path.contains(QLatin1String("/../"))) {
            d.access = Access::ReadLocal;
            d.target = path;
        }
        return d;
    }
    d.access = Access::Unreachable;
    d.target = resolved;
    return d;
}

} // namespace SourceMaps
