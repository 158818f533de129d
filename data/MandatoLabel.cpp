#include "data/MandatoLabel.h"

namespace MandatoLabel {

QString of(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("Anterior 01/01/2001");
    case 2:
        return QStringLiteral("Conforme 2.13.11 (Posterior 01/01/2001)");
    case 3:
        return QStringLiteral("Con autorización de operar al 15/01/2004");
    }
    return QString();
}

QStringList all() {
    return {of(1), of(2), of(3)};
}

} // namespace MandatoLabel
