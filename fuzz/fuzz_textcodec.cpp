// Decoding bytes of any kind with any declared charset; what comes out survives a round trip through UTF-8.

#include "FuzzText.h"

#include "platform/text/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string label = provider.ConsumeRandomLengthString(40);
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QByteArray declared = QByteArray::fromStdString(label);
    const QByteArray bytes = QByteArray::fromStdString(rest);

    TextCodec::canonicalCharset(declared);
    TextCodec::charsetFromContentType(declared);
    TextCodec::charsetFromHtml(bytes);
    const TextCodec::Decoded plain = TextCodec::decode(bytes, declared);
    const TextCodec::Decoded page = TextCodec::decodeHtml(bytes, declared);
    FUZZ_CHECK(!plain.encoding.isEmpty() && !page.encoding.isEmpty());

    // Written as UTF-8 with a BOM, the decoded text reads back unchanged.
    if (plain.text.isValidUtf16()) {
        const QByteArray utf8 = TextCodec::encode(plain.text, "UTF-8", true);
        FUZZ_CHECK(TextCodec::decode(utf8).text == plain.text);
    }
    // Written back in the encoding it was read with, the text is encoded without a crash.
    TextCodec::encode(plain.text, plain.encoding, plain.bom);
    return 0;
}
