// How long the agent waits: start-up of the main window over the delivered
// database with a stored agent, and building the information file for an
// office with many representatives.
//   bench_arranque [representantes]
#include "entry/Seam.h"
#include "exchange/ArchivoInformacion.h"
#include "support/TestSupport.h"
#include "wizard/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>

namespace {

void storeOffice(Database& db, int representatives) {
    inTransaction(db, [&]() -> MaybeError {
        db.exec(QStringLiteral("insert into AA values (3001,'JUAN','PEREZ','LOPEZ',"
                               "'PELJ700101AB1','PELJ700101HDFRPN09',0,470,240,430,160,3,0)"));
        for (int t = 1; t <= 6; ++t)
            db.exec(QStringLiteral("insert into Domicilios_AA values (?,'20',5,'REFORMA','10','',"
                                   "'CENTRO','68000','1','2')"),
                    {t});
        for (int i = 0; i < representatives; ++i) {
            const QString curp = QStringLiteral("GAMR800202MDF%1").arg(i, 5, 10, QLatin1Char('0'));
            db.exec(QStringLiteral("insert into Mandatarios values (?,'GAMR800202XY2','ROSA',"
                                   "'GARCIA','MARTINEZ',?,'',0,1,0)"),
                    {curp, 1 + i % 2});
            for (int t = 1; t <= 2; ++t)
                db.exec(QStringLiteral("insert into Domicilios_MM values (?,'09',15,'JUAREZ','5',"
                                       "'A','CENTRO','06000','1','2',?)"),
                        {curp, t});
            db.exec(QStringLiteral("insert into Pedimentos_MM values (?,470,'123','2003-05-20')"),
                    {curp});
        }
        return std::nullopt;
    });
}

template <class F> double bestOf(int runs, F&& f) {
    double best = 1e18;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int representatives = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    ProgramDir dir;
    storeOffice(*dir.open(), representatives);
    seam::Script quiet;
    AppState state;
    state.dataDir = dir.path();
    state.previousVersionDir = dir.path();

    const double startUp = bestOf(5, [&] {
        frmMain w(state);
        w.startUp();
    });
    auto db = dir.open();
    const double file = bestOf(5, [&] {
        QString why;
        buildInformationFile(*db, QStringLiteral("3001"), &why);
    });
    QTextStream(stdout) << "arranque con " << representatives << " representantes: " << startUp
                        << " ms\narchivo de información: " << file << " ms\n";
    return 0;
}
