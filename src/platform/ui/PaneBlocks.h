#pragma once
// The blocks of a text pane: an invisible mark on each block's first line and, for headed blocks, a band
// and a text colour of their own on the header line over the syntax colours, with folding there.

#include <QList>

class QsciScintilla;

class PaneBlocks {
public:
    // Defines the marks in `sci`; once, before any other call.
    void attach(QsciScintilla *sci);
    // Blocks start at `lines` (0-based, ascending; lines outside the text are skipped); with `headed`, the
    // first line of each is its header and folds the block. Replaces the blocks there were, unfolded.
    void set(const QList<int> &lines, bool headed);
    QList<int> lines() const; // where the blocks start now (the marks move with edits)

private:
    long send(unsigned int msg, unsigned long w = 0, long l = 0) const;
    void setFoldLevels(const QList<int> &headers);

    QsciScintilla *m_sci = nullptr;
};
