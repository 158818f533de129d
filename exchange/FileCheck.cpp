#include "exchange/FileCheck.h"

#include "data/Dates.h"
#include "exchange/FileRecords.h"
#include "exchange/FileRules.h"
#include "rules/CheckDigits.h"
#include "rules/Rutinas.h"
#include "rules/SafeText.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <cstring>
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
// no field holds. The separator passes too; a CR is judged by what
// follows it.
const std::array<bool, 256>& lineBytes() {
    static const auto allowed = [] {
        std::array<bool, 256> out{};
        for (int i = 0; i < 256; ++i)
            out[i] = fileFieldByte(Cp1252::decode(QByteArray(1, char(i))).at(0)) >= 0;
        out['|'] = true;
        return out;
    }();
    return allowed;
}

// Ranks in the order the writer puts the records; -1 for an unknown tag.
constexpr int HeadRank = 0, VersionRank = 1;
struct Ranked {
    QByteArray tag;
    int rank;
};
const QList<Ranked>& ranks() {
    static const QList<Ranked> out = [] {
        QList<Ranked> r{{"501", HeadRank}, {"Paq_Version", VersionRank}};
        int rank = VersionRank;
        for (const Tables::Table& t : Tables::all())
            if (t.travel != Tables::Travel::Nowhere)
                r.append({QByteArray(t.name), ++rank});
        r.append({"800", rank + 1});
        return r;
    }();
    return out;
}
int rankOf(QByteArrayView tag) {
    for (const Ranked& r : ranks())
        if (r.tag == tag)
            return r.rank;
    return -1;
}

class Checker {
public:
    Checker(const QByteArray& file, const CatalogueNames& c, qsizetype limit)
        : file_(file), c_(c), limit_(limit) {}

    StructureReport run() {
        // Only the lines a later step reads are kept; the others are told
        // as they go by.
        records_ = readRecords(file_, [this](const FileRecord& r) {
            fileLines_ = r.line;
            if (isEmptyLine(r))
                return false; // told by checkBytes
            if (rankOf(r.tag) >= 0 || ascii(r.tag) == SignatureTag)
                return true;
            error(r, [&] {
                return QString(QStringLiteral("la etiqueta de registro \"%1\" no existe.")
                                   .arg(shownField(r.tag)));
            });
            return false;
        });
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
    QList<FileRecord>& lines() { return records_.lines; }
    const QList<FileRecord>& lines() const { return records_.lines; }

    // A finding's text is made only when it is kept: a file of millions of
    // faulty lines costs their count, not their messages.
    template <class Text> void error(int line, Text text) {
        if (limit_ >= 0 && report_.errors.size() >= limit_)
            ++report_.errorsNotKept;
        else
            report_.errors.append({line, text(), {}, {}, {}});
    }
    void observe(int line, const QString& text, const QString& advice = {}) {
        keep(report_.observations, report_.observationsNotKept, line, text, advice);
    }
    void keep(QList<Finding>& list, qsizetype& notKept, int line, const QString& text,
              const QString& advice = {}) {
        if (limit_ >= 0 && list.size() >= limit_)
            ++notKept;
        else
            list.append({line, text, {}, {}, advice});
    }
    template <class Text> void error(const FileRecord& r, Text text) { error(r.line, text); }

    // The record a finding is on, and whom it is of.
    void placeOnRecord(Finding& f) const {
        const FileRecord* r = recordAt(f.line);
        if (!r)
            return;
        f.section = shownField(r->tag);
        const Tables::Table* t = sectionOf(r->tag);
        if (!t)
            return;
        if (const char* key = recordKeyColumn(*t))
            f.key = shownField(r->raw(*t, key));
    }
    const FileRecord* recordAt(int line) const {
        if (signature_ && signature_->line == line)
            return &*signature_;
        return ::recordAt(records_, line);
    }

    // The signature record is judged by the signature check; only its
    // patent is the structure's concern.
    void splitOffSignature() {
        if (!lines().isEmpty() && ascii(lines().last().tag) == SignatureTag &&
            lines().last().line == fileLines_)
            signature_ = lines().takeLast();
    }

    // Line ends, empty lines and bytes, one finding of each kind a line.
    void checkBytes() {
        const char* const data = file_.constData();
        const qsizetype size = file_.size();
        for (qsizetype start = 0, line = 1; start < size; start = start + 1, ++line) {
            const char* nl =
                static_cast<const char*>(std::memchr(data + start, '\n', size - start));
            const qsizetype end = nl ? nl - data : size;
            const qsizetype bad = firstBadByte(start, end);
            if (!nl) { // the last line, without its end: told at its last byte
                if (bad >= 0 && bad + 1 < size)
                    badByte(int(line), uchar(data[bad]));
                error(int(line),
                      [&] { return QString(QStringLiteral("la línea no termina en CR LF.")); });
                if (bad >= 0 && bad + 1 == size)
                    badByte(int(line), uchar(data[bad]));
                break;
            }
            if (bad >= 0)
                badByte(int(line), uchar(data[bad]));
            if (end == start || (end == start + 1 && data[start] == '\r'))
                error(int(line), [&] { return QString(QStringLiteral("la línea está vacía.")); });
            if (end == start || data[end - 1] != '\r')
                error(int(line),
                      [&] { return QString(QStringLiteral("la línea no termina en CR LF.")); });
            start = end;
        }
    }
    // The first byte of [from, end) no field holds; -1 when none.
    qsizetype firstBadByte(qsizetype from, qsizetype end) const {
        const std::array<bool, 256>& allowed = lineBytes();
        const char* const data = file_.constData();
        for (qsizetype i = from; i < end; ++i) {
            const uchar b = uchar(data[i]);
            if (allowed[b])
                continue;
            if (b == '\r' && (i + 1 == file_.size() || data[i + 1] == '\n'))
                continue;
            return i;
        }
        return -1;
    }
    void badByte(int line, uchar b) {
        error(line, [&] {
            return QString(b == '\r' ? QStringLiteral("tiene un CR que no termina la línea.")
                           : b >= 0x80
                               ? QStringLiteral("el byte 0x%1 no es un carácter de Windows-1252.")
                                     .arg(QString::number(b, 16).toUpper())
                               : QStringLiteral("tiene un carácter de control (0x%1).")
                                     .arg(b, 2, 16, QLatin1Char('0')));
        });
    }

    static bool isEmptyLine(const FileRecord& r) { return r.size() == 1 && r.tag.isEmpty(); }

    // Tags, field counts, order, fillers and the patent.
    void checkRecords() {
        int highest = -1;
        QList<int> seen(ranks().size() + 1);
        for (const FileRecord& r : lines()) {
            if (isEmptyLine(r))
                continue;
            const int rank = rankOf(r.tag);
            if (rank < 0) { // only FIRMA is kept with no rank
                error(r, [&] {
                    return QString(QStringLiteral("el registro FIRMA sólo puede ir al final."));
                });
                continue;
            }
            if (rank < highest)
                error(r, [&] {
                    return QString(QStringLiteral("el registro %1 está fuera de orden.")
                                       .arg(shownField(r.tag)));
                });
            highest = std::max(highest, rank);
            ++seen[rank];
            checkLayout(r);
        }
        for (const char* tag : {"501", "Paq_Version", "AA", "800"})
            expectOnce(seen[rankOf(tag)], tag);
        if (!lines().isEmpty() && lines().first().tag != "501")
            error(lines().first(), [&] {
                return QString(QStringLiteral("la primera línea debe ser el registro 501."));
            });
        if (!lines().isEmpty() && lines().last().tag != "800")
            error(lines().last(), [&] {
                return QString(
                    QStringLiteral("el registro 800 debe ser el último antes de la firma."));
            });
        if (signature_ && signature_->field(1) != patent_)
            error(*signature_, [&] {
                return QString(QStringLiteral("la patente %1 no es la del registro 501 (%2).")
                                   .arg(shownField(signature_->field(1)), shownField(patent_)));
            });
    }

    void expectOnce(int n, const char* tag) {
        if (n == 1)
            return;
        const int line = n == 0 ? lastLine() : lineOf(tag, 2);
        error(line, [&] {
            return QString(n == 0 ? QStringLiteral("falta el registro %1.").arg(QLatin1String(tag))
                                  : QStringLiteral("el registro %1 aparece %2 veces; va una sola.")
                                        .arg(QLatin1String(tag))
                                        .arg(n));
        });
    }

    int lineOf(QByteArrayView tag, int occurrence) const {
        for (const FileRecord& r : lines())
            if (r.tag == tag && --occurrence == 0)
                return r.line;
        return 0;
    }

    void checkLayout(const FileRecord& r) {
        if (r.tag == "501") {
            static const int headFields = int(headRecord(QString()).count(u'|')) + 1;
            patent_ = r.field(1);
            if (r.size() != headFields || r.field(r.size() - 1) != patent_)
                error(r, [&] {
                    return QString(
                        r.size() == headFields
                            ? QStringLiteral("la patente no es la misma en los dos campos del "
                                             "registro 501.")
                            : countMessage(r, headFields));
                });
            else if (r.bytes().size() != 2 * patent_.size() + 20 ||
                     r.text() != headRecord(fieldText(patent_)))
                error(r, [&] {
                    return QString(QStringLiteral("el registro 501 no tiene su forma fija."));
                });
            return;
        }
        if (r.tag == "Paq_Version" || r.tag == "800") {
            const QString& fixed = r.tag == "800" ? EndRecord : VersionRecord;
            if (r.bytes().size() != fixed.size() || r.text() != fixed)
                error(r, [&] {
                    return QString(
                        QStringLiteral("el registro debe ser exactamente \"%1\".").arg(fixed));
                });
            return;
        }
        const Tables::Table& t = *sectionOf(r.tag);
        if (r.field(1) != patent_)
            error(r, [&] {
                return QString(QStringLiteral("la patente %1 no es la del registro 501 (%2).")
                                   .arg(shownField(r.field(1)), shownField(patent_)));
            });
        if (t.travel == Tables::Travel::FileHistory)
            historyPresent_ = true;
        if (isFiller(t, r)) {
            fillers_.append(r);
            return;
        }
        if (r.size() != fileFieldCount(t)) {
            error(r, [&] { return QString(countMessage(r, fileFieldCount(t))); });
            return;
        }
        bySection_[&t].append(r);
    }

    static bool isFiller(const Tables::Table& t, const FileRecord& r) {
        if (t.fileFillers == 0 || r.size() != 2 + t.fileFillers)
            return false;
        for (qsizetype i = 2; i < r.size(); ++i)
            if (ascii(r.field(i)) != NotApplicable)
                return false;
        return true;
    }

    static QString countMessage(const FileRecord& r, int expected) {
        return QStringLiteral("el registro %1 tiene %2 campos; lleva %3.")
            .arg(shownField(r.tag))
            .arg(r.fieldsInLine())
            .arg(expected);
    }

    const QList<FileRecord>& section(const Tables::Table& t) const {
        static const QList<FileRecord> none;
        const auto it = bySection_.constFind(&t);
        return it == bySection_.constEnd() ? none : *it;
    }
    const QList<FileRecord>& section(const char* name) const {
        return section(Tables::byName(name));
    }

    void checkContent() {
        checkFillers();
        checkHistoryPart();
        checkReferences();
        checkValues();
    }

    // A filler stands for an empty section, alone.
    void checkFillers() {
        QSet<const Tables::Table*> sectionsWithFiller;
        for (const FileRecord& f : fillers_) {
            const Tables::Table* t = sectionOf(f.tag);
            if (!section(*t).isEmpty() || sectionsWithFiller.contains(t))
                error(f, [&] {
                    return QString(
                        QStringLiteral("el registro \"No Aplica\" de %1 sólo va cuando la "
                                       "sección no tiene registros.")
                            .arg(shownField(f.tag)));
                });
            sectionsWithFiller.insert(t);
        }
        const auto mustHaveLine = [&](const char* name) {
            const Tables::Table& t = Tables::byName(name);
            if (section(t).isEmpty() && !sectionsWithFiller.contains(&t))
                error(lastLine(), [&] {
                    return QString(QStringLiteral("falta la sección %1 (o su registro \"No "
                                                  "Aplica\").")
                                       .arg(QLatin1String(name)));
                });
        };
        mustHaveLine("Mandatarios");
        if (historyPresent_) {
            mustHaveLine("Historico_AA");
            mustHaveLine("Periodos_H_MM");
        }
    }

    int lastLine() const { return lines().isEmpty() ? 0 : lines().last().line; }

    void checkHistoryPart() {
        const Tables::Table& m = Tables::byName("Mandatarios");
        const int mandato = fileField(m, "Mandato");
        const FileRecord* type2 = nullptr;
        for (const FileRecord& r : section(m))
            if (r.field(mandato) == "2") {
                type2 = &r;
                break;
            }
        if (type2 && !historyPresent_)
            error(*type2, [&] {
                return QString(QStringLiteral("el mandatario %1 es del tipo 2 y el archivo no trae "
                                              "la parte histórica.")
                                   .arg(shownField(type2->raw(m, "CURP"))));
            });
        if (!type2 && historyPresent_)
            for (const FileRecord& r : lines())
                if (const Tables::Table* t = sectionOf(r.tag);
                    t && t->travel == Tables::Travel::FileHistory) {
                    error(r, [&] {
                        return QString(QStringLiteral("la parte histórica sólo va cuando algún "
                                                      "mandatario es del tipo 2."));
                    });
                    break;
                }
    }

    // A section's records, each with the CURP it names.
    template <class F> void eachWithCurp(const char* name, F f) const {
        const Tables::Table& t = Tables::byName(name);
        const int curp = fileField(t, "CURP");
        for (const FileRecord& r : section(t))
            f(r, r.field(curp), t);
    }

    void checkReferences() {
        QHash<QByteArrayView, QByteArrayView> typeOf; // CURP -> Mandato
        const int mandato = fileField(Tables::byName("Mandatarios"), "Mandato");
        eachWithCurp("Mandatarios", [&](const FileRecord& r, QByteArrayView curp, auto&) {
            typeOf.insert(curp, r.field(mandato));
        });
        const auto unknown = [&](const FileRecord& r, QByteArrayView curp) {
            if (typeOf.contains(curp))
                return false;
            error(r, [&] {
                return QString(QStringLiteral("el mandatario %1 no está en la sección Mandatarios.")
                                   .arg(shownField(curp)));
            });
            return true;
        };
        QHash<QByteArrayView, int> addressTypes; // bit n: type n
        eachWithCurp("Domicilios_MM", [&](const FileRecord& r, QByteArrayView curp, auto& t) {
            unknown(r, curp);
            const QByteArrayView type = r.raw(t, "Tipo_Dom");
            if (type == "1" || type == "2")
                addressTypes[curp] |= 1 << (type[0] - '0');
        });
        QSet<std::pair<QByteArrayView, QByteArrayView>> offices; // (CURP, office)
        QSet<QByteArrayView> withOffices;
        eachWithCurp("Aduanas_MM", [&](const FileRecord& r, QByteArrayView curp, auto& t) {
            unknown(r, curp);
            offices.insert({curp, r.raw(t, "NoAduana")});
            withOffices.insert(curp);
        });
        eachWithCurp("Mandatarios", [&](const FileRecord& r, QByteArrayView curp, auto&) {
            for (int type : {1, 2})
                if (!(addressTypes.value(curp) & (1 << type)))
                    error(r, [&] {
                        return QString(
                            QStringLiteral("el mandatario %1 no tiene domicilio del tipo %2.")
                                .arg(shownField(curp))
                                .arg(type));
                    });
            if (r.field(mandato) == "1" && !withOffices.contains(curp))
                error(r, [&] {
                    return QString(
                        QStringLiteral("el mandatario %1 es del tipo 1 y no tiene aduanas.")
                            .arg(shownField(curp)));
                });
        });
        eachWithCurp("Pedimentos_MM", [&](const FileRecord& r, QByteArrayView curp, auto& t) {
            const QByteArrayView office = r.raw(t, "NoAduana");
            if (!unknown(r, curp) && !offices.contains({curp, office}))
                error(r, [&] {
                    return QString(
                        QStringLiteral("la aduana %1 del pedimento no es una de las aduanas "
                                       "del mandatario %2.")
                            .arg(shownField(office), shownField(curp)));
                });
        });
        QSet<QByteArrayView> earlierAgents;
        eachWithCurp("Historico_AA", [&](const FileRecord&, QByteArrayView curp, auto&) {
            earlierAgents.insert(curp);
        });
        eachWithCurp("Periodos_H_AA", [&](const FileRecord& r, QByteArrayView curp, auto&) {
            if (!earlierAgents.contains(curp))
                error(r, [&] {
                    return QString(
                        QStringLiteral("el periodo es de %1, que no está en el histórico del "
                                       "agente.")
                            .arg(shownField(curp)));
                });
        });
        eachWithCurp("Periodos_H_MM",
                     [&](const FileRecord& r, QByteArrayView curp, auto&) { unknown(r, curp); });
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
            const QList<FileRecord>& records = section(t);
            if (records.isEmpty())
                continue;
            const QList<ValueColumn> columns = valueColumnsOf(t);
            const bool person = PeopleSections.contains(t.tableName());
            const int from = fileField(t, "FechaIni"), to = fileField(t, "FechaFin");
            const int state = fileField(t, "EntFed"), town = fileField(t, "MDeleg");
            const int rfc = fileField(t, "RFC"), curp = fileField(t, "CURP");
            for (const FileRecord& r : records) {
                for (const ValueColumn& c : columns)
                    checkValue(r, c);
                if (from >= 0)
                    checkPeriod(r, r.field(from), r.field(to));
                if (state >= 0)
                    checkPlace(r, r.field(state), r.field(town));
                if (person)
                    checkPerson(r, r.field(rfc), r.field(curp));
            }
        }
    }

    // The field as text in a buffer used over and over, for the validators
    // and the catalogues' keys: no string made for each field looked at.
    static void appendText(QString& s, QByteArrayView v) {
        static const auto chars = [] {
            std::array<QChar, 256> out{};
            for (int i = 0; i < 256; ++i)
                out[i] = Cp1252::decode(QByteArray(1, char(i))).at(0);
            return out;
        }();
        s.resize(s.size() + v.size());
        QChar* p = s.data() + s.size() - v.size();
        for (char b : v)
            *p++ = chars[uchar(b)];
    }
    const QString& scratch(QByteArrayView v, int slot = 0) {
        QString& s = scratch_[slot];
        s.resize(0);
        appendText(s, v);
        return s;
    }

    static bool isIsoDate(QByteArrayView v) {
        if (v.size() != 10 || v[4] != '-' || v[7] != '-')
            return false;
        int n[3] = {0, 0, 0};
        for (int i = 0, part = 0; i < 10; ++i) {
            if (i == 4 || i == 7) {
                ++part;
                continue;
            }
            if (v[i] < '0' || v[i] > '9')
                return false;
            n[part] = n[part] * 10 + (v[i] - '0');
        }
        return QDate::isValid(n[0], n[1], n[2]);
    }

    void checkValue(const FileRecord& r, const ValueColumn& c) {
        const QByteArrayView v = r.field(c.field);
        if (c.maxLength > 0 && v.size() > c.maxLength)
            error(r,
                  [&] { return QString(FileRules::sizeFault(c.column, v.size(), c.maxLength)); });
        if (c.date && !isIsoDate(v))
            error(r, [&] {
                return QString(QStringLiteral("la fecha %1 (%2) no es una fecha real aaaa-mm-dd.")
                                   .arg(shownField(v), c.name));
            });
        if (c.code && !c.code->accepts(v))
            error(r, [&] { return QString(FileRules::codeFault(*c.code, shownField(v))); });
        if (c.office && !(v.isEmpty() && c.optional) && !c_.offices.contains(scratch(v)))
            error(r, [&] {
                return QString(QStringLiteral("la aduana %1 (%2) no está en el catálogo.")
                                   .arg(shownField(v), c.name));
            });
    }

    void checkPeriod(const FileRecord& r, QByteArrayView from, QByteArrayView to) {
        if (isIsoDate(from) && isIsoDate(to) && to < from)
            error(r, [&] {
                return QString(QStringLiteral("el periodo termina (%1) antes de empezar (%2).")
                                   .arg(shownField(to), shownField(from)));
            });
    }

    void checkPlace(const FileRecord& r, QByteArrayView state, QByteArrayView town) {
        if (!c_.states.contains(scratch(state, 1))) {
            error(r, [&] {
                return QString(QStringLiteral("la entidad federativa %1 no está en el catálogo.")
                                   .arg(shownField(state)));
            });
            return;
        }
        appendText(scratch_[1] += u'|', town); // the state's key made the municipality's
        if (!c_.municipalities.contains(scratch_[1]))
            error(r, [&] {
                return QString(
                    QStringLiteral("el municipio %1 de la entidad %2 no está en el catálogo.")
                        .arg(shownField(town), shownField(state)));
            });
    }

    void checkPerson(const FileRecord& r, QByteArrayView rfcBytes, QByteArrayView curpBytes) {
        const QString& rfc = scratch(rfcBytes);
        if (!Valida_RFC(rfc))
            error(r, [&] {
                return QString(QStringLiteral("el RFC %1 no es válido.").arg(shownField(rfcBytes)));
            });
        else if (rfc.size() == 13)
            observeCheckDigit(r, rfc, rfcCheckDigit(rfc), QStringLiteral("del RFC"),
                              QStringLiteral("Revise el RFC; si es el correcto, puede continuar."));
        const QString& curp = scratch(curpBytes);
        if (!Valida_CURP(curp)) {
            error(r, [&] {
                return QString(
                    QStringLiteral("la CURP %1 no es válida.").arg(shownField(curpBytes)));
            });
            return;
        }
        if (curp.size() == 18)
            observeCheckDigit(
                r, curp, curpCheckDigit(curp), QStringLiteral("de la CURP"),
                QStringLiteral("Revise la CURP; si es la correcta, puede continuar."));
    }

    // A check digit that does not match is worth a look, never a fault: the
    // capture rules do not ask for it.
    void observeCheckDigit(const FileRecord& r, const QString& code, QChar digit,
                           const QString& ofWhat, const QString& advice) {
        if (digit == code.back())
            return;
        observe(r.line,
                QStringLiteral("observación: el dígito verificador %1 %2 debería ser %3.")
                    .arg(ofWhat, code, digit.isNull() ? QStringLiteral("?") : QString(digit)),
                advice);
    }

    const QByteArray& file_;
    FileRecords records_;
    std::optional<FileRecord> signature_;
    const CatalogueNames& c_;
    const qsizetype limit_;
    int fileLines_ = 0;
    QByteArrayView patent_;
    bool historyPresent_ = false;
    QHash<const Tables::Table*, QList<FileRecord>> bySection_;
    QList<FileRecord> fillers_;
    QString scratch_[2];
    StructureReport report_;
};

} // namespace

StructureReport checkStructure(const QByteArray& file, const CatalogueNames& catalogues,
                               qsizetype limit) {
    return Checker(file, catalogues, limit).run();
}
