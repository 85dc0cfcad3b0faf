#pragma once
// What a window's load says on the status line while it runs and when it is stopped, and the sentence a
// page that failed leaves in the failure list.

#include <QString>

namespace LoadTexts {

// "正在取得脚本 <obtained>/<total>…": how far the collection of a page's scripts is.
QString Progress(int obtained, int total);
// "正在载入网页，已发现脚本 <seen> 个…": a page still loading in an engine that runs it.
QString PageLoading(int seen);
inline const QString Stopped = QStringLiteral("载入已停止。");
// The reason given for a script that a stopped load did not obtain.
inline const QString NotObtained = QStringLiteral("载入已停止，未取得");

// Why a page's load failed, naming its address: the wait ran out ("网页在15秒内未载入完成：<address>"), the
// engine stopped a page that took too much memory, or the page could not be had for `reason`
// ("网页未能打开：<address>（<reason>）").
QString PageNotLoadedInTime(const QString &address);
QString PageTooLarge(const QString &address);
QString PageNotOpened(const QString &address, const QString &reason);

} // namespace LoadTexts
