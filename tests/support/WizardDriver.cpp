#include "support/WizardDriver.h"

#include "dialogs/FindingsDialog.h"
#include "dialogs/frmAduanaAct.h"
#include "dialogs/frmAgentes_Aduanales.h"
#include "dialogs/frmApoderado.h"
#include "dialogs/frmDudas.h"
#include "dialogs/frmInicio.h"
#include "dialogs/frmKey.h"
#include "dialogs/frmPedTramitados.h"
#include "dialogs/frmPeriodo_Agente.h"
#include "dialogs/frmPeriodo_Mandatario.h"
#include "dialogs/frmSinHIstorico.h"

QString showing(const QObject& form, const QStringList& names) {
    QStringList out;
    for (const QString& name : names) {
        const QWidget* w = named(form, name);
        if (auto* e = qobject_cast<const QLineEdit*>(w))
            out << e->text();
        else if (auto* l = qobject_cast<const QLabel*>(w))
            out << l->text();
        else if (auto* c = qobject_cast<const QComboBox*>(w))
            out << c->currentText();
        else if (auto* t = qobject_cast<const QTableWidget*>(w))
            out << QString::number(t->rowCount());
        else if (auto* r = qobject_cast<const QRadioButton*>(w))
            out << QString::number(int(r->isChecked()));
        else if (qobject_cast<const QPushButton*>(w))
            out << QString::number(int(w->isEnabled()));
        else
            out << QString::number(int(!w->isHidden()));
    }
    return out.join(u'|');
}

void fillAddress(const QObject& form, const QString& prefix, const QString& street) {
    const QList<std::pair<const char*, QString>> texts{
        {"Calle", street}, {"NoExt", QStringLiteral("10")}, {"Colonia", "CENTRO"},
        {"CP", "06000"},   {"Telefono", "555 12 34"},       {"Fax", "555 12 35"}};
    for (const auto& [field, value] : texts)
        setValue(form, QStringLiteral("txt") + prefix + QLatin1String(field), value);
    setValue(form, QStringLiteral("cmb%1EntFed").arg(prefix), QStringLiteral("Ciudad de México"));
    setValue(form, QStringLiteral("cmb%1MDeleg").arg(prefix), QStringLiteral("Cuauhtémoc"));
}

void answerDialog(seam::Script& s, const QString& dialog,
                  const QList<std::pair<QString, QString>>& texts, const QStringList& buttons) {
    s.onDialog(dialog, [texts, buttons](QDialog& d) {
        for (const auto& [field, value] : texts)
            setValue(d, field, value);
        for (const QString& b : buttons)
            if (d.result() != QDialog::Accepted)
                press(d, b);
        return d.result();
    });
}

void answerPeriod(seam::Script& s, const QString& dialog, const QString& office, QDate start,
                  QDate end, const QString& patent) {
    QList<std::pair<QString, QString>> values{{"cmbAduana", office},
                                              {"dtpIni", start.toString("dd/MM/yyyy")},
                                              {"dtpFin", end.toString("dd/MM/yyyy")}};
    if (dialog == QLatin1String("frmPeriodo_Mandatario"))
        values.append({"txtPatente", patent});
    answerDialog(s, dialog, values, {"cmdAceptar", "cmdCancelar"});
}

void walkChecks(QWidget& form, seam::Script& s, const std::function<void()>& submit,
                const QList<Check>& checks) {
    for (const Check& c : checks) {
        if (!c.fix || !c.bad.isEmpty())
            setValue(form, c.field, c.bad);
        s.shown.clear();
        submit();
        QCOMPARE(s.lastText(), c.message);
        QCOMPARE(s.shown.size(), 1);
        if (!c.field.isEmpty())
            QCOMPARE(form.focusWidget() ? form.focusWidget()->objectName() : QString(), c.field);
        c.fix ? c.fix() : setValue(form, c.field, c.good);
    }
}

void fillRepresentative(QDialog& d, seam::Script& s, const Person& p) {
    for (const auto& [field, value] : {std::pair{"txtNombre", p.name},
                                       {"txtApPaterno", p.paternal},
                                       {"txtApMaterno", p.maternal},
                                       {"txtCURP", p.curp},
                                       {"txtRFC", p.rfc}})
        setValue(d, field, value);
    fillAddress(d, QString());
    fillAddress(d, QStringLiteral("Fiscal"));
    named<QComboBox>(d, "cmbMandato")->setCurrentIndex(p.type - 1);
    s.chooseFile(p.requirement);
    press(d, "cmdBuscar");
    named<QRadioButton>(d, "optSi")->setChecked(true);
    if (p.type == 2)
        named<QRadioButton>(d, "optNTCL")->setChecked(true);
}

Wizard::Wizard(ProgramDir::Kind kind) : dir(kind) {
    state.dataDir = dir.path();
    state.dumpToolDir = dir.path();
    state.previousVersionDir = dir.path() + QStringLiteral("/no-existe");
}

void Wizard::fillPage1(int offices) {
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

void Wizard::fillOffices(int offices) {
    const QStringList names{"NUEVO LAREDO, TAMPS.", "VERACRUZ, VER.", "MANZANILLO, COL."};
    for (int i = 1; i <= offices; ++i) {
        choose(QByteArray("cmbAduana") + QByteArray::number(i), names[i - 1]);
        fillAddress(QStringLiteral("V%1").arg(i), QStringLiteral("CALLE %1").arg(i));
    }
}

void Wizard::withDialog(const char* dialog, const char* button,
                        std::function<void(QDialog&)> body) {
    script.onDialog(QLatin1String(dialog), [body](QDialog& d) {
        body(d);
        return d.result();
    });
    cmd(button)->click();
}

QStringList Wizard::messages() const {
    QStringList t;
    for (const seam::Shown& s : script.shown)
        t << s.text;
    return t;
}

void storeHistory(Database& db, const QString& folder, bool history) {
    for (const char* rfc : {"MODL800101AB1", "PAGE810202AB1"})
        writeWholeFile(QDir(folder).filePath(QLatin1String(rfc) + QStringLiteral(".req")), "req");
    runScene(db, QStringLiteral("representatives.sql"), folder);
    if (history)
        runScene(db, QStringLiteral("earlier-history.sql"), folder);
}

void goOnToTheKey(seam::Script& s) {
    s.onDialog(QStringLiteral("FindingsDialog"), [](QDialog& d) {
        press(d, QStringLiteral("cmdContinuar"));
        return d.result();
    });
}

void answerKey(seam::Script& s, const QString& keyFile, const QString& password) {
    s.onDialog(QStringLiteral("frmKey"), [&s, keyFile, password](QDialog& d) {
        s.chooseFile(keyFile);
        press(d, QStringLiteral("cmdBuscar"));
        setValue(d, QStringLiteral("txtPassword"), password);
        press(d, QStringLiteral("cmdAceptar"));
        return d.result();
    });
}

std::unique_ptr<AnyWindow> openWindow(const QString& name, Database& db) {
    auto w = std::make_unique<AnyWindow>();
    const QStringList someone{"LUIS", "MORA", "DIAZ", Luis, "MODL800101AB1"};
    if (name == u"frmMain")
        w->window = std::make_unique<frmMain>(w->state);
    else if (name == u"frmInicio")
        w->window = std::make_unique<frmInicio>();
    else if (name == u"frmDudas")
        w->window = std::make_unique<frmDudas>(Contact{});
    else if (name == u"frmKey")
        w->window = std::make_unique<frmKey>(QStringLiteral("PELJ700101AB1"), QString(),
                                             w->state.keyFolderSetting);
    else if (name == u"FindingsDialog")
        w->window =
            std::make_unique<FindingsDialog>(QList<Problem>{{WizardPage::Agent,
                                                             {},
                                                             {},
                                                             QStringLiteral("Falta el nombre"),
                                                             QStringLiteral("Escríbalo"),
                                                             true}});
    else if (name == u"frmSinHIstorico")
        w->window = std::make_unique<frmSinHIstorico>(db, QStringLiteral("No tiene"), std::nullopt);
    else if (name == u"frmApoderado")
        w->window = std::make_unique<frmApoderado>(db, EditMode::New, QString());
    else if (name == u"frmAduanaAct")
        w->window = std::make_unique<frmAduanaAct>(db, &w->acted);
    else if (name == u"frmPedTramitados")
        w->window = std::make_unique<frmPedTramitados>(db, &w->acted, &w->declared);
    else if (name == u"frmAgentes_Aduanales")
        w->window = std::make_unique<frmAgentes_Aduanales>(db, EditMode::New, QStringList());
    else if (name == u"frmPeriodo_Agente")
        w->window = std::make_unique<frmPeriodo_Agente>(db);
    else if (name == u"frmPeriodo_Mandatario")
        w->window = std::make_unique<frmPeriodo_Mandatario>(db, someone);
    else
        qFatal("no window %s", qPrintable(name));
    return w;
}
