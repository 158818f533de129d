#pragma once

#include "data/Database.h"

#include <QIODevice>
#include <QStringList>
#include <optional>

// The information file the agent sends to the authority: every working
// table, one pipe-delimited line per row, Windows-1252, CR LF.

// 1 when some representative has Mandato 2 (he brings in the history
// sections), else 0.
int Hay_Hist_Mandatarios(Database& db);

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

// <programDir>/ENVIO/<patente>.txt
QString informationFilePath(const QString& programDir, const QString& patente);
QString envioFolder(const QString& programDir);

// Copies the requirement files into `envio`, each under its own name,
// replacing an earlier copy; a copy that fails leaves no half file under
// that name.
bool copyRequirements(const QList<RequirementFile>& reqs, const QString& envio, QString* why);

// Writes ENVIO/<patente>.txt and copies the requirement files beside it.
// The new file takes the place of an earlier one only when everything
// succeeded, so on failure an earlier file is left as it was. Returns the
// file's path, or nullopt with a Spanish explanation in *why.
std::optional<QString> writeInformationFile(Database& db, const QString& programDir,
                                            const QString& patente, QString* why);
