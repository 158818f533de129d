#include "exchange/FileRecords.h"

#include "rules/Cp1252.h"

#include <cstring>

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

QString fieldText(QByteArrayView bytes) {
    return Cp1252::decode(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

QByteArrayView FileRecord::raw(const Tables::Table& table, const char* column) const {
    return field(fileField(table, column));
}

QByteArrayView FileRecord::bytes() const {
    if (count == 0)
        return QByteArrayView();
    const QByteArrayView last = fields[count - 1];
    return QByteArrayView(tag.data(), last.data() + last.size() - tag.data());
}

FileRecords readRecords(const QByteArray& bytes) {
    FileRecords out;
    // Sized once: neither list moves while the records point into it.
    const qsizetype lines = bytes.count('\n') + 1;
    out.fields.reserve(bytes.count('|') + lines);
    out.lines.reserve(lines);
    const char* const data = bytes.constData();
    qsizetype from = 0;
    for (int line = 1; from < bytes.size(); ++line) {
        const char* nl =
            static_cast<const char*>(std::memchr(data + from, '\n', bytes.size() - from));
        const qsizetype end = nl ? nl - data : bytes.size();
        const bool crlf = nl && end > from && data[end - 1] == '\r';
        const qsizetype textEnd = end - (crlf ? 1 : 0);
        FileRecord r;
        r.line = line;
        r.hasCrLf = crlf;
        const qsizetype first = out.fields.size();
        qsizetype start = from;
        for (qsizetype i = from; i < textEnd; ++i)
            if (data[i] == '|') {
                out.fields.append(QByteArrayView(data + start, i - start));
                start = i + 1;
            }
        out.fields.append(QByteArrayView(data + start, textEnd - start));
        r.fields = out.fields.constData() + first;
        r.count = out.fields.size() - first;
        r.tag = r.fields[0];
        out.lines.append(r);
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

const Tables::Table* sectionOf(QByteArrayView tag) {
    // Asked for every line of every file checked: a dozen tags, compared
    // in place.
    static const auto sections = [] {
        QList<std::pair<QByteArray, const Tables::Table*>> out;
        for (const Tables::Table& t : Tables::all())
            if (t.travel != Tables::Travel::Nowhere)
                out.append({QByteArray(t.name), &t});
        return out;
    }();
    for (const auto& [name, table] : sections)
        if (name == tag)
            return table;
    return nullptr;
}

const Tables::Table* sectionOf(const QString& tag) {
    return sectionOf(QByteArrayView(tag.toLatin1()));
}
