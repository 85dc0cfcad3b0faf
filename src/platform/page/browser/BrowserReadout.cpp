#include "platform/page/browser/BrowserReadout.h"

#include <QSet>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>

namespace BrowserReadout {

QString loadedAddress(const QString &resolved) {
    const QUrl url(resolved);
    // A local script is read from its file, by path, as the static engine names it.
    if (url.isLocalFile())
        return url.toLocalFile();
    return resolved;
}

QString observerScript() {
    // Mutation records come in a microtask after the change, so an element inserted and removed within
    // one task is still among the added nodes. Template contents live in a document of their own and
    // never show up here.
    return QStringLiteral(R"JS(
(() => {
  if (window.__varnelScripts) return;
  const XHTML = 'http://www.w3.org/1999/xhtml';
  const seen = [];
  const ids = new Map();
  const add = (e) => { if (!ids.has(e)) { ids.set(e, seen.length); seen.push(e); } };
  const note = (n) => {
    if (n.nodeType !== 1) return;
    if (n.localName === 'script' && n.namespaceURI === XHTML) add(n);
    for (const e of n.getElementsByTagName('script')) if (e.namespaceURI === XHTML) add(e);
  };
  new MutationObserver((records) => {
    for (const r of records) for (const n of r.addedNodes) note(n);
  }).observe(document, {childList: true, subtree: true});
  window.__varnelScripts = {seen, ids, add};
})();
)JS");
}

QString readoutScript(int from) {
    return QStringLiteral(R"JS(
(() => {
  let st = window.__varnelScripts;
  if (!st) {
    const seen = [], ids = new Map();
    st = {seen, ids, add: (e) => { if (!ids.has(e)) { ids.set(e, seen.length); seen.push(e); } }};
  }
  const order = [];
  for (const e of document.scripts) { st.add(e); order.push(st.ids.get(e)); }
  const fresh = st.seen.slice(%1).map((e) => [e.getAttribute('src'), e.text, e.defer, e.src]);
  return {count: st.seen.length, url: document.URL, order, fresh};
})()
)JS")
        .arg(from);
}

bool merge(const QVariant &answer, State &state) {
    const QVariantMap map = answer.toMap();
    if (!map.contains(QStringLiteral("count")) || !map.contains(QStringLiteral("fresh")))
        return false;
    const int count = map.value(QStringLiteral("count")).toInt();
    const QVariantList fresh = map.value(QStringLiteral("fresh")).toList();
    const int from = count - int(fresh.size());
    if (from < 0 || from > state.seen.size())
        return false;
    QList<int> order;
    for (const QVariant &id : map.value(QStringLiteral("order")).toList()) {
        const int n = id.toInt();
        if (n < 0 || n >= count)
            return false;
        order.append(n);
    }
    state.seen.resize(from);
    for (const QVariant &item : fresh) {
        const QVariantList fields = item.toList();
        ScriptElement element;
        element.src = fields.value(0).toString();
        element.text = fields.value(1).toString();
        element.defer = fields.value(2).toBool();
        if (!element.src.isEmpty())
            element.loaded = loadedAddress(fields.value(3).toString());
        state.seen.append(element);
    }
    state.order = order;
    state.url = map.value(QStringLiteral("url")).toString();
    return true;
}

PageDocument documentOf(const State &state, const QString &url) {
    PageDocument document;
    document.url = url;
    QSet<int> live;
    for (int id : state.order) {
        if (id < 0 || id >= state.seen.size() || live.contains(id))
            continue;
        live.insert(id);
        document.scripts.append(state.seen[id]);
    }
    for (int id = 0; id < state.seen.size(); ++id)
        if (!live.contains(id))
            document.scripts.append(state.seen[id]);
    return document;
}

} // namespace BrowserReadout
