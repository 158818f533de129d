#include "dialogs/frmKey.h"

#include "entry/Seam.h"
#include "exchange/Signing.h"
#include "rules/Rutinas.h"
#include "ui_frmKey.h"

#include <QDir>
#include <QFileInfo>
#include <QProxyStyle>
#include <QSettings>

namespace {

// The password field shows "*" for each character whatever the platform's
// usual mask is.
class AsteriskStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

std::unique_ptr<QSettings> settings() {
    return std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("KESTRO"),
                                       QStringLiteral("KESTRO"));
}

// The folder of the last key file chosen is remembered between runs (the
// password never is).
QString initialFolder(const QString& setting) {
    const QString last = settings()->value(setting).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return seam::startFolder();
}

} // namespace

frmKey::frmKey(const QString& rfcAsTyped, const QString& lastKeyFile, QString keyFolderSetting,
               QWidget* parent)
    : QDialog(parent), ui(new Ui::frmKey), rfc_(rfcAsTyped),
      keyFolderSetting_(std::move(keyFolderSetting)) {
    ui->setupUi(this);
    auto* asterisks = new AsteriskStyle();
    asterisks->setParent(this);
    ui->txtPassword->setStyle(asterisks);
    connect(ui->cmdBuscar, &QPushButton::clicked, this, &frmKey::cmdBuscar_Click);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmKey::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &frmKey::reject);
    // The field keeps no undo history of the password: each edit starts it
    // over (setting the text drops the history, which held every character
    // typed, even where undo is not offered).
    connect(ui->txtPassword, &QLineEdit::textEdited, this, [this] {
        const int at = ui->txtPassword->cursorPosition();
        ui->txtPassword->setText(ui->txtPassword->text());
        ui->txtPassword->setCursorPosition(at);
    });
    // A retry in this run (after a wrong password) needs only the password.
    if (!lastKeyFile.isEmpty()) {
        ui->txtLlave->setText(lastKeyFile);
        ui->txtPassword->setFocus();
    }
}

frmKey::~frmKey() {
    wipeText(takePassword());
    forgetChoice();
}

// The field's text, which the field no longer holds: the one copy left is
// the caller's to wipe. (Clearing through the field would record every
// character in its undo history.)
QString frmKey::takePassword() {
    QString password = ui->txtPassword->text();
    ui->txtPassword->setText(QString());
    return password;
}

QString frmKey::keyFile() const {
    return ui->txtLlave->text();
}

void frmKey::cmdBuscar_Click() {
    const QString chosen =
        seam::openFile(this, QStringLiteral("Archivo llave"), initialFolder(keyFolderSetting_),
                       QStringLiteral("Archivo_llave (*.key)"));
    if (chosen.isEmpty())
        return;
    ui->txtLlave->setText(QDir::toNativeSeparators(chosen));
    settings()->setValue(keyFolderSetting_, QFileInfo(chosen).absolutePath());
    ui->txtPassword->setFocus(); // what is missing next
}

void frmKey::cmdAceptar_Click() {
    if (Vacio(ui->txtLlave->text())) {
        seam::inform(this, QStringLiteral("El archivo llave no puede estar vacio"));
        ui->cmdBuscar->setFocus();
        return;
    }
    // The key must be the agent's own: its file is named after his RFC.
    if (!ui->txtLlave->text().toUpper().contains(rfc_ + QStringLiteral(".KEY"))) {
        seam::inform(this, QStringLiteral("Debe usar el archivo llave del AGENTE ADUANAL\nEl "
                                          "nombre del archivo debe contener el RFC del agente, "
                                          "%1, seguido de .key (por ejemplo %1.key).")
                               .arg(rfc_));
        ui->cmdBuscar->setFocus();
        return;
    }
    choice_ = KeyChoice{ui->txtLlave->text(), takePassword()};
    accept();
}

void frmKey::reject() {
    forgetChoice();
    QDialog::reject();
}

void frmKey::forgetChoice() {
    if (choice_)
        wipeText(choice_->password);
    choice_.reset();
}
