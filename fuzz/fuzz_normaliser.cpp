// The normaliser keeps what a script means: a script tree-sitter accepts is still accepted after it,
// with the same tree; normalising again changes nothing; the UTF-8 form agrees with the text form; and
// plain code comes out as the rule list, run literally, gives it.

#include "FuzzText.h"

#include "workbench/Normaliser.h"
#include "workbench/ReferenceNormaliser.h" // the yardstick kept with the tests
#include "workbench/SyntaxTree.h"

namespace {

// Code the literal rules cannot harm: no literals or comments, line breaks only after ";", "{" or "}".
bool isPlain(const QString &text) {
    QChar last;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n') {
            if (last != u';' && last != u'{' && last != u'}')
                return false;
            continue;
        }
        const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                        u == u' ' || u == u'\t' || u == u';' || u == u'{' || u == u'}' || u == u'(' ||
                        u == u')' || u == u'=' || u == u',' || u == u'+';
        if (!ok)
            return false;
        last = c;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzText in(data, size);
    NormaliseOptions options;
    options.indent = in.flag();
    const QString text = in.rest();
    const QString once = NormaliseCodeText(text, options);
    FUZZ_CHECK(NormaliseCodeText(once, options) == once);
    // Text that came from UTF-8 goes back to the same bytes, so both forms must agree.
    if (text.isValidUtf16())
        FUZZ_CHECK(NormaliseCodeUtf8(text.toUtf8(), options) == once.toUtf8());
    if (!options.indent && isPlain(text))
        FUZZ_CHECK(once == ReferenceNormaliseCodeText(text));
    const SyntaxTree before = SyntaxTreeOf(text);
    if (before.accepted) {
        const SyntaxTree after = SyntaxTreeOf(once);
        FUZZ_CHECK(after.accepted);
        FUZZ_CHECK(after.shape == before.shape);
    }
    return 0;
}
