// The lists of pages 3 to 5, rebuilt from the database.
#include "data/Dates.h"
#include "entry/Grid.h"
#include "entry/MandatoLabel.h"
#include "ui_frmMain.h"
#include "wizard/frmMain.h"

namespace {

QString operandoText(const RawRow& m, int column) {
    if (m.isNull(column))
        return QString();
    switch (m.integer(column)) {
    case 0:
        return QStringLiteral("No");
    case 1:
        return QStringLiteral("Si");
    case 2:
        return QStringLiteral("No Definido");
    }
    return QString();
}

// Fills the list and keeps, beside each row's cell in `column`, what the
// window must know of that row without reading it back from the text.
template <typename T>
void fillKeeping(QTableWidget* grid, const QList<QStringList>& rows, int column, int role,
                 const QList<T>& kept) {
    gridFill(grid, rows);
    for (int i = 0; i < rows.size(); ++i)
        grid->item(i, column)->setData(role, kept[i]);
}

} // namespace

MaybeError frmMain::Llena_Mandatarios() {
    QList<QStringList> rows;
    QList<int> types; // Mandato of each row, 0 for none
    const MaybeError e =
        db_->eachRow(QStringLiteral("select Nombre, ApPaterno, ApMaterno, RFC, CURP, Mandato, "
                                    "Operando from Mandatarios"),
                     [&](const RawRow& m) {
                         const int mandato = m.isNull(5) ? 0 : int(m.integer(5));
                         rows.append({m.text(0), m.text(1), m.text(2), m.text(3), m.text(4),
                                      MandatoLabel::of(mandato), operandoText(m, 6)});
                         types.append(mandato);
                         return true;
                     });
    if (e)
        rows.clear(); // a list that cannot be read shows empty
    fillKeeping(ui->fgAA, rows, 5, MandatoRole, types);
    return e;
}

// The agent's history flag as page 4 shows it (and page 1 writes it back).
void frmMain::showAgentHistory(const QVariant& sinHistorico) {
    // What the label says is what page 1 saves back: any flag but 1 is 0.
    agentSinHistorico_ = sinHistorico.isNull()       ? QVariant()
                         : sinHistorico.toInt() == 1 ? QVariant(1)
                                                     : QVariant(0);
    ui->lblHistAA->setText(sinHistorico.isNull()       ? QStringLiteral("No Definido")
                           : sinHistorico.toInt() == 1 ? QStringLiteral("Sin Historico")
                                                       : QStringLiteral("Con Historico"));
}

MaybeError frmMain::Llena_Hist_AA() {
    const Rows flag = db_->select(QStringLiteral("select SinHistorico from AA "));
    if (!flag.ok()) {
        gridClear(ui->fgDatosAA);
        return flag.error;
    }
    if (!flag.empty()) {
        const QVariant v = flag.first().at(0);
        showAgentHistory(v);
    }
    const Rows r = db_->select(
        QStringLiteral("select RFC, CURP, Nombre, ApPaterno, ApMaterno from Historico_AA"));
    QList<QStringList> rows;
    for (const QVariantList& h : r.rows) {
        const QString rfc = textOf(h.at(0));
        const QString curp = textOf(h.at(1));
        rows.append({textOf(h.at(2)), textOf(h.at(3)), textOf(h.at(4)),
                     curp == rfc ? QString() : curp, rfc});
    }
    gridFill(ui->fgDatosAA, rows);
    return r.error;
}

MaybeError frmMain::Llena_Hist_Mandatarios() {
    QList<QStringList> rows;
    QList<bool> undefined; // the history flag of each row is still Null
    const MaybeError e = db_->eachRow(
        QStringLiteral("select Nombre, ApPaterno, ApMaterno, CURP, SinHistorico from Mandatarios"),
        [&](const RawRow& m) {
            const QString hist = m.isNull(4)         ? QStringLiteral("Sin Definir")
                                 : m.integer(4) == 1 ? QStringLiteral("NO")
                                                     : QStringLiteral("SI");
            rows.append({m.text(0), m.text(1), m.text(2), m.text(3), hist});
            undefined.append(m.isNull(4));
            return true;
        });
    if (e)
        rows.clear(); // a list that cannot be read shows empty
    fillKeeping(ui->fgMandatarios, rows, 4, HistoryUndefinedRole, undefined);
    return e;
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
