#pragma once
// The address side of the walk over one block's syntax tree: the function finder hands it every node it
// visits (with the path from the root) and every named function it lists, and it records requests and
// address literals with the function around them. Requests are seen at their call, before the walk
// reaches their arguments; the strings a finding used are not reported again as literals.

#include "decompose/AddressText.h"
#include "decompose/Endpoint.h"
#include "decompose/TreeWalk.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace Decompose {

class EndpointScanner {
public:
    // `block`: the block's text; `offset`: where it starts in the combined text.
    EndpointScanner(QStringView block, qsizetype offset, int firstLine, int script)
        : m_text(block), m_offset(offset), m_firstLine(firstLine), m_script(script) {}

    // A named function the walk listed: it encloses what starts before `end` (block offsets).
    void functionListed(const QString &name, qsizetype end) { m_open.push_back({name, end}); }
    // path.back() is the node visited, of kind `kind`.
    void visit(NodeKind kind, const std::vector<Frame> &path);

    QList<Endpoint> endpoints;

private:
    struct OpenFunction {
        QString name;
        qsizetype end;
    };

    void onCall(TSNode call);
    void onMemberCall(TSNode call, TSNode callee, const std::vector<TSNode> &args);
    void onNew(TSNode expression, const std::vector<Frame> &path);
    void onAssignment(TSNode assignment);
    void onLiteral(const std::vector<Frame> &path);
    void onRequestObject(EndpointKind kind, TSNode call, TSNode config, const char *methodKey2,
                         const QString &implied);

    // `address` may be null (a call without one): the finding then stands at `site` with no address.
    void record(EndpointKind kind, TSNode address, TSNode site, const QString &method);
    void record(EndpointKind kind, const QList<AddressPiece> &pieces, TSNode at, const QString &method);
    QString enclosingFunction(qsizetype at);

    // Pieces (AddressPieces.cpp)
    void appendPieces(TSNode node, QList<AddressPiece> &out);
    void appendTemplate(TSNode node, QList<AddressPiece> &out);
    bool isTextual(TSNode node) const;
    bool isConcatenation(TSNode node) const;
    bool consumed(TSNode node);
    void consume(TSNode node);

    QStringView textOf(TSNode node) const { return m_text.mid(startOf(node), endOf(node) - startOf(node)); }
    QString stringValue(TSNode string) const; // a string literal's value
    QString nameOf(TSNode node) const;        // a short callee or object name without blanks, or empty
    QString methodOf(TSNode node) const;      // a method argument: upper case, or a placeholder
    std::vector<TSNode> argumentsOf(TSNode call) const;
    TSNode valueOf(TSNode object, QStringView key) const; // a property of an object literal

    QStringView m_text;
    qsizetype m_offset;
    int m_firstLine;
    int m_script;
    std::vector<OpenFunction> m_open;
    std::vector<qsizetype> m_consumed; // a min-heap of the starts of strings already part of a finding
    QStringList m_xhrNames;            // what new XMLHttpRequest() was assigned to
};

} // namespace Decompose
