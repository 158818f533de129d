// The signature check on arbitrary signed-file and key bytes: it answers,
// and says "intact" only of what a key really signed.
#include "FuzzSupport.h"
#include "exchange/Signing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [key, file] = fuzz::splitInput(fuzz::bytesOf(data, size));
    const Verification v = verifySignature(file, key);
    if (v.message.isEmpty())
        abort();
    if (v.intact && !file.contains("800|1111111|1|\r\nFIRMA|"))
        abort();
    return 0;
}
