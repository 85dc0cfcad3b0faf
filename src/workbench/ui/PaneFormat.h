#pragma once
// The two pane helpers of Module1 behind "自动换行" and "调整行间距".

class TextPane;

namespace Module1 {

// Value 1 wraps long lines at the pane's width; any other value (0 clear, 2 grey) turns wrapping off.
void SetWordWrap(TextPane *pane, short value);

// Lines of the whole pane s twips apart, never closer than single spacing, where s = 22 × font size in
// points + `extra` (LinePitchTwips). Leaves the caret at offset 1 with nothing selected.
void SetLineSpacing(TextPane *pane, int extra);

} // namespace Module1
