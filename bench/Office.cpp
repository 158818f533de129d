#include "Office.h"

#include "data/Database.h"
#include "data/DeliveredDatabase.h"
#include "data/Schema.h"
#include "data/Transaction.h"
#include "exchange/FileCheck.h"
#include "exchange/PreKeyCheck.h"
#include "rules/CheckDigits.h"
#include "rules/Cp1252.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSqlQuery>

namespace {

const QString Patent = QString::fromLatin1(OfficePatent);
const QList<int> Offices = {10, 20, 160, 200, 240, 430, 470, 800};
const QStringList Names = {"ROSA", "MARIO", "ANA", "JOSE", "LUCIA", "PEDRO", "ELENA", "RAUL"};
const QStringList Surnames = {"GARCIA",  "MARTINEZ", "LOPEZ",  "HERNANDEZ", "PEREZ",
                              "SANCHEZ", "RAMIREZ",  "TORRES", "FLORES",    "RIVERA"};
const QStringList Streets = {"JUAREZ", "REFORMA", "INSURGENTES SUR", "MADERO", "HIDALGO"};

struct Person {
    QString curp, rfc, nombre, apPaterno, apMaterno;
    int mandato; // 1, 2, 3 in turn
};

// Consonants for the CURP's positions 14 to 16 and the RFC's homoclave.
const QString Consonants = QStringLiteral("BCDFGHJKLMNPRSTVXZ");

// The i-th person: each born on a day of his own, so that no two share a
// CURP or an RFC, with identifiers the validators take and their own check
// digits.
Person person(int i, const char* prefix) {
    const QString born = QDate(1950, 1, 1).addDays(i).toString(QStringLiteral("yyMMdd"));
    const QString root = QLatin1String(prefix) + born;
    const auto consonant = [&](int k) {
        return Consonants.at((i / (k + 1) + k) % Consonants.size());
    };
    const QString curp17 = root + (i % 2 ? u'H' : u'M') + QStringLiteral("DF") + consonant(0) +
                           consonant(1) + consonant(2) + QChar(u'0' + i % 10);
    const QString rfc = root + consonant(3) + consonant(4) + u'0';
    return {curp17 + curpCheckDigit(curp17),
            rfc.chopped(1) + rfcCheckDigit(rfc),
            Names.at(i % Names.size()),
            Surnames.at(i % Surnames.size()),
            Surnames.at((i / 7) % Surnames.size()),
            1 + i % 3};
}

// One address as both address tables hold it at positions 1..9.
QVariantList address(int i) {
    return {QStringLiteral("09"),
            15,
            Streets.at(i % Streets.size()),
            QString::number(1 + i % 300),
            i % 4 ? QString() : QStringLiteral("A"),
            QStringLiteral("CENTRO"),
            QStringLiteral("06000"),
            QStringLiteral("555 12 %1").arg(i % 100, 2, 10, QLatin1Char('0')),
            QStringLiteral("555 13 %1").arg(i % 100, 2, 10, QLatin1Char('0'))};
}

QString isoDate(const QDate& d) {
    return d.toString(Qt::ISODate);
}

QString isoDate(int i) {
    return isoDate(QDate(1995, 1, 1).addDays(i * 37 % 4000));
}

// The k-th period of the i-th person: a year long, each after the one before.
std::pair<QString, QString> period(int i, int k) {
    const QDate from = QDate(1995, 1, 1).addDays(i % 1000 + k * 500);
    return {isoDate(from), isoDate(from.addDays(365))};
}

struct Table {
    QString name;
    QList<QVariantList> rows;
};

bool insertRows(Database& db, const Table& t, QString* why) {
    if (t.rows.isEmpty())
        return true;
    QSqlQuery q(db.handle());
    QStringList marks;
    for (qsizetype i = 0; i < t.rows.first().size(); ++i)
        marks << QStringLiteral("?");
    if (!q.prepare(QStringLiteral("insert into %1 values (%2)").arg(t.name, marks.join(u','))))
        return *why = q.lastError().text(), false;
    for (const QVariantList& r : t.rows) {
        for (int i = 0; i < r.size(); ++i)
            q.bindValue(i, r.at(i));
        if (!q.exec()) {
            *why = QStringLiteral("%1: %2").arg(t.name, q.lastError().text());
            return false;
        }
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* why) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size())
        return true;
    *why = QStringLiteral("%1: %2").arg(path, f.errorString());
    return false;
}

QString joined(const QVariantList& values) {
    QStringList texts;
    for (const QVariant& v : values)
        texts << v.toString();
    return texts.join(u'|');
}

// The stored office (3.5 tables) for `n` representatives; requirement
// files are named into `reqDir`.
QList<Table> storedOffice(int n, const QString& reqDir) {
    const QString agentCurp = QStringLiteral("PELJ700101HDFRPN0");
    Table aa{QStringLiteral("AA"),
             {{3001, "JUAN", "PEREZ", "LOPEZ", "PELJ700101AB4",
               agentCurp + curpCheckDigit(agentCurp), 0, 470, 240, 430, 160, 3, 0}}};
    Table domAA{QStringLiteral("Domicilios_AA"), {}};
    for (int t = 1; t <= 6; ++t)
        domAA.rows << QVariantList{t} + address(t);
    Table mand{QStringLiteral("Mandatarios"), {}}, domMM{QStringLiteral("Domicilios_MM"), {}};
    Table adMM{QStringLiteral("Aduanas_MM"), {}}, pedMM{QStringLiteral("Pedimentos_MM"), {}};
    Table perMM{QStringLiteral("Periodos_H_MM"), {}};
    for (int i = 0; i < n; ++i) {
        const Person p = person(i, "GAMR");
        const QString req = p.mandato == 2 ? QString() : QDir(reqDir).filePath(p.rfc + ".req");
        mand.rows << QVariantList{p.curp,        p.rfc,
                                  p.nombre,      p.apPaterno,
                                  p.apMaterno,   p.mandato,
                                  req,           p.mandato == 2 ? 1 + i % 2 : 0,
                                  i % 3 ? 1 : 0, p.mandato == 2 ? 0 : QVariant()};
        for (int t = 1; t <= 2; ++t)
            domMM.rows << QVariantList{p.curp} + address(i + t) + QVariantList{t};
        if (p.mandato == 1) {
            for (int k = 0; k < 2; ++k)
                adMM.rows << QVariantList{p.curp, Offices.at((i + k) % Offices.size())};
            // Declared at the offices he acts in, two at the first.
            for (int k = 0; k < 3; ++k)
                pedMM.rows << QVariantList{p.curp, Offices.at((i + k % 2) % Offices.size()),
                                           QString::number(1000000 + i * 3 + k), isoDate(i + k)};
        }
        if (p.mandato == 2)
            for (int k = 0; k < 2; ++k) {
                const auto [from, to] = period(i, k);
                perMM.rows << QVariantList{p.curp, Offices.at((i + k) % Offices.size()),
                                           1000 + i % 900, from, to};
            }
    }
    // The agent's earlier representatives: one for every ten of today's.
    Table hist{QStringLiteral("Historico_AA"), {}}, perAA{QStringLiteral("Periodos_H_AA"), {}};
    for (int i = 0; i < std::max(1, n / 10); ++i) {
        const Person p = person(i, "HIST");
        hist.rows << QVariantList{p.rfc, p.curp, p.nombre, p.apPaterno, p.apMaterno};
        for (int k = 0; k < 2; ++k) {
            const auto [from, to] = period(i, k);
            perAA.rows << QVariantList{p.curp, Offices.at((i + k) % Offices.size()), from, to};
        }
    }
    return {aa, domAA, mand, domMM, adMM, pedMM, hist, perAA, perMM};
}

// The previous version's dump of the same office, and the rows importing it
// stores (3.0 tables), one text per table.
struct OldOffice {
    QStringList dump;
    QList<std::pair<QString, QStringList>> tables;
};

OldOffice oldOffice(const QList<Table>& stored) {
    OldOffice o;
    QMap<QString, QStringList> rows;
    auto add = [&](const QString& tag, const QString& fields, const QString& row) {
        o.dump << QStringLiteral("\"%1|%2|%3\"").arg(tag, Patent, fields);
        rows[tag] << row;
    };
    o.dump << QStringLiteral("\"KESTRO 3.0 - Recupera\"");
    const QVariantList& a = stored.at(0).rows.first();
    const QString agent = joined(a.mid(0, 8));
    o.dump << QStringLiteral("\"AA|%1\"").arg(agent);
    rows[QStringLiteral("AA")] << agent;
    for (const QVariantList& d : stored.at(1).rows)
        add(QStringLiteral("Domicilios_AA"), joined(d), joined(d));
    for (const QVariantList& m : stored.at(2).rows) {
        const bool rule = m.at(5).toInt() == 2;
        add(QStringLiteral("Mandatarios"),
            joined(m.mid(0, 5)) + (rule ? QStringLiteral("|1") : QStringLiteral("|")),
            joined(m.mid(0, 5)) + (rule ? QStringLiteral("|2||0|2") : QStringLiteral("|1||0|2")));
    }
    for (const QVariantList& d : stored.at(3).rows)
        add(QStringLiteral("Domicilios_MM"), joined(d.mid(0, 10)), joined(d.mid(0, 10)) + "|1");
    for (const QVariantList& d : stored.at(4).rows)
        add(QStringLiteral("Aduanas_MM"), joined(d), joined(d));
    for (const QVariantList& d : stored.at(5).rows)
        add(QStringLiteral("Pedimentos_MM"), joined(d), joined(d));
    o.dump << QStringLiteral("\"800|1111111|1|\"");
    for (const char* t :
         {"AA", "Domicilios_AA", "Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM"})
        o.tables.append({QString::fromLatin1(t), rows.value(QString::fromLatin1(t))});
    return o;
}

QByteArray requirementBytes(int i) {
    QByteArray b = "-----BEGIN CERTIFICATE REQUEST-----\n";
    for (int line = 0; line < 18; ++line)
        b += QByteArray(64, char('A' + (i + line) % 26)) + '\n';
    return b + "-----END CERTIFICATE REQUEST-----\n";
}

// The office must be one the program would sign: timing data it refuses
// measures a case no user meets.
bool passesCheckBeforeKey(Database& db, QString* why) {
    const Fallible<CatalogueNames> names = CatalogueNames::read(db);
    if (!names)
        return *why = names.why(), false;
    const Fallible<PreKeyCheck> checked = checkBeforeKey(db, Patent, names.value);
    if (!checked)
        return *why = checked.why(), false;
    if (!checked->blocked())
        return true;
    QStringList lines{QStringLiteral("la oficina generada no pasa la revisión antes de la llave:")};
    int blocking = 0;
    for (const Problem& p : checked->problems)
        if (p.blocking && ++blocking <= 5) // the first few tell what the generator got wrong
            lines << QStringLiteral("  %1: %2").arg(p.curp, p.what);
    if (blocking > 5)
        lines << QStringLiteral("  y %1 más").arg(blocking - 5);
    *why = lines.join(u'\n');
    return false;
}

} // namespace

bool makeEmptyV30(const QString& path, const QString& catalogues, QString* why) {
    QFile::remove(path);
    Database::Opened created = Database::createFile(path);
    if (!created)
        return *why = created.why(), false;
    auto db = std::move(created.value);
    MaybeError e = Schema::createV30(*db);
    if (!e)
        e = loadCatalogues(*db, catalogues);
    if (e)
        *why = e->message();
    return !e;
}

bool makeOffice(const QString& folder, int representatives, const QString& catalogues, Office* out,
                QString* why) {
    const QDir dir(folder);
    out->representatives = representatives;
    out->dataDir = dir.filePath(QStringLiteral("datos"));
    const QString reqDir = dir.filePath(QStringLiteral("requerimientos"));
    out->importTables = dir.filePath(QStringLiteral("tablas"));
    const QString oldDir = dir.filePath(QStringLiteral("KESTRO"));
    for (const QString& d : {out->dataDir, reqDir, out->importTables, oldDir})
        if (!QDir().mkpath(d))
            return *why = QStringLiteral("no se pudo crear %1").arg(d), false;

    const QString mdb = QDir(out->dataDir).filePath(QString::fromLatin1(Database::FileName));
    QFile::remove(mdb);
    if (MaybeError e = createDeliveredDatabase(mdb, catalogues))
        return *why = e->message(), false;
    Database::Opened opened = Database::openFile(mdb);
    if (!opened)
        return *why = opened.why(), false;
    auto db = std::move(opened.value);
    const QList<Table> stored = storedOffice(representatives, reqDir);
    const MaybeError e = inTransaction(*db, [&]() -> MaybeError {
        for (const Table& t : stored)
            if (!insertRows(*db, t, why))
                return DbError::refused(*why);
        return std::nullopt;
    });
    if (e)
        return *why = e->message(), false;

    out->requirements.clear();
    int i = 0;
    for (const QVariantList& m : stored.at(2).rows) {
        const QString req = m.at(6).toString();
        if (!req.isEmpty()) {
            if (!writeFile(req, requirementBytes(i++), why))
                return false;
            out->requirements << req;
        }
    }

    const OldOffice old = oldOffice(stored);
    out->dump = QDir(oldDir).filePath(QStringLiteral("Recupera.txt"));
    if (!writeFile(out->dump, Cp1252::encode(old.dump.join(QStringLiteral("\r\n")) + "\r\n"), why))
        return false;
    out->importedTables.clear();
    for (const auto& [table, rows] : old.tables) {
        out->importedTables << table;
        const QString path = QDir(out->importTables).filePath(table + QStringLiteral(".txt"));
        if (!writeFile(path, (rows.join(u'\n') + u'\n').toUtf8(), why))
            return false;
    }
    return passesCheckBeforeKey(*db, why);
}
