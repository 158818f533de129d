#include "support/LlavesPrueba.h"

#include <QFile>
#include <stdexcept>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

namespace {

QByteArray contenido(BIO* b) {
    char* p = nullptr;
    const long n = BIO_get_mem_data(b, &p);
    QByteArray out(p, n);
    BIO_free(b);
    return out;
}

void exige(bool ok, const char* que) {
    if (!ok)
        throw std::runtime_error(que);
}

} // namespace

LlavePrueba::LlavePrueba(Tipo tipo) {
    k_ = tipo == Tipo::Rsa ? EVP_RSA_gen(2048) : EVP_EC_gen("P-256");
    exige(k_ != nullptr, "no se pudo generar la llave");
}

LlavePrueba::~LlavePrueba() {
    EVP_PKEY_free(k_);
}

QByteArray LlavePrueba::privadaCifrada(const QByteArray& clave, bool pem) const {
    BIO* b = BIO_new(BIO_s_mem());
    const int ok = pem ? PEM_write_bio_PKCS8PrivateKey(b, k_, EVP_aes_256_cbc(), clave.constData(),
                                                       int(clave.size()), nullptr, nullptr)
                       : i2d_PKCS8PrivateKey_bio(b, k_, EVP_aes_256_cbc(), clave.constData(),
                                                 int(clave.size()), nullptr, nullptr);
    exige(ok == 1, "no se pudo escribir la llave privada");
    return contenido(b);
}

QByteArray LlavePrueba::privadaSinCifrar() const {
    BIO* b = BIO_new(BIO_s_mem());
    exige(PEM_write_bio_PKCS8PrivateKey(b, k_, nullptr, nullptr, 0, nullptr, nullptr) == 1,
          "no se pudo escribir la llave privada");
    return contenido(b);
}

QByteArray LlavePrueba::publica(bool pem) const {
    BIO* b = BIO_new(BIO_s_mem());
    exige((pem ? PEM_write_bio_PUBKEY(b, k_) : i2d_PUBKEY_bio(b, k_)) == 1,
          "no se pudo escribir la llave pública");
    return contenido(b);
}

QByteArray LlavePrueba::certificado(bool pem) const {
    X509* x = X509_new();
    X509_set_version(x, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
    X509_gmtime_adj(X509_getm_notBefore(x), 0);
    X509_gmtime_adj(X509_getm_notAfter(x), 24 * 3600);
    X509_set_pubkey(x, k_);
    X509_NAME* nombre = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(nombre, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("PELJ700101AB1"), -1, -1, 0);
    X509_set_issuer_name(x, nombre);
    exige(X509_sign(x, k_, EVP_sha256()) > 0, "no se pudo firmar el certificado");
    BIO* b = BIO_new(BIO_s_mem());
    const int ok = pem ? PEM_write_bio_X509(b, x) : i2d_X509_bio(b, x);
    X509_free(x);
    exige(ok == 1, "no se pudo escribir el certificado");
    return contenido(b);
}

void escribeArchivo(const QString& ruta, const QByteArray& bytes) {
    QFile f(ruta);
    exige(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(),
          "no se pudo escribir un archivo de prueba");
}

QByteArray leeArchivo(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
