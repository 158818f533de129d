// The lists of pages 3 to 5, rebuilt from the database.
#include "data/Dates.h"
#include "entry/Grid.h"
#include "ui_frmMain.h"
#include "wizard/frmMain.h"

namespace {

QString operandoText(const QVariant& v) {
    if (v.isNull())
        return QString();
    switch (v.toInt()) {
    case 0:
        return QStringLiteral("No");
    case 1:
        return QStringLiteral("Si");
    case 2:
        return QStringLiteral("No Definido");
    }
    return QString();
}

// Rows read by position must be as wide as the code expects; a narrower one
// comes from a file whose upgrade did not finish.
MaybeError missingColumn(const QString& table, const QString& column) {
    return DbError{1, QStringLiteral("no such column: %1.%2").arg(table, column)};
}

} // namespace

MaybeError frmMain::Llena_Mandatarios(const QString& /*noPat*/) {
    gridClear(ui->fgAA);
    const Rows r = db_->select(QStringLiteral("select * from Mandatarios "));
    if (!r.ok())
        return r.error;
    for (const QVariantList& m : r.rows) {
        const QString tipo = m.at(5).isNull() ? QString() : state_.mandatoLabel(m.at(5).toInt());
        gridAppend(ui->fgAA, {textOf(m.at(2)), textOf(m.at(3)), textOf(m.at(4)), textOf(m.at(1)),
                              textOf(m.at(0)), tipo, operandoText(m.at(8))});
    }
    return std::nullopt;
}

// The agent's history flag as page 4 shows it (and page 1 writes it back).
void frmMain::showAgentHistory(const QVariant& sinHistorico) {
    ui->lblHistAA->setText(sinHistorico.isNull()       ? QStringLiteral("No Definido")
                           : sinHistorico.toInt() == 1 ? QStringLiteral("Sin Historico")
                                                       : QStringLiteral("Con Historico"));
}

MaybeError frmMain::Llena_Hist_AA() {
    gridClear(ui->fgDatosAA);
    const Rows flag = db_->select(QStringLiteral("select SinHistorico from AA "));
    if (!flag.ok())
        return flag.error;
    if (!flag.empty()) {
        const QVariant v = flag.first().at(0);
        showAgentHistory(v);
    }
    const Rows r = db_->select(QStringLiteral("select * from Historico_AA "));
    if (!r.ok())
        return r.error;
    for (const QVariantList& h : r.rows) {
        const QString rfc = textOf(h.at(0));
        const QString curp = textOf(h.at(1));
        gridAppend(ui->fgDatosAA, {textOf(h.at(2)), textOf(h.at(3)), textOf(h.at(4)),
                                   curp == rfc ? QString() : curp, rfc});
    }
    return std::nullopt;
}

MaybeError frmMain::Llena_Hist_Mandatarios() {
    gridClear(ui->fgMandatarios);
    const Rows r = db_->select(QStringLiteral("select * from Mandatarios"));
    if (!r.ok())
        return r.error;
    for (const QVariantList& m : r.rows) {
        if (m.size() < 10)
            return missingColumn(QStringLiteral("Mandatarios"), QStringLiteral("SinHistorico"));
        const QVariant h = m.at(9);
        const QString hist = h.isNull()       ? QStringLiteral("Sin Definir")
                             : h.toInt() == 1 ? QStringLiteral("NO")
                                              : QStringLiteral("SI");
        gridAppend(ui->fgMandatarios,
                   {textOf(m.at(2)), textOf(m.at(3)), textOf(m.at(4)), textOf(m.at(0)), hist});
    }
    return std::nullopt;
}

MaybeError frmMain::Llena_Periodos_Hist_AA(const QString& key) {
    gridClear(ui->fgPeriodosAA);
    const Rows r = db_->select(
        QStringLiteral("select NoAduana,Aduana,FechaIni,FechaFin from Periodos_H_AA P, Aduanas A "
                       "where P.NoAduana=A.cveAduana and P.CURP=? order by P.rowid"),
        {key});
    if (!r.ok())
        return r.error;
    for (const QVariantList& p : r.rows)
        gridAppend(ui->fgPeriodosAA, {textOf(p.at(0)), textOf(p.at(1)), displayFromIsoDate(p.at(2)),
                                      displayFromIsoDate(p.at(3))});
    return std::nullopt;
}

// Each row keeps the stored period's row id, so a deletion removes exactly
// that period.
MaybeError frmMain::Llena_Periodos_H_MM(const QString& curp) {
    QTableWidget* list = ui->fgPeriodosMandatario;
    gridClear(list);
    if (curp.isEmpty())
        return std::nullopt;
    const Rows r = db_->select(
        QStringLiteral("select P.rowid,Patente_MM,NoAduana,Aduana,FechaIni,FechaFin "
                       "from Periodos_H_MM P, Aduanas A where P.NoAduana=A.cveAduana and "
                       "P.CURP=? order by P.rowid"),
        {curp});
    if (!r.ok())
        return r.error;
    for (const QVariantList& p : r.rows) {
        gridAppend(list, {textOf(p.at(1)), textOf(p.at(2)), textOf(p.at(3)),
                          displayFromIsoDate(p.at(4)), displayFromIsoDate(p.at(5))});
        list->item(list->rowCount() - 1, 0)->setData(Qt::UserRole, p.at(0));
    }
    return std::nullopt;
}

bool frmMain::Regla_2_13_11(MaybeError* error) {
    const Rows r = db_->select(QStringLiteral("select 1 from Mandatarios where Mandato=2"));
    if (error)
        *error = r.error;
    return r.ok() && !r.empty();
}
