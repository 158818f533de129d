// The one set of file rules: what the check before the key finds leads to
// the person to fix, and a database made through the program's own stores
// is either refused before the key with a named finding or signed into a
// file the verifier passes.
#include "data/AgentStore.h"
#include "data/HistoryStore.h"
#include "data/RepresentativeStore.h"
#include "data/Tables.h"
#include "exchange/FileCheck.h"
#include "exchange/PreKeyCheck.h"
#include "exchange/Signing.h"
#include "support/WizardDriver.h"

using namespace Qt::StringLiterals;

namespace {

// Random values for the stores, legal as a rule and now and then what the
// file cannot take.
class Values {
public:
    explicit Values(quint32 seed) : rng_(seed) {}

    bool chance(int percent) { return int(rng_.bounded(100)) < percent; }
    QString pick(const QStringList& from) { return from[int(rng_.bounded(int(from.size())))]; }
    QString text(const QStringList& good, const QStringList& bad, int badPercent = 2) {
        return chance(badPercent) ? pick(bad) : pick(good);
    }

    QString name() {
        return text({u"ROSA"_s, u"JOSÉ"_s, u"MARÍA"_s, u"ÑUÑEZ"_s, u"O'HARA"_s, u"LUIS ÁNGEL"_s},
                    {u"RO\tSA"_s, u"A|B"_s, u"L\u0150PEZ"_s, u"X\x7fY"_s, u"DOS\nLÍNEAS"_s});
    }
    QString curp() {
        return text({u"GAMR800202MDFRRS01"_s, u"MODL800101HDFRZS01"_s, u"PAGE810202MDFZLV02"_s,
                     u"TERC820404HDFRRS03"_s},
                    {u"HIRF700101AB1"_s, u"XXXX"_s});
    }
    QString rfc() {
        return text({u"GAMR800202XY2"_s, u"MODL800101AB1"_s, u"PAGE810202QW3"_s},
                    {u"1234"_s, u""_s});
    }
    QString office() { return text({u" 470"_s, u" 200"_s, u" 240"_s}, {u" 999"_s}); }
    QString isoDate() {
        return text({u"1999-01-02"_s, u"2000-03-04"_s, u"1998-12-31"_s}, {u"2003-02-30"_s});
    }
    StoredAddress address() {
        return {text({u"09"_s}, {u"99"_s}),
                text({u" 15"_s, u" 2"_s}, {u" 999"_s}),
                name(),
                u"5"_s,
                u""_s,
                u"CENTRO"_s,
                u"06000"_s,
                u"555 12 36"_s,
                u""_s};
    }

private:
    QRandomGenerator rng_;
};

AgentRecord randomAgent(Values& v) {
    AgentRecord a;
    a.patente = u"3001"_s;
    a.curp = v.text({u"PELJ700101HDFRPN09"_s}, {u"PELJ700101AB1"_s});
    a.rfc = v.text({u"PELJ700101AB1"_s}, {u"PEL"_s});
    a.nombre = v.name();
    a.apPaterno = u"PEREZ"_s;
    a.apMaterno = u"LOPEZ"_s;
    a.autorizacion = u"1234"_s;
    a.adscripcionKey = v.office();
    a.fiscal = v.address();
    a.oirR = v.address();
    a.v0 = v.address();
    return a;
}

// Each with his own <RFC>.req in `folder`, or a path to nowhere.
Representative randomRepresentative(Values& v, const QString& folder) {
    Representative r;
    r.curp = v.curp();
    r.rfc = v.rfc();
    r.nombre = v.name();
    r.apPaterno = u"GARCIA"_s;
    r.apMaterno = v.name();
    r.mandato = v.chance(3) ? 7 : 1 + int(v.chance(50)) + int(v.chance(10));
    r.requerimiento = v.chance(3) ? u"/no/existe.req"_s : folder + u'/' + r.rfc + u".req"_s;
    if (!QFile::exists(r.requerimiento) && r.requerimiento.startsWith(folder))
        writeWholeFile(r.requerimiento, "requerimiento");
    r.acreditacion = r.mandato == 2 ? 1 + int(v.chance(50)) : 0;
    r.operando = v.chance(50) ? 1 : v.chance(4) ? 5 : 0;
    r.particular = v.address();
    r.fiscal = v.address();
    if (r.mandato == 1 || v.chance(5)) {
        r.officeKeys << v.office();
        if (v.chance(60))
            r.declarations << PriorDeclaration{v.chance(90) ? r.officeKeys.first() : v.office(),
                                               u"123"_s,
                                               v.chance(97) ? u"20/05/1999"_s : u"20/05/99"_s};
    }
    return r;
}

void storeRandomOffice(Database& db, Values& v, const QString& requirement) {
    for (const Tables::Table& t : Tables::all())
        if (t.travel != Tables::Travel::Nowhere)
            must(db, u"delete from "_s + t.tableName());
    (void)saveAgent(db, randomAgent(v));
    QStringList curps;
    for (int n = int(v.chance(50)) + int(v.chance(50)) + int(v.chance(30)); n > 0; --n) {
        const Representative r = randomRepresentative(v, requirement);
        if (!saveRepresentative(db, r, QString()))
            curps << r.curp;
    }
    if (v.chance(50))
        (void)saveHistoricAgent(
            db, QString(),
            {v.text({u"HIRF700101AB1"_s}, {u"HI"_s}), v.curp(), v.name(), u"HARO"_s, u"RUIZ"_s},
            {{QVariant(v.office().trimmed().toInt()), QString(), v.isoDate(), v.isoDate()}});
    for (const QString& curp : curps)
        if (v.chance(40))
            (void)addRepresentativePeriod(
                db, curp, 3002,
                {QVariant(v.office().trimmed().toInt()), QString(), v.isoDate(), v.isoDate()});
}

} // namespace

class TestFileRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findingsLeadToThePerson();
    void generatedDatabases();
};

// Two problems of two representatives and the observations beside them:
// all listed at once; Enter on a row goes to his page and chooses him.
void TestFileRules::findingsLeadToThePerson() {
    Wizard w;
    {
        const std::unique_ptr<Database> db = w.dir.open();
        storeOffice(*db, w.dir.path());
        storeMandatario(*db, u"('TERC820404HDFRRS03','TERC820404AB1','TOMAS','ERC','RUIZ',7,'',0,"
                             "1,NULL)"_s);
        must(*db, u"update Pedimentos_MM set NoAduana=240"_s);
    }
    w.start();
    const bool shots = !qEnvironmentVariableIsEmpty("KESTRO_CAPTURAS");
    if (shots)
        w.show();
    w.fillPage1(0);
    w.next();
    QStringList rows;
    w.script.onDialog(u"FindingsDialog"_s, [&](QDialog& d) {
        auto* list = named<QTreeWidget>(d, u"twHallazgos"_s);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows << QStringList{list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1),
                                list->topLevelItem(i)->text(2)}
                        .join(u'|');
        if (shots) {
            d.show();
            QTest::qWait(300);
            d.grab().save(qEnvironmentVariable("KESTRO_CAPTURAS") + u"/lista-de-hallazgos.png"_s);
        }
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(1).startsWith(u"TERC"_s) &&
                list->topLevelItem(i)->text(2).contains(u"Mandato"_s))
                list->setCurrentItem(list->topLevelItem(i));
        QTest::keyClick(list, Qt::Key_Return);
        return d.result();
    });
    w.next();
    const QString all = rows.join(u'\n');
    QVERIFY2(!w.script.dialogsShown.contains(u"frmKey"_s), qPrintable(all));
    QVERIFY2(all.startsWith(u"Errores: impiden generar el archivo"_s), qPrintable(all));
    VERIFY_HOLDS(all, u"\n3|GAMR800202MDFRRS01\nROSA GARCIA MARTINEZ|La aduana 240 del "
                      "pedimento no es una"_s);
    VERIFY_HOLDS(all, u"\n3|TERC820404HDFRRS03\nTOMAS ERC RUIZ|El valor \"7\" de Mandato"_s);
    QVERIFY2(
        all.contains(
            u"\nObservaciones: no impiden generarlo||\n1|PELJ700101HDFRPN09\nJUAN PEREZ LOPEZ|"_s) &&
            all.contains(u"dígito verificador del RFC PELJ700101AB1 debería ser 4"_s),
        qPrintable(all));
    QVERIFY(w.pageShown("pageRepresentatives"));
    QTableWidget* grid = w.grid("fgAA");
    QCOMPARE(grid->item(grid->currentRow(), 4)->text(), u"TERC820404HDFRRS03"_s);
    QCOMPARE(w.cmd("cmdSiguiente")->text(), u"&Finaliza"_s);
    if (shots) {
        QTest::qWait(300);
        w.window->grab().save(qEnvironmentVariable("KESTRO_CAPTURAS") + u"/pagina-3-tras-ir.png"_s);
    }
}

// Databases of random legal and illegal values, made through the stores
// the windows use: each is refused before the key with a finding that
// names where and whom, or its file is signed and passes the verifier.
void TestFileRules::generatedDatabases() {
    ProgramDir pd;
    const std::unique_ptr<Database> db = pd.open();
    must(*db, u"pragma synchronous=off"_s);
    const CatalogueNames catalogues = CatalogueNames::read(*db).value;
    const QString requirement = pd.path(); // where the .req files go
    const QByteArray certificate = readWholeFile(fixture(u"keys/ec.cer"_s));
    const Signer signer{QByteArray(), fixture(u"keys/ec.key"_s).toUtf8(), "clave"};
    const int cases = qEnvironmentVariableIntValue("KESTRO_CASOS") > 0
                          ? qEnvironmentVariableIntValue("KESTRO_CASOS")
                          : 2500;
    Values v(20260314);
    int refused = 0, accepted = 0;
    QStringList kept; // some signed files, for the verifier itself
    for (int i = 0; i < cases; ++i) {
        storeRandomOffice(*db, v, requirement);
        const Fallible<PreKeyCheck> check = checkBeforeKey(*db, u"3001"_s, catalogues);
        QVERIFY2(check, qPrintable(check.why()));
        if (check->blocked()) {
            ++refused;
            for (const Problem& p : check->problems)
                QVERIFY(!p.blocking || (!p.what.isEmpty() && !p.todo.isEmpty() &&
                                        int(p.page) >= 1 && int(p.page) <= 5));
            continue;
        }
        ++accepted;
        QByteArray file = check->content.bytes;
        Signer s = signer;
        s.curp = agentCurpOf(file);
        QCOMPARE(signContent(file, s), int(SignedOk));
        QVERIFY(verifySignature(file, certificate).intact);
        const StructureReport r = checkStructure(file, catalogues);
        if (!r.errors.isEmpty())
            QFAIL(qPrintable(r.errors.first().text + u"\n"_s + QString::fromLatin1(file)));
        if (kept.size() < 100) {
            kept << pd.path() + u"/firmado-%1.txt"_s.arg(i);
            writeWholeFile(kept.last(), file);
        }
    }
    qInfo("%d casos: %d rechazados antes de la llave, %d firmados", cases, refused, accepted);
    QVERIFY(refused > cases / 10 && accepted > cases / 10);
    QProcess verifier;
    verifier.start(QStringLiteral(KESTRO_VERIFICA_FIRMA),
                   kept + QStringList{fixture(u"keys/ec.cer"_s)});
    QVERIFY(verifier.waitForFinished(120000));
    QVERIFY2(verifier.exitCode() == 0, verifier.readAllStandardOutput().right(2000).constData());
}

QTEST_MAIN(TestFileRules)
#include "tst_filerules.moc"
