#pragma once
// What every HTTP request of the process carries besides its address: set once by the command line
// (--header, --user-agent, --timeout, --insecure) before any request starts; the program sets nothing.

#include <QByteArray>
#include <QList>
#include <QPair>

struct RequestDefaults {
    QList<QPair<QByteArray, QByteArray>> headers; // sent as given, after the user agent
    QByteArray userAgent;                         // empty: the network layer's own
    int deadlineMs = 0;                           // overall deadline of each transfer; 0: the program default
    bool insecure = false;                        // accept any certificate
};

void setRequestDefaults(const RequestDefaults &defaults);
const RequestDefaults &requestDefaults();
