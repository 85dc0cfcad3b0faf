#pragma once
// The table of "网址调用" without widgets: its columns, the text of each cell, the rows as the clipboard
// takes them ("复制") and as a CSV file ("另存为...").

#include "decompose/Endpoint.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace EndpointTable {

enum Column : int { Address, Kind, Method, Function, Script, Line, ColumnCount };

// 网址, 种类, 方法, 函数, 脚本, 行.
QStringList headers();
// What a cell shows: the address as written, the kind's label (fetch, XMLHttpRequest, …, 元素属性,
// 字符串), the method, the function, the script number and the 1-based line.
QString cell(const Decompose::Endpoint &endpoint, int column);

// One line per row, the cells separated by tabs; a tab, CR or LF inside a cell is written \t, \r, \n,
// as the command line writes it, so every row stays one line of a spreadsheet.
QString copyText(const QList<const Decompose::Endpoint *> &rows);

// The header row and the rows, comma-separated, CR LF after each, UTF-8 with a byte-order mark so that
// spreadsheet programs read the Chinese headers. A cell holding a comma, a quote or a line break is
// quoted; a cell a spreadsheet would take for a formula (= + - @ first) starts with an apostrophe.
QByteArray csvBytes(const QList<const Decompose::Endpoint *> &rows);

} // namespace EndpointTable
