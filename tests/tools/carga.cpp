// Heavy writing for the interruption tests: a test starts this, kills it
// at a random moment and checks that the database holds what was there
// before or after a write, never a mix.
//   kestro_carga guarda <kestro.mdb> <veces>   saves the agent's page 1
//       over and over, all fields of one save marked "A" or "B" in turn
#include "data/AgentStore.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

AgentRecord agentMarked(const QString& m) {
    StoredAddress a{
        QStringLiteral("09"), QStringLiteral(" 15"), m, m, m, m, QStringLiteral("06000"), m, m};
    AgentRecord p;
    p.patente = QStringLiteral("3001");
    p.curp = QStringLiteral("PELJ700101HDFRPN09");
    p.rfc = QStringLiteral("PELJ700101AB1");
    p.nombre = p.apPaterno = p.apMaterno = m.repeated(50);
    p.autorizacion = QStringLiteral("0");
    p.adscripcionKey = QStringLiteral(" 470");
    p.fiscal = p.oirR = p.v0 = a;
    return p;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || args.at(1) != QLatin1String("guarda")) {
        std::fputs("Uso: kestro_carga guarda <kestro.mdb> <veces>\n", stderr);
        return 2;
    }
    Database::Opened opened = Database::openFile(args.at(2));
    if (!opened) {
        std::fprintf(stderr, "%s\n", opened.why().toUtf8().constData());
        return 2;
    }
    auto db = std::move(opened.value);
    const int times = args.at(3).toInt();
    for (int i = 0; i < times; ++i)
        if (MaybeError e =
                saveAgent(*db, agentMarked(i % 2 ? QStringLiteral("B") : QStringLiteral("A"))))
            return 1;
    return 0;
}
