#include "exchange/GeneraArchivo.h"

#include "data/AgentStore.h"
#include "data/Database.h"
#include "entry/AppState.h"
#include "entry/Busy.h"
#include "entry/Seam.h"
#include "exchange/ArchivoInformacion.h"
#include "exchange/Firma.h"
#include "exchange/frmKey.h"

#include <QDir>

namespace {

void tell(QWidget* parent, const QString& texto) {
    seam::message(parent, texto, QStringLiteral("Mensaje"), seam::Icon::Exclamation);
}

} // namespace

namespace {

// Tells the user the signing outcome and sets Estado_Firma (0 signed, 1 not).
void reportSigning(QWidget* parent, AppState& state, int codigo, const QString& archivo,
                   const QString& patenteField) {
    switch (codigo) {
    case SignedOk: {
        const QString ruta = QDir::toNativeSeparators(
            QDir(state.dataDir).filePath(QStringLiteral("ENVIO/") + patenteField + ".txt"));
        seam::inform(parent,
                     QStringLiteral("Se genero el archivo ") + ruta +
                         QStringLiteral(" correctamente y se agrego Firma Digital, no olvide "
                                        "enviarlo y los requerimientos manualmente a ") +
                         state.contacto.correoAutoridad);
        state.Estado_Firma = 0;
        return;
    }
    case NoFileToSign:
        tell(parent, QStringLiteral("No se encontró el archivo a firmar digitalmente"));
        break;
    case InvalidKey:
        tell(parent,
             QStringLiteral("No se encontró la llave privada (*.key) o el archivo no es válido"));
        break;
    case WrongPassword:
        tell(parent, QStringLiteral("Error en la contraseña"));
        break;
    default:
        tell(parent, QStringLiteral("No se pudo agregar la Firma Digital al archivo %1. Revise "
                                    "que la carpeta ENVIO tenga permiso de escritura.")
                         .arg(QDir::toNativeSeparators(archivo)));
        break;
    }
    // Whatever went wrong, the file is not signed: the wizard stays open.
    state.Estado_Firma = 1;
}

} // namespace

void Firma_Archivo(QWidget* parent, AppState& state, const QString& archivo,
                   const QString& rutaLlave, const QString& clave, const QString& patenteField) {
    Firmantes firmantes;
    BuscaCurps(archivo, firmantes);
    fillSigners(firmantes, rutaLlave, clave);
    const int codigo =
        whileBusy(parent, QStringLiteral("Agregando la Firma Digital al archivo de información..."),
                  [&] { return GeneraFirmaDigital(archivo, firmantes); });
    wipeSigners(firmantes);
    reportSigning(parent, state, codigo, archivo, patenteField);
}

bool Genera_archivo(QWidget* parent, AppState& state, Database& db, const QString& rfcAsTyped,
                    const QString& patenteField) {
    if (seam::message(parent,
                      QStringLiteral("¿DESEA GENERAR EL ARCHIVO DE INFORMACION? PARA ESTA "
                                     "OPERACION DEBE USAR EL ARCHIVO LLAVE DEL AGENTE ADUANAL. "),
                      QStringLiteral("Mensaje"), seam::Icon::Exclamation,
                      seam::Buttons::OkCancel) != seam::Answer::Ok)
        return false;

    state.Resp_Llave.clear();
    {
        frmKey dialogo(state, rfcAsTyped, parent);
        seam::exec(dialogo);
    }
    // Only an explicit Aceptar goes on; the close box counts as Cancelar.
    if (state.Resp_Llave != QStringLiteral("A")) {
        state.Resp_Llave = QStringLiteral("C");
        state.Ruta_Llave.clear();
        wipeText(state.Clave_Llave);
        return false;
    }

    // Signed in memory before the file takes its name in ENVIO: a refused
    // key or password leaves an earlier signed file there untouched.
    const auto firmar = [&](QByteArray& contenido) {
        Firmantes firmantes;
        firmantes[0].curp = agentCurpOf(contenido);
        fillSigners(firmantes, state.Ruta_Llave, state.Clave_Llave);
        const int codigo = whileBusy(
            parent, QStringLiteral("Agregando la Firma Digital al archivo de información..."),
            [&] { return signContent(contenido, firmantes); });
        wipeSigners(firmantes);
        return codigo;
    };
    QString why;
    int codigo = SignedOk;
    const QString patente = canonicalPatent(state.NoPat);
    const auto archivo = writeInformationFile(db, state.dataDir, patente, &why, firmar, &codigo);
    wipeText(state.Clave_Llave);
    if (!archivo && codigo == SignedOk) {
        tell(parent, why);
        state.Estado_Firma = 1;
        return false;
    }
    reportSigning(parent, state, codigo, informationFilePath(state.dataDir, patente),
                  canonicalPatent(patenteField));
    return state.Estado_Firma == 0;
}
