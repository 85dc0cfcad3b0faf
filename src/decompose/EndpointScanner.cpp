// EndpointScanner: the request forms, recognised at their calls, constructors and assignments.

#include "decompose/EndpointScanner.h"

#include <algorithm>
#include <array>

namespace Decompose {

namespace {

// Longer callee or object texts are no name this looks for (and are not copied).
constexpr qsizetype NameLimit = 80;

bool isWindowName(QStringView name) {
    return name == u"window" || name == u"self" || name == u"top" || name == u"parent" || name == u"globalThis" ||
           name == u"win" || name == u"wnd";
}

// A value that is no address: clearing a property, a flag, a number, or a function.
bool isNoAddress(TSNode value) {
    const NodeKind k = kindOf(value);
    if (k == NodeKind::FunctionValue || k == NodeKind::Assignment)
        return true;
    const char *type = ts_node_type(value);
    return std::strcmp(type, "null") == 0 || std::strcmp(type, "undefined") == 0 || std::strcmp(type, "true") == 0 ||
           std::strcmp(type, "false") == 0 || std::strcmp(type, "number") == 0;
}

bool isJQuery(QStringView name) {
    return name == u"$" || name == u"jQuery" || name == u"window.$" || name == u"window.jQuery";
}

bool isLocation(QStringView name) {
    return name == u"location" || name.endsWith(u".location");
}

// window.WebSocket -> WebSocket
QStringView withoutWindow(QStringView name) {
    for (const char16_t *prefix : {u"window.", u"self.", u"globalThis."}) {
        if (name.startsWith(QStringView(prefix)))
            return name.mid(QStringView(prefix).size());
    }
    return name;
}

// An object whose name says it holds an XMLHttpRequest the walk did not see made.
bool soundsLikeRequest(QStringView name) {
    return name.contains(u"xhr", Qt::CaseInsensitive) || name.contains(u"xmlhttp", Qt::CaseInsensitive) ||
           name.contains(u"req", Qt::CaseInsensitive);
}

} // namespace

void EndpointScanner::visit(NodeKind kind, const std::vector<Frame> &path) {
    switch (kind) {
    case NodeKind::Call:
        onCall(path.back().node);
        break;
    case NodeKind::New:
        onNew(path.back().node, path);
        break;
    case NodeKind::Assignment:
        onAssignment(path.back().node);
        break;
    case NodeKind::StringKey:
    case NodeKind::TemplateString:
        onLiteral(path);
        break;
    default:
        break;
    }
}

QString EndpointScanner::enclosingFunction(qsizetype at) {
    while (!m_open.empty() && m_open.back().end <= at)
        m_open.pop_back();
    return m_open.empty() ? QString() : m_open.back().name;
}

void EndpointScanner::record(EndpointKind kind, const QList<AddressPiece> &pieces, TSNode at,
                             const QString &method) {
    const WrittenAddress written = writeAddress(pieces);
    Endpoint e;
    e.address = written.text;
    e.placeholders = written.placeholders;
    e.kind = kind;
    e.method = method;
    e.function = enclosingFunction(startOf(at));
    e.script = m_script;
    e.line = m_firstLine + int(ts_node_start_point(at).row);
    e.offset = m_offset + startOf(at);
    endpoints.push_back(std::move(e));
}

void EndpointScanner::record(EndpointKind kind, TSNode address, TSNode site, const QString &method) {
    QList<AddressPiece> pieces;
    if (!isNull(address))
        appendPieces(address, pieces);
    record(kind, pieces, isNull(address) ? site : address, method);
}

QString EndpointScanner::nameOf(TSNode node) const {
    const QStringView t = textOf(node);
    if (t.size() > NameLimit)
        return {};
    QString out;
    for (QChar c : t) {
        if (!c.isSpace())
            out += c;
    }
    return out;
}

QString EndpointScanner::methodOf(TSNode node) const {
    if (isNull(node))
        return {};
    if (kindOf(node) == NodeKind::StringKey)
        return stringValue(node).toUpper();
    return placeholderOf(textOf(node));
}

std::vector<TSNode> EndpointScanner::argumentsOf(TSNode call) const {
    std::vector<TSNode> args;
    const TSNode list = fieldOf(call, "arguments");
    if (isNull(list) || kindOf(list) == NodeKind::TemplateString) // a tagged template
        return args;
    const uint32_t n = ts_node_named_child_count(list);
    args.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        const TSNode a = ts_node_named_child(list, i);
        if (kindOf(a) != NodeKind::Comment)
            args.push_back(a);
    }
    return args;
}

TSNode EndpointScanner::valueOf(TSNode object, QStringView key) const {
    if (isNull(object) || kindOf(object) != NodeKind::Object)
        return {};
    const uint32_t n = ts_node_named_child_count(object);
    for (uint32_t i = 0; i < n; ++i) {
        const TSNode p = ts_node_named_child(object, i);
        if (kindOf(p) == NodeKind::Pair) {
            const TSNode k = fieldOf(p, "key");
            const QString name = kindOf(k) == NodeKind::StringKey ? stringValue(k) : textOf(k).toString();
            if (name == key)
                return fieldOf(p, "value");
        } else if (std::strcmp(ts_node_type(p), "shorthand_property_identifier") == 0 && textOf(p) == key) {
            return p; // { url }: the variable is the value
        }
    }
    return {};
}

void EndpointScanner::onCall(TSNode call) {
    const TSNode callee = fieldOf(call, "function");
    const NodeKind ck = kindOf(callee);
    // Most calls are none of these: they are told apart by the callee's last name before anything is
    // gathered.
    if (ck == NodeKind::Identifier) {
        static const std::array<QStringView, 5> names = {u"fetch", u"importScripts", u"axios", u"open", u"RegExp"};
        if (std::find(names.begin(), names.end(), textOf(callee)) == names.end())
            return;
    } else if (ck == NodeKind::MemberTarget) {
        static const std::array<QStringView, 20> names = {
            u"open",   u"ajax",    u"get",        u"post",   u"getJSON",      u"getScript", u"load",
            u"request", u"put",    u"delete",     u"patch",  u"head",         u"options",   u"sendBeacon",
            u"assign", u"replace", u"setAttribute", u"fetch", u"importScripts", u"register"};
        const TSNode property = fieldOf(callee, "property");
        if (isNull(property) || std::find(names.begin(), names.end(), textOf(property)) == names.end())
            return;
    } else if (ck != NodeKind::ImportKeyword) {
        return;
    }
    const std::vector<TSNode> args = argumentsOf(call);
    const TSNode first = args.empty() ? TSNode{} : args[0];
    if (ck == NodeKind::ImportKeyword) {
        record(EndpointKind::Import, first, call, QString());
        return;
    }
    if (ck == NodeKind::MemberTarget) {
        onMemberCall(call, callee, args);
        return;
    }
    const QStringView name = textOf(callee);
    if (name == u"fetch") {
        const TSNode method = args.size() > 1 ? valueOf(args[1], u"method") : TSNode{};
        record(EndpointKind::Fetch, first, call, isNull(method) ? QStringLiteral("GET") : methodOf(method));
    } else if (name == u"importScripts") {
        for (TSNode a : args)
            record(EndpointKind::Import, a, call, QString());
    } else if (name == u"axios") {
        onRequestObject(EndpointKind::Axios, call, first, nullptr, QString());
    } else if (name == u"open") {
        record(EndpointKind::Open, first, call, QString());
    } else if (name == u"RegExp") {
        QList<AddressPiece> ignored; // a regular expression's source is no address
        for (TSNode a : args)
            appendPieces(a, ignored);
    }
}

// $.ajax(url, settings), $.ajax(settings), axios(url, config), axios(config): the address and method from
// the object where the call passes one. `methodKey2` names a second key for the method ($.ajax's type).
void EndpointScanner::onRequestObject(EndpointKind kind, TSNode call, TSNode first, const char *methodKey2,
                                      const QString &implied) {
    const std::vector<TSNode> args = argumentsOf(call);
    TSNode address = first;
    TSNode config = args.size() > 1 ? args[1] : TSNode{};
    if (!isNull(first) && kindOf(first) == NodeKind::Object) {
        config = first;
        address = valueOf(first, u"url");
    }
    TSNode method = valueOf(config, u"method");
    if (isNull(method) && methodKey2)
        method = valueOf(config, QString::fromLatin1(methodKey2));
    record(kind, address, call, isNull(method) ? implied : methodOf(method));
}

void EndpointScanner::onMemberCall(TSNode call, TSNode callee, const std::vector<TSNode> &args) {
    if (std::strcmp(ts_node_type(callee), "member_expression") != 0)
        return;
    const TSNode object = fieldOf(callee, "object");
    const QStringView property = textOf(fieldOf(callee, "property"));
    const TSNode first = args.empty() ? TSNode{} : args[0];
    const QString owner = nameOf(object);
    if (property == u"open") {
        if (isWindowName(owner)) {
            record(EndpointKind::Open, first, call, QString());
        } else if (args.size() >= 2 && owner != u"document") {
            if (kindOf(first) == NodeKind::StringKey) {
                if (isHttpMethod(stringValue(first)))
                    record(EndpointKind::Xhr, args[1], call, stringValue(first).toUpper());
            } else if (m_xhrNames.contains(owner) || soundsLikeRequest(owner)) {
                record(EndpointKind::Xhr, args[1], call, methodOf(first));
            }
        }
    } else if (isJQuery(owner)) {
        if (property == u"ajax")
            onRequestObject(EndpointKind::Ajax, call, first, "type", QString());
        else if (property == u"get" || property == u"getJSON" || property == u"getScript")
            onRequestObject(EndpointKind::Ajax, call, first, "type", QStringLiteral("GET"));
        else if (property == u"post")
            onRequestObject(EndpointKind::Ajax, call, first, "type", QStringLiteral("POST"));
    } else if (property == u"load") {
        // $(sel).load(url): a jQuery object from a call or in a $-named variable; .load(function) is the
        // old event form, and other objects' load() takes no address.
        const bool jquery = kindOf(object) == NodeKind::Call || owner.startsWith(u'$');
        if (jquery && !isNull(first) && kindOf(first) != NodeKind::FunctionValue)
            record(EndpointKind::Ajax, first, call, QStringLiteral("GET"));
    } else if (owner == u"axios") {
        if (property == u"request") {
            onRequestObject(EndpointKind::Axios, call, first, nullptr, QString());
        } else if (property == u"get" || property == u"post" || property == u"put" || property == u"delete" ||
                   property == u"patch" || property == u"head" || property == u"options") {
            record(EndpointKind::Axios, first, call, property.toString().toUpper());
        }
    } else if (property == u"sendBeacon") {
        record(EndpointKind::Beacon, first, call, QStringLiteral("POST"));
    } else if ((property == u"assign" || property == u"replace") && isLocation(owner)) {
        record(EndpointKind::Navigate, first, call, QString());
    } else if (property == u"setAttribute" && args.size() >= 2 && kindOf(first) == NodeKind::StringKey) {
        const QString attribute = stringValue(first).toLower();
        if (attribute == u"src" || attribute == u"href" || attribute == u"action")
            record(EndpointKind::Element, args[1], call, QString());
    } else if (property == u"fetch" && isWindowName(owner)) {
        const TSNode method = args.size() > 1 ? valueOf(args[1], u"method") : TSNode{};
        record(EndpointKind::Fetch, first, call, isNull(method) ? QStringLiteral("GET") : methodOf(method));
    } else if (property == u"importScripts" && isWindowName(owner)) {
        for (TSNode a : args)
            record(EndpointKind::Import, a, call, QString());
    } else if (property == u"register" && owner.endsWith(u"serviceWorker")) {
        record(EndpointKind::Worker, first, call, QString());
    }
}

void EndpointScanner::onNew(TSNode expression, const std::vector<Frame> &path) {
    const TSNode ctor = fieldOf(expression, "constructor");
    const NodeKind ck = kindOf(ctor);
    if (ck != NodeKind::Identifier && ck != NodeKind::MemberTarget)
        return;
    const QString full = nameOf(ctor);
    const QStringView name = withoutWindow(full);
    const std::vector<TSNode> args = argumentsOf(expression);
    const TSNode first = args.empty() ? TSNode{} : args[0];
    if (name == u"WebSocket") {
        record(EndpointKind::WebSocket, first, expression, QString());
    } else if (name == u"EventSource") {
        record(EndpointKind::EventSource, first, expression, QString());
    } else if (name == u"Worker" || name == u"SharedWorker") {
        record(EndpointKind::Worker, first, expression, QString());
    } else if (name == u"RegExp") {
        QList<AddressPiece> ignored;
        for (TSNode a : args)
            appendPieces(a, ignored);
    } else if ((name == u"XMLHttpRequest" || name == u"ActiveXObject") && path.size() >= 2) {
        // Remember what it is bound to, for a later x.open(method, url) with a method in a variable.
        const TSNode parent = path[path.size() - 2].node;
        const NodeKind pk = kindOf(parent);
        TSNode target;
        if (pk == NodeKind::VariableDeclarator)
            target = fieldOf(parent, "name");
        else if (pk == NodeKind::Assignment)
            target = fieldOf(parent, "left");
        if (!isNull(target)) {
            const QString bound = nameOf(target);
            if (!bound.isEmpty() && !m_xhrNames.contains(bound))
                m_xhrNames.push_back(bound);
        }
    }
}

void EndpointScanner::onAssignment(TSNode assignment) {
    const TSNode left = fieldOf(assignment, "left");
    EndpointKind kind = EndpointKind::Navigate;
    if (kindOf(left) == NodeKind::Identifier) {
        if (textOf(left) != u"location")
            return;
    } else if (std::strcmp(ts_node_type(left), "member_expression") == 0) {
        const QStringView property = textOf(fieldOf(left, "property"));
        if (property == u"href" || property == u"src" || property == u"action") {
            const bool navigates = property == u"href" && isLocation(nameOf(fieldOf(left, "object")));
            kind = navigates ? EndpointKind::Navigate : EndpointKind::Element;
        } else if (property != u"location") {
            return;
        }
    } else {
        return;
    }
    const TSNode right = fieldOf(assignment, "right");
    if (!isNull(right) && !isNoAddress(right))
        record(kind, right, assignment, QString());
}

} // namespace Decompose
