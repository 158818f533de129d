#pragma once

// The main window driven as a person would: by control names, through the
// message seam. Shared by every test that walks the wizard.
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "support/TestSupport.h"
#include "wizard/frmMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

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
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit* txt(const char* name) const { return w<QLineEdit>(name); }
    QComboBox* cmb(const char* name) const { return w<QComboBox>(name); }
    QPushButton* cmd(const char* name) const { return w<QPushButton>(name); }
    void next() { cmd("cmdSiguiente")->click(); }
    void back() { cmd("cmdAtras")->click(); }
    bool pageShown(const char* frame) const { return !w(frame)->isHidden(); }

    void choose(const char* list, const QString& text) {
        QComboBox* c = cmb(list);
        const int i = c->findText(text);
        if (i < 0)
            qFatal("no entry %s in %s", qPrintable(text), list);
        c->setCurrentIndex(i);
    }

    void fillAddress(const QString& prefix, const QString& calle = QStringLiteral("REFORMA")) {
        auto name = [&](const char* m) { return (prefix + QLatin1String(m)).toLatin1(); };
        txt(QByteArray("txt" + name("Calle")))->setText(calle);
        txt(QByteArray("txt" + name("NoExt")))->setText(QStringLiteral("10"));
        txt(QByteArray("txt" + name("Colonia")))->setText(QStringLiteral("CENTRO"));
        txt(QByteArray("txt" + name("CP")))->setText(QStringLiteral("06000"));
        txt(QByteArray("txt" + name("Telefono")))->setText(QStringLiteral("555 12 34"));
        txt(QByteArray("txt" + name("Fax")))->setText(QStringLiteral("555 12 35"));
        choose(QByteArray("cmb" + name("EntFed")), QStringLiteral("Ciudad de México"));
        choose(QByteArray("cmb" + name("MDeleg")), QStringLiteral("Cuauhtémoc"));
    }

    void fillPage1(int offices) {
        txt("txtPatente")->setText(QStringLiteral("3001"));
        txt("txtAANombre")->setText(QStringLiteral("JUAN"));
        txt("txtAAApPat")->setText(QStringLiteral("PEREZ"));
        txt("txtAAApMat")->setText(QStringLiteral("LOPEZ"));
        txt("txtAARFC")->setText(QStringLiteral("PELJ700101AB1"));
        txt("txtAACURP")->setText(QStringLiteral("PELJ700101HDFRPN09"));
        choose("cmbAAAduanaA", QStringLiteral("MEXICO, D.F."));
        txt("txtNoAduanasAut")->setText(QString::number(offices));
        fillAddress(QStringLiteral("Fiscal"));
        fillAddress(QStringLiteral("OirR"));
        fillAddress(QStringLiteral("V0"));
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

// An agent stored before the window starts, so the lists of pages 3 to 5
// are loaded.
inline void storeAgent(Database& db) {
    if (db.exec(QStringLiteral("insert into AA values (3001,'JUAN','PEREZ','LOPEZ',"
                               "'PELJ700101AB1','PELJ700101HDFRPN09',0,200,null,null,null,0,"
                               "null)")))
        qFatal("cannot store the agent");
}

inline QList<QVariantList> rows(Database& db, const QString& sql) {
    Rows r = db.select(sql);
    if (!r.ok())
        qFatal("%s", qPrintable(r.error->message()));
    return r.rows;
}
