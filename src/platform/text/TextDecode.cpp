// Bytes to text and back: the byte-order mark, a declared charset, UTF-16 and UTF-8 sniffing, uchardet's
// guess, GB18030 as the last resort.
#include "platform/text/TextCodec.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <uchardet/uchardet.h>

#include <memory>

namespace TextCodec {

namespace {

struct Bom {
    QByteArrayView bytes;
    const char *encoding;
};
const Bom kBoms[] = {{"\xEF\xBB\xBF", "UTF-8"}, {"\xFF\xFE", "UTF-16LE"}, {"\xFE\xFF", "UTF-16BE"}};

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

} // namespace

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

} // namespace TextCodec
