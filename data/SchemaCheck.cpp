#include "data/SchemaCheck.h"

#include "data/Schema.h"
#include "data/ShownPath.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <memory>
#include <sqlite3.h>

namespace {

using Db = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

// Rows of a statement, each row's columns joined by "|"; false when the
// engine refused it.
bool rowsOf(sqlite3* db, const char* sql, const QString& bound, QStringList* out) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
        return false;
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(s, sqlite3_finalize);
    if (!bound.isNull())
        sqlite3_bind_text16(s, 1, bound.utf16(), int(bound.size() * 2), SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
        out->append(row.join(u'|'));
    }
    return rc == SQLITE_DONE;
}

// A schema as the engine reports it, names folded to lower case (the
// engine ignores their case): each table's columns in order (name, type,
// not null, default, key, hidden) and each index's table, kind and columns.
struct Shape {
    QHash<QString, QStringList> tables;
    QHash<QString, QString> indexes;
    QStringList triggers, views, others;
};

bool describe(sqlite3* db, Shape* shape) {
    QStringList objects;
    if (!rowsOf(db, "select type, lower(name), lower(tbl_name) from sqlite_master", QString(),
                &objects))
        return false;
    for (const QString& o : objects) {
        const QStringList f = o.split(u'|');
        const QString &type = f.value(0), &name = f.value(1);
        if (type == QLatin1String("table")) {
            QStringList columns;
            if (!rowsOf(db,
                        "select lower(name), upper(type), \"notnull\", dflt_value, pk, hidden "
                        "from pragma_table_xinfo(?)",
                        name, &columns))
                return false;
            shape->tables.insert(name, columns);
        } else if (type == QLatin1String("index")) {
            QStringList listed, columns;
            if (!rowsOf(db,
                        "select lower(name), \"unique\", origin, partial from "
                        "pragma_index_list(?)",
                        f.value(2), &listed) ||
                !rowsOf(db, "select lower(name) from pragma_index_info(?)", name, &columns))
                return false;
            const QStringList kind = listed.filter(QRegularExpression(
                u'^' + QRegularExpression::escape(name) + QStringLiteral("\\|")));
            shape->indexes.insert(name,
                                  f.value(2) + u'|' + kind.join(u';') + u'|' + columns.join(u','));
        } else if (type == QLatin1String("trigger")) {
            shape->triggers << name;
        } else if (type == QLatin1String("view")) {
            shape->views << name;
        } else {
            shape->others << name;
        }
    }
    return true;
}

// What the program makes: the 3.0 tables and what the upgrade adds to
// them, built in memory by the very statements the program runs.
struct Reference {
    Shape upgraded;
    QHash<QString, QSet<QString>> added; // table -> columns the upgrade appends
};

const Reference& reference() {
    static const Reference r = [] {
        Reference out;
        sqlite3* raw = nullptr;
        sqlite3_open(":memory:", &raw);
        const Db db(raw, sqlite3_close);
        QStringList statements = Schema::createStatementsV30();
        for (const Schema::AddedColumn& c : Schema::addedColumns()) {
            statements << QStringLiteral("alter table %1 add %2 %3").arg(c.table, c.column, c.type);
            out.added[c.table.toLower()].insert(c.column.toLower());
        }
        statements << Schema::createVersionesStatement();
        for (const QString& sql : statements)
            sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        describe(raw, &out.upgraded);
        return out;
    }();
    return r;
}

QString cut(const QString& name) {
    return name.size() > 40 ? name.left(40) + u'…' : name;
}

QString columnName(const QString& column) {
    return column.section(u'|', 0, 0);
}

// Version 3.0's columns in their order, then any of the upgrade's, each
// once and each as the upgrade makes it.
bool columnsFit(const QString& table, const QStringList& found, const QStringList& expected) {
    const QSet<QString> added = reference().added.value(table);
    QStringList original;
    QHash<QString, QString> upgraded;
    for (const QString& c : expected)
        if (added.contains(columnName(c)))
            upgraded.insert(columnName(c), c);
        else
            original << c;
    if (found.size() < original.size() || found.mid(0, original.size()) != original)
        return false;
    QSet<QString> seen;
    for (const QString& c : found.mid(original.size())) {
        const QString name = columnName(c);
        if (upgraded.value(name) != c || seen.contains(name))
            return false;
        seen.insert(name);
    }
    return true;
}

QString whyNot(const Shape& found) {
    if (!found.triggers.isEmpty())
        return QStringLiteral("tiene un disparador (trigger) llamado %1, y KESTRO nunca los crea")
            .arg(cut(found.triggers.first()));
    if (!found.views.isEmpty())
        return QStringLiteral("tiene una vista llamada %1, y KESTRO nunca las crea")
            .arg(cut(found.views.first()));
    if (!found.others.isEmpty())
        return QStringLiteral("tiene el objeto %1, que KESTRO no crea")
            .arg(cut(found.others.first()));
    const Shape& expected = reference().upgraded;
    const QString registry = QStringLiteral("versiones");
    for (auto it = found.tables.cbegin(); it != found.tables.cend(); ++it)
        if (!expected.tables.contains(it.key()))
            return QStringLiteral("tiene la tabla %1, que KESTRO no usa").arg(cut(it.key()));
    for (auto it = expected.tables.cbegin(); it != expected.tables.cend(); ++it) {
        const auto there = found.tables.constFind(it.key());
        if (there == found.tables.cend()) {
            if (it.key() == registry) // a 3.0 file, before its upgrade
                continue;
            return QStringLiteral("le falta la tabla %1").arg(it.key());
        }
        if (!columnsFit(it.key(), *there, *it))
            return QStringLiteral("las columnas de la tabla %1 no son las que KESTRO crea")
                .arg(it.key());
    }
    for (auto it = found.indexes.cbegin(); it != found.indexes.cend(); ++it)
        if (expected.indexes.value(it.key()) != *it)
            return QStringLiteral("tiene el índice %1, que KESTRO no crea así").arg(cut(it.key()));
    for (auto it = expected.indexes.cbegin(); it != expected.indexes.cend(); ++it)
        if (!found.indexes.contains(it.key()))
            return QStringLiteral("le falta el índice %1").arg(it.key());
    return QString();
}

} // namespace

QString schemaFault(const QString& path) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const Db db(raw, sqlite3_close);
    sqlite3_busy_timeout(raw, 2000);
    Shape found;
    if (rc != SQLITE_OK || !describe(raw, &found))
        return QStringLiteral("No se pudo leer la estructura del archivo %1 (%2).")
            .arg(shownPath(path), QString::fromUtf8(sqlite3_errmsg(raw)));
    const QString why = whyNot(found);
    return why.isEmpty() ? QString()
                         : QStringLiteral("El archivo %1 no es una base de datos de KESTRO: %2.")
                               .arg(shownPath(path), why);
}
