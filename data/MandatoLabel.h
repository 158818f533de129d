#pragma once

#include <QString>
#include <QStringList>

// The representative types (Mandatarios.Mandato) as the windows name them.
namespace MandatoLabel {

// The label of a type code; "" for none.
QString of(int code);
// Every label, for sizing the list that shows them.
QStringList all();

} // namespace MandatoLabel
