#include "entry/CatalogueLists.h"

#include "data/Database.h"
#include "entry/AddressBlock.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "rules/Rutinas.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>

namespace {

// Fills a list pair from rows (key column, name column) and leaves both
// without a choice: a filled list must not pick its first entry by itself.
// A failed read is shown, never taken for an empty catalogue.
bool fillPair(QComboBox* keys, QComboBox* names, const Rows& rows, bool numericKeys) {
    if (seam::readFailed(keys->window(), rows.error))
        return false;
    const QSignalBlocker qk(keys);
    const QSignalBlocker qn(names);
    const QFontMetrics fm = names->view()->fontMetrics();
    int widest = 0;
    QStringList keyTexts, nameTexts;
    for (const QVariantList& r : rows.rows) {
        keyTexts << (numericKeys ? Texto_Clave(r.at(0).toLongLong()) : textOf(r.at(0)));
        nameTexts << textOf(r.at(1));
        widest = std::max(widest, fm.horizontalAdvance(nameTexts.last()));
    }
    // All at once: item by item, each list would rework itself every time.
    keys->addItems(keyTexts);
    names->addItems(nameTexts);
    keys->setCurrentIndex(-1);
    names->setCurrentIndex(-1);
    // The open list shows its longest entry whole, however narrow the field.
    QAbstractItemView* view = names->view();
    const int frame = 2 * view->frameWidth();
    const int margins = 4 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    view->setMinimumWidth(widest + margins + frame + scrollBar);
    return true;
}

void clearChoice(QComboBox* list) {
    list->setCurrentIndex(-1);
}

} // namespace

QString Texto_Clave(qlonglong number) {
    return number < 0 ? QString::number(number) : u' ' + QString::number(number);
}

bool Llena_EntFed(Database& db, QComboBox* keys, QComboBox* names) {
    return fillPair(keys, names, db.select(QStringLiteral("select cveEntFed, Nombre from EntFed")),
                    false);
}

bool Llena_MpioDeleg(Database& db, QComboBox* keys, QComboBox* names, const QString& stateKey) {
    {
        const QSignalBlocker qk(keys);
        const QSignalBlocker qn(names);
        keys->clear();
        names->clear();
    }
    const QString key = RTrim(stateKey);
    if (key.isEmpty())
        return true;
    return fillPair(keys, names,
                    db.select(QStringLiteral("select cveMpioDeleg, Nombre from MpioDeleg "
                                             "where cveEntFed=? order by cveMpioDeleg"),
                              {key}),
                    true);
}

bool Llena_Aduanas(Database& db, QComboBox* keys, QComboBox* names) {
    return fillPair(
        keys, names,
        db.select(QStringLiteral("select cveAduana, Aduana from Aduanas order by aduana")), true);
}

void followList(QComboBox* leader, QComboBox* follower) {
    QObject::connect(leader, &QComboBox::currentIndexChanged, follower, [follower](int index) {
        const QSignalBlocker quiet(follower);
        follower->setCurrentIndex(index);
    });
}

void pairBothWays(QComboBox* a, QComboBox* b) {
    followList(a, b);
    followList(b, a);
}

bool Selecciona_Clave(QComboBox* keys, QComboBox* names, const QString& key, bool namesFirst) {
    const int at = keys->findText(key, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (namesFirst) {
        names->setCurrentIndex(at);
        keys->setCurrentIndex(at);
    } else {
        keys->setCurrentIndex(at);
        names->setCurrentIndex(at);
    }
    return at >= 0;
}

int Valida_Domicilio(QWidget* parent, QLineEdit* calle, QLineEdit* noExt, QLineEdit* colonia,
                     QLineEdit* cp, QComboBox* entFed, QComboBox* mDeleg, QLineEdit* telefono,
                     QLineEdit* fax) {
    auto fail = [&](const char* text, QWidget* focus) {
        seam::inform(parent, QString::fromUtf8(text));
        focus->setFocus();
        return 0;
    };
    if (Vacio(calle->text()))
        return fail("Calle no puede estar vacio", calle);
    if (Vacio(noExt->text()))
        return fail("El No. Externo no puede estar vacio, si no tiene número escriba S/N", noExt);
    if (Vacio(colonia->text()))
        return fail("Colonia no puede estar vacio", colonia);
    if (Vacio(cp->text()))
        return fail("C.P. no puede estar vacio", cp);
    if (cp->text().size() < 5 || !Es_Numerico(cp->text()))
        return fail("Formato de C.P. invalido", cp);
    if (entFed->currentText().isEmpty())
        return fail("Entidad Fed. no puede estar vacio", entFed);
    if (mDeleg->currentText().isEmpty())
        return fail("Mpio. o Delegación no puede estar vacio", mDeleg);
    if (Vacio(telefono->text()))
        return fail("El Telefóno no puede estar vacio", telefono);
    if (Vacio(fax->text()))
        return fail("El Fax no puede estar vacio", fax);
    return 1;
}

int Valida_Domicilio(QWidget* parent, const AddressBlock& b) {
    return Valida_Domicilio(parent, b.calle, b.noExt, b.colonia, b.cp, b.entFed, b.mDeleg,
                            b.telefono, b.fax);
}

namespace {

// Shows one stored address row (Domicilios_AA / Domicilios_MM share the
// positions 1..9) in a block.
void showAddress(Database& db, AddressBlock& b, const QVariantList& row) {
    const QString stateKey = textOf(row.at(1));
    const QVariant municipality = row.at(2);
    showStoredText(b.calle, textOf(row.at(3)));
    showStoredText(b.noExt, textOf(row.at(4)));
    showStoredText(b.noInt, textOf(row.at(5)));
    showStoredText(b.colonia, textOf(row.at(6)));
    showStoredText(b.cp, textOf(row.at(7)));
    showStoredText(b.telefono, textOf(row.at(8)));
    showStoredText(b.fax, textOf(row.at(9)));

    Selecciona_Clave(b.cveEntFed, b.entFed, stateKey);
    Llena_MpioDeleg(db, b.noMDeleg, b.mDeleg, b.cveEntFed->currentText());
    const QString municipalityKey =
        municipality.isNull() ? QString() : Texto_Clave(municipality.toLongLong());
    Selecciona_Clave(b.noMDeleg, b.mDeleg, municipalityKey, false);
}

} // namespace

bool Llena_Domicilio(Database& db, AddressBlock& block, const QString& tipo) {
    const Rows r =
        db.select(QStringLiteral("select * from Domicilios_AA where Tipo_Dom=?"), {tipo.toInt()});
    if (seam::readFailed(block.window(), r.error))
        return false;
    if (r.empty() || r.last().size() < 10)
        return true;
    showAddress(db, block, r.last());
    return true;
}

bool Llena_Domicilio_M(Database& db, AddressBlock& block, const QString& curp,
                       const QString& tipo) {
    const Rows r =
        db.select(QStringLiteral("select * from Domicilios_MM where CURP=? and Tipo_dom=?"),
                  {curp, tipo.toInt()});
    if (seam::readFailed(block.window(), r.error)) {
        Limpia_Domicilio_M(db, block);
        return false;
    }
    if (r.empty() || r.last().size() < 10) {
        Limpia_Domicilio_M(db, block);
        return true;
    }
    // Positions 1..9 hold the same columns in both address tables.
    showAddress(db, block, r.last());
    return true;
}

void Limpia_Domicilio_M(Database& db, AddressBlock& b) {
    for (QLineEdit* e : b.textFields())
        e->clear();
    clearChoice(b.entFed);
    clearChoice(b.cveEntFed);
    Llena_MpioDeleg(db, b.noMDeleg, b.mDeleg, b.cveEntFed->currentText());
    clearChoice(b.noMDeleg);
    clearChoice(b.mDeleg);
}
