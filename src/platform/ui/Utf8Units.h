#pragma once
// Counting between the editor's UTF-8 bytes and the UTF-16 code units QString positions are given in.
// Counts run over the bytes when they are asked for, eight bytes at a time.

#include <QString>

// UTF-16 code units in the `n` bytes of UTF-8 at `p`.
long utf16Units(const unsigned char *p, long n);

// How many of the `size` bytes at `p` hold the first `units` UTF-16 code units, at most `size`; a count
// that ends inside a surrogate pair stops at the pair's start. `left` (if given) gets the units that found
// no character (the pair's first half, or what lies past the end).
long bytesOfUnits(const unsigned char *p, long size, long units, long *left = nullptr);

// Bytes of `text` in UTF-8 (a lone surrogate becomes U+FFFD, three bytes).
qsizetype utf8Length(const QString &text);
