#include "data/Schema.h"

namespace Schema {

QStringList createStatementsV30() {
    return {
        QStringLiteral("create table EntFed (cveEntFed text, Nombre text)"),
        QStringLiteral("create table MpioDeleg (cveEntFed text, cveMpioDeleg integer, "
                       "Nombre text)"),
        QStringLiteral("create table Aduanas (cveAduana integer, Aduana text)"),
        QStringLiteral("create table AA (Patente integer, Nombre text, ApPaterno text, "
                       "ApMaterno text, RFC text, CURP text, Autorizacion integer, "
                       "Adscripcion integer)"),
        QStringLiteral("create table Domicilios_AA (Tipo_Dom integer, EntFed text, "
                       "MDeleg integer, Calle text, NoExt text, NoInt text, Colonia text, "
                       "CP text, Telefono text, Fax text)"),
        QStringLiteral("create table Mandatarios (CURP text, RFC text, Nombre text, "
                       "ApPaterno text, ApMaterno text, Mandato integer, Requerimiento text, "
                       "Acreditacion integer, Operando integer)"),
        QStringLiteral("create table Domicilios_MM (CURP text, EntFed text, MDeleg integer, "
                       "Calle text, NoExt text, NoInt text, Colonia text, CP text, "
                       "Telefono text, Fax text, Tipo_Dom integer)"),
        QStringLiteral("create table Aduanas_MM (CURP text, NoAduana integer)"),
        QStringLiteral("create table Pedimentos_MM (CURP text, NoAduana integer, "
                       "NoPedimento text, FechPedimento date)"),
        QStringLiteral("create table Historico_AA (RFC text, CURP text, Nombre text, "
                       "ApPaterno text, ApMaterno text)"),
        QStringLiteral("create table Periodos_H_AA (CURP text, NoAduana integer, "
                       "FechaIni date, FechaFin date)"),
        QStringLiteral("create table Periodos_H_MM (CURP text, NoAduana integer, "
                       "Patente_MM integer, FechaIni date, FechaFin date)"),
        // Lookups by state and by key; the catalogue keeps keys unique.
        QStringLiteral("create unique index MpioDeleg_clave on MpioDeleg (cveEntFed, "
                       "cveMpioDeleg)"),
        QStringLiteral("create unique index Aduanas_clave on Aduanas (cveAduana)"),
    };
}

MaybeError createV30(Database& db) {
    return inTransaction(db, [&]() -> MaybeError {
        for (const QString& sql : createStatementsV30())
            if (MaybeError e = db.exec(sql))
                return e;
        return std::nullopt;
    });
}

const QList<AddedColumn>& addedColumns() {
    static const QList<AddedColumn> cols = {
        {QStringLiteral("AA"), QStringLiteral("Aduana1"), QStringLiteral("smallint")},
        {QStringLiteral("AA"), QStringLiteral("Aduana2"), QStringLiteral("smallint")},
        {QStringLiteral("AA"), QStringLiteral("Aduana3"), QStringLiteral("smallint")},
        {QStringLiteral("AA"), QStringLiteral("NoAduanasAut"), QStringLiteral("smallint")},
        {QStringLiteral("AA"), QStringLiteral("SinHistorico"), QStringLiteral("smallint")},
        {QStringLiteral("Mandatarios"), QStringLiteral("SinHistorico"), QStringLiteral("smallint")},
    };
    return cols;
}

QString createVersionesStatement() {
    return QStringLiteral("create table Versiones( CveVer smallint, Nombre char(30), "
                          "VPrin smallint,VSec smallint,VRev smallint)");
}

} // namespace Schema
