// The fast normaliser against its rule list run literally, and its UTF-8 form against its text form.

#include "FuzzText.h"

#include "workbench/Normaliser.h"
#include "workbench/ReferenceNormaliser.h" // the yardstick kept with the tests

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzText in(data, size);
    const QString text = in.rest();
    const QString fast = NormaliseCodeText(text);
    FUZZ_CHECK(fast == ReferenceNormaliseCodeText(text));
    // Text that came from UTF-8 goes back to the same bytes, so both forms must agree.
    if (text.isValidUtf16())
        FUZZ_CHECK(NormaliseCodeUtf8(text.toUtf8()) == fast.toUtf8());
    return 0;
}
