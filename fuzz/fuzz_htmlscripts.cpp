// The page script listing over hostile markup: bytes are decoded as a page, then parsed.

#include "FuzzText.h"

#include "platform/page/PageEngine.h"
#include "platform/text/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString url = QStringLiteral("http://example.test/dir/page.htm");
    const QString html = TextCodec::decodeHtml(bytes).text;
    const PageDocument document = parseHtmlDocument(html, url);
    FUZZ_CHECK(document.url == url);
    // Every script element comes from a start tag of its own; nothing is made up or listed twice.
    FUZZ_CHECK(document.scripts.size() <= html.count(QLatin1String("<script"), Qt::CaseInsensitive));
    for (const ScriptElement &script : document.scripts)
        FUZZ_CHECK(script.text.size() <= html.size());
    return 0;
}
