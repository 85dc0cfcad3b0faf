#pragma once
// What an analysis window knows about its source, apart from its widgets, and the one place it is kept:
// the kind, the path or address and the name it was opened with, the encoding and byte-order mark the
// script file was read with, the header "保存" leaves out, and where the collection put each script in
// the combined text. The opener sets the kind, path and name; the load sets the rest. The window, its
// tools (through SourceFacts), the save and the close question read it from here.
//
// Block positions are not stored offsets that edits would leave behind: they are read from the text as
// it stands. While the collection's header lines are in the text, a block starts at each header line
// (findScriptBlocks), so typing, normalising or deleting keeps them right. After "重新打开" the text is the
// file's own text, without headers: one block from start to end.

#include "analysis/ScriptBlocks.h"
#include "platform/text/TextCodec.h"
#include "util/SourceKind.h"
#include "workbench/SourceFacts.h"

#include <QList>
#include <QString>

#include <optional>

class SourceDocument {
public:
    SourceKind kind = SourceKind::None; // 处理单个文件
    QString path;                       // 文件路径
    QString name;                       // 文件名, for the caption

    // The encoding of the script file as read at load or at the last reload; none for pages and for a
    // file that could not be read.
    std::optional<TextCodec::Encoding> encoding;
    // The blocks as the collection wrote them (offsets in the combined text at the end of the load).
    QList<ScriptBlock> collectedBlocks;
    // True after "重新打开": the text is the file's own, one block.
    bool wholeFile = false;
    // For a script file, the header line the collection writes above it, until "重新打开".
    QString saveHeader;

    // A new load of `kind` and `path`: everything else is forgotten.
    void beginLoad(SourceKind newKind, const QString &newPath, const QString &newName = QString());
    // The collection has ended: its blocks and, for a script file, the encoding its body was read with.
    void collected(const QList<ScriptBlock> &blocks, const TextCodec::Encoding &firstEncoding);
    // "重新打开" has put the file's text, read as `readAs`, into the pane; none when it could not be
    // read (the pane is empty then).
    void reloaded(const std::optional<TextCodec::Encoding> &readAs);

    // What the editing tools need.
    SourceFacts facts() const { return {path, encoding, saveHeader}; }

    // The blocks of `text`, the pane's text as it stands now.
    QList<ScriptBlock> blocksOf(QStringView text) const;
};
