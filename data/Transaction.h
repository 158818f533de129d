#pragma once

#include "data/Database.h"

// Every user action that writes several rows runs inside one of these:
// commit() keeps the work; leaving the scope without it undoes everything.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const MaybeError& beginError() const { return beginError_; }
    MaybeError commit();

private:
    Database& db_;
    bool open_ = false;
    MaybeError beginError_;
};

// Runs body (returning MaybeError) inside a transaction; commits only when
// body succeeded.
template <class Body> MaybeError inTransaction(Database& db, Body&& body) {
    Transaction tx(db);
    if (tx.beginError())
        return tx.beginError();
    if (MaybeError e = body())
        return e;
    return tx.commit();
}
