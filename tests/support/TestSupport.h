#pragma once

#include "data/Database.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

// A program folder of its own for one test: a fresh kestro.mdb built from
// the delivered catalogues (or a 3.0 file), removed when the test ends.
class ProgramDir {
public:
    enum class Kind { Delivered, Version30 };
    explicit ProgramDir(Kind kind = Kind::Delivered);

    QString path() const { return dir_.path(); }
    QString dbPath() const { return dir_.filePath(QStringLiteral("kestro.mdb")); }
    // A second connection to the same file, for checks and for rows a test
    // inserts directly.
    std::unique_ptr<Database> open() const;

private:
    QTemporaryDir dir_;
};

inline QString catalogueFolder() {
    return QStringLiteral(KESTRO_CATALOGOS);
}
void writeWholeFile(const QString& path, const QByteArray& bytes);
QByteArray readWholeFile(const QString& path);
// Sets the file's time of last change, as an earlier change would have.
void setModified(const QString& path, const QDateTime& time);
// Every file under a folder by its relative path, with its bytes; the dated
// folder under anteriores/ reads "<fecha>", so that runs can be compared.
QMap<QString, QByteArray> filesUnder(const QString& folder);
// A file of tests/fixtures.
// As this process names the folder: under Wine, the build machine's
// "/work/..." is a path on the current drive only, which a program started
// in a folder of another drive would not find.
inline QString fixture(const QString& name) {
    static const QString folder = QFileInfo(QStringLiteral(KESTRO_FIXTURES)).absoluteFilePath();
    return folder + u'/' + name;
}
// The information file of storeOffice's office, byte for byte: what the
// writer must produce and what the signing tests sign.
inline const QByteArray ExpectedSample = readWholeFile(fixture(QStringLiteral("3001.txt")));

// One row of a _data() table: its name, then its columns; a C string
// (UTF-8) fills a QString column.
template <class T> auto cell(const T& value) {
    if constexpr (std::is_same_v<std::decay_t<const T>, const char*>)
        return QString::fromUtf8(value);
    else
        return value;
}
template <class... T> void row(const char* name, const T&... columns) {
    (QTest::newRow(name) << ... << cell(columns));
}

// Fails the test unless `text` holds `part`, and shows the text.
#define VERIFY_HOLDS(text, part) QVERIFY2((text).contains(part), qPrintable(text))
// A statement the test's setup relies on.
void must(Database& db, const QString& sql, const QVariantList& values = {});
// Query results as text, one line per row, "NULL" for a null value.
QString dump(Database& db, const QString& sql, const QVariantList& v = {});
// Every table and its rows: two states are equal when this is.
QString dumpAll(Database& db);

// Runs a fixture's statements, one a line, with <folder> standing for `folder`.
void runScene(Database& db, const QString& name, const QString& folder);
// office.sql: the agent of patent 3001 with his three addresses, and Rosa, a complete
// representative of the earlier kind (both addresses, office 470, one
// declaration) whose requirement file, named after her RFC, lies in `folder`.
inline const QString RosaCurp = QStringLiteral("GAMR800202MDFRRS01");
QString storeOffice(Database& db, const QString& folder);
// Just the agent, without addresses.
void storeAgent(Database& db);
// A representative from a Mandatarios values tuple, with the addresses of
// the given types (1 private, 2 fiscal).
void storeMandatario(Database& db, const QString& tuple, const QList<int>& addresses = {1, 2});
