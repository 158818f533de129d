#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

typedef struct evp_pkey_st EVP_PKEY;

// A key pair made at test time, so no private key ever sits in the repository.
class TestKey {
public:
    explicit TestKey(bool rsa);
    QByteArray encryptedPrivate(const QByteArray& password, bool pem) const; // PKCS#8
    QByteArray publicPem() const;                                            // PEM
    QByteArray certificate(bool pem) const;                                  // self-signed

private:
    std::unique_ptr<EVP_PKEY, void (*)(EVP_PKEY*)> k_;
};
