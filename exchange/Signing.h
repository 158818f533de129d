#pragma once

#include <QByteArray>
#include <QString>

// Our signing module: signs the information file with the agent's private
// key (PKCS#8, encrypted, DER or PEM) and appends the signature to the file
// as its last record; the README describes the record for the authority.

// The one who signs: the agent, with his key file and password.
struct Signer {
    QByteArray curp;     // the agent's CURP as the file states it (agentCurpOf)
    QByteArray keyPath;  // key-file path, UTF-8
    QByteArray password; // password, UTF-8; wiped by wipeSigner
};

// Result codes of signContent; 0 to 3 are the ones the wizard has always
// known.
enum SignatureResult : int {
    SignedOk = 0,
    NothingToSign = 1, // the content to sign is empty
    InvalidKey = 2,    // key missing, unreadable, not an encrypted private key
    WrongPassword = 3, // the password does not open the key
    // The key is encrypted with a cipher this installation cannot use (an
    // old one, kept by OpenSSL in its legacy module, when that is missing).
    UnsupportedKeyCipher = 4,
};

// Signs bytes held in memory, so a file can be signed before it takes its
// name in ENVIO: SHA-256 over the bytes as they are, the signature appended
// to `contenido` as one final record, only when the result is SignedOk.
// `publicKey`, when given, receives the signer's public key (DER), with
// which the signature can be checked.
int signContent(QByteArray& content, const Signer& signer, QByteArray* publicKey = nullptr);
// The agent's CURP as the "AA" record of the content states it.
QByteArray agentCurpOf(const QByteArray& content);

// Larger key files are refused unread: a real one is a few kilobytes.
constexpr qint64 MaxKeyFileSize = 1 << 20;

// Overwrites the password and path, then empties the signer.
void wipeSigner(Signer& signer);

// Overwrites a text's characters before dropping it, when no other text
// shares them (the last one to hold them wipes them).
void wipeText(QString& text);
void wipeText(QString&& text);

struct Verification {
    bool intact = false;
    QString message; // Spanish, for the person who runs the check
};

// The bytes a signature covers: everything before the last record (the
// signature record), line end included; empty when there is no such line.
QByteArray signedPart(const QByteArray& signedFile);

// Checks a signed information file against the agent's public key or
// certificate (PEM or DER). Safe on any thread.
Verification verifySignature(const QByteArray& signedFile, const QByteArray& publicKey);
