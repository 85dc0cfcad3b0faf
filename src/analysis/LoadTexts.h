#pragma once
// What a window's load says on the status line while it runs and when it is stopped.

#include <QString>

namespace LoadTexts {

// "正在取得脚本 <obtained>/<total>…": how far the collection of a page's scripts is.
QString Progress(int obtained, int total);
// "正在载入网页，已发现脚本 <seen> 个…": a page still loading in an engine that runs it.
QString PageLoading(int seen);
inline const QString Stopped = QStringLiteral("载入已停止。");
// The reason given for a script that a stopped load did not obtain.
inline const QString NotObtained = QStringLiteral("载入已停止，未取得");

} // namespace LoadTexts
