// The store: opening only what exists and is a database, bound values,
// transactions that leave no trace when they fail, the error form, dates.
#include "data/Database.h"
#include "data/Dates.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

int countRows(Database& db, const QString& table) {
    Rows r = db.select(QStringLiteral("select count(*) from ") + table);
    return r.ok() ? r.first().at(0).toInt() : -1;
}

} // namespace

class TstStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openRefusesMissingFile();
    void openRefusesNonDatabase_data();
    void openRefusesNonDatabase();
    void hostileTextRoundTrip();
    void failedTransactionLeavesNoTrace();
    void errorMessageForm();
    void displayDates_data();
    void displayDates();
    void isoDates();
};

void TstStore::openRefusesMissingFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString why;
    QVERIFY(!Database::open(dir.path(), &why));
    const QString expected = QDir::toNativeSeparators(QDir(dir.path()).filePath("kestro.mdb"));
    QVERIFY2(why.contains(expected), qPrintable(why));
    QVERIFY(!QFile::exists(expected));
    QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    // A folder that is not there at all is not made either.
    const QString gone = QDir(dir.path()).filePath(QStringLiteral("no-existe"));
    QVERIFY(!Database::open(gone, &why));
    QVERIFY(why.contains(QStringLiteral("no-existe")));
    QVERIFY(!QFileInfo::exists(gone));
}

void TstStore::openRefusesNonDatabase_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text") << QByteArray("Patente|Nombre\r\n1234|JUAN\r\n");
    // The right header over pages that are not a database.
    QByteArray damaged("SQLite format 3\0", 16);
    damaged.append(QByteArray(4096, '\xff'));
    QTest::newRow("damaged") << damaged;
}

void TstStore::openRefusesNonDatabase() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = QDir(dir.path()).filePath(QStringLiteral("kestro.mdb"));
    writeBytes(path, content);

    QString why;
    QVERIFY(!Database::open(dir.path(), &why));
    QVERIFY2(why.contains(QDir::toNativeSeparators(path)), qPrintable(why));
    QCOMPARE(bytesOf(path), content);
    // No journal or other file left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{QStringLiteral("kestro.mdb")});
}

void TstStore::hostileTextRoundTrip() {
    ProgramDir dir;
    auto db = Database::open(dir.path(), nullptr);
    QVERIFY(db);
    const QStringList names = {
        QStringLiteral("O'HIGGINS"),
        QStringLiteral("D'ARTAGNAN"),
        QStringLiteral("\"COMILLAS\" Y 'SIMPLES'"),
        QStringLiteral("A;B;C"),
        QStringLiteral("drop table AA; --"),
        QStringLiteral("x' or '1'='1"),
        QStringLiteral("PEÑA NÚÑEZ Ü"),
        QStringLiteral("%_\\"),
    };
    for (int i = 0; i < names.size(); ++i) {
        const QString curp = QStringLiteral("CURP%1").arg(i);
        QVERIFY(!db->exec(QStringLiteral("insert into Mandatarios (CURP, Nombre, ApPaterno, "
                                         "Mandato) values (?, ?, ?, ?)"),
                          {curp, names[i], names[i], 2}));
    }

    // Read back by position, through a second connection to the same file.
    auto again = dir.open();
    Rows all = again->select(QStringLiteral("select * from Mandatarios order by CURP"));
    QVERIFY(all.ok());
    QCOMPARE(all.size(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(all.rows[i].at(2).toString(), names[i]);
        QCOMPARE(all.rows[i].at(3).toString(), names[i]);
        QCOMPARE(all.rows[i].at(5).toInt(), 2);
        QVERIFY(all.rows[i].at(6).isNull());
    }
    QVERIFY(again->tableExists(QStringLiteral("AA")));

    // A bound value matches only itself.
    Rows one = again->select(QStringLiteral("select CURP from Mandatarios where Nombre=?"),
                             {QStringLiteral("O'HIGGINS")});
    QVERIFY(one.ok());
    QCOMPARE(one.size(), 1);
    QCOMPARE(one.first().at(0).toString(), QStringLiteral("CURP0"));
    Rows none = again->select(QStringLiteral("select CURP from Mandatarios where Nombre=?"),
                              {QStringLiteral("' or '1'='1")});
    QVERIFY(none.ok());
    QVERIFY(none.empty());

    QVERIFY(!again->exec(QStringLiteral("update Mandatarios set Nombre=? where CURP=?"),
                         {QStringLiteral("'; delete from Mandatarios; --"), "CURP1"}));
    QCOMPARE(countRows(*db, QStringLiteral("Mandatarios")), names.size());
}

void TstStore::failedTransactionLeavesNoTrace() {
    ProgramDir dir;
    auto db = dir.open();
    QVERIFY(!db->exec(QStringLiteral("create trigger sin_dos before insert on Aduanas_MM "
                                     "when new.NoAduana = 2 begin "
                                     "select raise(abort, 'aduana dos'); end")));
    QVERIFY(!db->exec(QStringLiteral("insert into Aduanas_MM values ('PREVIA', 9)")));

    MaybeError e = inTransaction(*db, [&]() -> MaybeError {
        if (MaybeError e = db->exec(QStringLiteral("delete from Aduanas_MM")))
            return e;
        if (MaybeError e = db->exec(QStringLiteral("insert into Aduanas_MM values (?, ?)"),
                                    {QStringLiteral("X"), 1}))
            return e;
        return db->exec(QStringLiteral("insert into Aduanas_MM values (?, ?)"),
                        {QStringLiteral("X"), 2});
    });
    QVERIFY(e);
    QVERIFY2(e->text.contains(QStringLiteral("aduana dos")), qPrintable(e->text));

    // A body that fails without an engine error rolls back too.
    e = inTransaction(*db, [&]() -> MaybeError {
        if (MaybeError e = db->exec(QStringLiteral("insert into Aduanas_MM values ('Y', 3)")))
            return e;
        return db->exec(QStringLiteral("insert into NoHay values (1)"));
    });
    QVERIFY(e);

    // Leaving a transaction without commit undoes it.
    {
        Transaction tx(*db);
        QVERIFY(!tx.beginError());
        QVERIFY(!db->exec(QStringLiteral("insert into Aduanas_MM values ('Z', 4)")));
    }

    auto other = dir.open();
    Rows r = other->select(QStringLiteral("select * from Aduanas_MM"));
    QVERIFY(r.ok());
    QCOMPARE(r.size(), 1);
    QCOMPARE(r.first().at(0).toString(), QStringLiteral("PREVIA"));
    QCOMPARE(r.first().at(1).toInt(), 9);

    // The connection is usable afterwards and a good transaction commits.
    e = inTransaction(*db, [&]() -> MaybeError {
        return db->exec(QStringLiteral("insert into Aduanas_MM values ('W', 5)"));
    });
    QVERIFY(!e);
    QCOMPARE(countRows(*other, QStringLiteral("Aduanas_MM")), 2);
}

void TstStore::errorMessageForm() {
    ProgramDir dir;
    auto db = dir.open();
    Rows r = db->select(QStringLiteral("select * from NoHay"));
    QVERIFY(!r.ok());
    QCOMPARE(r.error->number, 1);
    QCOMPARE(r.error->message(), QStringLiteral(" 1 no such table: NoHay"));

    // A key already present in the customs offices catalogue.
    MaybeError e =
        db->exec(QStringLiteral("insert into Aduanas values (?, ?)"), {10, QStringLiteral("OTRA")});
    QVERIFY(e);
    QVERIFY(e->number != 0 && e->number != 1);
    QVERIFY2(e->message().startsWith(QStringLiteral(" %1 ").arg(e->number)),
             qPrintable(e->message()));
    QVERIFY(e->message().contains(QStringLiteral("UNIQUE")));
    QVERIFY(!e->message().contains(QStringLiteral("  ")));
}

void TstStore::displayDates_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("iso"); // empty: refused
    QTest::newRow("ordinary") << "20/05/2003"
                              << "2003-05-20";
    QTest::newRow("29 February 2000") << "29/02/2000"
                                      << "2000-02-29";
    QTest::newRow("31 December") << "31/12/1999"
                                 << "1999-12-31";
    QTest::newRow("31 February") << "31/02/2003"
                                 << "";
    QTest::newRow("29 February 2001") << "29/02/2001"
                                      << "";
    QTest::newRow("29 February 1900") << "29/02/1900"
                                      << "";
    QTest::newRow("month 13") << "01/13/2003"
                              << "";
    QTest::newRow("day 0") << "00/05/2003"
                           << "";
    QTest::newRow("iso form") << "2003-05-20"
                              << "";
    QTest::newRow("two-digit year") << "20/05/03"
                                    << "";
    QTest::newRow("no padding") << "2/5/2003"
                                << "";
    QTest::newRow("blanks") << " 20/05/2003 "
                            << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("letters") << "dd/mm/yyyy"
                             << "";
}

void TstStore::displayDates() {
    QFETCH(QString, display);
    QFETCH(QString, iso);
    const auto got = isoFromDisplayDate(display);
    QVariant bound;
    const auto refused = bindDisplayDate(display, &bound);
    if (iso.isEmpty()) {
        QVERIFY(!got);
        QVERIFY(refused);
        QVERIFY(refused->message().contains(display));
        QVERIFY(!bound.isValid());
    } else {
        QCOMPARE(got.value_or(QString()), iso);
        QVERIFY(!refused);
        QCOMPARE(bound.toString(), iso);
        QCOMPARE(displayFromIsoDate(iso), display);
    }
}

void TstStore::isoDates() {
    QCOMPARE(displayFromIsoDate(QStringLiteral("2003-05-20")), QStringLiteral("20/05/2003"));
    QCOMPARE(displayFromIsoDate(QVariant()), QString());
    QCOMPARE(fileDateFromIso(QStringLiteral("2000-02-29")), QStringLiteral("2000-02-29"));

    // Stored dates sort as days, not as display text.
    ProgramDir dir;
    auto db = dir.open();
    for (const char* d : {"02/01/2004", "31/12/2003", "01/02/2003"}) {
        QVariant v;
        QVERIFY(!bindDisplayDate(QString::fromLatin1(d), &v));
        QVERIFY(
            !db->exec(QStringLiteral("insert into Periodos_H_AA values ('C', 1, ?, ?)"), {v, v}));
    }
    Rows r = db->select(QStringLiteral("select FechaIni from Periodos_H_AA order by FechaIni"));
    QVERIFY(r.ok());
    QStringList shown;
    for (const QVariantList& row : r.rows)
        shown << displayFromIsoDate(row.at(0));
    QCOMPARE(shown, (QStringList{"01/02/2003", "31/12/2003", "02/01/2004"}));
}

QTEST_GUILESS_MAIN(TstStore)
#include "tst_store.moc"
