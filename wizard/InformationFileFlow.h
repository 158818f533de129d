#pragma once

#include "exchange/PreKeyCheck.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;
class Database;
struct AppState;

// What "Finaliza" does: asks, takes the key and password through frmKey,
// writes ENVIO/<NoPat>.txt with the requirement files beside it and signs
// it. True only when the file is signed. A cancel, or a failure before
// signing, leaves an earlier file in ENVIO as it was.
// patenteField is the patent as the agent page shows it, for the message.
// Before the key, the file is built and checked whole; what the check finds
// is listed at once, and a row chosen there is handed to `goTo`.
using GoToPerson = std::function<void(WizardPage page, const QString& curp)>;
bool Genera_archivo(QWidget* parent, AppState& state, Database& db, const QString& rfcAsTyped,
                    const QString& patenteField, const GoToPerson& goTo = {});

// Lists `problems` (when there are any) and hands a chosen row to `goTo`.
// True when the user may go on: nothing blocks and he chose to continue,
// or there was nothing to list.
bool listProblems(QWidget* parent, const QList<Problem>& problems, const GoToPerson& goTo);

// Writes the summary of a signed file in <dataDir>/Resumenes, named after
// `madeAt`, and keeps its path in `state` (empty, and the user told why,
// when it cannot be written).
void keepSummary(QWidget* parent, AppState& state, Database& db, const QByteArray& signedFile,
                 const QByteArray& publicKey, const QDateTime& madeAt);

// Tells the user the outcome of a signing (a SignatureResult) of the file
// shown as <dataDir>/ENVIO/<patent>.txt; a signed file is to be mailed to
// authorityMail.
void tellSigningOutcome(QWidget* parent, int code, const QString& dataDir, const QString& patent,
                        const QString& authorityMail);
