#include "analysis/ScriptCollection.h"

#include "analysis/LoadTexts.h"
#include "analysis/ScriptSink.h"
#include "util/Module1.h"

#include <QEventLoop>
#include <QTimer>

namespace {

const QString CrLf = QStringLiteral("\r\n");

bool isNetworkPath(const QString &r) {
    return r.startsWith(QLatin1String("\\\\")) || r.startsWith(QLatin1String("//"));
}

bool isLocalPath(const QString &r) {
    // Drive forms (characters 2 and 3 are ":\" or ":/"), and on this system a path from the root.
    const QStringView drive = QStringView(r).mid(1, 2);
    if (drive == QLatin1String(":\\") || drive == QLatin1String(":/"))
        return true;
    return r.startsWith(QLatin1Char('/')) && !r.startsWith(QLatin1String("//"));
}

// The address as a header line carries it: a line break a page wrote into it (`&#10;`) would end the
// header early and put the rest of the address into the script's body, so it becomes a space.
QString headerAddress(QString address) {
    for (QChar &c : address) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QChar(0x85) || c == QLatin1Char('\v') || c == QLatin1Char('\f'))
            c = QLatin1Char(' ');
    }
    return address;
}

// A script's body and its closing line break. A large body goes as a piece of its own: joining it to the
// line break would copy millions of characters only to append them again.
void appendBody(ScriptSink &sink, const QString &body) {
    constexpr qsizetype JoinLimit = 1 << 16;
    if (body.size() < JoinLimit) {
        sink.appendText(body + CrLf);
        return;
    }
    sink.appendText(body);
    sink.appendText(CrLf);
}

// An inline script's result: its text, obtained with the page (its bytes are left to the sink).
FetchResult inlineResult(const ScriptPlan &plan) {
    FetchResult result;
    result.text = plan.inlineText;
    return result;
}

FetchResult fetchBlocking(const ScriptPlan &plan) {
    switch (plan.kind) {
    case ScriptClass::Inline:
        return inlineResult(plan);
    case ScriptClass::Network:
    case ScriptClass::Local:
        return readLocalScript(plan.address, CancelToken(), plan.named);
    case ScriptClass::Other:
        break;
    }
    return downloadScript(plan.address);
}

std::vector<ScriptPlan> planAll(const PageDocument &document) {
    const QString page = pageAddressOf(document.url);
    std::vector<ScriptPlan> plans;
    plans.reserve(document.scripts.size());
    for (int i = 0; i < document.scripts.size(); ++i)
        plans.push_back(planScript(i, document.scripts.at(i), page));
    return plans;
}

} // namespace

QString pageAddressOf(const QString &documentUrl) {
    if (documentUrl.left(7).toLower() == QLatin1String("file://"))
        return documentUrl.mid(7);
    return documentUrl;
}

ScriptPlan planScript(int index, const ScriptElement &element, const QString &pageAddress) {
    ScriptPlan plan;
    plan.index = index;
    const QString number = QString::number(index);
    if (element.src.isEmpty()) {
        plan.kind = ScriptClass::Inline;
        plan.address = pageAddress;
        plan.inlineText = element.text;
        plan.entry = QStringLiteral("[网页内JS-") + number + QStringLiteral("] ") + pageAddress;
        plan.header = QStringLiteral("网址") + number + scriptClassTag(plan.kind) + headerAddress(pageAddress) + CrLf;
        return plan;
    }
    // An engine that ran the page says where it loaded the script from; that address is taken as it is.
    const QString r =
        element.loaded.isEmpty() ? Module1::ResolveScriptAddress(element.src, pageAddress) : element.loaded;
    plan.address = r;
    if (isNetworkPath(r)) {
        plan.kind = ScriptClass::Network;
        plan.entry = QStringLiteral("[网络JS-") + number + QStringLiteral("] ") + r;
        plan.header = QStringLiteral("网址") + number + scriptClassTag(plan.kind) + headerAddress(r) + CrLf;
    } else if (isLocalPath(r)) {
        plan.kind = ScriptClass::Local;
        plan.named = element.named;
        plan.entry = QStringLiteral("[本地JS-") + number + QStringLiteral("] ") + r;
        plan.header = QStringLiteral("网址") + number + scriptClassTag(plan.kind) + headerAddress(r) + CrLf;
    } else {
        plan.kind = ScriptClass::Other;
        plan.entry = r;
        plan.header = QStringLiteral("网址") + number + scriptClassTag(plan.kind) + headerAddress(r) + CrLf;
    }
    return plan;
}

ScriptCollection::ScriptCollection(const PageDocument &document, ScriptSink *sink, QObject *parent)
    : QObject(parent), m_document(document), m_sink(sink) {}

ScriptCollection::~ScriptCollection() {
    abort();
}

void ScriptCollection::setMaxTransfers(int count) {
    m_maxTransfers = qMax(1, count);
}

void ScriptCollection::start() {
    if (m_started || m_aborted)
        return;
    m_started = true;
    // Plans are made when they are needed, not all at once: their texts for a page of a million
    // scripts would take more memory than the page.
    m_page = pageAddressOf(m_document.url);
    m_fetches.assign(size_t(m_document.scripts.size()), nullptr);
    m_blocks.reserve(m_document.scripts.size()); // grown step by step, the list would be held twice
    for (int i = 0; i < m_document.scripts.size(); ++i) {
        if (!m_document.scripts.at(i).src.isEmpty())
            m_waiting.append(i);
    }
    m_inStart = true;
    emit progress(0, int(m_document.scripts.size()));
    if (m_aborted) {
        m_inStart = false;
        return;
    }
    launchMore();
    pump();
    m_inStart = false;
}

void ScriptCollection::stop() {
    if (m_aborted || m_finished || !m_started)
        return;
    // What has come stays in its place: inline scripts and bodies already fetched are written; a script
    // whose transfer has not ended keeps its header with an empty body and is listed as not obtained.
    const int count = int(m_document.scripts.size());
    for (; m_next < count && !m_aborted; ++m_next) {
        const ScriptPlan plan = planScript(m_next, m_document.scripts.at(m_next), m_page);
        if (plan.kind == ScriptClass::Inline) {
            writeScript(plan, inlineResult(plan));
            continue;
        }
        ScriptFetch *fetch = m_fetches[size_t(m_next)];
        FetchResult result;
        if (fetch && fetch->isFinished()) {
            result = fetch->result();
        } else {
            result.failed = true;
            result.reason = LoadTexts::NotObtained;
        }
        if (result.failed)
            m_failures.append({plan.index, plan.address, result.reason});
        writeScript(plan, result);
    }
    abort();
}

void ScriptCollection::writeHeader(const ScriptPlan &plan) {
    if (m_headerDone)
        return;
    m_sink->addEntry(plan.entry);
    m_sink->appendHeader(plan.header);
    m_headerDone = true;
    ScriptBlock block;
    block.number = plan.index;
    block.kind = plan.kind;
    block.address = plan.address;
    block.headerStart = m_written;
    if (m_sink->writesHeaders())
        m_written += plan.header.size();
    block.bodyStart = block.bodyEnd = m_written;
    m_blocks.append(block);
}

void ScriptCollection::writeScript(const ScriptPlan &plan, const FetchResult &result) {
    writeHeader(plan);
    appendBody(*m_sink, result.text);
    m_sink->scriptDone(plan, result);
    m_blocks.last().bodyEnd = m_written + result.text.size();
    m_written += result.text.size() + CrLf.size();
    if (plan.index == 0)
        m_firstEncoding = result.encoding;
    m_headerDone = false;
}

void ScriptCollection::abort() {
    if (m_aborted || m_finished)
        return;
    m_aborted = true;
    m_waiting.clear();
    for (ScriptFetch *&fetch : m_fetches) {
        if (!fetch)
            continue;
        // abort() may run inside a fetch's own finished() (through the sink): never delete it there.
        fetch->disconnect(this);
        fetch->abort();
        fetch->deleteLater();
        fetch = nullptr;
    }
}

void ScriptCollection::adoptPrefetched(const QMultiHash<QString, ScriptFetch *> &fetches) {
    for (auto it = fetches.cbegin(); it != fetches.cend(); ++it) {
        if (!it.value())
            continue;
        it.value()->setParent(this);
        m_prefetched.insert(it.key(), it.value());
    }
}

void ScriptCollection::launchMore() {
    while (m_running < m_maxTransfers && !m_waiting.isEmpty()) {
        const int index = m_waiting.takeFirst();
        const ScriptPlan plan = planScript(index, m_document.scripts.at(index), m_page);
        ScriptFetch *fetch = plan.kind == ScriptClass::Other ? m_prefetched.take(plan.address) : nullptr;
        const bool adopted = fetch != nullptr;
        if (!fetch)
            fetch = plan.kind == ScriptClass::Other ? ScriptFetch::download(plan.address, this)
                                                    : ScriptFetch::readLocal(plan.address, this, plan.named);
        m_fetches[size_t(index)] = fetch;
        ++m_running;
        if (adopted && fetch->isFinished()) {
            // Its finished() has been and gone: take it up from the event loop, as any other ending.
            QTimer::singleShot(0, this, [this, index] { onFetchFinished(index); });
            continue;
        }
        connect(fetch, &ScriptFetch::finished, this, [this, index] { onFetchFinished(index); });
    }
}

void ScriptCollection::onFetchFinished(int index) {
    if (m_aborted)
        return;
    --m_running;
    launchMore();
    if (index == m_next)
        pump();
}

void ScriptCollection::pump() {
    const int count = int(m_document.scripts.size());
    while (m_next < count) {
        if (m_aborted)
            return;
        const ScriptPlan plan = planScript(m_next, m_document.scripts.at(m_next), m_page);
        writeHeader(plan);
        if (plan.kind == ScriptClass::Inline) {
            writeScript(plan, inlineResult(plan));
        } else {
            ScriptFetch *fetch = m_fetches[size_t(m_next)];
            if (!fetch || !fetch->isFinished())
                return; // its transfer ends later and calls pump() again
            const FetchResult &result = fetch->result();
            if (result.failed)
                m_failures.append({plan.index, plan.address, result.reason});
            m_fetches[size_t(m_next)] = nullptr;
            fetch->deleteLater();
            writeScript(plan, result);
        }
        if (m_aborted)
            return;
        ++m_next;
        emit progress(m_next, count);
    }
    if (m_aborted || m_finished)
        return;
    if (m_sink->entryCount() > 0)
        m_sink->selectEntry(0); // the window's selection handler runs here and may abort the load
    if (m_aborted)
        return;
    m_finished = true;
    if (m_inStart)
        QTimer::singleShot(0, this, &ScriptCollection::finished);
    else
        emit finished();
}

QList<ScriptFailure> 加载DocCss到数组(const PageDocument &document, ScriptSink &sink) {
    ScriptCollection collection(document, &sink);
    QEventLoop loop;
    QObject::connect(&collection, &ScriptCollection::finished, &loop, &QEventLoop::quit);
    collection.start();
    loop.exec();
    return collection.failures();
}

QList<ScriptFailure> collectOneAtATime(const PageDocument &document, ScriptSink &sink) {
    QList<ScriptFailure> failures;
    for (const ScriptPlan &plan : planAll(document)) {
        sink.addEntry(plan.entry);
        sink.appendHeader(plan.header);
        const FetchResult result = fetchBlocking(plan);
        if (result.failed)
            failures.append({plan.index, plan.address, result.reason});
        appendBody(sink, result.text);
        sink.scriptDone(plan, result);
    }
    if (sink.entryCount() > 0)
        sink.selectEntry(0);
    return failures;
}
