#pragma once
// A source map of about 50 MB with sourcesContent for 5,000 files, shaped like a large web application's
// (webpack:// names, 40,000 generated lines of 60 segments). Built once per process.

#include <QByteArray>

#include <algorithm>
#include <random>

namespace BigSourceMap {

constexpr int Files = 5000;
constexpr int ContentBytes = 5600; // per file, before JSON escaping
constexpr int BundleLines = 40000; // generated lines
constexpr int SegmentsPerLine = 60;

inline void appendVlq(QByteArray &out, int value) {
    static const char *alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    unsigned v = value < 0 ? (unsigned(-value) << 1) | 1 : unsigned(value) << 1;
    do {
        unsigned digit = v & 31;
        v >>= 5;
        if (v)
            digit |= 32;
        out.append(alphabet[digit]);
    } while (v);
}

// One original file: TypeScript-like text with quotes, backslashes, tabs and some Chinese, JSON-escaped.
inline QByteArray escapedContent(int file) {
    QByteArray text;
    for (int line = 0; text.size() < ContentBytes; ++line)
        text += "\texport function handler" + QByteArray::number(file) + "_" + QByteArray::number(line) +
                "(event: Event): string {\n\t\treturn \"按钮\" + event.type.replace(/\\s+/g, '-');\n\t}\n";
    QByteArray out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

inline const QByteArray &bigMap() {
    static const QByteArray map = [] {
        QByteArray m = "{\"version\":3,\"file\":\"app.js\",\"sources\":[";
        for (int i = 0; i < Files; ++i)
            m += (i ? ",\"" : "\"") + QByteArray("webpack://app/./src/module") + QByteArray::number(i / 100) +
                 "/file" + QByteArray::number(i) + ".ts\"";
        m += "],\"names\":[";
        for (int i = 0; i < 2000; ++i)
            m += (i ? ",\"name" : "\"name") + QByteArray::number(i) + '"';
        m += "],\"mappings\":\"";
        std::mt19937 random(7);
        int source = 0, line = 0, column = 0, name = 0;
        for (int l = 0; l < BundleLines; ++l) {
            if (l)
                m += ';';
            int genColumn = 0;
            for (int s = 0; s < SegmentsPerLine; ++s) {
                if (s)
                    m += ',';
                const int step = 2 + int(random() % 40);
                appendVlq(m, step);
                genColumn += step;
                const int nextSource = std::min(Files - 1, l * Files / BundleLines);
                appendVlq(m, nextSource - source);
                source = nextSource;
                const int nextLine = int(random() % 200);
                appendVlq(m, nextLine - line);
                line = nextLine;
                const int nextColumn = int(random() % 80);
                appendVlq(m, nextColumn - column);
                column = nextColumn;
                if (s % 3 == 0) {
                    const int nextName = int(random() % 2000);
                    appendVlq(m, nextName - name);
                    name = nextName;
                }
            }
        }
        m += "\",\"sourcesContent\":[";
        for (int i = 0; i < Files; ++i)
            m += (i ? ",\"" : "\"") + escapedContent(i) + '"';
        m += "]}";
        return m;
    }();
    return map;
}

} // namespace BigSourceMap
