#pragma once

class QCoreApplication;

// Loads Qt's own Spanish texts so standard buttons and dialogs read
// "Aceptar", "Cancelar", "Abrir"... Returns false when they are not installed.
bool installSpanish(QCoreApplication& app);
