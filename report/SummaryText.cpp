#include "report/SummaryText.h"

#include "data/Dates.h"
#include "exchange/FileCheck.h"
#include "exchange/FileRecords.h"
#include "exchange/FileRules.h"
#include "exchange/Signing.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>

namespace {

using Style = SummaryLine::Style;

// A code's meaning by its rule; the code as the file gives it otherwise.
QString named(const char* table, const char* column, const QString& code) {
    const QString name = FileRules::codeOf(Tables::byName(table), column)->nameOf(code);
    return name.isEmpty() ? QStringLiteral("código \"%1\" (no es uno de los que el archivo "
                                           "admite)")
                                .arg(code.size() > 60 ? code.left(60) + u'…' : code)
                          : name;
}

QString keyAndName(const QString& key, const QHash<QString, QString>& names, const QString& n) {
    const auto it = names.constFind(n);
    return it == names.constEnd() ? QStringLiteral("%1 (no está en el catálogo)").arg(key)
                                  : QStringLiteral("%1 %2").arg(key, *it);
}

QString date(const QString& iso) {
    return displayFromIsoDate(iso);
}

class Builder {
public:
    Builder(const QByteArray& file, const CatalogueNames& names) : file_(file), names_(names) {
        // Only the records the summary reads are kept; one that no section
        // can take is noted as it goes by.
        records_ = readRecords(file, [this](const FileRecord& r) {
            const Tables::Table* t = sectionOf(r.tag);
            if (ascii(r.tag) == SignatureTag ||
                (t && r.size() == fileFieldCount(*t) && ascii(r.field(2)) != NotApplicable))
                return true;
            if (r.tag == "501")
                patent_ = shownField(r.field(1));
            else if (!isFixedOrFiller(t, r))
                noteUnread(r);
            return false;
        });
        for (const FileRecord& r : records_.lines)
            if (ascii(r.tag) == SignatureTag)
                signature_ = r;
            else
                sections_[fieldText(r.tag)].append(r);
    }

    QList<SummaryLine> build(const SignatureStatus& status) {
        add(Style::Title, QStringLiteral("Resumen del archivo de información"));
        warnings(status);
        add(Style::Body, QStringLiteral("Patente del agente aduanal: %1").arg(patent_));
        agent();
        representatives();
        history();
        unreadRecords();
        signature(status);
        return lines_;
    }

private:
    void add(Style s, const QString& text, int indent = 0) { lines_.append({s, text, indent}); }

    static bool isFixedOrFiller(const Tables::Table* t, const FileRecord& r) {
        if (t)
            return r.size() == 2 + t->fileFillers && ascii(r.field(2)) == NotApplicable;
        const QLatin1StringView line = ascii(r.bytes());
        return line.isEmpty() || line == VersionRecord || line == EndRecord;
    }

    void noteUnread(const FileRecord& r) {
        if (unread_.size() < MaxFindingsShown)
            unread_.append(QStringLiteral("línea %1 (%2 campos): %3")
                               .arg(r.line)
                               .arg(r.fieldsInLine())
                               .arg(shownField(r.bytes(), 120)));
        else
            ++unreadNotKept_;
    }

    // A list the file decides the length of is told up to a point, and
    // the rest counted.
    void more(qsizetype notKept) {
        if (notKept > 0)
            add(Style::Body, QStringLiteral("y %1 más.").arg(notKept), 1);
    }

    // What makes the file unfit to send, before anything it declares.
    void warnings(const SignatureStatus& status) {
        if (!status.verified)
            add(Style::Heading,
                QStringLiteral("Atención: la firma no verifica. %1").arg(status.text));
        const StructureReport report = checkStructure(file_, names_, MaxFindingsShown);
        if (report.errors.isEmpty())
            return;
        add(Style::Heading, QStringLiteral("Atención: la estructura del archivo tiene %1 errores; "
                                           "la autoridad no lo aceptará así.")
                                .arg(report.errorCount()));
        for (const Finding& f : report.errors)
            add(Style::Body, QStringLiteral("línea %1: %2").arg(f.line).arg(f.text), 1);
        more(report.errorsNotKept);
    }

    // Nothing the file holds goes unsaid: a record that cannot be read as
    // its section's is named with its line.
    void unreadRecords() {
        if (unread_.isEmpty())
            return;
        add(Style::Heading, QStringLiteral("Registros que no se pudieron leer"));
        for (const QString& r : unread_)
            add(Style::Body, r, 1);
        more(unreadNotKept_);
    }

    const QList<FileRecord>& section(const char* name) const {
        static const QList<FileRecord> none;
        const auto it = sections_.constFind(QString::fromLatin1(name));
        return it == sections_.constEnd() ? none : *it;
    }

    // A section's records of one person, in file order; indexed once, so a
    // file of thousands of representatives is not searched for each.
    QList<FileRecord> of(const char* name, const QString& curp) {
        auto& index = byCurp_[QString::fromLatin1(name)];
        if (index.isEmpty()) {
            const Tables::Table& t = Tables::byName(name);
            for (const FileRecord& r : section(name))
                index[r.value(t, "CURP")].append(r);
        }
        return index.value(curp);
    }

    QString office(const QString& key) const { return keyAndName(key, names_.offices, key); }

    QString place(const Tables::Table& t, const FileRecord& r) const {
        const QString state = r.value(t, "EntFed"), town = r.value(t, "MDeleg");
        QStringList parts = {r.value(t, "Calle") + u' ' + r.value(t, "NoExt")};
        if (!r.value(t, "NoInt").isEmpty())
            parts.last() += QStringLiteral(" int. ") + r.value(t, "NoInt");
        parts << QStringLiteral("col. ") + r.value(t, "Colonia")
              << QStringLiteral("C.P. ") + r.value(t, "CP")
              << QStringLiteral("municipio ") +
                     keyAndName(town, names_.municipalities,
                                CatalogueNames::municipalityKey(state, town))
              << QStringLiteral("entidad ") + keyAndName(state, names_.states, state)
              << QStringLiteral("tel. ") + r.value(t, "Telefono")
              << QStringLiteral("fax ") + r.value(t, "Fax");
        return parts.join(QStringLiteral(", "));
    }

    static QString fullName(const Tables::Table& t, const FileRecord& r) {
        return QStringList{r.value(t, "Nombre"), r.value(t, "ApPaterno"), r.value(t, "ApMaterno")}
            .join(u' ')
            .simplified();
    }

    void agent() {
        add(Style::Heading, QStringLiteral("Agente aduanal"));
        const Tables::Table& a = Tables::byName("AA");
        for (const FileRecord& r : section("AA")) {
            add(Style::Person, fullName(a, r));
            add(Style::Body,
                QStringLiteral("RFC %1, CURP %2").arg(r.value(a, "RFC"), r.value(a, "CURP")), 1);
            add(Style::Body,
                QStringLiteral("Aduana de adscripción: %1").arg(office(r.value(a, "Adscripcion"))),
                1);
            QStringList more;
            for (const char* c : {"Aduana1", "Aduana2", "Aduana3"})
                if (!r.value(a, c).isEmpty())
                    more << office(r.value(a, c));
            add(Style::Body,
                QStringLiteral("Aduanas adicionales: %1")
                    .arg(more.isEmpty() ? QStringLiteral("ninguna")
                                        : more.join(QStringLiteral("; "))),
                1);
            add(Style::Body,
                QStringLiteral("Número de aduanas adicionales autorizadas: %1")
                    .arg(r.value(a, "NoAduanasAut")),
                1);
        }
        const Tables::Table& d = Tables::byName("Domicilios_AA");
        for (const FileRecord& r : section("Domicilios_AA"))
            add(Style::Body,
                named("Domicilios_AA", "Tipo_Dom", r.value(d, "Tipo_Dom")) + QStringLiteral(": ") +
                    place(d, r),
                1);
    }

    void representatives() {
        add(Style::Heading, QStringLiteral("Representantes"));
        const Tables::Table& m = Tables::byName("Mandatarios");
        if (section("Mandatarios").isEmpty())
            add(Style::Body, QStringLiteral("El archivo no declara representantes."));
        // By type, the known ones first, then any other code as the file
        // gives it; grouped in one pass, however many types a file makes up.
        QStringList types;
        QSet<QString> known;
        for (int code : FileRules::codeOf(m, "Mandato")->codes)
            known.insert(types.emplaceBack(QString::number(code)));
        QHash<QString, QList<FileRecord>> byType;
        for (const FileRecord& r : section("Mandatarios")) {
            const QString type = r.value(m, "Mandato");
            QList<FileRecord>& ofType = byType[type];
            if (ofType.isEmpty() && !known.contains(type))
                types << type;
            ofType.append(r);
        }
        for (const QString& type : types) {
            const QList<FileRecord> ofType = byType.value(type);
            if (ofType.isEmpty())
                continue;
            const QString shown = shownField(ofType.first().raw(m, "Mandato"));
            add(Style::Subheading,
                QStringLiteral("Tipo %1: %2").arg(shown, named("Mandatarios", "Mandato", shown)));
            for (const FileRecord& r : ofType)
                representative(m, r);
        }
    }

    void representative(const Tables::Table& m, const FileRecord& r) {
        const QString curp = r.value(m, "CURP");
        add(Style::Person,
            QStringLiteral("%1, CURP %2, RFC %3").arg(fullName(m, r), curp, r.value(m, "RFC")));
        add(Style::Body,
            QStringLiteral("Acreditación: %1; operando: %2")
                .arg(named("Mandatarios", "Acreditacion", r.value(m, "Acreditacion")),
                     named("Mandatarios", "Operando", r.value(m, "Operando"))),
            1);
        const Tables::Table& d = Tables::byName("Domicilios_MM");
        for (const FileRecord& a : of("Domicilios_MM", curp))
            add(Style::Body,
                named("Domicilios_MM", "Tipo_Dom", a.value(d, "Tipo_Dom")) + QStringLiteral(": ") +
                    place(d, a),
                1);
        const Tables::Table& o = Tables::byName("Aduanas_MM");
        for (const FileRecord& a : of("Aduanas_MM", curp))
            add(Style::Body, QStringLiteral("Aduana: %1").arg(office(a.value(o, "NoAduana"))), 1);
        const Tables::Table& p = Tables::byName("Pedimentos_MM");
        for (const FileRecord& a : of("Pedimentos_MM", curp))
            add(Style::Body,
                QStringLiteral("Pedimento %1 del %2 en la aduana %3")
                    .arg(a.value(p, "NoPedimento"), date(a.value(p, "FechPedimento")),
                         office(a.value(p, "NoAduana"))),
                2);
    }

    void history() {
        add(Style::Heading, QStringLiteral("Histórico"));
        add(Style::Subheading,
            QStringLiteral("Representantes que han actuado con el Agente Aduanal"));
        const Tables::Table& h = Tables::byName("Historico_AA");
        const Tables::Table& pa = Tables::byName("Periodos_H_AA");
        if (section("Historico_AA").isEmpty())
            add(Style::Body, QStringLiteral("Ninguno declarado."), 1);
        for (const FileRecord& r : section("Historico_AA")) {
            const QString curp = r.value(h, "CURP");
            add(Style::Person,
                QStringLiteral("%1, CURP %2, RFC %3").arg(fullName(h, r), curp, r.value(h, "RFC")));
            for (const FileRecord& p : of("Periodos_H_AA", curp))
                add(Style::Body, period(pa, p), 1);
        }
        add(Style::Subheading, QStringLiteral("Periodos de los representantes"));
        const Tables::Table& pm = Tables::byName("Periodos_H_MM");
        const Tables::Table& m = Tables::byName("Mandatarios");
        // Every representative is named, so one without periods reads as
        // declared so, not as left out.
        for (const FileRecord& r : section("Mandatarios")) {
            const QString curp = r.value(m, "CURP");
            add(Style::Person, QStringLiteral("%1, CURP %2").arg(fullName(m, r), curp));
            const QList<FileRecord> periods = of("Periodos_H_MM", curp);
            if (periods.isEmpty())
                add(Style::Body, QStringLiteral("Sin periodos con otros agentes."), 1);
            for (const FileRecord& p : periods)
                add(Style::Body,
                    QStringLiteral("Con el agente de patente %1. ").arg(p.value(pm, "Patente_MM")) +
                        period(pm, p),
                    1);
        }
    }

    QString period(const Tables::Table& t, const FileRecord& p) const {
        return QStringLiteral("Aduana %1: del %2 al %3")
            .arg(office(p.value(t, "NoAduana")), date(p.value(t, "FechaIni")),
                 date(p.value(t, "FechaFin")));
    }

    void signature(const SignatureStatus& status) {
        add(Style::Heading, QStringLiteral("Firma digital"));
        add(Style::Body, status.text);
        add(Style::Body, QStringLiteral("CURP del firmante, según el archivo: %1")
                             .arg(signature_.at(2).isEmpty() ? QStringLiteral("(no la declara)")
                                                             : signature_.at(2)));
        add(Style::Body, QStringLiteral("Huella SHA-256 de los bytes firmados:"));
        add(Style::Body, signedBytesFingerprint(file_), 1);
    }

    const QByteArray& file_;
    const CatalogueNames& names_;
    FileRecords records_; // what the records below point into
    QHash<QString, QList<FileRecord>> sections_;
    QHash<QString, QHash<QString, QList<FileRecord>>> byCurp_;
    FileRecord signature_;
    QStringList unread_; // records no section could take, as shown
    qsizetype unreadNotKept_ = 0;
    QString patent_;
    QList<SummaryLine> lines_;
};

} // namespace

QString signedBytesFingerprint(const QByteArray& signedFile) {
    return QString::fromLatin1(
        QCryptographicHash::hash(signedPart(signedFile), QCryptographicHash::Sha256).toHex());
}

QList<SummaryLine> summaryLines(const QByteArray& signedFile, const SignatureStatus& signature,
                                const CatalogueNames& names) {
    return Builder(signedFile, names).build(signature);
}
