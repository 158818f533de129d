#include "exchange/FileRules.h"

#include "data/MandatoLabel.h"

QString CodeRule::allowedText() const {
    QStringList out;
    for (int c : codes)
        out << QString::number(c);
    if (nullAllowed)
        out.prepend(QStringLiteral("vacío"));
    const QString last = out.takeLast();
    return out.isEmpty() ? last : out.join(QStringLiteral(", ")) + QStringLiteral(" o ") + last;
}

bool CodeRule::accepts(QByteArrayView value) const {
    if (value.isEmpty())
        return nullAllowed;
    // Written as the writer writes a code: digits, no sign, no leading zero.
    if (value.size() > 9 || (value.size() > 1 && value[0] == '0'))
        return false;
    int code = 0;
    for (char c : value) {
        if (c < '0' || c > '9')
            return false;
        code = code * 10 + (c - '0');
    }
    return codes.contains(code);
}

QString CodeRule::nameOf(const QString& value) const {
    if (!accepts(value) || value.isEmpty())
        return QString();
    return names.value(codes.indexOf(value.toInt()));
}

namespace FileRules {

const QList<CodeRule>& codes() {
    static const QList<CodeRule> rules = {
        {"Domicilios_AA",
         "Tipo_Dom",
         {1, 2, 3, 4, 5, 6},
         false,
         {QStringLiteral("Domicilio fiscal"),
          QStringLiteral("Domicilio para oír y recibir notificaciones"),
          QStringLiteral("Domicilio de transmisión de pedimentos en la aduana de adscripción"),
          QStringLiteral("Domicilio de transmisión en la aduana adicional 1"),
          QStringLiteral("Domicilio de transmisión en la aduana adicional 2"),
          QStringLiteral("Domicilio de transmisión en la aduana adicional 3")}},
        {"Domicilios_MM",
         "Tipo_Dom",
         {1, 2},
         false,
         {QStringLiteral("Domicilio particular"), QStringLiteral("Domicilio fiscal")}},
        {"Mandatarios",
         "Mandato",
         {1, 2, 3},
         false,
         {MandatoLabel::of(1), MandatoLabel::of(2), MandatoLabel::of(3)}},
        {"Mandatarios",
         "Acreditacion",
         {0, 1, 2},
         false,
         {QStringLiteral("ninguna"), QStringLiteral("NTCL"),
          QStringLiteral("Examen de Conocimientos")}},
        {"Mandatarios",
         "Operando",
         {0, 1, 2},
         false,
         {QStringLiteral("No"), QStringLiteral("Si"), QStringLiteral("No Definido")}},
        {"AA", "SinHistorico", {0, 1}, true},
        {"Mandatarios", "SinHistorico", {0, 1}, true},
    };
    return rules;
}

const CodeRule* codeOf(const Tables::Table& table, const char* column) {
    for (const CodeRule& r : codes())
        if (qstrcmp(r.table, table.name) == 0 && qstrcmp(r.column, column) == 0)
            return &r;
    return nullptr;
}

int maxLengthOf(const char* column) {
    struct Size {
        const char* column;
        int maxLength;
    };
    static constexpr Size sizes[] = {
        {"Nombre", 25}, {"ApPaterno", 25},   {"ApMaterno", 25}, {"RFC", 13},
        {"CURP", 18},   {"NoAduanasAut", 1}, {"Calle", 100},    {"NoExt", 10},
        {"NoInt", 10},  {"Colonia", 100},    {"CP", 5},         {"Telefono", 25},
        {"Fax", 25},    {"NoPedimento", 10},
    };
    for (const Size& s : sizes)
        if (qstrcmp(s.column, column) == 0)
            return s.maxLength;
    return 0;
}

QString sizeFault(const char* column, qsizetype length, int maxLength) {
    return QStringLiteral("el campo %1 tiene %2 caracteres; admite %3 como máximo.")
        .arg(QLatin1String(column))
        .arg(length)
        .arg(maxLength);
}

QString codeFault(const CodeRule& rule, const QString& value) {
    return QStringLiteral("el valor \"%1\" de %2 no es uno de sus códigos (%3).")
        .arg(value, QLatin1String(rule.column), rule.allowedText());
}

} // namespace FileRules
