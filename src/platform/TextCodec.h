#pragma once
// Bytes <-> text for files, pages and downloads.
// Reading: BOM -> declared charset (HTTP header, <meta charset>) -> valid UTF-8 -> uchardet's guess ->
// GB18030. Writing back over a file keeps the encoding it was read with (GBK is written as GB18030).

#include <QByteArray>
#include <QString>

namespace TextCodec {

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

// The encoding name for a charset label as pages and servers write it ("gbk" -> "GB18030",
// "iso-8859-1" -> "windows-1252", "utf8" -> "UTF-8"), or empty when the label is unknown.
QByteArray canonicalCharset(const QByteArray &label);

// Encodes `text` in `encoding` (empty: the host code page, UTF-8 here), with a BOM when `bom` is true.
QByteArray encode(const QString &text, const QByteArray &encoding, bool bom);

// The charset parameter of a Content-Type value ("text/html; charset=gbk" -> "gbk"), or empty.
QByteArray charsetFromContentType(const QByteArray &contentType);

// The charset an HTML page declares in its first bytes (<meta charset=...> or http-equiv), or empty.
QByteArray charsetFromHtml(const QByteArray &head);

struct FileText {
    bool ok = false;
    QString text;
    QByteArray encoding;
    bool bom = false;
    QString error; // why the file could not be read (in Chinese, for messages)
};

// Reads and decodes a whole file. With `bytes`, the file's raw bytes are handed back there as well.
FileText readFile(const QString &path, QByteArray *bytes = nullptr);

// Writes `text` to `path` through QSaveFile, so the old file survives a failed write.
// Returns an empty text on success, otherwise the reason.
QString writeFile(const QString &path, const QString &text, const QByteArray &encoding = QByteArray(),
                  bool bom = false);

} // namespace TextCodec
