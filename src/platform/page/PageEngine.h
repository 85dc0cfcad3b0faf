#pragma once
// The page engine: what the analysis window needs of a browser. It loads about:blank, local page files
// (by path or file:// address; the document URL is "file://" + native path) and http(s) pages, parses
// them as HTML5 and lists the script elements a browser would list. No script runs.

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

struct ScriptElement {
    ScriptElement() = default;
    ScriptElement(const QString &src, const QString &text, bool defer, const QString &loaded = QString())
        : src(src), text(text), defer(defer), loaded(loaded) {}
    ScriptElement(const QString &src, const QString &text, bool defer, bool named,
                  const QString &loaded = QString())
        : src(src), text(text), defer(defer), named(named), loaded(loaded) {}
    QString src;  // the src attribute as written (empty for an inline script)
    QString text; // the inline text
    bool defer = false;
    bool named = false; // the file a person named (a one-script page): a pipe or a device is read too
    // The address an engine that runs the page loaded the script from (the element's resolved src,
    // which honours <base href>); empty when the engine resolves nothing (then src is resolved by the
    // page-address rules).
    QString loaded;
};

// Why an engine ended a page before it was complete; its document holds what the page had by then.
enum class PageCut { None, WaitLimit, MemoryLimit };

struct PageDocument {
    PageDocument() = default;
    PageDocument(const QString &url, const QList<struct ScriptElement> &scripts, const QString &loadError)
        : url(url), scripts(scripts), loadError(loadError) {}
    QString url;                  // the document's address
    QList<ScriptElement> scripts; // in document order
    QString loadError;            // why the page could not be had ("HTTP 404", "文件不存在"), or empty
    PageCut cut = PageCut::None;  // the page was ended by the engine's wait or memory limit
    // Adds a script element to the body (as createElement("script") + appendChild).
    void appendScript(const QString &src, bool defer, bool named = false) {
        ScriptElement element(src, QString(), defer);
        element.named = named;
        scripts.append(element);
    }
};

// Parses `html` (already decoded) into the document of `url`. Pure: no I/O.
PageDocument parseHtmlDocument(const QString &html, const QString &url);

// The parse the embedded engine runs on its worker: parseHtmlDocument unless a test puts one in its
// place (an empty function restores it). Set it before a load starts.
using HtmlParser = std::function<PageDocument(const QString &html, const QString &url)>;
void setHtmlParserForTests(HtmlParser parser);

class PageEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // The engine shows no dialogs of its own (always true here; kept for the window's load sequence).
    virtual void setSilent(bool silent) = 0;
    // Starts loading `address`; returns at once. A page that cannot be loaded gives an empty document
    // with the requested address and the reason in its loadError.
    virtual void navigate(const QString &address) = 0;
    // True while a navigation is in progress.
    virtual bool busy() const = 0;
    // The current document, whatever state it has reached.
    virtual PageDocument &document() = 0;
    // Stops a navigation in progress (closing a window, Esc); no completion is reported afterwards. The
    // document keeps what the page held at that moment.
    virtual void stop() = 0;
protected:
    // Runs `step` from the event loop, unless a navigation or a stop has come since (`generation`, the
    // engine's own counter of those, no longer holds the value it has now). A document that is there
    // at once (the blank page) still completes later, so a script element added right after
    // navigate() stays.
    void afterEvents(const quint64 &generation, std::function<void()> step) {
        QMetaObject::invokeMethod(
            this,
            [&generation, id = generation, step = std::move(step)] {
                if (generation == id)
                    step();
            },
            Qt::QueuedConnection);
    }

signals:
    // Raised when a document is complete; `source` is the engine for the page itself.
    void documentComplete(QObject *source, const QString &address);
    // An external script element appeared while the page loads (its src as written); an engine that
    // runs scripts reveals them early so their fetches can overlap the page load.
    void scriptRevealed(const QString &src);
    // How many script elements an engine that runs the page has seen so far, while it loads.
    void scriptsSeen(int count);
};

// The embedded engine: HttpManager for http(s), TextCodec for decoding, gumbo for parsing.
PageEngine *createDefaultPageEngine(QObject *parent = nullptr);
