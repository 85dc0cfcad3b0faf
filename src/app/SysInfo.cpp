#include "app/SysInfo.h"

namespace SysInfo {

Registry &SystemRegistry() {
    static NoRegistry registry;
    return registry;
}

void ValueText(quint32 type, const QByteArray &data, QString &keyVal) {
    QByteArray value = data;
    if (!value.isEmpty() && value.back() == '\0')
        value.chop(1);
    if (type == REG_SZ) {
        keyVal = QString::fromLocal8Bit(value);
    } else if (type == REG_DWORD) {
        QString digits;
        for (qsizetype i = value.size() - 1; i >= 0; --i)
            digits += QString::number(static_cast<unsigned char>(value.at(i)), 16).toUpper();
        keyVal = QStringLiteral("&h") + digits;
    }
}

bool GetKeyValue(Registry &registry, quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                 QString &KeyVal) {
    if (!registry.openKey(KeyRoot, KeyName)) {
        KeyVal.clear();
        return false;
    }
    quint32 type = 0;
    QByteArray data;
    if (!registry.queryValue(SubKeyRef, type, data) || data.size() > ValueBufferSize) {
        KeyVal.clear();
        registry.closeKey();
        return false;
    }
    ValueText(type, data, KeyVal);
    registry.closeKey();
    return true;
}

QString ProgramPath(Registry &registry, const std::function<bool(const QString &)> &fileExists) {
    QString path;
    if (GetKeyValue(registry, HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path))
        return path;
    QString folder;
    if (GetKeyValue(registry, HKEY_LOCAL_MACHINE,
                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"),
                    folder)) {
        const QString candidate = folder + QStringLiteral("\\MSINFO32.EXE");
        if (fileExists(candidate))
            return candidate;
    }
    return QString();
}

} // namespace SysInfo
