#pragma once
// Connection texts of the data-access layer: "key=value;key=value", keys without regard to letter case.
// A value that would not survive the split (a ';', surrounding spaces, a leading quote) is written in
// double quotes with inner quotes doubled, and read back the same way.

#include <QHash>
#include <QString>

namespace DataAccess {

// The keys the layer uses, lower-cased.
inline const QString DataSourceKey = QStringLiteral("data source");
inline const QString PasswordKey = QStringLiteral("jet oledb:database password");

// Key (trimmed, lower-cased) -> value; the last occurrence of a key wins.
QHash<QString, QString> ParseConnectionText(const QString &text);

// `value` as it goes after "key=": unchanged unless it needs quoting.
QString QuoteConnectionValue(const QString &value);

} // namespace DataAccess
