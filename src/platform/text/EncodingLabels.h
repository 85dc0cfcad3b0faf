#pragma once
// The charset labels browsers accept in a Content-Type header or a page's <meta>: the labels of the
// WHATWG Encoding Standard, each mapped to its encoding as that standard maps it (so "gb2312" and
// "gbk" read as GB18030, "iso-8859-1" and "ascii" as windows-1252). Anything else, UTF-7 and UTF-32
// among them, is no label at all. The labels of the standard's "replacement" encoding (ISO-2022-KR,
// ISO-2022-CN, HZ-GB-2312), which would turn a whole page into one U+FFFD, are refused as well, so the
// page is read as if it declared nothing.

#include <QByteArray>
#include <QByteArrayView>

namespace TextCodec {

// The encoding `label` names, as a name QStringDecoder takes (plus "x-user-defined", which decodeAs()
// knows), or empty when browsers do not accept the label. Spaces around the label and letter case do
// not matter.
QByteArray encodingForLabel(QByteArrayView label);

// The encoding name the program reads and writes a file under for a charset label as pages, servers and
// tools write it ("gbk" and "cp936" -> "GB18030", "iso-8859-1" -> "windows-1252", "utf8" -> "UTF-8"); a
// label of no web encoding keeps its codec's own name ("iso-8859-9" -> "ISO-8859-9"). Empty when no codec
// knows the label, and for UTF-7.
QByteArray canonicalCharset(const QByteArray &label);

// The x-user-defined encoding: ASCII as is, bytes 0x80-0xFF as U+F780-U+F7FF.
inline constexpr char kUserDefined[] = "x-user-defined";

} // namespace TextCodec
