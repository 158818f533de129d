#include "wizard/OfficesPage.h"

#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/KeystrokeFilter.h"
#include "entry/Seam.h"
#include "rules/Rutinas.h"
#include "ui_OfficesPage.h"
#include "wizard/PageSupport.h"

OfficesPage::OfficesPage(QWidget* parent) : QWidget(parent), ui(new Ui::OfficesPage) {
    ui->setupUi(this);
    ui->blkV1->build(QStringLiteral("V1"), QStringLiteral("Domicilio Validar Aduana 1"));
    ui->frDirAduana2->build(QStringLiteral("V2"), QStringLiteral("Domicilio Validar Aduana 2"));
    ui->frDirAduana3->build(QStringLiteral("V3"), QStringLiteral("Domicilio Validar Aduana 3"));
    QList<QWidget*> chain;
    for (const Office& o : all()) {
        pairOffices(o.names, o.keys);
        // An office list is as wide as its longest name, so the chosen one
        // shows whole.
        o.names->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        for (QLineEdit* e : o.block->textFields())
            attachEntryRules(e, e != ui->blkV1->cp); // its postal code was always typed as is
        chain << o.names << o.block->tabChain();
    }
    setTabChain(chain);
    setFocusProxy(ui->cmbAduana1);
}

OfficesPage::~OfficesPage() = default;

QList<OfficesPage::Office> OfficesPage::all() const {
    return {{ui->cmbAduana1, ui->cmbNoAduana1, ui->blkV1},
            {ui->cmbAduana2, ui->cmbNoAduana2, ui->frDirAduana2},
            {ui->cmbAduana3, ui->cmbNoAduana3, ui->frDirAduana3}};
}

void OfficesPage::setDatabase(Database& db) {
    db_ = &db;
    for (const Office& o : all())
        o.block->setDatabase(&db);
}

bool OfficesPage::fillLists() {
    for (const Office& o : all())
        if (!Llena_Aduanas(*db_, o.keys, o.names))
            return false;
    for (const Office& o : all())
        if (!fillStateLists(*db_, *o.block))
            return false;
    return true;
}

void OfficesPage::showOffices(const StoredAgent& agent) {
    const QList<Office> offices = all();
    for (int i = 0; i < 3; ++i)
        if (!agent.aduanas[i].isNull())
            Selecciona_Clave(offices[i].keys, offices[i].names,
                             Texto_Clave(agent.aduanas[i].toLongLong()));
}

bool OfficesPage::loadValidationAddresses() {
    int tipo = 4;
    for (const Office& o : all()) {
        if (!o.keys->currentText().trimmed().isEmpty() &&
            !Llena_Domicilio(*db_, *o.block, QString::number(tipo)))
            return false;
        ++tipo;
    }
    return true;
}

void OfficesPage::clear(const Office& office) {
    office.names->setCurrentIndex(-1);
    Limpia_Domicilio_M(*db_, *office.block);
}

void OfficesPage::offer(int count) {
    const QList<Office> offices = all();
    for (int i = 0; i < offices.size(); ++i) {
        const bool offered = i < count;
        // The first office is never disabled: with none offered the page is
        // not shown at all.
        if (i > 0) {
            offices[i].names->setEnabled(offered);
            offices[i].block->setEnabled(offered);
        }
        if (!offered)
            clear(offices[i]);
    }
}

bool OfficesPage::Verifica_Datos_AADirV(int count) {
    static const char* const unchosen[] = {"Indique la Aduana No.1 autorizada",
                                           "Indique la Aduana No.2 autorizada",
                                           "Indique la Aduana No.3 autorizada"};
    const QList<Office> offices = all();
    for (int i = 0; i < count; ++i) {
        if (Vacio(offices[i].names->currentText()))
            return seam::refuse(this, unchosen[i], offices[i].names);
        if (const int earlier = firstWithSameOffice(offices, i); earlier >= 0)
            return seam::refuse(this,
                                QStringLiteral("La Aduana No.%1 autorizada es la misma que la "
                                               "Aduana No.%2; indique otra")
                                    .arg(i + 1)
                                    .arg(earlier + 1),
                                offices[i].names);
        if (!Valida_Domicilio(this, *offices[i].block))
            return false;
    }
    return true;
}

int OfficesPage::firstWithSameOffice(const QList<Office>& offices, int i) {
    for (int j = 0; j < i; ++j)
        if (offices[j].keys->currentText() == offices[i].keys->currentText())
            return j;
    return -1;
}

QList<AdditionalOffice> OfficesPage::offices(int count) const {
    QList<AdditionalOffice> chosen;
    const QList<Office> offices = all();
    for (int i = 0; i < count; ++i)
        chosen.append({offices[i].keys->currentText(), offices[i].block->stored()});
    return chosen;
}
