// Hostile text, typed and pasted, into every entry field of the agent's
// pages: each value is either stored exactly as the field shows it or
// refused with a message, and the information file keeps its layout.
#include "entry/KeystrokeFilter.h"
#include "exchange/InformationFile.h"
#include "rules/SafeText.h"
#include "support/TestKey.h"
#include "support/WizardDriver.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QTableWidget>

namespace {

struct Hostil {
    const char* name;
    QString text;
};

QList<Hostil> hostiles() {
    return {{"apóstrofo", QStringLiteral("O'HIGGINS")},
            {"comillas", QStringLiteral("EL \"GÜERO\"")},
            {"punto y coma", QStringLiteral("A; B")},
            {"comentario", QStringLiteral("X -- Y")},
            {"DROP TABLE", QStringLiteral("'); DROP TABLE AA; --")},
            {"separador", QStringLiteral("A|B")},
            {"CR", QStringLiteral("A\rB")},
            {"LF", QStringLiteral("A\nB")},
            {"tabulador", QStringLiteral("A\tB")},
            {"NUL", QStringLiteral("A") + QChar(0) + QStringLiteral("B")},
            {"10 000 caracteres", QString(10000, u'W')},
            {"emoji", QStringLiteral("A😀B")},
            {"CJK", QStringLiteral("中文")},
            {"acento combinado", QStringLiteral("JOSE\u0301")}};
}

// Key by key, each carrying its text.
void type(QLineEdit* field, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void paste(QLineEdit* field, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keySequence(field, QKeySequence::Paste);
}

// The numbers of fields each record kind may have (a row, or the "No
// Aplica" filler of an empty table), from files written without hostile
// values.
using Layout = QMultiMap<QByteArray, int>;
Layout layoutOf(const QByteArray& file, Layout widths = {}) {
    for (const QByteArray& line : file.split('\n'))
        if (!line.isEmpty()) {
            const QByteArray tag = line.left(line.indexOf('|'));
            if (!widths.contains(tag, int(line.count('|'))))
                widths.insert(tag, int(line.count('|')));
        }
    return widths;
}

bool sameLayout(const QByteArray& file, const Layout& widths) {
    for (const QByteArray& line : file.split('\n')) {
        if (line.isEmpty())
            continue;
        if (!line.endsWith('\r') || line.count('\r') != 1)
            return false;
        const QByteArray tag = line.left(line.indexOf('|'));
        if (!widths.contains(tag, int(line.count('|'))))
            return false;
    }
    return true;
}

void fillPage2(Wizard& w) {
    const QStringList offices{QStringLiteral("ACAPULCO, GRO."), QStringLiteral("AGUA PRIETA, SON."),
                              QStringLiteral("SUBTENIENTE LOPEZ, Q. ROO.")};
    for (int i = 0; i < 3; ++i) {
        w.choose(QByteArray("cmbAduana") + QByteArray::number(i + 1), offices[i]);
        w.fillAddress(QStringLiteral("V") + QString::number(i + 1));
    }
}

// Back on page 1 with valid data; on page 2 as well when asked.
void reachPage(Wizard& w, int page) {
    while (!w.pageShown("frAA"))
        w.back();
    w.fillPage1(3);
    if (page == 2) {
        w.next();
        fillPage2(w);
    }
}

} // namespace

// Checks one hostile value in one field and tallies the outcome.
struct Tally {
    int tried = 0, held = 0, stored = 0;
    QStringList broken;
    void add(const QString& what, const QString& why, bool saved) {
        ++tried;
        if (why.isEmpty()) {
            ++held;
            stored += saved;
        } else {
            broken << what + QStringLiteral(": ") + why;
        }
    }
};

template <class T = QWidget> T* in(QDialog& d, const char* name) {
    T* found = d.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

class TstEntrada : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hostileTextIsStoredAsShownOrRefused();
    void hostileTextInTheHistoryDialogs();
    void hostileTextInTheRepresentativeEditor();
};

void TstEntrada::hostileTextIsStoredAsShownOrRefused() {
    Wizard w;
    storeAgent(*w.dir.open());
    w.start();
    reachPage(w, 2);
    w.next();
    QVERIFY(w.pageShown("frApoderado"));
    auto db = w.dir.open();
    const auto clean = buildInformationFile(*db, QStringLiteral("3001"));
    QVERIFY(clean);
    const Layout widths = layoutOf(clean->bytes);

    QList<std::pair<int, QLineEdit*>> fields;
    for (int page : {1, 2})
        for (QLineEdit* f : w.w(page == 1 ? "frAA" : "frDirValidAA")->findChildren<QLineEdit*>())
            if (f->objectName() != QLatin1String("txtAutorizacion")) // never shown
                fields.append({page, f});
    QVERIFY(fields.size() >= 40);

    int tried = 0, held = 0, stored = 0;
    QStringList broken;
    for (const auto& [page, field] : fields)
        for (const Hostil& h : hostiles())
            for (const bool typed : {true, false}) {
                ++tried;
                reachPage(w, page);
                field->clear();
                typed ? type(field, h.text) : paste(field, h.text);
                const QString shown = field->text();
                w.script.shown.clear();
                w.next();
                const bool saved = !w.pageShown(page == 1 ? "frAA" : "frDirValidAA");
                QString why;
                if (!isSafeText(shown))
                    why = QStringLiteral("el campo muestra texto que el archivo no admite");
                else if (!saved && w.script.shown.isEmpty())
                    why = QStringLiteral("no se guardó y no se dijo por qué");
                if (saved && why.isEmpty()) {
                    ++stored;
                    w.window->Inicializa_datos();
                    const auto file = buildInformationFile(*db, QStringLiteral("3001"));
                    why = file.why();
                    if (field->text() != shown)
                        why = QStringLiteral("se guardó \"%1\" y se mostraba \"%2\"")
                                  .arg(field->text().left(40), shown.left(40));
                    else if (!file || !sameLayout(file->bytes, widths))
                        why = QStringLiteral("el archivo de información quedó dañado ") + why;
                }
                if (why.isEmpty())
                    ++held;
                else
                    broken << QStringLiteral("%1, %2 %3: %4")
                                  .arg(field->objectName(), QString::fromUtf8(h.name),
                                       typed ? QStringLiteral("tecleado")
                                             : QStringLiteral("pegado"),
                                       why);
            }
    qInfo("%d pares campo × entrada probados, %d resistieron (%d guardados tal como se "
          "mostraban, los demás rechazados con un mensaje)",
          tried, held, stored);
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
    QVERIFY(stored > tried / 3); // most hostile text is kept, cleaned, not refused
}

void TstEntrada::hostileTextInTheHistoryDialogs() {
    Wizard w;
    storeAgent(*w.dir.open());
    auto db = w.dir.open();
    // A representative under rule 2.13.11 brings the history into the file.
    db->exec(QStringLiteral("insert into Mandatarios values ('PAGE810202MDFZLV02','R','EVA',"
                            "'PAZ','GIL',2,'x.req',1,1,0)"));
    w.start();
    // The history sections with and without rows.
    const auto empty = buildInformationFile(*db, QStringLiteral("3001"));
    db->exec(QStringLiteral("insert into Historico_AA values ('R','C','N','P','M')"));
    db->exec(
        QStringLiteral("insert into Periodos_H_AA values ('C',470,'2001-01-01','2001-02-02')"));
    db->exec(QStringLiteral("insert into Periodos_H_MM values ('C',470,12,'2001-01-01',"
                            "'2001-02-02')"));
    const auto full = buildInformationFile(*db, QStringLiteral("3001"));
    for (const char* t : {"Historico_AA", "Periodos_H_AA", "Periodos_H_MM"})
        db->exec(QStringLiteral("delete from %1").arg(QLatin1String(t)));
    QVERIFY(empty && full);
    const Layout widths = layoutOf(full->bytes, layoutOf(empty->bytes));
    const auto fileIntact = [&] {
        const auto file = buildInformationFile(*db, QStringLiteral("3001"));
        return file && sameLayout(file->bytes, widths);
    };
    Tally t;

    // The historic agent editor: its five fields, each column read back.
    const QList<std::pair<const char*, int>> agentFields{
        {"txtRFC", 0}, {"txtCURP", 1}, {"txtNombre", 2}, {"txtApPaterno", 3}, {"txtApMaterno", 4}};
    for (const auto& [name, column] : agentFields)
        for (const Hostil& h : hostiles())
            for (const bool typed : {true, false}) {
                QString shown;
                w.script.shown.clear();
                w.script.onDialog(QStringLiteral("frmPeriodo_Agente"), [](QDialog& d) {
                    in<QComboBox>(d, "cmbAduana")->setCurrentIndex(1);
                    in<QPushButton>(d, "cmdAceptar")->click();
                    return d.result();
                });
                w.script.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&](QDialog& d) {
                    in<QLineEdit>(d, "txtNombre")->setText(QStringLiteral("PEDRO"));
                    in<QLineEdit>(d, "txtApPaterno")->setText(QStringLiteral("NAVA"));
                    in<QLineEdit>(d, "txtApMaterno")->setText(QStringLiteral("ORTA"));
                    in<QLineEdit>(d, "txtRFC")->setText(QStringLiteral("NAOP800101AB1"));
                    QLineEdit* field = in<QLineEdit>(d, name);
                    field->clear();
                    typed ? type(field, h.text) : paste(field, h.text);
                    shown = field->text();
                    in<QPushButton>(d, "cmdNuevo")->click();
                    in<QPushButton>(d, "cmdAceptar")->click();
                    if (d.result() != QDialog::Accepted)
                        in<QPushButton>(d, "cmdCancelar")->click();
                    return d.result();
                });
                w.cmd("cmdAANuevo")->click();
                const QList<QVariantList> stored =
                    rows(*db, QStringLiteral("select * from Historico_AA"));
                QString why;
                if (!isSafeText(shown))
                    why = QStringLiteral("muestra texto que el archivo no admite");
                else if (stored.isEmpty() && w.script.shown.isEmpty())
                    why = QStringLiteral("no se guardó y no se dijo por qué");
                else if (!stored.isEmpty() && textOf(stored.first().at(column)) != shown &&
                         !(column == 1 && shown.isEmpty()))
                    why = QStringLiteral("se guardó otra cosa");
                else if (!fileIntact())
                    why = QStringLiteral("el archivo de información quedó dañado");
                t.add(QStringLiteral("%1 %2").arg(QLatin1String(name), QString::fromUtf8(h.name)),
                      why, !stored.isEmpty());
                db->exec(QStringLiteral("delete from Historico_AA"));
                db->exec(QStringLiteral("delete from Periodos_H_AA"));
            }

    // The representative's period dialog: only the patent is typed there.
    for (const Hostil& h : hostiles())
        for (const bool typed : {true, false}) {
            QString shown;
            w.script.shown.clear();
            w.script.onDialog(QStringLiteral("frmPeriodo_Mandatario"), [&](QDialog& d) {
                QLineEdit* field = in<QLineEdit>(d, "txtPatente");
                typed ? type(field, h.text) : paste(field, h.text);
                shown = field->text();
                in<QComboBox>(d, "cmbAduana")->setCurrentIndex(1);
                in<QPushButton>(d, "cmdAceptar")->click();
                if (d.result() != QDialog::Accepted)
                    in<QPushButton>(d, "cmdCancelar")->click();
                return d.result();
            });
            w.w<QTableWidget>("fgMandatarios")->setCurrentCell(-1, -1);
            w.w<QTableWidget>("fgMandatarios")->setCurrentCell(0, 0);
            w.cmd("cmdMandNuevo")->click();
            const QList<QVariantList> stored =
                rows(*db, QStringLiteral("select Patente_MM from Periodos_H_MM"));
            // A number: whatever else it shows must be refused when accepted.
            QString why;
            if (stored.isEmpty() && w.script.shown.isEmpty())
                why = QStringLiteral("no se guardó y no se dijo por qué");
            else if (!stored.isEmpty() && textOf(stored.first().at(0)) != shown)
                why = QStringLiteral("se guardó %1 y se mostraba \"%2\"")
                          .arg(textOf(stored.first().at(0)), shown.left(40));
            else if (!fileIntact())
                why = QStringLiteral("el archivo de información quedó dañado");
            t.add(QStringLiteral("txtPatente %1").arg(QString::fromUtf8(h.name)), why,
                  !stored.isEmpty());
            db->exec(QStringLiteral("delete from Periodos_H_MM"));
        }
    qInfo("%d pares campo × entrada en los diálogos del histórico, %d resistieron (%d guardados)",
          t.tried, t.held, t.stored);
    QVERIFY2(t.broken.isEmpty(), qPrintable(t.broken.join(u'\n')));
    QVERIFY(t.stored > 0);
}

void TstEntrada::hostileTextInTheRepresentativeEditor() {
    Wizard w;
    storeAgent(*w.dir.open());
    const QString req = w.dir.path() + QStringLiteral("/PAGE810202AB1.req");
    writeWholeFile(req, "req");
    auto db = w.dir.open();
    w.start();
    // The widths with and without a representative and his addresses.
    const auto baseline = buildInformationFile(*db, QStringLiteral("3001"));
    db->exec(QStringLiteral("insert into Mandatarios values ('C','R','N','P','M',2,'r',1,1,0)"));
    db->exec(QStringLiteral("insert into Domicilios_MM values ('C','09',15,'A','1','','B',"
                            "'06000','1','2',1)"));
    const auto withOne = buildInformationFile(*db, QStringLiteral("3001"));
    for (const char* table : {"Mandatarios", "Domicilios_MM"})
        db->exec(QStringLiteral("delete from %1").arg(QLatin1String(table)));
    QVERIFY(baseline && withOne);
    const Layout widths = layoutOf(withOne->bytes, layoutOf(baseline->bytes));
    // The field, and where its value is stored: table and column.
    struct Target {
        QByteArray field;
        const char* sql;
        int column;
    };
    QList<Target> targets{{"txtCURP", "select * from Mandatarios", 0},
                          {"txtRFC", "select * from Mandatarios", 1},
                          {"txtNombre", "select * from Mandatarios", 2},
                          {"txtApPaterno", "select * from Mandatarios", 3},
                          {"txtApMaterno", "select * from Mandatarios", 4}};
    const QList<std::pair<const char*, int>> address{{"Calle", 3},   {"NoExt", 4}, {"NoInt", 5},
                                                     {"Colonia", 6}, {"CP", 7},    {"Telefono", 8},
                                                     {"Fax", 9}};
    for (const char* prefix : {"", "Fiscal"})
        for (const auto& [name, column] : address)
            targets.append({QByteArray("txt") + prefix + name,
                            *prefix ? "select * from Domicilios_MM where Tipo_Dom=2"
                                    : "select * from Domicilios_MM where Tipo_Dom=1",
                            column});
    Tally t;
    for (const Target& target : targets)
        for (const Hostil& h : hostiles())
            for (const bool typed : {true, false}) {
                QString shown;
                w.script.shown.clear();
                w.script.onDialog(QStringLiteral("frmApoderado"), [&](QDialog& d) {
                    for (auto [f, v] : {std::pair{"txtNombre", "EVA"},
                                        {"txtApPaterno", "PAZ"},
                                        {"txtApMaterno", "GIL"},
                                        {"txtCURP", "PAGE810202MDFZLV02"},
                                        {"txtRFC", "PAGE810202AB1"}})
                        in<QLineEdit>(d, f)->setText(QLatin1String(v));
                    for (const char* p : {"", "Fiscal"}) {
                        for (auto [f, v] : {std::pair{"Calle", "A"},
                                            {"NoExt", "1"},
                                            {"Colonia", "B"},
                                            {"CP", "06000"},
                                            {"Telefono", "1"},
                                            {"Fax", "2"}})
                            in<QLineEdit>(d, QByteArray(QByteArray("txt") + p + f))
                                ->setText(QLatin1String(v));
                        auto* e = in<QComboBox>(d, QByteArray(QByteArray("cmb") + p + "EntFed"));
                        e->setCurrentIndex(e->findText(QStringLiteral("Ciudad de México")));
                        auto* m = in<QComboBox>(d, QByteArray(QByteArray("cmb") + p + "MDeleg"));
                        m->setCurrentIndex(m->findText(QStringLiteral("Cuauhtémoc")));
                    }
                    in<QComboBox>(d, "cmbMandato")->setCurrentIndex(1);
                    w.script.chooseFile(req);
                    in<QPushButton>(d, "cmdBuscar")->click();
                    d.findChild<QAbstractButton*>(QStringLiteral("optSi"))->setChecked(true);
                    d.findChild<QAbstractButton*>(QStringLiteral("optNTCL"))->setChecked(true);
                    QLineEdit* field = in<QLineEdit>(d, target.field);
                    field->clear();
                    typed ? type(field, h.text) : paste(field, h.text);
                    shown = field->text();
                    in<QPushButton>(d, "cmdAceptar")->click();
                    if (d.result() != QDialog::Accepted)
                        in<QPushButton>(d, "cmdCancelar")->click();
                    return d.result();
                });
                w.cmd("cmdNuevo")->click();
                const QList<QVariantList> stored = rows(*db, QLatin1String(target.sql));
                QString why;
                if (!isSafeText(shown))
                    why = QStringLiteral("muestra texto que el archivo no admite");
                else if (stored.isEmpty() && w.script.shown.isEmpty())
                    why = QStringLiteral("no se guardó y no se dijo por qué");
                else if (!stored.isEmpty() && textOf(stored.first().at(target.column)) != shown)
                    why = QStringLiteral("se guardó otra cosa");
                if (!stored.isEmpty() && why.isEmpty()) {
                    const auto file = buildInformationFile(*db, QStringLiteral("3001"));
                    if (!file || !sameLayout(file->bytes, widths))
                        why = QStringLiteral("el archivo de información quedó dañado");
                }
                t.add(QStringLiteral("%1 %2").arg(QLatin1String(target.field),
                                                  QString::fromUtf8(h.name)),
                      why, !stored.isEmpty());
                for (const char* table : {"Mandatarios", "Domicilios_MM"})
                    db->exec(QStringLiteral("delete from %1").arg(QLatin1String(table)));
            }
    qInfo("%d pares campo × entrada en el editor de representantes, %d resistieron "
          "(%d guardados)",
          t.tried, t.held, t.stored);
    QVERIFY2(t.broken.isEmpty(), qPrintable(t.broken.join(u'\n')));
    QVERIFY(t.stored > 0);
}

QTEST_MAIN(TstEntrada)
#include "tst_entrada.moc"
