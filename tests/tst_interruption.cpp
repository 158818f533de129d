// The heavy-writing tool killed (SIGKILL) at random moments of a large save
// and of the import: the database still opens, passes the engine's
// integrity check and holds what one whole write leaves, or nothing.
// KESTRO_KILLS sets how many kills per kind (three by default).
#include "support/TestSupport.h"

class TestInterruption : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedHalfWay_data();
    void killedHalfWay();
};

void TestInterruption::killedHalfWay_data() {
    QTest::addColumn<QString>("action");
    // The counts of AA, Domicilios_AA and Mandatarios, and of distinct marks
    // a save leaves on its rows: none, or one whole write.
    QTest::addColumn<QStringList>("whole");
    QTest::newRow("save") << "guarda" << QStringList{"0|0|0|0", "1|3|0|1"};
    QTest::newRow("import") << "importa" << QStringList{"0|0|0|0", "1|0|1500|0"};
}

void TestInterruption::killedHalfWay() {
    QFETCH(QString, action);
    QFETCH(QStringList, whole);
    // 400 saves in a row, or a dump of 1500 representatives.
    const QString input = action == QLatin1String("importa") ? fixture("Recupera-1500.txt") : "400";
    const auto run = [&](const QString& db, int ms) {
        QProcess p;
        p.start(QStringLiteral(KESTRO_CARGA), {action, db, input});
        if (!p.waitForFinished(ms)) {
            p.kill();
            p.waitForFinished();
        }
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    QElapsedTimer t;
    t.start();
    QVERIFY(run(ProgramDir().dbPath(), 60000));
    const int total = int(t.elapsed());
    for (int i = 0; i < qMax(3, qEnvironmentVariableIntValue("KESTRO_KILLS")); ++i) {
        ProgramDir pd;
        // Up to a quarter past a whole run, so some runs finish.
        run(pd.dbPath(), int(QRandomGenerator::global()->bounded(total * 5 / 4 + 1)));
        auto db = pd.open();
        QCOMPARE(dump(*db, "pragma integrity_check"), QStringLiteral("ok"));
        const QString counts =
            dump(*db, "select (select count(*) from AA), (select count(*) from Domicilios_AA), "
                      "(select count(*) from Mandatarios), (select count(distinct substr(Nombre,"
                      "1,1) || Calle || Colonia || Fax) from AA, Domicilios_AA)");
        QVERIFY2(whole.contains(counts), qPrintable(counts));
    }
}

QTEST_MAIN(TestInterruption)
#include "tst_interruption.moc"
