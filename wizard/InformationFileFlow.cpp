#include "wizard/InformationFileFlow.h"

#include "data/AgentStore.h"
#include "data/CatalogueNames.h"
#include "data/Database.h"
#include "dialogs/FindingsDialog.h"
#include "dialogs/frmKey.h"
#include "entry/AppState.h"
#include "entry/Busy.h"
#include "entry/Seam.h"
#include "exchange/EnvioStage.h"
#include "exchange/InformationFile.h"
#include "exchange/Signing.h"
#include "report/SigningSummary.h"

#include "exchange/SignedEnvio.h"

#include <QDir>
#include <QSaveFile>

namespace {

void tell(QWidget* parent, const QString& text) {
    seam::message(parent, text, QStringLiteral("Mensaje"), seam::Icon::Exclamation);
}

std::optional<KeyChoice> askForKey(QWidget* parent, const QString& rfcAsTyped, AppState& state) {
    frmKey keyDialog(rfcAsTyped, state.lastKeyFile, state.keyFolderSetting, parent);
    seam::exec(keyDialog);
    state.lastKeyFile = keyDialog.keyFile();
    // Only an explicit Aceptar goes on; the close box counts as Cancelar.
    return keyDialog.result() == QDialog::Accepted ? keyDialog.choice() : std::nullopt;
}

// Only the start's line on ENVIO depends on it: a key not kept just leaves
// that line out.
void keepSigningKey(const QString& dataDir, const QByteArray& publicKey) {
    QSaveFile f(lastSigningKeyPath(dataDir));
    if (f.open(QIODevice::WriteOnly) && f.write(publicKey) == publicKey.size())
        f.commit();
}

} // namespace

void tellSigningOutcome(QWidget* parent, int code, const QString& dataDir, const QString& patent,
                        const QString& authorityMail) {
    switch (code) {
    case SignedOk:
        seam::inform(parent,
                     QStringLiteral("Se genero el archivo ") +
                         QDir::toNativeSeparators(informationFilePath(dataDir, patent)) +
                         QStringLiteral(" correctamente y se agrego Firma Digital, no olvide "
                                        "enviarlo y los requerimientos manualmente a ") +
                         authorityMail);
        return;
    case NothingToSign:
        tell(parent, QStringLiteral("No se encontró el archivo a firmar digitalmente"));
        return;
    case WrongPassword:
        tell(parent, QStringLiteral("Error en la contraseña"));
        return;
    case UnsupportedKeyCipher:
        tell(parent, QStringLiteral("El cifrado del archivo llave no está disponible en esta "
                                    "instalación, así que la llave no se pudo abrir (la "
                                    "contraseña no se revisó). Reinstale KESTRO o use una "
                                    "llave con cifrado actual."));
        return;
    default:
        tell(parent,
             QStringLiteral("No se encontró la llave privada (*.key) o el archivo no es válido"));
        return;
    }
}

bool listProblems(QWidget* parent, const QList<Problem>& problems, const GoToPerson& goTo) {
    if (problems.isEmpty())
        return true;
    FindingsDialog list(problems, parent);
    seam::exec(list);
    const FindingsChoice choice = list.choice();
    if (choice.action == FindingsChoice::Action::GoTo && goTo)
        goTo(choice.page, choice.curp);
    return choice.action == FindingsChoice::Action::Continue;
}

bool Genera_archivo(QWidget* parent, AppState& state, Database& db, const QString& rfcAsTyped,
                    const QString& patenteField, const GoToPerson& goTo) {
    if (seam::message(parent,
                      QStringLiteral("¿DESEA GENERAR EL ARCHIVO DE INFORMACION? PARA ESTA "
                                     "OPERACION DEBE USAR EL ARCHIVO LLAVE DEL AGENTE ADUANAL. "),
                      QStringLiteral("Mensaje"), seam::Icon::Exclamation,
                      seam::Buttons::OkCancel) != seam::Answer::Ok)
        return false;

    // Everything that can refuse the package is found now, before the user
    // looks for his key and types his password: the file is checked whole,
    // as the verifier will check it.
    const Fallible<CatalogueNames> names = CatalogueNames::read(db);
    if (!names) {
        tell(parent, names.why());
        return false;
    }
    Fallible<PreKeyCheck> checked = [&] {
        const BusyCursor busy;
        return checkBeforeKey(db, canonicalPatent(state.NoPat), names.value);
    }();
    if (!checked) {
        tell(parent, checked.why());
        return false;
    }
    if (!listProblems(parent, checked->problems, goTo))
        return false;
    if (MaybeError e = EnvioStage::checkMovable(envioFolder(state.dataDir))) {
        tell(parent, e->message());
        return false;
    }
    InformationFileContent content = std::move(checked->content);

    std::optional<KeyChoice> key = askForKey(parent, rfcAsTyped, state);
    if (!key)
        return false;

    // Signed in memory before the file takes its name in ENVIO: a refused
    // key or password leaves an earlier signed file there untouched.
    int outcome = SignedOk;
    QByteArray signedFile, publicKey;
    const auto sign = [&](QByteArray& bytes) {
        Signer signer{agentCurpOf(bytes), key->keyPath.toUtf8(), key->password.toUtf8()};
        outcome = whileBusy(
            parent, QStringLiteral("Agregando la Firma Digital al archivo de información..."),
            [&] { return signContent(bytes, signer, &publicKey); });
        // Gone as soon as the signature is made, before any file is copied.
        wipeSigner(signer);
        wipeText(key->password);
        signedFile = bytes;
        return outcome == SignedOk;
    };
    // One time names this generation's folder in anteriores, its copy in
    // respaldos and its summary.
    const QDateTime generated = QDateTime::currentDateTime();
    const Fallible<QString> written = placeInformationFile(
        std::move(content), state.dataDir, canonicalPatent(state.NoPat), sign, generated);
    wipeText(key->password);
    if (!written && outcome == SignedOk) {
        tell(parent, written.error->message());
        return false;
    }
    tellSigningOutcome(parent, outcome, state.dataDir, canonicalPatent(patenteField),
                       state.contact.authorityMail);
    if (written) {
        keepSigningKey(state.dataDir, publicKey);
        state.backups.copy(parent, db, generated);
        keepSummary(parent, state, db, signedFile, publicKey, generated);
    }
    return written.ok();
}

void keepSummary(QWidget* parent, AppState& state, Database& db, const QByteArray& signedFile,
                 const QByteArray& publicKey, const QDateTime& madeAt) {
    Fallible<QString> summary = DbError::refused(QString());
    if (const Fallible<CatalogueNames> names = CatalogueNames::read(db); !names) {
        summary = *names.error;
    } else {
        // On the window thread, where fonts are sure to render; thousands of
        // representatives make a long PDF.
        const BusyCursor busy;
        summary = writeSigningSummary(names.value, state.dataDir, canonicalPatent(state.NoPat),
                                      signedFile, publicKey, madeAt);
    }
    state.summaryPath = summary.value;
    // The file is signed and in ENVIO all the same; only the agent's copy
    // to read is missing.
    if (!summary)
        tell(parent, summary.error->message());
}
