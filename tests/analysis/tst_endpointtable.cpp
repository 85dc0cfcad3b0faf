// The rows of "网址调用" as the clipboard and a CSV file take them: cells that hold separators, line
// breaks, quotes or what a spreadsheet would run as a formula.

#include "analysis/ui/EndpointTable.h"

#include <QTest>

Q_DECLARE_METATYPE(Decompose::Endpoint)

using Decompose::Endpoint;
using Decompose::EndpointKind;

namespace {

Endpoint finding(const QString &address, EndpointKind kind, const QString &method, const QString &function) {
    Endpoint e;
    e.address = address;
    e.kind = kind;
    e.method = method;
    e.function = function;
    e.script = 2;
    e.line = 40;
    return e;
}

} // namespace

class TestEndpointTable : public QObject {
    Q_OBJECT
private slots:
    void cells_data() {
        QTest::addColumn<Endpoint>("endpoint");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("csvRow");
        QTest::newRow("plain") << finding("/api/x", EndpointKind::Fetch, "GET", "f")
                               << "/api/x\tfetch\tGET\tf\t2\t40"
                               << "/api/x,fetch,GET,f,2,40";
        QTest::newRow("label of an element address")
            << finding("img/a.png", EndpointKind::Element, "", "") << "img/a.png\t元素属性\t\t\t2\t40"
            << "img/a.png,元素属性,,,2,40";
        QTest::newRow("comma and quote") << finding("/q?a=1,2", EndpointKind::Literal, "", "o[\"k\"]")
                                         << "/q?a=1,2\t字符串\t\to[\"k\"]\t2\t40"
                                         << "\"/q?a=1,2\",字符串,,\"o[\"\"k\"\"]\",2,40";
        QTest::newRow("line break and tab in a placeholder")
            << finding("{a\nb}/x\ty", EndpointKind::Xhr, "{m}", "f")
            << "{a\\nb}/x\\ty\tXMLHttpRequest\t{m}\tf\t2\t40"
            << "\"{a\nb}/x\ty\",XMLHttpRequest,{m},f,2,40";
        QTest::newRow("formula-like cells")
            << finding("=cmd|x/y", EndpointKind::Literal, "-1", "@f") << "=cmd|x/y\t字符串\t-1\t@f\t2\t40"
            << "'=cmd|x/y,字符串,'-1,'@f,2,40";
        QTest::newRow("plus sign with a comma")
            << finding("+a,b/c", EndpointKind::Literal, "", "") << "+a,b/c\t字符串\t\t\t2\t40"
            << "\"'+a,b/c\",字符串,,,2,40";
    }
    void cells() {
        QFETCH(Endpoint, endpoint);
        QFETCH(QString, copied);
        QFETCH(QString, csvRow);
        QCOMPARE(EndpointTable::copyText({&endpoint}), copied + QLatin1Char('\n'));
        const QByteArray csv = EndpointTable::csvBytes({&endpoint});
        QCOMPARE(csv, QByteArray("\xEF\xBB\xBF") +
                          QStringLiteral("网址,种类,方法,函数,脚本,行\r\n").toUtf8() + csvRow.toUtf8() +
                          "\r\n");
    }

    void emptyTable() {
        QCOMPARE(EndpointTable::copyText({}), QString());
        QCOMPARE(EndpointTable::csvBytes({}),
                 QByteArray("\xEF\xBB\xBF") + QStringLiteral("网址,种类,方法,函数,脚本,行\r\n").toUtf8());
    }
};

QTEST_APPLESS_MAIN(TestEndpointTable)
#include "tst_endpointtable.moc"
