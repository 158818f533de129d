// What the verifier says of a signed file's structure, one fault of each
// kind at a time; several files and the JSON form; the readable summary of
// a file; and the ended wizard's way to what it wrote.
#include "exchange/FileCheck.h"
#include "exchange/InformationFile.h"
#include "exchange/Signing.h"
#include "report/SummaryPdf.h"
#include "report/SummaryText.h"
#include "support/WizardDriver.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString Certificate = fixture(u"keys/rsa.cer"_s);

// office.sql and luis.sql with an earlier agent and his period: every
// section of the file, the history part included, each line as it should be.
//  1 501          7 Mandatarios ROSA (1)   13 Aduanas_MM       16 Periodos_H_AA
//  2 Paq_Version  8 Mandatarios LUIS (2)   14 Pedimentos_MM    17 Periodos_H_MM
//  3 AA           9-12 Domicilios_MM       15 Historico_AA     18 800
//  4-6 Domicilios_AA
QByteArray wellFormedContent() {
    ProgramDir pd;
    const std::unique_ptr<Database> db = pd.open();
    runScene(*db, u"office.sql"_s, pd.path());
    runScene(*db, u"luis.sql"_s, pd.path());
    must(*db, u"insert into Historico_AA values ('HIRF700101AB1','HIRF700101HDFRZL03','FELIPE',"
              "'HARO','RUIZ')"_s);
    must(*db, u"insert into Periodos_H_AA values ('HIRF700101HDFRZL03',200,'1999-01-02',"
              "'2000-03-04')"_s);
    return buildInformationFile(*db, u"3001"_s)->bytes;
}

QByteArray signedWith(QByteArray content, const char* key = "keys/rsa.key") {
    const Signer s{agentCurpOf(content), fixture(QLatin1String(key)).toUtf8(), "clave"};
    if (signContent(content, s) != SignedOk)
        qFatal("the test key did not sign");
    return content;
}

struct Run {
    int code;
    QString out;
};

// Every run is held to a memory limit where the system can set one (the
// sanitizers reserve far more address space than they use), and speaks
// Spanish whatever the system's language.
Run verifier(const QStringList& args, const QString& workingDir = QString()) {
    QProcess p;
    p.setWorkingDirectory(workingDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LANG"_s, u"en_US.UTF-8"_s);
    env.insert(u"LC_ALL"_s, u"C"_s);
    p.setProcessEnvironment(env);
#if defined(Q_OS_LINUX) && !defined(__SANITIZE_ADDRESS__)
    p.start(u"prlimit"_s, QStringList{u"--as=%1"_s.arg(qint64(1) << 30), u"--"_s,
                                      QStringLiteral(KESTRO_VERIFICA_FIRMA)} +
                              args);
#else
    p.start(QStringLiteral(KESTRO_VERIFICA_FIRMA), args);
#endif
    if (!p.waitForFinished(120000))
        qFatal("the verifier did not end");
    // Lines end in CR LF on Windows, as its text files do.
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())
                .replace(u"\r\n"_s, u"\n"_s)};
}

} // namespace

class TestVerify : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void damagedFiles_data();
    void damagedFiles();
    void severalFiles_data();
    void severalFiles();
    void hostileFiles_data();
    void hostileFiles();
    void commandLine_data();
    void commandLine();
    void summaryNamesEveryone();
    void summaryTellsAllThatWasSigned_data();
    void summaryTellsAllThatWasSigned();
    void summaryHeadingsKeepTheirLines();
    void endedWizardOpensWhatItWrote_data();
    void endedWizardOpensWhatItWrote();
#ifdef Q_OS_WIN
    void consoleIsGivenBack();
#endif

private:
    QByteArray good_;
    QTemporaryDir dir_;
    CatalogueNames catalogues_;
};

void TestVerify::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    good_ = wellFormedContent();
    ProgramDir pd;
    catalogues_ = CatalogueNames::read(*pd.open()).value;
    QVERIFY(good_.contains("Periodos_H_AA|3001|HIRF700101HDFRZL03|200|"));
    QCOMPARE(good_.count("\r\n"), 18);
}

// Each row changes the first `from` of the good file into `to`, then signs
// it: the signature holds and the fault is the structure's.
void TestVerify::damagedFiles_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("says");
    const QByteArray aa = "AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|470||||0\r\n";
    const QByteArray version = "Paq_Version|KESTRO|3.5.0\r\n";
    const QByteArray offices = "Aduanas_MM|3001|GAMR800202MDFRRS01|470\r\n";
    const QByteArray declaration = "Pedimentos_MM|3001|GAMR800202MDFRRS01|470|123|2003-05-20\r\n";
    const QByteArray rosaFiscal = "CENTRO|06000|555 12 36|555 12 37|2\r\n";
    const QByteArray history = "Historico_AA|3001|HIRF700101AB1|HIRF700101HDFRZL03|FELIPE|HARO|RUIZ"
                               "\r\nPeriodos_H_AA|3001|HIRF700101HDFRZL03|200|1999-01-02|2000-03-04"
                               "\r\nPeriodos_H_MM|3001|MODL750505HDFRZS02|200|3001|1999-01-01|"
                               "1999-12-31\r\n";
    const QByteArray none = "|No Aplica";
    row("correct", QByteArray(), QByteArray(), 0, "La estructura del archivo es correcta");
    row("line ended by LF alone", version, QByteArray(version).replace("\r\n", "\n"), 2, "CR LF");
    row("byte Windows-1252 lacks", QByteArray("ROSA"),
        QByteArray("RO\x81"
                   "A"),
        7, "0x81");
    row("empty line", version, version + "\r\n", 3, "vacía");
    row("tab in a name", QByteArray("ROSA"), QByteArray("RO\tA"), 7, "carácter de control (0x09)");
    row("type out of range", QByteArray("|MARTINEZ|1|0|1"), QByteArray("|MARTINEZ|7|0|1"), 7,
        "el valor \"7\" de Mandato no es uno de sus códigos (1, 2 o 3)");
    row("address type out of range", rosaFiscal, QByteArray(rosaFiscal).replace("|2\r", "|0\r"), 10,
        "\"0\" de Tipo_Dom");
    row("name longer than its field", QByteArray("|ROSA|"),
        QByteArray("|ROSA MARIA DE LA LUZ ANGEL|"), 7,
        "el campo Nombre tiene 26 caracteres; admite 25 como máximo");
    row("CURP longer than its field", QByteArray("|HIRF700101HDFRZL03|FELIPE"),
        QByteArray("|HIRF700101HDFRZL031|FELIPE"), 15, "el campo CURP tiene 19 caracteres");
    row("unknown tag", offices, QByteArray(offices).replace("Aduanas_MM", "Aduana_MM"), 13,
        "no existe");
    row("a field too many", offices, QByteArray(offices).replace("470", "470|1"), 13,
        "tiene 5 campos; lleva 4");
    row("sections out of order", offices + declaration, declaration + offices, 14,
        "fuera de orden");
    row("two agents", aa, aa + aa, 4, "aparece 2 veces");
    row("filler beside records", QByteArray("Domicilios_MM"),
        QByteArray("Mandatarios|3001" + none.repeated(7) + "\r\nDomicilios_MM"), 9,
        "sólo va cuando la sección no tiene registros");
    row("patent of a record", offices, QByteArray(offices).replace("3001", "3002"), 13,
        "la patente 3002");
    row("patent twice in 501", QByteArray("||||||||3001"), QByteArray("||||||||3002"), 1,
        "dos campos del registro 501");
    row("history without type 2", QByteArray("|DIAZ|2|"), QByteArray("|DIAZ|3|"), 15,
        "sólo va cuando algún");
    row("type 2 without history", history, QByteArray(), 8, "no trae la parte histórica");
    row("address of no representative", QByteArray("Domicilios_MM|3001|MODL"),
        QByteArray("Domicilios_MM|3001|MADL"), 11, "MADL750505HDFRZS02 no está en la sección");
    row("no fiscal address", rosaFiscal, QByteArray("CENTRO|06000|555 12 36|555 12 37|1\r\n"), 7,
        "no tiene domicilio del tipo 2");
    row("type 1 without offices", offices + declaration, QByteArray(), 7, "no tiene aduanas");
    row("declaration at another office", QByteArray("470|123|"), QByteArray("240|123|"), 14,
        "la aduana 240 del pedimento no es una de las aduanas");
    row("period of an unlisted earlier agent", QByteArray("Periodos_H_AA|3001|HIRF"),
        QByteArray("Periodos_H_AA|3001|HORF"), 16, "no está en el histórico del agente");
    row("period of an unlisted representative", QByteArray("Periodos_H_MM|3001|MODL"),
        QByteArray("Periodos_H_MM|3001|MUDL"), 17, "MUDL750505HDFRZS02 no está en la sección");
    row("unreal date", QByteArray("2003-05-20"), QByteArray("2003-02-30"), 14,
        "2003-02-30 (FechPedimento) no es una fecha");
    row("period ending before it starts", QByteArray("2000-03-04"), QByteArray("1998-03-04"), 16,
        "termina (1998-03-04)");
    row("RFC", QByteArray("PELJ700101AB1"), QByteArray("1234700101AB1"), 3,
        "RFC 1234700101AB1 no es válido");
    row("escape sequences in a field", QByteArray("PELJ700101AB1"),
        QByteArray("PEL\x1b[2J\x1b[1A0101AB1"), 3, "RFC PEL\\x1b[2J\\x1b[1A0101AB1 no es");
    row("CURP", QByteArray("PELJ700101HDFRPN09"), QByteArray("PELJ700101XDFRPN09"), 3,
        "CURP PELJ700101XDFRPN09 no es");
    row("office", QByteArray("|470||||0"), QByteArray("|999||||0"), 3,
        "aduana 999 (Adscripcion) no está en el catálogo");
    row("state", QByteArray("Domicilios_AA|3001|1|09|"), QByteArray("Domicilios_AA|3001|1|99|"), 4,
        "entidad federativa 99 no está");
    row("municipality", QByteArray("Domicilios_AA|3001|1|09|15|"),
        QByteArray("Domicilios_AA|3001|1|09|999|"), 4, "municipio 999 de la entidad 09");
}

void TestVerify::damagedFiles() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(int, line);
    QFETCH(QString, says);
    QByteArray content = good_;
    if (!from.isEmpty()) {
        QVERIFY(content.contains(from));
        content.replace(content.indexOf(from), from.size(), to);
    }
    const QString file = dir_.filePath(u"3001.txt"_s);
    writeWholeFile(file, signedWith(content));
    const Run r = verifier({file, Certificate});
    QCOMPARE(r.code, line == 0 ? 0 : 3);
    QVERIFY2(r.out.startsWith(u"El archivo está íntegro"_s), qPrintable(r.out));
    const QString expected = line == 0 ? says : u"línea %1: "_s.arg(line);
    bool found = false;
    for (const QString& l : r.out.split(u'\n'))
        found = found || (l.startsWith(expected) && l.contains(says));
    QVERIFY2(found, qPrintable(r.out));
    // What the file brings reaches a terminal with its control bytes shown.
    QVERIFY2(!r.out.contains(QChar(0x1b)), qPrintable(r.out));
    // The CURPs and RFCs of the fixtures carry made-up check digits: told,
    // never a fault.
    QVERIFY2(r.out.contains(u": observación: el dígito verificador de la CURP "_s) &&
                 r.out.contains(u": observación: el dígito verificador del RFC GAMR800202XY2 "
                                u"debería ser 8."_s),
             qPrintable(r.out));
}

// Files made to exhaust the verifier, each followed by a good one in the
// same run: every one is told in bounded form, within the memory limit,
// and the run goes on to the good file and its tally.
void TestVerify::hostileFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("json");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");
    row("a patent of 1 MB over 4,000 records", "patent", false, 3, "y 7902 más.");
    row("2 MB of bare line ends", "line ends", false, 3, "más.");
    row("the same as JSON", "line ends", true, 3, "\"errores_no_mostrados\":");
    row("past the size limit", "huge", false, 4, "mide más de 16777216 bytes");
#ifndef Q_OS_WIN
    row("a FIFO", "fifo", false, 4, "no es un archivo común");
    row("a link to /dev/zero", "zero", false, 4, "no es un archivo común");
#endif
    // Quadratic in the number of types before: 16,000 took minutes.
    row("16,000 representatives of distinct types, summarized", "types", false, 3,
        "La estructura del archivo tiene");
}

void TestVerify::hostileFiles() {
    QFETCH(QString, kind);
    QFETCH(bool, json);
    QFETCH(int, code);
    QFETCH(QString, says);
    const QString hostile = dir_.filePath(u"hostil.txt"_s), good = dir_.filePath(u"bueno.txt"_s);
    QFile::remove(hostile);
    writeWholeFile(good, signedWith(good_));
    const QByteArray head = "Paq_Version|KESTRO|3.5.0\r\n", end = "800|1111111|1|\r\n";
    if (kind == u"patent") {
        const QByteArray patent(1 << 20, 'P');
        writeWholeFile(hostile, signedWith("501|" + patent + "|1111111||||||||" + patent + "\r\n" +
                                           head + QByteArray("AA|x\r\n").repeated(4000) + end));
    } else if (kind == u"line ends") {
        writeWholeFile(hostile, signedWith(QByteArray(2 << 20, '\n') + end));
    } else if (kind == u"huge") {
        QFile f(hostile);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(MaxCheckedFileSize + 1));
    } else if (kind == u"types") {
        QByteArray many;
        for (int i = 0; i < 16000; ++i)
            many += "Mandatarios|3001|" + QByteArray::number(i) + "|R|N|P|M|" +
                    QByteArray::number(100 + i) + "|0|1\r\n";
        const qsizetype at = good_.indexOf("Domicilios_MM");
        writeWholeFile(hostile, signedWith(QByteArray(good_).insert(at, many)));
    }
#ifndef Q_OS_WIN
    if (kind == u"fifo")
        QCOMPARE(mkfifo(QFile::encodeName(hostile), 0600), 0);
    if (kind == u"zero")
        QVERIFY(QFile::link(u"/dev/zero"_s, hostile));
#endif
    const QString pdf = dir_.filePath(u"hostil.pdf"_s);
    const QStringList files =
        kind == u"types" ? QStringList{u"--resumen"_s, pdf, hostile} : QStringList{hostile, good};
    const Run r = verifier((json ? QStringList{u"--json"_s} : QStringList()) + files +
                           QStringList{Certificate});
    QVERIFY2(r.code == code && r.out.contains(says) && r.out.size() < 64 * 1024,
             qPrintable(u"%1: "_s.arg(r.code) + r.out.left(2000)));
    if (kind == u"types")
        QVERIFY(readWholeFile(pdf).startsWith("%PDF-"));
    else
        QVERIFY2(r.out.contains(u"Revisados 2 archivos: 1 correctos"_s),
                 qPrintable(r.out.right(500)));
}

// What the command line holds is read the same on every system: "--" ends
// the options, an unknown one is refused, and the summary is never written
// over a file read or over one that is not a summary.
void TestVerify::commandLine_data() {
    QTest::addColumn<QStringList>("args"); // <f>: a good signed file; <k>: the key
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");
    row("a file named like an option, after --", QStringList{"--", "--resumen", "<k>"}, 0,
        "La estructura del archivo es correcta.");
    row("the same file without --: a.txt is no summary to overwrite",
        QStringList{"--resumen", "a.txt", "<f>", "<k>"}, 2,
        "El archivo a.txt ya existe y no es un PDF");
    row("the summary over a file read", QStringList{"--resumen", "<f>", "<f>", "<k>"}, 2,
        "no puede escribirse sobre uno de los archivos");
    row("an unknown option", QStringList{"--jsn", "<f>", "<k>"}, 2,
        "La opción \"--jsn\" no existe.\nUso: kestro_verifica_firma");
    row("help", QStringList{"--help"}, 0, "Opciones:");
    row("version", QStringList{"-v"}, 0, "KESTRO 3.5");
    row("an altered file", QStringList{"alterado.txt", "<k>"}, 1, "El archivo NO está íntegro");
    row("a file it cannot read", QStringList{"no-existe.txt", "<k>"}, 2, "No se pudo leer ");
    row("summary into a folder that does not exist",
        QStringList{"--resumen", "no/r.pdf", "<f>", "<k>"}, 5, "No se pudo escribir el resumen");
}

void TestVerify::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, says);
    QTemporaryDir here;
    writeWholeFile(here.filePath(u"--resumen"_s), signedWith(good_));
    writeWholeFile(here.filePath(u"3001.txt"_s), signedWith(good_));
    writeWholeFile(here.filePath(u"a.txt"_s), "del agente");
    writeWholeFile(here.filePath(u"alterado.txt"_s), signedWith(good_).replace("JUAN", "JUAM"));
    args.replaceInStrings(u"<f>"_s, u"3001.txt"_s).replaceInStrings(u"<k>"_s, Certificate);
    const Run r = verifier(args, here.path());
    QCOMPARE(r.code, code);
    VERIFY_HOLDS(r.out, says);
    QCOMPARE(readWholeFile(here.filePath(u"a.txt"_s)), QByteArray("del agente"));
    QCOMPARE(readWholeFile(here.filePath(u"3001.txt"_s)), signedWith(good_));
}

// Files: g good, s with a structure fault, b with a signature that does
// not verify, m missing. The worst decides the exit code.
void TestVerify::severalFiles_data() {
    QTest::addColumn<QString>("files");
    QTest::addColumn<bool>("json");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("tally");
    row("all correct", "gg", false, 0, "Revisados 2 archivos: 2 correctos, 0 con errores");
    row("one with structure errors", "gsg", false, 3,
        "Revisados 3 archivos: 2 correctos, 1 con errores de estructura, 0 con la firma");
    row("a bad signature is worst", "sbg", false, 1,
        "1 correctos, 1 con errores de estructura, 1 con la firma que no verifica.");
    row("an unreadable file", "gmsg", false, 2, ", 1 que no se pudieron leer.");
    row("as JSON", "gsb", true, 1, "Revisados 3 archivos: 1 correctos");
}

void TestVerify::severalFiles() {
    QFETCH(QString, files);
    QFETCH(bool, json);
    QFETCH(int, code);
    QFETCH(QString, tally);
    const QByteArray good = signedWith(good_);
    const QMap<QChar, QByteArray> kinds{
        {u'g', good},
        {u's', signedWith(QByteArray(good_).replace("|470||||0", "|999||||0"))},
        {u'b', signedWith(good_, "keys/ec.key")}};
    QStringList args;
    for (qsizetype i = 0; i < files.size(); ++i) {
        args << dir_.filePath(u"%1-%2.txt"_s.arg(i).arg(files[i]));
        if (kinds.contains(files[i]))
            writeWholeFile(args.last(), kinds[files[i]]);
    }
    const Run r = verifier((json ? QStringList{u"--json"_s} : QStringList()) + args +
                           QStringList{Certificate});
    QCOMPARE(r.code, code);
    VERIFY_HOLDS(r.out, tally);
    if (!json)
        return;
    const QStringList objects = r.out.split(u'\n').filter(u"{"_s);
    QCOMPARE(objects.size(), files.size());
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QJsonObject o = QJsonDocument::fromJson(objects[i].toUtf8()).object();
        QCOMPARE(o[u"archivo"_s].toString(), args[i]);
        QCOMPARE(o[u"firma_integra"_s].toBool(), files[i] != u'b');
        const QJsonArray errors = o[u"errores"_s].toArray();
        QCOMPARE(errors.isEmpty(), files[i] == u'g');
        if (files[i] == u's')
            QCOMPARE(errors.first().toObject()[u"linea"_s].toInt(), 3);
        QCOMPARE(o[u"observaciones"_s].toArray().isEmpty(), files[i] == u'b');
    }
}

// The summary names every representative and every office the file
// declares, with the catalogue's name; it takes one file only.
void TestVerify::summaryNamesEveryone() {
    const QString file = dir_.filePath(u"3001.txt"_s), pdf = dir_.filePath(u"resumen.pdf"_s);
    writeWholeFile(file, signedWith(good_));
    QCOMPARE(verifier({u"--resumen"_s, pdf, file, file, Certificate}).code, 2);
    QVERIFY(!QFile::exists(pdf));
    // Altered, with no folder for its summary: the altered file decides.
    writeWholeFile(file, signedWith(good_).replace("JUAN", "JUAM"));
    QCOMPARE(verifier({u"--resumen"_s, file + u"/resumen.pdf"_s, file, Certificate}).code, 1);
    writeWholeFile(file, signedWith(good_));
    const Run r = verifier({u"--resumen"_s, pdf, file, Certificate});
    QVERIFY2(r.code == 0, qPrintable(r.out));
    const QByteArray written = readWholeFile(pdf);
    QVERIFY(written.startsWith("%PDF-") && written.trimmed().endsWith("%%EOF"));
#ifndef Q_OS_WIN // the text is read back with poppler's pdftotext (make test installs it)
    QProcess text;
    text.start(u"pdftotext"_s, {pdf, u"-"_s});
    QVERIFY2(text.waitForFinished(), "pdftotext (poppler-utils) is needed");
    const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    const QString fingerprint =
        QString::fromLatin1(QCryptographicHash::hash(good_, QCryptographicHash::Sha256).toHex());
    for (const QString& s :
         {u"GAMR800202MDFRRS01"_s, u"MODL750505HDFRZS02"_s, u"HIRF700101HDFRZL03"_s,
          u"470 AEROPUERTO INTERNAL. CD. DE MEXICO, D.F."_s, u"200 MEXICO, D.F."_s, u"Cuauhtémoc"_s,
          u"Página 1 de"_s, u"El archivo está íntegro"_s, fingerprint,
          u"GAMR800202MDFRRS01 Sin periodos con otros agentes."_s})
        QVERIFY2(words.contains(s), qPrintable(s + u" missing from: "_s + words));
#endif
}

// Wherever the page breaks fall, a heading (or a heading with the one under
// it) never ends a page: it goes on with the first lines it heads.
void TestVerify::summaryHeadingsKeepTheirLines() {
    using Style = SummaryLine::Style;
    const QList<SummaryLine> section{
        {Style::Heading, u"Histórico"_s},
        {Style::Subheading, u"Representantes que han actuado con el Agente Aduanal"_s},
        {Style::Body, u"GAMR800202MDFRRS01 ROSA GARCIA MARTINEZ"_s, 1},
        {Style::Body, u"Periodo del 01/01/2001 al 02/02/2002 en la aduana 470"_s, 2}};
    for (int before = 30; before < 90; ++before) {
        QList<SummaryLine> lines{{Style::Title, u"Resumen"_s}};
        for (int i = 0; i < before; ++i)
            lines << SummaryLine{Style::Body, u"Línea %1"_s.arg(i)};
        lines << section << section;
        for (qsizetype start : summaryPageStarts(lines))
            QVERIFY2(start == 0 || lines[start - 1].style == Style::Body ||
                         lines[start - 1].style == Style::Title,
                     qPrintable(u"%1 lines before: page starts at %2"_s.arg(before).arg(start)));
    }
}

// What the summary of a changed file says: the first line after the title
// (`top`, empty when it must not warn) and lines it must hold.
void TestVerify::summaryTellsAllThatWasSigned_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<bool>("verified");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QStringList>("holds");
    const QByteArray rosa = "|MARTINEZ|1|0|1";
    row("as signed", QByteArray(), QByteArray(), true, "",
        QStringList{"Representantes que han actuado con el Agente Aduanal"});
    row("unknown type", rosa, QByteArray("|MARTINEZ|7|0|1"), true,
        "Atención: la estructura del archivo tiene 1 errores",
        QStringList{"Tipo 7: código \"7\"", "ROSA GARCIA MARTINEZ, CURP GAMR800202MDFRRS01",
                    "Domicilio particular: JUAREZ 5", "Aduana: 470"});
    row("unknown accreditation", rosa, QByteArray("|MARTINEZ|1|8|1"), true, "Atención",
        QStringList{"Acreditación: código \"8\""});
    row("record that cannot be read", QByteArray("|470\r\nPedimentos"),
        QByteArray("|470|1\r\nPedimentos"), true, "Atención",
        QStringList{"Registros que no se pudieron leer",
                    "línea 13 (5 campos): Aduanas_MM|3001|GAMR800202MDFRRS01|470|1"});
    row("signature that does not verify", QByteArray(), QByteArray(), false,
        "Atención: la firma no verifica. La firma no verifica", QStringList{});
}

void TestVerify::summaryTellsAllThatWasSigned() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(bool, verified);
    QFETCH(QString, top);
    QFETCH(QStringList, holds);
    QByteArray content = good_;
    if (!from.isEmpty()) {
        QVERIFY(content.contains(from));
        content.replace(from, to);
    }
    const QList<SummaryLine> lines =
        summaryLines(signedWith(content), {verified, u"La firma no verifica."_s}, catalogues_);
    QStringList texts;
    for (const SummaryLine& l : lines)
        texts << l.text;
    const QString all = texts.join(u'\n');
    QCOMPARE(texts.at(1).startsWith(u"Atención"_s), !top.isEmpty());
    QVERIFY2(texts.at(1).startsWith(top), qPrintable(all));
    for (const QString& h : holds)
        QVERIFY2(all.contains(h), qPrintable(h + u" missing from: "_s + all));
}

// After "Finaliza" signs, the window offers the ENVIO folder and the
// summary kept in Resumenes, each opened by the system's own program.
// A summary that cannot be written is told; the file stays signed and
// only "Ver el resumen" has nothing to show. A system with nothing to
// open them with says so, naming the path.
void TestVerify::endedWizardOpensWhatItWrote_data() {
    QTest::addColumn<bool>("blocked");     // a file stands where Resumenes goes
    QTest::addColumn<bool>("systemOpens"); // the system has programs for them
    row("summary kept", false, true);
    row("no room for the summary", true, true);
    row("nothing to open them with", false, false);
}

void TestVerify::endedWizardOpensWhatItWrote() {
    QFETCH(bool, blocked);
    QFETCH(bool, systemOpens);
    Wizard w;
    w.script.systemOpens = systemOpens;
    storeOffice(*w.dir.open(), w.dir.path());
    const QString key = w.dir.path() + u"/PELJ700101AB1.key"_s;
    const QString summaries = w.dir.path() + u"/Resumenes"_s;
    QFile::copy(fixture(u"keys/rsa.key"_s), key);
    if (blocked)
        writeWholeFile(summaries, "no es una carpeta");
    w.start();
    QVERIFY(!w.cmd("cmdAbrirEnvio")->isVisibleTo(w.window.get()));
    w.fillPage1(0);
    w.next();
    goOnToTheKey(w.script);
    answerKey(w.script, key);
    w.next();
    QVERIFY2(!w.cmd("cmdSiguiente")->isEnabled(), qPrintable(w.messages().join(u'\n')));
    QVERIFY(readWholeFile(informationFilePath(w.dir.path(), u"3001"_s)).contains("\r\nFIRMA|"));
    for (const char* button : {"cmdAbrirEnvio", "cmdVerResumen"})
        QVERIFY(w.cmd(button)->isVisibleTo(w.window.get()));
    QCOMPARE(w.cmd("cmdVerResumen")->isEnabled(), !blocked);
    w.cmd("cmdAbrirEnvio")->click();
    w.cmd("cmdVerResumen")->click();
    if (blocked) {
        QVERIFY2(w.script.lastText().startsWith(u"No se pudo crear la carpeta"_s),
                 qPrintable(w.script.lastText()));
        QCOMPARE(w.script.opened, QStringList{envioFolder(w.dir.path())});
        return;
    }
    const QStringList kept = QDir(summaries).entryList({u"3001 *.pdf"_s}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QVERIFY(QRegularExpression(u"^3001 \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d\\.pdf$"_s)
                .match(kept.first())
                .hasMatch());
    QCOMPARE(w.script.opened,
             (QStringList{envioFolder(w.dir.path()), summaries + u'/' + kept.first()}));
    if (!systemOpens)
        VERIFY_HOLDS(w.script.lastText(),
                     QDir::toNativeSeparators(summaries + u'/' + kept.first()));
}

#ifdef Q_OS_WIN
// The verifier prints in UTF-8 while it runs, and gives the console it shares
// with whoever started it back in its own code page.
void TestVerify::consoleIsGivenBack() {
    if (!GetConsoleWindow() && !AllocConsole())
        QSKIP("no console can be had here");
    const UINT before = GetConsoleOutputCP(), own = before == 850 ? 437 : 850;
    QVERIFY(SetConsoleOutputCP(own));
    QProcess p;
    p.setCreateProcessArgumentsModifier( // the console shared, not one of its own
        [](QProcess::CreateProcessArguments* a) { a->flags &= ~DWORD(CREATE_NO_WINDOW); });
    p.start(QStringLiteral(KESTRO_VERIFICA_FIRMA), {u"--json"_s}); // refused at once
    QVERIFY(p.waitForFinished(60000));
    const UINT after = GetConsoleOutputCP();
    SetConsoleOutputCP(before);
    QCOMPARE(p.exitCode(), 2);
    QCOMPARE(after, own);
}
#endif

QTEST_MAIN(TestVerify)
#include "tst_verify.moc"
