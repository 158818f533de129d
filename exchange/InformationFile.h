#pragma once

#include "data/Database.h"

#include <QIODevice>
#include <QStringList>
#include <functional>
#include <optional>

// The information file the agent sends to the authority: every working
// table, one pipe-delimited line per row, Windows-1252, CR LF.

// 1 when some representative has Mandato 2 (he brings in the history
// sections), else 0. A failed read is no answer: -1, and *error holds it.
int Hay_Hist_Mandatarios(Database& db, MaybeError* error = nullptr);

// A requirement file that must travel beside the information file.
struct RequirementFile {
    QString curp; // whose it is, for messages
    QString path; // as stored
};

struct InformationFileContent {
    QByteArray bytes;                    // the file, already encoded
    QList<RequirementFile> requirements; // of Mandato 1 and 3 representatives
};

// Builds the file's bytes from the store. A value that would break the
// layout, or a store error, gives a Spanish explanation in *why.
std::optional<InformationFileContent> buildInformationFile(Database& db, const QString& patente,
                                                           QString* why);

// <dataDir>/ENVIO/<patente>.txt
QString informationFilePath(const QString& dataDir, const QString& patente);
QString envioFolder(const QString& dataDir);

// Every requirement file can be read and no two of them share a name in
// ENVIO (names compared as Windows does, without regard to case).
bool checkRequirements(const QList<RequirementFile>& reqs, QString* why);

// Signs the file's bytes in place, appending the signature record; returns
// the signing result, 0 when signed.
using SignStep = std::function<int(QByteArray&)>;

// Builds the file, signs it in memory (when `sign` is given), then puts it
// in ENVIO as <patente>.txt together with copies of the requirement files:
// all of them take their names at once, only when everything succeeded, so
// after any failure ENVIO holds what it held before and no unsigned file
// stands where a signed one should. Returns the file's path, or nullopt
// with a Spanish explanation in *why; a refused signature leaves *why empty
// and its code in *signCode.
std::optional<QString> writeInformationFile(Database& db, const QString& dataDir,
                                            const QString& patente, QString* why,
                                            const SignStep& sign = {}, int* signCode = nullptr);
