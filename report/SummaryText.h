#pragma once

#include "data/CatalogueNames.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What a signed information file declares, as lines a person reads: the
// agent and his offices, the representatives by type, the history and the
// signature, in Spanish with the catalogue names beside the keys.

struct SummaryLine {
    enum class Style { Title, Heading, Subheading, Person, Body };
    Style style = Style::Body;
    QString text;
    int indent = 0; // levels
};

// Whether the signature verified, in the words of whoever checked it.
struct SignatureStatus {
    bool verified = false;
    QString text;
};

QList<SummaryLine> summaryLines(const QByteArray& signedFile, const SignatureStatus& signature,
                                const CatalogueNames& names);

// SHA-256 of the bytes the signature covers (all before the FIRMA record),
// in lower-case hexadecimal.
QString signedBytesFingerprint(const QByteArray& signedFile);
