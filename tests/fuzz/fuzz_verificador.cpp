// The signature check on arbitrary signed-file and key bytes: it answers,
// and says "intact" only of what a key really signed. The structure check
// reads the same bytes and places every finding on a line of the file.
#include "FuzzSupport.h"
#include "exchange/FileCheck.h"
#include "exchange/Signing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [key, file] = fuzz::splitInput(fuzz::bytesOf(data, size));
    const Verification v = verifySignature(file, key);
    if (v.message.isEmpty())
        abort();
    if (v.intact && !file.contains("800|1111111|1|\r\nFIRMA|"))
        abort();
    const qsizetype lines = file.count('\n') + 1;
    for (const Finding& f : checkStructure(file, CatalogueNames()).errors)
        if (f.line < 0 || f.line > lines || f.text.isEmpty())
            abort();
    return 0;
}
