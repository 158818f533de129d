// The benchmark: the program's main jobs against the tools a user would
// compare them with, each side timed in the same run, median of several.
//   kestro_bench [--corridas N] [--tamanos 100,1000,10000] [--carpeta DIR]
#include "Office.h"
#include "Process.h"
#include "data/Database.h"
#include "exchange/FileCheck.h"
#include "exchange/Signing.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <functional>
#include <unistd.h>

namespace {

QTextStream out(stdout);

[[noreturn]] void stop(const QString& why) {
    QTextStream(stderr) << "kestro_bench: " << why << "\n";
    std::exit(1);
}

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Goal {
    enum Kind { None, Ratio, Milliseconds, Megabytes } kind = None;
    double limit = 0;
};

struct Line {
    QString scenario;
    double ours;
    double anchor; // NaN when the scenario has no anchor, only a goal
    QString anchorName;
    Goal goal;
    QString unit = QStringLiteral("ms");
};

QList<Line> lines;

QString number(double v, const QString& unit) {
    return QStringLiteral("%1 %2").arg(v, 0, 'f', v < 10 ? 1 : 0).arg(unit);
}

bool met(const Line& l) {
    switch (l.goal.kind) {
    case Goal::Ratio:
        return l.ours / l.anchor <= l.goal.limit;
    case Goal::Milliseconds:
    case Goal::Megabytes:
        return l.ours <= l.goal.limit;
    case Goal::None:
        break;
    }
    return true;
}

QString goalText(const Goal& g) {
    switch (g.kind) {
    case Goal::Ratio:
        return QStringLiteral("≤ %1×").arg(g.limit);
    case Goal::Milliseconds:
        return QStringLiteral("≤ %1 ms").arg(g.limit);
    case Goal::Megabytes:
        return QStringLiteral("≤ %1 MB").arg(g.limit);
    case Goal::None:
        break;
    }
    return QStringLiteral("—");
}

void printTable() {
    out << "| Escenario | KESTRO | Referencia | Razón | Meta | Cumple |\n"
        << "|---|---:|---:|---:|---|---|\n";
    for (const Line& l : lines) {
        const bool anchored = !std::isnan(l.anchor);
        out << "| " << l.scenario << " | " << number(l.ours, l.unit) << " | "
            << (anchored ? number(l.anchor, l.unit) + " (" + l.anchorName + ")" : QString("—"))
            << " | " << (anchored ? QString::number(l.ours / l.anchor, 'f', 2) + "×" : QString("—"))
            << " | " << goalText(l.goal) << " | "
            << (l.goal.kind == Goal::None ? QString("—")
                : met(l)                  ? QString("sí")
                                          : QString("no"))
            << " |\n";
    }
    out.flush();
}

QString firstLineOf(const QString& path, const QString& key) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key.toLatin1()))
            return QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
    return QString();
}

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(f.readAll()).section(u' ', 0, 2);
}

void printMachine(int runs, const QString& load) {
    const double memGb = firstLineOf(QStringLiteral("/proc/meminfo"), QStringLiteral("MemTotal"))
                             .section(u' ', 0, 0)
                             .toDouble() /
                         1024 / 1024;
    out << "Máquina: " << QThread::idealThreadCount() << " núcleos ("
        << firstLineOf(QStringLiteral("/proc/cpuinfo"), QStringLiteral("model name")) << "), "
        << QString::number(memGb, 'f', 1) << " GB de memoria; carga (1, 5, 15 min) " << load
        << "; mediana de " << runs << " corridas.\n\n";
    out.flush();
}

// Everything the scenarios run, and where they leave their work.
struct Bench {
    QString binDir, work, errorLog, emptyV30;
    int runs = 5;

    QString program(const char* name) const { return QDir(binDir).filePath(QLatin1String(name)); }

    Finished mustRun(Launch l) const {
        l.errorLog = errorLog;
        const Finished f = run(l);
        if (!f.ok)
            stop(QStringLiteral("falló %1 (vea %2)").arg(l.argv.join(u' '), errorLog));
        return f;
    }

    QString workFile(const QString& name) const { return QDir(work).filePath(name); }
};

// Ours and the anchor in turns, so both meet the same load; medians.
std::pair<double, double> inTurns(int runs, const std::function<double()>& ours,
                                  const std::function<double()>& anchor) {
    QList<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a << ours();
        b << anchor();
    }
    return {median(a), median(b)};
}

QString withSize(const char* scenario, int n) {
    return QStringLiteral("%1, %2 repr.").arg(QString::fromUtf8(scenario)).arg(n);
}

// Lets the disk write out what earlier steps left pending, so that it does
// not slow down the next measurement.
void settle() {
    ::sync();
}

void writeText(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0)
        stop(QStringLiteral("no se pudo escribir %1").arg(path));
}

QString sqliteDumpScript(const QString& output) {
    const QString p = QString::fromLatin1(OfficePatent);
    return QStringLiteral(
               ".headers off\n.mode list\n.separator | \"\\r\\n\"\n.output '%1'\n"
               "select '501|%2|1111111||||||||%2';\n"
               "select 'Paq_Version|KESTRO|3.5.0';\n"
               "select 'AA','%2',Nombre,ApPaterno,ApMaterno,RFC,CURP,Adscripcion,Aduana1,"
               "Aduana2,Aduana3,NoAduanasAut from AA;\n"
               "select 'Domicilios_AA','%2',Tipo_Dom,EntFed,MDeleg,Calle,NoExt,NoInt,Colonia,CP,"
               "Telefono,Fax from Domicilios_AA;\n"
               "select 'Mandatarios','%2',CURP,RFC,Nombre,ApPaterno,ApMaterno,Mandato,"
               "Acreditacion,Operando from Mandatarios;\n"
               "select 'Domicilios_MM','%2',CURP,EntFed,MDeleg,Calle,NoExt,NoInt,Colonia,CP,"
               "Telefono,Fax,Tipo_Dom from Domicilios_MM;\n"
               "select 'Aduanas_MM','%2',CURP,NoAduana from Aduanas_MM;\n"
               "select 'Pedimentos_MM','%2',CURP,NoAduana,NoPedimento,FechPedimento "
               "from Pedimentos_MM;\n"
               "select 'Historico_AA','%2',RFC,CURP,Nombre,ApPaterno,ApMaterno from Historico_AA;\n"
               "select 'Periodos_H_AA','%2',CURP,NoAduana,FechaIni,FechaFin from Periodos_H_AA;\n"
               "select 'Periodos_H_MM','%2',CURP,NoAduana,Patente_MM,FechaIni,FechaFin "
               "from Periodos_H_MM;\n"
               "select '800|1111111|1|';\n")
        .arg(output, p);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Empties a folder of its files, so every run and every copy starts from
// nothing (a generation moves whatever it finds in ENVIO aside).
void emptyFolder(const QString& path) {
    QDir d(path);
    d.mkpath(QStringLiteral("."));
    for (const QString& f : d.entryList(QDir::Files | QDir::Hidden))
        d.remove(f);
}

void informationFile(const Bench& b, const Office& o, double* peakMb) {
    const QString ours = QDir(o.dataDir).filePath(QStringLiteral("ENVIO/%1.txt").arg(OfficePatent));
    const QString theirs = b.workFile(QStringLiteral("sqlite3-%1.txt").arg(OfficePatent));
    const QString script = b.workFile(QStringLiteral("volcado.sql"));
    writeText(script, sqliteDumpScript(theirs));
    const QString mdb = QDir(o.dataDir).filePath(QString::fromLatin1(Database::FileName));
    QList<double> checks;
    const auto [mine, anchor] = inTurns(
        b.runs,
        [&] {
            emptyFolder(QFileInfo(ours).path());
            const Finished f = b.mustRun({{b.program("bench_trabajos"), QStringLiteral("archivo"),
                                           o.dataDir, QString::fromLatin1(OfficePatent)}});
            *peakMb = std::max(*peakMb, valueOf(f.output, "memoria_mb"));
            checks << valueOf(f.output, "revision_ms");
            return valueOf(f.output, "archivo_ms");
        },
        [&] {
            QFile::remove(theirs);
            return b.mustRun({{QStringLiteral("sqlite3"), mdb}, script}).ms;
        });
    // Both sides must have done the same work.
    if (readAll(ours) != readAll(theirs))
        stop(QStringLiteral("el archivo de información %1 no es igual al volcado de sqlite3 %2")
                 .arg(ours, theirs));
    lines << Line{withSize("Archivo de información", o.representatives), mine, anchor,
                  QStringLiteral("sqlite3"),
                  o.representatives == 10000 ? Goal{Goal::Ratio, 1.5} : Goal{}};
    Goal g;
    if (o.representatives == 1000)
        g = {Goal::Milliseconds, 50};
    else if (o.representatives == 10000)
        g = {Goal::Milliseconds, 500};
    lines << Line{withSize("Revisión completa antes de la llave", o.representatives),
                  median(checks), std::nan(""), QString(), g};
}

// The authority's side: a thousand signed files of this office checked by
// one run of the verifier (signature and structure), against sha256sum
// reading and hashing the same files.
void verification(const Bench& b, const Office& o) {
    QByteArray content =
        readAll(QDir(o.dataDir).filePath(QStringLiteral("ENVIO/%1.txt").arg(OfficePatent)));
    const Signer signer{agentCurpOf(content), QByteArray(KESTRO_KEYS "/rsa.key"), "clave"};
    if (signContent(content, signer) != SignedOk)
        stop(QStringLiteral("no se pudo firmar con la llave de pruebas"));
    const QString folder = b.workFile(QStringLiteral("verificacion"));
    QDir().mkpath(folder);
    QStringList files;
    for (int i = 0; i < 1000; ++i) {
        files << QDir(folder).filePath(QStringLiteral("%1.txt").arg(i));
        QFile f(files.last());
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            stop(QStringLiteral("no se pudo escribir %1").arg(files.last()));
    }
    settle();
    const auto [mine, anchor] = inTurns(
        b.runs,
        [&] {
            // The office passed the check before the key: every file is
            // correct, and any other exit is a fault of the verifier.
            return b
                .mustRun({QStringList{QStringLiteral(KESTRO_VERIFICA_FIRMA)} + files +
                          QStringList{QStringLiteral(KESTRO_KEYS "/rsa.cer")}})
                .ms;
        },
        [&] { return b.mustRun({QStringList{QStringLiteral("sha256sum")} + files}).ms; });
    lines << Line{withSize("Verificación de 1000 archivos firmados", o.representatives), mine,
                  anchor, QStringLiteral("sha256sum"), Goal{Goal::Ratio, 5}};
}

// A signed file at the verifier's size limit, of two kinds: the office's
// own records repeated until it is full (every one a finding past the
// first), and the shortest records that are still kept, the most a file
// can cost. Time and peak memory of the verifier's work on each.
void atTheLimit(const Bench& b, const Office& o) {
    // The office's own file, written again: the copies' scenario empties ENVIO.
    const QString ownPath =
        QDir(o.dataDir).filePath(QStringLiteral("ENVIO/%1.txt").arg(OfficePatent));
    emptyFolder(QFileInfo(ownPath).path());
    b.mustRun({{b.program("bench_trabajos"), QStringLiteral("archivo"), o.dataDir,
                QString::fromLatin1(OfficePatent)}});
    const QByteArray own = readAll(ownPath);
    const QByteArray end = "800|1111111|1|\r\n";
    if (!own.endsWith(end) || !own.contains("\nAA|"))
        stop(QStringLiteral("%1 no es el archivo de la oficina").arg(ownPath));
    const QByteArray body = own.chopped(end.size());
    const qsizetype room = MaxCheckedFileSize - 4096; // the signature record's
    const QByteArray records = body.sliced(body.indexOf("\nAA|") + 1);
    QByteArray repeated = body, shortest = body.first(body.indexOf("\nAA|") + 1);
    while (repeated.size() + records.size() + end.size() < room)
        repeated += records;
    shortest += QByteArray("AA|\r\n").repeated((room - shortest.size() - end.size()) / 5);
    for (const auto& [name, content] : {std::pair{"registros de la oficina", repeated + end},
                                        std::pair{"registros mínimos", shortest + end}}) {
        QByteArray signedFile = content;
        const Signer signer{agentCurpOf(signedFile), QByteArray(KESTRO_KEYS "/rsa.key"), "clave"};
        if (signContent(signedFile, signer) != SignedOk || signedFile.size() > MaxCheckedFileSize)
            stop(QStringLiteral("no se pudo firmar el archivo en el límite"));
        const QString file = b.workFile(QStringLiteral("limite.txt"));
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(signedFile) != signedFile.size())
            stop(QStringLiteral("no se pudo escribir %1").arg(file));
        f.close();
        QList<double> check, summary, memory;
        for (int i = 0; i < b.runs; ++i) {
            const Finished r = b.mustRun({{b.program("bench_trabajos"), QStringLiteral("limite"),
                                           file, QStringLiteral(KESTRO_KEYS "/rsa.cer")}});
            check << valueOf(r.output, "verifica_ms");
            summary << valueOf(r.output, "resumen_ms");
            memory << valueOf(r.output, "memoria_mb");
        }
        const QString what = QStringLiteral(" de 16 MiB, %1").arg(QString::fromUtf8(name));
        const double none = std::nan("");
        lines << Line{QStringLiteral("Verificación") + what, median(check), none, QString(), {}};
        lines << Line{QStringLiteral("Resumen") + what, median(summary), none, QString(), {}};
        lines << Line{QStringLiteral("Memoria máxima de ambos") + what,
                      median(memory),
                      none,
                      QString(),
                      {},
                      QStringLiteral("MB")};
    }
}

void copies(const Bench& b, const Office& o) {
    const QString envio = QDir(o.dataDir).filePath(QStringLiteral("ENVIO"));
    const QString theirs = b.workFile(QStringLiteral("cp"));
    const auto [mine, anchor] = inTurns(
        b.runs,
        [&] {
            emptyFolder(envio);
            return valueOf(b.mustRun({{b.program("bench_trabajos"), QStringLiteral("copias"),
                                       o.dataDir, QString::fromLatin1(OfficePatent)}})
                               .output,
                           "copias_ms");
        },
        [&] {
            emptyFolder(theirs);
            return b.mustRun({QStringList{QStringLiteral("cp")} << o.requirements << theirs}).ms;
        });
    if (QDir(envio).entryList(QDir::Files).size() != o.requirements.size())
        stop(QStringLiteral("la copia de requerimientos no dejó los %1 archivos en %2")
                 .arg(o.requirements.size())
                 .arg(envio));
    lines << Line{withSize("Copias de requerimientos", o.representatives), mine, anchor,
                  QStringLiteral("cp"), o.representatives == 10000 ? Goal{Goal::Ratio, 2} : Goal{}};
}

QString importScript(const Office& o) {
    QString s = QStringLiteral(".mode list\n.separator |\nbegin;\n");
    for (const QString& t : o.importedTables)
        s += QStringLiteral(".import '%1' %2\n")
                 .arg(QDir(o.importTables).filePath(t + QStringLiteral(".txt")), t);
    return s + QStringLiteral("commit;\n");
}

// Rows per imported table, to see that both imports stored the same.
QString rowCounts(const QString& mdb, const QStringList& tables) {
    Database::Opened opened = Database::openFile(mdb);
    if (!opened)
        stop(opened.why());
    auto db = std::move(opened.value);
    QStringList counts;
    for (const QString& t : tables)
        counts << QStringLiteral("%1=%2").arg(t).arg(
            db->select(QStringLiteral("select count(*) from %1").arg(t)).first().value(0).toInt());
    return counts.join(u' ');
}

void freshCopy(const QString& from, const QString& to) {
    QFile::remove(to);
    if (!QFile::copy(from, to))
        stop(QStringLiteral("no se pudo copiar %1 a %2").arg(from, to));
}

void import(const Bench& b, const Office& o) {
    const QString ours = b.workFile(QStringLiteral("importa-kestro.mdb"));
    const QString theirs = b.workFile(QStringLiteral("importa-sqlite3.mdb"));
    const QString script = b.workFile(QStringLiteral("importa.sql"));
    writeText(script, importScript(o));
    const auto [mine, anchor] = inTurns(
        b.runs,
        [&] {
            freshCopy(b.emptyV30, ours);
            return valueOf(
                b.mustRun({{b.program("bench_trabajos"), QStringLiteral("importa"), ours, o.dump}})
                    .output,
                "importacion_ms");
        },
        [&] {
            freshCopy(b.emptyV30, theirs);
            return b.mustRun({{QStringLiteral("sqlite3"), QStringLiteral("-bail"), theirs}, script})
                .ms;
        });
    const QString counted = rowCounts(ours, o.importedTables);
    if (counted != rowCounts(theirs, o.importedTables))
        stop(QStringLiteral("las dos importaciones no guardaron las mismas filas: %1 / %2")
                 .arg(counted, rowCounts(theirs, o.importedTables)));
    lines << Line{withSize("Importación", o.representatives), mine, anchor,
                  QStringLiteral("sqlite3 .import"),
                  o.representatives == 10000 ? Goal{Goal::Ratio, 2} : Goal{}};
}

// A program started by the benchmark, up to its first paint.
Finished firstPaint(const Bench& b, const QStringList& argv) {
    Launch l{argv};
    l.startTime = true;
    return b.mustRun(l);
}

double oneLineWindow(const Bench& b) {
    return valueOf(firstPaint(b, {b.program("bench_una_linea")}).output, "primer_pintado_ms");
}

void startUp(const Bench& b, const Office& o, double* peakMb) {
    const auto [mine, anchor] = inTurns(
        b.runs,
        [&] {
            const Finished f = firstPaint(b, {b.program("bench_arranque"), o.dataDir});
            *peakMb = std::max(*peakMb, valueOf(f.output, "memoria_mb"));
            return valueOf(f.output, "primer_pintado_ms");
        },
        [&] { return oneLineWindow(b); });
    Goal g;
    if (o.representatives == 1000)
        g = {Goal::Ratio, 1.5};
    else if (o.representatives == 10000)
        g = {Goal::Ratio, 2};
    lines << Line{withSize("Arranque hasta el primer pintado", o.representatives), mine, anchor,
                  QStringLiteral("ventana de una línea"), g};
}

// The floor under the start-up: page 1 alone, empty, against the same anchor.
void pageOneAlone(const Bench& b) {
    const auto [mine, anchor] = inTurns(
        b.runs,
        [&] {
            return valueOf(firstPaint(b, {b.program("bench_pagina1")}).output, "primer_pintado_ms");
        },
        [&] { return oneLineWindow(b); });
    lines << Line{QStringLiteral("Página 1 sola y vacía, hasta su primer pintado"), mine, anchor,
                  QStringLiteral("ventana de una línea"), Goal{}};
}

void pages(const Bench& b, const Office& o) {
    QList<double> p3, p5;
    for (int i = 0; i < b.runs; ++i) {
        const Finished f =
            b.mustRun({{b.program("bench_trabajos"), QStringLiteral("paginas"), o.dataDir}});
        p3 << valueOf(f.output, "pagina3_ms");
        p5 << valueOf(f.output, "pagina5_ms");
    }
    const double none = std::nan("");
    lines << Line{withSize("Página 3: lista y detalle de un representante", o.representatives),
                  median(p3), none, QString(), Goal{Goal::Milliseconds, 100}};
    lines << Line{withSize("Página 5: lista", o.representatives), median(p5), none, QString(),
                  Goal{Goal::Milliseconds, 100}};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Mide KESTRO contra sqlite3, cp y una "
                                                    "ventana de Qt de una línea."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("corridas"),
                                        QStringLiteral("Corridas por escenario (5)."),
                                        QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption sizesOption(QStringLiteral("tamanos"),
                                         QStringLiteral("Representantes por oficina."),
                                         QStringLiteral("lista"), QStringLiteral("100,1000,10000"));
    const QCommandLineOption folderOption(
        QStringLiteral("carpeta"),
        QStringLiteral("Dónde generar los datos (una temporal, que se borra, si no se da)."),
        QStringLiteral("carpeta"));
    parser.addOptions({runsOption, sizesOption, folderOption});
    parser.process(app);

    QTemporaryDir temporary;
    Bench b;
    b.runs = std::max(1, parser.value(runsOption).toInt());
    b.binDir = QCoreApplication::applicationDirPath();
    const QString root = parser.isSet(folderOption) ? parser.value(folderOption) : temporary.path();
    b.work = QDir(root).filePath(QStringLiteral("trabajo"));
    b.errorLog = QDir(root).filePath(QStringLiteral("errores.log"));
    b.emptyV30 = QDir(root).filePath(QStringLiteral("vacia-3.0.mdb"));
    QDir().mkpath(b.work);
    QFile::remove(b.errorLog);
    // Every window of the benchmark paints offscreen, ours and the anchor.
    qputenv("QT_QPA_PLATFORM", "offscreen");

    QString why;
    if (!makeEmptyV30(b.emptyV30, QStringLiteral(KESTRO_CATALOGOS), &why))
        stop(why);
    const QString startLoad = loadAverage();
    printMachine(b.runs, startLoad);
    double startUpPeak = 0, filePeak = 0;
    int largest = 0;
    Office largestOffice;
    for (const QString& size : parser.value(sizesOption).split(u',')) {
        const int n = size.toInt();
        Office o;
        out << "Generando la oficina de " << n << " representantes...\n";
        out.flush();
        if (!makeOffice(QDir(root).filePath(QStringLiteral("oficina-%1").arg(n)), n,
                        QStringLiteral(KESTRO_CATALOGOS), &o, &why))
            stop(why);
        double filePeakHere = 0, startUpPeakHere = 0;
        settle();
        informationFile(b, o, &filePeakHere);
        if (n == 100)
            verification(b, o);
        import(b, o);
        // Thousands of new files leave the disk busy for a while.
        settle();
        copies(b, o);
        settle();
        // As an office starts once it has signed: its requirement copies in ENVIO.
        startUp(b, o, &startUpPeakHere);
        if (n >= largest) {
            largest = n;
            largestOffice = o;
            filePeak = filePeakHere;
            startUpPeak = startUpPeakHere;
        }
    }
    settle();
    pageOneAlone(b);
    pages(b, largestOffice);
    atTheLimit(b, largestOffice);
    const Goal memory{Goal::Megabytes, 100};
    const double none = std::nan("");
    lines << Line{withSize("Memoria máxima del arranque", largest),
                  startUpPeak,
                  none,
                  QString(),
                  memory,
                  QStringLiteral("MB")};
    lines << Line{withSize("Memoria máxima del archivo de información", largest),
                  filePeak,
                  none,
                  QString(),
                  memory,
                  QStringLiteral("MB")};
    out << "\n";
    printTable();
    const QString endLoad = loadAverage();
    out << "\nCarga al terminar: " << endLoad << "\n";
    // Other work on the machine slows each side differently: figures taken
    // that way go into the README only with the load beside them.
    if (std::max(startLoad.section(u' ', 0, 0).toDouble(),
                 endLoad.section(u' ', 0, 0).toDouble()) >= 1)
        out << "Aviso: la carga pasó de 1 durante la medición; si estas cifras van al README, "
               "dígalo junto a ellas.\n";
    return 0;
}
