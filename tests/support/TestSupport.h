#pragma once

#include "data/Database.h"

#include <QTemporaryDir>
#include <memory>

// A program folder of its own for one test: a fresh kestro.mdb built from
// the delivered catalogues (or a 3.0 file), removed when the test ends.
class ProgramDir {
public:
    enum class Kind { Delivered, Version30, Empty };
    explicit ProgramDir(Kind kind = Kind::Delivered);

    QString path() const { return dir_.path(); }
    QString dbPath() const;
    // A second connection to the same file, for checks and for rows a test
    // inserts directly.
    std::unique_ptr<Database> open() const;

private:
    QTemporaryDir dir_;
};

QString catalogueFolder();
