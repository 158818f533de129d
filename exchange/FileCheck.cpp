#include "exchange/FileCheck.h"

#include "data/Dates.h"
#include "exchange/FileRecords.h"
#include "exchange/FileRules.h"
#include "rules/Rutinas.h"
#include "rules/SafeText.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <optional>

namespace {

// The sections whose records name a person; the others refer to one.
const QStringList PeopleSections = {QStringLiteral("AA"), QStringLiteral("Mandatarios"),
                                    QStringLiteral("Historico_AA")};
const QSet<QString> OfficeColumns = {QStringLiteral("Adscripcion"), QStringLiteral("Aduana1"),
                                     QStringLiteral("Aduana2"), QStringLiteral("Aduana3"),
                                     QStringLiteral("NoAduana")};
// Columns an agent may leave without an office.
const QSet<QString> OptionalOffices = {QStringLiteral("Aduana1"), QStringLiteral("Aduana2"),
                                       QStringLiteral("Aduana3")};

// Whether a byte may stand in a field, by the writer's own rule: a byte
// the code page leaves undefined reads back as its own C1 control, which
// no field holds.
bool fieldByte(uchar b) {
    static const auto allowed = [] {
        std::array<bool, 256> out{};
        for (int i = 0; i < 256; ++i)
            out[i] = fileFieldByte(Cp1252::decode(QByteArray(1, char(i))).at(0)) >= 0;
        return out;
    }();
    return allowed[b];
}

// Ranks in the order the writer puts the records; -1 for an unknown tag.
constexpr int HeadRank = 0, VersionRank = 1;
int rankOf(const QString& tag) {
    static const QHash<QString, int> ranks = [] {
        QHash<QString, int> out{{QStringLiteral("501"), HeadRank},
                                {QStringLiteral("Paq_Version"), VersionRank}};
        int rank = VersionRank;
        for (const Tables::Table& t : Tables::all())
            if (t.travel != Tables::Travel::Nowhere)
                out.insert(t.tableName(), ++rank);
        out.insert(QStringLiteral("800"), rank + 1);
        return out;
    }();
    return ranks.value(tag, -1);
}

class Checker {
public:
    Checker(const QByteArray& file, const CatalogueNames& c)
        : file_(file), records_(readRecords(file)), c_(c) {}

    StructureReport run() {
        checkBytes();
        splitOffSignature();
        checkRecords();
        checkContent();
        std::stable_sort(report_.errors.begin(), report_.errors.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
        for (QList<Finding>* list : {&report_.errors, &report_.observations})
            for (Finding& f : *list)
                placeOnRecord(f);
        return report_;
    }

private:
    void error(int line, const QString& text) { report_.errors.append({line, text, {}, {}}); }

    // The record a finding is on, and whom it is of.
    void placeOnRecord(Finding& f) const {
        const FileRecord* r = recordAt(f.line);
        if (!r)
            return;
        f.section = r->tag;
        const Tables::Table* t = sectionOf(r->tag);
        if (!t)
            return;
        if (const char* key = recordKeyColumn(*t))
            f.key = r->value(*t, key);
    }
    const FileRecord* recordAt(int line) const {
        if (signature_ && signature_->line == line)
            return &*signature_;
        return line >= 1 && line <= records_.size() && records_[line - 1].line == line
                   ? &records_[line - 1]
                   : nullptr;
    }
    void error(const FileRecord& r, const QString& text) { error(r.line, text); }

    // The signature record is judged by the signature check; only its
    // patent is the structure's concern.
    void splitOffSignature() {
        if (!records_.isEmpty() && records_.last().tag == SignatureTag)
            signature_ = records_.takeLast();
    }

    // Line ends, empty lines and bytes, one finding of each kind a line.
    void checkBytes() {
        int line = 1;
        bool byteTold = false;
        for (qsizetype i = 0, start = 0; i < file_.size(); ++i) {
            const uchar b = uchar(file_[i]);
            if (b == '\n') {
                if (i == start || (i == start + 1 && file_[start] == '\r'))
                    error(line, QStringLiteral("la línea está vacía."));
                if (i == start || file_[i - 1] != '\r')
                    error(line, QStringLiteral("la línea no termina en CR LF."));
                ++line;
                start = i + 1;
                byteTold = false;
                continue;
            }
            if (i + 1 == file_.size())
                error(line, QStringLiteral("la línea no termina en CR LF."));
            if (byteTold || b == '|' || fieldByte(b))
                continue;
            if (b == '\r' && (i + 1 == file_.size() || file_[i + 1] == '\n'))
                continue;
            byteTold = true;
            error(line, b == '\r' ? QStringLiteral("tiene un CR que no termina la línea.")
                        : b >= 0x80
                            ? QStringLiteral("el byte 0x%1 no es un carácter de Windows-1252.")
                                  .arg(QString::number(b, 16).toUpper())
                            : QStringLiteral("tiene un carácter de control (0x%1).")
                                  .arg(b, 2, 16, QLatin1Char('0')));
        }
    }

    static bool isEmptyLine(const FileRecord& r) {
        return r.fields.size() == 1 && r.fields.first().isEmpty();
    }

    // Tags, field counts, order, fillers and the patent.
    void checkRecords() {
        int highest = -1;
        QHash<QString, int> seen;
        for (const FileRecord& r : records_) {
            if (isEmptyLine(r))
                continue;
            const int rank = rankOf(r.tag);
            if (rank < 0) {
                error(r,
                      r.tag == SignatureTag
                          ? QStringLiteral("el registro FIRMA sólo puede ir al final.")
                          : QStringLiteral("la etiqueta de registro \"%1\" no existe.").arg(r.tag));
                continue;
            }
            if (rank < highest)
                error(r, QStringLiteral("el registro %1 está fuera de orden.").arg(r.tag));
            highest = std::max(highest, rank);
            ++seen[r.tag];
            checkLayout(r);
        }
        expectOnce(seen, QStringLiteral("501"));
        expectOnce(seen, QStringLiteral("Paq_Version"));
        expectOnce(seen, QStringLiteral("AA"));
        expectOnce(seen, QStringLiteral("800"));
        if (!records_.isEmpty() && records_.first().tag != u"501")
            error(records_.first(), QStringLiteral("la primera línea debe ser el registro 501."));
        if (!records_.isEmpty() && records_.last().tag != u"800")
            error(records_.last(),
                  QStringLiteral("el registro 800 debe ser el último antes de la firma."));
        if (signature_ && signature_->at(1) != patent_)
            error(*signature_, QStringLiteral("la patente %1 no es la del registro 501 (%2).")
                                   .arg(signature_->at(1), patent_));
    }

    void expectOnce(const QHash<QString, int>& seen, const QString& tag) {
        const int n = seen.value(tag);
        if (n == 1)
            return;
        const int line = n == 0 ? (records_.isEmpty() ? 0 : records_.last().line) : lineOf(tag, 2);
        error(
            line,
            n == 0
                ? QStringLiteral("falta el registro %1.").arg(tag)
                : QStringLiteral("el registro %1 aparece %2 veces; va una sola.").arg(tag).arg(n));
    }

    int lineOf(const QString& tag, int occurrence) const {
        for (const FileRecord& r : records_)
            if (r.tag == tag && --occurrence == 0)
                return r.line;
        return 0;
    }

    void checkLayout(const FileRecord& r) {
        if (r.tag == u"501") {
            static const int headFields = int(headRecord(QString()).count(u'|')) + 1;
            patent_ = r.at(1);
            if (r.fields.size() != headFields || r.fields.last() != patent_)
                error(r, r.fields.size() == headFields
                             ? QStringLiteral("la patente no es la misma en los dos campos del "
                                              "registro 501.")
                             : countMessage(r, headFields));
            else if (r.fields.join(u'|') != headRecord(patent_))
                error(r, QStringLiteral("el registro 501 no tiene su forma fija."));
            return;
        }
        if (r.tag == u"Paq_Version" || r.tag == u"800") {
            const QString& fixed = r.tag == u"800" ? EndRecord : VersionRecord;
            if (r.fields.join(u'|') != fixed)
                error(r, QStringLiteral("el registro debe ser exactamente \"%1\".").arg(fixed));
            return;
        }
        const Tables::Table& t = *sectionOf(r.tag);
        if (r.at(1) != patent_)
            error(r, QStringLiteral("la patente %1 no es la del registro 501 (%2).")
                         .arg(r.at(1), patent_));
        if (isFiller(t, r)) {
            fillers_.append(r);
            return;
        }
        if (r.fields.size() != fileFieldCount(t)) {
            error(r, countMessage(r, fileFieldCount(t)));
            return;
        }
        bySection_[r.tag].append(r);
    }

    static bool isFiller(const Tables::Table& t, const FileRecord& r) {
        if (t.fileFillers == 0 || r.fields.size() != 2 + t.fileFillers)
            return false;
        for (int i = 2; i < r.fields.size(); ++i)
            if (r.fields[i] != NotApplicable)
                return false;
        return true;
    }

    static QString countMessage(const FileRecord& r, int expected) {
        return QStringLiteral("el registro %1 tiene %2 campos; lleva %3.")
            .arg(r.tag)
            .arg(r.fields.size())
            .arg(expected);
    }

    const QList<FileRecord>& section(const QString& tag) const {
        static const QList<FileRecord> none;
        const auto it = bySection_.constFind(tag);
        return it == bySection_.constEnd() ? none : *it;
    }
    const QList<FileRecord>& section(const char* name) const {
        return section(QString::fromLatin1(name));
    }

    void checkContent() {
        checkFillers();
        checkHistoryPart();
        checkReferences();
        checkValues();
    }

    // A filler stands for an empty section, alone.
    void checkFillers() {
        QSet<QString> sectionsWithFiller;
        for (const FileRecord& f : fillers_) {
            if (!section(f.tag).isEmpty() || sectionsWithFiller.contains(f.tag))
                error(f, QStringLiteral("el registro \"No Aplica\" de %1 sólo va cuando la "
                                        "sección no tiene registros.")
                             .arg(f.tag));
            sectionsWithFiller.insert(f.tag);
        }
        const auto mustHaveLine = [&](const char* name) {
            if (section(name).isEmpty() && !sectionsWithFiller.contains(QLatin1String(name)))
                error(lastLine(), QStringLiteral("falta la sección %1 (o su registro \"No "
                                                 "Aplica\").")
                                      .arg(QLatin1String(name)));
        };
        mustHaveLine("Mandatarios");
        if (historyPresent()) {
            mustHaveLine("Historico_AA");
            mustHaveLine("Periodos_H_MM");
        }
    }

    int lastLine() const { return records_.isEmpty() ? 0 : records_.last().line; }

    bool historyPresent() const {
        for (const FileRecord& r : records_)
            if (const Tables::Table* t = sectionOf(r.tag))
                if (t->travel == Tables::Travel::FileHistory)
                    return true;
        return false;
    }

    void checkHistoryPart() {
        const Tables::Table& m = Tables::byName("Mandatarios");
        const FileRecord* type2 = nullptr;
        for (const FileRecord& r : section("Mandatarios"))
            if (r.value(m, "Mandato") == u"2" && !type2)
                type2 = &r;
        const bool present = historyPresent();
        if (type2 && !present)
            error(*type2, QStringLiteral("el mandatario %1 es del tipo 2 y el archivo no trae "
                                         "la parte histórica.")
                              .arg(type2->value(m, "CURP")));
        if (!type2 && present)
            for (const FileRecord& r : records_)
                if (const Tables::Table* t = sectionOf(r.tag);
                    t && t->travel == Tables::Travel::FileHistory) {
                    error(r, QStringLiteral("la parte histórica sólo va cuando algún "
                                            "mandatario es del tipo 2."));
                    break;
                }
    }

    void checkReferences() {
        const Tables::Table& m = Tables::byName("Mandatarios");
        QHash<QString, QString> typeOf; // CURP -> Mandato
        for (const FileRecord& r : section("Mandatarios"))
            typeOf.insert(r.value(m, "CURP"), r.value(m, "Mandato"));

        QHash<QString, QSet<QString>> addressTypes, offices;
        const Tables::Table& dm = Tables::byName("Domicilios_MM");
        for (const FileRecord& r : section("Domicilios_MM")) {
            const QString curp = r.value(dm, "CURP");
            if (!typeOf.contains(curp))
                error(r, unknownRepresentative(curp));
            addressTypes[curp].insert(r.value(dm, "Tipo_Dom"));
        }
        const Tables::Table& am = Tables::byName("Aduanas_MM");
        for (const FileRecord& r : section("Aduanas_MM")) {
            const QString curp = r.value(am, "CURP");
            if (!typeOf.contains(curp))
                error(r, unknownRepresentative(curp));
            offices[curp].insert(r.value(am, "NoAduana"));
        }
        for (const FileRecord& r : section("Mandatarios")) {
            const QString curp = r.value(m, "CURP");
            for (const char* type : {"1", "2"})
                if (!addressTypes.value(curp).contains(QLatin1String(type)))
                    error(r, QStringLiteral("el mandatario %1 no tiene domicilio del tipo %2.")
                                 .arg(curp, QLatin1String(type)));
            if (r.value(m, "Mandato") == u"1" && offices.value(curp).isEmpty())
                error(
                    r,
                    QStringLiteral("el mandatario %1 es del tipo 1 y no tiene aduanas.").arg(curp));
        }
        const Tables::Table& pm = Tables::byName("Pedimentos_MM");
        for (const FileRecord& r : section("Pedimentos_MM")) {
            const QString curp = r.value(pm, "CURP"), office = r.value(pm, "NoAduana");
            if (!typeOf.contains(curp))
                error(r, unknownRepresentative(curp));
            else if (!offices.value(curp).contains(office))
                error(r, QStringLiteral("la aduana %1 del pedimento no es una de las aduanas "
                                        "del mandatario %2.")
                             .arg(office, curp));
        }
        QSet<QString> earlierAgents;
        const Tables::Table& h = Tables::byName("Historico_AA");
        for (const FileRecord& r : section("Historico_AA"))
            earlierAgents.insert(r.value(h, "CURP"));
        const Tables::Table& pa = Tables::byName("Periodos_H_AA");
        for (const FileRecord& r : section("Periodos_H_AA"))
            if (!earlierAgents.contains(r.value(pa, "CURP")))
                error(r, QStringLiteral("el periodo es de %1, que no está en el histórico del "
                                        "agente.")
                             .arg(r.value(pa, "CURP")));
        const Tables::Table& ph = Tables::byName("Periodos_H_MM");
        for (const FileRecord& r : section("Periodos_H_MM"))
            if (!typeOf.contains(r.value(ph, "CURP")))
                error(r, unknownRepresentative(r.value(ph, "CURP")));
    }

    static QString unknownRepresentative(const QString& curp) {
        return QStringLiteral("el mandatario %1 no está en la sección Mandatarios.").arg(curp);
    }

    // What each written column of a section holds worth checking, worked
    // out once per section rather than for every record.
    struct ValueColumn {
        int field;
        QString name;
        bool date, office, optional;
        const CodeRule* code;
        const char* column;
        int maxLength; // 0: none
    };
    static QList<ValueColumn> valueColumnsOf(const Tables::Table& t) {
        QList<ValueColumn> out;
        int field = 2;
        for (const Tables::Column& c : t.columns) {
            if (!c.inFile)
                continue;
            const QString name = QString::fromLatin1(c.name);
            out.append({field++, name, c.kind == Tables::Kind::Date, OfficeColumns.contains(name),
                        OptionalOffices.contains(name), FileRules::codeOf(t, c.name), c.name,
                        FileRules::maxLengthOf(c.name)});
        }
        return out;
    }

    void checkValues() {
        for (const Tables::Table& t : Tables::all()) {
            const QList<ValueColumn> columns = valueColumnsOf(t);
            const bool person = PeopleSections.contains(t.tableName());
            const bool period = fileField(t, "FechaIni") >= 0, place = fileField(t, "EntFed") >= 0;
            for (const FileRecord& r : section(t.name)) {
                for (const ValueColumn& c : columns)
                    checkValue(r, c);
                if (period)
                    checkPeriod(t, r);
                if (place)
                    checkPlace(t, r);
                if (person)
                    checkPerson(t, r);
            }
        }
    }

    void checkValue(const FileRecord& r, const ValueColumn& c) {
        const QString& v = r.fields[c.field];
        if (c.maxLength > 0 && v.size() > c.maxLength)
            error(r, FileRules::sizeFault(c.column, v.size(), c.maxLength));
        if (c.date && !isIsoDate(v))
            error(
                r,
                QStringLiteral("la fecha %1 (%2) no es una fecha real aaaa-mm-dd.").arg(v, c.name));
        if (c.code && !c.code->accepts(v))
            error(r, FileRules::codeFault(*c.code, v));
        if (c.office && !(v.isEmpty() && c.optional) && !c_.offices.contains(v))
            error(r, QStringLiteral("la aduana %1 (%2) no está en el catálogo.").arg(v, c.name));
    }

    void checkPeriod(const Tables::Table& t, const FileRecord& r) {
        const QString from = r.value(t, "FechaIni"), to = r.value(t, "FechaFin");
        if (isIsoDate(from) && isIsoDate(to) && to < from)
            error(r,
                  QStringLiteral("el periodo termina (%1) antes de empezar (%2).").arg(to, from));
    }

    void checkPlace(const Tables::Table& t, const FileRecord& r) {
        const QString state = r.value(t, "EntFed"), town = r.value(t, "MDeleg");
        if (!c_.states.contains(state))
            error(r, QStringLiteral("la entidad federativa %1 no está en el catálogo.").arg(state));
        else if (!c_.municipalities.contains(CatalogueNames::municipalityKey(state, town)))
            error(r, QStringLiteral("el municipio %1 de la entidad %2 no está en el catálogo.")
                         .arg(town, state));
    }

    void checkPerson(const Tables::Table& t, const FileRecord& r) {
        const QString rfc = r.value(t, "RFC"), curp = r.value(t, "CURP");
        if (!Valida_RFC(rfc))
            error(r, QStringLiteral("el RFC %1 no es válido.").arg(rfc));
        if (!Valida_CURP(curp)) {
            error(r, QStringLiteral("la CURP %1 no es válida.").arg(curp));
            return;
        }
        const QChar digit = curpCheckDigit(curp);
        if (curp.size() == 18 && digit != curp.back())
            report_.observations.append(
                {r.line,
                 QStringLiteral("observación: el dígito verificador de la CURP %1 "
                                "debería ser %2.")
                     .arg(curp, digit.isNull() ? QStringLiteral("?") : QString(digit)),
                 {},
                 {}});
    }

    const QByteArray& file_;
    QList<FileRecord> records_;
    std::optional<FileRecord> signature_;
    const CatalogueNames& c_;
    QString patent_;
    QHash<QString, QList<FileRecord>> bySection_;
    QList<FileRecord> fillers_;
    StructureReport report_;
};

} // namespace

QChar curpCheckDigit(const QString& curp) {
    static const QString Alphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNÑOPQRSTUVWXYZ");
    if (curp.size() < 17)
        return QChar();
    int sum = 0;
    for (int i = 0; i < 17; ++i) {
        const qsizetype value = Alphabet.indexOf(curp[i]);
        if (value < 0)
            return QChar();
        sum += int(value) * (18 - i);
    }
    return QChar(u'0' + (10 - sum % 10) % 10);
}

StructureReport checkStructure(const QByteArray& file, const CatalogueNames& catalogues) {
    return Checker(file, catalogues).run();
}
