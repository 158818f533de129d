#include "dialogs/frmKey.h"
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
#include <memory>

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

} // namespace

class TstFirma : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void firmaYVerificacion();
    void codigosDeResultado();
    void frmKeyRevisaLaLlave();
    void frmKeyRecuerdaLaCarpetaNoLaClave();

private:
    std::unique_ptr<TestKey> rsa_, ec_;
    QTemporaryDir dir_;
    QString ruta(const QString& nombre) const { return QDir(dir_.path()).filePath(nombre); }
};

void TstFirma::initTestCase() {
    QStandardPaths::setTestModeEnabled(true); // remembered settings stay out of the user's
    QVERIFY(dir_.isValid());
    rsa_ = std::make_unique<TestKey>(true);
    ec_ = std::make_unique<TestKey>(false);
}

void TstFirma::firmaYVerificacion() {
    const QString archivo = ruta(QStringLiteral("3001.txt")), llave = ruta(QStringLiteral("k.key"));
    struct Caso {
        TestKey* llave;
        bool pem;
        QByteArray algoritmo;
    };
    for (const Caso& c :
         {Caso{rsa_.get(), true, "RSA-SHA256"}, Caso{rsa_.get(), false, "RSA-SHA256"},
          Caso{ec_.get(), true, "ECDSA-SHA256"}}) {
        writeWholeFile(archivo, ExpectedSample);
        writeWholeFile(llave, c.llave->encryptedPrivate("s3creta", c.pem));
        QCOMPARE(firma(archivo, llave, QStringLiteral("s3creta")), int(SignedOk));

        // The file keeps its bytes and gains exactly one last record.
        const QByteArray firmado = readWholeFile(archivo);
        const qsizetype r = ExpectedSample.size();
        QVERIFY(firmado.startsWith(ExpectedSample) && firmado.endsWith("\r\n"));
        QCOMPARE(firmado.count("\r\n"), ExpectedSample.count("\r\n") + 1);
        const QList<QByteArray> campos = firmado.sliced(r).chopped(2).split('|');
        QCOMPARE(campos.size(), 6);
        QCOMPARE(campos.mid(0, 4),
                 QList<QByteArray>({"FIRMA", "3001", "PELJ700101HDFRPN09", c.algoritmo}));
        QCOMPARE(campos.at(4).size(), 64);

        for (const QByteArray& publica :
             {c.llave->publicPem(), c.llave->certificate(true), c.llave->certificate(false)})
            QVERIFY2(verifySignature(firmado, publica).intact,
                     qPrintable(verifySignature(firmado, publica).message));

        // A cut, an addition, a missing record, and a byte changed in the
        // content or in any field of the signature record are all caught.
        QList<qsizetype> cambios = {0, r / 2, r - 3};
        for (qsizetype i = r; i > 0; i = firmado.indexOf('|', i) + 1)
            cambios << i;
        QList<QByteArray> alterados = {firmado.chopped(1), firmado + "X|3001\r\n", ExpectedSample};
        for (qsizetype i : cambios)
            alterados << QByteArray(firmado).replace(i, 1, QByteArray(1, char(firmado[i] ^ 0x01)));
        for (const QByteArray& alterado : alterados)
            QVERIFY(!verifySignature(alterado, c.llave->certificate(true)).intact);
        // Another agent's key does not vouch for it.
        QVERIFY(!verifySignature(firmado, TestKey(false).publicPem()).intact);
    }

    // The command the authority runs says the same of the last file signed.
    const QString herramienta = QStringLiteral(KESTRO_VERIFICA_FIRMA);
    QVERIFY2(QFileInfo(herramienta).isExecutable(), qPrintable(herramienta));
    writeWholeFile(ruta(QStringLiteral("ec.cer")), ec_->certificate(false));
    for (const bool integro : {true, false}) {
        if (!integro)
            writeWholeFile(archivo, readWholeFile(archivo).replace("JUAN", "JUAM"));
        QProcess p;
        p.start(herramienta, {archivo, ruta(QStringLiteral("ec.cer"))});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), integro ? 0 : 1);
        const QString salida =
            QString::fromUtf8(integro ? p.readAllStandardOutput() : p.readAllStandardError());
        QVERIFY2(
            salida.startsWith(integro ? "El archivo está íntegro" : "El archivo NO está íntegro"),
            qPrintable(salida));
    }
    // Files it cannot read are told in Spanish, whatever the system's
    // language, as UTF-8.
    const QList<std::pair<QString, QString>> ilegibles = {
        {ruta(QStringLiteral("no-existe.txt")), QStringLiteral("el archivo no existe")},
        {ruta(QString()), QStringLiteral("es una carpeta")}};
    for (const auto& [camino, dice] : ilegibles) {
        QProcess p;
        p.setEnvironment({QStringLiteral("LANG=en_US.UTF-8"), QStringLiteral("LC_ALL=C")});
        p.start(herramienta, {camino, ruta(QStringLiteral("ec.cer"))});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 2);
        const QString error = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(error.startsWith(QStringLiteral("No se pudo leer ")) && error.contains(dice),
                 qPrintable(error));
    }
}

void TstFirma::codigosDeResultado() {
    const QString archivo = ruta(QStringLiteral("codigos.txt"));
    const QString valida = ruta(QStringLiteral("valida.key")), otra = ruta(QStringLiteral("o.key"));
    writeWholeFile(archivo, ExpectedSample);
    writeWholeFile(valida, rsa_->encryptedPrivate("clave", true));
    const QStringList avisos = {"",
                                "No se encontró la llave privada (*.key) o el archivo no es válido",
                                "Error en la contraseña"};
    struct Caso {
        QString archivo;
        QString llave;
        QByteArray contenido; // written to `otra` first
        QString clave;
        int codigo;
    };
    const QList<Caso> casos = {
        {archivo, ruta("no_existe.key"), {}, "clave", 1},
        {archivo, otra, "basura que no es una llave", "clave", 1},
        {archivo, otra, rsa_->certificate(true), "clave", 1},
        {archivo, otra, ec_->encryptedPrivate("clave", false), "Clave", 2},
        {archivo, otra, ec_->encryptedPrivate("clave", true), QString(), 2},
    };
    for (const Caso& c : casos) {
        writeWholeFile(otra, c.contenido);
        QCOMPARE(firma(c.archivo, c.llave, c.clave), c.codigo);
        // The wizard tells which.
        seam::Script s;
        tellSigningOutcome(nullptr, c.codigo, dir_.path(), QStringLiteral("3001"), QString());
        QCOMPARE(s.lastText(), avisos.at(c.codigo));
    }
    QCOMPARE(readWholeFile(archivo), ExpectedSample);
}

void TstFirma::frmKeyRevisaLaLlave() {
    const QString rfc = QStringLiteral("PELJ700101AB1");
    const QString ajena = QStringLiteral("Debe usar el archivo llave del AGENTE ADUANAL");
    struct Caso {
        QString rfc;
        QString ruta;
        QString aviso; // empty when the key is taken
    };
    const QList<Caso> casos = {
        {rfc, QString(), "El archivo llave no puede estar vacio"},
        {rfc, "/llaves/XAXX010101000.key", ajena},
        {rfc, "/llaves/PELJ700101AB1.cer", ajena},
        // The RFC is compared as typed; the file name in any case.
        {rfc.toLower(), "/llaves/pelj700101ab1.key", ajena},
        {rfc, "/llaves/pelj700101ab1.key", QString()},
        {rfc, "/llaves/PELJ700101AB1.KEY/firma.key", QString()},
    };
    for (const Caso& c : casos) {
        frmKey d(c.rfc, QString());
        seam::Script s;
        s.chooseFile(c.ruta); // none chosen when empty
        d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
        QCOMPARE(s.fileFilters, QStringList(QStringLiteral("Archivo_llave (*.key)")));
        d.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(QStringLiteral(" c l "));
        d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        const bool tomada = c.aviso.isEmpty();
        QCOMPARE(s.lastText(), c.aviso);
        QCOMPARE(d.result(), int(tomada ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(d.choice().has_value(), tomada);
        if (tomada) {
            QCOMPARE(d.choice()->keyPath, QDir::toNativeSeparators(c.ruta));
            QCOMPARE(d.choice()->password, QStringLiteral(" c l "));
        }
    }
}

void TstFirma::frmKeyRecuerdaLaCarpetaNoLaClave() {
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
    QFile archivo(guardado.fileName());
    if (archivo.open(QIODevice::ReadOnly))
        QVERIFY(!archivo.readAll().contains(clave.toUtf8()));
}

QTEST_MAIN(TstFirma)
#include "tst_firma.moc"
