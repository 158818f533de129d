#include "exchange/InformationFile.h"

#include "data/Dates.h"
#include "data/FaultPoint.h"
#include "exchange/EnvioStage.h"
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

const QString NoAplica = QStringLiteral("No Aplica");

// What in a value breaks a field of the file (breaksFileField), in words;
// empty when the value is safe.
QString orDefault(QStringView valor) {
    for (QChar c : valor) {
        if (!breaksFileField(c))
            continue;
        if (c == QLatin1Char('|'))
            return QStringLiteral("el carácter \"|\"");
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QStringLiteral("un salto de línea");
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

    void literal(const QString& linea) { put(Cp1252::encode(linea) + "\r\n"); }

    // "tag|P", with which every line of a section starts.
    QByteArray recordStart(const QString& tag) const {
        return Cp1252::encode(tag) + '|' + patente_;
    }
    // Starts a line; the fields follow.
    void begin(const QByteArray& start) { put(start); }
    void end() { put("\r\n"); }

    // |value; false (nothing written) when the value would corrupt the file.
    bool field(QStringView valor) {
        const qsizetype at = out_.size();
        char* p = grow(1 + valor.size());
        *p++ = '|';
        for (QChar c : valor) {
            const char16_t u = c.unicode();
            // breaksFileField, with the byte it looks up kept for writing.
            const int b = u < 0x80 ? u : Cp1252::byteOf(c);
            if (b < 0 || u == u'|' || u == u'\r' || u == u'\n') {
                out_.truncate(at);
                return false;
            }
            *p++ = char(b);
        }
        return true;
    }
    // Text as the store holds it (UTF-8); plain ASCII goes straight in.
    bool field(QByteArrayView utf8) {
        for (char c : utf8)
            if (uchar(c) >= 0x80 || c == '|' || c == '\r' || c == '\n')
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

QString ofRecord(const QString& curp) {
    return QStringLiteral("del registro con CURP %1").arg(curp);
}

enum class Clase { Texto, Numero, Fecha };

struct Columna {
    const char* nombre;
    int posicion; // in the table, as every reader of the store takes it
    Clase clase;
};

// One section of the file: a table written row by row, its columns in file
// order, and how many "No Aplica" fillers stand in for an empty table.
struct Section {
    const char* tabla;
    QList<Columna> columnas;
    int rellenos;      // 0: an empty table writes nothing
    int posicionClave; // CURP that names a faulty record; -1 for the agent's own
};

constexpr Clase T = Clase::Texto;
constexpr Clase N = Clase::Numero;
constexpr Clase F = Clase::Fecha;

// Both address tables hold these at the same positions.
QList<Columna> domicilio() {
    return {{"EntFed", 1, T}, {"MDeleg", 2, N},   {"Calle", 3, T},
            {"NoExt", 4, T},  {"NoInt", 5, T},    {"Colonia", 6, T},
            {"CP", 7, T},     {"Telefono", 8, T}, {"Fax", 9, T}};
}

const QList<Section>& mainSections() {
    static const QList<Section> s = {
        {"AA",
         {{"Nombre", 1, T},
          {"ApPaterno", 2, T},
          {"ApMaterno", 3, T},
          {"RFC", 4, T},
          {"CURP", 5, T},
          {"Adscripcion", 7, N},
          {"Aduana1", 8, N},
          {"Aduana2", 9, N},
          {"Aduana3", 10, N},
          {"NoAduanasAut", 11, N}},
         0,
         -1},
        {"Domicilios_AA", QList<Columna>{{"Tipo_Dom", 0, N}} + domicilio(), 0, -1},
        {"Mandatarios",
         {{"CURP", 0, T},
          {"RFC", 1, T},
          {"Nombre", 2, T},
          {"ApPaterno", 3, T},
          {"ApMaterno", 4, T},
          {"Mandato", 5, N},
          {"Acreditacion", 7, N},
          {"Operando", 8, N}},
         7,
         0},
        {"Domicilios_MM",
         QList<Columna>{{"CURP", 0, T}} + domicilio() + QList<Columna>{{"Tipo_Dom", 10, N}}, 0, 0},
        {"Aduanas_MM", {{"CURP", 0, T}, {"NoAduana", 1, N}}, 0, 0},
        {"Pedimentos_MM",
         {{"CURP", 0, T}, {"NoAduana", 1, N}, {"NoPedimento", 2, T}, {"FechPedimento", 3, F}},
         0,
         0},
    };
    return s;
}

// Written only when some representative brings in a history.
const QList<Section>& historySections() {
    static const QList<Section> s = {
        {"Historico_AA",
         {{"RFC", 0, T},
          {"CURP", 1, T},
          {"Nombre", 2, T},
          {"ApPaterno", 3, T},
          {"ApMaterno", 4, T}},
         4,
         1},
        {"Periodos_H_AA",
         {{"CURP", 0, T}, {"NoAduana", 1, N}, {"FechaIni", 2, F}, {"FechaFin", 3, F}},
         0,
         0},
        {"Periodos_H_MM",
         {{"CURP", 0, T},
          {"NoAduana", 1, N},
          {"Patente_MM", 2, N},
          {"FechaIni", 3, F},
          {"FechaFin", 4, F}},
         5,
         0},
    };
    return s;
}

// One value as the file holds it: numbers as plain decimal digits (the
// engine may hold a floating value for a whole number), dates yyyy-mm-dd,
// Null as nothing. False when it would corrupt the file.
bool writeValue(LineWriter& w, const RawRow& r, int i, Clase clase) {
    switch (r.kind(i)) {
    case RawRow::Kind::Null:
        return w.field(QStringView());
    case RawRow::Kind::Integer:
        if (clase == Clase::Numero)
            return w.field(r.integer(i)), true;
        break;
    case RawRow::Kind::Real:
        if (clase == Clase::Numero && std::trunc(r.real(i)) == r.real(i))
            return w.field(qlonglong(r.real(i))), true;
        break;
    case RawRow::Kind::Text:
        if (clase != Clase::Fecha)
            return w.field(r.utf8(i));
        break;
    }
    return w.field(clase == Clase::Fecha ? fileDateFromIso(r.text(i)) : r.text(i));
}

QString faultOf(const RawRow& r, int i, Clase clase) {
    return orDefault(clase == Clase::Fecha ? fileDateFromIso(r.text(i)) : r.text(i));
}

// Writes one section as its rows are read; `alsoEach` sees every row.
MaybeError writeSection(Database& db, LineWriter& w, const Section& s, const QString& agente,
                        const std::function<void(const RawRow&)>& alsoEach = {}) {
    const QString tag = QString::fromLatin1(s.tabla);
    const QByteArray start = w.recordStart(tag);
    MaybeError refused;
    int rows = 0;
    // Table names come from the fixed list of the file's sections.
    const MaybeError e =
        db.eachRow(QStringLiteral("select * from %1").arg(tag), [&](const RawRow& r) {
            ++rows;
            w.begin(start);
            for (const Columna& c : s.columnas) {
                if (writeValue(w, r, c.posicion, c.clase))
                    continue;
                const QString quien =
                    s.posicionClave < 0 ? agente : ofRecord(r.text(s.posicionClave));
                refused = DbError::refused(
                    QStringLiteral("No se puede generar el archivo de información: el campo %1 "
                                   "de la tabla %2 %3 contiene %4. Corrija el dato y vuelva a "
                                   "intentarlo.")
                        .arg(QString::fromLatin1(c.nombre), tag, quien,
                             faultOf(r, c.posicion, c.clase)));
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
    if (refused)
        return refused;
    if (rows == 0 && s.rellenos > 0) {
        w.begin(start);
        for (int i = 0; i < s.rellenos; ++i)
            w.field(NoAplica);
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

Fallible<InformationFileContent> buildInformationFile(Database& db, const QString& patente) {
    // The patent names the file and prefixes every record.
    if (patente.trimmed().isEmpty() || !orDefault(patente).isEmpty() ||
        patente.contains(QLatin1Char('/')) || patente.contains(QLatin1Char('\\'))) {
        return DbError::refused(QStringLiteral("No se puede generar el archivo de información: el "
                                               "número de patente \"%1\" no es válido.")
                                    .arg(patente));
    }

    const QString agente = QStringLiteral("del agente aduanal con patente %1").arg(patente);
    InformationFileContent out;
    LineWriter w(patente);
    w.literal(QStringLiteral("501|%1|1111111||||||||%1").arg(patente));
    w.literal(QStringLiteral("Paq_Version|KESTRO|3.5.0"));

    // Representatives of types 1 and 3 travel with their requirement file.
    const auto requirementOf = [&](const RawRow& r) {
        const qlonglong mandato = r.integer(5);
        if (mandato == 1 || mandato == 3)
            out.requirements.append({r.text(0), r.text(6)});
    };
    for (const Section& s : mainSections()) {
        const bool representatives = QLatin1String(s.tabla) == QLatin1String("Mandatarios");
        if (MaybeError e = writeSection(db, w, s, agente,
                                        representatives ? requirementOf
                                                        : std::function<void(const RawRow&)>()))
            return *e;
    }
    const Fallible<bool> historia = Hay_Hist_Mandatarios(db);
    if (!historia)
        return DbError::refused(
            QStringLiteral("No se pudo leer la tabla Mandatarios de la base de datos: %1")
                .arg(historia.why()));
    if (historia.value)
        for (const Section& s : historySections())
            if (MaybeError e = writeSection(db, w, s, agente))
                return *e;

    w.literal(QStringLiteral("800|1111111|1|"));
    out.bytes = w.bytes();
    return out;
}

// Checks every requirement file before anything is written: a missing one
// must stop the generation, not surface after the file is in place.
MaybeError checkRequirements(const QList<RequirementFile>& reqs) {
    QMap<QString, const RequirementFile*> porNombre;
    for (const RequirementFile& r : reqs) {
        const QFileInfo fi(r.path);
        if (r.path.trimmed().isEmpty()) {
            return DbError::refused(
                QStringLiteral("No se puede generar el archivo de información: el mandatario con "
                               "CURP %1 no tiene archivo de requerimiento.")
                    .arg(r.curp));
        }
        QFile f(r.path);
        if (!fi.isFile() || !f.open(QIODevice::ReadOnly)) {
            return DbError::refused(
                QStringLiteral("No se puede generar el archivo de información: no se encontró o "
                               "no se puede leer el archivo de requerimiento %1 del mandatario "
                               "con CURP %2.")
                    .arg(QDir::toNativeSeparators(r.path), r.curp));
        }
        // Two different files with one name (Windows does not tell "A.req"
        // from "a.REQ") would overwrite each other in ENVIO and one
        // representative's requirement would never be sent.
        const QString nombre = fi.fileName().toCaseFolded();
        const auto otro = porNombre.constFind(nombre);
        if (otro != porNombre.constEnd() &&
            QFileInfo(otro.value()->path).canonicalFilePath() != fi.canonicalFilePath()) {
            return DbError::refused(
                QStringLiteral("No se puede generar el archivo de información: los archivos de "
                               "requerimiento %1 (CURP %2) y %3 (CURP %4) tienen el mismo nombre "
                               "y uno reemplazaría al otro en la carpeta ENVIO.")
                    .arg(QDir::toNativeSeparators(otro.value()->path), otro.value()->curp,
                         QDir::toNativeSeparators(r.path), r.curp));
        }
        porNombre.insert(nombre, &r);
    }
    return std::nullopt;
}

Fallible<QString> writeInformationFile(Database& db, const QString& dataDir, const QString& patente,
                                       const SignStep& sign) {
    auto contenido = buildInformationFile(db, patente);
    if (!contenido)
        return *contenido.error;
    if (MaybeError e = checkRequirements(contenido->requirements))
        return *e;
    // A refused signature has been told by the step itself.
    if (sign && !sign(contenido->bytes))
        return DbError::refused(QString());

    const QString envio = envioFolder(dataDir);
    if (faultpoint::hit() || !QDir().mkpath(envio) || !QFileInfo(envio).isDir())
        return DbError::refused(QStringLiteral("No se pudo crear la carpeta %1. Revise que exista "
                                               "y que tenga permiso de escritura.")
                                    .arg(QDir::toNativeSeparators(envio)));
    const auto unchanged = [](const DbError& e) {
        return DbError::refused(QStringLiteral("No se generó el archivo de información; la "
                                               "carpeta ENVIO quedó como estaba. ") +
                                e.message());
    };
    EnvioStage::recover(envio);
    EnvioStage stage(envio);
    QSet<QString> copiados;
    for (const RequirementFile& r : contenido->requirements) {
        // One file named by several representatives travels once.
        const QString nombre = QFileInfo(r.path).fileName();
        if (copiados.contains(nombre.toCaseFolded()))
            continue;
        copiados.insert(nombre.toCaseFolded());
        if (MaybeError e = stage.addCopy(r.path, nombre))
            return unchanged(*e);
    }
    const QString ruta = informationFilePath(dataDir, patente);
    if (MaybeError e = stage.add(QFileInfo(ruta).fileName(), contenido->bytes))
        return unchanged(*e);
    if (MaybeError e = stage.commit())
        return unchanged(*e);
    return ruta;
}
