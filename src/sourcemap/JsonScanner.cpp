#include "sourcemap/JsonScanner.h"

#include <cstring>

namespace {

constexpr int MaxDepth = 64;

bool isBlank(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendUtf8(QByteArray &out, char32_t cp) {
    if (cp < 0x80) {
        out.append(char(cp));
    } else if (cp < 0x800) {
        out.append(char(0xC0 | (cp >> 6)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.append(char(0xE0 | (cp >> 12)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else {
        out.append(char(0xF0 | (cp >> 18)));
        out.append(char(0x80 | ((cp >> 12) & 0x3F)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    }
}

} // namespace

bool JsonScanner::fail(const char *what) {
    if (m_error.isEmpty())
        m_error =
            QStringLiteral("JSON 格式错误：%1（第 %2 字节）").arg(QString::fromUtf8(what)).arg(m_p - m_begin);
    m_p = m_end;
    return false;
}

char JsonScanner::peek() {
    while (m_p < m_end && isBlank(*m_p))
        ++m_p;
    return m_p < m_end ? *m_p : 0;
}

bool JsonScanner::takeNull() {
    if (peek() == 'n' && m_end - m_p >= 4 && std::memcmp(m_p, "null", 4) == 0) {
        m_p += 4;
        return true;
    }
    return false;
}

bool JsonScanner::beginObject() {
    if (peek() != '{')
        return fail("此处应为对象");
    ++m_p;
    m_firstItem = true;
    return true;
}

bool JsonScanner::beginArray() {
    if (peek() != '[')
        return fail("此处应为数组");
    ++m_p;
    m_firstItem = true;
    return true;
}

// Consumes the "," between items or the closing bracket; `more` tells which one came.
bool JsonScanner::afterItem(char close, bool &more) {
    const char c = peek();
    more = false;
    if (c == close) {
        ++m_p;
        m_firstItem = false; // the enclosing list, if any, is past its first item
        return true;
    }
    if (m_firstItem) {
        m_firstItem = false;
        more = true;
        return true;
    }
    if (c != ',')
        return fail("缺少逗号或右括号");
    ++m_p;
    more = true;
    return true;
}

bool JsonScanner::nextKey(QByteArray &key) {
    const bool first = m_firstItem;
    bool more = false;
    if (!afterItem('}', more) || !more)
        return false;
    if (!first && peek() == '}')
        return fail("逗号后缺少键");
    if (!readString(key))
        return false;
    if (peek() != ':')
        return fail("键后缺少冒号");
    ++m_p;
    return true;
}

bool JsonScanner::nextElement() {
    const bool first = m_firstItem;
    bool more = false;
    if (!afterItem(']', more) || !more)
        return false;
    if (!first && peek() == ']')
        return fail("逗号后缺少值");
    return true;
}

bool JsonScanner::rawString(const char *&begin, const char *&end) {
    if (peek() != '"')
        return fail("此处应为字符串");
    begin = ++m_p;
    for (;;) {
        const void *hit = std::memchr(m_p, '"', size_t(m_end - m_p));
        if (!hit)
            return fail("字符串没有结束");
        const char *q = static_cast<const char *>(hit);
        // A quote is escaped when an odd number of backslashes stands before it.
        const char *b = q;
        while (b > m_p && b[-1] == '\\')
            --b;
        m_p = q + 1;
        if ((q - b) % 2 == 0) {
            end = q;
            return true;
        }
    }
}

bool JsonScanner::readString(QByteArray &out) {
    const char *b = nullptr;
    const char *e = nullptr;
    if (!rawString(b, e))
        return false;
    out.clear();
    const char *esc = static_cast<const char *>(std::memchr(b, '\\', size_t(e - b)));
    if (!esc) {
        out.append(b, e - b);
        return true;
    }
    out.reserve(e - b);
    while (b < e) {
        esc = static_cast<const char *>(std::memchr(b, '\\', size_t(e - b)));
        const char *stop = esc ? esc : e;
        out.append(b, stop - b);
        if (!esc)
            break;
        b = esc + 1; // b < e: a string cannot end in an unpaired backslash
        const char c = *b++;
        switch (c) {
        case '"':
            out.append('"');
            break;
        case '\\':
            out.append('\\');
            break;
        case '/':
            out.append('/');
            break;
        case 'b':
            out.append('\b');
            break;
        case 'f':
            out.append('\f');
            break;
        case 'n':
            out.append('\n');
            break;
        case 'r':
            out.append('\r');
            break;
        case 't':
            out.append('\t');
            break;
        case 'u': {
            auto hex4 = [&](const char *at) {
                if (e - at < 4)
                    return -1;
                int v = 0;
                for (int i = 0; i < 4; ++i) {
                    const int h = hexValue(at[i]);
                    if (h < 0)
                        return -1;
                    v = v * 16 + h;
                }
                return v;
            };
            const int hi = hex4(b);
            if (hi < 0)
                return fail("\\u 后应为四位十六进制数");
            b += 4;
            char32_t cp = char32_t(hi);
            if (hi >= 0xD800 && hi < 0xDC00 && e - b >= 6 && b[0] == '\\' && b[1] == 'u') {
                const int lo = hex4(b + 2);
                if (lo >= 0xDC00 && lo < 0xE000) {
                    cp = 0x10000 + ((char32_t(hi) - 0xD800) << 10) + (char32_t(lo) - 0xDC00);
                    b += 6;
                }
            }
            if (cp >= 0xD800 && cp < 0xE000)
                cp = 0xFFFD; // a lone surrogate has no UTF-8 form
            appendUtf8(out, cp);
            break;
        }
        default:
            return fail("未知的转义符");
        }
    }
    return true;
}

bool JsonScanner::readInteger(qint64 &out) {
    peek();
    const char *start = m_p;
    bool negative = false;
    if (m_p < m_end && *m_p == '-') {
        negative = true;
        ++m_p;
    }
    qint64 v = 0;
    const char *digits = m_p;
    while (m_p < m_end && *m_p >= '0' && *m_p <= '9') {
        if (v > (qint64(1) << 40))
            return fail("整数太大");
        v = v * 10 + (*m_p++ - '0');
    }
    if (m_p == digits) {
        m_p = start;
        return fail("此处应为整数");
    }
    if (m_p < m_end && (*m_p == '.' || *m_p == 'e' || *m_p == 'E'))
        return fail("此处应为整数");
    out = negative ? -v : v;
    return true;
}

bool JsonScanner::skipValue() {
    return skipValue(0);
}

bool JsonScanner::skipValue(int depth) {
    if (depth > MaxDepth)
        return fail("嵌套太深");
    const char c = peek();
    if (c == '"') {
        const char *b = nullptr;
        const char *e = nullptr;
        return rawString(b, e);
    }
    if (c == '{') {
        beginObject();
        QByteArray key;
        while (nextKey(key))
            if (!skipValue(depth + 1))
                return false;
        return ok();
    }
    if (c == '[') {
        beginArray();
        while (nextElement())
            if (!skipValue(depth + 1))
                return false;
        return ok();
    }
    static const char *const Words[] = {"true", "false", "null"};
    for (const char *w : Words) {
        const size_t n = std::strlen(w);
        if (size_t(m_end - m_p) >= n && std::memcmp(m_p, w, n) == 0) {
            m_p += n;
            return true;
        }
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
        ++m_p;
        while (m_p < m_end && std::strchr("0123456789+-.eE", *m_p))
            ++m_p;
        return true;
    }
    return fail("无法识别的值");
}
