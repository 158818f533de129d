#pragma once

#include "data/Database.h"

struct sqlite3_stmt;

// One statement prepared once and run many times, each run with its own
// values: for imports of many rows, where preparing again for every row, or
// going through the general query classes, costs more than the insert.
class PreparedStatement {
public:
    PreparedStatement(Database& db, const QString& sql);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    const MaybeError& prepareError() const { return prepareError_; }
    MaybeError exec(const QVariantList& params);

private:
    sqlite3* engine_;
    sqlite3_stmt* statement_ = nullptr;
    MaybeError prepareError_;
};
