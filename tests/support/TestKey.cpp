#include "support/TestKey.h"

#include <stdexcept>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

namespace {

// Takes what was written to `b` and frees it; throws when the writing failed.
QByteArray written(BIO* b, bool ok) {
    char* p = nullptr;
    const long n = BIO_get_mem_data(b, &p);
    QByteArray out(p, n);
    BIO_free(b);
    if (!ok || out.isEmpty())
        throw std::runtime_error("cannot write the test key");
    return out;
}

} // namespace

TestKey::TestKey(bool rsa) : k_(rsa ? EVP_RSA_gen(2048) : EVP_EC_gen("P-256"), EVP_PKEY_free) {
    if (!k_)
        throw std::runtime_error("cannot generate the test key");
}

QByteArray TestKey::encryptedPrivate(const QByteArray& password, bool pem) const {
    BIO* b = BIO_new(BIO_s_mem());
    const auto write = pem ? PEM_write_bio_PKCS8PrivateKey : i2d_PKCS8PrivateKey_bio;
    return written(b, write(b, k_.get(), EVP_aes_256_cbc(), password.constData(),
                            int(password.size()), nullptr, nullptr) == 1);
}

QByteArray TestKey::publicPem() const {
    BIO* b = BIO_new(BIO_s_mem());
    return written(b, PEM_write_bio_PUBKEY(b, k_.get()) == 1);
}

QByteArray TestKey::certificate(bool pem) const {
    X509* x = X509_new();
    ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
    X509_gmtime_adj(X509_getm_notBefore(x), 0);
    X509_gmtime_adj(X509_getm_notAfter(x), 24 * 3600);
    X509_set_pubkey(x, k_.get());
    X509_NAME* subject = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("PELJ700101AB1"), -1, -1, 0);
    X509_set_issuer_name(x, subject);
    BIO* b = BIO_new(BIO_s_mem());
    const bool ok = X509_sign(x, k_.get(), EVP_sha256()) > 0 &&
                    (pem ? PEM_write_bio_X509(b, x) : i2d_X509_bio(b, x)) == 1;
    X509_free(x);
    return written(b, ok);
}
