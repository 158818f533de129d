// Hostile files: a damaged or foreign kestro.mdb, an ENVIO that cannot take
// the file, a requirement that vanishes half-way and key files that are no
// keys. Each time a Spanish message, nothing lost, no crash.
#include "exchange/InformationFile.h"
#include "exchange/Signing.h"
#include "support/TestKey.h"
#include "support/WizardDriver.h"

#include <QProcess>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

namespace {

const QString Curp = QStringLiteral("GAMR800202MDFRRS01");

// An agent with one representative of the earlier kind and his requirement.
void storeFileData(Wizard& w, const QString& req) {
    auto db = w.dir.open();
    storeAgent(*db);
    writeWholeFile(req, "requerimiento");
    db->exec(QStringLiteral("insert into Mandatarios values (?,'R','ROSA','G','M',1,?,0,1,1)"),
             {Curp, req});
}

// An encrypted PKCS#8 key (DER) whose password takes `rounds` rounds.
QByteArray roundsKey(int rounds) {
    EVP_PKEY* k = EVP_EC_gen("P-256");
    PKCS8_PRIV_KEY_INFO* p8 = EVP_PKEY2PKCS8(k);
    X509_SIG* sig = PKCS8_encrypt(-1, EVP_aes_256_cbc(), "clave", 5, nullptr, 0, rounds, p8);
    unsigned char* der = nullptr;
    const int n = sig ? i2d_X509_SIG(sig, &der) : 0;
    QByteArray out(reinterpret_cast<const char*>(der), n > 0 ? n : 0);
    OPENSSL_free(der);
    X509_SIG_free(sig);
    PKCS8_PRIV_KEY_INFO_free(p8);
    EVP_PKEY_free(k);
    return out;
}

bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A tiny file system of its own for ENVIO, when this machine lets tests
// mount one (as root on Linux); removed when the test ends.
struct SmallDisk {
    explicit SmallDisk(const QString& at) : path(at) {
        QDir().mkpath(at);
        mounted = run(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=16k"), QStringLiteral("tmpfs"), at});
    }
    ~SmallDisk() {
        if (mounted)
            run(QStringLiteral("umount"), {path});
    }
    bool readOnly() {
        return run(QStringLiteral("mount"),
                   {QStringLiteral("-o"), QStringLiteral("remount,ro"), path});
    }
    QString path;
    bool mounted = false;
};

} // namespace

class TstHostiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void damagedOrForeignDatabase();
    void envioThatCannotTakeTheFile();
    void requirementVanishesBeforeTheCopy();
    void keyFilesThatAreNoKeys();
};

void TstHostiles::damagedOrForeignDatabase() {
    const QByteArray sano = [] {
        ProgramDir pd;
        storeAgent(*pd.open());
        return readWholeFile(pd.dbPath());
    }();
    struct Caso {
        const char* name;
        std::function<void(const QString&)> make; // turns a sound file into this one
        bool starts;
    };
    const QList<Caso> casos = {
        {"vacío", [](const QString& f) { writeWholeFile(f, ""); }, false},
        {"basura", [](const QString& f) { writeWholeFile(f, QByteArray(4096, '\x5a')); }, false},
        {"cabecera y basura",
         [&](const QString& f) { writeWholeFile(f, sano.left(100) + QByteArray(8000, '\x01')); },
         false},
        {"truncado", [&](const QString& f) { writeWholeFile(f, sano.left(sano.size() / 3)); },
         false},
        {"otro esquema",
         [](const QString& f) {
             QFile::remove(f);
             auto db = std::move(Database::createFile(f).value);
             db->exec(QStringLiteral("create table Clientes(Nombre text)"));
         },
         true},
        {"versión futura",
         [](const QString& f) {
             auto db = std::move(Database::openFile(f).value);
             db->exec(QStringLiteral("alter table AA add Futuro text"));
             db->exec(QStringLiteral("insert into Versiones values (3, 'KESTRO', 4, 0, 0)"));
         },
         true},
    };
    for (const Caso& c : casos) {
        Wizard w;
        writeWholeFile(w.dir.dbPath(), sano);
        c.make(w.dir.dbPath());
        const QByteArray antes = readWholeFile(w.dir.dbPath());
        w.window = std::make_unique<frmMain>(w.state);
        const bool started = w.window->startUp();
        QVERIFY2(started == c.starts, c.name);
        if (!started)
            QVERIFY2(w.messages().value(0).contains(QDir::toNativeSeparators(w.dir.dbPath())),
                     c.name);
        else if (QLatin1String(c.name) != QLatin1String("versión futura"))
            QVERIFY2(!w.messages().isEmpty(), c.name);
        w.window.reset();
        // Nothing the file held was lost or changed.
        QVERIFY2(readWholeFile(w.dir.dbPath()) == antes, c.name);
    }
}

void TstHostiles::envioThatCannotTakeTheFile() {
    Wizard w;
    storeFileData(w, w.dir.path() + QStringLiteral("/") + Curp + QStringLiteral(".req"));
    auto db = w.dir.open();
    const QString envio = envioFolder(w.dir.path());
    QString why;

    // A file where the folder should be.
    writeWholeFile(envio, "no soy carpeta");
    why = writeInformationFile(*db, w.dir.path(), QStringLiteral("3001")).why();
    QVERIFY(!why.isEmpty());
    QVERIFY2(why.contains(QStringLiteral("No se pudo crear la carpeta")), qPrintable(why));
    QCOMPARE(readWholeFile(envio), QByteArray("no soy carpeta"));
    QFile::remove(envio);

    SmallDisk disk(envio);
    if (!disk.mounted)
        QSKIP("este equipo no permite montar un disco pequeño para ENVIO");
    // Full: an earlier file stays whole, nothing half-written is left.
    writeWholeFile(envio + QStringLiteral("/3001.txt"), "anterior");
    writeWholeFile(envio + QStringLiteral("/relleno"), QByteArray(12 * 1024, 'x'));
    const auto before = QDir(envio).entryList(QDir::Files | QDir::Hidden);
    const auto big = [](QByteArray& b) {
        b += QByteArray(8 * 1024, 'F');
        return true;
    };
    why = writeInformationFile(*db, w.dir.path(), QStringLiteral("3001"), big).why();
    QVERIFY(!why.isEmpty());
    QVERIFY2(why.contains(QStringLiteral("quedó como estaba")), qPrintable(why));
    QCOMPARE(readWholeFile(envio + QStringLiteral("/3001.txt")), QByteArray("anterior"));
    QCOMPARE(QDir(envio).entryList(QDir::Files | QDir::Hidden), before);

    // Read-only, even for an administrator.
    QFile::remove(envio + QStringLiteral("/relleno"));
    QVERIFY(disk.readOnly());
    why = writeInformationFile(*db, w.dir.path(), QStringLiteral("3001")).why();
    QVERIFY(!why.isEmpty());
    QVERIFY2(why.contains(QStringLiteral("No se pudo escribir")), qPrintable(why));
    QCOMPARE(readWholeFile(envio + QStringLiteral("/3001.txt")), QByteArray("anterior"));
}

void TstHostiles::requirementVanishesBeforeTheCopy() {
    Wizard w;
    const QString req = w.dir.path() + QStringLiteral("/") + Curp + QStringLiteral(".req");
    storeFileData(w, req);
    auto db = w.dir.open();
    const QString envio = envioFolder(w.dir.path());
    QDir().mkpath(envio);
    writeWholeFile(envio + QStringLiteral("/3001.txt"), "anterior firmado");
    // Signing comes after the check and before the copy: the file goes then.
    const auto vanish = [&](QByteArray&) {
        QFile::remove(req);
        return true;
    };
    QString why;
    why = writeInformationFile(*db, w.dir.path(), QStringLiteral("3001"), vanish).why();
    QVERIFY(!why.isEmpty());
    QVERIFY2(why.contains(QDir::toNativeSeparators(req)), qPrintable(why));
    QCOMPARE(QDir(envio).entryList(QDir::Files | QDir::Hidden), QStringList{"3001.txt"});
    QCOMPARE(readWholeFile(envio + QStringLiteral("/3001.txt")), QByteArray("anterior firmado"));
}

void TstHostiles::keyFilesThatAreNoKeys() {
    QTemporaryDir dir;
    const QString grande = dir.filePath(QStringLiteral("grande.key"));
    {
        QFile f(grande);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(4) << 30)); // sparse: 4 GiB never read
    }
    writeWholeFile(dir.filePath(QStringLiteral("vacia.key")), "");
    QDir().mkpath(dir.filePath(QStringLiteral("carpeta.key")));
    QFile::link(dir.filePath(QStringLiteral("b.key")), dir.filePath(QStringLiteral("a.key")));
    QFile::link(dir.filePath(QStringLiteral("a.key")), dir.filePath(QStringLiteral("b.key")));
    // A key asking for 8 388 607 derivation rounds (65 536 patched in place)
    // is refused at once instead of keeping the program busy.
    QByteArray lenta = roundsKey(65536);
    const QByteArray rondas("\x02\x03\x01\x00\x00", 5);
    QVERIFY(lenta.count(rondas) == 1);
    lenta.replace(rondas, QByteArray("\x02\x03\x7f\xff\xff", 5));
    writeWholeFile(dir.filePath(QStringLiteral("lenta.key")), lenta);
    const QByteArray contenido = "501|3001|1111111||||||||3001\r\n800|1111111|1|\r\n";
    {
        QByteArray bytes = contenido;
        const Signer f{{}, dir.filePath(QStringLiteral("normal.key")).toUtf8(), "clave"};
        writeWholeFile(dir.filePath(QStringLiteral("normal.key")), roundsKey(65536));
        QCOMPARE(signContent(bytes, f), int(SignedOk)); // the unpatched key signs
    }
    for (const char* llave :
         {"grande.key", "vacia.key", "carpeta.key", "a.key", "no-existe.key", "lenta.key"}) {
        QByteArray bytes = contenido;
        const Signer f{{}, dir.filePath(QLatin1String(llave)).toUtf8(), "clave"};
        QCOMPARE(signContent(bytes, f), int(InvalidKey));
        QCOMPARE(bytes, contenido);
    }
}

QTEST_MAIN(TstHostiles)
#include "tst_hostiles.moc"
