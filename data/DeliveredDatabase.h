#pragma once

#include "data/Database.h"

// Builds the delivered kestro.mdb: the tables at version 3.5 and the
// catalogues (states, municipalities, customs offices) from the CSV files of
// `csvFolder` (estados.csv, municipios.csv, aduanas.csv).
MaybeError createDeliveredDatabase(const QString& path, const QString& csvFolder);

// Fills the three catalogue tables of an open database.
MaybeError loadCatalogues(Database& db, const QString& csvFolder);

// One CSV record split into fields (double quotes and "" escapes honoured).
QStringList splitCsvLine(const QString& line);
