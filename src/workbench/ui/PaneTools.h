#pragma once
// "规范化" and find next on a text pane, apart from the buttons that run them.

#include "workbench/Normaliser.h"

#include <QString>

class TextPane;

// Normalises each script block the pane marks (the whole text when it marks none; header lines stay
// as they are) and sets the result back at once, with the blocks marked where they now start. On a
// failure (memory) the pane keeps its text and the result is false.
bool NormalisePane(TextPane *pane, const NormaliseOptions &options = {});

// Find next in the pane: leaves a bare caret at the selection's start, then selects the next match of
// `needle` (see FindNext) and returns its start, or returns -1 and keeps the bare caret. An empty needle
// touches nothing.
int FindNextInPane(TextPane *pane, const QString &needle);
