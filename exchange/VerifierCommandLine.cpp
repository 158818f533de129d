#include "exchange/VerifierCommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString usage(const QString& program) {
    return QStringLiteral("Uso: %1 [--json] [--resumen <salida.pdf>] [--] <archivo de información "
                          "firmado>... <llave pública o certificado del agente (PEM o DER)>")
        .arg(QFileInfo(program).fileName());
}

QString help(const QString& program) {
    return usage(program) +
           QStringLiteral(
               "\n\nRevisa que cada archivo de información esté íntegro (su firma digital "
               "corresponde a la llave del agente) y bien formado.\n\n"
               "Opciones:\n"
               "  --json                 un objeto JSON por archivo, en una línea cada uno.\n"
               "  --resumen <salida.pdf> escribe además el resumen legible del archivo (admite "
               "uno solo).\n"
               "  --                     termina las opciones: lo que sigue son archivos, "
               "aunque empiecen con \"-\".\n"
               "  -h, --help             muestra esta ayuda.\n"
               "  -v, --version          muestra la versión.\n\n"
               "Códigos de salida: 0 correcto; 1 la firma no verifica; 2 un archivo no se pudo "
               "leer o la orden está mal; 3 errores de estructura; 4 un archivo rechazado sin "
               "leerlo (no es un archivo común o pasa del tamaño máximo); 5 el resumen no se "
               "pudo escribir.");
}

VerifierCommand refused(const QString& why, const QString& program) {
    VerifierCommand c;
    c.text = why + u'\n' + usage(program);
    return c;
}

// An existing file that is not a PDF is no summary to write over: a name
// taken for the output by mistake (a file called "--resumen") must not
// cost a file its contents.
bool holdsSomethingElse(const QString& path) {
    QFile f(path);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return false;
    return !f.open(QIODevice::ReadOnly) || f.read(5) != "%PDF-";
}

} // namespace

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    const QString pa = fa.exists() ? fa.canonicalFilePath() : fa.absoluteFilePath();
    const QString pb = fb.exists() ? fb.canonicalFilePath() : fb.absoluteFilePath();
#ifdef Q_OS_WIN
    return QDir::cleanPath(pa).compare(QDir::cleanPath(pb), Qt::CaseInsensitive) == 0;
#else
    return QDir::cleanPath(pa) == QDir::cleanPath(pb);
#endif
}

VerifierCommand readVerifierCommand(const QStringList& arguments) {
    const QString program = arguments.value(0, QStringLiteral("kestro_verifica_firma"));
    QCommandLineParser p;
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption summary(QStringLiteral("resumen"), QString(),
                                     QStringLiteral("salida.pdf"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(
        QStringList{QStringLiteral("v"), QStringLiteral("version")});
    p.addOptions({json, summary, helpOption, versionOption});
    if (!p.parse(arguments.isEmpty() ? QStringList{program} : arguments)) {
        const QStringList unknown = p.unknownOptionNames();
        return refused(unknown.isEmpty()
                           ? QStringLiteral("A la opción --resumen le falta el nombre del "
                                            "archivo de salida.")
                           : QStringLiteral("La opción \"%1\" no existe.")
                                 .arg(unknown.first().size() == 1
                                          ? u'-' + unknown.first()
                                          : QStringLiteral("--") + unknown.first()),
                       program);
    }
    VerifierCommand c;
    if (p.isSet(helpOption)) {
        c.action = VerifierCommand::Action::Help;
        c.text = help(program);
        return c;
    }
    if (p.isSet(versionOption)) {
        c.action = VerifierCommand::Action::Version;
        c.text = QStringLiteral("kestro_verifica_firma, de KESTRO 3.5");
        return c;
    }
    if (p.values(summary).size() > 1)
        return refused(QStringLiteral("La opción --resumen va una sola vez."), program);
    QStringList positional = p.positionalArguments();
    if (positional.size() < 2)
        return refused(QStringLiteral("Faltan el archivo firmado o la llave."), program);
    c.json = p.isSet(json);
    c.summary = p.value(summary);
    c.key = positional.takeLast();
    c.files = positional;
    if (p.isSet(summary)) {
        if (c.summary.isEmpty())
            return refused(QStringLiteral("A la opción --resumen le falta el nombre del archivo "
                                          "de salida."),
                           program);
        if (c.files.size() != 1)
            return refused(QStringLiteral("--resumen admite un solo archivo."), program);
        for (const QString& input : c.files + QStringList{c.key})
            if (sameFile(c.summary, input))
                return refused(QStringLiteral("El resumen %1 no puede escribirse sobre uno de los "
                                              "archivos que se revisan.")
                                   .arg(QDir::toNativeSeparators(c.summary)),
                               program);
        if (holdsSomethingElse(c.summary))
            return refused(QStringLiteral("El archivo %1 ya existe y no es un PDF: el resumen no "
                                          "se escribe sobre él. Elija otro nombre.")
                               .arg(QDir::toNativeSeparators(c.summary)),
                           program);
    }
    c.action = VerifierCommand::Action::Check;
    return c;
}
