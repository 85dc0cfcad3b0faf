#pragma once
// A forward-only JSON reader over bytes in memory, for the few shapes a source map has. It copies nothing
// but the strings asked for, so a map of tens of megabytes is read at memory speed; QJsonDocument builds a
// whole tree of UTF-16 strings first, which costs several times more for maps that are mostly sourcesContent.
//
// Every read returns false on malformed input and leaves the reason in error(); after that the scanner
// stays failed.

#include <QByteArray>
#include <QString>

class JsonScanner {
public:
    JsonScanner(const char *begin, const char *end) : m_begin(begin), m_p(begin), m_end(end) {}

    bool ok() const { return m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    // The next non-blank character, or 0 at the end of the input.
    char peek();
    // The literal null is next; it is consumed.
    bool takeNull();

    // Object and array walking: beginObject(), then while (nextKey(key)) { read the value }; the loop ends
    // at the closing brace (ok() tells an error from the end). Arrays alike with nextElement().
    bool beginObject();
    bool nextKey(QByteArray &key);
    bool beginArray();
    bool nextElement();

    // A string's value decoded to UTF-8 (escapes, \u surrogate pairs).
    bool readString(QByteArray &out);
    // A string left in its raw escaped form: [begin, end) between the quotes; nothing is copied.
    bool rawString(const char *&begin, const char *&end);
    bool readInteger(qint64 &out);
    bool skipValue();

    bool fail(const char *what);

private:
    bool skipValue(int depth);
    bool afterItem(char close, bool &more);

    const char *m_begin;
    const char *m_p;
    const char *m_end;
    bool m_firstItem = false;
    QString m_error;
};
