#pragma once
// Finding the system-information program through the registry. Linux has no registry: the stand-in
// there finds nothing, so the about box reports that system information is not available.

#include <QByteArray>
#include <QString>

#include <functional>

namespace SysInfo {

inline constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr quint32 REG_SZ = 1;
inline constexpr quint32 REG_DWORD = 4;
// Values longer than the reading buffer cannot be read.
inline constexpr int ValueBufferSize = 1024;

// Read access to a registry; one key is open at a time.
class Registry {
public:
    virtual ~Registry() = default;
    virtual bool openKey(quint32 root, const QString &keyName) = 0;
    // The raw bytes and the type of value `name` of the open key; false when it cannot be read.
    virtual bool queryValue(const QString &name, quint32 &type, QByteArray &data) = 0;
    virtual void closeKey() = 0;
};

// The registry of this platform: there is none, every key is missing.
class NoRegistry final : public Registry {
public:
    bool openKey(quint32, const QString &) override { return false; }
    bool queryValue(const QString &, quint32 &, QByteArray &) override { return false; }
    void closeKey() override {}
};

Registry &SystemRegistry();

// The text of a value read into the buffer: a final NUL is cut; a text value is the text, a 32-bit
// value is "&h" and the hexadecimal code of each character from the last to the first. Other types
// leave `keyVal` as it was.
void ValueText(quint32 type, const QByteArray &data, QString &keyVal);

// Reads value `SubKeyRef` of key `KeyName` under `KeyRoot`; on failure `KeyVal` is empty and the result
// false.
bool GetKeyValue(Registry &registry, quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                 QString &KeyVal);

// The path of the system-information program, or an empty text when it cannot be found.
QString ProgramPath(Registry &registry, const std::function<bool(const QString &)> &fileExists);

} // namespace SysInfo
