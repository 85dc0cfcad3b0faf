#pragma once
// What an analysis window (or a source of the command line) reads: a script file, a local page file or an
// online page. The numbers are those of the window's 16-bit field "处理单个文件"; None loads nothing.

#include <QtGlobal>

enum class SourceKind : qint16 { None = 0, ScriptFile = 1, PageFile = 2, PageAddress = 3 };

// A page (file or address) is read by a page engine; a script file sits alone on a blank page.
constexpr bool isPage(SourceKind kind) {
    return kind == SourceKind::PageFile || kind == SourceKind::PageAddress;
}
