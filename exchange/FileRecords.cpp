#include "exchange/FileRecords.h"

#include "rules/Cp1252.h"

#include <algorithm>
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

QString shownField(QByteArrayView bytes, qsizetype most) {
    if (bytes.size() <= most)
        return fieldText(bytes);
    return fieldText(bytes.first(most)) + u'…';
}

qsizetype FileRecord::fieldsInLine() const {
    return count < MaxStoredFields ? count : bytes().count('|') + 1;
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

FileRecords readRecords(const QByteArray& bytes,
                        const std::function<bool(const FileRecord&)>& keep) {
    FileRecords out;
    if (!keep) {
        out.fields.reserve(bytes.size() / 8 + 16);
        out.lines.reserve(bytes.size() / 48 + 4);
    }
    const char* const data = bytes.constData();
    const char* const stop = data + bytes.size();
    QList<qsizetype> firsts; // each line's first field, until the fields stop moving
    firsts.reserve(out.lines.capacity());
    int line = 0;
    for (const char* from = data; from < stop;) {
        const char* nl = static_cast<const char*>(std::memchr(from, '\n', stop - from));
        const char* end = nl ? nl : stop;
        FileRecord r;
        r.line = ++line;
        r.hasCrLf = nl && end > from && end[-1] == '\r';
        const char* textEnd = end - (r.hasCrLf ? 1 : 0);
        const qsizetype first = out.fields.size();
        for (const char* bar;
             out.fields.size() - first < MaxStoredFields - 1 &&
             (bar = static_cast<const char*>(std::memchr(from, '|', textEnd - from)));
             from = bar + 1)
            out.fields.append(QByteArrayView(from, bar - from));
        out.fields.append(QByteArrayView(from, textEnd - from));
        r.count = out.fields.size() - first;
        from = end + 1;
        if (keep) {
            r.fields = out.fields.constData() + first;
            r.tag = r.fields[0];
            if (!keep(r)) {
                out.fields.resize(first);
                continue;
            }
        }
        firsts.append(first);
        out.lines.append(r);
    }
    for (qsizetype i = 0; i < out.lines.size(); ++i) {
        FileRecord& r = out.lines[i];
        r.fields = out.fields.constData() + firsts[i];
        r.tag = r.fields[0];
    }
    return out;
}

const FileRecord* recordAt(const FileRecords& records, int line) {
    const auto it = std::lower_bound(records.lines.cbegin(), records.lines.cend(), line,
                                     [](const FileRecord& r, int l) { return r.line < l; });
    return it != records.lines.cend() && it->line == line ? &*it : nullptr;
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
