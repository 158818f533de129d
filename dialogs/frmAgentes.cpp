#include "dialogs/frmAgentes.h"

#include "data/AgentFolder.h"
#include "data/DataFolder.h"
#include "data/Database.h"
#include "data/DatabaseFile.h"
#include "data/KnownAgents.h"
#include "data/ShownPath.h"
#include "entry/Seam.h"
#include "ui_frmAgentes.h"

#include <QDir>
#include <QHeaderView>

namespace {

const QString Title = QStringLiteral("KESTRO 3.5");

QString unavailable(const QString& folder) {
    return QStringLiteral("La carpeta de datos %1 no está disponible: no se encuentra o no se "
                          "puede leer su kestro.mdb (una unidad de red sin conectar, un disco "
                          "quitado). Conéctela y vuelva a intentarlo; los demás agentes se pueden "
                          "abrir.")
        .arg(shownPath(folder));
}

} // namespace

frmAgentes::frmAgentes(KnownAgents& known, QString templatePath, Purpose purpose, QWidget* parent)
    : QDialog(parent), ui(new Ui::frmAgentes), known_(known),
      templatePath_(std::move(templatePath)) {
    ui->setupUi(this);
    if (purpose == Purpose::Restore) {
        ui->lblIndicacion->setText(QStringLiteral("Elija el agente cuyo respaldo desea restaurar "
                                                  "y pulse Restaurar o Intro."));
        ui->cmdAbrir->setText(QStringLiteral("&Restaurar..."));
        ui->cmdNuevo->hide();
    }
    connect(ui->cmdAbrir, &QPushButton::clicked, this, &frmAgentes::cmdAbrir_Click);
    connect(ui->cmdNuevo, &QPushButton::clicked, this, &frmAgentes::cmdNuevo_Click);
    connect(ui->cmdAgregar, &QPushButton::clicked, this, &frmAgentes::cmdAgregar_Click);
    connect(ui->cmdQuitar, &QPushButton::clicked, this, &frmAgentes::cmdQuitar_Click);
    connect(ui->cmdSalir, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->tblAgentes, &QTableWidget::cellDoubleClicked, this, &frmAgentes::cmdAbrir_Click);
    connect(ui->tblAgentes, &QTableWidget::currentCellChanged, this, &frmAgentes::currentChanged);
    fill(known_.last());
}

frmAgentes::~frmAgentes() = default;

void frmAgentes::fill(const QString& select) {
    QTableWidget* t = ui->tblAgentes;
    const QStringList folders = known_.folders();
    t->setRowCount(0);
    t->setRowCount(int(folders.size()));
    int selected = 0;
    for (int r = 0; r < folders.size(); ++r) {
        const AgentFolder a = AgentFolder::read(folders[r]);
        const QString signedAt = a.lastSigned
                                     ? a.lastSigned->toString(QStringLiteral("dd/MM/yyyy hh:mm"))
                                     : QStringLiteral("Ninguno");
        const QStringList cells =
            a.available
                ? QStringList{a.patente,
                              a.patente.isEmpty() ? QStringLiteral("(sin capturar)") : a.name,
                              a.rfc, signedAt, QDir::toNativeSeparators(a.folder)}
                : QStringList{QString(), QStringLiteral("No disponible"), QString(), QString(),
                              QDir::toNativeSeparators(a.folder)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (!a.available) {
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
                item->setToolTip(unavailable(a.folder));
            }
            t->setItem(r, c, item);
        }
        if (KnownAgents::sameFolder(folders[r], select))
            selected = r;
    }
    t->resizeColumnsToContents();
    t->setCurrentCell(selected, 0);
    t->setFocus();
    currentChanged();
}

QString frmAgentes::current() const {
    return known_.folders().value(ui->tblAgentes->currentRow());
}

// The installation's own folder is always listed: it is where KESTRO
// starts when the list is lost.
void frmAgentes::currentChanged() {
    ui->cmdQuitar->setEnabled(ui->tblAgentes->currentRow() > 0);
}

void frmAgentes::tell(const QString& text) {
    seam::message(this, text, Title, seam::Icon::Exclamation);
}

void frmAgentes::cmdAbrir_Click() {
    const QString folder = current();
    if (folder.isEmpty())
        return;
    // A network drive may have come back, or gone, since the list was shown.
    if (!AgentFolder::read(folder).available) {
        tell(unavailable(folder));
        fill(folder);
        return;
    }
    chosen_ = folder;
    accept();
}

void frmAgentes::cmdNuevo_Click() {
    const QString folder = seam::openFolder(
        this, QStringLiteral("Carpeta vacía para los datos del agente nuevo"), seam::startFolder());
    if (folder.isEmpty())
        return;
    if (const QString why = makeAgentFolder(folder, templatePath_); !why.isEmpty()) {
        tell(why);
        return;
    }
    if (const MaybeError e = known_.add(folder))
        tell(e->text + QStringLiteral(" El agente nuevo se abre ahora; la próxima vez agregue su "
                                      "carpeta con \"Agregar carpeta existente\"."));
    chosen_ = folder;
    accept();
}

void frmAgentes::cmdAgregar_Click() {
    const QString folder = seam::openFolder(
        this, QStringLiteral("Carpeta de datos de KESTRO que desea agregar"), seam::startFolder());
    if (folder.isEmpty())
        return;
    if (!known_.contains(folder)) {
        const QString database = QDir(folder).filePath(QString::fromLatin1(Database::FileName));
        if (const QString why = DatabaseFile::whyNotKestro(database); !why.isEmpty()) {
            tell(QStringLiteral("%1\nLa carpeta no se agregó a la lista.").arg(why));
            return;
        }
        if (const MaybeError e = known_.add(folder)) {
            tell(e->text);
            return;
        }
    }
    fill(folder);
}

void frmAgentes::cmdQuitar_Click() {
    const QString folder = current();
    if (ui->tblAgentes->currentRow() <= 0)
        return;
    const AgentFolder agent = AgentFolder::read(folder);
    const QString who = agent.available ? QStringLiteral("al agente %1").arg(agent.title())
                                        : QStringLiteral("la carpeta no disponible");
    if (!seam::confirm(this,
                       QStringLiteral("¿Desea quitar de la lista %1?\nSu carpeta de datos %2 no se "
                                      "borra ni se mueve: queda como está, con todos sus "
                                      "archivos, y puede volver a agregarla con \"Agregar "
                                      "carpeta existente\".")
                           .arg(who, shownPath(folder)),
                       seam::Answer::Ok))
        return;
    if (const MaybeError e = known_.remove(folder))
        tell(e->text);
    fill(known_.last());
}
