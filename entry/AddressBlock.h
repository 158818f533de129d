#pragma once

#include <QGroupBox>

class QComboBox;
class QLineEdit;
class Database;
struct StoredAddress;

// The group of fields every postal address is entered and shown through.
// Members are named by the prefix rule (txt<prefix>Calle, cmb<prefix>EntFed,
// ...), so windows and tests find them by name.
class AddressBlock : public QGroupBox {
    Q_OBJECT
public:
    enum class Pairing {
        NamesLead, // choosing a name moves its hidden key (main window)
        Both,      // either list moves the other (editors)
        None       // display only: the loader sets both lists itself
    };

    explicit AddressBlock(QWidget* parent = nullptr);

    // Creates and lays out the members. Call once.
    enum class Shape {
        Wide,  // three rows across a whole page
        Narrow // six rows, for two blocks side by side
    };

    void build(const QString& prefix, const QString& caption, Pairing pairing = Pairing::NamesLead,
               Shape shape = Shape::Wide);
    // Where choosing a state reloads the municipalities from.
    void setDatabase(Database* db) { db_ = db; }
    // Disabled fields, no typing: the representative display of page 3.
    void setDisplayOnly();

    static QString memberName(const QString& prefix, const QString& member);

    QLineEdit* calle = nullptr;
    QLineEdit* noExt = nullptr;
    QLineEdit* noInt = nullptr;
    QLineEdit* colonia = nullptr;
    QLineEdit* cp = nullptr;
    QLineEdit* telefono = nullptr;
    QLineEdit* fax = nullptr;
    QComboBox* entFed = nullptr;    // state names
    QComboBox* cveEntFed = nullptr; // state keys, hidden
    QComboBox* mDeleg = nullptr;    // municipality names
    QComboBox* noMDeleg = nullptr;  // municipality key texts, hidden

    QList<QLineEdit*> textFields() const;
    // What the block holds, as it is stored: the hidden keys and the texts
    // as typed.
    StoredAddress stored() const;
    // The members a person tabs through, in order.
    QList<QWidget*> tabChain() const;

private:
    void pair(QComboBox* leader, QComboBox* follower, bool reloadsMunicipalities);
    QLineEdit* field(const QString& prefix, const QString& member, int maxLength);
    QComboBox* list(const QString& prefix, const QString& member, bool hidden);
    void layOut(Shape shape);

    Database* db_ = nullptr;
};

// The routines every window fills, empties and checks its blocks with.

// Checks a block before it is saved: true when complete; false after
// showing the message and placing the focus.
bool Valida_Domicilio(QWidget* parent, const AddressBlock& block);

// Loads the agent's address of one type into a block (kept as it is when
// there is none).
bool Llena_Domicilio(Database& db, AddressBlock& block, const QString& tipo);
// Loads a representative's address of one type (emptied when there is none).
bool Llena_Domicilio_M(Database& db, AddressBlock& block, const QString& curp, const QString& tipo);
// Empties a block: texts, state and municipality.
void Limpia_Domicilio_M(Database& db, AddressBlock& block);
