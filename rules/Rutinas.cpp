#include "rules/Rutinas.h"

#include <QDate>
#include <QRegularExpression>

namespace {

bool allDigits(const QString& s) {
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Characters 9-10 "/" 7-8 "/" 5-6 of an RFC or CURP (1-based).
QString embeddedBirthDate(const QString& id) {
    return id.mid(8, 2) + u'/' + id.mid(6, 2) + u'/' + id.mid(4, 2);
}

// Es_Fecha of the embedded birth date. Six digits, as nearly every
// identifier has them, make three parts of two digits: judged straight
// from them, without the text (the verifier asks for every person of every
// file).
bool embeddedDateIsReal(const QString& id) {
    int n[6];
    for (int i = 0; i < 6; ++i) {
        const QChar c = id.at(4 + i);
        if (c < u'0' || c > u'9')
            return Es_Fecha(embeddedBirthDate(id));
        n[i] = c.unicode() - u'0';
    }
    const int year = n[0] * 10 + n[1];
    return QDate::isValid(year + (year < 30 ? 2000 : 1900), n[2] * 10 + n[3], n[4] * 10 + n[5]);
}

} // namespace

bool Es_Numerico(const QString& text) {
    // Most texts asked about hold a letter the pattern cannot take: told
    // without running it (the verifier asks for every person of every file).
    for (QChar c : text)
        if (!QStringView(u" +-.0123456789EeDd").contains(c))
            return false;
    static const QRegularExpression number(
        QStringLiteral("^[ ]*[+-]?(\\d+\\.?\\d*|\\.\\d+)([EeDd][+-]?\\d+)?[ ]*$"));
    return number.match(text).hasMatch();
}

double Valor_Numerico(const QString& text) {
    QString s = text;
    s.remove(u' ').remove(u'\t').remove(u'\n');
    static const QRegularExpression lead(
        QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?(?:[EeDd]([+-]?\\d+))?"));
    const auto m = lead.match(s);
    const QString whole = m.captured(2);
    const QString frac = m.captured(3);
    if (whole.isEmpty() && frac.isEmpty())
        return 0.0;
    QString literal = m.captured(1) + (whole.isEmpty() ? QStringLiteral("0") : whole);
    if (!frac.isEmpty())
        literal += u'.' + frac;
    if (!m.captured(4).isEmpty())
        literal += u'e' + m.captured(4);
    bool ok = false;
    const double v = literal.toDouble(&ok);
    return ok ? v : 0.0;
}

bool Es_Fecha(const QString& text) {
    const QStringList parts = text.split(u'/');
    if (parts.size() != 3)
        return false;
    for (const QString& p : parts)
        if (!allDigits(p))
            return false;
    int year = parts[2].toInt();
    if (parts[2].size() <= 2)
        year += year < 30 ? 2000 : 1900;
    return QDate::isValid(year, parts[1].toInt(), parts[0].toInt());
}

bool Valida_Patente(const QString& text) {
    const double v = Valor_Numerico(text);
    return v > 0 && v <= 4000;
}

bool patentStorable(const QString& text) {
    return Valida_Patente(text) && allDigits(text.trimmed());
}

bool Valida_RFC(const QString& text) {
    if (text.size() < 13)
        return false;
    if (Es_Numerico(text.left(4)))
        return false;
    return embeddedDateIsReal(text);
}

bool Valida_CURP(const QString& text) {
    if (text.size() < 18)
        return false;
    if (Es_Numerico(text.left(4)))
        return false;
    if (!embeddedDateIsReal(text))
        return false;
    const QChar sex = text.at(10);
    if (sex != u'H' && sex != u'M')
        return false;
    return !Es_Numerico(text.mid(11, 2));
}

QString RTrim(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == u' ')
        --n;
    return text.left(n);
}

bool Vacio(const QString& text) {
    return RTrim(text).isEmpty();
}

QString Texto_Clave(qlonglong number) {
    return number < 0 ? QString::number(number) : u' ' + QString::number(number);
}
