#include "exchange/GeneraArchivo.h"

#include "data/Database.h"
#include "entry/Seam.h"
#include "exchange/ArchivoInformacion.h"
#include "exchange/Firma.h"
#include "exchange/frmKey.h"
#include "entry/AppState.h"
#include "entry/Contacto.h"

#include <QDir>

namespace {

void avisa(QWidget* parent, const QString& texto) {
    seam::message(parent, texto, QStringLiteral("Mensaje"), seam::Icon::Exclamation);
}

} // namespace

void Firma_Archivo(QWidget* parent, AppState& state, const QString& archivo,
                   const QString& rutaLlave, const QString& clave, const QString& patenteField) {
    Firmantes firmantes;
    BuscaCurps(archivo, firmantes);
    llenaFirmantes(firmantes, rutaLlave, clave);
    const int codigo = GeneraFirmaDigital(archivo, firmantes);
    limpiaFirmantes(firmantes);

    switch (codigo) {
    case FirmaCorrecta: {
        const QString ruta = QDir::toNativeSeparators(
            QDir(state.programDir).filePath(QStringLiteral("ENVIO/") + patenteField + ".txt"));
        seam::inform(parent,
                     QStringLiteral("Se genero el archivo ") + ruta +
                         QStringLiteral(" correctamente y se agrego Firma Digital, no olvide "
                                        "enviarlo y los requerimientos manualmente a ") +
                         QString::fromUtf8(Contacto::CorreoAutoridad));
        state.Estado_Firma = 0;
        return;
    }
    case FirmaSinArchivo:
        avisa(parent, QStringLiteral("No se encontró el archivo a firmar digitalmente"));
        break;
    case FirmaLlaveInvalida:
        avisa(parent,
              QStringLiteral("No se encontró la llave privada (*.key) o el archivo no es válido"));
        break;
    case FirmaClaveErronea:
        avisa(parent, QStringLiteral("Error en la contraseña"));
        break;
    default:
        avisa(parent, QStringLiteral("No se pudo agregar la Firma Digital al archivo %1. Revise "
                                     "que la carpeta ENVIO tenga permiso de escritura.")
                          .arg(QDir::toNativeSeparators(archivo)));
        break;
    }
    // Whatever went wrong, the file is not signed: the wizard stays open.
    state.Estado_Firma = 1;
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
        borraTexto(state.Clave_Llave);
        return false;
    }

    QString why;
    const auto archivo = generaArchivoInformacion(db, state.programDir, state.NoPat, &why);
    if (!archivo) {
        borraTexto(state.Clave_Llave);
        avisa(parent, why);
        state.Estado_Firma = 1;
        return false;
    }
    Firma_Archivo(parent, state, *archivo, state.Ruta_Llave, state.Clave_Llave, patenteField);
    borraTexto(state.Clave_Llave);
    return state.Estado_Firma == 0;
}
