#include "platform/SettingsStore.h"

#include "util/AppInfo.h"

#include <QSettings>

#include <limits>

namespace SettingsStore {

// Organisation = the title and no application part: one file named after the program.
QString value(const QString &key, const QString &defaultValue) {
    QSettings store(QSettings::UserScope, AppInfo::Title);
    store.beginGroup(AppInfo::SettingsGroup);
    return store.value(key, defaultValue).toString();
}

bool setValue(const QString &key, const QString &text) {
    QSettings store(QSettings::UserScope, AppInfo::Title);
    store.beginGroup(AppInfo::SettingsGroup);
    store.setValue(key, text);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

short ParseHideNumbering(const QString &stored) {
    bool ok = false;
    const int number = stored.trimmed().toInt(&ok, 10);
    if (!ok || number < std::numeric_limits<short>::min() || number > std::numeric_limits<short>::max())
        return 0;
    return static_cast<short>(number);
}

short LoadHideNumbering() {
    return ParseHideNumbering(value(AppInfo::HideNumberingKey, QStringLiteral("0")));
}

bool SaveHideNumbering(short value) {
    return setValue(AppInfo::HideNumberingKey, QString::number(value));
}

bool ParseUseBrowserEngine(const QString &stored) {
    return stored.trimmed() != QLatin1String("0");
}

bool LoadUseBrowserEngine() {
    return ParseUseBrowserEngine(value(AppInfo::UseBrowserEngineKey, QStringLiteral("1")));
}

bool SaveUseBrowserEngine(bool on) {
    return setValue(AppInfo::UseBrowserEngineKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool LoadNormaliseIndent() {
    return value(AppInfo::NormaliseIndentKey, QStringLiteral("0")).trimmed() == QLatin1String("1");
}

bool SaveNormaliseIndent(bool on) {
    return setValue(AppInfo::NormaliseIndentKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace SettingsStore
