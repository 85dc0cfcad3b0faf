// Address resolution, "javascript:" link extraction and file names over hostile texts.

#include "FuzzText.h"

#include "util/Module1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzText in(data, size);
    const QString address = in.next();
    const QString page = in.next();
    const QString script = in.rest();

    Module1::ResolveScriptAddress(address, page);

    // The link routine reads the program-wide script text and keeps a one-entry memo of its last lookup.
    Module1::LinkScriptText = script;
    Module1::LastLinkFunction.clear();
    Module1::LastLinkPrefix.clear();
    const QString first = Module1::ResolveScriptLink(address, page);
    FUZZ_CHECK(Module1::ResolveScriptLink(address, page) == first); // the memo changes nothing
    Module1::FindWindowOpenPrefix(script, address);

    const QString safe = Module1::ToSafeFileName(address);
    FUZZ_CHECK(safe.toUtf8().size() <= 255);
    for (const QChar c : u"\\/:*?\"<>|\r\n")
        FUZZ_CHECK(!safe.contains(c));
    FUZZ_CHECK(!safe.contains(QChar(0)));

    QString extension;
    const QString name = Module1::SplitFileName(address, false, extension);
    FUZZ_CHECK(extension.size() <= 5);
    QString again;
    const QString stem = Module1::SplitFileName(address, true, again);
    FUZZ_CHECK(again == extension);
    FUZZ_CHECK(stem.size() <= name.size());
    return 0;
}
