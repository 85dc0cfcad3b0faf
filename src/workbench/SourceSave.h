#pragma once
// What "保存" writes over a script file, so that opening it and saving without an edit changes no byte:
// the script's own text (the collection's header line and its final line break left out), in the
// encoding the file was read with, and never with a character silently replaced.

#include <QByteArray>
#include <QString>

// `paneText` without the parts the collection added: `header` (the header line it wrote, "\r\n"
// included) at the start and the "\r\n" it appended at the end, each left out only while it is still
// there unchanged. An empty `header` (the pane holds the file alone, as after "重新打开") leaves the
// text as it is.
QString ScriptTextForSave(const QString &paneText, const QString &header);

// How a text is written over a file read in `encoding` (empty: the host code page) with or without a
// BOM. When the text holds characters that encoding cannot hold, askUtf8 is set: the user is asked
// (Utf8Question) whether to write UTF-8 instead, and on "否" nothing is written.
struct SavePlan {
    QByteArray encoding;
    bool bom = false;
    bool askUtf8 = false;
};
SavePlan PlanSave(const QString &text, const QByteArray &encoding, bool bom);

// The question for a text that does not fit `encoding`.
QString Utf8Question(const QByteArray &encoding);
