#pragma once
// A large combined script text for benchmarks: header lines and ordinary browser script with CR LF
// breaks, tab indentation, comments, strings and some Chinese text, varied so no two blocks are equal.

#include <QRegularExpression>
#include <QString>
#include <QStringList>

inline QString MakeScriptCorpus(qsizetype targetChars) {
    static const char16_t *const blocks[] = {
        u"/* 工具函数：格式化日期 */\r\nfunction formatDate(d, fmt) {\r\n\tvar o = {\r\n\t\t\"M+\": "
        u"d.getMonth() + 1,"
        u"\r\n\t\t\"d+\": d.getDate()\r\n\t};\r\n\tfor (var k in o) {\r\n\t\tif (new RegExp(\"(\" + k + "
        u"\")\").test(fmt)) "
        u"{\r\n\t\t\tfmt = fmt.replace(RegExp.$1, o[k]);\r\n\t\t}\r\n\t}\r\n\treturn fmt;\r\n}\r\n",
        u"// 事件绑定\r\nwindow.onload = function () {\r\n    var items = "
        u"document.getElementsByTagName(\"li\");"
        u"\r\n    for (var i = 0; i < items.length; i++) {\r\n        items[i].onclick = function (e) { "
        u"showMenu(this, e); };\r\n    }\r\n};\r\n",
        u"var config  =  { url: \"http://example.com/api\", retry: 3, label: \"确定\" };\r\n\r\n"
        u"if (typeof jQuery != 'undefined') {\r\n\t$(document).ready(function () {\r\n\t\t$('#nav').show();"
        u"\r\n\t});\r\n} else {\r\n\talert ( \"缺少脚本库\" ) ;\r\n}\r\n",
        u"\r\n网址3[本地JS]：C:/site/js/menu.js\r\n/*\r\n * 菜单\r\n */\r\nfunction showMenu(el, ev) {\r\n\t"
        u"var x = ev.clientX, y = ev.clientY;\r\n\tel.style.left = x + \"px\";\r\n\tel.style.top = y + "
        u"\"px\";"
        u"\r\n\treturn false;\r\n}\r\n",
    };
    QString text;
    text.reserve(targetChars + 1024);
    int counter = 0;
    while (text.size() < targetChars) {
        for (const char16_t *block : blocks) {
            text += QString::fromUtf16(block);
            text += QStringLiteral("var v%1 = %2;\r\n").arg(counter).arg(counter * 7 % 1000);
            ++counter;
        }
    }
    text.truncate(targetChars);
    return text;
}

// The corpus cut at its header-like lines and put together again as a collection writes it, up to about
// `targetChars`: a header "网址N：http://h/js/N.js" before each piece, each body followed by CR LF; `entries`
// is the script list.
struct CombinedCorpus {
    QString text;
    QStringList entries;
};

inline CombinedCorpus MakeCombinedCorpus(qsizetype targetChars) {
    const QStringList pieces = MakeScriptCorpus(targetChars).split(
        QRegularExpression(QStringLiteral("\r\n网址\\d+\\[本地JS\\]：[^\r]*\r\n")));
    CombinedCorpus out;
    out.text.reserve(targetChars + 64 * pieces.size());
    for (int i = 0; i < pieces.size() && out.text.size() < targetChars; ++i) {
        const QString address = QStringLiteral("http://h/js/%1.js").arg(i);
        out.entries << address;
        out.text += QStringLiteral("网址%1：").arg(i) + address + QStringLiteral("\r\n") + pieces.at(i) +
                    QStringLiteral("\r\n");
    }
    return out;
}
