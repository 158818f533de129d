// The store: bound values, the error form, dates. (A file that is no database: tst_wizard.)
#include "data/Dates.h"
#include "support/TestSupport.h"

using namespace Qt::StringLiterals;

class TestStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boundValuesRoundTrip();
    void displayDates_data();
    void displayDates();
};

// Quotes and accents arrive as typed and match only themselves.
void TestStore::boundValuesRoundTrip() {
    ProgramDir dir;
    auto db = std::move(Database::open(dir.path()).value);
    QVERIFY(db);
    const QStringList names = {"O'HIGGINS", "x' or '1'='1", "PEÑA NÚÑEZ Ü", "%_\\"};
    for (int i = 0; i < names.size(); ++i)
        must(*db, u"insert into Mandatarios (CURP, Nombre, Mandato) values (?, ?, 2)"_s,
             {u"CURP%1"_s.arg(i), names[i]});
    auto again = dir.open(); // a second connection to the same file
    QCOMPARE(dump(*again, "select Nombre from Mandatarios order by CURP"), names.join(u'\n'));
    QCOMPARE(displayFromIsoDate(QVariant()), QString());
    const QString byName = u"select CURP from Mandatarios where Nombre=?"_s;
    QCOMPARE(dump(*again, byName, {names[0]}), "CURP0");
    QCOMPARE(dump(*again, byName, {u"' or '1'='1"_s}), QString());
}

void TestStore::displayDates_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("iso"); // empty: refused
    QTest::newRow("20/05/2003") << u"20/05/2003"_s << u"2003-05-20"_s;
    QTest::newRow("29/02/2000") << u"29/02/2000"_s << u"2000-02-29"_s;
    for (const char* bad : {"31/02/2003", "29/02/1900", "01/13/2003", "2003-05-20", "20/05/03",
                            "2/5/2003", " 20/05/2003 "})
        QTest::newRow(bad) << QString(bad) << QString();
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
