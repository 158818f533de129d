// Every user action that writes, made to fail at each of its statements and
// file steps in turn: the database and ENVIO must stay as they were (or, for
// a failure after the work was kept, be exactly what a clean run leaves),
// the user must be told, and the same action must then work.
#include "data/FaultPoint.h"
#include "support/TestKey.h"
#include "support/WizardDriver.h"

#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QRadioButton>
#include <QTableWidget>
#include <functional>

namespace {

const QString Curp = QStringLiteral("GAMR800202MDFRRS01");

// Every table, every row, as text: two states are equal when this is.
QString dump(const ProgramDir& dir) {
    auto db = dir.open();
    QString out;
    const Rows tablas =
        db->select(QStringLiteral("select name, sql from sqlite_master order by type, name"));
    for (const QVariantList& t : tablas.rows) {
        out += textOf(t.at(0)) + u'\n' + textOf(t.at(1)) + u'\n';
        if (textOf(t.at(1)).startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive)) {
            QStringList filas;
            for (const QVariantList& r :
                 db->select(QStringLiteral("select * from \"%1\"").arg(textOf(t.at(0)))).rows) {
                QStringList campos;
                for (const QVariant& v : r)
                    campos << (v.isNull() ? QStringLiteral("NULL") : v.toString());
                filas << campos.join(u'|');
            }
            filas.sort();
            out += filas.join(u'\n') + u'\n';
        }
    }
    return out;
}

// Every file under ENVIO with its bytes.
QMap<QString, QByteArray> envio(const QString& programDir) {
    QMap<QString, QByteArray> out;
    const QString folder = programDir + QStringLiteral("/ENVIO");
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        out.insert(QDir(folder).relativeFilePath(f), readWholeFile(f));
    }
    return out;
}

struct State {
    QString db;
    QMap<QString, QByteArray> files;
    bool operator==(const State&) const = default;
};

// Each run has its own folder; stored paths are compared without it.
State stateOf(Wizard& w) {
    return State{dump(w.dir).replace(w.dir.path(), QStringLiteral("<carpeta>")),
                 envio(w.dir.path())};
}

const TestKey& llave() {
    static const TestKey k(true);
    return k;
}

void sql(Wizard& w, const QString& s, const QVariantList& v = {}) {
    auto db = w.dir.open();
    if (MaybeError e = db->exec(s, v))
        qFatal("%s -> %s", qPrintable(s), qPrintable(e->message()));
}

// A representative of the earlier kind, complete, with his requirement
// file outside ENVIO; an earlier signed file and copy already in ENVIO.
void storeRepresentative(Wizard& w) {
    // Named after his RFC, as the editor asks.
    const QString req = w.dir.path() + QStringLiteral("/GAMR800202XY2.req");
    writeWholeFile(req, "requerimiento de ROSA");
    sql(w, QStringLiteral("insert into Mandatarios values (?,?,?,?,?,?,?,?,?,?)"),
        {Curp, "GAMR800202XY2", "ROSA", "GARCIA", "MARTINEZ", 1, req, 0, 1, 1});
    for (int tipo = 1; tipo <= 2; ++tipo)
        sql(w, QStringLiteral("insert into Domicilios_MM values (?,?,?,?,?,?,?,?,?,?,?)"),
            {Curp, "09", 15, "JUAREZ", "5", "A", "CENTRO", "06000", "555 12 36", "555 12 37",
             tipo});
    sql(w, QStringLiteral("insert into Aduanas_MM values (?,?)"), {Curp, 470});
    QDir().mkpath(w.dir.path() + QStringLiteral("/ENVIO"));
    writeWholeFile(w.dir.path() + QStringLiteral("/ENVIO/3001.txt"), "archivo firmado anterior");
    writeWholeFile(w.dir.path() + QStringLiteral("/ENVIO/GAMR800202XY2.req"), "copia anterior");
    writeWholeFile(w.dir.path() + QStringLiteral("/ENVIO/nota.txt"), "del agente");
}

// What the previous version's dump tool leaves behind.
void writeDump(Wizard& w) {
    w.state.previousVersionDir = w.dir.path() + QStringLiteral("/anterior");
    QDir().mkpath(w.state.previousVersionDir);
    writeWholeFile(w.state.previousVersionDir + QStringLiteral("/Recupera.txt"),
                   "KESTRO 3.0\r\n"
                   "AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|1234|470\r\n"
                   "Domicilios_AA|3001|1|09|15|REFORMA|10||CENTRO|06000|555 12 34|555\r\n"
                   "Mandatarios|3001|GAMR800202MDFRRS01|GAMR800202XY2|ROSA|GARCIA|MUNOZ|\r\n"
                   "Domicilios_MM|3001|GAMR800202MDFRRS01|09|15|JUAREZ|5|A|CENTRO|06000|1|2\r\n"
                   "Aduanas_MM|3001|GAMR800202MDFRRS01|470\r\n"
                   "Pedimentos_MM|3001|GAMR800202MDFRRS01|470|123|2003-05-20\r\n"
                   "800|1111111|1|\r\n");
}

// "Finaliza" on page 3, the key chosen and the password typed.
void finish(Wizard& w) {
    const QString ruta = w.dir.path() + QStringLiteral("/PELJ700101AB1.key");
    w.script.onDialog(QStringLiteral("frmKey"), [&w, ruta](QDialog& d) {
        w.script.chooseFile(ruta);
        d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
        d.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(QStringLiteral("clave"));
        d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        return d.result();
    });
    w.next();
}

// Start-up, where the upgrade and the import happen. A database that cannot
// be read at all ends the program after saying so.
void startWindow(Wizard& w) {
    w.window = std::make_unique<frmMain>(w.state);
    w.window->startUp();
}

const QString Eva = QStringLiteral("PAGE810202MDFZLV02");
const QString Hist = QStringLiteral("HIRF700101HDFRZL03");

template <class T = QWidget> T* in(QDialog& d, const char* name) {
    T* found = d.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s in %s", name, qPrintable(d.objectName()));
    return found;
}

void press(QDialog& d, const char* button) {
    in<QPushButton>(d, button)->click();
}

// An agent with a history: one representative under rule 2.13.11 with a
// period at another agent, one earlier representative of the agent's with
// one period; the window started.
void historyScene(Wizard& w) {
    storeAgent(*w.dir.open());
    const QString req = w.dir.path() + QStringLiteral("/") + Eva + QStringLiteral(".req");
    writeWholeFile(req, "req");
    sql(w, QStringLiteral("update AA set SinHistorico=0"));
    sql(w,
        QStringLiteral("insert into Mandatarios values (?,'PAGE810202AB1','EVA','PAZ','GIL',"
                       "2,?,1,1,0)"),
        {Eva, req});
    for (int t : {1, 2})
        sql(w,
            QStringLiteral("insert into Domicilios_MM values (?,'09',15,'A','1','','B',"
                           "'06000','1','2',?)"),
            {Eva, t});
    sql(w,
        QStringLiteral("insert into Periodos_H_MM values (?,200,3001,'2001-01-01',"
                       "'2002-02-02')"),
        {Eva});
    sql(w,
        QStringLiteral("insert into Historico_AA values ('HIRF700101AB1',?,'FELIPE','HARO',"
                       "'RUIZ')"),
        {Hist});
    sql(w, QStringLiteral("insert into Periodos_H_AA values (?,200,'1999-01-02','2000-03-04')"),
        {Hist});
    w.start();
}

// The first row of a list chosen afresh, as a click on it would.
void choose(Wizard& w, const char* list) {
    w.w<QTableWidget>(list)->setCurrentCell(-1, -1);
    w.w<QTableWidget>(list)->setCurrentCell(0, 0);
}

// Answers a period dialog with an office and a one-day period.
void answerPeriod(Wizard& w, const char* dialog) {
    w.script.onDialog(QString::fromLatin1(dialog), [](QDialog& d) {
        if (d.objectName() == QLatin1String("frmPeriodo_Mandatario"))
            in<QLineEdit>(d, "txtPatente")->setText(QStringLiteral("12"));
        auto* names = in<QComboBox>(d, "cmbAduana");
        names->setCurrentIndex(names->findText(QStringLiteral("VERACRUZ, VER.")));
        in<QDateEdit>(d, "dtpIni")->setDate(QDate(2003, 10, 10));
        in<QDateEdit>(d, "dtpFin")->setDate(QDate(2003, 10, 11));
        press(d, "cmdAceptar");
        if (d.result() != QDialog::Accepted)
            press(d, "cmdCancelar");
        return d.result();
    });
}

// The historic agent editor: a new agent with one period, or the stored
// one with one more period.
void historicAgent(Wizard& w, bool editing) {
    w.script.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&w, editing](QDialog& d) {
        if (!editing) {
            in<QLineEdit>(d, "txtNombre")->setText(QStringLiteral("PEDRO"));
            in<QLineEdit>(d, "txtApPaterno")->setText(QStringLiteral("NAVA"));
            in<QLineEdit>(d, "txtApMaterno")->setText(QStringLiteral("ORTA"));
            in<QLineEdit>(d, "txtRFC")->setText(QStringLiteral("NAOP800101AB1"));
        }
        answerPeriod(w, "frmPeriodo_Agente");
        press(d, "cmdNuevo");
        press(d, "cmdAceptar");
        if (d.result() != QDialog::Accepted)
            press(d, "cmdCancelar");
        return d.result();
    });
    if (editing)
        choose(w, "fgDatosAA");
    w.cmd(editing ? "cmdAAEditar" : "cmdAANuevo")->click();
}

void declareNoHistory(Wizard& w, const char* button) {
    w.script.onDialog(QStringLiteral("frmSinHIstorico"), [](QDialog& d) {
        press(d, "cmdAceptar");
        return d.result();
    });
    if (QLatin1String(button) == QLatin1String("cmdSinHistMM"))
        choose(w, "fgMandatarios");
    w.cmd(button)->click();
}

// Page 3 with one complete representative of the earlier kind stored.
void representativeScene(Wizard& w) {
    storeRepresentative(w);
    writeWholeFile(w.dir.path() + QStringLiteral("/PAGE810202AB1.req"), "req");
    storeAgent(*w.dir.open());
    w.start();
}

// The representative editor: a new one of the 2.13.11 kind, or the stored
// one renamed and given one more office; then Aceptar.
void representativeEditor(Wizard& w, bool editing) {
    const QString req = w.dir.path() + QStringLiteral("/PAGE810202AB1.req");
    w.script.onDialog(QStringLiteral("frmAduanaAct"), [](QDialog& d) {
        auto* names = in<QComboBox>(d, "cmbAduana");
        names->setCurrentIndex(names->findText(QStringLiteral("VERACRUZ, VER.")));
        press(d, "cmdAceptar");
        return d.result();
    });
    w.script.onDialog(QStringLiteral("frmApoderado"), [&w, editing, req](QDialog& d) {
        const qsizetype told = w.script.shown.size();
        in<QLineEdit>(d, "txtNombre")->setText(QStringLiteral("ROSA MARIA"));
        if (editing) {
            press(d, "cmdNuevaAduana");
        } else {
            in<QLineEdit>(d, "txtApPaterno")->setText(QStringLiteral("PAZ"));
            in<QLineEdit>(d, "txtApMaterno")->setText(QStringLiteral("GIL"));
            in<QLineEdit>(d, "txtCURP")->setText(QStringLiteral("PAGE810202MDFZLV02"));
            in<QLineEdit>(d, "txtRFC")->setText(QStringLiteral("PAGE810202AB1"));
            for (const QString& p : {QString(), QStringLiteral("Fiscal")}) {
                const auto f = [&](const char* n) {
                    return in<QLineEdit>(d, QByteArray("txt" + p.toLatin1() + n).constData());
                };
                f("Calle")->setText(QStringLiteral("A"));
                f("NoExt")->setText(QStringLiteral("1"));
                f("Colonia")->setText(QStringLiteral("B"));
                f("CP")->setText(QStringLiteral("06000"));
                f("Telefono")->setText(QStringLiteral("1"));
                f("Fax")->setText(QStringLiteral("2"));
                auto* e = in<QComboBox>(d, QByteArray("cmb" + p.toLatin1() + "EntFed").constData());
                e->setCurrentIndex(e->findText(QStringLiteral("Ciudad de México")));
                auto* m = in<QComboBox>(d, QByteArray("cmb" + p.toLatin1() + "MDeleg").constData());
                m->setCurrentIndex(m->findText(QStringLiteral("Cuauhtémoc")));
            }
            in<QComboBox>(d, "cmbMandato")->setCurrentIndex(1);
            w.script.chooseFile(req);
            press(d, "cmdBuscar");
            in<QRadioButton>(d, "optSi")->setChecked(true);
            in<QRadioButton>(d, "optNTCL")->setChecked(true);
        }
        // Told of a failure on the way (the office dialog), a person does
        // not accept what is left: Cancelar.
        if (w.script.shown.size() == told)
            press(d, "cmdAceptar");
        if (d.result() != QDialog::Accepted)
            press(d, "cmdCancelar");
        return d.result();
    });
    if (editing)
        choose(w, "fgAA");
    w.cmd(editing ? "cmdEditar" : "cmdNuevo")->click();
}

struct Action {
    const char* name;
    ProgramDir::Kind kind;
    std::function<void(Wizard&)> prepare; // not under test
    std::function<void(Wizard&)> act;     // the user's action
};

const QList<Action>& actions() {
    static const QList<Action> a = {
        {"Siguiente en la página 1", ProgramDir::Kind::Delivered,
         [](Wizard& w) {
             w.start();
             w.fillPage1(0);
         },
         [](Wizard& w) { w.next(); }},
        {"Siguiente en la página 2", ProgramDir::Kind::Delivered,
         [](Wizard& w) {
             w.start();
             w.fillPage1(2);
             w.next();
             w.choose("cmbAduana1", QStringLiteral("ACAPULCO, GRO."));
             w.fillAddress(QStringLiteral("V1"));
             w.choose("cmbAduana2", QStringLiteral("AGUA PRIETA, SON."));
             w.fillAddress(QStringLiteral("V2"), QStringLiteral("NORTE"));
         },
         [](Wizard& w) { w.next(); }},
        {"actualización del esquema 3.0", ProgramDir::Kind::Version30,
         [](Wizard& w) {
             sql(w, QStringLiteral("insert into AA values (3001,'JUAN','PEREZ','LOPEZ',"
                                   "'PELJ700101AB1','PELJ700101HDFRPN09',0,470)"));
         },
         startWindow},
        {"importación de la versión anterior", ProgramDir::Kind::Delivered, writeDump, startWindow},
        {"archivo de información, copias y firma", ProgramDir::Kind::Delivered,
         [](Wizard& w) {
             writeWholeFile(w.dir.path() + QStringLiteral("/PELJ700101AB1.key"),
                            llave().encryptedPrivate("clave", false));
             storeRepresentative(w);
             storeAgent(*w.dir.open());
             w.start();
             w.fillPage1(0);
             w.next();
         },
         finish},
        {"editor de representante, nuevo (Aceptar)", ProgramDir::Kind::Delivered,
         representativeScene, [](Wizard& w) { representativeEditor(w, false); }},
        {"editor de representante, cambios (Aceptar)", ProgramDir::Kind::Delivered,
         representativeScene, [](Wizard& w) { representativeEditor(w, true); }},
        {"Borrar en la página 3", ProgramDir::Kind::Delivered, representativeScene,
         [](Wizard& w) {
             choose(w, "fgAA");
             w.cmd("cmdBorrar")->click();
         }},
        {"editor de agente histórico (Aceptar)", ProgramDir::Kind::Delivered, historyScene,
         [](Wizard& w) { historicAgent(w, false); }},
        {"periodo del agente en el editor", ProgramDir::Kind::Delivered, historyScene,
         [](Wizard& w) { historicAgent(w, true); }},
        {"Borrar en la página 4", ProgramDir::Kind::Delivered, historyScene,
         [](Wizard& w) {
             choose(w, "fgDatosAA");
             w.cmd("cmdAABorrar")->click();
         }},
        {"periodo del mandatario", ProgramDir::Kind::Delivered, historyScene,
         [](Wizard& w) {
             choose(w, "fgMandatarios");
             answerPeriod(w, "frmPeriodo_Mandatario");
             w.cmd("cmdMandNuevo")->click();
         }},
        {"Borrar en la página 5", ProgramDir::Kind::Delivered, historyScene,
         [](Wizard& w) {
             choose(w, "fgMandatarios");
             choose(w, "fgPeriodosMandatario");
             w.cmd("cmdMandBorrar")->click();
         }},
        {"sin histórico del agente", ProgramDir::Kind::Delivered, historyScene,
         [](Wizard& w) { declareNoHistory(w, "cmdSinHistAA"); }},
        {"sin histórico de un mandatario", ProgramDir::Kind::Delivered, historyScene,
         [](Wizard& w) { declareNoHistory(w, "cmdSinHistMM"); }},
    };
    return a;
}

struct Run {
    State before, after, retried;
    QStringList messages;
    bool fired = false;
};

// One run of the action; k = 0 counts its operations without failing any.
Run runAt(const Action& a, int k, int* operations = nullptr) {
    Wizard w(a.kind);
    a.prepare(w);
    Run r;
    r.before = stateOf(w);
    w.script.shown.clear();
    faultpoint::arm(k);
    a.act(w);
    if (operations)
        *operations = faultpoint::seen();
    r.fired = faultpoint::fired();
    faultpoint::disarm();
    r.after = stateOf(w);
    r.messages = w.messages();
    if (k > 0 && r.after == r.before) {
        // The window still works: the same action, without the failure.
        w.script.shown.clear();
        a.act(w);
        r.retried = stateOf(w);
    }
    return r;
}

} // namespace

class TstFallas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyPositionOfEveryAction();
};

void TstFallas::everyPositionOfEveryAction() {
    QStringList broken, figures;
    for (const Action& a : actions()) {
        int n = 0;
        const Run clean = runAt(a, 0, &n);
        QVERIFY2(n > 0 && clean.before != clean.after,
                 qPrintable(a.name + QStringLiteral(": ") + clean.messages.join(u'/')));
        int held = 0;
        for (int k = 1; k <= n; ++k) {
            const Run r = runAt(a, k);
            const State& after = r.after;
            QStringList why;
            if (!r.fired)
                why << QStringLiteral("la falla no llegó");
            // Told: something beyond what a clean run says.
            QStringList nuevos = r.messages;
            for (const QString& m : clean.messages)
                nuevos.removeOne(m);
            if (nuevos.isEmpty())
                why << QStringLiteral("no se avisó");
            const bool untouched = after == r.before;
            const bool complete = after == clean.after;
            if (!untouched && !complete)
                why << QStringLiteral("quedó a medias");
            if (untouched && r.messages.filter(QStringLiteral("correctamente")).size() > 0)
                why << QStringLiteral("se anunció éxito sin hacerlo");
            if (untouched && r.retried != clean.after)
                why << QStringLiteral("al repetir no quedó como en una corrida limpia") +
                           (r.retried.db != clean.after.db
                                ? QStringLiteral(" (base)")
                                : QStringLiteral(" (ENVIO: %1)")
                                      .arg(r.retried.files.keys().join(u',')));
            if (why.isEmpty())
                ++held;
            else
                broken << QStringLiteral("%1, posición %2: %3 [%4]")
                              .arg(QString::fromUtf8(a.name))
                              .arg(k)
                              .arg(why.join(QStringLiteral(", ")),
                                   nuevos.join(QStringLiteral(" / ")));
        }
        figures << QStringLiteral("%1: %2 posiciones inyectadas / %3 resistieron")
                       .arg(QString::fromUtf8(a.name))
                       .arg(n)
                       .arg(held);
    }
    for (const QString& f : figures)
        qInfo("%s", qPrintable(f));
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
}

QTEST_MAIN(TstFallas)
#include "tst_fallas.moc"
