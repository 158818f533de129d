#pragma once

#include "data/CatalogueNames.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Whether a signed information file is well formed: its lines, its records
// against the table layouts, the references between its sections and its
// values against the validators and the delivered catalogues.

struct Finding {
    int line = 0;    // in the file, 1-based; 0 for the file as a whole
    QString text;    // Spanish
    QString section; // the tag of the record at that line; empty when none
    // Whom the record is of: the CURP its section is keyed by (the agent's
    // for AA), or an agent's address type for Domicilios_AA.
    QString key;
    QString advice; // for an observation: what to look at before going on
};

struct StructureReport {
    QList<Finding> errors;
    QList<Finding> observations; // worth a look, never a fault
    // Past the limit the check was given, findings are only counted.
    qsizetype errorsNotKept = 0;
    qsizetype observationsNotKept = 0;

    qsizetype errorCount() const { return errors.size() + errorsNotKept; }

    bool correct() const { return errors.isEmpty(); }
};

// What the verifier reads of a file from anyone: 16 MiB, several times the
// file of an office of 10,000 representatives. Larger files are refused
// unread.
inline constexpr qint64 MaxCheckedFileSize = qint64(16) << 20;
// Findings of each kind the verifier shows of one file; the rest counted.
inline constexpr qsizetype MaxFindingsShown = 100;

// `limit` caps each list, for files from anyone (the verifier's): what
// the check keeps stays small however many findings a file brings.
StructureReport checkStructure(const QByteArray& file, const CatalogueNames& catalogues,
                               qsizetype limit = -1);
