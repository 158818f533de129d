#include "data/RawRow.h"

#include <QVariant>
#include <sqlite3.h>

int RawRow::columns() const {
    return sqlite3_column_count(s_);
}

RawRow::Kind RawRow::kind(int column) const {
    switch (sqlite3_column_type(s_, column)) {
    case SQLITE_NULL:
        return Kind::Null;
    case SQLITE_INTEGER:
        return Kind::Integer;
    case SQLITE_FLOAT:
        return Kind::Real;
    }
    return Kind::Text;
}

qlonglong RawRow::integer(int column) const {
    return sqlite3_column_int64(s_, column);
}

double RawRow::real(int column) const {
    return sqlite3_column_double(s_, column);
}

QByteArrayView RawRow::utf8(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s_, column));
    return QByteArrayView(text, sqlite3_column_bytes(s_, column));
}

QString RawRow::text(int column) const {
    switch (kind(column)) {
    case Kind::Null:
        return QString();
    case Kind::Integer:
        return QString::number(integer(column));
    case Kind::Real:
        return QVariant(real(column)).toString();
    case Kind::Text:
        break;
    }
    return QString::fromUtf8(utf8(column));
}
