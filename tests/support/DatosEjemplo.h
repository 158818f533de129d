#pragma once

#include "data/Database.h"
#include "entry/Seam.h"

#include <functional>

class QDialog;

// Rows inserted straight into the store, the way the wizard's editors leave
// them: an agent with patent 3001, his fiscal, notification and validation
// addresses, and one representative of the earlier kind with both
// addresses, one office and one declaration.
namespace Ejemplo {

inline constexpr const char* Patente = "3001";
inline constexpr const char* RfcAgente = "PELJ700101AB1";
inline constexpr const char* CurpAgente = "PELJ700101HDFRPN09";
inline constexpr const char* CurpMandatario = "GAMR800202MDFRRS01";

void carga(Database& db, const QString& requerimiento);

// One representative with everything the file writes (Mandato 1, 2 or 3).
void agregaMandatario(Database& db, const QString& curp, int mandato, const QString& requerimiento);

// Runs a statement with bound values, failing the test run when refused.
void ejecuta(Database& db, const QString& sql, const QVariantList& valores = {});

// A frmKey handler that picks `llave` through "&Buscar..", types `clave`
// and presses "&Aceptar", as a user would.
std::function<int(QDialog&)> aceptaLlave(seam::Script& script, const QString& llave,
                                         const QString& clave);

} // namespace Ejemplo
