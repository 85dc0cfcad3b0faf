#pragma once
// How the browser engine reads a live page: a mutation observer, installed before the page's first
// script, remembers every script element the page inserts (also those it removes again), and a read-out
// returns the new ones with the document order of the live ones. Both run in a script world of their
// own, where the page's scripts cannot see or replace what they use.
//
// A read-out answers {count, url, order: [id...], fresh: [[src|null, text, defer, resolved src]...]}: `fresh` are the
// elements from the id the caller asked for onwards, `order` the ids of document.scripts.

#include "platform/page/PageEngine.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace BrowserReadout {

// The address a script was loaded from, as the collection takes it: a file: address as its local path.
QString loadedAddress(const QString &resolved);

// Installed at document creation in the main frame.
QString observerScript();
// The read-out, returning the elements from id `from` onwards.
QString readoutScript(int from);

// What is known of the page so far: every script element seen, by id, and the live document order.
struct State {
    QList<ScriptElement> seen;
    QList<int> order;
    QString url;
};

// Folds one read-out answer into `state` (texts of elements already known are refreshed). Returns false
// (and leaves `state` alone) when the answer is not a read-out.
bool merge(const QVariant &answer, State &state);

// The document: the live script elements in document order, then the elements inserted and removed
// again, in the order they were inserted.
PageDocument documentOf(const State &state, const QString &url);

} // namespace BrowserReadout
