#pragma once
// A page engine driven by the test: it records navigations and stops, stays busy until told to
// complete, and hands out whatever document the test prepared for an address.

#include "platform/page/PageEngine.h"

#include <QHash>
#include <QStringList>

class FakePageEngine : public PageEngine {
    Q_OBJECT
public:
    using PageEngine::PageEngine;

    void setSilent(bool on) override { silent = on; }
    void navigate(const QString &address) override {
        navigations << address;
        pending = address;
        doc = PageDocument{address, {}, {}};
        if (address == QLatin1String("about:blank"))
            return; // the blank page is there at once
        busyNow = busyOnNavigate;
    }
    bool busy() const override { return busyNow; }
    PageDocument &document() override { return doc; }
    void stop() override {
        ++stops;
        busyNow = false;
    }

    // The requested page is complete: its prepared document becomes current and the engine (or
    // `source`, a frame) reports completion.
    void complete(QObject *source = nullptr, bool stayBusy = false) {
        if (!source) {
            doc = pages.value(pending, PageDocument{pending, {}, {}});
            busyNow = stayBusy;
        }
        emit documentComplete(source ? source : this, pending);
    }

    QHash<QString, PageDocument> pages;
    PageDocument doc;
    QStringList navigations;
    QString pending;
    bool busyOnNavigate = true;
    bool busyNow = false;
    bool silent = false;
    int stops = 0;
};
