#pragma once
// Which addresses named by a page, script or map may be fetched or read. A pure decision on text: what came
// from the network never leads to a local read (file: addresses, absolute and drive-letter paths); what
// came from a local file may be read from that file's folder (the root) and below it only.

#include <QString>

namespace SourceMaps {

// Who names an address: its own address (a base for relative names) and where it came from.
struct Referrer {
    QString address; // http(s) URL, file: URL or local path
    bool fromNetwork = true;
    QString localRoot; // local referrers only: the folder local reads stay within, ending in "/"

    // A referrer for `address`: local paths and file: URLs are local with their own folder as root; anything
    // else counts as the network.
    static Referrer of(const QString &address);
    // The same trust for another address it led to (a map named by a script, a source named by a map).
    Referrer leadingTo(const QString &address) const;
};

enum class Access {
    Fetch,       // an http(s) address: `target` is the URL
    ReadLocal,   // a local file inside the root: `target` is its clean absolute path
    Data,        // a data: URL, decoded in place
    Refused,     // a local file the referrer may not read
    Unreachable, // any other scheme (webpack:, ng:, ...): nothing can fetch it
};

struct AccessDecision {
    Access access = Access::Unreachable;
    QString target;
    bool fromNetwork = true; // for Refused: the referrer came from the network (else: outside its folder)
};

// `reference` resolved against the referrer's address, then judged.
AccessDecision decideAccess(const QString &reference, const Referrer &referrer);

// `reference` resolved against `base` (URL, file: URL or local path), as a browser resolves a relative URL;
// a local result comes back as a file: URL. Backslashes count as slashes.
QString resolveAddress(const QString &reference, const QString &base);

bool isLocalAddress(const QString &address);

} // namespace SourceMaps
