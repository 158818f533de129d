#pragma once

#include "rules/Rutinas.h"

#include <QString>

class Database;
class QComboBox;

// Catalogue lists shared by every window.

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
