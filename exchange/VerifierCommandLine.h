#pragma once

#include <QString>
#include <QStringList>

// The verifier's command line, read the same way on every system:
//   kestro_verifica_firma [--json] [--resumen <salida.pdf>] [--] <archivo>... <llave>
// "--" ends the options, so a file whose name starts with "-" is still a
// file; the summary is never written over one of the files read.
struct VerifierCommand {
    enum class Action { Check, Help, Version, Refused };
    Action action = Action::Refused;
    bool json = false;
    QString summary; // --resumen, "" when not asked for
    QStringList files;
    QString key;
    QString text; // the help, the version, or why refused followed by the usage
};

// `arguments` as the program received them, its own name first.
VerifierCommand readVerifierCommand(const QStringList& arguments);

// Whether two paths name the same file, for files that may not exist yet.
bool sameFile(const QString& a, const QString& b);
