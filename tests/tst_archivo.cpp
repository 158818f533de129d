#include "exchange/ArchivoInformacion.h"
#include "exchange/GeneraArchivo.h"
#include "support/DatosEjemplo.h"
#include "support/LlavesPrueba.h"
#include "support/TestSupport.h"
#include "wizard/AppState.h"

#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QtTest>

namespace {

const QByteArray EjemploEsperado =
    "501|3001|1111111||||||||3001\r\n"
    "Paq_Version|KESTRO|3.5.0\r\n"
    "AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|470||||0\r\n"
    "Domicilios_AA|3001|1|09|15|REFORMA|10||CENTRO|06000|555 12 34|555 12 35\r\n"
    "Domicilios_AA|3001|2|09|15|REFORMA|10||CENTRO|06000|555 12 34|555 12 35\r\n"
    "Domicilios_AA|3001|3|09|15|REFORMA|12||CENTRO|06000|555 12 34|555 12 35\r\n"
    "Mandatarios|3001|GAMR800202MDFRRS01|GAMR800202XY2|ROSA|GARCIA|MARTINEZ|1|0|1\r\n"
    "Domicilios_MM|3001|GAMR800202MDFRRS01|09|15|JUAREZ|5|A|CENTRO|06000|555 12 36|555 12 "
    "37|1\r\n"
    "Domicilios_MM|3001|GAMR800202MDFRRS01|09|15|JUAREZ|5|A|CENTRO|06000|555 12 36|555 12 "
    "37|2\r\n"
    "Aduanas_MM|3001|GAMR800202MDFRRS01|470\r\n"
    "Pedimentos_MM|3001|GAMR800202MDFRRS01|470|123|2003-05-20\r\n"
    "800|1111111|1|\r\n";

// A program folder holding the example agent, with his representative's
// requirement file outside ENVIO.
struct Escenario {
    ProgramDir pd;
    std::unique_ptr<Database> db = pd.open();
    QString req;

    Escenario() {
        QDir(pd.path()).mkpath(QStringLiteral("reqs"));
        req = QDir(pd.path()).filePath(QStringLiteral("reqs/GAMR800202MDFRRS01.req"));
        escribeArchivo(req, "requerimiento de ROSA");
        Ejemplo::carga(*db, req);
    }
    QString envio() const { return carpetaEnvio(pd.path()); }
    QString archivo() const { return rutaArchivoInformacion(pd.path(), QStringLiteral("3001")); }
    std::optional<QString> genera(QString* why) {
        return generaArchivoInformacion(*db, pd.path(), QStringLiteral("3001"), why);
    }
    QList<QByteArray> lineas() const {
        QList<QByteArray> ls = leeArchivo(archivo()).split('\n');
        ls.removeLast(); // after the last CR LF
        for (QByteArray& l : ls)
            l.chop(1);
        return ls;
    }
};

QByteArray fillers(const char* tag, int n) {
    QByteArray l = QByteArray(tag) + "|3001";
    for (int i = 0; i < n; ++i)
        l += "|No Aplica";
    return l;
}

} // namespace

class TstArchivo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ejemploByteAByte();
    void seccionesSegunMandatarios();
    void codificacionYFinDeLinea();
    void valoresQueRompenElFormato();
    void requerimientosQueImpidenGenerar();
    void carpetaEnvioImposible();
    void cancelarOFallarNoTocaArchivoAnterior();
};

void TstArchivo::ejemploByteAByte() {
    Escenario e;
    QString why;
    const auto ruta = e.genera(&why);
    QVERIFY2(ruta, qPrintable(why));
    QCOMPARE(*ruta, e.archivo());
    QCOMPARE(leeArchivo(*ruta), EjemploEsperado);
    const QString copia = QDir(e.envio()).filePath(QStringLiteral("GAMR800202MDFRRS01.req"));
    QCOMPARE(leeArchivo(copia), QByteArray("requerimiento de ROSA"));

    // A second run rewrites the file and copies the current requirement over
    // the earlier copy; nothing temporary is left behind.
    escribeArchivo(e.req, "requerimiento nuevo");
    QVERIFY2(e.genera(&why), qPrintable(why));
    QCOMPARE(leeArchivo(*ruta), EjemploEsperado);
    QCOMPARE(leeArchivo(copia), QByteArray("requerimiento nuevo"));
    QCOMPARE(QDir(e.envio()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("3001.txt"), QStringLiteral("GAMR800202MDFRRS01.req")}));
}

void TstArchivo::seccionesSegunMandatarios() {
    QString why;
    {
        // No representative: the filler line, and no history even though
        // the agent has historic agents.
        Escenario e;
        for (const char* t : {"Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM"})
            Ejemplo::ejecuta(*e.db, QStringLiteral("delete from %1").arg(QLatin1String(t)));
        Ejemplo::ejecuta(*e.db, QStringLiteral("insert into Historico_AA values (?,?,?,?,?)"),
                         {"HARF600101AB1", "HARF600101HDFRRR01", "F", "H", "R"});
        QVERIFY2(e.genera(&why), qPrintable(why));
        const auto ls = e.lineas();
        QCOMPARE(ls.size(), 8);
        QCOMPARE(ls.at(6), fillers("Mandatarios", 7));
        QCOMPARE(ls.at(7), QByteArray("800|1111111|1|"));
        QCOMPARE(QDir(e.envio()).entryList(QDir::Files), QStringList(QStringLiteral("3001.txt")));
    }
    {
        // A representative under 2.13.11 with no history yet: both filler
        // lines, no agent periods; his (missing) requirement is not wanted.
        Escenario e;
        Ejemplo::agregaMandatario(*e.db, QStringLiteral("MAHR810303HDFRRS02"), 2,
                                  QStringLiteral("/no/existe/MAHR.req"));
        QVERIFY2(e.genera(&why), qPrintable(why));
        const auto ls = e.lineas();
        QCOMPARE(ls.mid(ls.size() - 3),
                 QList<QByteArray>(
                     {fillers("Historico_AA", 4), fillers("Periodos_H_MM", 5), "800|1111111|1|"}));
        for (const QByteArray& l : ls)
            QVERIFY(!l.startsWith("Periodos_H_AA"));
        QVERIFY(ls.contains("Mandatarios|3001|MAHR810303HDFRRS02|MAHR810303XY2|ROSA|GARCIA|"
                            "MARTINEZ|2|0|1"));
    }
    {
        // Full history, an additional office, and a Mandato 3 representative
        // whose requirement travels too.
        Escenario e;
        Ejemplo::ejecuta(*e.db, QStringLiteral("update AA set Aduana1=?, NoAduanasAut=?"), {20, 1});
        const QString req3 = QDir(e.pd.path()).filePath(QStringLiteral("reqs/TERC.req"));
        escribeArchivo(req3, "tres");
        Ejemplo::agregaMandatario(*e.db, QStringLiteral("TERC820404HDFRRS03"), 3, req3);
        Ejemplo::agregaMandatario(*e.db, QStringLiteral("MAHR810303HDFRRS02"), 2, QString());
        Ejemplo::ejecuta(*e.db, QStringLiteral("insert into Historico_AA values (?,?,?,?,?)"),
                         {"HARF600101AB1", "HARF600101HDFRRR01", "FELIPE", "HARO", "RUIZ"});
        Ejemplo::ejecuta(*e.db, QStringLiteral("insert into Periodos_H_AA values (?,?,?,?)"),
                         {"HARF600101HDFRRR01", 470, "1999-01-02", "2000-03-04"});
        Ejemplo::ejecuta(*e.db, QStringLiteral("insert into Periodos_H_MM values (?,?,?,?,?)"),
                         {"MAHR810303HDFRRS02", 240, 1234, "2001-02-03", "2002-04-05"});
        QVERIFY2(e.genera(&why), qPrintable(why));
        const auto ls = e.lineas();
        QCOMPARE(ls.at(2), QByteArray("AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|"
                                      "PELJ700101HDFRPN09|470|20|||1"));
        QCOMPARE(ls.mid(ls.size() - 4),
                 QList<QByteArray>(
                     {"Historico_AA|3001|HARF600101AB1|HARF600101HDFRRR01|FELIPE|HARO|RUIZ",
                      "Periodos_H_AA|3001|HARF600101HDFRRR01|470|1999-01-02|2000-03-04",
                      "Periodos_H_MM|3001|MAHR810303HDFRRS02|240|1234|2001-02-03|2002-04-05",
                      "800|1111111|1|"}));
        QCOMPARE(leeArchivo(QDir(e.envio()).filePath(QStringLiteral("TERC.req"))),
                 QByteArray("tres"));
    }
}

void TstArchivo::codificacionYFinDeLinea() {
    Escenario e;
    Ejemplo::ejecuta(*e.db, QStringLiteral("update AA set Nombre=?, ApPaterno=?"),
                     {QStringLiteral("PEÑA"), QStringLiteral("ÁLVAREZ")});
    QString why;
    QVERIFY2(e.genera(&why), qPrintable(why));
    const QByteArray bytes = leeArchivo(e.archivo());
    QVERIFY(bytes.contains("\r\nAA|3001|PE\xD1"
                           "A|\xC1LVAREZ|LOPEZ|"));
    QCOMPARE(bytes.count("\r\n"), 12);
    QCOMPARE(bytes.count('\n'), 12);
    QCOMPARE(bytes.count('\r'), 12);
}

void TstArchivo::valoresQueRompenElFormato() {
    Escenario e;
    QString why;
    QVERIFY2(e.genera(&why), qPrintable(why));
    const QByteArray anterior = leeArchivo(e.archivo());

    struct Caso {
        const char* tabla;
        const char* campo;
        QString valor;
        QStringList dice; // what the message must name
    };
    const QList<Caso> casos = {
        {"Domicilios_MM",
         "Calle",
         QStringLiteral("JUAREZ|5"),
         {"Domicilios_MM", "Calle", Ejemplo::CurpMandatario, "\"|\""}},
        {"Mandatarios",
         "Nombre",
         QStringLiteral("ROSA\r\nMARIA"),
         {"Mandatarios", "Nombre", Ejemplo::CurpMandatario, "salto de línea"}},
        {"Pedimentos_MM",
         "NoPedimento",
         QStringLiteral("12\n3"),
         {"Pedimentos_MM", "NoPedimento", Ejemplo::CurpMandatario}},
        {"AA", "ApMaterno", QStringLiteral("L\u0150PEZ"), {"tabla AA", "ApMaterno", "3001"}},
    };
    for (const Caso& c : casos) {
        const QString tabla = QLatin1String(c.tabla), campo = QLatin1String(c.campo);
        const Rows antes = e.db->select(QStringLiteral("select %1 from %2").arg(campo, tabla));
        Ejemplo::ejecuta(*e.db, QStringLiteral("update %1 set %2=?").arg(tabla, campo), {c.valor});
        why.clear();
        QVERIFY(!e.genera(&why));
        for (const QString& d : c.dice)
            QVERIFY2(why.contains(d), qPrintable(why + QStringLiteral(" / ") + d));
        QCOMPARE(leeArchivo(e.archivo()), anterior);
        QCOMPARE(QDir(e.envio()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        Ejemplo::ejecuta(*e.db, QStringLiteral("update %1 set %2=?").arg(tabla, campo),
                         {antes.first().at(0)});
    }
    QVERIFY2(e.genera(&why), qPrintable(why));
    QCOMPARE(leeArchivo(e.archivo()), anterior);
}

void TstArchivo::requerimientosQueImpidenGenerar() {
    Escenario e;
    QString why;
    QVERIFY2(e.genera(&why), qPrintable(why));
    const QByteArray anterior = leeArchivo(e.archivo());
    const QString curp = QString::fromLatin1(Ejemplo::CurpMandatario);

    const QString falta = QDir(e.pd.path()).filePath(QStringLiteral("reqs/no_esta.req"));
    Ejemplo::ejecuta(*e.db, QStringLiteral("update Mandatarios set Requerimiento=?"), {falta});
    QVERIFY(!e.genera(&why));
    QVERIFY2(why.contains(curp) && why.contains(QDir::toNativeSeparators(falta)), qPrintable(why));
    QCOMPARE(leeArchivo(e.archivo()), anterior);

    Ejemplo::ejecuta(*e.db, QStringLiteral("update Mandatarios set Requerimiento=?, Mandato=3"),
                     {QString()});
    QVERIFY(!e.genera(&why));
    QVERIFY2(why.contains(curp), qPrintable(why));

    // Two files of one name would leave only one of them in ENVIO.
    QDir(e.pd.path()).mkpath(QStringLiteral("otros"));
    const QString otro = QDir(e.pd.path()).filePath(QStringLiteral("otros/GAMR800202MDFRRS01.req"));
    escribeArchivo(otro, "otro");
    Ejemplo::ejecuta(*e.db, QStringLiteral("update Mandatarios set Requerimiento=?, Mandato=1"),
                     {e.req});
    Ejemplo::agregaMandatario(*e.db, QStringLiteral("TERC820404HDFRRS03"), 3, otro);
    QVERIFY(!e.genera(&why));
    QVERIFY2(why.contains(QStringLiteral("TERC820404HDFRRS03")) && why.contains(curp),
             qPrintable(why));
    QCOMPARE(leeArchivo(e.archivo()), anterior);
}

void TstArchivo::carpetaEnvioImposible() {
    Escenario e;
    escribeArchivo(e.envio(), "no soy una carpeta");
    QString why;
    QVERIFY(!e.genera(&why));
    QVERIFY2(why.contains(QStringLiteral("ENVIO")), qPrintable(why));
    QCOMPARE(leeArchivo(e.envio()), QByteArray("no soy una carpeta"));
}

void TstArchivo::cancelarOFallarNoTocaArchivoAnterior() {
    Escenario e;
    AppState state;
    state.programDir = e.pd.path();
    state.NoPat = QStringLiteral("3001");
    const QString llave = QDir(e.pd.path()).filePath(QStringLiteral("PELJ700101AB1.key"));
    QDir().mkpath(e.envio());
    escribeArchivo(e.archivo(), "archivo anterior");
    const QString pregunta = QStringLiteral(
        "¿DESEA GENERAR EL ARCHIVO DE INFORMACION? PARA ESTA OPERACION DEBE USAR EL ARCHIVO "
        "LLAVE DEL AGENTE ADUANAL. ");
    {
        seam::Script s;
        s.answer(seam::Answer::Cancel);
        QVERIFY(!Genera_archivo(nullptr, state, *e.db, Ejemplo::RfcAgente, "3001"));
        QCOMPARE(s.shown.size(), 1);
        QCOMPARE(s.shown.first().text, pregunta);
        QCOMPARE(s.shown.first().title, QStringLiteral("Mensaje"));
        QCOMPARE(s.shown.first().buttons, seam::Buttons::OkCancel);
        QVERIFY(s.dialogsShown.isEmpty());
    }
    {
        seam::Script s;
        s.onDialog(QStringLiteral("frmKey"), [&s, &llave](QDialog& d) {
            s.chooseFile(llave);
            d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
            d.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->click();
            return d.result();
        });
        QVERIFY(!Genera_archivo(nullptr, state, *e.db, Ejemplo::RfcAgente, "3001"));
        QCOMPARE(s.dialogsShown, QStringList(QStringLiteral("frmKey")));
        QCOMPARE(state.Resp_Llave, QStringLiteral("C"));
        QVERIFY(state.Ruta_Llave.isEmpty());
    }
    {
        // The close box is a cancel too.
        seam::Script s;
        s.onDialog(QStringLiteral("frmKey"), [&s, &llave](QDialog& d) {
            s.chooseFile(llave);
            d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
            d.show();
            d.close();
            return d.result();
        });
        QVERIFY(!Genera_archivo(nullptr, state, *e.db, Ejemplo::RfcAgente, "3001"));
        QCOMPARE(state.Resp_Llave, QStringLiteral("C"));
        QCOMPARE(s.shown.size(), 1);
    }
    QCOMPARE(leeArchivo(e.archivo()), QByteArray("archivo anterior"));

    {
        // A failure after the key was given: told, nothing written, not
        // signed.
        QFile::remove(e.archivo());
        Ejemplo::ejecuta(*e.db, QStringLiteral("update Mandatarios set Requerimiento=?"),
                         {QStringLiteral("/no/existe/GAMR.req")});
        seam::Script s;
        s.onDialog(QStringLiteral("frmKey"), Ejemplo::aceptaLlave(s, llave, "secreta"));
        QVERIFY(!Genera_archivo(nullptr, state, *e.db, Ejemplo::RfcAgente, "3001"));
        QCOMPARE(s.shown.size(), 2);
        QVERIFY2(s.lastText().contains(QStringLiteral("/no/existe/GAMR.req")),
                 qPrintable(s.lastText()));
        QCOMPARE(state.Estado_Firma, 1);
        QVERIFY(state.Clave_Llave.isEmpty());
        QCOMPARE(QDir(e.envio()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

QTEST_MAIN(TstArchivo)
#include "tst_archivo.moc"
