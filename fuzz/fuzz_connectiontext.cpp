// The library's connection texts: any text parses, and any path and password come back from the texts the
// library builds exactly as they went in.

#include "FuzzText.h"

#include "library/ConnectionText.h"
#include "library/ModuleDataBase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzText in(data, size);
    const QString path = in.next();
    const QString password = in.next();
    const QString other = in.rest();

    DataAccess::ParseConnectionText(other);
    for (const QString &text : {ModuleDataBase::OpeningConnectionText(path, password),
                                ModuleDataBase::CompactionConnectionText(path, password)}) {
        const auto pairs = DataAccess::ParseConnectionText(text);
        FUZZ_CHECK(pairs.value(DataAccess::DataSourceKey) == path);
        FUZZ_CHECK(pairs.value(DataAccess::PasswordKey) == password);
    }
    return 0;
}
