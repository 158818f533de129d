// Validators of patent numbers, RFC and CURP, and the three text tests they
// share with the address and agent checks.
#include "entry/Rutinas.h"

#include <QTest>

class TstRutinas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void patente_data();
    void patente();
    void rfc_data();
    void rfc();
    void curp_data();
    void curp();
    void numerico_data();
    void numerico();
    void valorNumerico();
    void fecha_data();
    void fecha();
};

void TstRutinas::patente_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("upper bound") << "4000" << true;
    QTest::newRow("above") << "4001" << false;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("one") << "1" << true;
    QTest::newRow("trailing letters") << "12AB" << true;
    QTest::newRow("leading letters") << "AB12" << false;
    QTest::newRow("leading zeros") << "0012" << true;
    QTest::newRow("all zeros") << "0000" << false;
    QTest::newRow("negative") << "-5" << false;
    QTest::newRow("plus sign") << "+12" << true;
    QTest::newRow("exponent at the bound") << "4D3" << true;
    QTest::newRow("exponent above") << "1E4" << false;
    QTest::newRow("fraction inside") << "3999.5" << true;
    QTest::newRow("fraction above") << "4000.1" << false;
    QTest::newRow("blanks") << "   " << false;
    QTest::newRow("blank inside") << "4 0" << true;
}

void TstRutinas::patente() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(Valida_Patente(text), valid);
}

void TstRutinas::rfc_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ordinary") << "ABCD850101XYZ" << true;
    QTest::newRow("12 characters") << "ABCD850101XY" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("name block is a number") << "1234850101XYZ" << false;
    QTest::newRow("name block with a digit") << "ABC1850101XYZ" << true;
    QTest::newRow("name block is a decimal") << "1.25850101XYZ" << false;
    QTest::newRow("30 February") << "ABCD850230XYZ" << false;
    QTest::newRow("29 February 2000") << "ABCD000229XYZ" << true;
    QTest::newRow("29 February 1999") << "ABCD990229XYZ" << false;
    QTest::newRow("29 February 1996") << "ABCD960229XYZ" << true;
    QTest::newRow("month 13") << "ABCD851301XYZ" << false;
    QTest::newRow("day 00") << "ABCD850100XYZ" << false;
    QTest::newRow("31 April") << "ABCD850431XYZ" << false;
    QTest::newRow("letter in date") << "ABCD85010XXYZ" << false;
    QTest::newRow("suffix not read") << "ABCD850101|~ " << true;
    QTest::newRow("longer text") << "ABCD850101XYZ99" << true;
    QTest::newRow("lower case") << "abcd850101xyz" << true;
}

void TstRutinas::rfc() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(Valida_RFC(text), valid);
}

void TstRutinas::curp_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ordinary") << "ABCD850101HDFXYZ01" << true;
    QTest::newRow("woman") << "ABCD850101MDFXYZ01" << true;
    QTest::newRow("lower-case sex") << "ABCD850101hDFXYZ01" << false;
    QTest::newRow("sex X") << "ABCD850101XDFXYZ01" << false;
    QTest::newRow("state block is a number") << "ABCD850101H12XYZ01" << false;
    QTest::newRow("state block half digit") << "ABCD850101HD1XYZ01" << true;
    QTest::newRow("17 characters") << "ABCD850101HDFXYZ0" << false;
    QTest::newRow("name block is a number") << "1234850101HDFXYZ01" << false;
    QTest::newRow("bad date") << "ABCD850230HDFXYZ01" << false;
    QTest::newRow("29 February 2000") << "ABCD000229HDFXYZ01" << true;
    QTest::newRow("tail not read") << "ABCD850101HDF|||||" << true;
}

void TstRutinas::curp() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(Valida_CURP(text), valid);
}

void TstRutinas::numerico_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("integer") << "123" << true;
    QTest::newRow("blanks around") << "  42  " << true;
    QTest::newRow("plus") << "+7" << true;
    QTest::newRow("minus") << "-7.5" << true;
    QTest::newRow("leading point") << ".5" << true;
    QTest::newRow("trailing point") << "5." << true;
    QTest::newRow("exponent E") << "1E5" << true;
    QTest::newRow("exponent D with sign") << "2.5D-3" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("only blanks") << "    " << false;
    QTest::newRow("only sign") << "-" << false;
    QTest::newRow("only point") << "." << false;
    QTest::newRow("two points") << "1.2.3" << false;
    QTest::newRow("exponent without digits") << "1E" << false;
    QTest::newRow("exponent alone") << "E5" << false;
    QTest::newRow("blank inside") << "1 2" << false;
    QTest::newRow("letters") << "ABCD" << false;
    QTest::newRow("trailing letter") << "12A" << false;
    QTest::newRow("two signs") << "+-1" << false;
}

void TstRutinas::numerico() {
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(Es_Numerico(text), numeric);
}

void TstRutinas::valorNumerico() {
    QCOMPARE(Valor_Numerico(QStringLiteral("12AB")), 12.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("A123")), 0.0);
    QCOMPARE(Valor_Numerico(QString()), 0.0);
    QCOMPARE(Valor_Numerico(QStringLiteral(" 1 2\t3\n4")), 1234.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("-3.5XYZ")), -3.5);
    QCOMPARE(Valor_Numerico(QStringLiteral(".25")), 0.25);
    QCOMPARE(Valor_Numerico(QStringLiteral("1.2.3")), 1.2);
    QCOMPARE(Valor_Numerico(QStringLiteral("2E3 pesos")), 2000.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("2D-1")), 0.2);
    // An exponent letter that is not followed by digits ends the number.
    QCOMPARE(Valor_Numerico(QStringLiteral("7EX")), 7.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("+")), 0.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("-.")), 0.0);
}

void TstRutinas::fecha_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("real");
    QTest::newRow("ordinary") << "20/05/03" << true;
    QTest::newRow("00 is 2000, leap") << "29/02/00" << true;
    QTest::newRow("04 leap") << "29/02/04" << true;
    QTest::newRow("29 is 2029, not leap") << "29/02/29" << false;
    QTest::newRow("30 is 1930, not leap") << "29/02/30" << false;
    QTest::newRow("96 leap") << "29/02/96" << true;
    QTest::newRow("99 not leap") << "29/02/99" << false;
    QTest::newRow("31 December") << "31/12/99" << true;
    QTest::newRow("31 November") << "31/11/85" << false;
    QTest::newRow("month 0") << "01/00/85" << false;
    QTest::newRow("month 13") << "01/13/85" << false;
    QTest::newRow("day 0") << "00/01/85" << false;
    QTest::newRow("letter in day") << "1X/01/85" << false;
    QTest::newRow("letter in year") << "01/01/8X" << false;
    QTest::newRow("empty piece") << "01//85" << false;
    QTest::newRow("two pieces") << "01/85" << false;
    QTest::newRow("four pieces") << "01/01/85/1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dashes") << "01-01-85" << false;
}

void TstRutinas::fecha() {
    QFETCH(QString, text);
    QFETCH(bool, real);
    QCOMPARE(Es_Fecha(text), real);
}

QTEST_APPLESS_MAIN(TstRutinas)
#include "tst_rutinas.moc"
