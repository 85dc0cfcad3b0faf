#pragma once
// The text pane of the analysis window (RtbOld, RtbNew, RtbDown, RtbTmp): a QScintilla editor with
// JavaScript highlighting and line numbers. Positions and lengths are 0-based UTF-16 offsets, as QString
// counts them, whatever the editor uses inside.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QWidget>

class QsciScintilla;

class TextPane : public QWidget {
    Q_OBJECT
public:
    explicit TextPane(QWidget *parent = nullptr);
    ~TextPane() override;

    QString text() const;
    void setText(const QString &text);
    // The same whole text as the editor holds it, UTF-8, with no conversion: for bulk work on very long
    // texts. The view stays valid until the text next changes.
    QByteArrayView utf8View() const;
    QByteArray utf8Text() const;
    // Replaces the whole text like setText, from UTF-8 (what utf8View gives, or a rewrite of it that keeps
    // multi-byte sequences whole). Bytes that are not valid UTF-8 go in as QString::fromUtf8 reads them.
    void setUtf8Text(QByteArrayView bytes);
    // Edited by the user since the program last replaced or appended to the text, or marked it unmodified;
    // an edit undone back to that point counts as none.
    bool isModified() const;
    void setUnmodified();
    // Appends at the end; the caret ends up at the end of the text.
    void append(const QString &text);
    int length() const; // in UTF-16 code units
    int lineCount() const; // a text ending in a line break has an empty last line
    // Makes room for a text of about `bytes` bytes (UTF-8), so a large text that arrives later goes in
    // without the editor growing its buffers on the way. Only a hint: the text stays as it is.
    void reserve(qsizetype bytes);

    int selectionStart() const; // also the caret
    int selectionLength() const;
    void setSelection(int start, int length); // clamped to the text
    void replaceSelection(const QString &text);

    double fontPointSize() const;
    void setFontPointSize(double points);

    // Lines wrap at the pane's width when on; otherwise the pane scrolls sideways.
    void setWordWrap(bool on);
    bool wordWrap() const;
    // Line pitch in twips: lines are this far apart, never closer than single spacing.
    void setLinePitchTwips(int twips);
    int linePitchTwips() const; // 0 = single spacing

    // Blocks of the text: each starts at one of `lines` (0-based, ascending) and runs to the line before the
    // next. With `headed`, the first line of each block is its header: it gets a look of its own over the
    // syntax colours, and the block can be folded there. The marks move with edits; replacing the whole
    // text drops them.
    void setBlocks(const QList<int> &lines, bool headed);
    QList<int> blockLines() const; // where the blocks start now
    bool blocksHeaded() const;     // as the last setBlocks said
    bool isLineVisible(int line) const; // false inside a folded block
    void foldBlock(int line, bool folded); // the block whose header is `line`
    int firstVisibleLine() const;
    // Shows `line` at the top of the pane, unfolding its block if needed; the caret stays where it is.
    void scrollToLine(int line);

    // Loads a whole file as plain text (decoded); returns an empty text on success, otherwise the reason.
    QString loadFile(const QString &path);
    // Saves the whole text as plain text through a safe write; returns an empty text or the reason.
    QString saveFile(const QString &path, const QByteArray &encoding = QByteArray());

    QsciScintilla *editor() const;

    // The panes' font: "宋体" 10.5 pt, or SimSun, or the fixed-width Noto Sans Mono CJK SC when neither is
    // installed.
    // Other controls that share the panes' look (the function list, its text box) use it too.
    static QFont defaultFont();

signals:
    void textChanged();

private:
    class Private;
    Private *d;
};
