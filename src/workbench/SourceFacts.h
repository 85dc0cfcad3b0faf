#pragma once
// What the editing tools need to know of the window's source, handed down by the window's source
// document (the tools never see the analysis folder).

#include "platform/text/TextCodec.h"

#include <QString>

#include <optional>

struct SourceFacts {
    QString path; // the file or address the window was opened with
    // The encoding the script file was read with, when known: "保存" writes it back.
    std::optional<TextCodec::Encoding> encoding;
    // The header line the collection wrote above the script file ("\r\n" included): "保存" leaves it and
    // the collection's final line break out. Empty when the pane holds the file alone.
    QString saveHeader;
};
