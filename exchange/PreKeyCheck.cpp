#include "exchange/PreKeyCheck.h"

#include "exchange/FileCheck.h"
#include "exchange/FileRecords.h"
#include "exchange/FileRules.h"
#include "exchange/Signing.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace {

// "ROSA GARCIA MARTINEZ" by CURP, for the agent, his representatives and
// the representatives he had before.
QHash<QString, QString> peopleNames(Database& db) {
    QHash<QString, QString> out;
    for (const char* table : {"AA", "Historico_AA", "Mandatarios"}) {
        (void)db.eachRow(QStringLiteral("select CURP, trim(Nombre || ' ' || ApPaterno || ' ' || "
                                        "ApMaterno) from %1")
                             .arg(QLatin1String(table)),
                         [&out](const RawRow& r) {
                             out.insert(r.text(0), r.text(1));
                             return true;
                         });
    }
    return out;
}

WizardPage pageOf(const QString& section, const QString& key, const QString& text) {
    static const QRegularExpression additionalOffice(QStringLiteral("\\(Aduana[123]\\)"));
    if (section == u"Domicilios_AA")
        return key.toInt() >= 4 ? WizardPage::Offices : WizardPage::Agent;
    if (section == u"AA")
        return text.contains(additionalOffice) ? WizardPage::Offices : WizardPage::Agent;
    if (section == u"Historico_AA" || section == u"Periodos_H_AA")
        return WizardPage::AgentHistory;
    if (section == u"Periodos_H_MM")
        return WizardPage::RepresentativeHistory;
    if (sectionOf(section))
        return WizardPage::Representatives;
    return WizardPage::Agent;
}

QString todoFor(WizardPage page) {
    switch (page) {
    case WizardPage::Agent:
        return QStringLiteral("Corrija el dato en la página 1, datos del agente, y pulse "
                              "Siguiente > para guardarlo.");
    case WizardPage::Offices:
        return QStringLiteral("Corrija la aduana adicional o su domicilio en la página 2 y "
                              "pulse Siguiente > para guardarla.");
    case WizardPage::Representatives:
        return QStringLiteral("Elija al representante en la página 3 y pulse Editar para "
                              "corregir el dato.");
    case WizardPage::AgentHistory:
        return QStringLiteral("Elija al representante en la página 4 y corrija sus datos o sus "
                              "periodos (o bórrelo y captúrelo de nuevo).");
    case WizardPage::RepresentativeHistory:
        return QStringLiteral("Elija al representante en la página 5 y corrija sus periodos.");
    }
    return QString();
}

// The finding's text with a capital, as a sentence of its own.
QString sentence(const QString& text) {
    return text.isEmpty() ? text : text.front().toUpper() + text.mid(1);
}

class Collector {
public:
    Collector(Database& db, const QString& agentCurp) : db_(db), agentCurp_(agentCurp) {}

    void add(WizardPage page, const QString& curp, const QString& what, bool blocking,
             const QString& todo = QString()) {
        const QString who = curp.isEmpty() && page <= WizardPage::Offices ? agentCurp_ : curp;
        out_.append({page, who, QString(), sentence(what), todo.isEmpty() ? todoFor(page) : todo,
                     blocking});
    }

    QList<Problem> take() {
        if (out_.isEmpty())
            return {};
        const QHash<QString, QString> names = peopleNames(db_);
        for (Problem& p : out_)
            p.name = names.value(p.curp);
        std::stable_sort(out_.begin(), out_.end(), [](const Problem& a, const Problem& b) {
            return a.blocking != b.blocking ? a.blocking : a.page < b.page;
        });
        return out_;
    }

private:
    Database& db_;
    QString agentCurp_;
    QList<Problem> out_;
};

WizardPage pageOfTable(const QString& table, const QString& key) {
    return pageOf(table, key, QString());
}

// The codes the file does not carry are still the store's to keep right.
MaybeError checkStoredCodes(Database& db, Collector& c) {
    for (const CodeRule& rule : FileRules::codes()) {
        const Tables::Table& t = Tables::byName(rule.table);
        if (fileField(t, rule.column) >= 0)
            continue;
        const char* key = recordKeyColumn(t);
        const Rows r =
            db.select(QStringLiteral("select %1, %2 from %3")
                          .arg(QLatin1String(key), QLatin1String(rule.column), t.tableName()));
        if (r.error)
            return r.error;
        for (const QVariantList& row : r.rows) {
            const QString v = row.value(1).isNull() ? QString() : row.value(1).toString();
            if (rule.accepts(v))
                continue;
            const bool agent = qstrcmp(rule.table, "AA") == 0;
            c.add(agent ? WizardPage::AgentHistory : WizardPage::RepresentativeHistory,
                  row.value(0).toString(), FileRules::codeFault(rule, v), true,
                  agent ? QStringLiteral("Capture en la página 4 los representantes que ha "
                                         "tenido el agente o pulse Sin historico.")
                        : QStringLiteral("Elija al representante en la página 5 y capture sus "
                                         "periodos o pulse Sin historico."));
        }
    }
    return std::nullopt;
}

} // namespace

Fallible<PreKeyCheck> checkBeforeKey(Database& db, const QString& patente,
                                     const CatalogueNames& catalogues, bool requirements) {
    QList<RefusedValue> refused;
    Fallible<InformationFileContent> built = buildInformationFile(db, patente, &refused);
    if (!built)
        return *built.error;
    const StructureReport report = checkStructure(built->bytes, catalogues);
    const QString agentCurp = QString::fromLatin1(agentCurpOf(built->bytes));
    Collector c(db, agentCurp);
    for (const RefusedValue& v : refused)
        c.add(pageOfTable(v.table, v.key), v.table == u"Domicilios_AA" ? QString() : v.key,
              QStringLiteral("el campo %1 de la tabla %2 contiene %3, que el archivo no admite.")
                  .arg(v.column, v.table, v.why),
              true);
    for (const Finding& f : report.errors) {
        const WizardPage page = pageOf(f.section, f.key, f.text);
        c.add(page, f.section == u"Domicilios_AA" ? QString() : f.key, f.text, true);
    }
    for (const Finding& f : report.observations)
        c.add(pageOf(f.section, f.key, f.text), f.section == u"Domicilios_AA" ? QString() : f.key,
              f.text, false, f.advice);
    if (MaybeError e = checkStoredCodes(db, c))
        return *e;
    if (requirements)
        for (const RequirementFault& r : requirementFaults(built->requirements))
            c.add(WizardPage::Representatives, r.of.curp,
                  r.why.mid(r.why.indexOf(u':') + 1).trimmed(), true,
                  QStringLiteral("Elija al representante en la página 3, pulse Editar y elija su "
                                 "archivo de requerimiento."));
    PreKeyCheck out;
    out.content = std::move(built.value);
    out.problems = c.take();
    return out;
}

Fallible<InformationFileContent> prepareInformationFile(Database& db, const QString& patente) {
    const Fallible<CatalogueNames> names = CatalogueNames::read(db);
    if (!names)
        return *names.error;
    Fallible<PreKeyCheck> checked = checkBeforeKey(db, patente, names.value);
    if (!checked)
        return *checked.error;
    if (!checked->blocked())
        return std::move(checked->content);
    QStringList lines{QStringLiteral("No se puede generar el archivo de información:")};
    for (const Problem& p : checked->problems)
        if (p.blocking)
            lines << QStringLiteral("- página %1, %2 %3: %4 %5")
                         .arg(int(p.page))
                         .arg(p.curp, p.name, p.what, p.todo);
    return DbError::refused(lines.join(u'\n'));
}
