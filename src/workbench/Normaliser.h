#pragma once
// The code normaliser behind "规范化": a fixed, purely textual rewrite that puts every statement, brace and
// block comment on its own line and shrinks runs of blanks to one. It knows nothing of the script grammar.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Returns the normalised text; never fails, has no side effects.
QString NormaliseCodeText(const QString &text);

// The same rewrite on UTF-8: every character it looks at is ASCII, so the bytes of other characters pass
// through untouched and UTF-8 in gives the UTF-8 of NormaliseCodeText out.
QByteArray NormaliseCodeUtf8(QByteArrayView text);
