// Signing the information file, what the verifier says of it, the result
// codes with every kind of key file that is no key, and the key dialog.
#include "dialogs/frmKey.h"
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "exchange/Signing.h"
#include "support/SampleFile.h"
#include "support/TestKey.h"
#include "wizard/InformationFileFlow.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

namespace {

// Signs the file on disk in place, as the information file is signed.
int firma(const QString& archivo, const QString& llave, const QString& clave) {
    QByteArray contenido = readWholeFile(archivo);
    const Signer f{agentCurpOf(contenido), llave.toUtf8(), clave.toUtf8()};
    const int codigo = signContent(contenido, f);
    if (codigo == SignedOk)
        writeWholeFile(archivo, contenido);
    return codigo;
}

// An encrypted PKCS#8 key (DER) whose password takes `rounds` rounds.
QByteArray roundsKey(int rounds) {
    EVP_PKEY* k = EVP_EC_gen("P-256");
    PKCS8_PRIV_KEY_INFO* p8 = EVP_PKEY2PKCS8(k);
    X509_SIG* sig = PKCS8_encrypt(-1, EVP_aes_256_cbc(), "clave", 5, nullptr, 0, rounds, p8);
    unsigned char* der = nullptr;
    const int n = sig ? i2d_X509_SIG(sig, &der) : 0;
    QByteArray out(reinterpret_cast<const char*>(der), n > 0 ? n : 0);
    OPENSSL_free(der);
    X509_SIG_free(sig);
    PKCS8_PRIV_KEY_INFO_free(p8);
    EVP_PKEY_free(k);
    return out;
}

} // namespace

class TestSigning : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void signedAndVerified();
    void resultCodes_data();
    void resultCodes();
    void keyDialogChecksTheKey_data();
    void keyDialogChecksTheKey();
    void keyDialogRemembersTheFolderNotThePassword();

private:
    std::unique_ptr<TestKey> rsa_, ec_;
    QTemporaryDir dir_;
    QString ruta(const QString& nombre) const { return QDir(dir_.path()).filePath(nombre); }
};

void TestSigning::initTestCase() {
    QStandardPaths::setTestModeEnabled(true); // remembered settings stay out of the user's
    rsa_ = std::make_unique<TestKey>(true);
    ec_ = std::make_unique<TestKey>(false);
}

void TestSigning::signedAndVerified() {
    const QString archivo = ruta(QStringLiteral("3001.txt")), llave = ruta(QStringLiteral("k.key"));
    for (const auto& [key, pem, algoritmo] :
         {std::tuple{rsa_.get(), false, QByteArray("RSA-SHA256")},
          std::tuple{ec_.get(), true, QByteArray("ECDSA-SHA256")}}) {
        writeWholeFile(archivo, ExpectedSample);
        writeWholeFile(llave, key->encryptedPrivate("s3creta", pem));
        QCOMPARE(firma(archivo, llave, QStringLiteral("s3creta")), int(SignedOk));

        // The file keeps its bytes and gains exactly one last record.
        const QByteArray firmado = readWholeFile(archivo);
        const qsizetype r = ExpectedSample.size();
        QVERIFY(firmado.startsWith(ExpectedSample) && firmado.endsWith("\r\n"));
        const QList<QByteArray> campos = firmado.sliced(r).chopped(2).split('|');
        QCOMPARE(campos.size(), 6);
        QCOMPARE(campos.mid(0, 4),
                 QList<QByteArray>({"FIRMA", "3001", "PELJ700101HDFRPN09", algoritmo}));
        QCOMPARE(campos.at(4).size(), 64);
        for (const QByteArray& publica : {key->publicPem(), key->certificate(pem)})
            QVERIFY(verifySignature(firmado, publica).intact);

        // A cut, an addition, a missing record, and a byte changed in the
        // content or in any field of the signature record are all caught.
        QList<QByteArray> alterados = {firmado.chopped(1), firmado + "X|3001\r\n", ExpectedSample};
        for (qsizetype i = r / 2; i > 0; i = firmado.indexOf('|', i) + 1)
            alterados << QByteArray(firmado).replace(i, 1, QByteArray(1, char(firmado[i] ^ 0x01)));
        for (const QByteArray& alterado : alterados)
            QVERIFY(!verifySignature(alterado, key->certificate(true)).intact);
        // Another agent's key does not vouch for it.
        QVERIFY(!verifySignature(firmado, TestKey(false).publicPem()).intact);
    }

    // The command the authority runs says the same, in Spanish whatever the
    // system's language; a file it cannot read is told as such.
    writeWholeFile(ruta(QStringLiteral("ec.cer")), ec_->certificate(false));
    const QByteArray firmado = readWholeFile(archivo);
    for (const auto& [contenido, codigo, dice] :
         {std::tuple{firmado, 0, "El archivo está íntegro"},
          {QByteArray(firmado).replace("JUAN", "JUAM"), 1, "El archivo NO está íntegro"},
          {QByteArray(), 2, "No se pudo leer "}}) {
        contenido.isNull() ? void(QFile::remove(archivo)) : writeWholeFile(archivo, contenido);
        QProcess p;
        p.setEnvironment({QStringLiteral("LANG=en_US.UTF-8"), QStringLiteral("LC_ALL=C")});
        p.start(QStringLiteral(KESTRO_VERIFICA_FIRMA), {archivo, ruta(QStringLiteral("ec.cer"))});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), codigo);
        const QString salida =
            QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QVERIFY2(salida.startsWith(QString::fromUtf8(dice)), qPrintable(salida));
    }
}

void TestSigning::resultCodes_data() {
    QTest::addColumn<QString>("key"); // what stands at the key's path
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("code");
    QTest::newRow("no key file") << "none"
                                 << "clave" << 1;
    QTest::newRow("text") << "text"
                          << "clave" << 1;
    QTest::newRow("a certificate") << "certificate"
                                   << "clave" << 1;
    QTest::newRow("empty") << "empty"
                           << "clave" << 1;
    QTest::newRow("a folder") << "folder"
                              << "clave" << 1;
    QTest::newRow("a link loop") << "loop"
                                 << "clave" << 1;
    QTest::newRow("4 GiB") << "huge"
                           << "clave" << 1;
    // 8 388 607 derivation rounds: refused at once, not the program kept busy.
    QTest::newRow("slow to open") << "slow"
                                  << "clave" << 1;
    QTest::newRow("wrong password") << "ec"
                                    << "Clave" << 2;
    QTest::newRow("no password") << "ec"
                                 << "" << 2;
    QTest::newRow("fast enough to open") << "rounds"
                                         << "clave" << 0;
}

void TestSigning::resultCodes() {
    QFETCH(QString, key);
    QFETCH(QString, password);
    QFETCH(int, code);
    QTemporaryDir dir;
    const QString archivo = dir.filePath(QStringLiteral("3001.txt"));
    const QString llave = dir.filePath(QStringLiteral("llave.key"));
    writeWholeFile(archivo, ExpectedSample);
    if (key == "text")
        writeWholeFile(llave, "basura que no es una llave");
    else if (key == "certificate")
        writeWholeFile(llave, rsa_->certificate(true));
    else if (key == "empty")
        writeWholeFile(llave, "");
    else if (key == "folder")
        QDir().mkpath(llave);
    else if (key == "loop")
        QFile::link(dir.filePath("b.key"), llave), QFile::link(llave, dir.filePath("b.key"));
    else if (key == "huge") {
        QFile f(llave);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(4) << 30)); // sparse, never read
    } else if (key == "ec")
        writeWholeFile(llave, ec_->encryptedPrivate("clave", password.isEmpty()));
    else if (key == "rounds" || key == "slow") {
        QByteArray k = roundsKey(65536); // rounds patched in place
        if (key == "slow")
            k.replace(QByteArray("\x02\x03\x01\x00\x00", 5), QByteArray("\x02\x03\x7f\xff\xff", 5));
        writeWholeFile(llave, k);
    }
    QCOMPARE(firma(archivo, llave, password), code);
    QCOMPARE(readWholeFile(archivo).startsWith(ExpectedSample + (code ? "" : "FIRMA")), true);
    if (code == 0)
        return;
    // The wizard tells which.
    seam::Script s;
    tellSigningOutcome(nullptr, code, dir.path(), QStringLiteral("3001"), QString());
    QCOMPARE(s.lastText(),
             QStringList({"", "No se encontró la llave privada (*.key) o el archivo no es válido",
                          "Error en la contraseña"})
                 .at(code));
}

void TestSigning::keyDialogChecksTheKey_data() {
    QTest::addColumn<QString>("rfc");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("refusal"); // "": taken
    const QString rfc = QStringLiteral("PELJ700101AB1");
    const QString other = QStringLiteral("Debe usar el archivo llave del AGENTE ADUANAL");
    QTest::newRow("none") << rfc << ""
                          << "El archivo llave no puede estar vacio";
    QTest::newRow("another") << rfc << "/llaves/XAXX010101000.key" << other;
    QTest::newRow("certificate") << rfc << "/llaves/PELJ700101AB1.cer" << other;
    // The RFC is compared as typed; the file name in any case.
    QTest::newRow("rfc typed lower") << rfc.toLower() << "/llaves/pelj700101ab1.key" << other;
    QTest::newRow("name lower") << rfc << "/llaves/pelj700101ab1.key"
                                << "";
    QTest::newRow("in a folder of its name") << rfc << "/llaves/PELJ700101AB1.KEY/firma.key"
                                             << "";
}

void TestSigning::keyDialogChecksTheKey() {
    QFETCH(QString, rfc);
    QFETCH(QString, path);
    QFETCH(QString, refusal);
    frmKey d(rfc, QString());
    seam::Script s;
    s.chooseFile(path); // none chosen when empty
    d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
    QCOMPARE(s.fileFilters, QStringList(QStringLiteral("Archivo_llave (*.key)")));
    d.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(QStringLiteral(" c l "));
    d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
    const bool taken = refusal.isEmpty();
    QCOMPARE(s.lastText(), refusal);
    QCOMPARE(d.result(), int(taken ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(d.choice().has_value(), taken);
    if (taken) {
        QCOMPARE(d.choice()->keyPath, QDir::toNativeSeparators(path));
        QCOMPARE(d.choice()->password, QStringLiteral(" c l "));
    }
}

void TestSigning::keyDialogRemembersTheFolderNotThePassword() {
    const QString rfc = QStringLiteral("PELJ700101AB1");
    const QString clave = QStringLiteral("clave-que-no-se-guarda");
    QTemporaryDir llaves;
    QString ultima; // the key file of this run, as the wizard keeps it
    const auto busca = [&](const QString& elegir, const QString& escrita) {
        frmKey d(rfc, ultima);
        seam::Script s;
        s.chooseFile(elegir);
        d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
        d.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(escrita);
        d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        ultima = d.keyFile();
        return s.fileFolders.value(0);
    };
    const QString llave = QDir(llaves.path()).filePath(rfc + QStringLiteral(".key"));
    busca(llave, clave);
    // The next time in this run the key is there already, the password not.
    frmKey otra(rfc, ultima);
    QCOMPARE(otra.findChild<QLineEdit*>(QStringLiteral("txtLlave"))->text(),
             QDir::toNativeSeparators(llave));
    QVERIFY(otra.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->text().isEmpty());
    // It opens where the key was, in another run too.
    QCOMPARE(busca(QString(), QString()), llaves.path());
    QSettings guardado(QSettings::UserScope, QStringLiteral("KESTRO"), QStringLiteral("KESTRO"));
    for (const QString& k : guardado.allKeys())
        QVERIFY(!guardado.value(k).toString().contains(clave));
}

QTEST_MAIN(TestSigning)
#include "tst_signing.moc"
