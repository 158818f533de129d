// Validators of patent numbers, RFC and CURP, and the three text tests they
// share with the address and agent checks.
#include "rules/Rutinas.h"
#include "support/TestSupport.h"

class TestValidators : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checks_data();
    void checks();
    void numericValue();
};

// P patent, R RFC, C CURP, N numeric text, F dd/mm/yy date: texts each
// check takes, then texts it refuses.
void TestValidators::checks_data() {
    QTest::addColumn<char>("check");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    const auto rows = [](char check, std::initializer_list<const char*> valid,
                         std::initializer_list<const char*> refused) {
        for (bool v : {true, false})
            for (const char* t : v ? valid : refused)
                QTest::addRow("%c \"%s\"", check, t) << check << QString::fromLatin1(t) << v;
    };
    // Up to 4000; trailing letters are ignored.
    rows('P', {"4000", "12AB"}, {"4001", "0"});
    // Length, a name block of letters (a digit among them passes), a real date.
    rows('R', {"ABC1850101XYZ", "ABCD000229XYZ"},
         {"ABCD850101XY", "1234850101XYZ", "1.25850101XYZ", "ABCD850230XYZ"});
    // Sex H or M in capitals, a state block that is not a number.
    rows('C', {"ABCD850101MDFXYZ01", "ABCD850101HD1XYZ01"},
         {"ABCD850101hDFXYZ01", "ABCD850101XDFXYZ01", "ABCD850101H12XYZ01", "ABCD850101HDFXYZ0",
          "1234850101HDFXYZ01", "ABCD850230HDFXYZ01"});
    // Blanks around, sign, fraction, a D exponent.
    rows('N', {"  42  ", "-7.5", ".5", "2.5D-3"}, {"", "-", "1.2.3", "1E", "1 2", "+-1"});
    // Two-digit years: 00-29 are 20xx, 30-99 are 19xx.
    rows('F', {"29/02/00", "29/02/96"},
         {"29/02/29", "29/02/30", "31/11/85", "01/13/85", "00/01/85", "1X/01/85", "01/85"});
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
