// Every user action that writes, made to fail at each of its statements and
// file steps in turn: the database and ENVIO must stay as they were (or, for
// a failure after the work was kept, be exactly what a clean run leaves),
// the user must be told, and the same action must then work. Then the
// heavy-writing tool killed (SIGKILL) at random moments of a large save: the
// database still opens, passes the engine's integrity check and holds what
// one whole write leaves, or nothing. KESTRO_KILLS sets how many kills
// (three by default).
#include "data/FaultPoint.h"
#include "support/WizardDriver.h"

namespace {

struct State {
    QString db;
    QMap<QString, QByteArray> files; // under ENVIO
    bool operator==(const State&) const = default;
};

// Each run has its own folder; stored paths (native on Windows) are compared
// without it.
State stateOf(Wizard& w) {
    State s{dumpAll(*w.dir.open())
                .replace(w.dir.path(), QStringLiteral("<folder>"))
                .replace(QDir::toNativeSeparators(w.dir.path()), QStringLiteral("<folder>")),
            {}};
    s.files = filesUnder(w.dir.path() + QStringLiteral("/ENVIO"));
    return s;
}

// Page 3 with Rosa; an earlier signed file and copy already in ENVIO.
void officeScene(Wizard& w) {
    storeOffice(*w.dir.open(), w.dir.path());
    QDir().mkpath(w.dir.path() + QStringLiteral("/ENVIO"));
    writeWholeFile(w.dir.path() + QStringLiteral("/ENVIO/3001.txt"), "archivo firmado anterior");
    writeWholeFile(w.dir.path() + QStringLiteral("/ENVIO/GAMR800202XY2.req"), "copia");
    writeWholeFile(w.dir.path() + QStringLiteral("/ENVIO/nota.txt"), "del agente");
    w.start();
}

// Pages 4 and 5 with one earlier representative (an edit may move him in
// the list); Luis with a period elsewhere.
void historyScene(Wizard& w) {
    auto db = w.dir.open();
    storeHistory(*db, w.dir.path(), true);
    must(*db, "delete from Historico_AA where CURP<>?", {Hist});
    must(*db, "delete from Periodos_H_AA where CURP<>?", {Hist});
    must(*db, "insert into Periodos_H_MM values (?,200,3001,'2001-01-01','2002-02-02')", {Luis});
    w.start();
}

// A dialog answered by `fill`, then Aceptar; Cancelar when refused.
void accepting(Wizard& w, const char* dialog, std::function<void(QDialog&)> fill) {
    w.script.onDialog(QLatin1String(dialog), [fill](QDialog& d) {
        fill(d);
        press(d, "cmdAceptar");
        if (d.result() != QDialog::Accepted)
            press(d, "cmdCancelar");
        return d.result();
    });
}

void period(Wizard& w, const char* dialog) {
    answerPeriod(w.script, QLatin1String(dialog), "VERACRUZ, VER.", QDate(2003, 10, 10),
                 QDate(2003, 10, 11));
}

void sinHistorico(Wizard& w) {
    answerDialog(w.script, "frmSinHIstorico", {}, {"cmdAceptar"});
}

// The user's action: the dialogs it opens answered, the first row of `list`
// chosen, `button` pressed; with no button, a start-up (where the upgrade
// and the import happen).
struct Action {
    const char* name;
    ProgramDir::Kind kind;
    std::function<void(Wizard&)> prepare; // not under test
    std::function<void(Wizard&)> answer;
    const char* list;
    const char* button;
    void act(Wizard& w) const {
        if (answer)
            answer(w);
        if (list)
            w.pick(list, 0);
        if (button)
            w.cmd(button)->click();
        else
            (w.window = std::make_unique<frmMain>(w.state))->startUp();
    }
};

void onPage1(Wizard& w) {
    w.start();
    w.fillPage1(2);
}

void onPage2(Wizard& w) {
    onPage1(w);
    w.next();
    w.fillOffices(2);
}

void version30(Wizard& w) {
    must(*w.dir.open(), "insert into AA values (3001,'JUAN','PEREZ','LOPEZ','PELJ700101AB1',"
                        "'PELJ700101HDFRPN09',0,470)");
}

void previousVersion(Wizard& w) {
    w.state.previousVersionDir = w.dir.path() + QStringLiteral("/anterior");
    QDir().mkpath(w.state.previousVersionDir);
    QFile::copy(fixture("Recupera.txt"), w.state.previousVersionDir + "/Recupera.txt");
}

const auto Delivered = ProgramDir::Kind::Delivered;
const QList<Action> actions{
    {"Next on page 1", Delivered, onPage1, {}, nullptr, "cmdSiguiente"},
    {"Next on page 2", Delivered, onPage2, {}, nullptr, "cmdSiguiente"},
    {"upgrade of a 3.0 file", ProgramDir::Kind::Version30, version30, {}, nullptr, nullptr},
    {"import of the previous version", Delivered, previousVersion, {}, nullptr, nullptr},
    {"information file, copies and signature", Delivered,
     [](Wizard& w) {
         QFile::copy(fixture("keys/rsa.key"), w.dir.path() + QStringLiteral("/PELJ700101AB1.key"));
         officeScene(w);
         w.fillPage1(0);
         w.next();
     },
     [](Wizard& w) {
         goOnToTheKey(w.script);
         accepting(w, "frmKey", [&w](QDialog& d) {
             w.script.chooseFile(w.dir.path() + QStringLiteral("/PELJ700101AB1.key"));
             press(d, "cmdBuscar");
             setValue(d, "txtPassword", "clave");
         });
     },
     nullptr, "cmdSiguiente"},
    {"representative editor, new", Delivered, officeScene,
     [](Wizard& w) {
         const QString req = w.dir.path() + QStringLiteral("/PAGE810202AB1.req");
         writeWholeFile(req, "req");
         accepting(w, "frmApoderado", [&w, req](QDialog& d) {
             fillRepresentative(d, w.script, {"EVA", "PAZ", "GIL", Eva, "PAGE810202AB1", 2, req});
         });
     },
     nullptr, "cmdNuevo"},
    {"representative editor, changes", Delivered, officeScene,
     [](Wizard& w) {
         answerDialog(w.script, "frmAduanaAct", {{"cmbAduana", "VERACRUZ, VER."}}, {"cmdAceptar"});
         w.script.onDialog("frmApoderado", [&w](QDialog& d) {
             const qsizetype told = w.script.shown.size();
             setValue(d, "txtNombre", "ROSA MARIA");
             press(d, "cmdNuevaAduana");
             // Told of a failure on the way, a person does not accept the rest.
             press(d, w.script.shown.size() > told ? "cmdCancelar" : "cmdAceptar");
             if (d.result() != QDialog::Accepted)
                 press(d, "cmdCancelar");
             return d.result();
         });
     },
     "fgAA", "cmdEditar"},
    {"Delete on page 3", Delivered, officeScene, {}, "fgAA", "cmdBorrar"},
    {"historic agent editor, new", Delivered, historyScene,
     [](Wizard& w) {
         period(w, "frmPeriodo_Agente");
         accepting(w, "frmAgentes_Aduanales", [](QDialog& d) {
             for (auto [f, v] : {std::pair{"txtNombre", "PEDRO"},
                                 {"txtApPaterno", "NAVA"},
                                 {"txtApMaterno", "ORTA"},
                                 {"txtRFC", "NAOP800101AB1"}})
                 setValue(d, f, v);
             press(d, "cmdNuevo");
         });
     },
     nullptr, "cmdAANuevo"},
    {"agent period in the editor", Delivered, historyScene,
     [](Wizard& w) {
         period(w, "frmPeriodo_Agente");
         accepting(w, "frmAgentes_Aduanales", [](QDialog& d) { press(d, "cmdNuevo"); });
     },
     "fgDatosAA", "cmdAAEditar"},
    {"Delete on page 4", Delivered, historyScene, {}, "fgDatosAA", "cmdAABorrar"},
    {"representative period", Delivered, historyScene,
     [](Wizard& w) { period(w, "frmPeriodo_Mandatario"); }, "fgMandatarios", "cmdMandNuevo"},
    {"Delete on page 5", Delivered, historyScene, [](Wizard& w) { w.pick("fgMandatarios", 0); },
     "fgPeriodosMandatario", "cmdMandBorrar"},
    {"agent without history", Delivered, historyScene, sinHistorico, nullptr, "cmdSinHistAA"},
    {"representative without history", Delivered, historyScene, sinHistorico, "fgMandatarios",
     "cmdSinHistMM"},
};

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

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyPosition_data();
    void everyPosition();
    void killedHalfWay();
};

void TestFaults::everyPosition_data() {
    QTest::addColumn<int>("action");
    for (int i = 0; i < actions.size(); ++i)
        QTest::newRow(actions[i].name) << i;
}

void TestFaults::everyPosition() {
    QFETCH(int, action);
    const Action& a = actions.at(action);
    int n = 0;
    const Run clean = runAt(a, 0, &n);
    QVERIFY2(n > 0 && clean.before != clean.after, qPrintable(clean.messages.join(u'/')));
    QStringList broken;
    for (int k = 1; k <= n; ++k) {
        const Run r = runAt(a, k);
        QStringList why;
        if (!r.fired)
            why << QStringLiteral("the fault never came");
        // Told: something beyond what a clean run says.
        QStringList told = r.messages;
        for (const QString& m : clean.messages)
            told.removeOne(m);
        if (told.isEmpty())
            why << QStringLiteral("not told");
        const bool untouched = r.after == r.before;
        if (!untouched && r.after != clean.after)
            why << QStringLiteral("left half-done");
        if (untouched && !r.messages.filter(QStringLiteral("correctamente")).isEmpty())
            why << QStringLiteral("success told, nothing done");
        if (untouched && r.retried != clean.after)
            why << QStringLiteral("the retry did not end as a clean run does");
        if (!why.isEmpty())
            broken << QStringLiteral("position %1: %2 [%3]")
                          .arg(k)
                          .arg(why.join(QStringLiteral(", ")), told.join(QStringLiteral(" / ")));
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
}

// Killed at random moments while saving page 1 400 times in a row: the file
// is sound and holds no write or one whole write (the counts of AA,
// Domicilios_AA and Mandatarios, and of distinct marks a save leaves).
void TestFaults::killedHalfWay() {
    const QStringList whole{"0|0|0|0", "1|3|0|1"};
    const auto run = [&](const QString& db, int ms) {
        QProcess p;
        p.start(QStringLiteral(KESTRO_CARGA),
                {QStringLiteral("guarda"), db, QStringLiteral("400")});
        if (!p.waitForFinished(ms)) {
            p.kill();
            p.waitForFinished();
        }
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    QElapsedTimer t;
    t.start();
    QVERIFY(run(ProgramDir().dbPath(), 60000));
    const int total = int(t.elapsed());
    for (int i = 0; i < qMax(3, qEnvironmentVariableIntValue("KESTRO_KILLS")); ++i) {
        ProgramDir pd;
        // Up to a quarter past a whole run, so some runs finish.
        run(pd.dbPath(), int(QRandomGenerator::global()->bounded(total * 5 / 4 + 1)));
        auto db = pd.open();
        QCOMPARE(dump(*db, "pragma integrity_check"), QStringLiteral("ok"));
        const QString counts =
            dump(*db, "select (select count(*) from AA), (select count(*) from Domicilios_AA), "
                      "(select count(*) from Mandatarios), (select count(distinct substr(Nombre,"
                      "1,1) || Calle || Colonia || Fax) from AA, Domicilios_AA)");
        QVERIFY2(whole.contains(counts), qPrintable(counts));
    }
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
