#pragma once
// Find next of the "查找" buttons, as a function of the pane's text and caret.

#include <QString>

// Where the next match of `needle` starts (0-based), or -1. The search starts needle-length − 1
// characters after `caret`, so a match at the caret itself is found again only for a one-character
// needle; letter case is ignored. An empty needle finds nothing.
int FindNext(const QString &text, const QString &needle, int caret);

// The message shown when find next runs out of text.
QString FindNotFoundMessage(const QString &needle);
