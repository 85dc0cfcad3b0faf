#include "platform/ui/TextPane.h"

#include "platform/ui/PaneBlocks.h"
#include "platform/ui/Utf8Units.h"

#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qsciscintilla.h>

#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

// The pane's font: the Chinese Song face of the design, whose Latin letters are fixed-width, or else a
// fixed-width CJK face, since code reads badly in proportional letters.
QString paneFontFamily() {
    static const QString family = [] {
        const QStringList wanted = {QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                    QStringLiteral("Noto Sans Mono CJK SC")};
        for (const QString &name : wanted) {
            // Scintilla keeps face names as Latin-1, so a non-Latin name could not reach it intact.
            if (QFontDatabase::hasFamily(name) && name.toLatin1() == name.toUtf8())
                return name;
        }
        for (const QString &name : wanted) {
            if (QFontDatabase::hasFamily(name))
                return name;
        }
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return family;
}

// QScintilla's own accessibility object converts the caret's byte position into a character count from
// the start of the document on every update of the view, which makes scrolling and typing near the end of
// a 20-million-character text crawl. The editor is described to assistive tools as a plain editable text
// widget instead.
QAccessibleInterface *plainEditorAccessible(const QString &className, QObject *object) {
    if (className == QLatin1String("QsciScintillaBase") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::EditableText);
    return nullptr;
}

} // namespace

class TextPane::Private {
public:
    QsciScintilla *sci = nullptr;
    PaneBlocks blocks;
    QsciLexerJavaScript *lexer = nullptr;
    double pointSize = 10.5;
    bool wrap = false;
    int pitchTwips = 0;
    int marginDigits = 0;
    bool headed = false; // the blocks begin with header lines

    long send(unsigned int msg, unsigned long w = 0, long l = 0) const {
        return sci->SendScintilla(msg, w, l);
    }

    long byteLength() const { return send(QsciScintillaBase::SCI_GETLENGTH); }
    long lineCount() const { return send(QsciScintillaBase::SCI_GETLINECOUNT); }
    const unsigned char *range(long start, long length) const {
        return reinterpret_cast<const unsigned char *>(
            send(QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), length));
    }

    // UTF-16 offsets are counted from the bytes when they are asked for: a count of a 20-million-character
    // text takes a few milliseconds, less than the editor's own UTF-16 line index costs to keep during a
    // large insertion or to build after it.
    long unitLength() const {
        const long n = byteLength();
        return utf16Units(range(0, n), n);
    }

    // The byte position `units` UTF-16 code units after the byte position `from`, at most the end of the
    // text; a count that ends inside a surrogate pair falls back to the pair's start. `left` gets the units
    // that found no character (the pair's first half, or what lies past the end).
    long advance(long from, long units, long *left = nullptr) const {
        const long n = byteLength();
        if (left)
            *left = std::max(units, 0L);
        if (units <= 0 || from >= n)
            return std::min(from, n);
        return from + bytesOfUnits(range(from, n - from), n - from, units, left);
    }

    // The editor's byte position to a 0-based UTF-16 offset.
    long unitOffset(long position) const {
        if (position <= 0)
            return 0;
        return utf16Units(range(0, position), position);
    }

    QFont paneFont() const {
        QFont font = TextPane::defaultFont();
        font.setPointSizeF(pointSize);
        return font;
    }

    void applyFont() {
        const QFont font = paneFont();
        lexer->setDefaultFont(font);
        lexer->setFont(font, -1);
        sci->setMarginsFont(font);
        marginDigits = 0;
        updateMargin();
        applyPitch();
    }

    // Line numbers need as many digits as the last line number has.
    void updateMargin() {
        int digits = 1;
        for (long n = lineCount(); n >= 10; n /= 10)
            ++digits;
        if (digits == marginDigits)
            return;
        marginDigits = digits;
        sci->setMarginWidth(0, QString(digits + 1, QLatin1Char('9')));
    }

    void applyPitch() {
        send(QsciScintillaBase::SCI_SETEXTRAASCENT, 0);
        send(QsciScintillaBase::SCI_SETEXTRADESCENT, 0);
        if (pitchTwips <= 0)
            return;
        const long single = send(QsciScintillaBase::SCI_TEXTHEIGHT, 0);
        const long wanted = qRound(pitchTwips * sci->logicalDpiY() / 1440.0);
        const long extra = wanted - single;
        if (extra <= 0)
            return;
        send(QsciScintillaBase::SCI_SETEXTRAASCENT, static_cast<unsigned long>(extra / 2));
        send(QsciScintillaBase::SCI_SETEXTRADESCENT, static_cast<unsigned long>(extra - extra / 2));
    }

    // Program-made insertions at the end of the text. They are not undoable steps (a 20-million-character
    // text would otherwise be held twice), and the text goes in slices, so no second whole copy exists.
    void appendText(const QString &text) {
        if (text.isEmpty())
            return;
        send(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0);
        const qsizetype bytes = utf8Length(text);
        const long current = byteLength();
        if (bytes >= (1 << 20) && bytes >= current / 4)
            send(QsciScintillaBase::SCI_ALLOCATE, static_cast<unsigned long>(current + bytes + (1 << 16)));
        constexpr qsizetype Slice = 1 << 20;
        for (qsizetype pos = 0; pos < text.size();) {
            qsizetype n = std::min(Slice, text.size() - pos);
            if (pos + n < text.size() && text.at(pos + n - 1).isHighSurrogate())
                --n; // keep a surrogate pair together
            const QByteArray slice = QStringView(text).mid(pos, n).toUtf8();
            send(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(slice.size()),
                 reinterpret_cast<long>(slice.constData()));
            pos += n;
        }
        send(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1);
        send(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    }

    // Replaces the whole text with `bytes` (UTF-8) in one insertion, not undoable.
    void replaceAllBytes(const char *bytes, qsizetype size) {
        send(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0);
        send(QsciScintillaBase::SCI_CLEARALL);
        if (size > 0) {
            send(QsciScintillaBase::SCI_ALLOCATE, static_cast<unsigned long>(size + (1 << 16)));
            send(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(size),
                 reinterpret_cast<long>(bytes));
        }
        send(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1);
        send(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    }
};

TextPane::TextPane(QWidget *parent) : QWidget(parent), d(new Private) {
    d->sci = new QsciScintilla(this);
    // After the first editor, which installs QScintilla's factory: the factory installed last is asked first.
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(plainEditorAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->sci);
    setFocusProxy(d->sci);

    d->sci->setUtf8(true);
    d->sci->setEolMode(QsciScintilla::EolWindows);
    d->lexer = new QsciLexerJavaScript(d->sci);
    d->sci->setLexer(d->lexer);
    d->sci->setMarginType(0, QsciScintilla::NumberMargin);
    d->sci->setMarginLineNumbers(0, true);
    d->sci->setMarginWidth(1, 0);
    d->sci->setWrapMode(QsciScintilla::WrapNone);
    d->applyFont();
    d->blocks.attach(d->sci);

    // The editor reports no modifications: QScintilla answers each one by counting characters from the
    // start of the document, which makes a series of appends quadratic and typing near the end of a long
    // text slow. Changes are seen through the view's update notification instead.
    d->send(QsciScintillaBase::SCI_SETMODEVENTMASK, 0);
    connect(d->sci, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & QsciScintillaBase::SC_UPDATE_CONTENT) {
            d->updateMargin();
            emit textChanged();
        }
    });
}

TextPane::~TextPane() {
    delete d;
}

QString TextPane::text() const {
    const long n = d->byteLength();
    if (n == 0)
        return QString();
    const auto *p = reinterpret_cast<const char *>(
        d->sci->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QString::fromUtf8(p, n);
}

void TextPane::setText(const QString &text) {
    // One conversion and one insertion: slices would each cost the editor a round of bookkeeping.
    const QByteArray bytes = text.toUtf8();
    d->replaceAllBytes(bytes.constData(), bytes.size());
    d->send(QsciScintillaBase::SCI_SETEMPTYSELECTION, 0);
    d->updateMargin();
    emit textChanged();
}

QByteArrayView TextPane::utf8View() const {
    const long n = d->byteLength();
    if (n == 0)
        return QByteArrayView();
    return QByteArrayView(reinterpret_cast<const char *>(
                              d->sci->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER)),
                          n);
}

QByteArray TextPane::utf8Text() const {
    return utf8View().toByteArray();
}

void TextPane::setUtf8Text(QByteArrayView bytes) {
    // Bytes that are not UTF-8 would leave the editor's character counts and QString's apart: they go in
    // as QString reads them, with replacement characters.
    if (!bytes.isValidUtf8()) {
        setText(QString::fromUtf8(bytes));
        return;
    }
    // A view of the pane's own text would be freed by the clearing before it is read.
    const QByteArrayView own = utf8View();
    if (!bytes.isEmpty() && !own.isEmpty() && std::less_equal<>()(own.data(), bytes.data()) &&
        std::less<>()(bytes.data(), own.data() + own.size())) {
        const QByteArray copy = bytes.toByteArray();
        d->replaceAllBytes(copy.constData(), copy.size());
    } else {
        d->replaceAllBytes(bytes.data(), bytes.size());
    }
    d->send(QsciScintillaBase::SCI_SETEMPTYSELECTION, 0);
    d->updateMargin();
    emit textChanged();
}

bool TextPane::isModified() const {
    return d->send(QsciScintillaBase::SCI_GETMODIFY) != 0;
}

void TextPane::setUnmodified() {
    d->send(QsciScintillaBase::SCI_SETSAVEPOINT);
}

void TextPane::append(const QString &text) {
    d->appendText(text);
    d->send(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(d->byteLength()));
    d->updateMargin();
    if (!text.isEmpty())
        emit textChanged();
}

void TextPane::reserve(qsizetype bytes) {
    if (bytes > d->byteLength())
        d->send(QsciScintillaBase::SCI_ALLOCATE, static_cast<unsigned long>(bytes));
}

int TextPane::lineCount() const {
    return int(d->lineCount());
}

void TextPane::setBlocks(const QList<int> &lines, bool headed) {
    d->headed = headed;
    d->blocks.set(lines, headed);
}

bool TextPane::blocksHeaded() const {
    return d->headed;
}

QList<int> TextPane::blockLines() const {
    return d->blocks.lines();
}

bool TextPane::isLineVisible(int line) const {
    return d->send(QsciScintillaBase::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)) != 0;
}

void TextPane::foldBlock(int line, bool folded) {
    d->send(QsciScintillaBase::SCI_FOLDLINE, static_cast<unsigned long>(line),
            folded ? QsciScintillaBase::SC_FOLDACTION_CONTRACT : QsciScintillaBase::SC_FOLDACTION_EXPAND);
}

int TextPane::firstVisibleLine() const {
    const long shown = d->send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    return int(d->send(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(shown)));
}

void TextPane::scrollToLine(int line) {
    if (line < 0 || line >= d->lineCount())
        return;
    d->send(QsciScintillaBase::SCI_ENSUREVISIBLE, static_cast<unsigned long>(line));
    const long shown = d->send(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(line));
    d->send(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(shown));
}

int TextPane::length() const {
    return static_cast<int>(d->unitLength());
}

int TextPane::selectionStart() const {
    return static_cast<int>(d->unitOffset(d->send(QsciScintillaBase::SCI_GETSELECTIONSTART)));
}

int TextPane::selectionLength() const {
    const long start = d->send(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long end = d->send(QsciScintillaBase::SCI_GETSELECTIONEND);
    if (end <= start)
        return 0;
    return static_cast<int>(utf16Units(d->range(start, end - start), end - start));
}

void TextPane::setSelection(int start, int length) {
    // Clamped to the text by the walk itself. The end counts from the offset asked for, even when the
    // start fell back to the beginning of a surrogate pair.
    long left = 0;
    const long fromByte = d->advance(0, std::max(start, 0), &left);
    const long toByte = length > 0 ? d->advance(fromByte, length + left) : fromByte;
    d->send(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(fromByte), toByte);
}

void TextPane::replaceSelection(const QString &text) {
    // Through the target, which takes a length, so a text holding NUL characters stays whole.
    const QByteArray bytes = text.toUtf8();
    d->send(QsciScintillaBase::SCI_TARGETFROMSELECTION);
    const long start = d->send(QsciScintillaBase::SCI_GETTARGETSTART);
    d->send(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()),
            reinterpret_cast<long>(bytes.constData()));
    d->send(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(start + bytes.size()));
    d->updateMargin();
}

double TextPane::fontPointSize() const {
    return d->pointSize;
}

void TextPane::setFontPointSize(double points) {
    if (points <= 0)
        return;
    d->pointSize = points;
    d->applyFont();
}

void TextPane::setWordWrap(bool on) {
    d->wrap = on;
    d->sci->setWrapMode(on ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
}

bool TextPane::wordWrap() const {
    return d->wrap;
}

void TextPane::setLinePitchTwips(int twips) {
    d->pitchTwips = std::max(twips, 0);
    d->applyPitch();
}

int TextPane::linePitchTwips() const {
    return d->pitchTwips;
}

QsciScintilla *TextPane::editor() const {
    return d->sci;
}

QFont TextPane::defaultFont() {
    QFont font(paneFontFamily());
    font.setPointSizeF(10.5);
    font.setWeight(QFont::Normal);
    return font;
}
