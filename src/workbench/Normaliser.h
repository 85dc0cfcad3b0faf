#pragma once
// The code normaliser behind "规范化": lays script text out so that every statement, brace and block
// comment ends its own line and runs of blanks shrink to one, without changing what the script means
// (see CodeLayout.h for what it keeps).

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

struct NormaliseOptions {
    bool indent = false; // two spaces per level of code brackets on each line written
};

// A script block of a larger text: [start, end), in the units of that text.
struct CodeRange {
    qsizetype start = 0;
    qsizetype end = 0;
    bool operator==(const CodeRange &) const = default;
};

// Returns the normalised text; never fails, has no side effects.
QString NormaliseCodeText(const QString &text);
QString NormaliseCodeText(const QString &text, const NormaliseOptions &options);

// The same on UTF-8: every character it acts on is ASCII, so the bytes of other characters pass through
// untouched and UTF-8 in gives the UTF-8 of NormaliseCodeText out.
QByteArray NormaliseCodeUtf8(QByteArrayView text, const NormaliseOptions &options = {});

// Normalises each of `blocks` (ascending, not overlapping) on its own and leaves everything between them,
// such as the header lines of a combined text, as it is. `moved`, when given, receives where each block
// stands in the result.
QString NormaliseCodeBlocks(const QString &text, const QList<CodeRange> &blocks, const NormaliseOptions &options,
                            QList<CodeRange> *moved = nullptr);
QByteArray NormaliseCodeBlocksUtf8(QByteArrayView text, const QList<CodeRange> &blocks,
                                   const NormaliseOptions &options, QList<CodeRange> *moved = nullptr);
