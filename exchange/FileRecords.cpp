#include "exchange/FileRecords.h"

#include "rules/Cp1252.h"

#include <QHash>

const QString VersionRecord = QStringLiteral("Paq_Version|KESTRO|3.5.0");
const QString EndRecord = QStringLiteral("800|1111111|1|");
const QString SignatureTag = QStringLiteral("FIRMA");
const QString NotApplicable = QStringLiteral("No Aplica");

QString headRecord(const QString& patente) {
    return QStringLiteral("501|%1|1111111||||||||%1").arg(patente);
}

int fileField(const Tables::Table& table, const char* column) {
    int at = 2;
    for (const Tables::Column& c : table.columns) {
        if (qstrcmp(c.name, column) == 0)
            return c.inFile ? at : -1;
        at += c.inFile ? 1 : 0;
    }
    return -1;
}

int fileFieldCount(const Tables::Table& table) {
    int n = 2;
    for (const Tables::Column& c : table.columns)
        n += c.inFile ? 1 : 0;
    return n;
}

QString FileRecord::value(const Tables::Table& table, const char* column) const {
    return at(fileField(table, column));
}

namespace {

// QString::split, without its cost for every line of every file checked.
QStringList splitFields(const QString& line) {
    QStringList out;
    out.reserve(16);
    qsizetype from = 0;
    for (qsizetype bar; (bar = line.indexOf(u'|', from)) >= 0; from = bar + 1)
        out.append(QString(line.constData() + from, bar - from));
    out.append(QString(line.constData() + from, line.size() - from));
    return out;
}

} // namespace

QList<FileRecord> readRecords(const QByteArray& bytes) {
    QList<FileRecord> out;
    out.reserve(bytes.count('\n') + 1);
    qsizetype from = 0;
    for (int line = 1; from < bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', from);
        const bool lastWithoutEnd = end < 0;
        if (lastWithoutEnd)
            end = bytes.size();
        const bool crlf = !lastWithoutEnd && end > from && bytes[end - 1] == '\r';
        // Read in place, not copied out first.
        const QByteArray text =
            QByteArray::fromRawData(bytes.constData() + from, end - from - (crlf ? 1 : 0));
        FileRecord r;
        r.line = line;
        r.hasCrLf = crlf;
        r.fields = splitFields(Cp1252::decode(text));
        r.tag = r.fields.first();
        out.append(std::move(r));
        from = end + 1;
    }
    return out;
}

const char* recordKeyColumn(const Tables::Table& table) {
    if (table.keyColumn)
        return table.keyColumn;
    return qstrcmp(table.name, "Domicilios_AA") == 0 ? "Tipo_Dom"
           : qstrcmp(table.name, "AA") == 0          ? "CURP"
                                                     : nullptr;
}

const Tables::Table* sectionOf(const QString& tag) {
    // Asked for every line of every file checked: looked up, not searched.
    static const QHash<QString, const Tables::Table*> sections = [] {
        QHash<QString, const Tables::Table*> out;
        for (const Tables::Table& t : Tables::all())
            if (t.travel != Tables::Travel::Nowhere)
                out.insert(t.tableName(), &t);
        return out;
    }();
    return sections.value(tag);
}
