#include "data/CommandLine.h"

#include <QCommandLineParser>

namespace {

struct Described {
    QStringList names;
    QString value; // shown after the names; "" for a flag
    QString text;
};

const QList<Described>& described() {
    static const QList<Described> all{
        {{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
         {},
         QStringLiteral("Muestra esta ayuda y termina.")},
        {{QStringLiteral("v"), QStringLiteral("version")},
         {},
         QStringLiteral("Muestra la versión de KESTRO y termina.")},
        {{QStringLiteral("agente")},
         QStringLiteral("<patente|carpeta>"),
         QStringLiteral("Abre directamente al agente de esa patente, o el de esa carpeta de "
                        "datos (que se agrega a la lista si no estaba).")},
        {{QStringLiteral("agentes")},
         {},
         QStringLiteral("Muestra la lista de agentes al iniciar, aunque sólo haya uno.")},
        {{QStringLiteral("restaurar")},
         QStringLiteral("[copia]"),
         QStringLiteral("Pone una copia de respaldo en lugar de kestro.mdb y termina; sin la "
                        "copia pregunta cuál. Con varios agentes, del elegido con --agente o "
                        "del que se elija en la lista.")},
        {{QStringLiteral("manual")},
         {},
         QStringLiteral("Abre sólo el manual del usuario, sin tocar los datos de ningún agente.")},
    };
    return all;
}

QString usage(const QString& program) {
    QString text = QStringLiteral("Uso: %1 [--agente <patente|carpeta>] [--agentes] "
                                  "[--restaurar [copia]] [--manual]\n\nOpciones:\n")
                       .arg(program);
    for (const Described& d : described()) {
        QStringList names;
        for (const QString& n : d.names)
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        const QString left = names.join(QStringLiteral(", ")) +
                             (d.value.isEmpty() ? QString() : QLatin1Char(' ') + d.value);
        // Descriptions wrapped to fit a terminal of 80 columns.
        QString line = QStringLiteral("  %1  ").arg(left.leftJustified(28));
        const qsizetype indent = line.size();
        for (const QString& word : d.text.split(u' ')) {
            if (line.size() + word.size() > 79 && line.size() > indent) {
                text += line.chopped(1) + u'\n';
                line = QString(indent, u' ');
            }
            line += word + u' ';
        }
        text += line.chopped(1) + u'\n';
    }
    return text;
}

CommandLine ending(int code, const QString& say, bool error) {
    CommandLine c;
    c.endWith = code;
    c.say = say;
    c.error = error;
    return c;
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    QList<QCommandLineOption> options;
    for (const Described& d : described()) {
        // The copy after --restaurar is optional: it is read as the one
        // positional argument.
        const bool takesValue = d.value.startsWith(u'<');
        options << (takesValue ? QCommandLineOption(d.names, d.text, QStringLiteral("valor"))
                               : QCommandLineOption(d.names, d.text));
        parser.addOption(options.last());
    }
    const QString program = QStringLiteral("kestro");
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString why =
            unknown.isEmpty()
                ? QStringLiteral("A la opción --agente le falta la patente o la carpeta.")
                : QStringLiteral("Opción desconocida: %1.")
                      .arg((unknown.first().size() == 1 ? QStringLiteral("-")
                                                        : QStringLiteral("--")) +
                           unknown.first());
        return ending(CommandLine::BadOrder, why + QStringLiteral("\n\n") + usage(program), true);
    }
    if (parser.isSet(options[0]))
        return ending(0,
                      QStringLiteral("KESTRO 3.5: los datos del agente aduanal, sus "
                                     "representantes y su histórico, y el archivo de "
                                     "información firmado.\n\n") +
                          usage(program),
                      false);
    if (parser.isSet(options[1]))
        return ending(0, QStringLiteral("KESTRO 3.5\n"), false);
    CommandLine c;
    c.agent = parser.value(options[2]);
    c.agents = parser.isSet(options[3]);
    c.restore = parser.isSet(options[4]);
    c.manual = parser.isSet(options[5]);
    const QStringList rest = parser.positionalArguments();
    if (rest.size() > (c.restore ? 1 : 0))
        return ending(CommandLine::BadOrder,
                      QStringLiteral("Sobra el argumento \"%1\".\n\n").arg(rest.last()) +
                          usage(program),
                      true);
    c.backup = rest.value(0);
    if (c.agent.trimmed().isEmpty() && parser.isSet(options[2]))
        return ending(CommandLine::BadOrder,
                      QStringLiteral("A la opción --agente le falta la patente o la carpeta.\n\n") +
                          usage(program),
                      true);
    return c;
}
