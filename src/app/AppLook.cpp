#include "app/AppLook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace AppLook {

bool InstallChineseTranslations(QCoreApplication &app, const QString &folder) {
    const QString where = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // Dates and sizes in the file dialog follow the language of its texts.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), where) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

QIcon AppIcon() {
    return QIcon(QStringLiteral(":/icons/varneljs.svg"));
}

QString DesktopIcon(const QString &programFolder) {
    const QString beside = QDir(programFolder).filePath(IconName + QStringLiteral(".svg"));
    return QFileInfo(beside).isFile() ? beside : IconName;
}

void Apply(QGuiApplication &app) {
    InstallChineseTranslations(app);
    QGuiApplication::setWindowIcon(AppIcon());
}

} // namespace AppLook
