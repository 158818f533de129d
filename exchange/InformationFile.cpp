#include "exchange/InformationFile.h"

#include "data/Dates.h"
#include "data/FaultPoint.h"
#include "data/PlainFile.h"
#include "data/Tables.h"
#include "exchange/EnvioStage.h"
#include "exchange/FileRecords.h"
#include "rules/Cp1252.h"
#include "rules/SafeText.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

// What in a value breaks a field of the file (breaksFileField), in words;
// empty when the value is safe.
QString whatBreaksField(QStringView fieldText) {
    for (QChar c : fieldText) {
        if (!breaksFileField(c))
            continue;
        if (c == QLatin1Char('|'))
            return QStringLiteral("el carácter \"|\"");
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QStringLiteral("un salto de línea");
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("un carácter de control (0x%1)")
                .arg(c.unicode(), 2, 16, QLatin1Char('0'));
        return QStringLiteral("el carácter \"%1\" (U+%2), que no se puede escribir en el "
                              "archivo")
            .arg(QString(c))
            .arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return QString();
}

// The file's bytes, built line by line straight into Windows-1252 with no
// copy of a table or of a line in between.
class LineWriter {
public:
    explicit LineWriter(const QString& patente) : patente_(Cp1252::encode(patente)) {}

    void literal(const QString& line) { put(Cp1252::encode(line) + "\r\n"); }

    // "tag|P", with which every line of a section starts.
    QByteArray recordStart(const QString& tag) const {
        return Cp1252::encode(tag) + '|' + patente_;
    }
    // Starts a line; the fields follow.
    void begin(const QByteArray& start) { put(start); }
    void end() { put("\r\n"); }

    // |value; false (nothing written) when the value would corrupt the file.
    bool field(QStringView fieldText) {
        const qsizetype at = out_.size();
        char* p = grow(1 + fieldText.size());
        *p++ = '|';
        for (QChar c : fieldText) {
            const int b = fileFieldByte(c);
            if (b < 0) {
                out_.truncate(at);
                return false;
            }
            *p++ = char(b);
        }
        return true;
    }
    // The value with "?" for what the field cannot hold.
    void fieldReplacing(QStringView fieldText) {
        QString safe = fieldText.toString();
        for (QChar& c : safe)
            if (breaksFileField(c))
                c = u'?';
        field(QStringView(safe));
    }
    // Text as the store holds it (UTF-8); plain ASCII goes straight in.
    bool field(QByteArrayView utf8) {
        for (char c : utf8)
            if (uchar(c) >= 0x80 || breaksFileField(QLatin1Char(c)))
                return field(QString::fromUtf8(utf8));
        char* p = grow(1 + utf8.size());
        *p = '|';
        std::memcpy(p + 1, utf8.data(), utf8.size());
        return true;
    }
    // Numbers need no check.
    void field(qlonglong n) {
        char digits[24] = {'|'};
        put(QByteArrayView(digits, std::to_chars(digits + 1, digits + sizeof digits, n).ptr));
    }

    QByteArray bytes() const { return out_; }

private:
    void put(QByteArrayView b) { std::memcpy(grow(b.size()), b.data(), b.size()); }
    // Room for n more bytes at the end; the buffer at least doubles when it
    // grows, so appending costs the same whatever the file's size.
    char* grow(qsizetype n) {
        const qsizetype at = out_.size();
        if (at + n > out_.capacity())
            out_.reserve(std::max(2 * out_.capacity(), at + n + 4096));
        out_.resize(at + n);
        return out_.data() + at;
    }

    QByteArray patente_;
    QByteArray out_;
};

// "ROSA GARCIA MARTINEZ" for a representative's CURP; empty when none.
QString representativeName(Database& db, const QString& curp) {
    const Rows r = db.select(QStringLiteral("select trim(Nombre || ' ' || ApPaterno || ' ' || "
                                            "ApMaterno) from Mandatarios where CURP=?"),
                             {curp});
    return r.ok() && !r.empty() ? r.first().value(0).toString() : QString();
}

QString ofRecord(Database& db, const QString& curp) {
    const QString name = representativeName(db, curp);
    return name.isEmpty() ? QStringLiteral("del registro con CURP %1").arg(curp)
                          : QStringLiteral("del registro con CURP %1 (%2)").arg(curp, name);
}

// One value as the file holds it: numbers as plain decimal digits (the
// engine may hold a floating value for a whole number), dates yyyy-mm-dd,
// Null as nothing. False when it would corrupt the file.
bool writeValue(LineWriter& w, const RawRow& r, int i, Tables::Kind kind) {
    const bool number = kind == Tables::Kind::Number || kind == Tables::Kind::Mandato;
    const bool date = kind == Tables::Kind::Date;
    switch (r.kind(i)) {
    case RawRow::Kind::Null:
        return w.field(QStringView());
    case RawRow::Kind::Integer:
        if (number)
            return w.field(r.integer(i)), true;
        break;
    case RawRow::Kind::Real:
        if (number && std::trunc(r.real(i)) == r.real(i))
            return w.field(qlonglong(r.real(i))), true;
        break;
    case RawRow::Kind::Text:
        if (!date)
            return w.field(r.utf8(i));
        break;
    }
    return w.field(date ? fileDateFromIso(r.text(i)) : r.text(i));
}

QString asWritten(const RawRow& r, int i, Tables::Kind kind) {
    return kind == Tables::Kind::Date ? fileDateFromIso(r.text(i)) : r.text(i);
}

// Writes one table's section as its rows are read; `alsoEach` sees every
// row, its columns in table order. A value the file cannot hold stops the
// section, or with `collect` is noted there and written harmless.
MaybeError writeSection(Database& db, LineWriter& w, const Tables::Table& t, const QString& agente,
                        const std::function<void(const RawRow&)>& alsoEach,
                        QList<RefusedValue>* collect) {
    const QString tag = t.tableName();
    const QByteArray start = w.recordStart(tag);
    const char* keyColumn = recordKeyColumn(t);
    const int key = keyColumn ? t.position(keyColumn) : -1;
    QString refusedField, refusedWhy, refusedKey; // the key is named once the rows are read
    int rows = 0;
    const MaybeError e = db.eachRow(t.selectAll(), [&](const RawRow& r) {
        ++rows;
        w.begin(start);
        for (int i = 0; i < t.columns.size(); ++i) {
            const Tables::Column& c = t.columns[i];
            if (!c.inFile || writeValue(w, r, i, c.kind))
                continue;
            const QString value = asWritten(r, i, c.kind);
            if (collect) {
                collect->append({tag, QString::fromLatin1(c.name),
                                 key >= 0 ? r.text(key) : QString(), whatBreaksField(value)});
                w.fieldReplacing(value);
                continue;
            }
            refusedKey = t.keyColumn ? r.text(key) : QString();
            refusedField = QString::fromLatin1(c.name);
            refusedWhy = whatBreaksField(value);
            return false;
        }
        w.end();
        if (alsoEach)
            alsoEach(r);
        return true;
    });
    if (e)
        return DbError::refused(
            QStringLiteral("No se pudo leer la tabla %1 de la base de datos: %2")
                .arg(tag, e->message().trimmed()));
    if (!refusedField.isEmpty())
        return DbError::refused(
            QStringLiteral("No se puede generar el archivo de información: el campo %1 de la "
                           "tabla %2 %3 contiene %4. Corrija el dato y vuelva a intentarlo.")
                .arg(refusedField, tag, t.keyColumn ? ofRecord(db, refusedKey) : agente,
                     refusedWhy));
    if (rows == 0 && t.fileFillers > 0) {
        w.begin(start);
        for (int i = 0; i < t.fileFillers; ++i)
            w.field(NotApplicable);
        w.end();
    }
    return std::nullopt;
}

} // namespace

Fallible<bool> Hay_Hist_Mandatarios(Database& db) {
    Rows r = db.select(QStringLiteral("select 1 from Mandatarios where Mandato=2 limit 1"));
    if (r.error)
        return *r.error;
    return !r.empty();
}

QString envioFolder(const QString& dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("ENVIO"));
}

QString informationFilePath(const QString& dataDir, const QString& patente) {
    return QDir(envioFolder(dataDir)).filePath(patente + QStringLiteral(".txt"));
}

Fallible<InformationFileContent> buildInformationFile(Database& db, const QString& patente,
                                                      QList<RefusedValue>* refused) {
    // The patent names the file and prefixes every record.
    if (patente.trimmed().isEmpty() || !whatBreaksField(patente).isEmpty() ||
        patente.contains(QLatin1Char('/')) || patente.contains(QLatin1Char('\\'))) {
        return DbError::refused(QStringLiteral("No se puede generar el archivo de información: el "
                                               "número de patente \"%1\" no es válido.")
                                    .arg(patente));
    }

    const QString agente = QStringLiteral("del agente aduanal con patente %1").arg(patente);
    InformationFileContent out;
    LineWriter w(patente);
    w.literal(headRecord(patente));
    w.literal(VersionRecord);

    // Representatives of types 1 and 3 travel with their requirement file.
    const Tables::Table& mandatarios = Tables::byName("Mandatarios");
    const int curp = mandatarios.position("CURP"), mandato = mandatarios.position("Mandato"),
              requerimiento = mandatarios.position("Requerimiento"),
              rfc = mandatarios.position("RFC");
    const int names[] = {mandatarios.position("Nombre"), mandatarios.position("ApPaterno"),
                         mandatarios.position("ApMaterno")};
    const auto requirementOf = [&](const RawRow& r) {
        const qlonglong m = r.integer(mandato);
        if (m != 1 && m != 3)
            return;
        const QString name = r.text(names[0]) + u' ' + r.text(names[1]) + u' ' + r.text(names[2]);
        out.requirements.append(
            {r.text(curp), name.trimmed(), r.text(requerimiento), r.text(rfc).trimmed()});
    };
    for (const Tables::Table& t : Tables::all()) {
        if (t.travel != Tables::Travel::FileMain)
            continue;
        if (MaybeError e = writeSection(
                db, w, t, agente,
                &t == &mandatarios ? requirementOf : std::function<void(const RawRow&)>(), refused))
            return *e;
    }
    const Fallible<bool> hasHistory = Hay_Hist_Mandatarios(db);
    if (!hasHistory)
        return DbError::refused(
            QStringLiteral("No se pudo leer la tabla Mandatarios de la base de datos: %1")
                .arg(hasHistory.why()));
    if (hasHistory.value)
        for (const Tables::Table& t : Tables::all())
            if (t.travel == Tables::Travel::FileHistory)
                if (MaybeError e = writeSection(db, w, t, agente, {}, refused))
                    return *e;

    w.literal(EndRecord);
    out.bytes = w.bytes();
    return out;
}

namespace {

QString whoIs(const RequirementFile& r) {
    return QStringLiteral("%1 (CURP %2)").arg(r.name, r.curp);
}

} // namespace

// Checks every requirement file before anything is written: a missing one
// must stop the generation, not surface after the file is in place.
QList<RequirementFault> requirementFaults(const QList<RequirementFile>& reqs) {
    const QString refusal = QStringLiteral("No se puede generar el archivo de información: ");
    QList<RequirementFault> out;
    QMap<QString, const RequirementFile*> requirementByFileName;
    for (const RequirementFile& r : reqs) {
        const QFileInfo fi(r.path);
        if (r.path.trimmed().isEmpty()) {
            out.append({r, refusal + QStringLiteral("el representante %1 no tiene archivo de "
                                                    "requerimiento. Edítelo en la página de "
                                                    "representantes y proporcione su archivo de "
                                                    "requerimiento.")
                                         .arg(whoIs(r))});
            continue;
        }
        // Whatever the database says, only the representative's own
        // <RFC>.req travels, and only a regular file: never a link, a
        // device or a FIFO (which would hold this check for ever).
        if (fi.fileName().toUpper() != r.rfc.toUpper() + QStringLiteral(".REQ")) {
            out.append({r, refusal + QStringLiteral("el archivo de requerimiento %1 del "
                                                    "representante %2 no se llama como su RFC "
                                                    "(%3.req). Edite al representante y elija su "
                                                    "archivo de requerimiento.")
                                         .arg(QDir::toNativeSeparators(r.path), whoIs(r), r.rfc)});
            continue;
        }
        // Opening tells it all (a folder does not open as a file), one
        // call for each of thousands of representatives.
        if (const PlainFile::Opened o = PlainFile::probe(r.path, PlainFile::Links::Refuse);
            o.fault == PlainFile::Fault::Link || o.fault == PlainFile::Fault::NotRegular) {
            out.append({r, refusal + QStringLiteral("el archivo de requerimiento %1 del "
                                                    "representante %2 %3. Elija un archivo "
                                                    "común.")
                                         .arg(QDir::toNativeSeparators(r.path), whoIs(r), o.why)});
            continue;
        } else if (o.fault != PlainFile::Fault::None) {
            out.append(
                {r, refusal + QStringLiteral("no se encontró o no se puede leer el archivo de "
                                             "requerimiento %1 del representante %2. Revise que el "
                                             "archivo exista o edite al representante y elija de "
                                             "nuevo su archivo de requerimiento.")
                                  .arg(QDir::toNativeSeparators(r.path), whoIs(r))});
            continue;
        }
        // Two different files with one name (Windows does not tell "A.req"
        // from "a.REQ") would overwrite each other in ENVIO and one
        // representative's requirement would never be sent.
        const QString nombre = fi.fileName().toCaseFolded();
        const auto other = requirementByFileName.constFind(nombre);
        if (other != requirementByFileName.constEnd() &&
            QFileInfo(other.value()->path).canonicalFilePath() != fi.canonicalFilePath()) {
            out.append({r, refusal + QStringLiteral(
                                         "los archivos de requerimiento %1 (del representante %2) "
                                         "y %3 (del representante %4) tienen el mismo nombre y uno "
                                         "reemplazaría al otro en la carpeta ENVIO. Revise cuál "
                                         "corresponde a cada representante.")
                                         .arg(QDir::toNativeSeparators(other.value()->path),
                                              whoIs(*other.value()),
                                              QDir::toNativeSeparators(r.path), whoIs(r))});
            continue;
        }
        requirementByFileName.insert(nombre, &r);
    }
    return out;
}

MaybeError checkRequirements(const QList<RequirementFile>& reqs) {
    const QList<RequirementFault> faults = requirementFaults(reqs);
    if (faults.isEmpty())
        return std::nullopt;
    return DbError::refused(faults.first().why);
}

Fallible<QString> writeInformationFile(Database& db, const QString& dataDir, const QString& patente,
                                       const SignStep& sign) {
    auto content = buildInformationFile(db, patente);
    if (!content)
        return *content.error;
    if (MaybeError e = checkRequirements(content->requirements))
        return *e;
    return placeInformationFile(std::move(content.value), dataDir, patente, sign);
}

Fallible<QString> placeInformationFile(InformationFileContent content, const QString& dataDir,
                                       const QString& patente, const SignStep& sign,
                                       const QDateTime& now) {
    // A refused signature has been told by the step itself.
    if (sign && !sign(content.bytes))
        return DbError::refused(QString());

    const QString envio = envioFolder(dataDir);
    if (MaybeError e = EnvioStage::linkFault(envio))
        return *e;
    if (faultpoint::hit() || !QDir().mkpath(envio) || !QFileInfo(envio).isDir())
        return DbError::refused(QStringLiteral("No se pudo crear la carpeta %1. Revise que exista "
                                               "y que tenga permiso de escritura.")
                                    .arg(QDir::toNativeSeparators(envio)));
    const auto notGenerated = [](const DbError& e, bool asBefore = true) {
        return DbError::refused(
            (asBefore ? QStringLiteral("No se generó el archivo de información; la carpeta ENVIO "
                                       "quedó como estaba. ")
                      : QStringLiteral("No se generó el archivo de información. ")) +
            e.message());
    };
    EnvioStage::recover(envio);
    EnvioStage stage(envio);
    QSet<QString> copiedFiles;
    for (const RequirementFile& r : content.requirements) {
        // One file named by several representatives travels once.
        const QString nombre = QFileInfo(r.path).fileName();
        if (copiedFiles.contains(nombre.toCaseFolded()))
            continue;
        copiedFiles.insert(nombre.toCaseFolded());
        if (MaybeError e = stage.addCopy(r.path, nombre))
            return notGenerated(*e);
    }
    const QString target = informationFilePath(dataDir, patente);
    if (MaybeError e = stage.add(QFileInfo(target).fileName(), content.bytes))
        return notGenerated(*e);
    if (MaybeError e = stage.commit(now))
        return notGenerated(*e, stage.asBefore());
    return target;
}
