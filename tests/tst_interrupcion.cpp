// The process killed (SIGKILL) in the middle of a large save and of the
// import, at random moments: the database still opens, passes the
// engine's integrity check and holds the content from before or after one
// whole write. KESTRO_INTERRUPCIONES sets how many kills per kind (20).
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {

int runs() {
    const int n = qEnvironmentVariableIntValue("KESTRO_INTERRUPCIONES");
    return n > 0 ? n : 20;
}

QString integrity(Database& db) {
    const Rows r = db.select(QStringLiteral("pragma integrity_check"));
    return r.ok() && !r.empty() ? textOf(r.first().at(0)) : QStringLiteral("sin respuesta");
}

// Either no save yet, or one save's agent with his three addresses, every
// text column carrying that save's one mark.
bool wholeSave(Database& db, QString* seen) {
    QSet<QString> marks;
    const Rows aa = db.select(QStringLiteral("select Nombre from AA"));
    for (const QVariantList& r : aa.rows)
        marks << textOf(r.at(0)).left(1);
    const Rows dom = db.select(QStringLiteral("select Calle, Colonia, Fax from Domicilios_AA"));
    for (const QVariantList& r : dom.rows)
        for (const QVariant& v : r)
            marks << textOf(v);
    *seen = QStringLiteral("AA %1, domicilios %2, marcas %3")
                .arg(aa.size())
                .arg(dom.size())
                .arg(QStringList(marks.values()).join(u','));
    return (aa.empty() && dom.empty()) || (aa.size() == 1 && dom.size() == 3 && marks.size() == 1);
}

QByteArray bigDump(int representatives) {
    QByteArray d =
        "KESTRO 3.0\r\nAA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|1|470\r\n";
    for (int i = 0; i < representatives; ++i) {
        const QByteArray c = "CURP" + QByteArray::number(i).rightJustified(14, '0');
        d += "Mandatarios|3001|" + c + "|RFC|NOMBRE|PATERNO|MATERNO|\r\n";
        d += "Domicilios_MM|3001|" + c + "|09|15|CALLE|1|2|COLONIA|06000|555|556\r\n";
        d += "Aduanas_MM|3001|" + c + "|470\r\n";
    }
    return d + "800|1111111|1|\r\n";
}

// Starts the tool and kills it after `ms` milliseconds (or lets it end):
// moments are drawn up to a quarter past a whole run, so some runs finish.
void runAndKill(const QStringList& args, int ms) {
    QProcess p;
    p.start(QStringLiteral(KESTRO_CARGA), args);
    QVERIFY(p.waitForStarted());
    if (!p.waitForFinished(ms)) {
        p.kill();
        QVERIFY(p.waitForFinished());
    }
}

int msToFinish(const QStringList& args) {
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral(KESTRO_CARGA), args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qFatal("kestro_carga failed: %s", p.readAllStandardError().constData());
    return int(t.elapsed());
}

} // namespace

class TstInterrupcion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedSaveLeavesOneWholeSave();
    void killedImportLeavesNothingOrEverything();
};

void TstInterrupcion::killedSaveLeavesOneWholeSave() {
    const QString saves = QStringLiteral("400");
    const int total = msToFinish({QStringLiteral("guarda"), ProgramDir().dbPath(), saves});
    QStringList broken;
    for (int i = 0; i < runs(); ++i) {
        ProgramDir pd;
        runAndKill({QStringLiteral("guarda"), pd.dbPath(), saves},
                   int(QRandomGenerator::global()->bounded(total * 5 / 4 + 1)));
        auto db = pd.open();
        QString seen;
        const QString check = integrity(*db);
        if (check != QLatin1String("ok") || !wholeSave(*db, &seen))
            broken << check + u' ' + seen;
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
    qInfo("%d interrupciones de guardado, todas íntegras", runs());
}

void TstInterrupcion::killedImportLeavesNothingOrEverything() {
    const int n = 1500;
    QTemporaryDir tmp;
    const QString dump = tmp.filePath(QStringLiteral("Recupera.txt"));
    QFile f(dump);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bigDump(n));
    f.close();
    int total = 0;
    {
        ProgramDir pd;
        total = msToFinish({QStringLiteral("importa"), pd.dbPath(), dump});
    }
    QStringList broken;
    int none = 0, all = 0;
    for (int i = 0; i < runs(); ++i) {
        ProgramDir pd;
        runAndKill({QStringLiteral("importa"), pd.dbPath(), dump},
                   int(QRandomGenerator::global()->bounded(total * 5 / 4 + 1)));
        auto db = pd.open();
        const QString check = integrity(*db);
        const auto count = [&](const char* t) {
            return db->select(QStringLiteral("select count(*) from %1").arg(QLatin1String(t)))
                .first()
                .at(0)
                .toInt();
        };
        const QList<int> counts{count("AA"), count("Mandatarios"), count("Domicilios_MM"),
                                count("Aduanas_MM")};
        if (counts == QList<int>{0, 0, 0, 0})
            ++none;
        else if (counts == QList<int>{1, n, n, n})
            ++all;
        else
            broken << QStringLiteral("mezcla: AA %1, Mandatarios %2, Domicilios_MM %3, "
                                     "Aduanas_MM %4")
                          .arg(counts[0])
                          .arg(counts[1])
                          .arg(counts[2])
                          .arg(counts[3]);
        if (check != QLatin1String("ok"))
            broken << check;
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
    qInfo("%d interrupciones de importación: %d sin nada, %d completas", runs(), none, all);
}

QTEST_MAIN(TstInterrupcion)
#include "tst_interrupcion.moc"
