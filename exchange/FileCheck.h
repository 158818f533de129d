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

    bool correct() const { return errors.isEmpty(); }
};

StructureReport checkStructure(const QByteArray& file, const CatalogueNames& catalogues);
