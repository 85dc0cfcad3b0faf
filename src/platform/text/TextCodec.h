#pragma once
// Bytes <-> text for files, pages and downloads.
// Reading: BOM -> declared charset (HTTP header, <meta charset>) -> valid UTF-8 -> uchardet's guess ->
// GB18030. Writing back over a file keeps the encoding it was read with (GBK is written as GB18030).

#include "platform/text/EncodingLabels.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

class CancelToken;

namespace TextCodec {

// How a text was (or is to be) stored: the encoding name and whether a byte-order mark leads.
struct Encoding {
    QByteArray name; // empty: the host code page
    bool bom = false;
    bool operator==(const Encoding &) const = default;
};

struct Decoded {
    QString text;
    QByteArray encoding; // name usable with QStringEncoder, e.g. "UTF-8", "GB18030", "Big5", "UTF-16LE"
    bool bom = false;    // the bytes started with a byte-order mark
};

// Decodes `bytes`; `declaredCharset` (may be empty) is the charset an HTTP header or a page declared.
Decoded decode(const QByteArray &bytes, const QByteArray &declaredCharset = QByteArray());

// Decodes a page: as decode(), with the declared charset taken from the HTTP header first (may be empty),
// then from the page's own <meta charset> / http-equiv declaration.
Decoded decodeHtml(const QByteArray &bytes, const QByteArray &headerCharset = QByteArray());

// Encodes `text` in `encoding` (empty: the host code page, UTF-8 here), with a BOM when `bom` is true.
QByteArray encode(const QString &text, const QByteArray &encoding, bool bom);

// True when `encoding` holds every character of `text` (encoding it loses nothing). The Unicode
// encodings hold every character.
bool fitsEncoding(const QString &text, const QByteArray &encoding);

// The charset parameter of a Content-Type value ("text/html; charset=gbk" -> "gbk"), or empty.
QByteArray charsetFromContentType(const QByteArray &contentType);

// The charset an HTML page declares in its first bytes (<meta charset=...> or http-equiv), or empty.
QByteArray charsetFromHtml(const QByteArray &head);

// Every read of a whole file or stream stops here: 256 MiB is far more than any script or page, and
// nothing in the program could show more.
inline constexpr qint64 maxReadBytes = qint64(256) * 1024 * 1024;

// Reads `device` to its end into `bytes`, but never more than `maxBytes`; false (with `bytes` cut to
// `maxBytes`) when there was more. The memory grows with what arrives, not with what a size claims.
bool readBounded(QIODevice &device, qint64 maxBytes, QByteArray &bytes);

struct FileText {
    bool ok = false;
    QString text;
    QByteArray encoding;
    bool bom = false;
    QString error;  // why the file could not be read, with its path (in Chinese, for messages)
    QString reason; // the same without the path ("文件不存在"), for lists that name the file already
};

struct FileBytes {
    bool ok = false;
    QByteArray bytes;
    QString error;  // as FileText::error
    QString reason; // as FileText::reason
};

// Reads a whole ordinary file of at most maxReadBytes, undecoded.
FileBytes readFileBytes(const QString &path);
// The same, giving up between chunks once `token` is cancelled.
FileBytes readFileBytes(const QString &path, const CancelToken &token);

// Reads and decodes a whole file.
FileText readFile(const QString &path);
// The same on a worker: between chunks of the read and before the decode it looks at `token`; a
// cancelled read gives up with the reason "已取消".
FileText readFile(const QString &path, const CancelToken &token);

// As readFile(), for a file a person named on a command line: any readable file that is not a folder,
// pipes and devices included (`<(cat a.js)`, /dev/stdin), within the same cap. Scripts a page names are
// read with readFile(), never from a pipe or a device.
FileText readInputFile(const QString &path);
FileBytes readInputFileBytes(const QString &path, const CancelToken &token);

// Writes `text` to `path` through QSaveFile, so the old file survives a failed write. A text that does not
// fit `encoding` is not written (no character is ever replaced silently).
// Returns an empty text on success, otherwise the reason.
QString writeFile(const QString &path, const QString &text, const QByteArray &encoding = QByteArray(),
                  bool bom = false);
// The same for bytes as they are (a CSV table, an original source): all of them or, on failure, the old file.
QString writeFileBytes(const QString &path, const QByteArray &bytes);

} // namespace TextCodec
