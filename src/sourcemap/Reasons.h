#pragma once
// The texts the program shows for maps and sources: why one was not obtained, and the count label.

#include <QString>

namespace SourceMaps {

// "源映射未能取得：<address>（<detail>）", e.g. detail "HTTP 404".
QString mapNotObtained(const QString &address, const QString &detail);
// "原始源码未能取得：<name>（没有内容，地址无法下载）".
QString sourceWithoutContent(const QString &name);
// "原始源码未能取得：<name>（<detail>）" for a fetch or read that failed.
QString sourceNotObtained(const QString &name, const QString &detail);
// "已拒绝：<name>（网络上的源映射不能读本机文件）", or for a local referrer "（在本机文件所在文件夹之外）".
QString refused(const QString &name, bool fromNetwork);
// "原始源码：N 个（来自 M 个源映射）".
QString countLabel(int sources, int maps);

} // namespace SourceMaps
