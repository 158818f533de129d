#pragma once

// The main window and its dialogs driven as a person would: by control
// names, through the message seam. Shared by every test that walks the wizard.
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "support/TestSupport.h"
#include "wizard/AgentHistoryPage.h"
#include "wizard/RepresentativeHistoryPage.h"
#include "wizard/RepresentativesPage.h"
#include "wizard/frmMain.h"

#include <QScrollBar>
#include <QTableWidget>

template <class T = QWidget> T* named(const QObject& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(parent.objectName()));
    return found;
}

inline void press(const QObject& form, const QString& button) {
    named<QAbstractButton>(form, button)->click();
}

// No entry of that text (a list a failed read left empty): none chosen.
inline void choose(QComboBox* c, const QString& text) {
    c->setCurrentIndex(c->findText(text));
}

// A line edit's text, a list's entry ("" for none) or a date (dd/mm/yyyy),
// by control name.
inline void setValue(const QObject& form, const QString& field, const QString& value) {
    if (auto* list = form.findChild<QComboBox*>(field))
        choose(list, value);
    else if (auto* date = form.findChild<QDateEdit*>(field))
        date->setDate(QDate::fromString(value, QStringLiteral("dd/MM/yyyy")));
    else
        named<QLineEdit>(form, field)->setText(value);
}

// What the named controls show, joined by '|': a line edit's, label's or
// list's text; "1"/"0" for a push button enabled, a radio button checked or
// any other control not hidden; a table's number of rows.
QString showing(const QObject& form, const QStringList& names);

// Fills an address block whose controls are named txt<prefix>Calle,
// cmb<prefix>EntFed, ...
void fillAddress(const QObject& form, const QString& prefix,
                 const QString& street = QStringLiteral("REFORMA"));

// Queues the answer to the next dialog of that name: values set by
// objectName, then the buttons pressed in order until one accepts it.
void answerDialog(seam::Script& s, const QString& dialog,
                  const QList<std::pair<QString, QString>>& texts, const QStringList& buttons);

// What an editor left with typed changes asks.
inline const QString DiscardQuestion =
    QStringLiteral("Los datos capturados en esta ventana no se han guardado. ¿Desea cerrarla sin "
                   "guardarlos?");

// Queues going on to the key from the list of findings, which the made-up
// check digits of the fixtures' CURPs bring up with observations alone.
void goOnToTheKey(seam::Script& s);

// Queues the key dialog's answer: the key file chosen with Buscar, the
// password, Aceptar.
void answerKey(seam::Script& s, const QString& keyFile,
               const QString& password = QStringLiteral("clave"));

// Queues the answer to a period dialog: patent (the representative's only),
// office by name, dates, Aceptar; Cancelar when the period was refused.
void answerPeriod(seam::Script& s, const QString& dialog, const QString& office, QDate start,
                  QDate end, const QString& patent = QStringLiteral("12"));

// One check of a form: the bad value set (unless empty and `fix` is given),
// submit, the message and the focus on `field` ("" leaves focus unchecked),
// then the good value or `fix`.
struct Check {
    QString field, bad, message, good;
    std::function<void()> fix = {};
};
void walkChecks(QWidget& form, seam::Script& s, const std::function<void()>& submit,
                const QList<Check>& checks);

struct Person {
    QString name, paternal, maternal, curp, rfc;
    int type; // 1 earlier kind, 2 under rule 2.13.11
    QString requirement;
};
// Everything the representative editor asks but the offices; the
// requirement file comes through the file dialog.
void fillRepresentative(QDialog& d, seam::Script& s, const Person& p);

struct Wizard {
    explicit Wizard(ProgramDir::Kind kind = ProgramDir::Kind::Delivered);
    // Starts the window; messages shown during start-up stay in `script`.
    // ENVIO, page 1's line on it and the lists of pages 3 to 5 are read as
    // they are once the window has been painted (a start alone leaves them
    // for then).
    void start() {
        window = std::make_unique<frmMain>(state);
        QVERIFY(window->startUp());
        window->settleEnvio();
        listsRead();
    }
    template <class T = QWidget> T* w(const char* name) const {
        return named<T>(*window, QString::fromLatin1(name));
    }
    QLineEdit* txt(const char* name) const { return w<QLineEdit>(name); }
    QComboBox* cmb(const char* name) const { return w<QComboBox>(name); }
    QPushButton* cmd(const char* name) const { return w<QPushButton>(name); }
    QTableWidget* grid(const char* name) const { return w<QTableWidget>(name); }
    // A row chosen afresh, as a click on it would.
    void pick(const char* grid, int row) {
        this->grid(grid)->setCurrentCell(-1, -1);
        this->grid(grid)->setCurrentCell(row, 0);
    }
    void show() {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void listsRead() const {
        window->findChild<RepresentativesPage*>()->fillDeferredList();
        window->findChild<AgentHistoryPage*>()->fillDeferredList();
        window->findChild<RepresentativeHistoryPage*>()->fillDeferredList();
    }
    void next() { cmd("cmdSiguiente")->click(); }
    void back() { cmd("cmdAtras")->click(); }
    QString showing(const QStringList& names) const { return ::showing(*window, names); }
    bool pageShown(const char* frame) const { return w(frame)->isVisibleTo(window.get()); }
    void choose(const char* list, const QString& text) { ::choose(cmb(list), text); }
    void fillAddress(const QString& prefix, const QString& street = QStringLiteral("REFORMA")) {
        ::fillAddress(*window, prefix, street);
    }
    void fillPage1(int offices);
    void fillOffices(int offices);
    // Runs `body` on the dialog the named button opens.
    void withDialog(const char* dialog, const char* button, std::function<void(QDialog&)> body);
    QStringList messages() const;

    seam::Script script;
    ProgramDir dir;
    AppState state;
    std::unique_ptr<frmMain> window;
};

// representatives.sql: two representatives under rule 2.13.11, complete for
// page 3, with their requirement files in `folder`; with `history`,
// earlier-history.sql: the agent has two earlier representatives (one keyed
// by his RFC) with a period each.
inline const QString Luis = QStringLiteral("MODL800101HDFRZS01");
inline const QString Eva = QStringLiteral("PAGE810202MDFZLV02");
inline const QString Hist = QStringLiteral("HIRF700101HDFRZL03");
void storeHistory(Database& db, const QString& folder, bool history);

// Nothing to scroll sideways to, and those columns of every row whole.
inline bool showsWhole(const QTableWidget* grid, const QList<int>& columns) {
    bool whole = grid->horizontalScrollBar()->maximum() == 0;
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c : columns)
            whole = whole && grid->fontMetrics().horizontalAdvance(grid->item(r, c)->text()) <=
                                 grid->columnWidth(c) - 6;
    return whole;
}

// Any window of the program, built by its objectName as its opener builds
// it, over `db`; the lists a sub-dialog appends to live here with it.
struct AnyWindow {
    QTableWidget acted{0, 2}, declared{0, 4};
    AppState state;
    std::unique_ptr<QWidget> window; // last: it goes first
    QWidget& operator*() const { return *window; }
};
std::unique_ptr<AnyWindow> openWindow(const QString& name, Database& db);
inline const QStringList EveryWindow{"frmMain",           "frmInicio",
                                     "frmDudas",          "frmKey",
                                     "FindingsDialog",    "frmSinHIstorico",
                                     "frmApoderado",      "frmAduanaAct",
                                     "frmPedTramitados",  "frmAgentes_Aduanales",
                                     "frmPeriodo_Agente", "frmPeriodo_Mandatario"};
