#pragma once
// The reasons a transfer, a page load or a file read gives for failing, as the lists and messages show
// them. Kept together so that both page engines, the HTTP layer and the file reads say the same thing in
// the same words.

#include <QString>

namespace FailureTexts {

// Any work given up because it was cancelled.
inline const QString Cancelled = QStringLiteral("已取消");

// Transfers.
QString HttpStatus(int status);                     // "HTTP 404": the server answered with an error status
QString NoDataWithin(int timeoutMs);                // "超时（30 秒内没有收到数据）"
QString NotDoneWithin(int deadlineMs);              // "超时（60 秒内未完成）"
QString TooLarge(qint64 maxBytes);                  // "内容太大（超过 64 MiB）"
QString Certificate(const QString &problem);        // "证书错误：<what the certificate check said>"
QString TooManyRedirects(int max);                  // "重定向次数过多（超过 10 次）"
QString RedirectUnsupported(const QString &to);     // "重定向到不支持的地址：<address>"
QString UnsupportedAddress(const QString &address); // "不支持的地址：<address>"
inline const QString UnsupportedAddressBare = QStringLiteral("不支持的地址");
inline const QString ConnectionRefused = QStringLiteral("连接被拒绝");
inline const QString ServerNotFound = QStringLiteral("找不到服务器");
inline const QString ConnectionClosed = QStringLiteral("服务器关闭了连接");
inline const QString SslHandshake = QStringLiteral("安全连接（SSL）握手失败");
inline const QString UnsupportedProtocol = QStringLiteral("不支持的协议");
inline const QString ConnectionTimedOut = QStringLiteral("连接超时");
inline const QString FileNotFoundByEngine = QStringLiteral("找不到文件");
inline const QString RendererEnded = QStringLiteral("浏览器内核的网页进程意外结束");
QString NetworkError(const QString &detail); // "网络错误：<detail>"

// Scripts fetched for a page.
inline const QString NotDownloaded = QStringLiteral("不是 http:// 或 https:// 地址，没有下载");
QString HttpStatusOfScript(int status); // "HTTP 状态 404"
inline const QString FileUnreadable = QStringLiteral("文件无法读取");

// File reads and writes.
inline const QString NoFileNamed = QStringLiteral("没有指定文件");
inline const QString BrokenLink = QStringLiteral("链接指向的文件不存在，或链接绕成了环");
inline const QString FileMissing = QStringLiteral("文件不存在");
inline const QString IsFolder = QStringLiteral("这是文件夹，不是文件");
inline const QString NotRegularFile = QStringLiteral("不是普通文件，无法读取");
inline const QString FileTooLarge = QStringLiteral("文件太大，无法读取");
inline const QString FileSizeLimit = QStringLiteral("超过 256 MiB");
inline const QString CannotOpenForRead = QStringLiteral("无法读取文件");
inline const QString ReadFailed = QStringLiteral("读取文件时出错");
inline const QString FolderNotWritable = QStringLiteral("这是文件夹，不能写入");
QString DoesNotFitEncoding(const QByteArray &encoding); // "文本中有 GBK 编码无法保存的字符，没有写入"
inline const QString CannotOpenForWrite = QStringLiteral("无法写入文件");
inline const QString WriteFailed = QStringLiteral("写入文件时出错");
inline const QString CommitFailed = QStringLiteral("无法保存文件");
// "<what>：<path>", with "（<detail>）" after it when there is a detail.
QString AboutFile(const QString &what, const QString &path, const QString &detail = QString());

} // namespace FailureTexts
