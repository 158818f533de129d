#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What `kestro` was asked for on its command line.
struct CommandLine {
    // Usage error: the exit code the README gives to an order badly written.
    static constexpr int BadOrder = 2;

    QString agent;       // --agente: a patent or a data folder
    bool agents = false; // --agentes: the list even with one agent
    bool restore = false;
    bool manual = false; // --manual: the user's manual alone
    QString backup;      // the copy --restaurar puts in place; "" asks for it

    // Help, version or an order not understood: the program says `say`
    // (on the error output when `error`) and ends with this code.
    std::optional<int> endWith;
    QString say;
    bool error = false;
};

// Reads the arguments (the program's name first) with Qt's parser; every
// text the user sees is Spanish.
CommandLine readCommandLine(const QStringList& arguments);
