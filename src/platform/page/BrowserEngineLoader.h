#pragma once
// Finds and loads the browser engine plugin. The program, the command line and their tests look for it
// beside the executable (the build folder) and then in the private library folder of an installation,
// found relative to the executable; the first file that exists is the one loaded.

#include <QString>
#include <QStringList>

class BrowserEngineFactory;
class PageEngine;
class QObject;

namespace BrowserEngineLoader {

// The plugin's file name.
QString fileName();

// Where the plugin is looked for when the executable is in `programDir`, in order.
QStringList candidates(const QString &programDir);

struct Loaded {
    BrowserEngineFactory *factory = nullptr; // null when it could not be loaded
    QString problem;                         // why not, in the words the user sees
};

// Loads the first of `paths` that exists, checking that it is this program's engine of this version
// before any of its code runs. The plugin stays loaded for the rest of the run.
Loaded load(const QStringList &paths);

// Loaded once per run from candidates(QCoreApplication::applicationDirPath()).
const Loaded &program();

// Why the browser engine cannot start in this run: the plugin's problem, else the engine's own; empty
// when it can.
QString startProblem();

// A new browser engine from program()'s plugin (null when it could not be loaded).
PageEngine *create(QObject *parent);

} // namespace BrowserEngineLoader
