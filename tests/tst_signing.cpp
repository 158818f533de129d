// Signing the information file, what the verifier says of it, the result
// codes with every kind of key file that is no key, and the key dialog.
#include "dialogs/frmKey.h"
#include "exchange/Signing.h"
#include "support/WizardDriver.h"
#include "wizard/InformationFileFlow.h"

using namespace Qt::StringLiterals;

namespace {

// Signs the file on disk in place, as the information file is signed.
int signFile(const QString& file, const QString& keyPath, const QString& password) {
    QByteArray content = readWholeFile(file);
    const Signer f{agentCurpOf(content), keyPath.toUtf8(), password.toUtf8()};
    const int code = signContent(content, f);
    if (code == SignedOk)
        writeWholeFile(file, content);
    return code;
}

} // namespace

class TestSigning : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void signedAndVerified();
    void resultCodes_data();
    void resultCodes();
    void legacyModuleMissing();
    void keyDialogChecksTheKey_data();
    void keyDialogChecksTheKey();
};

void TestSigning::initTestCase() {
    QStandardPaths::setTestModeEnabled(true); // remembered settings stay out of the user's
}

// keys/ holds an EC key (PEM, its certificate PEM) and an RSA one (DER, its
// certificate DER), both with the password "clave".
void TestSigning::signedAndVerified() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"3001.txt"_s);
    for (const auto& [key, algorithm] : {std::pair{"keys/ec", QByteArray("ECDSA-SHA256")},
                                         std::pair{"keys/rsa", QByteArray("RSA-SHA256")}}) {
        const QString k = fixture(QLatin1String(key));
        writeWholeFile(file, ExpectedSample);
        QCOMPARE(signFile(file, k + u".key"_s, u"clave"_s), int(SignedOk));

        // The file keeps its bytes and gains exactly one last record.
        const QByteArray signedFile = readWholeFile(file);
        const qsizetype r = ExpectedSample.size();
        QVERIFY(signedFile.startsWith(ExpectedSample) && signedFile.endsWith("\r\n"));
        const QList<QByteArray> fields = signedFile.sliced(r).chopped(2).split('|');
        QCOMPARE(fields.size(), 6);
        QCOMPARE(fields.mid(0, 4),
                 QList<QByteArray>({"FIRMA", "3001", "PELJ700101HDFRPN09", algorithm}));
        QCOMPARE(fields.at(4).size(), 64);
        const QByteArray certificate = readWholeFile(k + u".cer"_s);
        QVERIFY(verifySignature(signedFile, readWholeFile(k + u".pub"_s)).intact);
        QVERIFY(verifySignature(signedFile, certificate).intact);

        // A cut, an addition, a missing record, and a byte changed in the
        // content or in any field of the signature record are all caught.
        QList<QByteArray> tampered = {signedFile.chopped(1), signedFile + "X|3001\r\n",
                                      ExpectedSample};
        for (qsizetype i = r / 2; i > 0; i = signedFile.indexOf('|', i) + 1)
            tampered
                << QByteArray(signedFile).replace(i, 1, QByteArray(1, char(signedFile[i] ^ 0x01)));
        for (const QByteArray& altered : tampered)
            QVERIFY(!verifySignature(altered, certificate).intact);
        // The same key written another way (an EC point compressed) is still
        // the agent's key.
        if (algorithm == "ECDSA-SHA256")
            QVERIFY(verifySignature(signedFile, readWholeFile(fixture(u"keys/ec-compressed.pub"_s)))
                        .intact);
        // Another agent's key does not vouch for it. (What the command the
        // authority runs says of it: tst_verify.)
        QVERIFY(!verifySignature(signedFile, readWholeFile(fixture(u"keys/other.pub"_s))).intact);
    }
}

// A fixture under keys/ (the EC keys' password is "clave"), or what else
// stands at the key's path. slow.key asks 8 388 607 derivation rounds and
// scrypt-slow.key scrypt work of 16 384 x 8 x 8: refused at once, not the
// program kept busy. des.key (PBE-MD5-DES) and rc2.key (PBE-SHA1-RC2-64)
// need OpenSSL's legacy module.
void TestSigning::resultCodes_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("code");
    for (const char* notAKey : {"none", "folder", "4 GiB", "text.key", "certificate.cer",
                                "empty.key", "slow.key", "scrypt-slow.key"})
        QTest::newRow(notAKey) << QString::fromLatin1(notAKey) << u"clave"_s << 2;
    for (const char* opens : {"fast.key", "scrypt.key", "des.key", "rc2.key"})
        QTest::newRow(opens) << QString::fromLatin1(opens) << u"clave"_s << 0;
    QTest::newRow("wrong password") << u"fast.key"_s << u"Clave"_s << 3;
    QTest::newRow("wrong password, legacy cipher") << u"des.key"_s << u"Clave"_s << 3;
    QTest::newRow("no password") << u"fast.key"_s << QString() << 3;
    QTest::newRow("nothing to sign") << u"fast.key"_s << u"clave"_s << 1;
}

void TestSigning::resultCodes() {
    QFETCH(QString, key);
    QFETCH(QString, password);
    QFETCH(int, code);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"3001.txt"_s), keyPath = dir.filePath(u"llave.key"_s);
    const QByteArray content = code == NothingToSign ? QByteArray() : ExpectedSample;
    writeWholeFile(file, content);
    if (key.contains(u'.'))
        QVERIFY(QFile::copy(fixture(u"keys/"_s + key), keyPath));
    else if (key == u"folder"_s)
        QDir().mkpath(keyPath);
    else if (key == u"4 GiB"_s) {
        QFile f(keyPath);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(4) << 30)); // sparse, never read
    }
    QCOMPARE(signFile(file, keyPath, password), code);
    QCOMPARE(readWholeFile(file).startsWith(content + (code ? "" : "FIRMA")), true);
    if (code == 0)
        return;
    // The wizard tells which.
    seam::Script s;
    tellSigningOutcome(nullptr, code, dir.path(), u"3001"_s, QString());
    const QStringList says{{},
                           u"No se encontró el archivo a firmar digitalmente"_s,
                           u"No se encontró la llave privada (*.key) o el archivo no es válido"_s,
                           u"Error en la contraseña"_s};
    QCOMPARE(s.lastText(), says.at(code));
}

// Where OpenSSL's legacy module cannot be had (here OPENSSL_MODULES points
// at an empty folder, in a process of its own, since a module once loaded
// stays), an old key is told unsupported, never a wrong password.
void TestSigning::legacyModuleMissing() {
    const QString key = fixture(u"keys/des.key"_s);
    if (qEnvironmentVariableIsSet("KESTRO_TEST_NO_LEGACY")) {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"3001.txt"_s);
        writeWholeFile(file, ExpectedSample);
        QCOMPARE(signFile(file, key, u"clave"_s), int(UnsupportedKeyCipher));
        QCOMPARE(signFile(file, fixture(u"keys/fast.key"_s), u"clave"_s), int(SignedOk));
        seam::Script s;
        tellSigningOutcome(nullptr, UnsupportedKeyCipher, dir.path(), u"3001"_s, QString());
        QVERIFY(s.lastText().startsWith(u"El cifrado del archivo llave no está disponible"_s));
        return;
    }
    QTemporaryDir noModules;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"OPENSSL_MODULES"_s, QDir::toNativeSeparators(noModules.path()));
    env.insert(u"KESTRO_TEST_NO_LEGACY"_s, u"1"_s);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {u"legacyModuleMissing"_s});
    QVERIFY(child.waitForFinished());
    QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
}

void TestSigning::keyDialogChecksTheKey_data() {
    QTest::addColumn<QString>("rfc");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("refusal"); // "": taken
    const QString rfc = u"PELJ700101AB1"_s;
    const auto other = [](const QString& typed) {
        return u"Debe usar el archivo llave del AGENTE ADUANAL\nEl nombre del archivo debe "
               "contener el RFC del agente, %1, seguido de .key (por ejemplo %1.key)."_s.arg(typed);
    };
    QTest::newRow("none") << rfc << QString() << u"El archivo llave no puede estar vacio"_s;
    QTest::newRow("another") << rfc << u"/llaves/XAXX010101000.key"_s << other(rfc);
    // The RFC is compared as typed; the file name in any case.
    QTest::newRow("rfc typed lower")
        << rfc.toLower() << u"/llaves/pelj700101ab1.key"_s << other(rfc.toLower());
    QTest::newRow("name lower") << rfc << u"/llaves/pelj700101ab1.key"_s << QString();
    QTest::newRow("in a folder of its name")
        << rfc << u"/llaves/PELJ700101AB1.KEY/firma.key"_s << QString();
}

void TestSigning::keyDialogChecksTheKey() {
    QFETCH(QString, rfc);
    QFETCH(QString, path);
    QFETCH(QString, refusal);
    frmKey d(rfc, QString(), u"llave/carpeta"_s);
    seam::Script s;
    s.chooseFile(path); // none chosen when empty
    press(d, u"cmdBuscar"_s);
    QCOMPARE(s.fileFilters, QStringList(u"Archivo_llave (*.key)"_s));
    setValue(d, u"txtPassword"_s, u" c l "_s);
    press(d, u"cmdAceptar"_s);
    const bool taken = refusal.isEmpty();
    QCOMPARE(s.lastText(), refusal);
    QCOMPARE(d.result(), int(taken ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(d.choice().has_value(), taken);
    if (taken)
        QCOMPARE(d.choice()->keyPath + u'|' + d.choice()->password,
                 QDir::toNativeSeparators(path) + u"| c l "_s);
}

QTEST_MAIN(TestSigning)
#include "tst_signing.moc"
