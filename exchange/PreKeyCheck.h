#pragma once

#include "data/CatalogueNames.h"
#include "exchange/InformationFile.h"

#include <QList>
#include <QString>

// Everything the verifier would say of the file about to be signed, found
// before the key is asked for: the file is built and checked whole, by the
// same rules the verifier applies, and every finding is told as where to
// fix it.

// The wizard's pages, as the findings lead to them.
enum class WizardPage { Agent = 1, Offices, Representatives, AgentHistory, RepresentativeHistory };

struct Problem {
    WizardPage page = WizardPage::Agent;
    QString curp, name;   // whom it is of (the agent's for his own data)
    QString what;         // what is wrong
    QString todo;         // what to do about it
    bool blocking = true; // an observation never stops the file
};

struct PreKeyCheck {
    InformationFileContent content; // what would be signed
    QList<Problem> problems;        // the blocking ones first

    bool blocked() const { return !problems.isEmpty() && problems.first().blocking; }
};

// With `requirements`, the requirement files are checked too (they must be
// there when the file is signed; a fresh import has none yet).
Fallible<PreKeyCheck> checkBeforeKey(Database& db, const QString& patente,
                                     const CatalogueNames& catalogues, bool requirements = true);
