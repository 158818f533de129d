#pragma once

#include <QString>

class AddressBlock;
class Database;
class QComboBox;
class QLineEdit;
class QWidget;

// Catalogue lists and address routines shared by every window.

// Key text of a municipality or customs-office number: the decimal form
// with one leading blank when not negative (office 47 is " 47").
QString Texto_Clave(qlonglong number);

// The fillers show a failed read themselves (" <number> <text>", title
// "Mensaje") and then return false, never taking it for an empty answer.

// Appends all states (keys and names). Leaves nothing chosen.
bool Llena_EntFed(Database& db, QComboBox* keys, QComboBox* names);
// Replaces the municipalities by those of one state (none for an empty key).
bool Llena_MpioDeleg(Database& db, QComboBox* keys, QComboBox* names, const QString& stateKey);
// Appends the customs offices, ordered by name, as key texts and names.
bool Llena_Aduanas(Database& db, QComboBox* keys, QComboBox* names);
// What every dialog says when its office is left unchosen.
QString officeMissing();

// A list pair: whenever the choice of `leader` changes, by the user or the
// program, `follower` takes the same position without echoing back. With
// both ways, either list leads (the small office dialogs).
void followList(QComboBox* leader, QComboBox* follower);
void pairBothWays(QComboBox* a, QComboBox* b);

// Chooses, in keys and then names, the entry whose key equals `key`; no
// choice at all when the catalogue lacks it. Returns whether it was found.
bool Selecciona_Clave(QComboBox* keys, QComboBox* names, const QString& key,
                      bool namesFirst = true);

// Checks a block before it is saved: 1 when complete; 0 after showing the
// message and placing the focus.
int Valida_Domicilio(QWidget* parent, QLineEdit* calle, QLineEdit* noExt, QLineEdit* colonia,
                     QLineEdit* cp, QComboBox* entFed, QComboBox* mDeleg, QLineEdit* telefono,
                     QLineEdit* fax);
int Valida_Domicilio(QWidget* parent, const AddressBlock& block);

// Loads the agent's address of one type into a block (kept as it is when
// there is none).
bool Llena_Domicilio(Database& db, AddressBlock& block, const QString& tipo);
// Loads a representative's address of one type (emptied when there is none).
bool Llena_Domicilio_M(Database& db, AddressBlock& block, const QString& curp, const QString& tipo);
// Empties a block: texts, state and municipality.
void Limpia_Domicilio_M(Database& db, AddressBlock& block);
