// The charset a server or a page declares: the Content-Type parameter and HTML's <meta> prescan.
#include "platform/text/TextCodec.h"

#include <QList>

#include <cctype>

namespace TextCodec {

namespace {

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

} // namespace

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
                if (encoding.startsWith("UTF-16"))
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

} // namespace TextCodec
