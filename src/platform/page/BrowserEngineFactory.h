#pragma once
// What the browser engine plugin offers the program. The engine (Qt WebEngine and all it pulls in) lives in
// a plugin loaded when the first page needs it, so the program's windows come up without it.

#include <QObject>
#include <QString>

class PageEngine;

class BrowserEngineFactory {
public:
    virtual ~BrowserEngineFactory() = default;
    // Why the engine cannot start here; empty when it can. Look before the first create().
    virtual QString startProblem() = 0;
    // A new browser page engine.
    virtual PageEngine *create(QObject *parent) = 0;
};

#define VarnelBrowserEngineFactory_iid "com.varnel.VarnelJS.BrowserEngineFactory/1"
Q_DECLARE_INTERFACE(BrowserEngineFactory, VarnelBrowserEngineFactory_iid)
