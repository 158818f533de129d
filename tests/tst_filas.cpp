#include "data/Database.h"
#include "data/PreparedStatement.h"
#include "entry/Grid.h"
#include "support/TestSupport.h"

#include <QTableWidget>
#include <QtTest>

// The fast paths that read and write many rows must store and show exactly
// what the general ones do.
class TstFilas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lecturaDirectaIgualQueSelect();
    void sentenciaPreparadaIgualQueExec();
    void listaLlenadaDeUnaVez();
};

namespace {

const QVariantList Valores = {QVariant(QMetaType(QMetaType::LongLong)),
                              QVariant(47),
                              QVariant(3.0),
                              QVariant(2.5),
                              QVariant(QStringLiteral("REFORMA 10")),
                              QVariant(QStringLiteral("PEÑA ÁLVAREZ €")),
                              QVariant(QStringLiteral("")),
                              QVariant(QString())};

QStringList asText(const QVariantList& row) {
    QStringList out;
    for (const QVariant& v : row)
        out << (v.isNull() ? QStringLiteral("NULL") : v.toString() + "/" + v.typeName());
    return out;
}

} // namespace

void TstFilas::lecturaDirectaIgualQueSelect() {
    ProgramDir pd;
    auto db = pd.open();
    QVERIFY(!db->exec(QStringLiteral("create table t (v)")));
    for (const QVariant& v : Valores)
        QVERIFY(!db->exec(QStringLiteral("insert into t values (?)"), {v}));
    QStringList general, directa;
    for (const QVariantList& r : db->select(QStringLiteral("select v from t")).rows)
        general << textOf(r.at(0));
    QVERIFY(!db->eachRow(QStringLiteral("select v from t"), [&](const RawRow& r) {
        directa << r.text(0);
        return true;
    }));
    QCOMPARE(directa, general);
    QVERIFY(db->eachRow(QStringLiteral("select nada from t"), [](const RawRow&) { return true; }));
}

void TstFilas::sentenciaPreparadaIgualQueExec() {
    ProgramDir pd;
    auto db = pd.open();
    QVERIFY(!db->exec(QStringLiteral("create table t (n integer, v)")));
    PreparedStatement insert(*db, QStringLiteral("insert into t values (2, ?)"));
    QVERIFY(!insert.prepareError());
    for (const QVariant& v : Valores) {
        QVERIFY(!db->exec(QStringLiteral("insert into t values (1, ?)"), {v}));
        QVERIFY(!insert.exec({v}));
    }
    const auto stored = [&](int n) {
        QStringList out;
        for (const QVariantList& r :
             db->select(QStringLiteral("select v, typeof(v) from t where n=?"), {n}).rows)
            out << asText(r).join(u' ');
        return out;
    };
    QCOMPARE(stored(2), stored(1));
    QVERIFY(PreparedStatement(*db, QStringLiteral("insert into nada values (?)")).prepareError());
}

void TstFilas::listaLlenadaDeUnaVez() {
    QTableWidget grid;
    gridSetup(&grid, {QStringLiteral("A"), QStringLiteral("B")}, {0, 0});
    gridAppend(&grid, {QStringLiteral("viejo"), QStringLiteral("renglón")});
    grid.setCurrentCell(0, 0);
    gridFill(&grid, {{QStringLiteral("1"), QStringLiteral("uno")},
                     {QStringLiteral("2"), QStringLiteral("dos"), QStringLiteral("de más")},
                     {QStringLiteral("3")}});
    QCOMPARE(grid.rowCount(), 3);
    QCOMPARE(gridRow(&grid, 0), QStringList({"1", "uno"}));
    QCOMPARE(gridRow(&grid, 1), QStringList({"2", "dos"}));
    QCOMPARE(gridRow(&grid, 2), QStringList({"3", ""}));
    QCOMPARE(grid.currentRow(), -1); // the old row is gone, none is chosen
    gridFill(&grid, {});
    QCOMPARE(grid.rowCount(), 0);
}

QTEST_MAIN(TstFilas)
#include "tst_filas.moc"
