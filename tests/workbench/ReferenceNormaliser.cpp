#include "ReferenceNormaliser.h"

QString ReferenceNormaliseCodeText(const QString &text) {
    const QString sp = QStringLiteral(" ");
    const QString crlf = QStringLiteral("\r\n");
    QString s = text;
    s.replace(crlf, sp);         // 1
    s.replace(QChar(u'\r'), sp); // 2
    s.replace(QChar(u'\n'), sp); // 3
    s.replace(QChar(u'\0'), sp); // 4
    s.replace(QChar(u'\t'), sp); // 5
    do {                         // 6: replace, then search again
        s.replace(QStringLiteral("  "), sp);
    } while (s.indexOf(QStringLiteral("  ")) >= 0);
    s.replace(QStringLiteral("; "), QStringLiteral(";"));      // 7
    s.replace(QStringLiteral(" ;"), QStringLiteral(";"));      // 8
    s.replace(QStringLiteral(";"), QStringLiteral(";\r\n"));   // 9
    s.replace(QStringLiteral(" {"), QStringLiteral("{"));      // 10
    s.replace(QStringLiteral("{ "), QStringLiteral("{"));      // 11
    s.replace(QStringLiteral("{"), QStringLiteral("{\r\n"));   // 12
    s.replace(QStringLiteral(" }"), QStringLiteral("}"));      // 13
    s.replace(QStringLiteral("} "), QStringLiteral("}"));      // 14
    s.replace(QStringLiteral("}"), QStringLiteral("}\r\n"));   // 15
    s.replace(QStringLiteral("}"), QStringLiteral("}\r\n"));   // 16
    s.replace(QStringLiteral("*/ "), QStringLiteral("*/"));    // 17
    s.replace(QStringLiteral("*/"), QStringLiteral("*/\r\n")); // 18
    s.replace(QStringLiteral(" ("), QStringLiteral("("));      // 19
    return s;
}
