// The verifier's command line from arbitrary arguments (NUL-separated):
// every reading ends in one action, a refusal always shows the usage, and
// a summary is never written over a file read.
#include "FuzzSupport.h"
#include "exchange/VerifierCommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApplication();
    QStringList arguments{QStringLiteral("kestro_verifica_firma")};
    for (const QByteArray& a : fuzz::bytesOf(data, size).split('\0'))
        arguments << QString::fromUtf8(a);
    const VerifierCommand c = readVerifierCommand(arguments);
    if (c.action == VerifierCommand::Action::Refused && !c.text.contains(QStringLiteral("Uso: ")))
        abort();
    if (c.action == VerifierCommand::Action::Check) {
        if (c.files.isEmpty() || (!c.summary.isEmpty() && c.files.size() != 1))
            abort();
        for (const QString& f : c.files + QStringList{c.key})
            if (!c.summary.isEmpty() && sameFile(f, c.summary))
                abort();
    }
    return 0;
}
