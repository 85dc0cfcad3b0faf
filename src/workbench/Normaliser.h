#pragma once
// The code normaliser behind "规范化": a fixed, purely textual rewrite that puts every statement, brace and
// block comment on its own line and shrinks runs of blanks to one. It knows nothing of the script grammar.

#include <QString>

// Returns the normalised text; never fails, has no side effects.
QString NormaliseCodeText(const QString &text);
