#include "platform/ui/PaneBlocks.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>

namespace {

using B = QsciScintillaBase;

constexpr int BlockMarker = 1;
constexpr int HeaderBandMarker = 2;
constexpr int HeaderIndicator = 8;
constexpr int FoldMargin = 2;

long colour(const QColor &c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

} // namespace

long PaneBlocks::send(unsigned int msg, unsigned long w, long l) const {
    return m_sci->SendScintilla(msg, w, l);
}

void PaneBlocks::attach(QsciScintilla *sci) {
    m_sci = sci;
    send(B::SCI_MARKERDEFINE, BlockMarker, B::SC_MARK_EMPTY);
    send(B::SCI_MARKERDEFINE, HeaderBandMarker, B::SC_MARK_BACKGROUND);
    send(B::SCI_MARKERSETBACK, HeaderBandMarker, colour(QColor(0xdc, 0xe6, 0xf5)));
    send(B::SCI_INDICSETSTYLE, HeaderIndicator, B::INDIC_TEXTFORE);
    send(B::SCI_INDICSETFORE, HeaderIndicator, colour(QColor(0x12, 0x3c, 0x7c)));
    // The blocks fold where they are told, not at the braces of the script text.
    m_sci->SendScintilla(B::SCI_SETPROPERTY, "fold", "0");
}

void PaneBlocks::set(const QList<int> &lines, bool headed) {
    send(B::SCI_FOLDALL, B::SC_FOLDACTION_EXPAND);
    send(B::SCI_MARKERDELETEALL, BlockMarker);
    send(B::SCI_MARKERDELETEALL, HeaderBandMarker);
    send(B::SCI_SETINDICATORCURRENT, HeaderIndicator);
    send(B::SCI_INDICATORCLEARRANGE, 0, send(B::SCI_GETLENGTH));
    const long count = send(B::SCI_GETLINECOUNT);
    for (int line : lines) {
        if (line < 0 || line >= count)
            continue;
        send(B::SCI_MARKERADD, static_cast<unsigned long>(line), BlockMarker);
        if (!headed)
            continue;
        send(B::SCI_MARKERADD, static_cast<unsigned long>(line), HeaderBandMarker);
        const long start = send(B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long end = send(B::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        send(B::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start), end - start);
    }
    setFoldLevels(headed ? lines : QList<int>());
}

// Header lines open a fold; the lines of their blocks lie one level deeper.
void PaneBlocks::setFoldLevels(const QList<int> &headers) {
    const long count = send(B::SCI_GETLINECOUNT);
    long level = B::SC_FOLDLEVELBASE;
    qsizetype next = 0;
    for (long line = 0; line < count; ++line) {
        while (next < headers.size() && headers[next] < line)
            ++next;
        long lineLevel = level;
        if (next < headers.size() && headers[next] == line) {
            lineLevel = B::SC_FOLDLEVELBASE | B::SC_FOLDLEVELHEADERFLAG;
            level = B::SC_FOLDLEVELBASE + 1;
        }
        send(B::SCI_SETFOLDLEVEL, static_cast<unsigned long>(line), lineLevel);
    }
    // The fold margin shows only when there is something to fold; setFolding asks for notifications
    // of fold changes, which the pane does without (see its constructor).
    const long mask = send(B::SCI_GETMODEVENTMASK);
    m_sci->setFolding(headers.isEmpty() ? QsciScintilla::NoFoldStyle : QsciScintilla::BoxedTreeFoldStyle,
                      FoldMargin);
    send(B::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
}

QList<int> PaneBlocks::lines() const {
    QList<int> lines;
    for (long line = send(B::SCI_MARKERNEXT, 0, 1L << BlockMarker); line >= 0;
         line = send(B::SCI_MARKERNEXT, static_cast<unsigned long>(line + 1), 1L << BlockMarker))
        lines.append(int(line));
    return lines;
}
