// The checks made before the wizard leaves a page.
#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/Grid.h"
#include "entry/Seam.h"
#include "rules/Rutinas.h"
#include "ui_frmMain.h"
#include "wizard/frmMain.h"

namespace {

// Shows the message, moves the focus to the field and reports failure.
bool refuse(QWidget* parent, const char* text, QWidget* focus) {
    seam::inform(parent, QString::fromUtf8(text));
    focus->setFocus();
    return false;
}

} // namespace

bool frmMain::Valida_AA() {
    if (!patentStorable(ui->txtPatente->text()))
        return refuse(this, "No de Patente invalido", ui->txtPatente);
    if (Vacio(ui->txtAANombre->text()))
        return refuse(this, "El Nombre no puede estar vacio", ui->txtAANombre);
    if (Vacio(ui->txtAAApPat->text()))
        return refuse(this, "El Ap.Paterno no puede estar vacio", ui->txtAAApPat);
    if (Vacio(ui->txtAAApMat->text()))
        return refuse(this, "El Ap.Materno no puede estar vacio", ui->txtAAApMat);
    if (!Valida_CURP(ui->txtAACURP->text()))
        return refuse(this, "Formato de CURP incorrecto", ui->txtAACURP);
    if (!Valida_RFC(ui->txtAARFC->text()))
        return refuse(this, "Formato de RFC incorrecto", ui->txtAARFC);
    if (Vacio(ui->cmbAAAduanaA->currentText()))
        return refuse(this, "Indique la Aduana de Adscripción", ui->cmbAAAduanaA);
    const QString n = ui->txtNoAduanasAut->text();
    if (Vacio(n))
        return refuse(this, "Numero de aduanas adicionales no puede estar vacio",
                      ui->txtNoAduanasAut);
    if (!Es_Numerico(n))
        return refuse(this, "Formato de Numero de aduanas adicionales es invalido",
                      ui->txtNoAduanasAut);
    const double value = Valor_Numerico(n);
    if (value < 0 || value > 3)
        return refuse(this, "Número de aduanas adicionales es invalido", ui->txtNoAduanasAut);
    return Valida_Domicilio(this, *ui->blkFiscal) && Valida_Domicilio(this, *ui->blkOirR) &&
           Valida_Domicilio(this, *ui->blkV0);
}

bool frmMain::Verifica_Datos_AADirV() {
    if (Vacio(ui->cmbAduana1->currentText()))
        return refuse(this, "Indique la Aduana No.1 autorizada", ui->cmbAduana1);
    if (!Valida_Domicilio(this, *ui->blkV1))
        return false;
    const int n = additionalOffices();
    if (n == 2 || n == 3) {
        if (Vacio(ui->cmbAduana2->currentText()))
            return refuse(this, "Indique la Aduana No.2 autorizada", ui->cmbAduana2);
        if (!Valida_Domicilio(this, *ui->frDirAduana2))
            return false;
    }
    if (n == 3) {
        if (Vacio(ui->cmbAduana3->currentText()))
            return refuse(this, "Indique la Aduana No.3 autorizada", ui->cmbAduana3);
        if (!Valida_Domicilio(this, *ui->frDirAduana3))
            return false;
    }
    return true;
}

namespace {

// The first gap in one representative's stored data, "" when complete. A
// failed read is no answer: it lands in *error and the check stops.
QString representativeGap(Database& db, const QString& curp, MaybeError* error) {
    const auto read = [&](const QString& sql, const QVariantList& args) {
        Rows r = db.select(sql, args);
        if (!r.ok() && !*error)
            *error = r.error;
        return r;
    };
    const Rows m = read(QStringLiteral("select Mandato,Requerimiento,Acreditacion,OPerando "
                                       "from Mandatarios where CURP=?"),
                        {curp});
    if (*error || m.empty())
        return QString();
    const QVariantList& r = m.first();
    auto lacks = [&](const QString& sql, const QVariantList& args) {
        return read(sql, args).empty() && !*error;
    };
    auto lacksAddress = [&](int tipo) {
        return lacks(QStringLiteral("select 1 from Domicilios_MM where CURP=? and Tipo_Dom=?"),
                     {curp, tipo});
    };
    if (lacksAddress(1))
        return QStringLiteral("Proporcione el Domicilo Particular del Representante ");
    if (!*error && lacksAddress(2))
        return QStringLiteral("Proporcione el Domicilo Fiscal del Representante ");
    if (*error)
        return QString();
    if (!r.at(3).isNull() && r.at(3).toInt() == 2)
        return QStringLiteral("Defina si se encuentra operando actualemente del Representante ");
    const QVariant mandato = r.at(0);
    const bool noRequirement = r.at(1).isNull() || Vacio(r.at(1).toString());
    if (!mandato.isNull() && mandato.toInt() == 1) {
        if (noRequirement)
            return QStringLiteral("Proporcione el archivo de Requerimiento del mandatario ");
        if (lacks(QStringLiteral("select 1 from Aduanas_MM where CURP=?"), {curp}))
            return QStringLiteral(
                "Proporcione las Aduanas ante las que aha actuado el Representante ");
    } else if (!mandato.isNull() && mandato.toInt() == 2) {
        if (noRequirement)
            return QStringLiteral("Proporcione el archivo de Requerimiento del mandatario ");
        if (r.at(2).isNull() || Vacio(r.at(2).toString()))
            return QStringLiteral("Proporcione el Tipo de acreditamiento del mandatario ");
    }
    return QString();
}

} // namespace

bool frmMain::Verifica_Datos_p2() {
    const QTableWidget* grid = ui->fgAA;
    if (grid->rowCount() == 0) {
        seam::inform(this,
                     QStringLiteral("Debe existir por lo menos un o Representante o Mandatario"));
        return false;
    }
    for (int i = 0; i < grid->rowCount(); ++i) {
        const QString curp = gridCell(grid, i, 4);
        MaybeError error;
        const QString gap = representativeGap(*db_, curp, &error);
        if (seam::readFailed(this, error))
            return false;
        if (gap.isEmpty())
            continue;
        seam::inform(this, gap + gridCell(grid, i, 0) + u' ' + gridCell(grid, i, 1) + u' ' +
                               gridCell(grid, i, 2) + QStringLiteral(" CURP=") + curp);
        return false;
    }
    return true;
}

bool frmMain::Verifica_Datos_p3() {
    if (!agentSinHistorico_.isNull())
        return true;
    seam::inform(this, QStringLiteral("Debe definir si el Agente Aduanal tiene o no historico, en "
                                      "caso de tener historico debe proporcionar los "
                                      "Representantes que ha tenido"));
    return false;
}

bool frmMain::Verifica_Datos_p4() {
    const QTableWidget* grid = ui->fgMandatarios;
    if (grid->rowCount() == 0)
        return false;
    for (int i = 0; i < grid->rowCount(); ++i) {
        if (!grid->item(i, 4)->data(HistoryUndefinedRole).toBool())
            continue;
        seam::inform(this,
                     QStringLiteral("Debe definir si el mandatario tiene o no historico, en caso "
                                    "de tener debe proporcionar el Agente Aduanal y los periodos "
                                    "en los cuales actuó el Mandatario ") +
                         gridCell(grid, i, 0) + u' ' + gridCell(grid, i, 1) + u' ' +
                         gridCell(grid, i, 2));
        return false;
    }
    return true;
}
