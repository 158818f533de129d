// Checks that a signed information file is intact, against the agent's
// public key or certificate. For the authority's side and for agents who
// want to see their file before sending it.

#include "exchange/Firma.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

bool lee(const QString& ruta, QByteArray* out) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "No se pudo leer %s: %s\n", qPrintable(ruta),
                     qPrintable(f.errorString()));
        return false;
    }
    *out = f.readAll();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr,
                     "Uso: %s <archivo de información firmado> <llave pública o certificado "
                     "del agente (PEM o DER)>\n",
                     qPrintable(args.value(0)));
        return 2;
    }
    QByteArray archivo, llave;
    if (!lee(args.at(1), &archivo) || !lee(args.at(2), &llave))
        return 2;
    const Verification v = verifySignature(archivo, llave);
    std::fprintf(v.intact ? stdout : stderr, "%s\n", qPrintable(v.message));
    return v.intact ? 0 : 1;
}
