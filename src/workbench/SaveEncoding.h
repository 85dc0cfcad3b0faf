#pragma once
// The encoding a text is written in when it goes back over the file it came from.

#include <QByteArray>

// The encoding the file was read with, except that GBK and its subsets (GB2312, code page 936) are
// written as GB18030, their superset, so no character of the pane is lost. Empty stays empty (the host
// code page).
QByteArray EncodingForRewrite(const QByteArray &readEncoding);
