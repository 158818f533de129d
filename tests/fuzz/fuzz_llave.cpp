// The key loader and the signing, on arbitrary key bytes and passwords:
// every outcome is one of the result codes, and a signature is only ever
// appended after the content it signs.
#include "FuzzSupport.h"
#include "exchange/Signing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [password, key] = fuzz::splitInput(fuzz::bytesOf(data, size));
    const QString path = fuzz::writeScratch(QStringLiteral("PELJ700101AB1.key"), key);
    static const QByteArray content = "501|3001|1111111||||||||3001\r\n"
                                      "AA|3001|JUAN|PEREZ|LOPEZ|R|PELJ700101HDFRPN09|470||||0\r\n"
                                      "800|1111111|1|\r\n";
    QByteArray signedFile = content;
    Signer signer{agentCurpOf(content), path.toUtf8(), password};
    const int code = signContent(signedFile, signer);
    wipeSigner(signer);
    if (code != SignedOk && code != InvalidKey && code != WrongPassword &&
        code != UnsupportedKeyCipher)
        abort();
    if ((code == SignedOk) != (signedFile != content) || !signedFile.startsWith(content))
        abort();
    return 0;
}
