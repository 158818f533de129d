#include "exchange/ArchivoInformacion.h"
#include "exchange/Firma.h"
#include "exchange/GeneraArchivo.h"
#include "exchange/frmKey.h"
#include "support/DatosEjemplo.h"
#include "support/LlavesPrueba.h"
#include "support/TestSupport.h"
#include "wizard/AppState.h"
#include "wizard/Contacto.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QByteArray Informacion =
    "501|3001|1111111||||||||3001\r\n"
    "Paq_Version|KESTRO|3.5.0\r\n"
    "AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|470||||0\r\n"
    "800|1111111|1|\r\n";

int firma(const QString& archivo, const QString& llave, const QString& clave,
          Firmantes* usados = nullptr) {
    Firmantes f;
    BuscaCurps(archivo, f);
    llenaFirmantes(f, llave, clave);
    const int codigo = GeneraFirmaDigital(archivo, f);
    if (usados)
        *usados = f;
    return codigo;
}

} // namespace

class TstFirma : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void firmaYVerificacion();
    void codigosDeResultado();
    void firmaArchivoAvisaYFijaEstado();
    void frmKeyRevisaLaLlave();
    void generaArchivoFirmado();
    void herramientaDeVerificacion();

private:
    std::unique_ptr<LlavePrueba> rsa_, ec_;
    QTemporaryDir dir_;
    QString ruta(const QString& nombre) const { return QDir(dir_.path()).filePath(nombre); }
};

void TstFirma::initTestCase() {
    QVERIFY(dir_.isValid());
    rsa_ = std::make_unique<LlavePrueba>(LlavePrueba::Tipo::Rsa);
    ec_ = std::make_unique<LlavePrueba>(LlavePrueba::Tipo::Ec);
}

void TstFirma::firmaYVerificacion() {
    struct Caso {
        LlavePrueba* llave;
        bool pem;
        const char* algoritmo;
    };
    for (const Caso& c :
         {Caso{rsa_.get(), true, "RSA-SHA256"}, Caso{rsa_.get(), false, "RSA-SHA256"},
          Caso{ec_.get(), true, "ECDSA-SHA256"}}) {
        const QString archivo = ruta(QStringLiteral("3001.txt"));
        const QString llave = ruta(QStringLiteral("PELJ700101AB1.key"));
        escribeArchivo(archivo, Informacion);
        escribeArchivo(llave, c.llave->privadaCifrada("s3creta", c.pem));
        Firmantes usados;
        QCOMPARE(firma(archivo, llave, QStringLiteral("s3creta"), &usados), int(FirmaCorrecta));
        QCOMPARE(usados[0].curp, QByteArray("PELJ700101HDFRPN09"));

        // The file keeps its bytes and gains exactly one last record.
        const QByteArray firmado = leeArchivo(archivo);
        QVERIFY(firmado.startsWith(Informacion));
        const QByteArray registro = firmado.mid(Informacion.size());
        QVERIFY(registro.endsWith("\r\n"));
        QCOMPARE(registro.count("\r\n"), 1);
        const QList<QByteArray> campos = registro.chopped(2).split('|');
        QCOMPARE(campos.size(), 6);
        QCOMPARE(campos.mid(0, 4),
                 QList<QByteArray>({"FIRMA", "3001", "PELJ700101HDFRPN09", c.algoritmo}));
        QCOMPARE(campos.at(4).size(), 64);

        for (const QByteArray& publica : {c.llave->publica(true), c.llave->publica(false),
                                          c.llave->certificado(true), c.llave->certificado(false)})
            QVERIFY2(verificaFirma(firmado, publica).integro,
                     qPrintable(verificaFirma(firmado, publica).mensaje));

        // Any byte changed, anywhere, is caught; so are a cut and an addition.
        const QByteArray certificado = c.llave->certificado(true);
        for (qsizetype i = 0; i < firmado.size(); ++i) {
            QByteArray alterado = firmado;
            alterado[i] = char(alterado[i] ^ 0x01);
            QVERIFY2(!verificaFirma(alterado, certificado).integro, qPrintable(QString::number(i)));
        }
        QVERIFY(!verificaFirma(firmado.chopped(1), certificado).integro);
        QVERIFY(!verificaFirma(firmado + "X|3001\r\n", certificado).integro);
        QVERIFY(!verificaFirma(Informacion, certificado).integro);
        // Another agent's key does not vouch for it.
        LlavePrueba otra(LlavePrueba::Tipo::Ec);
        QVERIFY(!verificaFirma(firmado, otra.publica(true)).integro);
    }
}

void TstFirma::codigosDeResultado() {
    const QString archivo = ruta(QStringLiteral("codigos.txt"));
    const QString llave = ruta(QStringLiteral("codigos.key"));
    escribeArchivo(archivo, Informacion);
    escribeArchivo(llave, rsa_->privadaCifrada("clave", true));

    QCOMPARE(firma(ruta(QStringLiteral("no_existe.txt")), llave, QStringLiteral("clave")),
             int(FirmaSinArchivo));
    QCOMPARE(firma(archivo, ruta(QStringLiteral("no_existe.key")), QStringLiteral("clave")),
             int(FirmaLlaveInvalida));
    QCOMPARE(firma(archivo, QString(), QStringLiteral("clave")), int(FirmaLlaveInvalida));

    const QString otra = ruta(QStringLiteral("otra.key"));
    const QList<QByteArray> noSonLlaves = {
        "basura que no es una llave", QByteArray(1200, '\x30'), rsa_->certificado(true),
        rsa_->certificado(false),     rsa_->publica(true),      rsa_->privadaSinCifrar(),
    };
    for (const QByteArray& contenido : noSonLlaves) {
        escribeArchivo(otra, contenido);
        QCOMPARE(firma(archivo, otra, QStringLiteral("clave")), int(FirmaLlaveInvalida));
    }

    for (bool pem : {true, false}) {
        escribeArchivo(otra, ec_->privadaCifrada("clave", pem));
        QCOMPARE(firma(archivo, otra, QStringLiteral("Clave")), int(FirmaClaveErronea));
        QCOMPARE(firma(archivo, otra, QString()), int(FirmaClaveErronea));
        QCOMPARE(firma(archivo, otra, QStringLiteral("clave ")), int(FirmaClaveErronea));
    }
    // None of the failures touched the file.
    QCOMPARE(leeArchivo(archivo), Informacion);
}

void TstFirma::firmaArchivoAvisaYFijaEstado() {
    QTemporaryDir programa;
    QDir(programa.path()).mkpath(QStringLiteral("ENVIO"));
    const QString archivo = rutaArchivoInformacion(programa.path(), QStringLiteral("3001"));
    const QString llave = ruta(QStringLiteral("estado.key"));
    escribeArchivo(llave, rsa_->privadaCifrada("clave", false));
    AppState state;
    state.programDir = programa.path();

    struct Caso {
        bool conArchivo;
        QString clave;
        QString llave;
        int estado;
        QString texto;
        seam::Icon icono;
    };
    const QList<Caso> casos = {
        {false, QStringLiteral("clave"), llave, 1,
         QStringLiteral("No se encontró el archivo a firmar digitalmente"),
         seam::Icon::Exclamation},
        {true, QStringLiteral("clave"), ruta(QStringLiteral("nada.key")), 1,
         QStringLiteral("No se encontró la llave privada (*.key) o el archivo no es válido"),
         seam::Icon::Exclamation},
        {true, QStringLiteral("otra"), llave, 1, QStringLiteral("Error en la contraseña"),
         seam::Icon::Exclamation},
        {true, QStringLiteral("clave"), llave, 0,
         QStringLiteral("Se genero el archivo ") +
             QDir::toNativeSeparators(programa.path() + QStringLiteral("/ENVIO/3001.txt")) +
             QStringLiteral(" correctamente y se agrego Firma Digital, no olvide enviarlo y los "
                            "requerimientos manualmente a ") +
             QString::fromUtf8(Contacto::CorreoAutoridad),
         seam::Icon::Information},
    };
    for (const Caso& c : casos) {
        QFile::remove(archivo);
        if (c.conArchivo)
            escribeArchivo(archivo, Informacion);
        // Start from the opposite outcome so a left-over value cannot pass.
        state.Estado_Firma = 1 - c.estado;
        seam::Script s;
        Firma_Archivo(nullptr, state, archivo, c.llave, c.clave, QStringLiteral("3001"));
        QCOMPARE(state.Estado_Firma, c.estado);
        QCOMPARE(s.shown.size(), 1);
        QCOMPARE(s.shown.first().text, c.texto);
        QCOMPARE(s.shown.first().title, QStringLiteral("Mensaje"));
        QCOMPARE(s.shown.first().icon, c.icono);
    }
}

void TstFirma::frmKeyRevisaLaLlave() {
    AppState state;
    const QString rfc = QString::fromLatin1(Ejemplo::RfcAgente);
    const auto boton = [](QDialog& d, const char* nombre) {
        return d.findChild<QPushButton*>(QLatin1String(nombre));
    };
    {
        frmKey d(state, rfc);
        auto* txtLlave = d.findChild<QLineEdit*>(QStringLiteral("txtLlave"));
        auto* txtPassword = d.findChild<QLineEdit*>(QStringLiteral("txtPassword"));

        seam::Script s;
        boton(d, "cmdAceptar")->click();
        QCOMPARE(s.lastText(), QStringLiteral("El archivo llave no puede estar vacio"));
        QVERIFY(state.Resp_Llave.isEmpty());

        // A refused choice keeps the dialog open; a cancelled search keeps
        // the text.
        s.chooseFile(QStringLiteral("/llaves/XAXX010101000.key"));
        boton(d, "cmdBuscar")->click();
        QCOMPARE(s.fileFilters, QStringList(QStringLiteral("Archivo_llave (*.key)")));
        boton(d, "cmdAceptar")->click();
        QCOMPARE(s.lastText(), QStringLiteral("Debe usar el archivo llave del AGENTE ADUANAL"));
        QCOMPARE(s.shown.last().icon, seam::Icon::Information);
        QVERIFY(state.Resp_Llave.isEmpty());
        boton(d, "cmdBuscar")->click();
        QCOMPARE(txtLlave->text(), QStringLiteral("/llaves/XAXX010101000.key"));

        s.chooseFile(QStringLiteral("/llaves/pelj700101ab1.key"));
        boton(d, "cmdBuscar")->click();
        txtPassword->setText(QStringLiteral(" con blancos "));
        boton(d, "cmdAceptar")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(state.Resp_Llave, QStringLiteral("A"));
        QCOMPARE(state.Ruta_Llave, QStringLiteral("/llaves/pelj700101ab1.key"));
        QCOMPARE(state.Clave_Llave, QStringLiteral(" con blancos "));
    }
    struct Caso {
        QString rfc;
        QString ruta;
        bool aceptada;
    };
    const QList<Caso> casos = {
        // The RFC is compared as typed: the same file is refused when the
        // field holds it in lower case.
        {rfc.toLower(), QStringLiteral("/llaves/pelj700101ab1.key"), false},
        {rfc, QStringLiteral("/llaves/PELJ700101AB1.KEY/firma.key"), true},
        {rfc, QStringLiteral("/llaves/PELJ700101AB1.cer"), false},
    };
    for (const Caso& c : casos) {
        state = AppState();
        frmKey d(state, c.rfc);
        seam::Script s;
        s.chooseFile(c.ruta);
        boton(d, "cmdBuscar")->click();
        boton(d, "cmdAceptar")->click();
        QCOMPARE(state.Resp_Llave == QStringLiteral("A"), c.aceptada);
        QCOMPARE(s.shown.size(), c.aceptada ? 0 : 1);
    }
}

void TstFirma::generaArchivoFirmado() {
    ProgramDir pd;
    auto db = pd.open();
    const QString req = QDir(pd.path()).filePath(QStringLiteral("GAMR.req"));
    escribeArchivo(req, "req");
    Ejemplo::carga(*db, req);
    const QString llave = QDir(pd.path()).filePath(QStringLiteral("pelj700101ab1.key"));
    escribeArchivo(llave, rsa_->privadaCifrada("correcta", false));
    AppState state;
    state.programDir = pd.path();
    state.NoPat = QStringLiteral("3001");
    const QString archivo = rutaArchivoInformacion(pd.path(), state.NoPat);

    {
        // A wrong password: told, not signed, the wizard may try again.
        seam::Script s;
        s.onDialog(QStringLiteral("frmKey"), Ejemplo::aceptaLlave(s, llave, "incorrecta"));
        QVERIFY(!Genera_archivo(nullptr, state, *db, Ejemplo::RfcAgente, "3001"));
        QCOMPARE(s.lastText(), QStringLiteral("Error en la contraseña"));
        QCOMPARE(state.Estado_Firma, 1);
        QVERIFY(leeArchivo(archivo).endsWith("\r\n800|1111111|1|\r\n"));
    }
    {
        seam::Script s;
        s.onDialog(QStringLiteral("frmKey"), Ejemplo::aceptaLlave(s, llave, "correcta"));
        QVERIFY(Genera_archivo(nullptr, state, *db, Ejemplo::RfcAgente, "3001"));
        QCOMPARE(state.Estado_Firma, 0);
        QVERIFY(s.lastText().startsWith(QStringLiteral("Se genero el archivo ")));
        // The password does not outlive the signing.
        QVERIFY(state.Clave_Llave.isEmpty());
    }
    const QByteArray firmado = leeArchivo(archivo);
    QVERIFY(firmado.contains("\r\n800|1111111|1|\r\nFIRMA|3001|PELJ700101HDFRPN09|RSA-SHA256|"));
    QVERIFY(verificaFirma(firmado, rsa_->certificado(false)).integro);
    QCOMPARE(leeArchivo(QDir(carpetaEnvio(pd.path())).filePath(QStringLiteral("GAMR.req"))),
             QByteArray("req"));
}

void TstFirma::herramientaDeVerificacion() {
    const QString herramienta = QDir(QCoreApplication::applicationDirPath())
                                    .filePath(QStringLiteral("../kestro_verifica_firma"));
    if (!QFileInfo(herramienta).isExecutable())
        QSKIP("kestro_verifica_firma no está construida junto a las pruebas");
    const QString archivo = ruta(QStringLiteral("herramienta.txt"));
    const QString llave = ruta(QStringLiteral("herramienta.key"));
    const QString cert = ruta(QStringLiteral("herramienta.cer"));
    escribeArchivo(archivo, Informacion);
    escribeArchivo(llave, ec_->privadaCifrada("clave", true));
    escribeArchivo(cert, ec_->certificado(false));
    QCOMPARE(firma(archivo, llave, QStringLiteral("clave")), int(FirmaCorrecta));

    QProcess p;
    p.start(herramienta, {archivo, cert});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("íntegro")));

    QByteArray alterado = leeArchivo(archivo);
    alterado.replace("JUAN", "JUAM");
    escribeArchivo(archivo, alterado);
    p.start(herramienta, {archivo, cert});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(
        QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("NO está íntegro")));
}

QTEST_MAIN(TstFirma)
#include "tst_firma.moc"
