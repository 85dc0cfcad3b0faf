#pragma once
// The text side of finding addresses, apart from the syntax tree: string escapes, placeholders, and the
// judgement whether a literal is an address at all.

#include "decompose/Endpoint.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace Decompose {

// A piece of an address: literal text, or an expression shown as a placeholder.
struct AddressPiece {
    QString text; // the decoded text, or the placeholder with its braces
    bool placeholder = false;
};

struct WrittenAddress {
    QString text;
    QList<Span> placeholders;
};

WrittenAddress writeAddress(const QList<AddressPiece> &pieces);

// "{" + `expression` without blanks, cut at 40 characters (never inside a surrogate pair), + "}".
QString placeholderOf(QStringView expression);

// The value of a JavaScript string's text between its quotes (or a template's literal part).
QString decodeJsString(QStringView inner);

// GET, POST, PUT, DELETE, PATCH, HEAD, OPTIONS in any case.
bool isHttpMethod(QStringView text);

// Whether the pieces of a string literal (or of a concatenation of literals and expressions) read as an
// address: absolute (http(s)://, ws(s)://, //host/...) or a path (/a/b, ./x, ../x, a/b/c, a/b.json, a/b?x=).
// Not: MIME types, dates and number formats, single words or characters, prose, regular expressions,
// markup or style text.
bool isAddressLiteral(const QList<AddressPiece> &pieces);

} // namespace Decompose
