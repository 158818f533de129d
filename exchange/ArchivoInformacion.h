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
struct Requerimiento {
    QString curp; // whose it is, for messages
    QString path; // as stored
};

struct ContenidoArchivo {
    QByteArray bytes;                    // the file, already encoded
    QList<Requerimiento> requerimientos; // of Mandato 1 and 3 representatives
};

// Builds the file's bytes from the store. A value that would break the
// layout, or a store error, gives a Spanish explanation in *why.
std::optional<ContenidoArchivo> armaArchivoInformacion(Database& db, const QString& patente,
                                                       QString* why);

// <programDir>/ENVIO/<patente>.txt
QString rutaArchivoInformacion(const QString& programDir, const QString& patente);
QString carpetaEnvio(const QString& programDir);

// Writes ENVIO/<patente>.txt and copies the requirement files beside it.
// The new file takes the place of an earlier one only when everything
// succeeded, so on failure an earlier file is left as it was. Returns the
// file's path, or nullopt with a Spanish explanation in *why.
std::optional<QString> generaArchivoInformacion(Database& db, const QString& programDir,
                                                const QString& patente, QString* why);
