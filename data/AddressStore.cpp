#include "data/AddressStore.h"

#include "rules/Rutinas.h"

namespace {

const QString Columns =
    QStringLiteral("EntFed, MDeleg, Calle, NoExt, NoInt, Colonia, CP, Telefono, Fax");

Fallible<std::optional<StoredAddress>> lastAddress(const Rows& r) {
    if (r.error)
        return *r.error;
    if (r.empty())
        return std::optional<StoredAddress>();
    const QVariantList& a = r.last();
    const QVariant municipality = a.at(1);
    return std::optional<StoredAddress>(StoredAddress{
        textOf(a.at(0)), municipality.isNull() ? QString() : Texto_Clave(municipality.toLongLong()),
        textOf(a.at(2)), textOf(a.at(3)), textOf(a.at(4)), textOf(a.at(5)), textOf(a.at(6)),
        textOf(a.at(7)), textOf(a.at(8))});
}

} // namespace

Fallible<std::optional<StoredAddress>> loadAgentAddress(Database& db, int tipo) {
    return lastAddress(db.select(
        QStringLiteral("select %1 from Domicilios_AA where Tipo_Dom=?").arg(Columns), {tipo}));
}

Fallible<std::optional<StoredAddress>> loadRepresentativeAddress(Database& db, const QString& curp,
                                                                 int tipo) {
    return lastAddress(db.select(
        QStringLiteral("select %1 from Domicilios_MM where CURP=? and Tipo_Dom=?").arg(Columns),
        {curp, tipo}));
}
