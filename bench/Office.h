#pragma once

#include <QString>
#include <QStringList>

// An office of many representatives, generated for the benchmark and
// written in every form a scenario reads: a working kestro.mdb with the
// requirement files, the previous version's dump, and the rows that dump
// becomes, as pipe-separated files for the sqlite3 command line.
struct Office {
    int representatives = 0;
    QString dataDir;            // kestro.mdb (3.5) holding the whole office
    QStringList requirements;   // the .req files of its type 1 and 3 representatives
    QString dump;               // Recupera.txt with the rows the import takes over
    QString importTables;       // <table>.txt: those rows as the import stores them
    QStringList importedTables; // in the order they are imported
};

inline constexpr const char* OfficePatent = "3001";

// Builds the office in `folder` (created). Every insert is checked, and the
// office must pass the check before the key as the program would sign it;
// on a failure *why says which (or the findings) and the result is false.
bool makeOffice(const QString& folder, int representatives, const QString& catalogues, Office* out,
                QString* why);

// An empty 3.0 kestro.mdb with the catalogues: what the import starts from.
bool makeEmptyV30(const QString& path, const QString& catalogues, QString* why);
