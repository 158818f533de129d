// Validators of patent numbers, RFC and CURP, and the three text tests they
// share with the address and agent checks.
#include "rules/Rutinas.h"

#include <QHash>
#include <QTest>

class TestValidators : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checks_data();
    void checks();
    void numericValue();
};

// P patent, R RFC, C CURP, N numeric text, F dd/mm/yy date.
void TestValidators::checks_data() {
    QTest::addColumn<char>("check");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("patent upper bound") << 'P' << "4000" << true;
    QTest::newRow("patent above") << 'P' << "4001" << false;
    QTest::newRow("patent zero") << 'P' << "0" << false;
    QTest::newRow("patent trailing letters") << 'P' << "12AB" << true;
    QTest::newRow("rfc 12 characters") << 'R' << "ABCD850101XY" << false;
    QTest::newRow("rfc name block a number") << 'R' << "1234850101XYZ" << false;
    QTest::newRow("rfc name block a decimal") << 'R' << "1.25850101XYZ" << false;
    QTest::newRow("rfc name block with a digit") << 'R' << "ABC1850101XYZ" << true;
    QTest::newRow("rfc 30 February") << 'R' << "ABCD850230XYZ" << false;
    QTest::newRow("rfc 29 February 00") << 'R' << "ABCD000229XYZ" << true;
    QTest::newRow("curp woman") << 'C' << "ABCD850101MDFXYZ01" << true;
    QTest::newRow("curp lower-case sex") << 'C' << "ABCD850101hDFXYZ01" << false;
    QTest::newRow("curp sex X") << 'C' << "ABCD850101XDFXYZ01" << false;
    QTest::newRow("curp state block a number") << 'C' << "ABCD850101H12XYZ01" << false;
    QTest::newRow("curp state block half digit") << 'C' << "ABCD850101HD1XYZ01" << true;
    QTest::newRow("curp 17 characters") << 'C' << "ABCD850101HDFXYZ0" << false;
    QTest::newRow("curp name block a number") << 'C' << "1234850101HDFXYZ01" << false;
    QTest::newRow("curp bad date") << 'C' << "ABCD850230HDFXYZ01" << false;
    QTest::newRow("num blanks around") << 'N' << "  42  " << true;
    QTest::newRow("num sign and fraction") << 'N' << "-7.5" << true;
    QTest::newRow("num leading point") << 'N' << ".5" << true;
    QTest::newRow("num exponent D with sign") << 'N' << "2.5D-3" << true;
    QTest::newRow("num empty") << 'N' << "" << false;
    QTest::newRow("num only sign") << 'N' << "-" << false;
    QTest::newRow("num two points") << 'N' << "1.2.3" << false;
    QTest::newRow("num exponent without digits") << 'N' << "1E" << false;
    QTest::newRow("num blank inside") << 'N' << "1 2" << false;
    QTest::newRow("num two signs") << 'N' << "+-1" << false;
    QTest::newRow("date 00 is 2000, leap") << 'F' << "29/02/00" << true;
    QTest::newRow("date 29 is 2029, not leap") << 'F' << "29/02/29" << false;
    QTest::newRow("date 30 is 1930, not leap") << 'F' << "29/02/30" << false;
    QTest::newRow("date 96 leap") << 'F' << "29/02/96" << true;
    QTest::newRow("date 31 November") << 'F' << "31/11/85" << false;
    QTest::newRow("date month 13") << 'F' << "01/13/85" << false;
    QTest::newRow("date day 0") << 'F' << "00/01/85" << false;
    QTest::newRow("date letter in day") << 'F' << "1X/01/85" << false;
    QTest::newRow("date two pieces") << 'F' << "01/85" << false;
}

void TestValidators::checks() {
    QFETCH(char, check);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    static const QHash<char, bool (*)(const QString&)> byCheck = {{'P', Valida_Patente},
                                                                  {'R', Valida_RFC},
                                                                  {'C', Valida_CURP},
                                                                  {'N', Es_Numerico},
                                                                  {'F', Es_Fecha}};
    QCOMPARE(byCheck.value(check)(text), valid);
}

void TestValidators::numericValue() {
    QCOMPARE(Valor_Numerico(QStringLiteral("12AB")), 12.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("A123")), 0.0);
    QCOMPARE(Valor_Numerico(QStringLiteral(" 1 2\t3\n4")), 1234.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("-3.5XYZ")), -3.5);
    QCOMPARE(Valor_Numerico(QStringLiteral("1.2.3")), 1.2);
    QCOMPARE(Valor_Numerico(QStringLiteral("2E3 pesos")), 2000.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("2D-1")), 0.2);
    // An exponent letter that is not followed by digits ends the number.
    QCOMPARE(Valor_Numerico(QStringLiteral("7EX")), 7.0);
    QCOMPARE(Valor_Numerico(QStringLiteral("-.")), 0.0);
}

QTEST_APPLESS_MAIN(TestValidators)
#include "tst_validators.moc"
