#pragma once

#include "data/CatalogueNames.h"

#include <QDateTime>

// The summary the program keeps of every file it signs, for the agent to
// read and print: <dataDir>/Resumenes/<patente> <aaaa-mm-dd hh.mm.ss>.pdf,
// outside ENVIO because it is not sent. The signature is checked with the
// signer's own public key. Gives the PDF's path. Touches no database, so
// it may run away from the window thread.
Fallible<QString> writeSigningSummary(const CatalogueNames& names, const QString& dataDir,
                                      const QString& patente, const QByteArray& signedFile,
                                      const QByteArray& publicKey,
                                      const QDateTime& madeAt = QDateTime::currentDateTime());
