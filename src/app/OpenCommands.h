#pragma once
// Texts and rules of the main window's three open commands, apart from the window that runs them.

#include "util/SourceKind.h"

#include <QString>
#include <QStringList>

class QUrl;

namespace OpenCommands {

inline const QStringList ScriptFilters = {QStringLiteral("*.js"), QStringLiteral("*.*")};
inline const QStringList PageFilters = {QStringLiteral("*.htm;*.html;*.sthml;*.shtml;*.asp;*.php;*.jsp"),
                                        QStringLiteral("*.*")};

inline const QString OpeningScriptFile = QStringLiteral("正在打开JS文件...");
inline const QString OpeningPageFile = QStringLiteral("正在打开含JS网页文件...");
inline const QString OpeningPageAddress = QStringLiteral("正在打开网页，分析所有JS文件...");
inline const QString AddressPrompt = QStringLiteral("请输入网址:");
// The status text of opening a source of `kind`.
QString OpeningText(SourceKind kind);

// The clipboard text when it starts with "http://" or "https://" (any letter case), otherwise an empty
// text.
QString ProposedAddress(const QString &clipboard);
// An address typed without a scheme ("www.example.com") completed as a browser's address bar would
// ("http://www.example.com"); addresses with a scheme, paths and names of existing files stay as typed.
QString CompleteTypedAddress(const QString &typed);

// `文件名` of a script file or an address: its last component, with a short extension after a dot
// (at most 5 characters) or without a dot when there is no extension.
QString SourceFileName(const QString &path);

// A source to open: its path or address and its kind; kind None when there is nothing to open.
struct Source {
    QString path;
    SourceKind kind = SourceKind::None;
    bool operator==(const Source &o) const { return path == o.path && kind == o.kind; }
};
// What an item dropped on the main window opens, as the menu commands would: a local ".js" file as a
// script file, a file matching the page file patterns as a page file, an "http://" or "https://" address
// as an online page. Anything else opens nothing.
Source DroppedUrl(const QUrl &url);
// A dropped text opens the address it holds (spaces around it trimmed), when it is one.
Source DroppedText(const QString &text);

} // namespace OpenCommands
