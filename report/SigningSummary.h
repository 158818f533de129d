#pragma once

#include "data/Database.h"

#include <QDateTime>

// The summary the program keeps of every file it signs, for the agent to
// read and print: <dataDir>/Resumenes/<patente> <aaaa-mm-dd hh.mm.ss>.pdf,
// outside ENVIO because it is not sent. The signature is checked with the
// signer's own public key. Gives the PDF's path.
Fallible<QString> writeSigningSummary(Database& db, const QString& dataDir, const QString& patente,
                                      const QByteArray& signedFile, const QByteArray& publicKey,
                                      const QDateTime& madeAt = QDateTime::currentDateTime());
