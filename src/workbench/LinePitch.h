#pragma once
// The line pitch of "调整行间距", in twips.

// 22 twips per point of font size plus `extraTwips`, computed on the decimal value of `fontPoints`
// (10.5 is ten and a half, not its nearest binary fraction) and rounded to an integer, halves to even.
int LinePitchTwips(double fontPoints, int extraTwips);
