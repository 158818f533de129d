#include "exchange/DumpImport.h"

#include "data/InSpanish.h"
#include "data/PreparedStatement.h"
#include "data/Transaction.h"

#include "data/Dates.h"
#include "data/Tables.h"
#include "rules/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <unordered_map>

namespace {

// One kind of dump record: a table the dump holds, its 3.0
// columns in dump order and the values the old version did not have.
struct DumpRecord {
    const Tables::Table* table;
    QList<const Tables::Column*> fields; // in dump order
    QList<const Tables::Column*> fixed;  // stored as their old default
    QString sql;                         // its insert, built once
    bool skipsPatent() const { return qstrcmp(table->name, "AA") != 0; } // all repeat it but AA
};

// insert into <table>(<fields>,<fixed>) values (?,...); names from the tables' description.
QString insertStatement(const DumpRecord& r) {
    QStringList names, marks;
    for (const auto* list : {&r.fields, &r.fixed})
        for (const Tables::Column* c : *list)
            names << QString::fromLatin1(c->name);
    for (qsizetype i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("insert into %1(%2) values (%3)")
        .arg(r.table->tableName(), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

const QList<DumpRecord>& dumpRecords() {
    static const QList<DumpRecord> records = [] {
        QList<DumpRecord> out;
        for (const Tables::Table& t : Tables::all()) {
            if (!t.inOldDump)
                continue;
            DumpRecord r{&t, {}, {}, {}};
            for (const Tables::Column& c : t.columns) {
                if (c.addedIn35)
                    continue;
                (c.oldDefault.isValid() ? r.fixed : r.fields).append(&c);
            }
            r.sql = insertStatement(r);
            out.append(r);
        }
        return out;
    }();
    return records;
}

Fallible<QVariant> valueOf(const Tables::Column& c, QStringView field) {
    switch (c.kind) {
    case Tables::Kind::Text:
        // An empty field was empty text in the old store, not a missing value.
        return QVariant(field.isEmpty() ? QStringLiteral("") : field.toString());
    case Tables::Kind::Number: {
        bool ok = false;
        const qlonglong n = field.trimmed().toLongLong(&ok);
        if (ok)
            return QVariant(n);
        return DbError::refused(QStringLiteral("el campo %1 (\"%2\") no es un número")
                                    .arg(QString::fromLatin1(c.name), field.toString()));
    }
    case Tables::Kind::Date: {
        // Stored as ISO text, the form every date column of the store holds.
        if (const auto iso = normalisedIsoDate(field.trimmed()))
            return QVariant(*iso);
        return DbError::refused(QStringLiteral("el campo %1 (\"%2\") no es una fecha aaaa-mm-dd")
                                    .arg(QString::fromLatin1(c.name), field.toString()));
    }
    case Tables::Kind::Mandato:
        // "" was a representative before 01/01/2001, "1" one under 2.13.11.
        if (field.isEmpty())
            return QVariant(1);
        if (field == u"1")
            return QVariant(2);
        return DbError::refused(QStringLiteral("el tipo de mandatario \"%1\" no es válido (se "
                                               "espera vacío o \"1\")")
                                    .arg(field.toString()));
    }
    return DbError::refused(QStringLiteral("clase de campo desconocida"));
}

QStringView withoutQuotes(QStringView line) {
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    if (line.size() >= 2 && line.startsWith(QLatin1Char('"')) && line.endsWith(QLatin1Char('"')))
        return line.sliced(1, line.size() - 2);
    return line;
}

} // namespace

QString defaultPreviousVersionFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\KESTRO");
#else
    const QString winePrefix = qEnvironmentVariable("WINEPREFIX");
    const QDir base(winePrefix.isEmpty() ? QDir::home().filePath(QStringLiteral(".wine"))
                                         : winePrefix);
    return base.filePath(QStringLiteral("drive_c/KESTRO"));
#endif
}

Fallible<DumpInsert> Conv_Insert(QStringView recordText) {
    const QList<QStringView> pieces = recordText.split(QLatin1Char('|'));
    const QStringView tag = pieces.first();
    if (tag == u"800") {
        DumpInsert endMark;
        endMark.end = true;
        return endMark;
    }
    for (const DumpRecord& r : dumpRecords()) {
        if (tag != QLatin1String(r.table->name))
            continue;
        const qsizetype firstField = r.skipsPatent() ? 2 : 1;
        const qsizetype present = std::max<qsizetype>(0, pieces.size() - firstField);
        const qsizetype n = r.fields.size();
        if (present < n) {
            return DbError::refused(QStringLiteral("el registro %1 tiene %2 campos y necesita %3")
                                        .arg(tag.toString())
                                        .arg(present)
                                        .arg(n));
        }
        DumpInsert out;
        out.sql = r.sql;
        out.values.reserve(n + r.fixed.size());
        for (qsizetype i = 0; i < n; ++i) {
            const QStringView piece = pieces.at(firstField + i);
            // The last field keeps whatever "|" follow it.
            const QStringView field =
                i + 1 < n ? piece : recordText.sliced(piece.data() - recordText.data());
            const Fallible<QVariant> v = valueOf(*r.fields.at(i), field);
            if (!v)
                return *v.error;
            out.values << v.value;
        }
        for (const Tables::Column* c : r.fixed)
            out.values << c->oldDefault;
        return out;
    }
    return DumpInsert{}; // a tag this version does not take over
}

MaybeError importDump(Database& db, const QString& dumpPath) {
    const QString shown = QDir::toNativeSeparators(dumpPath);
    QFile f(dumpPath);
    if (!f.open(QIODevice::ReadOnly))
        return DbError::refused(QStringLiteral("No se pudo leer el archivo %1 de la versión "
                                               "anterior de KESTRO: %2. No se importó ningún dato.")
                                    .arg(shown, systemSays(f.errorString())));
    const QString text = Cp1252::decode(f.readAll());
    f.close();

    const auto fail = [&](qsizetype line, const QString& text, const QString& why) {
        return DbError::refused(
            QStringLiteral("No se importaron los datos de la versión anterior de KESTRO: "
                           "en la línea %1 del archivo %2 (\"%3\") %4. No se importó ningún "
                           "dato.")
                .arg(line + 1)
                .arg(shown, text, why));
    };

    bool finished = false;
    // Each kind of record has one statement, prepared once.
    std::unordered_map<QString, std::unique_ptr<PreparedStatement>> prepared;
    const MaybeError e = inTransaction(db, [&]() -> MaybeError {
        qsizetype i = -1;
        for (const QStringView line : QStringView(text).tokenize(QLatin1Char('\n'))) {
            // The first line is the dump's header.
            if (++i == 0)
                continue;
            const QStringView recordText = withoutQuotes(line);
            if (recordText.trimmed().isEmpty())
                continue;
            const Fallible<DumpInsert> ins = Conv_Insert(recordText);
            if (!ins)
                return fail(i, recordText.toString(), ins.why());
            if (ins->end) {
                finished = true;
                return std::nullopt;
            }
            if (ins->sql.isEmpty())
                continue;
            auto& statement = prepared[ins->sql];
            if (!statement)
                statement = std::make_unique<PreparedStatement>(db, ins->sql);
            if (MaybeError err = statement->exec(ins->values))
                return fail(i, recordText.toString(),
                            QStringLiteral("la base de datos rechazó el registro (%1)")
                                .arg(err->message().trimmed()));
        }
        return DbError::refused(QStringLiteral("No se importaron los datos de la versión anterior "
                                               "de KESTRO: el archivo %1 termina sin el registro "
                                               "final 800. No se importó ningún dato.")
                                    .arg(shown));
    });
    if (e && finished) // the commit itself failed
        return DbError::refused(QStringLiteral("No se pudieron guardar los datos de la versión "
                                               "anterior de KESTRO: %1. No se importó ningún dato.")
                                    .arg(e->message().trimmed()));
    return e;
}
