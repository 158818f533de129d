// Checks that signed information files are intact, against the agent's
// public key or certificate, and well formed; optionally writes a readable
// summary of one of them. For the authority's side and for agents who want
// to see their file before sending it.
//   kestro_verifica_firma [--json] [--resumen <salida.pdf>] [--] <archivo>... <llave>
// Every file is untrusted: only a regular file up to a size far above the
// largest office is read, and what it brings is told in bounded form.

#include "data/CatalogueNames.h"
#include "data/PlainFile.h"
#include "exchange/FileCheck.h"
#include "exchange/Signing.h"
#include "exchange/VerifierCommandLine.h"
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

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Exit codes, and how bad each is when several files are checked: a
// signature that does not verify is the worst news a file can bring; a
// summary that could not be written never hides what the file brought.
enum Code {
    Correct = 0,
    BadSignature = 1,
    Unreadable = 2, // or the command is wrong
    StructureErrors = 3,
    Refused = 4, // not a regular file, or over the size limit: not read
    SummaryNotWritten = 5,
};
int severity(int code) {
    switch (code) {
    case BadSignature:
        return 5;
    case Refused:
        return 4;
    case Unreadable:
        return 3;
    case StructureErrors:
        return 2;
    case SummaryNotWritten:
        return 1;
    }
    return 0;
}
int worse(int a, int b) {
    return severity(a) >= severity(b) ? a : b;
}

// What the file says reaches a terminal as text: a control byte (an
// escape sequence could rewrite the lines above it) is shown as \xHH.
QString printable(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n' || (u >= 0x20 && u != 0x7F && (u < 0x80 || u > 0x9F)))
            out += c;
        else
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
    }
    return out;
}

// Accents must survive any console. A Windows console is given the text as
// UTF-16, which it shows whatever its code page; a pipe or a file gets
// UTF-8, as on every other system.
void say(FILE* to, const QString& text) {
    const QString line = printable(text) + u'\n';
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

struct Outcome {
    int code = Correct;
    Verification signature;
    StructureReport structure;
    QString unread; // why the file was not read (Unreadable or Refused)
    QByteArray bytes;
};

Outcome check(const QString& path, const QByteArray& key, const CatalogueNames& catalogues) {
    Outcome o;
    const PlainFile::Opened read =
        PlainFile::read(path, MaxCheckedFileSize, PlainFile::Links::Follow, &o.bytes);
    if (read.fault == PlainFile::Fault::NotRegular || read.fault == PlainFile::Fault::TooLarge) {
        o.unread = QStringLiteral("No se revisó %1: %2.").arg(path, read.why);
        return o.code = Refused, o;
    }
    if (read.fault != PlainFile::Fault::None) {
        o.unread = QStringLiteral("No se pudo leer %1: %2.").arg(path, read.why);
        return o.code = Unreadable, o;
    }
    o.signature = verifySignature(o.bytes, key);
    // Only a file the agent signed is his to judge: an altered one is
    // told as such and no more.
    if (!o.signature.intact)
        return o.code = BadSignature, o;
    o.structure = checkStructure(o.bytes, catalogues, MaxFindingsShown);
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
    if (!o.unread.isEmpty())
        errors.prepend({0, o.unread, {}, {}, {}});
    else if (!o.signature.intact)
        errors.prepend({0, o.signature.message, {}, {}, {}});
    const QJsonObject j{
        {QStringLiteral("archivo"), path},
        {QStringLiteral("firma_integra"), o.signature.intact},
        {QStringLiteral("errores"), findingsJson(errors)},
        {QStringLiteral("errores_no_mostrados"), qint64(o.structure.errorsNotKept)},
        {QStringLiteral("observaciones"), findingsJson(o.structure.observations)},
        {QStringLiteral("observaciones_no_mostradas"), qint64(o.structure.observationsNotKept)}};
    say(stdout, QString::fromUtf8(QJsonDocument(j).toJson(QJsonDocument::Compact)));
}

void sayFindings(const QList<Finding>& findings, qsizetype notKept) {
    for (const Finding& f : findings)
        say(stdout,
            QStringLiteral("línea ") + QString::number(f.line) + QStringLiteral(": ") + f.text);
    if (notKept > 0)
        say(stdout, QStringLiteral("y %1 más.").arg(notKept));
}

void sayText(const QString& path, const Outcome& o, bool several) {
    if (several)
        say(stdout, path + u':');
    if (!o.unread.isEmpty())
        return say(stderr, o.unread);
    say(o.signature.intact ? stdout : stderr, o.signature.message);
    if (!o.signature.intact)
        return;
    sayFindings(o.structure.errors, o.structure.errorsNotKept);
    sayFindings(o.structure.observations, o.structure.observationsNotKept);
    say(stdout, o.structure.errors.isEmpty()
                    ? QStringLiteral("La estructura del archivo es correcta.")
                    : QStringLiteral("La estructura del archivo tiene %1 errores.")
                          .arg(o.structure.errorCount()));
}

QString tally(const QList<int>& codes) {
    const auto n = [&](int code) { return QString::number(codes.count(code)); };
    QString line = QStringLiteral("Revisados %1 archivos: %2 correctos, %3 con errores de "
                                  "estructura, %4 con la firma que no verifica")
                       .arg(codes.size())
                       .arg(n(Correct), n(StructureErrors), n(BadSignature));
    if (codes.contains(Unreadable))
        line += QStringLiteral(", %1 que no se pudieron leer").arg(n(Unreadable));
    if (codes.contains(Refused))
        line += QStringLiteral(", %1 rechazados sin revisar").arg(n(Refused));
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

// Whether a summary may be asked for, before the application that reads
// the arguments (in the system's own encoding) exists.
bool maySummarize(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (qstrncmp(argv[i], "--resumen", 9) == 0)
            return true;
    return false;
}

// The PDF writer needs a graphical application, which needs no screen:
// without one, Qt's offscreen platform serves.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool summary) {
    if (!summary)
        return std::make_unique<QCoreApplication>(argc, argv);
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    return std::make_unique<QGuiApplication>(argc, argv);
}

int writeSummary(const QString& to, const Outcome& o, const CatalogueNames& catalogues) {
    const SignatureStatus status{o.signature.intact, o.signature.message};
    if (MaybeError e = writeSummaryPdf(to, summaryLines(o.bytes, status, catalogues),
                                       QDateTime::currentDateTime())) {
        say(stderr, e->message().trimmed());
        return SummaryNotWritten;
    }
    return Correct;
}

#ifdef _WIN32
// UTF-8 for anything printed past say(), while the verifier runs; the
// console is the user's again when it ends, however it ends: Ctrl+C,
// Ctrl+Break and closing the window are caught on their way out.
UINT userCodePage = 0;

BOOL WINAPI giveConsoleBack(DWORD) {
    if (userCodePage != 0)
        SetConsoleOutputCP(userCodePage);
    return FALSE; // the system's own handling ends the program
}

struct ConsoleCodePage {
    ConsoleCodePage() {
        userCodePage = GetConsoleOutputCP();
        SetConsoleCtrlHandler(giveConsoleBack, TRUE);
        SetConsoleOutputCP(CP_UTF8);
    }
    ~ConsoleCodePage() {
        if (userCodePage != 0)
            SetConsoleOutputCP(userCodePage);
        SetConsoleCtrlHandler(giveConsoleBack, FALSE);
    }
    ConsoleCodePage(const ConsoleCodePage&) = delete;
    ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;
};
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    const ConsoleCodePage utf8;
#endif
    const std::unique_ptr<QCoreApplication> app =
        makeApplication(argc, argv, maySummarize(argc, argv));
    const VerifierCommand command = readVerifierCommand(QCoreApplication::arguments());
    switch (command.action) {
    case VerifierCommand::Action::Help:
    case VerifierCommand::Action::Version:
        say(stdout, command.text);
        return Correct;
    case VerifierCommand::Action::Refused:
        say(stderr, command.text);
        return Unreadable;
    case VerifierCommand::Action::Check:
        break;
    }
    QByteArray key;
    if (const PlainFile::Opened read =
            PlainFile::read(command.key, MaxKeyFileSize, PlainFile::Links::Follow, &key);
        read.fault != PlainFile::Fault::None)
        return say(stderr, QStringLiteral("No se pudo leer %1: %2.").arg(command.key, read.why)),
               Unreadable;
    const std::optional<CatalogueNames> catalogues = deliveredCatalogues();
    if (!catalogues)
        return Unreadable;

    QList<int> codes;
    int worst = Correct;
    for (const QString& path : command.files) {
        Outcome o = check(path, key, *catalogues);
        command.json ? sayJson(path, o) : sayText(path, o, command.files.size() > 1);
        if (!command.summary.isEmpty() && o.unread.isEmpty())
            worst = worse(worst, writeSummary(command.summary, o, *catalogues));
        codes.append(o.code);
        worst = worse(worst, o.code);
    }
    if (command.files.size() > 1)
        say(command.json ? stderr : stdout, tally(codes));
    return worst;
}
