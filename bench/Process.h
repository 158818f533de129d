#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs the benchmark's programs as whole processes, the way a user runs them.

// Nanoseconds of the monotonic clock, which every process on the machine
// shares, so a child can say how long after its start something happened.
qint64 monotonicNs();

struct Launch {
    Launch(QStringList a, QString in = QString()) : argv(std::move(a)), input(std::move(in)) {}

    QStringList argv;       // argv[0] is looked up in PATH when it has no "/"
    QString input;          // file given as standard input; none when empty
    QString errorLog;       // where standard error goes; inherited when empty
    bool startTime = false; // append the moment of starting, as monotonic ns
};

struct Finished {
    bool ok = false;   // started and exited with 0
    double ms = 0;     // from just before the start to its end
    QByteArray output; // its standard output
};

Finished run(const Launch& l);

// "name value" lines of a child's output.
double valueOf(const QByteArray& output, const char* name);
