#pragma once
// "规范化" and find next on a text pane, apart from the buttons that run them.

#include <QString>

class TextPane;

// Runs the pane's whole text through NormaliseCodeText (on its UTF-8, NormaliseCodeUtf8) and sets the result back once. On a failure
// (memory) the pane keeps its text and the result is false.
bool NormalisePane(TextPane *pane);

// Find next in the pane: leaves a bare caret at the selection's start, then selects the next match of
// `needle` (see FindNext) and returns its start, or returns -1 and keeps the bare caret. An empty needle
// touches nothing.
int FindNextInPane(TextPane *pane, const QString &needle);
