#include "exchange/Signing.h"

#include "data/FaultPoint.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cstdlib>
#include <memory>
#include <openssl/bio.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/provider.h>
#include <openssl/x509.h>

namespace {

// Lets a unique_ptr release an OpenSSL object with its own free function.
template <class T, void (*F)(T*)> struct FreedBy {
    void operator()(T* p) const { F(p); }
};
using Pkey = std::unique_ptr<EVP_PKEY, FreedBy<EVP_PKEY, EVP_PKEY_free>>;
using Sig = std::unique_ptr<X509_SIG, FreedBy<X509_SIG, X509_SIG_free>>;
using P8 =
    std::unique_ptr<PKCS8_PRIV_KEY_INFO, FreedBy<PKCS8_PRIV_KEY_INFO, PKCS8_PRIV_KEY_INFO_free>>;
using Cert = std::unique_ptr<X509, FreedBy<X509, X509_free>>;
using Bio = std::unique_ptr<BIO, FreedBy<BIO, BIO_free_all>>;
using MdCtx = std::unique_ptr<EVP_MD_CTX, FreedBy<EVP_MD_CTX, EVP_MD_CTX_free>>;

const QByteArray Etiqueta = "FIRMA";
const QByteArray Fin = "800|1111111|1|\r\n";

Bio bioOf(const QByteArray& data) {
    return Bio(BIO_new_mem_buf(data.constData(), int(data.size())));
}

bool isPem(const QByteArray& data) {
    return data.contains("-----BEGIN ");
}

// The encrypted PKCS#8 envelope, whichever encoding the file uses.
Sig readEnvelope(const QByteArray& data) {
    if (isPem(data)) {
        Bio b = bioOf(data);
        return Sig(PEM_read_bio_PKCS8(b.get(), nullptr, nullptr, nullptr));
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data.constData());
    return Sig(d2i_X509_SIG(nullptr, &p, long(data.size())));
}

// A key file states how much work its password takes (PBKDF2 rounds, or
// scrypt's cost times block size times parallelism); a hostile one asking
// for billions would hang the program at Aceptar. The keys people get ask
// for thousands.
constexpr long MaxRounds = 1000000;

// -1 when the parameters cannot be read or the work does not fit a long.
long scryptWorkOf(const ASN1_TYPE* parameter) {
    auto* k = static_cast<SCRYPT_PARAMS*>(
        ASN1_TYPE_unpack_sequence(ASN1_ITEM_rptr(SCRYPT_PARAMS), parameter));
    uint64_t n = 0, r = 0, p = 0;
    const bool read = k && ASN1_INTEGER_get_uint64(&n, k->costParameter) == 1 &&
                      ASN1_INTEGER_get_uint64(&r, k->blockSize) == 1 &&
                      ASN1_INTEGER_get_uint64(&p, k->parallelizationParameter) == 1;
    SCRYPT_PARAMS_free(k);
    if (!read)
        return -1;
    // Checked step by step so that no product overflows.
    long work = 1;
    for (const uint64_t factor : {n, r, p}) {
        if (factor > uint64_t(MaxRounds) || work * long(factor) > MaxRounds)
            return MaxRounds + 1;
        work *= long(factor);
    }
    return work;
}

long pbes2WorkOf(const PBE2PARAM* p2) {
    switch (OBJ_obj2nid(p2->keyfunc->algorithm)) {
    case NID_id_pbkdf2: {
        auto* k = static_cast<PBKDF2PARAM*>(
            ASN1_TYPE_unpack_sequence(ASN1_ITEM_rptr(PBKDF2PARAM), p2->keyfunc->parameter));
        const long rounds = k ? ASN1_INTEGER_get(k->iter) : -1;
        PBKDF2PARAM_free(k);
        return rounds;
    }
    case NID_id_scrypt:
        return scryptWorkOf(p2->keyfunc->parameter);
    default:
        return -1; // no other derivation is known to be bounded
    }
}

// The envelope's algorithm parameters, when they are a sequence.
const ASN1_STRING* sequenceOf(const X509_ALGOR* alg) {
    int ptype = 0;
    const void* pval = nullptr;
    X509_ALGOR_get0(nullptr, &ptype, &pval, alg);
    return ptype == V_ASN1_SEQUENCE ? static_cast<const ASN1_STRING*>(pval) : nullptr;
}

PBE2PARAM* pbes2Of(const X509_ALGOR* alg) {
    const ASN1_STRING* seq = sequenceOf(alg);
    return seq ? static_cast<PBE2PARAM*>(ASN1_item_unpack(seq, ASN1_ITEM_rptr(PBE2PARAM)))
               : nullptr;
}

int nidOf(const X509_ALGOR* alg) {
    const ASN1_OBJECT* oid = nullptr;
    X509_ALGOR_get0(&oid, nullptr, nullptr, alg);
    return OBJ_obj2nid(oid);
}

long roundsOf(const X509_ALGOR* alg) {
    const ASN1_STRING* seq = sequenceOf(alg);
    if (!seq)
        return 0; // no rounds stated: decryption judges the rest
    long rounds = 0;
    if (nidOf(alg) == NID_pbes2) {
        PBE2PARAM* p2 = pbes2Of(alg);
        rounds = p2 ? pbes2WorkOf(p2) : -1;
        PBE2PARAM_free(p2);
    } else if (auto* p = static_cast<PBEPARAM*>(ASN1_item_unpack(seq, ASN1_ITEM_rptr(PBEPARAM)))) {
        rounds = ASN1_INTEGER_get(p->iter);
        PBEPARAM_free(p);
    }
    return rounds;
}

bool roundsAcceptable(const X509_SIG* envelope) {
    const X509_ALGOR* alg = nullptr;
    X509_SIG_get0(envelope, &alg, nullptr);
    const long rounds = roundsOf(alg);
    return rounds >= 0 && rounds <= MaxRounds;
}

// The cipher and digest the password encryption uses (NID_undef for a
// digest it does not name); false when the scheme is not one OpenSSL knows.
bool cipherOf(const X509_SIG* envelope, int* cipher, int* digest) {
    const X509_ALGOR* alg = nullptr;
    X509_SIG_get0(envelope, &alg, nullptr);
    *cipher = *digest = NID_undef;
    if (nidOf(alg) == NID_pbes2) {
        PBE2PARAM* p2 = pbes2Of(alg);
        if (p2)
            *cipher = OBJ_obj2nid(p2->encryption->algorithm);
        PBE2PARAM_free(p2);
        return *cipher != NID_undef;
    }
    return EVP_PBE_find(EVP_PBE_TYPE_OUTER, nidOf(alg), cipher, digest, nullptr) == 1 &&
           *cipher != NID_undef;
}

bool canFetch(int cipher, int digest) {
    EVP_CIPHER* c = EVP_CIPHER_fetch(nullptr, OBJ_nid2sn(cipher), nullptr);
    EVP_MD* d = digest == NID_undef ? nullptr : EVP_MD_fetch(nullptr, OBJ_nid2sn(digest), nullptr);
    const bool ok = c && (digest == NID_undef || d);
    EVP_CIPHER_free(c);
    EVP_MD_free(d);
    ERR_clear_error();
    return ok;
}

// OpenSSL 3 keeps old ciphers (DES, RC2, RC4...) in its legacy module,
// loaded only for a key that needs one. The Windows package carries the
// module in ossl-modules beside the program, where OpenSSL would not look
// by itself; OPENSSL_MODULES, when set, still has the last word.
void loadLegacyCiphers() {
    static const bool loaded = [] {
#ifdef Q_OS_WIN
        if (qEnvironmentVariableIsEmpty("OPENSSL_MODULES") && QCoreApplication::instance())
            OSSL_PROVIDER_set_default_search_path(
                nullptr, QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/ossl-modules"))
                             .toLocal8Bit()
                             .constData());
#endif
        // Held for the rest of the run and given back at its end, before
        // OpenSSL's own clean-up, which frees only what no one holds.
        static OSSL_PROVIDER* legacy = nullptr;
        legacy = OSSL_PROVIDER_try_load(nullptr, "legacy", 1);
        if (legacy)
            std::atexit([] { OSSL_PROVIDER_unload(legacy); });
        ERR_clear_error();
        return legacy != nullptr;
    }();
    (void)loaded;
}

// Whether this installation can decrypt the key, loading the legacy
// module when the key's cipher is in it.
bool cipherUsable(const X509_SIG* envelope) {
    int cipher = NID_undef, digest = NID_undef;
    if (!cipherOf(envelope, &cipher, &digest))
        return false;
    if (canFetch(cipher, digest))
        return true;
    loadLegacyCiphers();
    return canFetch(cipher, digest);
}

Pkey readPublicKey(const QByteArray& data) {
    if (isPem(data)) {
        {
            Bio b = bioOf(data);
            if (EVP_PKEY* k = PEM_read_bio_PUBKEY(b.get(), nullptr, nullptr, nullptr))
                return Pkey(k);
        }
        Bio b = bioOf(data);
        Cert c(PEM_read_bio_X509(b.get(), nullptr, nullptr, nullptr));
        return Pkey(c ? X509_get_pubkey(c.get()) : nullptr);
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data.constData());
    if (EVP_PKEY* k = d2i_PUBKEY(nullptr, &p, long(data.size())))
        return Pkey(k);
    p = reinterpret_cast<const unsigned char*>(data.constData());
    Cert c(d2i_X509(nullptr, &p, long(data.size())));
    return Pkey(c ? X509_get_pubkey(c.get()) : nullptr);
}

// Only key types whose signature takes a SHA-256 digest.
QByteArray algorithmOf(EVP_PKEY* k) {
    if (EVP_PKEY_is_a(k, "RSA"))
        return "RSA-SHA256";
    if (EVP_PKEY_is_a(k, "EC"))
        return "ECDSA-SHA256";
    return QByteArray();
}

// The public key as DER SubjectPublicKeyInfo.
QByteArray publicKeyDer(EVP_PKEY* k) {
    unsigned char* der = nullptr;
    const int n = i2d_PUBKEY(k, &der);
    if (n <= 0)
        return QByteArray();
    const QByteArray out(reinterpret_cast<const char*>(der), n);
    OPENSSL_free(der);
    return out;
}

// The public key in the one encoding a key has whatever its file chose:
// an EC point is written uncompressed, so the same key given compressed is
// still the same key.
QByteArray canonicalDer(EVP_PKEY* k) {
    if (EVP_PKEY_is_a(k, "EC")) {
        Pkey copy(EVP_PKEY_dup(k));
        if (copy &&
            EVP_PKEY_set_utf8_string_param(copy.get(), OSSL_PKEY_PARAM_EC_POINT_CONVERSION_FORMAT,
                                           OSSL_PKEY_EC_POINT_CONVERSION_FORMAT_UNCOMPRESSED) == 1)
            return publicKeyDer(copy.get());
        ERR_clear_error();
    }
    return publicKeyDer(k);
}

// SHA-256 of the public key, so the authority can tell which of the
// agent's keys signed.
QByteArray fingerprintOf(EVP_PKEY* k) {
    const QByteArray der = canonicalDer(k);
    return der.isEmpty() ? QByteArray()
                         : QCryptographicHash::hash(der, QCryptographicHash::Sha256).toHex();
}

// The verifier checks many files against one key: it is read once per
// thread, so a summary written away from the window thread has its own.
struct PublicKey {
    QByteArray data;
    Pkey key;
    QByteArray fingerprint;
};
const PublicKey& readPublicKeyOnce(const QByteArray& data) {
    thread_local PublicKey last;
    if (!last.key || data != last.data) {
        last.key = readPublicKey(data);
        last.data = data;
        last.fingerprint = last.key ? fingerprintOf(last.key.get()) : QByteArray();
    }
    return last;
}

// The line that starts at `from`, without its line end.
QByteArray lineAt(const QByteArray& content, qsizetype from) {
    qsizetype end = content.indexOf('\n', from);
    if (end < 0)
        end = content.size();
    const QByteArray l = content.mid(from, end - from);
    return l.endsWith('\r') ? l.chopped(1) : l;
}

// Field `index` of the line that starts at `from`; found without
// splitting the line, which in a hostile file may hold millions of fields.
QByteArray fieldAt(const QByteArray& content, qsizetype from, int index) {
    const QByteArray whole = lineAt(content, from);
    const QByteArrayView line(whole);
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype bar = line.indexOf('|', start);
        if (bar < 0)
            return QByteArray();
        start = bar + 1;
    }
    const qsizetype bar = line.indexOf('|', start);
    return line.sliced(start, (bar < 0 ? line.size() : bar) - start).toByteArray();
}

// The patent of the "501" record and the agent's CURP of the "AA" record:
// the signature record repeats both so it names whose file it is.
QByteArray patentOf(const QByteArray& content) {
    return content.startsWith("501|") ? fieldAt(content, 0, 1) : QByteArray();
}

QByteArray curpOf(const QByteArray& content) {
    const qsizetype at = content.startsWith("AA|") ? 0 : content.indexOf("\nAA|");
    if (at < 0)
        return QByteArray();
    return fieldAt(content, at == 0 ? 0 : at + 1, 6);
}

QByteArray signatureRecord(const QByteArray& patente, const QByteArray& curp,
                           const QByteArray& algorithmName, const QByteArray& fingerprint,
                           const QByteArray& signature) {
    return Etiqueta + '|' + patente + '|' + curp + '|' + algorithmName + '|' + fingerprint + '|' +
           signature.toBase64() + "\r\n";
}

bool readWholeFile(const QString& path, QByteArray* out) {
    if (faultpoint::hit())
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *out = f.readAll();
    return f.error() == QFileDevice::NoError;
}

void wipeBytes(QByteArray& b) {
    if (!b.isEmpty())
        OPENSSL_cleanse(b.data(), size_t(b.size()));
    b.clear();
}

// The key file, refused unread when it is not a plain file of a sensible
// size (a folder, a link loop, a device or something huge).
bool readKeyFile(const QString& path, QByteArray* out) {
    const QFileInfo fi(path);
    if (!fi.isFile() || fi.size() > MaxKeyFileSize)
        return false;
    return readWholeFile(path, out) && out->size() <= MaxKeyFileSize;
}

} // namespace

QByteArray signedPart(const QByteArray& signedFile) {
    const qsizetype record = signedFile.lastIndexOf("\r\n", signedFile.size() - 3);
    return signedFile.left(record < 0 ? 0 : record + 2);
}

QByteArray agentCurpOf(const QByteArray& content) {
    return curpOf(content);
}

int signContent(QByteArray& content, const Signer& f, QByteArray* publicKey) {
    if (content.isEmpty())
        return NothingToSign;
    QByteArray keyBytes;
    if (f.keyPath.isEmpty() || !readKeyFile(QString::fromUtf8(f.keyPath), &keyBytes))
        return InvalidKey;
    Sig envelope = readEnvelope(keyBytes);
    wipeBytes(keyBytes);
    ERR_clear_error();
    if (!envelope || !roundsAcceptable(envelope.get())) {
        ERR_clear_error();
        return InvalidKey;
    }
    if (!cipherUsable(envelope.get()))
        return UnsupportedKeyCipher;
    P8 info(PKCS8_decrypt(envelope.get(), f.password.constData(), int(f.password.size())));
    if (!info) {
        ERR_clear_error();
        return WrongPassword;
    }
    Pkey k(EVP_PKCS82PKEY(info.get()));
    info.reset();
    if (!k || algorithmOf(k.get()).isEmpty()) {
        ERR_clear_error();
        return InvalidKey;
    }

    MdCtx ctx(EVP_MD_CTX_new());
    size_t n = 0;
    const auto* payload = reinterpret_cast<const unsigned char*>(content.constData());
    if (!ctx || EVP_DigestSignInit(ctx.get(), nullptr, EVP_sha256(), nullptr, k.get()) != 1 ||
        EVP_DigestSign(ctx.get(), nullptr, &n, payload, size_t(content.size())) != 1) {
        ERR_clear_error();
        return InvalidKey;
    }
    QByteArray signature(qsizetype(n), '\0');
    if (EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char*>(signature.data()), &n, payload,
                       size_t(content.size())) != 1) {
        ERR_clear_error();
        return InvalidKey;
    }
    signature.truncate(qsizetype(n));

    content += signatureRecord(patentOf(content), f.curp, algorithmOf(k.get()),
                               fingerprintOf(k.get()), signature);
    if (publicKey)
        *publicKey = publicKeyDer(k.get());
    return SignedOk;
}

void wipeSigner(Signer& signer) {
    wipeBytes(signer.password);
    wipeBytes(signer.keyPath);
    signer.curp.clear();
}

void wipeText(QString& text) {
    // A text shared with another is left to the last one holding it:
    // writing to it here would only wipe a fresh copy.
    if (!text.isEmpty() && text.isDetached())
        OPENSSL_cleanse(text.data(), size_t(text.size()) * sizeof(QChar));
    text.clear();
}

void wipeText(QString&& text) {
    wipeText(text);
}

Verification verifySignature(const QByteArray& fileBytes, const QByteArray& publicKey) {
    const auto fail = [](const QString& why) {
        return Verification{false, QStringLiteral("El archivo NO está íntegro: %1").arg(why)};
    };
    const PublicKey& pk = readPublicKeyOnce(publicKey);
    EVP_PKEY* const k = pk.key.get();
    ERR_clear_error();
    if (!k || algorithmOf(k).isEmpty())
        return Verification{false, QStringLiteral("La llave pública o el certificado no se "
                                                  "pudo leer (se espera RSA o EC, en PEM o "
                                                  "DER).")};

    if (!fileBytes.endsWith("\r\n"))
        return fail(QStringLiteral("no termina con el registro de la firma digital."));
    const QByteArray content = signedPart(fileBytes);
    const QByteArray recordText = fileBytes.mid(content.size());
    if (!recordText.startsWith(Etiqueta + '|') || !content.endsWith(Fin))
        return fail(QStringLiteral("no tiene la firma digital después del registro 800."));

    if (recordText.count('|') != 5)
        return fail(QStringLiteral("el registro de la firma digital está dañado."));
    const QList<QByteArray> recordFields = recordText.chopped(2).split('|');
    if (recordFields.size() != 6)
        return fail(QStringLiteral("el registro de la firma digital está dañado."));
    if (recordFields.at(3) != algorithmOf(k) || recordFields.at(4) != pk.fingerprint)
        return fail(QStringLiteral("la firma no se hizo con la llave de este agente."));
    const auto decodedText =
        QByteArray::fromBase64Encoding(recordFields.at(5), QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray* signature = decodedText ? &decodedText.decoded : nullptr;
    // Every byte of the record must be the one signing would write, so a
    // change anywhere in it is caught as well.
    if (!signature ||
        recordText != signatureRecord(patentOf(content), curpOf(content), recordFields.at(3),
                                      recordFields.at(4), *signature))
        return fail(QStringLiteral("el registro de la firma digital fue modificado."));

    MdCtx ctx(EVP_MD_CTX_new());
    const bool ok =
        ctx && EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sha256(), nullptr, k) == 1 &&
        EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char*>(signature->constData()),
                         size_t(signature->size()),
                         reinterpret_cast<const unsigned char*>(content.constData()),
                         size_t(content.size())) == 1;
    ERR_clear_error();
    if (!ok)
        return fail(QStringLiteral("su contenido fue modificado después de firmarlo o la firma "
                                   "no corresponde a la llave."));
    return Verification{true, QStringLiteral("El archivo está íntegro: la firma digital "
                                             "corresponde a la llave del agente y el contenido "
                                             "no ha sido modificado.")};
}
