#include "util/Shell.h"

#include <QDesktopServices>

namespace {
std::function<bool(const QUrl &)> &opener() {
    static std::function<bool(const QUrl &)> f;
    return f;
}
} // namespace

namespace Shell {

bool openUrl(const QString &address) {
    // Tolerant parsing keeps mail texts with spaces and Chinese characters as they are.
    const QUrl url(address, QUrl::TolerantMode);
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

void setUrlOpener(std::function<bool(const QUrl &)> f) { opener() = std::move(f); }

} // namespace Shell
