#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// Our signing module: signs the information file with the agent's private
// key (PKCS#8, encrypted, DER or PEM) and appends the signature to the file
// as its last record. See FIRMA.md for the record's layout.

// One signer as the caller fills it. Record 0 is the agent; records 1 to 4
// carry fixed placeholder values and are not used for signing.
struct Firmante {
    QByteArray curp;  // set by BuscaCurps: the signer's CURP as the file states it
    QByteArray llave; // key-file path, UTF-8
    QByteArray clave; // password, UTF-8; wiped by limpiaFirmantes
};
using Firmantes = std::array<Firmante, 5>;

// Result codes of GeneraFirmaDigital.
enum CodigoFirma : int {
    FirmaCorrecta = 0,
    FirmaSinArchivo = 1,    // the file to sign does not exist or cannot be read
    FirmaLlaveInvalida = 2, // key missing, unreadable, not an encrypted private key
    FirmaClaveErronea = 3,  // the password does not open the key
    FirmaNoEscrita = 4,     // the signed file could not be written back
};

// Fills the record 0 CURP from the agent's record ("AA") of the file.
void BuscaCurps(const QString& archivo, Firmantes& firmantes);

// Signs the file with record 0's key and password: SHA-256 over the file's
// bytes as they are, the signature appended as one final record.
int GeneraFirmaDigital(const QString& archivo, Firmantes& firmantes);

// Overwrites every password (and path) held in the table, then empties it.
void limpiaFirmantes(Firmantes& firmantes);

// Puts the user's key and password in record 0 and the placeholders in 1-4.
void llenaFirmantes(Firmantes& firmantes, const QString& llave, const QString& clave);

// Overwrites a text's characters before dropping it.
void borraTexto(QString& texto);

struct Verificacion {
    bool integro = false;
    QString mensaje; // Spanish, for the person who runs the check
};

// Checks a signed information file against the agent's public key or
// certificate (PEM or DER).
Verificacion verificaFirma(const QByteArray& archivoFirmado, const QByteArray& llavePublica);
