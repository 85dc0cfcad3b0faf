#include "platform/page/PageEngineChoice.h"

namespace PageEngineChoice {

namespace {

Maker &maker() {
    static Maker m;
    return m;
}

StartProblem &problem() {
    static StartProblem p;
    return p;
}

} // namespace

QString fallbackMessage(const QString &startProblem) {
    return startProblem.isEmpty() ? FallbackText : QStringLiteral("%1（%2）").arg(FallbackText, startProblem);
}

Decision decide(SourceKind kind, bool optionOn, const QString &problemText, bool announced) {
    Decision d;
    if (!isPage(kind) || !optionOn)
        return d;
    d.browser = problemText.isEmpty();
    d.announce = !d.browser && !announced;
    return d;
}

void install(Maker m, StartProblem p) {
    maker() = std::move(m);
    problem() = std::move(p);
}

QString startProblem() {
    if (!maker())
        return QStringLiteral("程序中没有浏览器内核");
    return problem() ? problem()() : QString();
}

PageEngine *create(QObject *parent) {
    return maker() ? maker()(parent) : nullptr;
}

} // namespace PageEngineChoice
