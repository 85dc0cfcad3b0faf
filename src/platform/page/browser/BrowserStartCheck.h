#pragma once
// Whether the browser engine can start here. Looked at before the engine is first touched: a failed
// start of its helper process can take the whole program down (as root with the sandbox on, it aborts).

#include <QString>

namespace BrowserStartCheck {

struct Facts {
    bool guiApplication = false;   // a QGuiApplication exists (the engine needs one)
    bool helperFound = false;      // the engine's helper program is installed
    bool resourcesFound = false;   // the engine's resource files are installed
    bool root = false;             // the program runs as root
    QString disableSandbox;        // QTWEBENGINE_DISABLE_SANDBOX
    QString chromiumFlags;         // QTWEBENGINE_CHROMIUM_FLAGS
};

// Why the engine cannot start with these facts; empty when it can.
QString problem(const Facts &facts);

// The facts of this process and installation.
Facts gather();

// problem(gather()), looked at once per run.
QString problemHere();

// Adds the engine switches that keep an unseen page's timers at full speed (the engine would otherwise
// slow them to about one a second). Call before the first engine exists; later calls do nothing.
void prepareSwitches();

// Sets what a headless start needs where the environment does not say otherwise: the offscreen
// platform's GPU off. Call before the QGuiApplication exists.
void prepareHeadless();

} // namespace BrowserStartCheck
