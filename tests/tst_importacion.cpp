#include "entry/Cp1252.h"
#include "entry/Seam.h"
#include "exchange/Importacion.h"
#include "support/LlavesPrueba.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList Tablas = {QStringLiteral("AA"),          QStringLiteral("Domicilios_AA"),
                            QStringLiteral("Mandatarios"), QStringLiteral("Domicilios_MM"),
                            QStringLiteral("Aduanas_MM"),  QStringLiteral("Pedimentos_MM")};

const QStringList VolcadoCompleto = {
    QStringLiteral("\"KESTRO 3.0 - Recupera\""),
    QStringLiteral("\"AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|1234|470\""),
    QStringLiteral("\"Domicilios_AA|3001|1|09|15|REFORMA, ESQ. BUCARELI|10||CENTRO|06000|555 12 "
                   "34|555 12 35\""),
    QStringLiteral("Domicilios_AA|3001|2|09|15|O'DONOJU|S/N||CENTRO|06000|555 12 34|"),
    QStringLiteral("\"Mandatarios|3001|GAMR800202MDFRRS01|GAMR800202XY2|ROSA|GARCÍA|MUÑOZ|\""),
    QStringLiteral("\"Mandatarios|3001|MAHR810303HDFRRS02|MAHR810303XY2|MARIO|HARO|RUIZ|1\""),
    QStringLiteral("\"Domicilios_MM|3001|GAMR800202MDFRRS01|09|15|JUAREZ|5|A|CENTRO|06000|555 "
                   "12 36|555 12 37\""),
    QStringLiteral("\"Aduanas_MM|3001|GAMR800202MDFRRS01|470\""),
    QStringLiteral("\"Bitacora|3001|lo que sea\""),
    QStringLiteral(""),
    QStringLiteral("\"Pedimentos_MM|3001|GAMR800202MDFRRS01|470|123|2003-05-20\""),
    QStringLiteral("\"800|1111111|1|\""),
    QStringLiteral("\"AA|9999|DESPUES|DEL|FIN|X|Y|1|1\""),
};

QByteArray volcado(const QStringList& lineas) {
    return Cp1252::encode(lineas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

// Every column as text ("NULL" for a Null), rows in the order stored.
QList<QStringList> filas(Database& db, const QString& tabla) {
    QList<QStringList> out;
    for (const QVariantList& r : db.select(QStringLiteral("select * from %1").arg(tabla)).rows) {
        QStringList l;
        for (const QVariant& v : r)
            l << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        out << l;
    }
    return out;
}

int totalFilas(Database& db) {
    int n = 0;
    for (const QString& t : Tablas)
        n += int(filas(db, t).size());
    return n;
}

// The previous version's folder, with its dump.
struct Anterior {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString dump() const { return QDir(dir.path()).filePath(QStringLiteral("Recupera.txt")); }
};

} // namespace

class TstImportacion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void volcadoCompleto();
    void cuandoNoHayQueImportar();
    void volcadosDefectuosos();
#ifndef Q_OS_WIN
    void trasvaseTerminaAntesDeLeer();
#endif
};

void TstImportacion::volcadoCompleto() {
    ProgramDir pd(ProgramDir::Kind::Version30);
    auto db = pd.open();
    Anterior anterior;
    escribeArchivo(anterior.dump(), volcado(VolcadoCompleto));
    seam::Script s;
    Viejo_KESTRO(nullptr, *db, pd.path(), anterior.path());
    QVERIFY2(s.shown.isEmpty(), qPrintable(s.lastText()));

    using F = QList<QStringList>;
    QCOMPARE(filas(*db, QStringLiteral("AA")),
             F({{"3001", "JUAN", "PEREZ", "LOPEZ", "PELJ700101AB1", "PELJ700101HDFRPN09", "1234",
                 "470"}}));
    QCOMPARE(filas(*db, QStringLiteral("Domicilios_AA")),
             F({{"1", "09", "15", "REFORMA, ESQ. BUCARELI", "10", "", "CENTRO", "06000",
                 "555 12 34", "555 12 35"},
                {"2", "09", "15", "O'DONOJU", "S/N", "", "CENTRO", "06000", "555 12 34", ""}}));
    QCOMPARE(
        filas(*db, QStringLiteral("Mandatarios")),
        F({{"GAMR800202MDFRRS01", "GAMR800202XY2", "ROSA", QStringLiteral("GARCÍA"),
            QStringLiteral("MUÑOZ"), "1", "", "0", "2"},
           {"MAHR810303HDFRRS02", "MAHR810303XY2", "MARIO", "HARO", "RUIZ", "2", "", "0", "2"}}));
    QCOMPARE(filas(*db, QStringLiteral("Domicilios_MM")),
             F({{"GAMR800202MDFRRS01", "09", "15", "JUAREZ", "5", "A", "CENTRO", "06000",
                 "555 12 36", "555 12 37", "1"}}));
    QCOMPARE(filas(*db, QStringLiteral("Aduanas_MM")), F({{"GAMR800202MDFRRS01", "470"}}));
    QCOMPARE(filas(*db, QStringLiteral("Pedimentos_MM")),
             F({{"GAMR800202MDFRRS01", "470", "123", "2003-05-20"}}));

    // Once the agent is there, a later start leaves everything alone.
    Viejo_KESTRO(nullptr, *db, pd.path(), anterior.path());
    QCOMPARE(totalFilas(*db), 8);
}

void TstImportacion::cuandoNoHayQueImportar() {
    {
        // An agent already stored: the old folder is never looked at.
        ProgramDir pd;
        auto db = pd.open();
        QVERIFY(!db->exec(QStringLiteral("insert into AA(Patente) values (?)"), {1}));
        seam::Script s;
        Viejo_KESTRO(nullptr, *db, pd.path(), QStringLiteral("/no/existe/KESTRO"));
        QVERIFY(s.shown.isEmpty());
        QCOMPARE(totalFilas(*db), 1);
    }
    {
        ProgramDir pd(ProgramDir::Kind::Version30);
        auto db = pd.open();
        seam::Script s;
        Viejo_KESTRO(nullptr, *db, pd.path(), QDir(pd.path()).filePath(QStringLiteral("KESTRO")));
        QCOMPARE(s.shown.size(), 1);
        QCOMPARE(s.shown.first().text,
                 QStringLiteral("No hay una versión anterior de KESTRO en su computadora"));
        QCOMPARE(s.shown.first().icon, seam::Icon::Information);
    }
    {
        // The folder without a dump.
        ProgramDir pd(ProgramDir::Kind::Version30);
        auto db = pd.open();
        Anterior anterior;
        seam::Script s;
        Viejo_KESTRO(nullptr, *db, pd.path(), anterior.path());
        QCOMPARE(s.shown.size(), 1);
        QVERIFY2(s.lastText().contains(QStringLiteral("Recupera.txt")), qPrintable(s.lastText()));
        QCOMPARE(totalFilas(*db), 0);
    }
}

void TstImportacion::volcadosDefectuosos() {
    struct Caso {
        const char* nombre;
        QStringList lineas;
        QString dice; // the message must name the line (or the missing end)
        bool sinPedimentos = false;
    };
    const QStringList inicio = VolcadoCompleto.mid(0, 5);
    const QString fin = QStringLiteral("800|1111111|1|");
    const QList<Caso> casos = {
        {"sin registro 800", VolcadoCompleto.mid(0, 8), QStringLiteral("800")},
        {"campos de menos",
         inicio + QStringList{QStringLiteral("Aduanas_MM|3001|GAMR800202MDFRRS01"), fin},
         QStringLiteral("línea 6")},
        {"tipo de mandatario desconocido",
         inicio + QStringList{QStringLiteral("Mandatarios|3001|X|Y|N|P|M|2"), fin},
         QStringLiteral("línea 6")},
        {"patente que no es número",
         QStringList{QStringLiteral("cabecera"),
                     QStringLiteral("AA|30O1|JUAN|PEREZ|LOPEZ|R|C|1|470"), fin},
         QStringLiteral("línea 2")},
        {"fecha imposible",
         inicio + QStringList{QStringLiteral("Pedimentos_MM|3001|C|470|1|2003-02-30"), fin},
         QStringLiteral("línea 6")},
        {"la base rechaza el registro",
         inicio + QStringList{QStringLiteral("Pedimentos_MM|3001|C|470|1|2003-05-20"), fin},
         QStringLiteral("línea 6"), true},
    };
    for (const Caso& c : casos) {
        ProgramDir pd(ProgramDir::Kind::Version30);
        auto db = pd.open();
        if (c.sinPedimentos)
            QVERIFY(!db->exec(QStringLiteral("drop table Pedimentos_MM")));
        Anterior anterior;
        escribeArchivo(anterior.dump(), volcado(c.lineas));
        seam::Script s;
        Viejo_KESTRO(nullptr, *db, pd.path(), anterior.path());
        QVERIFY2(s.shown.size() == 1, c.nombre);
        QVERIFY2(s.lastText().contains(c.dice),
                 qPrintable(QLatin1String(c.nombre) + QStringLiteral(": ") + s.lastText()));
        QVERIFY2(totalFilas(*db) == 0, c.nombre);
    }
}

#ifndef Q_OS_WIN
void TstImportacion::trasvaseTerminaAntesDeLeer() {
    // A stand-in for wine that "runs" the dump tool by writing the dump into
    // the folder it was started in; the import must see the finished dump.
    QTemporaryDir bin;
    const QString wine = QDir(bin.path()).filePath(QStringLiteral("wine"));
    escribeArchivo(wine, "#!/bin/sh\ncp \"$1\" Recupera.tmp && mv Recupera.tmp Recupera.txt\n");
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ProgramDir pd(ProgramDir::Kind::Version30);
    auto db = pd.open();
    escribeArchivo(QDir(pd.path()).filePath(QStringLiteral("Trasvase.exe")),
                   volcado(VolcadoCompleto));
    Anterior anterior;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
    seam::Script s;
    Viejo_KESTRO(nullptr, *db, pd.path(), anterior.path());
    qputenv("PATH", path);
    QVERIFY2(s.shown.isEmpty(), qPrintable(s.lastText()));
    QVERIFY(QFileInfo::exists(QDir(anterior.path()).filePath(QStringLiteral("Trasvase.exe"))));
    QCOMPARE(totalFilas(*db), 8);
}
#endif

QTEST_MAIN(TstImportacion)
#include "tst_importacion.moc"
