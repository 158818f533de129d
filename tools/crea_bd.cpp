// Builds the kestro.mdb that is delivered with the program.
//   kestro_crea_bd [--si-no-existe] <carpeta-catalogos> <archivo.mdb>
#include "data/DeliveredDatabase.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool onlyIfMissing = args.removeAll(QStringLiteral("--si-no-existe")) > 0;
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "Uso: kestro_crea_bd [--si-no-existe] <carpeta-catalogos> <archivo.mdb>\n";
        return 2;
    }
    const QString& target = args[1];
    if (QFileInfo::exists(target)) {
        if (onlyIfMissing)
            return 0; // it may hold a user's work
        err << "El archivo " << target << " ya existe; no se reemplaza.\n";
        return 1;
    }
    if (MaybeError e = createDeliveredDatabase(target, args[0])) {
        err << "No se pudo crear " << target << ": " << e->message() << "\n";
        return 1;
    }
    return 0;
}
