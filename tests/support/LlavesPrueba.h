#pragma once

#include <QByteArray>
#include <QString>

typedef struct evp_pkey_st EVP_PKEY;

// A key pair made at test time, so no private key ever sits in the
// repository, and the files an agent would hold for it.
class LlavePrueba {
public:
    enum class Tipo { Rsa, Ec };
    explicit LlavePrueba(Tipo tipo);
    ~LlavePrueba();
    LlavePrueba(const LlavePrueba&) = delete;
    LlavePrueba& operator=(const LlavePrueba&) = delete;

    // Encrypted PKCS#8, as the authority issues private keys.
    QByteArray privadaCifrada(const QByteArray& clave, bool pem) const;
    // Unencrypted PKCS#8.
    QByteArray privadaSinCifrar() const;
    QByteArray publica(bool pem) const;
    // Self-signed certificate of the public key.
    QByteArray certificado(bool pem) const;

private:
    EVP_PKEY* k_ = nullptr;
};

// Writes bytes to a file, failing the test run when it cannot.
void escribeArchivo(const QString& ruta, const QByteArray& bytes);
QByteArray leeArchivo(const QString& ruta);
