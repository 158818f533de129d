#pragma once

#include "data/DbError.h"

#include <QList>
#include <QVariant>

// The rows of a query, by column position, all read at once. The stores
// read through it and name the columns; whole tables written out go
// through eachRow instead.
struct Rows {
    QList<QVariantList> rows;
    MaybeError error;

    bool ok() const { return !error.has_value(); }
    bool empty() const { return rows.isEmpty(); }
    int size() const { return int(rows.size()); }
    const QVariantList& first() const { return rows.first(); }
    const QVariantList& last() const { return rows.last(); }
};
