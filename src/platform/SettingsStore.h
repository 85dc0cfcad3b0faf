#pragma once
// The per-user settings store: QSettings under the application title, group "设置".
// The one option of the program, "不显示编号", is stored as the decimal text of its value.

#include <QString>

namespace SettingsStore {

// The stored text of `key`, or `defaultValue` when the key is absent.
QString value(const QString &key, const QString &defaultValue = QString());
// Writes `text` under `key`; false when the store could not be written.
bool setValue(const QString &key, const QString &text);

// A stored text that is not a whole number within 16 bits counts as 0.
short ParseHideNumbering(const QString &stored);
// The option "不显示编号" (0 when absent or unreadable).
short LoadHideNumbering();
// Stores the option as decimal text; false when the store could not be written.
bool SaveHideNumbering(short value);

// The option "使用浏览器内核": only a stored "0" turns it off (absent or unreadable counts as on).
bool ParseUseBrowserEngine(const QString &stored);
bool LoadUseBrowserEngine();
// Stores "1" or "0"; false when the store could not be written.
bool SaveUseBrowserEngine(bool on);

// The option "规范化时按层次缩进": only a stored "1" turns it on.
bool LoadNormaliseIndent();
// Stores "1" or "0"; false when the store could not be written.
bool SaveNormaliseIndent(bool on);

} // namespace SettingsStore
