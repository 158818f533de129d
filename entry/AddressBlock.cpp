#include "entry/AddressBlock.h"

#include "data/AddressStore.h"
#include "data/AgentStore.h"
#include "data/Database.h"
#include "entry/CatalogueLists.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "rules/Rutinas.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

AddressBlock::AddressBlock(QWidget* parent) : QGroupBox(parent) {}

QString AddressBlock::memberName(const QString& prefix, const QString& member) {
    // Historic spellings that other windows and files already use.
    if (member == QLatin1String("CveEntFed") && (prefix == QLatin1String("V0") || prefix.isEmpty()))
        return QStringLiteral("cmb") + prefix + QStringLiteral("cveEntFed");
    const bool isList = member == QLatin1String("EntFed") || member == QLatin1String("CveEntFed") ||
                        member == QLatin1String("MDeleg") || member == QLatin1String("NoMDeleg");
    if (isList)
        return QStringLiteral("cmb") + prefix + member;
    if (prefix == QLatin1String("FiscalApR") &&
        (member == QLatin1String("NoInt") || member == QLatin1String("CP") ||
         member == QLatin1String("Fax")))
        return QStringLiteral("txtFiscalApr") + member;
    return QStringLiteral("txt") + prefix + member;
}

QLineEdit* AddressBlock::field(const QString& prefix, const QString& member, int maxLength) {
    auto* e = new QLineEdit(this);
    e->setObjectName(memberName(prefix, member));
    e->setMaxLength(maxLength);
    return e;
}

QComboBox* AddressBlock::list(const QString& prefix, const QString& member, bool hidden) {
    auto* c = new QComboBox(this);
    c->setObjectName(memberName(prefix, member));
    c->setEditable(false);
    if (hidden) {
        c->hide(); // a key list is never seen, so its size is never worked out
        return c;
    }
    c->setMinimumContentsLength(12);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return c;
}

void AddressBlock::build(const QString& prefix, const QString& caption, Pairing pairing,
                         Shape shape) {
    setTitle(caption);
    calle = field(prefix, QStringLiteral("Calle"), 100);
    noExt = field(prefix, QStringLiteral("NoExt"), 10);
    noInt = field(prefix, QStringLiteral("NoInt"), 10);
    colonia = field(prefix, QStringLiteral("Colonia"), 100);
    entFed = list(prefix, QStringLiteral("EntFed"), false);
    cveEntFed = list(prefix, QStringLiteral("CveEntFed"), true);
    mDeleg = list(prefix, QStringLiteral("MDeleg"), false);
    noMDeleg = list(prefix, QStringLiteral("NoMDeleg"), true);
    cp = field(prefix, QStringLiteral("CP"), 5);
    telefono = field(prefix, QStringLiteral("Telefono"), 25);
    fax = field(prefix, QStringLiteral("Fax"), 25);

    layOut(shape);
    // Its five digits always show, however much room the telephones take.
    cp->setMinimumWidth(cp->fontMetrics().horizontalAdvance(QString(5, u'0')) + 12);
    cp->setMaximumWidth(70);

    const QList<QWidget*> chain = tabChain();
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    cveEntFed->setFocusPolicy(Qt::NoFocus);
    noMDeleg->setFocusPolicy(Qt::NoFocus);

    if (pairing != Pairing::None) {
        pair(entFed, cveEntFed, true);
        pair(mDeleg, noMDeleg, false);
        if (pairing == Pairing::Both) {
            pair(cveEntFed, entFed, true);
            pair(noMDeleg, mDeleg, false);
        }
    }
}

void AddressBlock::layOut(Shape shape) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(3);
    // Where each member stands: {row, column, span} in the wide and the
    // narrow shape; its label takes the column before it. The telephone and
    // the fax show all 25 characters: narrow, they take whole rows, where the
    // block is only displayed and cannot be scrolled.
    struct Place {
        const char* label;
        QWidget* member;
        int wide[3];
        int narrow[3];
    };
    const Place places[] = {
        {"Calle:", calle, {0, 0, 3}, {0, 0, 3}},
        {"Num. Ext:", noExt, {0, 4, 1}, {1, 0, 1}},
        {"Num. Int:", noInt, {0, 6, 1}, {1, 2, 1}},
        {"Colonia:", colonia, {1, 0, 3}, {2, 0, 3}},
        {"Entidad Fed:", entFed, {1, 4, 3}, {3, 0, 3}},
        {"Mpio. o Deleg:", mDeleg, {2, 0, 1}, {4, 0, 1}},
        {"C.P.:", cp, {2, 2, 1}, {4, 2, 1}},
        {"Teléfono:", telefono, {2, 4, 1}, {5, 0, 3}},
        {"Fax:", fax, {2, 6, 1}, {6, 0, 3}},
    };
    for (const Place& p : places) {
        const int* at = shape == Shape::Wide ? p.wide : p.narrow;
        auto* l = new QLabel(QString::fromUtf8(p.label), this);
        l->setBuddy(p.member);
        grid->addWidget(l, at[0], at[1], Qt::AlignRight);
        grid->addWidget(p.member, at[0], at[1] + 1, 1, at[2]);
    }
    if (shape == Shape::Wide) {
        // Wide, they are as wide as 25 digits.
        for (QLineEdit* e : {telefono, fax})
            e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QString(25, u'0')) + 12);
        // Most municipality names show whole ("San Pedro Garza García"); the
        // open list shows every one.
        mDeleg->setMinimumContentsLength(22);
        grid->setColumnStretch(1, 4);
        grid->setColumnStretch(3, 1);
        grid->setColumnStretch(5, 2);
        grid->setColumnStretch(7, 2);
        return;
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    entFed->setMinimumContentsLength(8);
    mDeleg->setMinimumContentsLength(8);
}

void AddressBlock::pair(QComboBox* leader, QComboBox* follower, bool reloadsMunicipalities) {
    followList(leader, follower);
    if (reloadsMunicipalities)
        connect(leader, &QComboBox::currentIndexChanged, this, [this] {
            if (db_)
                Llena_MpioDeleg(*db_, noMDeleg, mDeleg, cveEntFed->currentText());
        });
}

void AddressBlock::setDisplayOnly() {
    for (QLineEdit* e : textFields())
        e->setEnabled(false);
    entFed->setEnabled(false);
    mDeleg->setEnabled(false);
}

StoredAddress AddressBlock::stored() const {
    return StoredAddress{cveEntFed->currentText(),
                         noMDeleg->currentText(),
                         calle->text(),
                         noExt->text(),
                         noInt->text(),
                         colonia->text(),
                         cp->text(),
                         telefono->text(),
                         fax->text()};
}

QList<QLineEdit*> AddressBlock::textFields() const {
    return {calle, noExt, noInt, colonia, cp, telefono, fax};
}

QList<QWidget*> AddressBlock::tabChain() const {
    return {calle, noExt, noInt, colonia, entFed, mDeleg, cp, telefono, fax};
}

bool Valida_Domicilio(QWidget* parent, const AddressBlock& b) {
    if (Vacio(b.calle->text()))
        return seam::refuse(parent, "Calle no puede estar vacio", b.calle);
    if (Vacio(b.noExt->text()))
        return seam::refuse(
            parent, "El No. Externo no puede estar vacio, si no tiene número escriba S/N", b.noExt);
    if (Vacio(b.colonia->text()))
        return seam::refuse(parent, "Colonia no puede estar vacio", b.colonia);
    if (Vacio(b.cp->text()))
        return seam::refuse(parent, "C.P. no puede estar vacio", b.cp);
    if (b.cp->text().size() < 5 || !Es_Numerico(b.cp->text()))
        return seam::refuse(parent, "Formato de C.P. invalido", b.cp);
    if (b.entFed->currentText().isEmpty())
        return seam::refuse(parent, "Entidad Fed. no puede estar vacio", b.entFed);
    if (b.mDeleg->currentText().isEmpty())
        return seam::refuse(parent, "Mpio. o Delegación no puede estar vacio", b.mDeleg);
    if (Vacio(b.telefono->text()))
        return seam::refuse(parent, "El Telefóno no puede estar vacio", b.telefono);
    if (Vacio(b.fax->text()))
        return seam::refuse(parent, "El Fax no puede estar vacio", b.fax);
    return true;
}

namespace {

// Shows one stored address in a block.
void showAddress(Database& db, AddressBlock& b, const StoredAddress& a) {
    showStoredText(b.calle, a.calle);
    showStoredText(b.noExt, a.noExt);
    showStoredText(b.noInt, a.noInt);
    showStoredText(b.colonia, a.colonia);
    showStoredText(b.cp, a.cp);
    showStoredText(b.telefono, a.telefono);
    showStoredText(b.fax, a.fax);

    Selecciona_Clave(b.cveEntFed, b.entFed, a.entFed);
    Llena_MpioDeleg(db, b.noMDeleg, b.mDeleg, b.cveEntFed->currentText());
    Selecciona_Clave(b.noMDeleg, b.mDeleg, a.mDelegKey, false);
}

} // namespace

bool Llena_Domicilio(Database& db, AddressBlock& block, const QString& tipo) {
    const auto stored = loadAgentAddress(db, tipo.toInt());
    if (seam::readFailed(block.window(), stored.error))
        return false;
    if (stored.value)
        showAddress(db, block, *stored.value);
    return true;
}

bool Llena_Domicilio_M(Database& db, AddressBlock& block, const QString& curp,
                       const QString& tipo) {
    const auto stored = loadRepresentativeAddress(db, curp, tipo.toInt());
    if (!stored.value)
        Limpia_Domicilio_M(db, block);
    if (seam::readFailed(block.window(), stored.error))
        return false;
    if (stored.value)
        showAddress(db, block, *stored.value);
    return true;
}

void Limpia_Domicilio_M(Database& db, AddressBlock& b) {
    for (QLineEdit* e : b.textFields())
        e->clear();
    b.entFed->setCurrentIndex(-1);
    b.cveEntFed->setCurrentIndex(-1);
    Llena_MpioDeleg(db, b.noMDeleg, b.mDeleg, b.cveEntFed->currentText());
    b.noMDeleg->setCurrentIndex(-1);
    b.mDeleg->setCurrentIndex(-1);
}
