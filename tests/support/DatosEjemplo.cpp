#include "support/DatosEjemplo.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

namespace Ejemplo {

void ejecuta(Database& db, const QString& sql, const QVariantList& valores) {
    if (MaybeError e = db.exec(sql, valores))
        throw std::runtime_error((sql + QStringLiteral(" -> ") + e->message()).toStdString());
}

void agregaMandatario(Database& db, const QString& curp, int mandato,
                      const QString& requerimiento) {
    ejecuta(db, QStringLiteral("insert into Mandatarios values (?,?,?,?,?,?,?,?,?,NULL)"),
            {curp, curp.left(10) + QStringLiteral("XY2"), QStringLiteral("ROSA"),
             QStringLiteral("GARCIA"), QStringLiteral("MARTINEZ"), mandato, requerimiento, 0, 1});
}

void carga(Database& db, const QString& requerimiento) {
    const QVariant nulo(QMetaType(QMetaType::LongLong));
    ejecuta(db, QStringLiteral("insert into AA values (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {3001, QStringLiteral("JUAN"), QStringLiteral("PEREZ"), QStringLiteral("LOPEZ"),
             QString::fromLatin1(RfcAgente), QString::fromLatin1(CurpAgente), 1234, 470, nulo, nulo,
             nulo, 0, nulo});
    for (int tipo = 1; tipo <= 3; ++tipo)
        ejecuta(db, QStringLiteral("insert into Domicilios_AA values (?,?,?,?,?,?,?,?,?,?)"),
                {tipo, QStringLiteral("09"), 15, QStringLiteral("REFORMA"),
                 tipo == 3 ? QStringLiteral("12") : QStringLiteral("10"), QString(),
                 QStringLiteral("CENTRO"), QStringLiteral("06000"), QStringLiteral("555 12 34"),
                 QStringLiteral("555 12 35")});
    agregaMandatario(db, QString::fromLatin1(CurpMandatario), 1, requerimiento);
    for (int tipo = 1; tipo <= 2; ++tipo)
        ejecuta(db, QStringLiteral("insert into Domicilios_MM values (?,?,?,?,?,?,?,?,?,?,?)"),
                {QString::fromLatin1(CurpMandatario), QStringLiteral("09"), 15,
                 QStringLiteral("JUAREZ"), QStringLiteral("5"), QStringLiteral("A"),
                 QStringLiteral("CENTRO"), QStringLiteral("06000"), QStringLiteral("555 12 36"),
                 QStringLiteral("555 12 37"), tipo});
    ejecuta(db, QStringLiteral("insert into Aduanas_MM values (?,?)"),
            {QString::fromLatin1(CurpMandatario), 470});
    ejecuta(db, QStringLiteral("insert into Pedimentos_MM values (?,?,?,?)"),
            {QString::fromLatin1(CurpMandatario), 470, QStringLiteral("123"),
             QStringLiteral("2003-05-20")});
}

std::function<int(QDialog&)> aceptaLlave(seam::Script& script, const QString& llave,
                                         const QString& clave) {
    return [&script, llave, clave](QDialog& d) {
        script.chooseFile(llave);
        d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
        d.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(clave);
        d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        return d.result();
    };
}

} // namespace Ejemplo
