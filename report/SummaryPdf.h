#pragma once

#include "data/DbError.h"
#include "report/SummaryText.h"

#include <QDateTime>

// Writes the summary of a signed information file as a PDF at `path`
// (through Qt's own PDF writer, so it needs a QGuiApplication): pages of A4
// numbered "Página n de m", each stating when it was made.
MaybeError writeSummaryPdf(const QString& path, const QList<SummaryLine>& lines,
                           const QDateTime& madeAt);

// Where each page of that PDF starts: the index of its first line.
QList<qsizetype> summaryPageStarts(const QList<SummaryLine>& lines);

// <dataDir>/Resumenes/<patente> <aaaa-mm-dd hh.mm.ss>.pdf
QString summaryPath(const QString& dataDir, const QString& patente, const QDateTime& madeAt);
