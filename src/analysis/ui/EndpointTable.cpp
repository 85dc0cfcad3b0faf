#include "analysis/ui/EndpointTable.h"

namespace EndpointTable {

namespace {

QString csvField(QString s) {
    // Page code wrote these texts: none of them may run as a formula where the file is opened.
    if (!s.isEmpty() && QStringLiteral("=+-@").contains(s.front()))
        s.prepend(QLatin1Char('\''));
    if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char('\r')) ||
        s.contains(QLatin1Char('\n'))) {
        s.replace(QLatin1String("\""), QLatin1String("\"\""));
        s = QLatin1Char('"') + s + QLatin1Char('"');
    }
    return s;
}

} // namespace

QStringList headers() {
    return {QStringLiteral("网址"), QStringLiteral("种类"), QStringLiteral("方法"),
            QStringLiteral("函数"), QStringLiteral("脚本"), QStringLiteral("行")};
}

QString cell(const Decompose::Endpoint &e, int column) {
    switch (column) {
    case Address:
        return e.address;
    case Kind:
        return Decompose::kindLabel(e.kind);
    case Method:
        return e.method;
    case Function:
        return e.function;
    case Script:
        return QString::number(e.script);
    case Line:
        return QString::number(e.line);
    default:
        return QString();
    }
}

QString copyText(const QList<const Decompose::Endpoint *> &rows) {
    QString out;
    for (const Decompose::Endpoint *e : rows) {
        QStringList cells;
        for (int c = 0; c < ColumnCount; ++c)
            cells << Decompose::rowField(cell(*e, c));
        out += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

QByteArray csvBytes(const QList<const Decompose::Endpoint *> &rows) {
    QString text;
    QStringList fields;
    for (const QString &h : headers())
        fields << csvField(h);
    text += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    for (const Decompose::Endpoint *e : rows) {
        fields.clear();
        for (int c = 0; c < ColumnCount; ++c)
            fields << csvField(cell(*e, c));
        text += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace EndpointTable
