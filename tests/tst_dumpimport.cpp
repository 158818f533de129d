#include "entry/Seam.h"
#include "exchange/DumpImport.h"
#include "rules/Cp1252.h"
#include "support/TestKey.h"
#include "support/TestSupport.h"
#include "wizard/PreviousVersionImport.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

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

// Every stored row of the imported tables, each table introduced by its name.
QStringList filas(Database& db) {
    QStringList out;
    for (const char* t :
         {"AA", "Domicilios_AA", "Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM"})
        out << QLatin1String(t)
            << dump(db, QStringLiteral("select * from %1").arg(QLatin1String(t)))
                   .split(u'\n', Qt::SkipEmptyParts);
    return out;
}

// Runs the import with `lineas` as the previous version's dump (none when
// empty) in its folder (missing when `hayCarpeta` is false); returns what
// the user was told.
QStringList importa(Database& db, const QString& programa, const QStringList& lineas,
                    bool hayCarpeta = true) {
    QTemporaryDir anterior;
    if (!lineas.isEmpty())
        writeWholeFile(
            anterior.filePath(QStringLiteral("Recupera.txt")),
            Cp1252::encode(lineas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    seam::Script s;
    Viejo_KESTRO(nullptr, db, programa, hayCarpeta ? anterior.path() : anterior.filePath("KESTRO"));
    QStringList dichos;
    for (const seam::Shown& m : s.shown)
        dichos << m.text;
    return dichos;
}

// The previous version's dump tool, played by a stand-in placed in
// `toolDir`: on Windows a small program started directly, as the real tool
// is; elsewhere a stand-in for wine, first on PATH while it lives. It waits
// `seconds`, then (when given one) writes `dump` as Recupera.txt where it
// was started.
class DumpToolStandIn {
public:
    DumpToolStandIn(const QString& toolDir, int seconds, const QByteArray& dump) {
        const QString tool = QDir(toolDir).filePath(QStringLiteral("Trasvase.exe"));
#ifdef Q_OS_WIN
        QFile::copy(QStringLiteral(KESTRO_DUMP_STAND_IN), tool);
        const QString dumpFile = dir_.filePath(QStringLiteral("volcado"));
        writeWholeFile(dumpFile, dump);
        qputenv("KESTRO_STAND_IN_SECONDS", QByteArray::number(seconds));
        qputenv("KESTRO_STAND_IN_DUMP", dump.isEmpty() ? QByteArray() : dumpFile.toLocal8Bit());
#else
        const QString wine = dir_.filePath(QStringLiteral("wine"));
        const QByteArray wait = "sleep " + QByteArray::number(seconds) + "\n";
        writeWholeFile(wine,
                       "#!/bin/sh\n" + (dump.isEmpty() ? "exec " + wait
                                                       : wait + "cp \"$1\" Recupera.tmp && "
                                                                "mv Recupera.tmp Recupera.txt\n"));
        QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeWholeFile(tool, dump.isEmpty() ? QByteArray("MZ") : dump);
        qputenv("PATH", dir_.path().toLocal8Bit() + ':' + path_);
#endif
    }
    ~DumpToolStandIn() {
        qputenv("PATH", path_);
        qunsetenv("KESTRO_STAND_IN_SECONDS");
        qunsetenv("KESTRO_STAND_IN_DUMP");
    }

private:
    QTemporaryDir dir_;
    QByteArray path_ = qgetenv("PATH");
};

} // namespace

class TestDumpImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void volcadoCompleto();
    void nadaSeImporta_data();
    void nadaSeImporta();
    void cancelarLaEsperaOmiteLaImportacion();
};

void TestDumpImport::nadaSeImporta_data() {
    QTest::addColumn<QStringList>("lineas"); // the dump; none when empty
    QTest::addColumn<QString>("dice"); // a pattern: the fault's line and why, or what is missing
    QTest::addColumn<QString>("sql");  // run before the import
    const QStringList inicio = VolcadoCompleto.mid(0, 5);
    const QString fin = QStringLiteral("800|1111111|1|");
    QTest::newRow("no folder") << QStringList() << "No hay una versión anterior de KESTRO"
                               << "";
    QTest::newRow("no dump") << QStringList{"-"} << "No se encontró el archivo"
                             << "";
    QTest::newRow("no end") << VolcadoCompleto.mid(0, 8) << "800"
                            << "";
    QTest::newRow("fields missing")
        << inicio + QStringList{"Domicilios_AA|3001|1|09|15|REFORMA|10||CENTRO|06000|555", fin}
        << "línea 6 .*campos y necesita"
        << "";
    QTest::newRow("bad type") << inicio + QStringList{"Mandatarios|3001|X|Y|N|P|M|2", fin}
                              << "línea 6 .*tipo de mandatario"
                              << "";
    QTest::newRow("bad number") << QStringList{"cabecera", "AA|30O1|JUAN|PEREZ|LOPEZ|R|C|1|470",
                                               fin}
                                << "línea 2 .*no es un número"
                                << "";
    QTest::newRow("bad date") << inicio + QStringList{"Pedimentos_MM|3001|C|470|1|2003-02-30", fin}
                              << "línea 6 .*no es una fecha"
                              << "";
    QTest::newRow("refused by the store")
        << inicio + QStringList{"Pedimentos_MM|3001|C|470|1|2003-05-20", fin} << "línea 6"
        << "drop table Pedimentos_MM";
}

void TestDumpImport::nadaSeImporta() {
    QFETCH(QStringList, lineas);
    QFETCH(QString, dice);
    QFETCH(QString, sql);
    ProgramDir pd(ProgramDir::Kind::Version30);
    auto db = pd.open();
    const QStringList vacias = filas(*db);
    if (!sql.isEmpty())
        must(*db, sql);
    const QStringList dichos = importa(
        *db, pd.path(), lineas == QStringList{"-"} ? QStringList() : lineas, !lineas.isEmpty());
    QCOMPARE(dichos.size(), 1);
    QVERIFY2(dichos.first().contains(QRegularExpression(dice)), qPrintable(dichos.first()));
    if (sql.isEmpty())
        QCOMPARE(filas(*db), vacias);
    else
        QVERIFY(rows(*db, "select * from AA").isEmpty());
}

void TestDumpImport::volcadoCompleto() {
    // The tool writes its dump only after a pause: reading before it ends
    // would find no dump.
    ProgramDir pd(ProgramDir::Kind::Version30);
    const DumpToolStandIn trasvase(
        pd.path(), 1,
        Cp1252::encode(VolcadoCompleto.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    QTemporaryDir anterior;
    auto db = pd.open();
    {
        seam::Script s;
        Viejo_KESTRO(nullptr, *db, pd.path(), anterior.path());
        QVERIFY2(s.shown.isEmpty(), qPrintable(s.lastText()));
    }
    QVERIFY(QFileInfo::exists(anterior.filePath(QStringLiteral("Trasvase.exe"))));
    QCOMPARE(filas(*db),
             QStringList({
                 "AA",
                 "3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|1234|470",
                 "Domicilios_AA",
                 "1|09|15|REFORMA, ESQ. BUCARELI|10||CENTRO|06000|555 12 34|555 12 35",
                 "2|09|15|O'DONOJU|S/N||CENTRO|06000|555 12 34|",
                 "Mandatarios",
                 QStringLiteral("GAMR800202MDFRRS01|GAMR800202XY2|ROSA|GARCÍA|MUÑOZ|1||0|2"),
                 "MAHR810303HDFRRS02|MAHR810303XY2|MARIO|HARO|RUIZ|2||0|2",
                 "Domicilios_MM",
                 "GAMR800202MDFRRS01|09|15|JUAREZ|5|A|CENTRO|06000|555 12 36|555 12 37|1",
                 "Aduanas_MM",
                 "GAMR800202MDFRRS01|470",
                 "Pedimentos_MM",
                 "GAMR800202MDFRRS01|470|123|2003-05-20",
             }));
    // Once the agent is there, the previous version is never looked at.
    QCOMPARE(importa(*db, pd.path(), {}, false), QStringList());
}

void TestDumpImport::cancelarLaEsperaOmiteLaImportacion() {
    // A dump tool that would take a minute; the user cancels the wait.
    ProgramDir pd(ProgramDir::Kind::Version30);
    const DumpToolStandIn trasvase(pd.path(), 60, QByteArray());
    QTemporaryDir anterior;
    // A dump left from an earlier run must not be read after a cancel.
    writeWholeFile(anterior.filePath(QStringLiteral("Recupera.txt")),
                   Cp1252::encode(VolcadoCompleto.join(QStringLiteral("\r\n"))));

    QString dicho;
    bool cancelado = false;
    QTimer cancela;
    QObject::connect(&cancela, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* espera = qobject_cast<QProgressDialog*>(w);
            if (!espera || !espera->isVisible() || cancelado)
                continue;
            dicho = espera->labelText();
            for (QPushButton* b : espera->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("Cancelar")) {
                    b->click();
                    cancelado = true;
                }
        }
    });
    cancela.start(200);
    seam::Script s;
    auto db = pd.open();
    Viejo_KESTRO(nullptr, *db, pd.path(), anterior.path());
    QVERIFY(cancelado);
    QVERIFY2(dicho.contains(QStringLiteral("Trasvase.exe")), qPrintable(dicho));
    QVERIFY2(s.shown.isEmpty(), qPrintable(s.lastText()));
    // AA stays empty, so the next start offers the import again.
    QVERIFY(db->select(QStringLiteral("select * from AA")).empty());
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<QProgressDialog*>(w) || !w->isVisible());
}

QTEST_MAIN(TestDumpImport)
#include "tst_dumpimport.moc"
