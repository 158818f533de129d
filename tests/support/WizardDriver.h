#pragma once

// The main window driven as a person would: by control names, through the
// message seam. Shared by every test that walks the wizard.
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "support/TestSupport.h"
#include "wizard/frmMain.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

template <class T = QWidget> T* named(const QObject& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

inline void choose(QComboBox* c, const QString& text) {
    const int i = c->findText(text);
    if (i < 0)
        qFatal("no entry %s in %s", qPrintable(text), qPrintable(c->objectName()));
    c->setCurrentIndex(i);
}

// Fills the line edits (or chooses in the lists) of an address block whose
// controls are named txt<prefix>Calle, cmb<prefix>EntFed, ...
inline void fillAddress(const QObject& form, const QString& prefix,
                        const QString& calle = QStringLiteral("REFORMA")) {
    const QList<std::pair<const char*, QString>> texts{
        {"Calle", calle}, {"NoExt", QStringLiteral("10")}, {"Colonia", "CENTRO"},
        {"CP", "06000"},  {"Telefono", "555 12 34"},       {"Fax", "555 12 35"}};
    for (const auto& [field, value] : texts)
        named<QLineEdit>(form, QStringLiteral("txt") + prefix + QLatin1String(field))
            ->setText(value);
    choose(named<QComboBox>(form, QStringLiteral("cmb%1EntFed").arg(prefix)),
           QStringLiteral("Ciudad de México"));
    choose(named<QComboBox>(form, QStringLiteral("cmb%1MDeleg").arg(prefix)),
           QStringLiteral("Cuauhtémoc"));
}

// Queues the answer to the next dialog of that name: texts typed by
// objectName, then the buttons pressed in order.
inline void answerDialog(seam::Script& s, const QString& dialog,
                         const QList<std::pair<QString, QString>>& texts,
                         const QStringList& buttons) {
    s.onDialog(dialog, [texts, buttons](QDialog& d) {
        for (const auto& [field, value] : texts)
            named<QLineEdit>(d, field)->setText(value);
        for (const QString& b : buttons)
            named<QPushButton>(d, b)->click();
        return d.result();
    });
}

struct Wizard {
    explicit Wizard(ProgramDir::Kind kind = ProgramDir::Kind::Delivered) : dir(kind) {
        state.dataDir = dir.path();
        state.dumpToolDir = dir.path();
        state.previousVersionDir = dir.path() + QStringLiteral("/no-existe");
    }
    // Starts the window; messages shown during start-up stay in `script`.
    void start() {
        window = std::make_unique<frmMain>(state);
        QVERIFY(window->startUp());
    }
    template <class T = QWidget> T* w(const char* name) const {
        return named<T>(*window, QString::fromLatin1(name));
    }
    QLineEdit* txt(const char* name) const { return w<QLineEdit>(name); }
    QComboBox* cmb(const char* name) const { return w<QComboBox>(name); }
    QPushButton* cmd(const char* name) const { return w<QPushButton>(name); }
    QTableWidget* grid(const char* name) const { return w<QTableWidget>(name); }
    void pick(const char* grid, int row) { this->grid(grid)->setCurrentCell(row, 0); }
    void next() { cmd("cmdSiguiente")->click(); }
    void back() { cmd("cmdAtras")->click(); }
    bool pageShown(const char* frame) const { return !w(frame)->isHidden(); }
    void choose(const char* list, const QString& text) { ::choose(cmb(list), text); }
    void fillAddress(const QString& prefix, const QString& calle = QStringLiteral("REFORMA")) {
        ::fillAddress(*window, prefix, calle);
    }

    void fillPage1(int offices) {
        for (auto [field, value] : {std::pair{"txtPatente", "3001"},
                                    {"txtAANombre", "JUAN"},
                                    {"txtAAApPat", "PEREZ"},
                                    {"txtAAApMat", "LOPEZ"},
                                    {"txtAARFC", "PELJ700101AB1"},
                                    {"txtAACURP", "PELJ700101HDFRPN09"}})
            txt(field)->setText(QLatin1String(value));
        choose("cmbAAAduanaA", QStringLiteral("MEXICO, D.F."));
        txt("txtNoAduanasAut")->setText(QString::number(offices));
        for (const char* block : {"Fiscal", "OirR", "V0"})
            fillAddress(QLatin1String(block));
    }

    QStringList messages() const {
        QStringList t;
        for (const seam::Shown& s : script.shown)
            t << s.text;
        return t;
    }

    seam::Script script;
    ProgramDir dir;
    AppState state;
    std::unique_ptr<frmMain> window;
};

// A statement the test's setup relies on.
inline void must(Database& db, const QString& sql, const QVariantList& values = {}) {
    if (MaybeError e = db.exec(sql, values))
        qFatal("%s: %s", qPrintable(sql), qPrintable(e->message()));
}

// An agent stored before the window starts, so the lists of pages 3 to 5
// are loaded.
inline void storeAgent(Database& db) {
    must(db, QStringLiteral("insert into AA values (3001,'JUAN','PEREZ','LOPEZ','PELJ700101AB1',"
                            "'PELJ700101HDFRPN09',0,200,null,null,null,0,null)"));
}

// A representative from a Mandatarios values tuple, with the addresses of
// the given types (1 private, 2 fiscal).
inline void storeMandatario(Database& db, const QString& tuple,
                            const QList<int>& addresses = {1, 2}) {
    must(db, QStringLiteral("insert into Mandatarios values ") + tuple);
    const QString curp = tuple.section(u'\'', 1, 1);
    for (int t : addresses)
        must(db,
             QStringLiteral("insert into Domicilios_MM values (?,'09',15,'CALLE','1','','COL',"
                            "'06000','1','2',?)"),
             {curp, t});
}

inline QList<QVariantList> rows(Database& db, const QString& sql, const QVariantList& v = {}) {
    Rows r = db.select(sql, v);
    if (!r.ok())
        qFatal("%s", qPrintable(r.error->message()));
    return r.rows;
}

// Query results as text, one line per row, "NULL" for a null value.
inline QString dump(Database& db, const QString& sql, const QVariantList& v = {}) {
    QStringList lines;
    for (const QVariantList& row : rows(db, sql, v)) {
        QStringList cells;
        for (const QVariant& c : row)
            cells << (c.isNull() ? QStringLiteral("NULL") : c.toString());
        lines << cells.join(u'|');
    }
    return lines.join(u'\n');
}
