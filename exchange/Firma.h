#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// Our signing module: signs the information file with the agent's private
// key (PKCS#8, encrypted, DER or PEM) and appends the signature to the file
// as its last record; the README describes the record for the authority.

// One signer as the caller fills it. Record 0 is the agent; records 1 to 4
// carry fixed placeholder values and are not used for signing.
struct Signer {
    QByteArray curp;     // set by BuscaCurps: the signer's CURP as the file states it
    QByteArray keyPath;  // key-file path, UTF-8
    QByteArray password; // password, UTF-8; wiped by wipeSigners
};
using Firmantes = std::array<Signer, 5>;

// Result codes of GeneraFirmaDigital.
enum SignatureResult : int {
    SignedOk = 0,
    NoFileToSign = 1,         // the file to sign does not exist or cannot be read
    InvalidKey = 2,           // key missing, unreadable, not an encrypted private key
    WrongPassword = 3,        // the password does not open the key
    SignedFileNotWritten = 4, // the signed file could not be written back
};

// Fills the record 0 CURP from the agent's record ("AA") of the file.
void BuscaCurps(const QString& archivo, Firmantes& firmantes);

// Signs the file with record 0's key and password: SHA-256 over the file's
// bytes as they are, the signature appended as one final record.
int GeneraFirmaDigital(const QString& archivo, Firmantes& firmantes);

// The same signing over bytes held in memory, so a file can be signed
// before it takes its name in ENVIO: appends the signature record to
// `contenido` only when the result is SignedOk.
int signContent(QByteArray& contenido, Firmantes& firmantes);
// The agent's CURP as the "AA" record of the content states it.
QByteArray agentCurpOf(const QByteArray& contenido);

// Larger key files are refused unread: a real one is a few kilobytes.
constexpr qint64 MaxKeyFileSize = 1 << 20;

// Overwrites every password (and path) held in the table, then empties it.
void wipeSigners(Firmantes& firmantes);

// Puts the user's key and password in record 0 and the placeholders in 1-4.
void fillSigners(Firmantes& firmantes, const QString& llave, const QString& clave);

// Overwrites a text's characters before dropping it.
void wipeText(QString& texto);

struct Verification {
    bool intact = false;
    QString message; // Spanish, for the person who runs the check
};

// Checks a signed information file against the agent's public key or
// certificate (PEM or DER).
Verification verifySignature(const QByteArray& archivoFirmado, const QByteArray& llavePublica);
