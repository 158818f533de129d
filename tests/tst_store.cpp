// The store: bound values, transactions that leave no trace when they fail,
// the error form, dates. (A file that is no database: tst_wizard.)
#include "data/Database.h"
#include "data/Dates.h"
#include "data/Transaction.h"
#include "support/TestSupport.h"

#include <QTest>

class TestStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boundValuesRoundTrip();
    void failedTransactionLeavesNoTraceAndSaysWhy();
    void displayDates_data();
    void displayDates();
};

void TestStore::boundValuesRoundTrip() {
    ProgramDir dir;
    auto db = std::move(Database::open(dir.path()).value);
    QVERIFY(db);
    const QStringList names = {"O'HIGGINS", "x' or '1'='1", "PEÑA NÚÑEZ Ü", "%_\\"};
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
    QCOMPARE(dump(*again, "select Nombre from Mandatarios order by CURP"), names.join(u'\n'));
    QStringList dates;
    for (const QVariantList& row : rows(*again, "select * from Periodos_H_AA order by FechaIni"))
        dates << displayFromIsoDate(row.at(2));
    QCOMPARE(dates, (QStringList{"01/02/2003", "31/12/2003", "02/01/2004"}));
    QCOMPARE(displayFromIsoDate(QVariant()), QString());
    // A bound value matches only itself.
    const QString byName = QStringLiteral("select CURP from Mandatarios where Nombre=?");
    QCOMPARE(dump(*again, byName, {names[0]}), "CURP0");
    QCOMPARE(dump(*again, byName, {QStringLiteral("' or '1'='1")}), QString());
}

void TestStore::failedTransactionLeavesNoTraceAndSaysWhy() {
    ProgramDir dir;
    auto db = dir.open();
    must(*db, "create trigger sin_dos before insert on Aduanas_MM when new.NoAduana = 2 begin "
              "select raise(abort, 'aduana dos'); end");
    must(*db, "insert into Aduanas_MM values ('PREVIA', 9)");
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
    QCOMPARE(dump(*other, "select * from Aduanas_MM"), "PREVIA|9");
    // The connection is usable afterwards and a good transaction commits.
    QVERIFY(!inTransaction(*db, [&] { return db->exec(insert, {QStringLiteral("W"), 5}); }));
    QCOMPARE(dump(*other, "select * from Aduanas_MM order by 2"), "W|5\nPREVIA|9");
}

void TestStore::displayDates_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("iso"); // empty: refused
    for (const auto& [display, iso] : {std::pair{"20/05/2003", "2003-05-20"},
                                       {"29/02/2000", "2000-02-29"},
                                       {"31/02/2003", ""},
                                       {"29/02/1900", ""},
                                       {"01/13/2003", ""},
                                       {"2003-05-20", ""},
                                       {"20/05/03", ""},
                                       {"2/5/2003", ""},
                                       {" 20/05/2003 ", ""}})
        QTest::newRow(display) << QString(display) << QString(iso);
}

void TestStore::displayDates() {
    QFETCH(QString, display);
    QFETCH(QString, iso);
    QCOMPARE(isoFromDisplayDate(display).value_or(QString()), iso);
    QVariant bound;
    const auto refused = bindDisplayDate(display, &bound);
    QCOMPARE(bool(refused), iso.isEmpty());
    if (iso.isEmpty()) {
        QVERIFY(refused->message().contains(display));
        QVERIFY(!bound.isValid());
    } else {
        QCOMPARE(bound.toString(), iso);
        QCOMPARE(displayFromIsoDate(iso), display);
    }
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
