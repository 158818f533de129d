// The checks of typed identifiers, numbers and dates, and the rules that
// clean typed or pasted text, on any text.
#include "FuzzSupport.h"
#include "rules/Cp1252.h"
#include "rules/Rutinas.h"
#include "rules/SafeText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray raw = fuzz::bytesOf(data, size);
    for (const QString& text : {QString::fromUtf8(raw), Cp1252::decode(raw)}) {
        Valida_Patente(text);
        Valida_RFC(text);
        Valida_CURP(text);
        Es_Numerico(text);
        Valor_Numerico(text);
        Es_Fecha(text);
        if (Vacio(text) != RTrim(text).isEmpty())
            abort();
        upperTyped(text.left(1));
        // Cleaning makes safe text, and safe text stays as it is.
        const QString clean = safeText(text);
        if (!isSafeText(clean) || safeText(clean) != clean)
            abort();
        if (Cp1252::decode(Cp1252::encode(clean)) != clean)
            abort();
    }
    return 0;
}
