#pragma once
// Turns a fuzzer's bytes into the texts a routine takes. A leading selector byte says how the texts are
// read: as UTF-8 (what pages and files mostly give) or as raw UTF-16 code units, lone surrogates
// included, so the routines meet every QString, not only the well-formed ones.

#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

class FuzzText {
public:
    FuzzText(const uint8_t *data, size_t size) : m_provider(data, size) {
        m_rawUtf16 = m_provider.ConsumeBool();
    }

    // The next text; the last one takes whatever is left.
    QString next() { return toText(m_provider.ConsumeRandomLengthString()); }
    QString rest() { return toText(m_provider.ConsumeRemainingBytesAsString()); }
    bool flag() { return m_provider.ConsumeBool(); }

private:
    QString toText(const std::string &bytes) const {
        if (!m_rawUtf16)
            return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
        return QString(reinterpret_cast<const QChar *>(bytes.data()), qsizetype(bytes.size() / 2));
    }

    FuzzedDataProvider m_provider;
    bool m_rawUtf16 = false;
};

// A failed property stops the fuzzer with a crash report that names it.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                   \
            abort();                                                                                         \
        }                                                                                                    \
    } while (false)
