#pragma once

#include <QString>

class QWidget;
class Database;
struct AppState;

// Signs the information file with the agent's key, tells the user the
// outcome and sets state.Estado_Firma (0 signed, 1 not signed).
// patenteField is the patent as the agent page shows it, for the message.
void Firma_Archivo(QWidget* parent, AppState& state, const QString& archivo,
                   const QString& rutaLlave, const QString& clave, const QString& patenteField);

// What "Finaliza" does: asks, takes the key and password through frmKey,
// writes ENVIO/<NoPat>.txt with the requirement files beside it and signs
// it. True only when the file is signed. A cancel, or a failure before
// signing, leaves an earlier file in ENVIO as it was.
bool Genera_archivo(QWidget* parent, AppState& state, Database& db, const QString& rfcAsTyped,
                    const QString& patenteField);
