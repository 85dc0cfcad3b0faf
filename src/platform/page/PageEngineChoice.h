#pragma once
// Which page engine an analysis window uses. Pages (files and addresses) open in the browser engine when the
// option "使用浏览器内核" is on and the engine can start; a script file always uses the static
// engine, since nothing runs on its blank page. When the browser engine cannot start, the window says
// so once per run and reads the page with the static engine.
//
// The browser engine is a plugin (BrowserEngineLoader); the program installs the loader here at start-up,
// and nothing of the engine is loaded before the first page asks for it. Code that never opens a page in
// it (the tests of the windows) installs nothing.

#include "util/SourceKind.h"

#include <QString>

#include <functional>

class PageEngine;
class QObject;

namespace PageEngineChoice {

inline const QString FallbackText = QStringLiteral("浏览器内核无法启动，已改用静态解析。");
// FallbackText with the reason after it, in full-width parentheses: a user can act on the reason
// (a missing package, running as root), not on the fact alone.
QString fallbackMessage(const QString &startProblem);

struct Decision {
    bool browser = false;  // open the page in the browser engine
    bool announce = false; // show FallbackText now
};

// `startProblem`: why the browser engine cannot start (empty: it can). `announced`: FallbackText was
// shown before in this run.
Decision decide(SourceKind kind, bool optionOn, const QString &startProblem, bool announced);

using Maker = std::function<PageEngine *(QObject *parent)>;
using StartProblem = std::function<QString()>;
// Installs the browser engine (the program's main does). Without one, it "cannot start".
void install(Maker maker, StartProblem problem);
// Why the installed engine cannot start here; a text when none is installed.
QString startProblem();
// A new browser engine (null when none is installed).
PageEngine *create(QObject *parent);

} // namespace PageEngineChoice
