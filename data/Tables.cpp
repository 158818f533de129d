#include "data/Tables.h"

#include <QStringList>

namespace Tables {

namespace {

constexpr Kind T = Kind::Text;
constexpr Kind N = Kind::Number;
constexpr Kind D = Kind::Date;

Column added(const char* name) {
    return Column{name, N, true, true, {}};
}
Column notInFile(const char* name, Kind kind, QVariant oldDefault = {}) {
    return Column{name, kind, false, false, std::move(oldDefault)};
}

// The postal address both address tables hold, in table order.
QList<Column> address() {
    return {{"EntFed", T},  {"MDeleg", N}, {"Calle", T},    {"NoExt", T}, {"NoInt", T},
            {"Colonia", T}, {"CP", T},     {"Telefono", T}, {"Fax", T}};
}

QList<Table> describe() {
    return {
        {"EntFed", {{"cveEntFed", T}, {"Nombre", T}}},
        {"MpioDeleg", {{"cveEntFed", T}, {"cveMpioDeleg", N}, {"Nombre", T}}},
        {"Aduanas", {{"cveAduana", N}, {"Aduana", T}}},
        {"AA",
         {notInFile("Patente", N),
          {"Nombre", T},
          {"ApPaterno", T},
          {"ApMaterno", T},
          {"RFC", T},
          {"CURP", T},
          notInFile("Autorizacion", N),
          {"Adscripcion", N},
          added("Aduana1"),
          added("Aduana2"),
          added("Aduana3"),
          added("NoAduanasAut"),
          Column{"SinHistorico", N, true, false, {}}},
         Travel::FileMain,
         true},
        {"Domicilios_AA", QList<Column>{{"Tipo_Dom", N}} + address(), Travel::FileMain, true},
        // The old version knew two kinds of representative and nothing of
        // requirement files, accreditation or whether he still operates.
        {"Mandatarios",
         {{"CURP", T},
          {"RFC", T},
          {"Nombre", T},
          {"ApPaterno", T},
          {"ApMaterno", T},
          {"Mandato", Kind::Mandato},
          notInFile("Requerimiento", T, QStringLiteral("")),
          Column{"Acreditacion", N, false, true, 0},
          Column{"Operando", N, false, true, 2},
          Column{"SinHistorico", N, true, false, {}}},
         Travel::FileMain,
         true,
         7,
         "CURP"},
        // Its addresses were all particular ones.
        {"Domicilios_MM",
         QList<Column>{{"CURP", T}} + address() +
             QList<Column>{Column{"Tipo_Dom", N, false, true, 1}},
         Travel::FileMain, true, 0, "CURP"},
        {"Aduanas_MM", {{"CURP", T}, {"NoAduana", N}}, Travel::FileMain, true, 0, "CURP"},
        {"Pedimentos_MM",
         {{"CURP", T}, {"NoAduana", N}, {"NoPedimento", T}, {"FechPedimento", D}},
         Travel::FileMain,
         true,
         0,
         "CURP"},
        {"Historico_AA",
         {{"RFC", T}, {"CURP", T}, {"Nombre", T}, {"ApPaterno", T}, {"ApMaterno", T}},
         Travel::FileHistory,
         false,
         4,
         "CURP"},
        {"Periodos_H_AA",
         {{"CURP", T}, {"NoAduana", N}, {"FechaIni", D}, {"FechaFin", D}},
         Travel::FileHistory,
         false,
         0,
         "CURP"},
        {"Periodos_H_MM",
         {{"CURP", T}, {"NoAduana", N}, {"Patente_MM", N}, {"FechaIni", D}, {"FechaFin", D}},
         Travel::FileHistory,
         false,
         5,
         "CURP"},
    };
}

} // namespace

int Table::position(const char* column) const {
    for (int i = 0; i < columns.size(); ++i)
        if (qstrcmp(columns[i].name, column) == 0)
            return i;
    return -1;
}

QString Table::selectAll() const {
    QStringList names;
    for (const Column& c : columns)
        names << QString::fromLatin1(c.name);
    return QStringLiteral("select %1 from %2").arg(names.join(QLatin1Char(',')), tableName());
}

const QList<Table>& all() {
    static const QList<Table> tables = describe();
    return tables;
}

const Table& byName(const char* name) {
    for (const Table& t : all())
        if (qstrcmp(t.name, name) == 0)
            return t;
    Q_UNREACHABLE();
}

QString sqlType(const Column& c) {
    if (c.addedIn35)
        return QStringLiteral("smallint");
    switch (c.kind) {
    case Kind::Text:
        return QStringLiteral("text");
    case Kind::Date:
        return QStringLiteral("date");
    case Kind::Number:
    case Kind::Mandato:
        break;
    }
    return QStringLiteral("integer");
}

} // namespace Tables
