// Checks that signed information files are intact, against the agent's
// public key or certificate, and well formed; optionally writes a readable
// summary of one of them. For the authority's side and for agents who want
// to see their file before sending it.
//   kestro_verifica_firma [--json] [--resumen <salida.pdf>] <archivo>... <llave>

#include "data/CatalogueNames.h"
#include "exchange/FileCheck.h"
#include "exchange/Signing.h"
#include "report/SummaryPdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Accents must survive any console. A Windows console is given the text as
// UTF-16, which it shows whatever its code page; a pipe or a file gets
// UTF-8, as on every other system.
void say(FILE* to, const QString& text) {
    const QString line = text + u'\n';
#ifdef Q_OS_WIN
    HANDLE h = GetStdHandle(to == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(h, &mode)) {
        std::fflush(to);
        DWORD written = 0;
        WriteConsoleW(h, reinterpret_cast<const wchar_t*>(line.utf16()), DWORD(line.size()),
                      &written, nullptr);
        return;
    }
#endif
    std::fputs(line.toUtf8().constData(), to);
}

// Why a file could not be read, in Spanish whatever the system's language.
QString whyUnreadable(const QString& path, const QFile& f) {
    const QFileInfo fi(path);
    if (!fi.exists() && !fi.isSymLink())
        return QStringLiteral("el archivo no existe");
    if (fi.isDir())
        return QStringLiteral("es una carpeta, no un archivo");
    if (!fi.exists())
        return QStringLiteral("es un acceso directo que no lleva a ningún archivo");
    switch (f.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("no tiene permiso para leerlo");
    case QFileDevice::ResourceError:
        return QStringLiteral("el sistema no tiene recursos para leerlo");
    default:
        return QStringLiteral("el sistema no permitió leerlo");
    }
}

bool readInto(const QString& path, QByteArray* out, QString* why) {
    QFile f(path);
    if (!QFileInfo(path).isDir() && f.open(QIODevice::ReadOnly)) {
        *out = f.readAll();
        if (f.error() == QFileDevice::NoError)
            return true;
    }
    *why = QStringLiteral("No se pudo leer %1: %2.").arg(path, whyUnreadable(path, f));
    return false;
}

// Exit codes, and how bad each is when several files are checked: a
// signature that does not verify is the worst news a file can bring.
enum Code { Correct = 0, BadSignature = 1, Unreadable = 2, StructureErrors = 3 };
int severity(int code) {
    switch (code) {
    case BadSignature:
        return 3;
    case Unreadable:
        return 2;
    case StructureErrors:
        return 1;
    }
    return 0;
}

struct Outcome {
    int code = Correct;
    Verification signature;
    StructureReport structure;
    QString unreadable; // why the file could not be read
    QByteArray bytes;
};

Outcome check(const QString& path, const QByteArray& key, const CatalogueNames& catalogues) {
    Outcome o;
    if (!readInto(path, &o.bytes, &o.unreadable))
        return o.code = Unreadable, o;
    o.signature = verifySignature(o.bytes, key);
    // Only a file the agent signed is his to judge: an altered one is
    // told as such and no more.
    if (!o.signature.intact)
        return o.code = BadSignature, o;
    o.structure = checkStructure(o.bytes, catalogues);
    o.code = o.structure.errors.isEmpty() ? Correct : StructureErrors;
    return o;
}

QJsonArray findingsJson(const QList<Finding>& findings) {
    QJsonArray out;
    for (const Finding& f : findings)
        out.append(
            QJsonObject{{QStringLiteral("linea"), f.line}, {QStringLiteral("texto"), f.text}});
    return out;
}

void sayJson(const QString& path, const Outcome& o) {
    QList<Finding> errors = o.structure.errors;
    if (!o.unreadable.isEmpty())
        errors.prepend({0, o.unreadable, {}, {}, {}});
    else if (!o.signature.intact)
        errors.prepend({0, o.signature.message, {}, {}, {}});
    const QJsonObject j{{QStringLiteral("archivo"), path},
                        {QStringLiteral("firma_integra"), o.signature.intact},
                        {QStringLiteral("errores"), findingsJson(errors)},
                        {QStringLiteral("observaciones"), findingsJson(o.structure.observations)}};
    say(stdout, QString::fromUtf8(QJsonDocument(j).toJson(QJsonDocument::Compact)));
}

void sayText(const QString& path, const Outcome& o, bool several) {
    if (several)
        say(stdout, path + u':');
    if (!o.unreadable.isEmpty())
        return say(stderr, o.unreadable);
    say(o.signature.intact ? stdout : stderr, o.signature.message);
    if (!o.signature.intact)
        return;
    for (const QList<Finding>* list : {&o.structure.errors, &o.structure.observations})
        for (const Finding& f : *list)
            say(stdout,
                QStringLiteral("línea ") + QString::number(f.line) + QStringLiteral(": ") + f.text);
    say(stdout, o.structure.errors.isEmpty()
                    ? QStringLiteral("La estructura del archivo es correcta.")
                    : QStringLiteral("La estructura del archivo tiene %1 errores.")
                          .arg(o.structure.errors.size()));
}

QString tally(const QList<int>& codes) {
    const auto n = [&](int code) { return QString::number(codes.count(code)); };
    QString line = QStringLiteral("Revisados %1 archivos: %2 correctos, %3 con errores de "
                                  "estructura, %4 con la firma que no verifica")
                       .arg(codes.size())
                       .arg(n(Correct), n(StructureErrors), n(BadSignature));
    if (codes.contains(Unreadable))
        line += QStringLiteral(", %1 que no se pudieron leer").arg(n(Unreadable));
    return line + u'.';
}

// The delivered catalogues: beside the program as the build and the Windows
// folder lay them out, or under ../share as an installation does.
std::optional<CatalogueNames> deliveredCatalogues() {
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {QStringLiteral("share/kestro/kestro.mdb"),
                                     QStringLiteral("../share/kestro/kestro.mdb")}) {
        if (!QFileInfo(here.filePath(candidate)).isFile())
            continue;
        Database::Opened db = Database::openFile(here.filePath(candidate));
        if (!db)
            return say(stderr, db.why()), std::nullopt;
        Fallible<CatalogueNames> names = CatalogueNames::read(*db.value);
        if (!names)
            return say(stderr, names.why()), std::nullopt;
        return std::move(names.value);
    }
    say(stderr,
        QStringLiteral("No se encontró la base de datos entregada (share/kestro/kestro.mdb) "
                       "con los catálogos para revisar las claves."));
    return std::nullopt;
}

bool wantsSummary(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--resumen") == 0)
            return true;
    return false;
}

// The PDF writer needs a graphical application, which needs no screen:
// without one, Qt's offscreen platform serves.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    if (!wantsSummary(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    return std::make_unique<QGuiApplication>(argc, argv);
}

struct Options {
    bool json = false;
    QString summary; // --resumen
    QStringList files;
    QString key;
};

std::optional<Options> parse(QStringList args) {
    Options o;
    o.json = args.removeAll(QStringLiteral("--json")) > 0;
    const qsizetype s = args.indexOf(QStringLiteral("--resumen"));
    if (s >= 0) {
        if (s + 1 >= args.size())
            return std::nullopt;
        o.summary = args.takeAt(s + 1);
        args.removeAt(s);
    }
    if (args.size() < 2 || (!o.summary.isEmpty() && args.size() != 2))
        return std::nullopt;
    o.key = args.takeLast();
    o.files = args;
    return o;
}

int writeSummary(const Options& opt, const Outcome& o, const CatalogueNames& catalogues) {
    const SignatureStatus status{o.signature.intact, o.signature.message};
    if (MaybeError e = writeSummaryPdf(opt.summary, summaryLines(o.bytes, status, catalogues),
                                       QDateTime::currentDateTime())) {
        say(stderr, e->message());
        return Unreadable;
    }
    return Correct;
}

#ifdef Q_OS_WIN
// UTF-8 for anything printed past say(), while the verifier runs; the
// console is the user's again when it ends, however it ends.
struct ConsoleCodePage {
    const UINT previous = GetConsoleOutputCP();
    ConsoleCodePage() { SetConsoleOutputCP(CP_UTF8); }
    ~ConsoleCodePage() {
        if (previous != 0)
            SetConsoleOutputCP(previous);
    }
    ConsoleCodePage(const ConsoleCodePage&) = delete;
    ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;
};
#endif

int worse(int a, int b) {
    return severity(a) >= severity(b) ? a : b;
}

} // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
    const ConsoleCodePage utf8;
#endif
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const std::optional<Options> opt = parse(args.mid(1));
    if (!opt) {
        say(stderr, QStringLiteral("Uso: %1 [--json] [--resumen <salida.pdf>] <archivo de "
                                   "información firmado>... <llave pública o certificado del "
                                   "agente (PEM o DER)>\n--resumen admite un solo archivo.")
                        .arg(args.value(0)));
        return Unreadable;
    }
    QByteArray key;
    QString why;
    if (!readInto(opt->key, &key, &why))
        return say(stderr, why), Unreadable;
    const std::optional<CatalogueNames> catalogues = deliveredCatalogues();
    if (!catalogues)
        return Unreadable;

    QList<int> codes;
    int worst = Correct;
    for (const QString& path : opt->files) {
        const Outcome o = check(path, key, *catalogues);
        opt->json ? sayJson(path, o) : sayText(path, o, opt->files.size() > 1);
        // A summary that cannot be written is one more finding, never one
        // that hides what the file itself brought.
        if (!opt->summary.isEmpty() && o.code != Unreadable)
            worst = worse(worst, writeSummary(*opt, o, *catalogues));
        codes.append(o.code);
        worst = worse(worst, o.code);
    }
    if (opt->files.size() > 1)
        say(opt->json ? stderr : stdout, tally(codes));
    return worst;
}
