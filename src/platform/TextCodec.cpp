#include "platform/TextCodec.h"

#include "platform/EncodingLabels.h"
#include "platform/WorkerPool.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <uchardet/uchardet.h>

#include <cctype>
#include <memory>

namespace TextCodec {

namespace {

constexpr qint64 kMaxFileBytes = maxReadBytes;

struct Bom {
    QByteArrayView bytes;
    const char *encoding;
};
const Bom kBoms[] = {{"\xEF\xBB\xBF", "UTF-8"}, {"\xFF\xFE", "UTF-16LE"}, {"\xFE\xFF", "UTF-16BE"}};

bool isUtf16(const QByteArray &encoding) {
    return encoding.startsWith("UTF-16");
}

QString decodeUserDefined(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b < 0x80 ? char16_t(b) : char16_t(0xF780 + b - 0x80));
    }
    return text;
}

QString decodeAs(QByteArrayView bytes, const QByteArray &encoding) {
    if (encoding == kUserDefined)
        return decodeUserDefined(bytes);
    // The BOM (if any) is already cut off; a further U+FEFF belongs to the text.
    QStringDecoder decoder(encoding.constData(),
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                             QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool isValidUtf8(QByteArrayView bytes, QString *text) {
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    *text = decoder.decode(bytes);
    return !decoder.hasError();
}

// Structural check of GB18030 (GBK is a subset): one-byte ASCII, two-byte 81-FE + 40-7E/80-FE,
// four-byte 81-FE 30-39 81-FE 30-39.
bool isValidGb18030(QByteArrayView bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c == 0x80 || c == 0xFF || i + 1 >= n)
            return false;
        const unsigned char c2 = p[i + 1];
        if ((c2 >= 0x40 && c2 <= 0x7E) || (c2 >= 0x80 && c2 <= 0xFE)) {
            i += 2;
            continue;
        }
        if (c2 >= 0x30 && c2 <= 0x39 && i + 3 < n && p[i + 2] >= 0x81 && p[i + 2] <= 0xFE &&
            p[i + 3] >= 0x30 && p[i + 3] <= 0x39) {
            i += 4;
            continue;
        }
        return false;
    }
    return true;
}

bool isMultiByteCharset(const QByteArray &canonical) {
    static const char *const kMulti[] = {"UTF-", "GB18030", "Big5", "Shift_JIS", "EUC-", "ISO-2022", "HZ-"};
    for (const char *m : kMulti)
        if (canonical.startsWith(m))
            return true;
    return false;
}

QByteArray uchardetGuess(QByteArrayView bytes) {
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(uchardet_new(),
                                                                                      uchardet_delete);
    if (!detector)
        return QByteArray();
    // Feed in slices: uchardet takes a size_t but some versions misbehave with huge single calls.
    constexpr qsizetype kSlice = 1 << 20;
    for (qsizetype at = 0; at < bytes.size(); at += kSlice) {
        const qsizetype len = qMin(kSlice, bytes.size() - at);
        if (uchardet_handle_data(detector.get(), bytes.data() + at, size_t(len)) != 0)
            break;
    }
    uchardet_data_end(detector.get());
    const char *name = uchardet_get_charset(detector.get());
    return name ? QByteArray(name) : QByteArray();
}

// UTF-16 without a BOM: text with many zero high bytes (ASCII, Latin) in one byte order and hardly any
// zero low bytes in it, that decodes without error. UTF-32 and binary files do not look like that.
QByteArray sniffUtf16(QByteArrayView bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return QByteArray();
    qsizetype zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        zeroEven += bytes[i] == 0;
        zeroOdd += bytes[i + 1] == 0;
    }
    const qsizetype pairs = bytes.size() / 2;
    QByteArray encoding;
    if (zeroOdd * 4 >= pairs && zeroEven * 8 <= zeroOdd)
        encoding = "UTF-16LE";
    else if (zeroEven * 4 >= pairs && zeroOdd * 8 <= zeroEven)
        encoding = "UTF-16BE";
    else
        return QByteArray();
    QStringDecoder decoder(encoding.constData(), QStringConverter::Flag::Stateless);
    (void)decoder.decode(bytes);
    return decoder.hasError() ? QByteArray() : encoding;
}

// Decoding after the BOM step, trying `declared` labels in order.
Decoded decodeWithoutBom(const QByteArray &bytes, const QList<QByteArray> &declared) {
    Decoded out;
    for (const QByteArray &label : declared) {
        const QByteArray encoding = encodingForLabel(label);
        if (encoding.isEmpty())
            continue; // a label browsers do not accept is ignored, as they ignore it
        out.encoding = encoding;
        out.text = decodeAs(bytes, encoding);
        return out;
    }
    // Before the UTF-8 test: ASCII in UTF-16 is valid UTF-8 too, zero bytes and all.
    if (const QByteArray utf16 = sniffUtf16(bytes); !utf16.isEmpty()) {
        out.encoding = utf16;
        out.text = decodeAs(bytes, utf16);
        return out;
    }
    if (isValidUtf8(bytes, &out.text)) {
        out.encoding = "UTF-8";
        return out;
    }
    QByteArray guess = canonicalCharset(uchardetGuess(bytes));
    // Short Chinese texts make uchardet guess one single-byte code page or another; for this program's
    // texts GBK is far likelier, so a single-byte guess yields to GB18030 when the bytes fit it.
    if (!guess.isEmpty() && !isMultiByteCharset(guess) && isValidGb18030(bytes))
        guess.clear();
    out.encoding = guess.isEmpty() ? QByteArray("GB18030") : guess;
    out.text = decodeAs(bytes, out.encoding);
    return out;
}

Decoded decodeAll(const QByteArray &bytes, const QList<QByteArray> &declared) {
    for (const Bom &bom : kBoms) {
        if (QByteArrayView(bytes).startsWith(bom.bytes)) {
            Decoded out;
            out.encoding = bom.encoding;
            out.bom = true;
            out.text = decodeAs(QByteArrayView(bytes).sliced(bom.bytes.size()), out.encoding);
            return out;
        }
    }
    return decodeWithoutBom(bytes, declared);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The "extracting a character encoding from a meta element" algorithm of HTML: charset=value in `content`.
QByteArray charsetFromMetaContent(const QByteArray &content) {
    const QByteArray lower = content.toLower();
    qsizetype pos = 0;
    while (true) {
        pos = lower.indexOf("charset", pos);
        if (pos < 0)
            return QByteArray();
        pos += 7;
        qsizetype i = pos;
        while (i < lower.size() && isSpace(lower[i]))
            ++i;
        if (i >= lower.size() || lower[i] != '=')
            continue;
        ++i;
        while (i < lower.size() && isSpace(lower[i]))
            ++i;
        if (i >= lower.size())
            return QByteArray();
        if (lower[i] == '"' || lower[i] == '\'') {
            const char quote = lower[i];
            const qsizetype end = lower.indexOf(quote, i + 1);
            if (end < 0)
                return QByteArray();
            return content.mid(i + 1, end - i - 1).trimmed();
        }
        qsizetype end = i;
        while (end < lower.size() && !isSpace(lower[end]) && lower[end] != ';')
            ++end;
        return content.mid(i, end - i);
    }
}

// One attribute of a tag, as HTML's prescan reads it. Returns false at the end of the tag.
bool nextAttribute(const QByteArray &s, qsizetype &i, QByteArray &name, QByteArray &value) {
    name.clear();
    value.clear();
    const qsizetype n = s.size();
    while (i < n && (isSpace(s[i]) || s[i] == '/'))
        ++i;
    if (i >= n || s[i] == '>')
        return false;
    while (i < n) {
        const char c = s[i];
        if (c == '=' && !name.isEmpty())
            break;
        if (isSpace(c) || c == '/' || c == '>')
            return true; // attribute without a value
        name += char(std::tolower(static_cast<unsigned char>(c)));
        ++i;
    }
    if (i >= n)
        return true;
    ++i; // '='
    while (i < n && isSpace(s[i]))
        ++i;
    if (i >= n)
        return true;
    if (s[i] == '"' || s[i] == '\'') {
        const char quote = s[i++];
        while (i < n && s[i] != quote)
            value += s[i++];
        if (i >= n)
            return false; // cut off inside the value: nothing reliable
        ++i;
        return true;
    }
    while (i < n && !isSpace(s[i]) && s[i] != '>')
        value += s[i++];
    return true;
}

QString fileError(const QString &what, const QString &path, const QString &reason = QString()) {
    QString text = what + QStringLiteral("：") + path;
    if (!reason.isEmpty())
        text += QStringLiteral("（") + reason + QStringLiteral("）");
    return text;
}

} // namespace

QByteArray canonicalCharset(const QByteArray &label) {
    const QByteArray l = label.trimmed().toLower();
    if (l.isEmpty())
        return QByteArray();
    // Web aliases first: browsers read these labels as the wider encoding.
    static const struct {
        const char *label;
        const char *encoding;
    } kAliases[] = {{"utf-8", "UTF-8"},
                    {"utf8", "UTF-8"},
                    {"unicode-1-1-utf-8", "UTF-8"},
                    {"gbk", "GB18030"},
                    {"gb2312", "GB18030"},
                    {"gb_2312", "GB18030"},
                    {"gb_2312-80", "GB18030"},
                    {"x-gbk", "GB18030"},
                    {"cp936", "GB18030"},
                    {"ms936", "GB18030"},
                    {"windows-936", "GB18030"},
                    {"csgb2312", "GB18030"},
                    {"chinese", "GB18030"},
                    {"iso-ir-58", "GB18030"},
                    {"gb18030", "GB18030"},
                    {"euc-cn", "GB18030"},
                    {"big5", "Big5"},
                    {"big5-hkscs", "Big5"},
                    {"cn-big5", "Big5"},
                    {"csbig5", "Big5"},
                    {"x-x-big5", "Big5"},
                    {"iso-8859-1", "windows-1252"},
                    {"latin1", "windows-1252"},
                    {"l1", "windows-1252"},
                    {"us-ascii", "windows-1252"},
                    {"ascii", "windows-1252"},
                    {"windows-1252", "windows-1252"},
                    {"cp1252", "windows-1252"},
                    {"utf-16", "UTF-16LE"},
                    {"utf-16le", "UTF-16LE"},
                    {"unicode", "UTF-16LE"},
                    {"utf-16be", "UTF-16BE"}};
    for (const auto &a : kAliases)
        if (l == a.label)
            return a.encoding;
    // UTF-7 is refused (script injection through a declared charset), as browsers do.
    if (l == "utf-7" || l == "utf7")
        return QByteArray();
    const QStringDecoder probe(l.constData());
    if (!probe.isValid())
        return QByteArray();
    const char *name = probe.name();
    return (name && *name) ? QByteArray(name) : l;
}

Decoded decode(const QByteArray &bytes, const QByteArray &declaredCharset) {
    QList<QByteArray> declared;
    if (!declaredCharset.isEmpty())
        declared << declaredCharset;
    return decodeAll(bytes, declared);
}

Decoded decodeHtml(const QByteArray &bytes, const QByteArray &headerCharset) {
    QList<QByteArray> declared;
    if (!headerCharset.isEmpty())
        declared << headerCharset;
    const QByteArray meta = charsetFromHtml(bytes);
    if (!meta.isEmpty())
        declared << meta;
    return decodeAll(bytes, declared);
}

QByteArray encode(const QString &text, const QByteArray &encoding, bool bom) {
    QByteArray name = encoding.isEmpty() ? QByteArray("UTF-8") : canonicalCharset(encoding);
    if (name.isEmpty())
        name = "UTF-8";
    QStringEncoder encoder(name.constData());
    if (!encoder.isValid()) {
        name = "UTF-8";
        encoder = QStringEncoder(QStringConverter::Utf8);
    }
    QByteArray out;
    if (bom) {
        for (const Bom &b : kBoms)
            if (name == b.encoding)
                out = b.bytes.toByteArray();
    }
    out += QByteArray(encoder.encode(text));
    return out;
}

bool fitsEncoding(const QString &text, const QByteArray &encoding) {
    QByteArray name = encoding.isEmpty() ? QByteArray("UTF-8") : canonicalCharset(encoding);
    if (name.isEmpty() || name.startsWith("UTF-"))
        return true; // an unknown name is written as UTF-8
    // What comes back decoded is what was kept: a replaced character shows as a difference.
    return decodeAs(encode(text, name, false), name) == text;
}

QByteArray charsetFromContentType(const QByteArray &contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype k = 1; k < parts.size(); ++k) {
        const QByteArray part = parts[k].trimmed();
        const qsizetype eq = part.indexOf('=');
        if (eq < 0 || part.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2).trimmed();
        return value;
    }
    return QByteArray();
}

QByteArray charsetFromHtml(const QByteArray &head) {
    // HTML's prescan looks at the first 1024 bytes; old Chinese pages often carry long keyword metas before
    // their charset, so a few kilobytes are read.
    const QByteArray s = head.left(8192);
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        if (s[i] != '<') {
            ++i;
            continue;
        }
        if (s.mid(i, 4) == "<!--") {
            const qsizetype end = s.indexOf("-->", i + 2);
            if (end < 0)
                return QByteArray();
            i = end + 3;
            continue;
        }
        const bool isMeta =
            s.mid(i + 1, 4).toLower() == "meta" && i + 5 < n && (isSpace(s[i + 5]) || s[i + 5] == '/');
        if (isMeta) {
            i += 5;
            QByteArray name, value, charset, content;
            bool httpEquivContentType = false;
            while (nextAttribute(s, i, name, value)) {
                if (name == "charset" && charset.isEmpty())
                    charset = value.trimmed();
                else if (name == "content" && content.isEmpty())
                    content = value;
                else if (name == "http-equiv" && value.trimmed().toLower() == "content-type")
                    httpEquivContentType = true;
            }
            QByteArray found = charset;
            if (found.isEmpty() && httpEquivContentType)
                found = charsetFromMetaContent(content);
            if (!found.isEmpty()) {
                const QByteArray encoding = encodingForLabel(found);
                // A page whose <meta> could be read as ASCII is not UTF-16, whatever it says.
                if (isUtf16(encoding))
                    return QByteArray("UTF-8");
                if (encoding == kUserDefined)
                    return QByteArray("windows-1252");
                if (!encoding.isEmpty())
                    return found;
            }
            continue;
        }
        const bool isTag =
            i + 1 < n &&
            (std::isalpha(static_cast<unsigned char>(s[i + 1])) ||
             (s[i + 1] == '/' && i + 2 < n && std::isalpha(static_cast<unsigned char>(s[i + 2]))));
        if (isTag) {
            // Skip the tag with its attributes, so a ">" inside a quoted value does not end it.
            i += 2;
            while (i < n && !isSpace(s[i]) && s[i] != '>')
                ++i;
            QByteArray name, value;
            while (nextAttribute(s, i, name, value)) {
            }
            ++i;
            continue;
        }
        if (i + 1 < n && (s[i + 1] == '!' || s[i + 1] == '/' || s[i + 1] == '?')) {
            const qsizetype end = s.indexOf('>', i + 1);
            if (end < 0)
                return QByteArray();
            i = end + 1;
            continue;
        }
        ++i;
    }
    return QByteArray();
}

static bool readBoundedChecked(QIODevice &device, qint64 maxBytes, QByteArray &bytes, const CancelToken *token);

bool readBounded(QIODevice &device, qint64 maxBytes, QByteArray &bytes) {
    return readBoundedChecked(device, maxBytes, bytes, nullptr);
}

// As readBounded(); a cancelled token ends the read between chunks (the bytes so far stay, incomplete).
static bool readBoundedChecked(QIODevice &device, qint64 maxBytes, QByteArray &bytes, const CancelToken *token) {
    constexpr qint64 kChunk = qint64(1) << 20;
    bytes.clear();
    while (bytes.size() <= maxBytes) {
        if (token && token->isCancelled())
            return false;
        const qint64 want = qMin(kChunk, maxBytes + 1 - bytes.size());
        const qsizetype before = bytes.size();
        bytes.resize(before + qsizetype(want));
        const qint64 got = device.read(bytes.data() + before, want);
        bytes.resize(before + qsizetype(qMax<qint64>(got, 0)));
        if (got <= 0 && !device.waitForReadyRead(-1))
            break; // end of data (a file, or a pipe whose writer closed it) or an error
    }
    if (bytes.size() > maxBytes) {
        bytes.truncate(qsizetype(maxBytes));
        return false;
    }
    return true;
}

static FileBytes readFileBytesChecked(const QString &path, const CancelToken *token, bool streams = false);

FileBytes readFileBytes(const QString &path) {
    return readFileBytesChecked(path, nullptr);
}

FileBytes readFileBytes(const QString &path, const CancelToken &token) {
    return readFileBytesChecked(path, &token);
}

// `streams`: pipes and devices are read too (to their end, within the cap); only a folder is refused.
static FileBytes readFileBytesChecked(const QString &path, const CancelToken *token, bool streams) {
    FileBytes out;
    auto fail = [&](const QString &what, const QString &detail = QString()) {
        out.reason = detail.isEmpty() ? what : what + QStringLiteral("（") + detail + QStringLiteral("）");
        out.error = fileError(what, path, detail);
        return out;
    };
    if (path.isEmpty()) {
        out.reason = out.error = QStringLiteral("没有指定文件");
        return out;
    }
    const QFileInfo info(path);
    if (!info.exists() && info.isSymLink())
        return fail(QStringLiteral("链接指向的文件不存在，或链接绕成了环"));
    if (!info.exists())
        return fail(QStringLiteral("文件不存在"));
    if (info.isDir())
        return fail(QStringLiteral("这是文件夹，不是文件"));
    if (!info.isFile() && !streams)
        return fail(QStringLiteral("不是普通文件，无法读取"));
    const QString tooLarge = QStringLiteral("文件太大，无法读取");
    const QString limit = QStringLiteral("超过 256 MiB");
    if (info.size() > kMaxFileBytes)
        return fail(tooLarge, limit);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法读取文件"), file.errorString());
    // The size was only what the file claimed (files under /proc claim 0): the read has its own cap.
    const bool complete = readBoundedChecked(file, kMaxFileBytes, out.bytes, token);
    if (token && token->isCancelled())
        return fail(QStringLiteral("已取消"));
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("读取文件时出错"), file.errorString());
    if (!complete)
        return fail(tooLarge, limit);
    out.ok = true;
    return out;
}

static FileText readFileChecked(const QString &path, const CancelToken *token, bool streams = false) {
    FileBytes file = readFileBytesChecked(path, token, streams);
    FileText out;
    out.error = std::move(file.error);
    out.reason = std::move(file.reason);
    if (!file.ok)
        return out;
    if (token && token->isCancelled()) {
        out.reason = out.error = QStringLiteral("已取消");
        return out;
    }
    Decoded decoded = decode(file.bytes);
    out.ok = true;
    out.text = std::move(decoded.text);
    out.encoding = decoded.encoding;
    out.bom = decoded.bom;
    return out;
}

FileText readFile(const QString &path) {
    return readFileChecked(path, nullptr);
}

FileText readFile(const QString &path, const CancelToken &token) {
    return readFileChecked(path, &token);
}

FileText readInputFile(const QString &path) {
    return readFileChecked(path, nullptr, true);
}

FileBytes readInputFileBytes(const QString &path, const CancelToken &token) {
    return readFileBytesChecked(path, &token, true);
}

QString writeFile(const QString &path, const QString &text, const QByteArray &encoding, bool bom) {
    if (path.isEmpty())
        return QStringLiteral("没有指定文件");
    if (QFileInfo(path).isDir())
        return fileError(QStringLiteral("这是文件夹，不能写入"), path);
    if (!fitsEncoding(text, encoding))
        return fileError(
            QStringLiteral("文本中有 %1 编码无法保存的字符，没有写入").arg(QString::fromLatin1(encoding)),
            path);
    const QByteArray bytes = encode(text, encoding, bom);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fileError(QStringLiteral("无法写入文件"), path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fileError(QStringLiteral("写入文件时出错"), path, reason);
    }
    if (!file.commit())
        return fileError(QStringLiteral("无法保存文件"), path, file.errorString());
    return QString();
}

} // namespace TextCodec
