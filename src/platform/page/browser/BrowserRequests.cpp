#include "platform/page/browser/BrowserRequests.h"

#include "platform/net/RequestDefaults.h"

#include <QMutexLocker>

void BrowserRequests::interceptRequest(QWebEngineUrlRequestInfo &info) {
    for (const auto &[name, value] : requestDefaults().headers)
        info.setHttpHeader(name, value);
    if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeScript)
        return;
    const QString address = info.requestUrl().toString(QUrl::FullyEncoded);
    QMutexLocker lock(&m_mutex);
    if (!m_scripts.contains(address))
        m_scripts.append(address);
}

QStringList BrowserRequests::scripts() const {
    QMutexLocker lock(&m_mutex);
    return m_scripts;
}
