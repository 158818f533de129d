#include "data/DeliveredDatabase.h"
#include "data/Transaction.h"

#include "data/Schema.h"
#include "data/Upgrade.h"

#include <QDir>
#include <QFile>
#include <QStringConverter>
#include <QTextStream>

QStringList splitCsvLine(const QString& line) {
    QStringList fields;
    QString cur;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"') {
                cur += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cur += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    fields << cur;
    return fields;
}

namespace {

// Reads a CSV file with a header line; every record must have `width` fields.
MaybeError readCsv(const QString& path, int width, QList<QStringList>* out) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return DbError::refused(QStringLiteral("No se pudo leer %1").arg(path));
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    in.readLine(); // header
    int lineNo = 1;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = splitCsvLine(line);
        if (fields.size() != width)
            return DbError::refused(QStringLiteral("%1, línea %2: se esperaban %3 campos")
                                        .arg(path)
                                        .arg(lineNo)
                                        .arg(width));
        out->append(fields);
    }
    return std::nullopt;
}

MaybeError insertAll(Database& db, const QString& sql, const QList<QStringList>& rows,
                     const std::function<QVariantList(const QStringList&)>& bind) {
    for (const QStringList& r : rows)
        if (MaybeError e = db.exec(sql, bind(r)))
            return e;
    return std::nullopt;
}

} // namespace

MaybeError loadCatalogues(Database& db, const QString& csvFolder) {
    const QDir dir(csvFolder);
    QList<QStringList> states, municipalities, aduanas;
    if (MaybeError e = readCsv(dir.filePath(QStringLiteral("estados.csv")), 2, &states))
        return e;
    if (MaybeError e = readCsv(dir.filePath(QStringLiteral("municipios.csv")), 3, &municipalities))
        return e;
    if (MaybeError e = readCsv(dir.filePath(QStringLiteral("aduanas.csv")), 2, &aduanas))
        return e;
    return inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e = insertAll(db, QStringLiteral("insert into EntFed values (?, ?)"), states,
                                     [](const QStringList& r) -> QVariantList {
                                         return {r[0], r[1]};
                                     }))
            return e;
        if (MaybeError e = insertAll(db, QStringLiteral("insert into MpioDeleg values (?, ?, ?)"),
                                     municipalities, [](const QStringList& r) -> QVariantList {
                                         return {r[0], r[1].toInt(), r[2]};
                                     }))
            return e;
        return insertAll(db, QStringLiteral("insert into Aduanas values (?, ?)"), aduanas,
                         [](const QStringList& r) -> QVariantList {
                             return {r[0].toInt(), r[1]};
                         });
    });
}

MaybeError createDeliveredDatabase(const QString& path, const QString& csvFolder) {
    Database::Opened created = Database::createFile(path);
    if (!created)
        return created.error;
    auto db = std::move(created.value);
    MaybeError e = Schema::createV30(*db);
    if (!e)
        e = Modifica_DB(*db);
    if (!e)
        e = loadCatalogues(*db, csvFolder);
    if (e) {
        db.reset();
        QFile::remove(path);
    }
    return e;
}
