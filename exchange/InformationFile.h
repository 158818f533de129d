#pragma once

#include "data/Database.h"

#include <QDateTime>
#include <QIODevice>
#include <QStringList>
#include <functional>
#include <optional>

// The information file the agent sends to the authority: every working
// table, one pipe-delimited line per row, Windows-1252, CR LF.

// Whether some representative has Mandato 2 (he brings in the history
// sections).
Fallible<bool> Hay_Hist_Mandatarios(Database& db);

// A requirement file that must travel beside the information file.
struct RequirementFile {
    QString curp; // whose it is, for messages
    QString name; // his names, for messages
    QString path; // as stored
    QString rfc;  // the requirement file is named after it
};

// A stored value the file cannot hold, named by where it stands.
struct RefusedValue {
    QString table, column;
    QString key; // whom the row is of (recordKeyColumn's value)
    QString why; // what in it, in words: "un salto de línea"
};

struct InformationFileContent {
    QByteArray bytes;                    // the file, already encoded
    QList<RequirementFile> requirements; // of Mandato 1 and 3 representatives
};

// Builds the file's bytes from the store. A value that would break the
// layout, or a store error, fails with a Spanish explanation. With
// `refused`, such values are collected there instead, each written with
// "?" in place of what the field cannot hold, so the rest can be checked.
Fallible<InformationFileContent> buildInformationFile(Database& db, const QString& patente,
                                                      QList<RefusedValue>* refused = nullptr);

// <dataDir>/ENVIO/<patente>.txt
QString informationFilePath(const QString& dataDir, const QString& patente);
QString envioFolder(const QString& dataDir);

// Every requirement file can be read and no two of them share a name in
// ENVIO (names compared as Windows does, without regard to case).
MaybeError checkRequirements(const QList<RequirementFile>& reqs);

// Every fault of the requirement files, each with the representative it
// is of (a clash of two names is his whose file comes second).
struct RequirementFault {
    RequirementFile of;
    QString why; // the whole Spanish explanation
};
QList<RequirementFault> requirementFaults(const QList<RequirementFile>& reqs);

// The file built and checked whole, as the verifier checks it, with its
// requirement files (checkBeforeKey): everything that can refuse the
// package but the signature. Fails naming every blocking finding.
Fallible<InformationFileContent> prepareInformationFile(Database& db, const QString& patente);

// Signs the file's bytes in place, appending the signature record; false
// when the signature was refused (the step tells the user why).
using SignStep = std::function<bool(QByteArray&)>;

// Builds the file (the writer's own refusals and the requirement files
// checked, not the whole check before the key), signs it in memory (when `sign` is given), then
// puts it in ENVIO as <patente>.txt together with copies of the requirement files: all of them take
// their names at once, only when everything succeeded, so after any failure ENVIO holds what it
// held before and no unsigned file stands where a signed one should. Gives the file's path, or
// fails with a Spanish explanation (empty after a refused signature).
Fallible<QString> writeInformationFile(Database& db, const QString& dataDir, const QString& patente,
                                       const SignStep& sign = {});
// The same for content already prepared. ENVIO then holds exactly the
// package: what stood there before moves to ENVIO/anteriores/<date>/, named
// after `now`, the one time of this generation.
Fallible<QString> placeInformationFile(InformationFileContent content, const QString& dataDir,
                                       const QString& patente, const SignStep& sign = {},
                                       const QDateTime& now = QDateTime::currentDateTime());
