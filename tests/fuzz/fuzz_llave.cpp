// The key loader and the signing, on arbitrary key bytes and passwords:
// every outcome is one of the result codes, and a signature is only ever
// appended after the content it signs.
#include "FuzzSupport.h"
#include "exchange/Signing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [clave, llave] = fuzz::splitInput(fuzz::bytesOf(data, size));
    const QString ruta = fuzz::writeScratch(QStringLiteral("PELJ700101AB1.key"), llave);
    static const QByteArray contenido = "501|3001|1111111||||||||3001\r\n"
                                        "AA|3001|JUAN|PEREZ|LOPEZ|R|PELJ700101HDFRPN09|470||||0\r\n"
                                        "800|1111111|1|\r\n";
    QByteArray firmado = contenido;
    Signer f{agentCurpOf(contenido), ruta.toUtf8(), clave};
    const int codigo = signContent(firmado, f);
    wipeSigner(f);
    if (codigo != SignedOk && codigo != InvalidKey && codigo != WrongPassword)
        abort();
    if ((codigo == SignedOk) != (firmado != contenido) || !firmado.startsWith(contenido))
        abort();
    return 0;
}
