// The store: opening only what exists and is a database, bound values,
// transactions that leave no trace when they fail, the error form, dates.
#include "data/Database.h"
#include "data/Dates.h"
#include "data/Transaction.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openRefusesWhatIsNotADatabase_data();
    void openRefusesWhatIsNotADatabase();
    void boundValuesRoundTrip();
    void failedTransactionLeavesNoTraceAndSaysWhy();
    void displayDates_data();
    void displayDates();
};

void TstStore::openRefusesWhatIsNotADatabase_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("text") << QByteArray("Patente|Nombre\r\n1234|JUAN\r\n");
    // The right header over pages that are not a database.
    QTest::newRow("damaged") << QByteArray("SQLite format 3\0", 16) + QByteArray(4096, '\xff');
}

void TstStore::openRefusesWhatIsNotADatabase() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestro.mdb"));
    QFile f(path);
    if (!content.isNull())
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    f.close();

    const QString why = Database::open(dir.path()).why();
    QVERIFY2(why.contains(QDir::toNativeSeparators(path)), qPrintable(why));
    // Nothing created, altered, or left beside it; no folder made either.
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
             content.isNull() ? 0 : 1);
    QCOMPARE(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), content);
    QVERIFY(!Database::open(dir.filePath(QStringLiteral("no-existe"))));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("no-existe"))));
}

void TstStore::boundValuesRoundTrip() {
    ProgramDir dir;
    auto db = std::move(Database::open(dir.path()).value);
    QVERIFY(db);
    const QStringList names = {"O'HIGGINS",         "\"COMILLAS\" Y 'SIMPLES'",
                               "drop table AA; --", "x' or '1'='1",
                               "PEÑA NÚÑEZ Ü",      "%_\\"};
    for (int i = 0; i < names.size(); ++i)
        QVERIFY(!db->exec(QStringLiteral("insert into Mandatarios (CURP, Nombre, Mandato) "
                                         "values (?, ?, 2)"),
                          {QStringLiteral("CURP%1").arg(i), names[i]}));
    // Stored dates sort as days, not as display text.
    for (const char* d : {"02/01/2004", "31/12/2003", "01/02/2003"}) {
        QVariant v;
        QVERIFY(!bindDisplayDate(QString::fromLatin1(d), &v));
        QVERIFY(
            !db->exec(QStringLiteral("insert into Periodos_H_AA values ('C', 1, ?, ?)"), {v, v}));
    }

    // Read back by position, through a second connection to the same file.
    auto again = dir.open();
    QStringList back, dates;
    for (const QVariantList& row :
         again->select(QStringLiteral("select * from Mandatarios order by CURP")).rows)
        back << row.at(2).toString();
    QCOMPARE(back, names);
    QVERIFY(again->tableExists(QStringLiteral("AA")).value);
    for (const QVariantList& row :
         again->select(QStringLiteral("select * from Periodos_H_AA order by FechaIni")).rows)
        dates << displayFromIsoDate(row.at(2));
    QCOMPARE(dates, (QStringList{"01/02/2003", "31/12/2003", "02/01/2004"}));
    QCOMPARE(displayFromIsoDate(QVariant()), QString());

    // A bound value matches only itself.
    const QString byName = QStringLiteral("select CURP from Mandatarios where Nombre=?");
    QCOMPARE(again->select(byName, {names[0]}).rows, (QList<QVariantList>{{"CURP0"}}));
    Rows none = again->select(byName, {QStringLiteral("' or '1'='1")});
    QVERIFY(none.ok() && none.empty());
}

void TstStore::failedTransactionLeavesNoTraceAndSaysWhy() {
    ProgramDir dir;
    auto db = dir.open();
    QVERIFY(!db->exec(QStringLiteral("create trigger sin_dos before insert on Aduanas_MM "
                                     "when new.NoAduana = 2 begin "
                                     "select raise(abort, 'aduana dos'); end")));
    QVERIFY(!db->exec(QStringLiteral("insert into Aduanas_MM values ('PREVIA', 9)")));
    const QString insert = QStringLiteral("insert into Aduanas_MM values (?, ?)");

    MaybeError e = inTransaction(*db, [&]() -> MaybeError {
        if (MaybeError e = db->exec(QStringLiteral("delete from Aduanas_MM")))
            return e;
        if (MaybeError e = db->exec(insert, {QStringLiteral("X"), 1}))
            return e;
        return db->exec(insert, {QStringLiteral("X"), 2});
    });
    // The message form: " <number> <text>".
    QVERIFY(e && e->number != 0 && e->number != 1);
    QCOMPARE(e->message(), QStringLiteral(" %1 aduana dos").arg(e->number));
    QCOMPARE(db->select(QStringLiteral("select * from NoHay")).error->message(),
             QStringLiteral(" 1 no such table: NoHay"));
    {
        // Leaving a transaction without commit undoes it.
        Transaction tx(*db);
        QVERIFY(!tx.beginError());
        QVERIFY(!db->exec(insert, {QStringLiteral("Z"), 4}));
    }
    auto other = dir.open();
    QCOMPARE(other->select(QStringLiteral("select * from Aduanas_MM")).rows,
             (QList<QVariantList>{{"PREVIA", 9}}));

    // The connection is usable afterwards and a good transaction commits.
    QVERIFY(!inTransaction(*db, [&] { return db->exec(insert, {QStringLiteral("W"), 5}); }));
    QCOMPARE(other->select(QStringLiteral("select * from Aduanas_MM")).rows.size(), 2);
}

void TstStore::displayDates_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("iso"); // empty: refused
    auto row = [](const char* display, const char* iso) {
        QTest::newRow(display) << QString(display) << QString(iso);
    };
    row("20/05/2003", "2003-05-20");
    row("29/02/2000", "2000-02-29");
    row("31/02/2003", "");
    row("29/02/1900", "");
    row("01/13/2003", "");
    row("2003-05-20", "");
    row("20/05/03", "");
    row("2/5/2003", "");
    row(" 20/05/2003 ", "");
}

void TstStore::displayDates() {
    QFETCH(QString, display);
    QFETCH(QString, iso);
    QCOMPARE(isoFromDisplayDate(display).value_or(QString()), iso);
    QVariant bound;
    const auto refused = bindDisplayDate(display, &bound);
    if (iso.isEmpty()) {
        QVERIFY(refused && refused->message().contains(display));
        QVERIFY(!bound.isValid());
    } else {
        QVERIFY(!refused);
        QCOMPARE(bound.toString(), iso);
        QCOMPARE(displayFromIsoDate(iso), display);
    }
}

QTEST_GUILESS_MAIN(TstStore)
#include "tst_store.moc"
