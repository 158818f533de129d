#pragma once

#include "data/DbError.h"

#include <QString>
#include <QVariant>
#include <optional>

// Date columns hold ISO text (yyyy-mm-dd) so they sort and compare; windows
// show and type dd/mm/yyyy, and the information file wants yyyy-mm-dd.

// "20/05/2003" -> "2003-05-20"; nullopt unless it is a real calendar date.
std::optional<QString> isoFromDisplayDate(const QString& ddmmyyyy);
// "2003-05-20" -> "20/05/2003"; Null or unreadable text is returned as it is.
QString displayFromIsoDate(const QVariant& iso);
// A real calendar date written exactly yyyy-mm-dd.
bool isIsoDate(QStringView t);
// A date read as yyyy-mm-dd, written exactly so; nullopt when it is none.
std::optional<QString> normalisedIsoDate(QStringView t);
// The stored text for the information file ("yyyy-mm-dd"); text of that
// shape is written as it is stored.
QString fileDateFromIso(const QVariant& iso);
// A bound value for a date column, or an error naming the refused text.
std::optional<DbError> bindDisplayDate(const QString& ddmmyyyy, QVariant* out);
