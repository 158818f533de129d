// The jobs of the program the benchmark times from inside, as the running
// program does them: the database is already open (start-up opened it), the
// clock runs while the job works.
//   bench_trabajos archivo <carpeta_de_datos> <patente> (and the check before the key)
//   bench_trabajos copias <carpeta_de_datos> <patente>
//   bench_trabajos importa <kestro.mdb de 3.0> <Recupera.txt>
//   bench_trabajos paginas <carpeta_de_datos>
//   bench_trabajos limite <archivo firmado> <llave pública> (the verifier's work on it)
// Each prints "<medida>_ms <valor>" lines and ends with 0 when the job
// succeeded.
#include "PeakMemory.h"
#include "data/Database.h"
#include "data/PlainFile.h"
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "exchange/DumpImport.h"
#include "exchange/EnvioStage.h"
#include "exchange/FileCheck.h"
#include "exchange/InformationFile.h"
#include "exchange/PreKeyCheck.h"
#include "exchange/Signing.h"
#include "report/SummaryText.h"
#include "wizard/AgentHistoryPage.h"
#include "wizard/AgentPage.h"
#include "wizard/OfficesPage.h"
#include "wizard/RepresentativeHistoryPage.h"
#include "wizard/RepresentativesPage.h"
#include "wizard/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableWidget>
#include <cstdio>

namespace {

int fail(const QString& why) {
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 1;
}

void print(const char* name, const QElapsedTimer& t) {
    std::printf("%s %.3f\n", name, t.nsecsElapsed() / 1e6);
}

// The file alone, placed in ENVIO as the generation places it.
int informationFile(const QString& dataDir, const QString& patente) {
    Database::Opened opened = Database::open(dataDir);
    if (!opened)
        return fail(opened.why());
    auto db = std::move(opened.value);
    QElapsedTimer t;
    t.start();
    const auto content = buildInformationFile(*db, patente);
    if (!content)
        return fail(content.why());
    const QString envio = envioFolder(dataDir);
    QDir().mkpath(envio);
    EnvioStage stage(envio);
    MaybeError e =
        stage.add(QFileInfo(informationFilePath(dataDir, patente)).fileName(), content->bytes);
    if (!e)
        e = stage.commit();
    if (e)
        return fail(e->message());
    print("archivo_ms", t);
    // The whole check before the key, as "Finaliza" runs it: the
    // catalogues read, the file built and checked, the requirements seen.
    t.start();
    const Fallible<CatalogueNames> names = CatalogueNames::read(*db);
    if (!names)
        return fail(names.why());
    const Fallible<PreKeyCheck> checked = checkBeforeKey(*db, patente, names.value);
    if (!checked)
        return fail(checked.why());
    print("revision_ms", t);
    std::printf("memoria_mb %.1f\n", peakMemoryMb());
    return 0;
}

// The copies of the requirement files that travel with the file, as the
// generation makes them.
int copies(const QString& dataDir, const QString& patente) {
    Database::Opened opened = Database::open(dataDir);
    if (!opened)
        return fail(opened.why());
    auto db = std::move(opened.value);
    const auto content = buildInformationFile(*db, patente);
    if (!content)
        return fail(content.why());
    const QString envio = envioFolder(dataDir);
    QDir().mkpath(envio);
    QElapsedTimer t;
    t.start();
    EnvioStage stage(envio);
    for (const RequirementFile& r : content->requirements)
        if (MaybeError e = stage.addCopy(r.path, QFileInfo(r.path).fileName()))
            return fail(e->message());
    if (MaybeError e = stage.commit())
        return fail(e->message());
    print("copias_ms", t);
    return 0;
}

int import(const QString& mdb, const QString& dump) {
    Database::Opened opened = Database::openFile(mdb);
    if (!opened)
        return fail(opened.why());
    auto db = std::move(opened.value);
    QElapsedTimer t;
    t.start();
    if (MaybeError e = importDump(*db, dump))
        return fail(e->message());
    print("importacion_ms", t);
    return 0;
}

// Shows one page of the window alone, as the wizard does.
void showOnly(frmMain& w, const QWidget* page) {
    for (QWidget* p : {static_cast<QWidget*>(w.findChild<AgentPage*>()),
                       static_cast<QWidget*>(w.findChild<OfficesPage*>()),
                       static_cast<QWidget*>(w.findChild<RepresentativesPage*>()),
                       static_cast<QWidget*>(w.findChild<AgentHistoryPage*>()),
                       static_cast<QWidget*>(w.findChild<RepresentativeHistoryPage*>())})
        p->setVisible(p == page);
    QCoreApplication::processEvents();
}

// Page 3 filled again and the representative in the middle shown, painted;
// then page 5's list rebuilt and painted.
int pages(const QString& dataDir) {
    seam::Script quiet;
    AppState state;
    state.dataDir = dataDir;
    state.dumpToolDir = dataDir;
    state.previousVersionDir = QDir(dataDir).filePath(QStringLiteral("sin-version-anterior"));
    frmMain w(state);
    if (!w.startUp())
        return fail(QStringLiteral("no arrancó"));
    w.show();
    // The lists as the start leaves them once they have been read.
    w.findChild<RepresentativesPage*>()->fillDeferredList();
    w.findChild<RepresentativeHistoryPage*>()->fillDeferredList();
    auto* list = w.findChild<QTableWidget*>(QStringLiteral("fgAA"));
    auto* street = w.findChild<QLineEdit*>(QStringLiteral("txtApRCalle"));

    auto* page3 = w.findChild<RepresentativesPage*>();
    showOnly(w, page3);
    QElapsedTimer t;
    t.start();
    if (MaybeError e = page3->Llena_Mandatarios())
        return fail(e->message());
    list->setCurrentCell(list->rowCount() / 2, 0);
    w.repaint();
    print("pagina3_ms", t);
    if (street->text().isEmpty())
        return fail(QStringLiteral("la página 3 no mostró el domicilio del representante"));

    auto* page5 = w.findChild<RepresentativeHistoryPage*>();
    showOnly(w, page5);
    t.start();
    if (MaybeError e = page5->Llena_Hist_Mandatarios())
        return fail(e->message());
    w.repaint();
    print("pagina5_ms", t);
    return 0;
}

// What the verifier does with one file from anyone: read it within the
// limit, check the signature and the structure, and build its summary.
int atTheLimit(const QString& file, const QString& keyPath) {
    QByteArray bytes, key;
    if (PlainFile::read(keyPath, MaxKeyFileSize, PlainFile::Links::Follow, &key).fault !=
        PlainFile::Fault::None)
        return fail(QStringLiteral("no se pudo leer la llave"));
    QElapsedTimer t;
    t.start();
    if (const PlainFile::Opened o =
            PlainFile::read(file, MaxCheckedFileSize, PlainFile::Links::Follow, &bytes);
        o.fault != PlainFile::Fault::None)
        return fail(o.why);
    const Verification v = verifySignature(bytes, key);
    const StructureReport report = checkStructure(bytes, CatalogueNames(), MaxFindingsShown);
    print("verifica_ms", t);
    t.start();
    const QList<SummaryLine> summary = summaryLines(bytes, {v.intact, v.message}, CatalogueNames());
    print("resumen_ms", t);
    std::printf("memoria_mb %.1f\n", peakMemoryMb());
    return v.intact && !summary.isEmpty() && report.errorCount() >= 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // Only the pages need windows; the file and the import run without them.
    const bool windows = argc > 1 && qstrcmp(argv[1], "paginas") == 0;
    const std::unique_ptr<QCoreApplication> app(windows ? new QApplication(argc, argv)
                                                        : new QCoreApplication(argc, argv));
    const QStringList a = QCoreApplication::arguments();
    if (a.size() == 4 && a[1] == QLatin1String("archivo"))
        return informationFile(a[2], a[3]);
    if (a.size() == 4 && a[1] == QLatin1String("copias"))
        return copies(a[2], a[3]);
    if (a.size() == 4 && a[1] == QLatin1String("importa"))
        return import(a[2], a[3]);
    if (a.size() == 3 && a[1] == QLatin1String("paginas"))
        return pages(a[2]);
    if (a.size() == 4 && a[1] == QLatin1String("limite"))
        return atTheLimit(a[2], a[3]);
    return fail(QStringLiteral("uso: bench_trabajos archivo|copias|importa|paginas|limite ..."));
}
