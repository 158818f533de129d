#include "rules/CheckDigits.h"

QChar curpCheckDigit(const QString& curp) {
    static const QString Alphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNÑOPQRSTUVWXYZ");
    if (curp.size() < 17)
        return QChar();
    int sum = 0;
    for (int i = 0; i < 17; ++i) {
        const qsizetype value = Alphabet.indexOf(curp[i]);
        if (value < 0)
            return QChar();
        sum += int(value) * (18 - i);
    }
    return QChar(u'0' + (10 - sum % 10) % 10);
}

QChar rfcCheckDigit(const QString& rfc) {
    // Each character's value is its place here: "&" after N, blank and Ñ last.
    static const QString Alphabet = QStringLiteral("0123456789ABCDEFGHIJKLMN&OPQRSTUVWXYZ Ñ");
    if (rfc.size() != 12 && rfc.size() != 13)
        return QChar();
    const QString base = rfc.chopped(1).rightJustified(12, u' ');
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        const qsizetype value = Alphabet.indexOf(base[i]);
        if (value < 0)
            return QChar();
        sum += int(value) * (13 - i);
    }
    const int digit = 11 - sum % 11;
    return digit == 11 ? QChar(u'0') : digit == 10 ? QChar(u'A') : QChar(u'0' + digit);
}
