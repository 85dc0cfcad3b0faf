#pragma once
// The browser page engine (Qt WebEngine): the page's scripts run, silently, in an off-the-record
// profile made fresh for every page, and the document handed over is the live one.
//
// A load ends (documentComplete) when the main frame has finished and no new script element has
// appeared for `settleMs`; or, at the latest, `limitMs` after navigate(): then the navigation is stopped
// and the page read as it is. A page that does not answer the last read-out within `readGraceMs` (an
// endless loop) keeps what earlier read-outs gave, and the scripts the engine had requested. A page ended
// by the limit, or by its memory (`memoryLimitBytes`), says so in its document's `cut`. Connections left
// open do not hold the load. The run's user agent, headers and certificate choice (RequestDefaults) apply
// to the engine's own requests.
// about:blank needs no browser and is there at once, like the static engine's.
//
// Needs a QGuiApplication; look at BrowserStartCheck::problemHere() before creating one.

#include "platform/page/PageEngine.h"

struct BrowserTiming {
    int settleMs = 300;
    int limitMs = 14000; // inside the loader's 15-second wait, with room for the last read-out
    int readGraceMs = 700;
    int pollMs = 50;
    // The page's renderer and the network service together; a page past it is ended. Below 1 GB by
    // what a page can allocate between two looks.
    qint64 memoryLimitBytes = qint64(900) << 20;
    int memoryPollMs = 50;
};

// The address a cookie the engine received belongs to, so that the program's jar files it under its
// domain (a domain cookie's leading dot is not part of any host).
class QNetworkCookie;
class QUrl;
QUrl browserCookieOrigin(const QNetworkCookie &cookie);

PageEngine *createBrowserPageEngine(QObject *parent = nullptr, const BrowserTiming &timing = {});
