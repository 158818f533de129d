#include "entry/AppState.h"
#include "entry/Seam.h"
#include "exchange/InformationFile.h"
#include "exchange/Signing.h"
#include "support/SampleFile.h"
#include "support/TestKey.h"
#include "support/TestSupport.h"
#include "wizard/InformationFileFlow.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const QString Curp = QStringLiteral("GAMR800202MDFRRS01");

// A program folder holding the rows the wizard's editors would leave: an
// agent with patent 3001, his three addresses, and one representative of
// the earlier kind with both addresses, one office and one declaration,
// whose requirement file lies outside ENVIO.
struct Escenario {
    ProgramDir pd;
    std::unique_ptr<Database> db = pd.open();
    QString req = QDir(pd.path()).filePath(Curp + ".req");

    Escenario() {
        writeWholeFile(req, "requerimiento de ROSA");
        const QVariant nulo(QMetaType(QMetaType::LongLong));
        sql("insert into AA values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
            {3001, "JUAN", "PEREZ", "LOPEZ", "PELJ700101AB1", "PELJ700101HDFRPN09", 1234, 470, nulo,
             nulo, nulo, 0, nulo});
        for (int tipo = 1; tipo <= 3; ++tipo)
            sql("insert into Domicilios_AA values (?,?,?,?,?,?,?,?,?,?)",
                {tipo, "09", 15, "REFORMA", tipo == 3 ? "12" : "10", QString(), "CENTRO", "06000",
                 "555 12 34", "555 12 35"});
        sql("insert into Mandatarios values (?,?,?,?,?,?,?,?,?,NULL)",
            {Curp, "GAMR800202XY2", "ROSA", "GARCIA", "MARTINEZ", 1, req, 0, 1});
        for (int tipo = 1; tipo <= 2; ++tipo)
            sql("insert into Domicilios_MM values (?,?,?,?,?,?,?,?,?,?,?)",
                {Curp, "09", 15, "JUAREZ", "5", "A", "CENTRO", "06000", "555 12 36", "555 12 37",
                 tipo});
        sql("insert into Aduanas_MM values (?,?)", {Curp, 470});
        sql("insert into Pedimentos_MM values (?,?,?,?)", {Curp, 470, "123", "2003-05-20"});
    }
    void sql(const QString& s, const QVariantList& v = {}) {
        if (MaybeError err = db->exec(s, v))
            throw std::runtime_error((s + " -> " + err->message()).toStdString());
    }
    QString envio() const { return envioFolder(pd.path()); }
    QString archivo() const { return informationFilePath(pd.path(), QStringLiteral("3001")); }
    QStringList enEnvio() const { return QDir(envio()).entryList(QDir::Files | QDir::Hidden); }
    std::optional<QString> genera(QString* why) {
        const Fallible<QString> r = writeInformationFile(*db, pd.path(), QStringLiteral("3001"));
        *why = r.why();
        return r ? std::optional(r.value) : std::nullopt;
    }
};

QByteArray relleno(const char* tag, int n) {
    return tag + QByteArray("|3001") + QByteArray("|No Aplica").repeated(n) + "\r\n";
}

} // namespace

class TstArchivo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void contenidoSegunDatos();
    void generacionQueFallaNoTocaArchivoAnterior();
#ifdef Q_OS_WIN
    void archivoAbiertoEnOtroPrograma();
#endif
    void desdeElAsistente();
};

void TstArchivo::contenidoSegunDatos() {
    QString why;
    {
        Escenario e;
        const auto ruta = e.genera(&why);
        QVERIFY2(ruta, qPrintable(why));
        QCOMPARE(*ruta, e.archivo());
        QCOMPARE(readWholeFile(*ruta), ExpectedSample);
        // A second run copies the current requirement over the earlier copy
        // and leaves nothing temporary behind.
        writeWholeFile(e.req, "requerimiento nuevo");
        QVERIFY2(e.genera(&why), qPrintable(why));
        QCOMPARE(readWholeFile(QDir(e.envio()).filePath(QStringLiteral("GAMR800202MDFRRS01.req"))),
                 QByteArray("requerimiento nuevo"));
        QCOMPARE(e.enEnvio(), QStringList({"3001.txt", "GAMR800202MDFRRS01.req"}));
    }
    {
        // No representative: the filler line and no history, even though
        // there are historic agents. Names in Windows-1252.
        Escenario e;
        for (const char* t : {"Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM"})
            e.sql(QStringLiteral("delete from %1").arg(QLatin1String(t)));
        e.sql("insert into Historico_AA values ('H','HC','F','H','R')");
        e.sql("update AA set Nombre='PEÑA', ApPaterno='ÁLVAREZ'");
        QVERIFY2(e.genera(&why), qPrintable(why));
        QCOMPARE(readWholeFile(e.archivo()),
                 ExpectedSample.first(ExpectedSample.indexOf("Mandatarios"))
                         .replace("JUAN|PEREZ", "PE\xD1"
                                                "A|\xC1LVAREZ") +
                     relleno("Mandatarios", 7) + "800|1111111|1|\r\n");
        QCOMPARE(e.enEnvio(), QStringList(QStringLiteral("3001.txt")));
    }
    {
        // A type-2 representative with empty history tables: both filler
        // lines, no agent periods; his missing requirement is not wanted.
        Escenario e;
        e.sql("insert into Mandatarios values ('MAHR810303HDFRRS02',"
              "'MAHR810303XY2','ROSA','GARCIA','MARTINEZ',2,'/no/MAHR.req',0,1,NULL)");
        QVERIFY2(e.genera(&why), qPrintable(why));
        const QByteArray fin = "Pedimentos_MM|3001|GAMR800202MDFRRS01|470|123|2003-05-20\r\n";
        QByteArray bytes = readWholeFile(e.archivo());
        QVERIFY(bytes.contains("Mandatarios|3001|MAHR810303HDFRRS02|MAHR810303XY2|ROSA|GARCIA|"
                               "MARTINEZ|2|0|1\r\n"));
        QCOMPARE(bytes.sliced(bytes.indexOf(fin) + fin.size()),
                 relleno("Historico_AA", 4) + relleno("Periodos_H_MM", 5) + "800|1111111|1|\r\n");

        // With history, its rows take the fillers' place.
        e.sql("insert into Historico_AA values ('HR','HC','FELIPE','HARO','RUIZ')");
        e.sql("insert into Periodos_H_AA values ('HC',470,'1999-01-02','2000-03-04')");
        e.sql("insert into Periodos_H_MM values ('MC',240,1234,'2001-02-03','2002-04-05')");
        QVERIFY2(e.genera(&why), qPrintable(why));
        bytes = readWholeFile(e.archivo());
        QCOMPARE(bytes.sliced(bytes.indexOf(fin) + fin.size()),
                 "Historico_AA|3001|HR|HC|FELIPE|HARO|RUIZ\r\n"
                 "Periodos_H_AA|3001|HC|470|1999-01-02|2000-03-04\r\n"
                 "Periodos_H_MM|3001|MC|240|1234|2001-02-03|2002-04-05\r\n"
                 "800|1111111|1|\r\n");
    }
}

void TstArchivo::generacionQueFallaNoTocaArchivoAnterior() {
    const QString falta = QStringLiteral("/no/existe/GAMR.req");
    QTemporaryDir otros;
    const QString otro = otros.filePath(QStringLiteral("GAMR800202MDFRRS01.req"));
    writeWholeFile(otro, "otro");
    writeWholeFile(otros.filePath(QStringLiteral("gamr800202mdfrrs01.REQ")), "otro más");
    struct Caso {
        const char* sql;
        QString valor;
        QStringList dice; // what the message must name
    };
    const QList<Caso> casos = {
        {"update Domicilios_MM set Calle=?", "JUAREZ|5", {"Domicilios_MM", "Calle", Curp, "\"|\""}},
        {"update Mandatarios set Nombre=?", "ROSA\rM", {"Mandatarios", "Nombre", Curp, "salto de"}},
        {"update Pedimentos_MM set NoPedimento=?", "12\n3", {"Pedimentos_MM", "NoPedimento", Curp}},
        {"update AA set ApMaterno=?", "L\u0150PEZ", {"tabla AA", "ApMaterno", "3001"}},
        {"update Mandatarios set Requerimiento=?", falta, {Curp, falta}},
        {"update Mandatarios set Mandato=3, Requerimiento=?", "", {Curp}},
        // Two files of one name would leave only one of them in ENVIO.
        {"insert into Mandatarios values ('TERC820404HDFRRS03','T','A','B','C',3,?,0,1,NULL)",
         otro,
         {Curp, "TERC820404HDFRRS03"}},
        // Windows takes names that differ only in case for one file.
        {"insert into Mandatarios values ('TERC820404HDFRRS03','T','A','B','C',3,?,0,1,NULL)",
         otros.filePath(QStringLiteral("gamr800202mdfrrs01.REQ")),
         {Curp, "TERC820404HDFRRS03", "mismo nombre"}},
    };
    for (const Caso& c : casos) {
        Escenario e;
        QString why;
        QVERIFY2(e.genera(&why), qPrintable(why));
        const QByteArray anterior = readWholeFile(e.archivo());
        e.sql(QLatin1String(c.sql), {c.valor});
        QVERIFY(!e.genera(&why));
        for (const QString& d : c.dice)
            QVERIFY2(why.contains(d), qPrintable(why + QStringLiteral(" / ") + d));
        QCOMPARE(readWholeFile(e.archivo()), anterior);
        QCOMPARE(e.enEnvio().size(), 2);
    }
}

#ifdef Q_OS_WIN
// Windows refuses to replace a file that another program holds open without
// delete sharing, as a spreadsheet or an editor does.
void TstArchivo::archivoAbiertoEnOtroPrograma() {
    Escenario e;
    QString why;
    QVERIFY2(e.genera(&why), qPrintable(why));
    const QByteArray anterior = readWholeFile(e.archivo());
    const QStringList antes = e.enEnvio();
    e.sql("update Mandatarios set Nombre=?", {"ROSARIO"});
    const QString abierto = QDir::toNativeSeparators(e.archivo());
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(abierto.utf16()), GENERIC_READ,
                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(h != INVALID_HANDLE_VALUE);
    const bool generado = e.genera(&why).has_value();
    CloseHandle(h);
    QVERIFY(!generado);
    QVERIFY2(why.contains(abierto) && why.contains(QStringLiteral("abierto en otro programa")),
             qPrintable(why));
    QCOMPARE(readWholeFile(e.archivo()), anterior);
    QCOMPARE(e.enEnvio(), antes);
}
#endif

void TstArchivo::desdeElAsistente() {
    Escenario e;
    AppState state;
    state.dataDir = e.pd.path();
    state.NoPat = QStringLiteral("3001");
    const QString llave = QDir(e.pd.path()).filePath(QStringLiteral("PELJ700101AB1.key"));
    QDir().mkpath(e.envio());
    writeWholeFile(e.archivo(), "archivo anterior");
    // Picks the key through "&Buscar..", types the password, then presses
    // "&Aceptar" or "&Cancelar".
    const auto conLlave = [&](seam::Script& s, const char* boton) {
        s.onDialog(QStringLiteral("frmKey"), [&s, &llave, boton](QDialog& d) {
            s.chooseFile(llave);
            d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
            d.findChild<QLineEdit*>(QStringLiteral("txtPassword"))
                ->setText(QStringLiteral("secreta"));
            d.findChild<QPushButton*>(QLatin1String(boton))->click();
            return d.result();
        });
        return Genera_archivo(nullptr, state, *e.db, "PELJ700101AB1", "3001");
    };
    {
        seam::Script s;
        s.answer(seam::Answer::Cancel);
        QVERIFY(!Genera_archivo(nullptr, state, *e.db, "PELJ700101AB1", "3001"));
        QCOMPARE(s.shown.size(), 1);
        QVERIFY(s.lastText().startsWith(QStringLiteral("¿DESEA GENERAR EL ARCHIVO")));
        QCOMPARE(s.shown.first().buttons, seam::Buttons::OkCancel);
        QVERIFY(s.dialogsShown.isEmpty());
    }
    {
        seam::Script s;
        QVERIFY(!conLlave(s, "cmdCancelar"));
        QCOMPARE(s.dialogsShown, QStringList(QStringLiteral("frmKey")));
    }
    QCOMPARE(readWholeFile(e.archivo()), QByteArray("archivo anterior"));

    // A missing requirement after the key was given: told, nothing written.
    QFile::remove(e.archivo());
    e.sql("update Mandatarios set Requerimiento='/no/existe/GAMR.req'");
    {
        seam::Script s;
        QVERIFY(!conLlave(s, "cmdAceptar"));
        QVERIFY2(s.lastText().contains(QStringLiteral("/no/existe/GAMR.req")),
                 qPrintable(s.lastText()));
        QCOMPARE(e.enEnvio(), QStringList());
    }

    // Everything in order: written, signed, told where.
    const TestKey rsa(true);
    writeWholeFile(llave, rsa.encryptedPrivate("secreta", false));
    e.sql("update Mandatarios set Requerimiento=?", {e.req});
    seam::Script s;
    QVERIFY(conLlave(s, "cmdAceptar"));
    QCOMPARE(s.lastText(),
             QStringLiteral("Se genero el archivo %1 correctamente y se agrego Firma "
                            "Digital, no olvide enviarlo y los requerimientos "
                            "manualmente a %2")
                 .arg(QDir::toNativeSeparators(e.archivo()), state.contact.authorityMail));
    const QByteArray firmado = readWholeFile(e.archivo());
    QVERIFY(firmado.startsWith(ExpectedSample));
    QVERIFY(verifySignature(firmado, rsa.certificate(false)).intact);
    QCOMPARE(e.enEnvio(), QStringList({"3001.txt", "GAMR800202MDFRRS01.req"}));

    // A signing that fails (wrong password, a key that is not one) leaves
    // the signed file and its copies as they were: nothing unsigned is
    // ever put where the agent could send it.
    writeWholeFile(e.req, "requerimiento cambiado");
    e.sql("update AA set Nombre='PEDRO'");
    const QByteArray copia = readWholeFile(QDir(e.envio()).filePath(Curp + ".req"));
    for (const QByteArray& otraLlave :
         {rsa.encryptedPrivate("otra clave", false), QByteArray("no es una llave")}) {
        writeWholeFile(llave, otraLlave);
        seam::Script fallida;
        QVERIFY(!conLlave(fallida, "cmdAceptar"));
        QCOMPARE(readWholeFile(e.archivo()), firmado);
        QCOMPARE(readWholeFile(QDir(e.envio()).filePath(Curp + ".req")), copia);
        QCOMPARE(e.enEnvio(), QStringList({"3001.txt", "GAMR800202MDFRRS01.req"}));
    }
}

QTEST_MAIN(TstArchivo)
#include "tst_archivo.moc"
