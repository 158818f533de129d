#include "exchange/ArchivoInformacion.h"

#include "data/Dates.h"
#include "entry/Cp1252.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cmath>

namespace {

const QString Sep = QStringLiteral("|");
const QString NoAplica = QStringLiteral("No Aplica");

// A number column as plain decimal digits; the engine may hand back a
// floating value for a whole number.
QString numero(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return QString();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (std::trunc(d) == d)
            return QString::number(qlonglong(d));
    }
    return v.toString();
}

QString texto(const QVariant& v) {
    return v.isValid() ? textOf(v) : QString();
}

struct Campo {
    const char* nombre;
    QString valor;
};

// What in a value would corrupt the layout or cannot be written in the
// file's code page; empty when the value is safe.
QString defectoDe(const QString& valor) {
    for (QChar c : valor) {
        if (c == QLatin1Char('|'))
            return QStringLiteral("el carácter \"|\"");
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QStringLiteral("un salto de línea");
        if (!Cp1252::encodable(c))
            return QStringLiteral("el carácter \"%1\" (U+%2), que no se puede escribir en el "
                                  "archivo")
                .arg(QString(c))
                .arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return QString();
}

class Escritor {
public:
    Escritor(QString patente, QString* why) : patente_(std::move(patente)), why_(why) {}

    void literal(const QString& linea) { out_ += Cp1252::encode(linea) + "\r\n"; }

    // tag|P|field|field...; stops at the first value that would corrupt the
    // file and says which table, record and field hold it.
    bool registro(const QString& tag, const QList<Campo>& campos, const QString& quien) {
        QString linea = tag + Sep + patente_;
        for (const Campo& c : campos) {
            const QString defecto = defectoDe(c.valor);
            if (!defecto.isEmpty()) {
                if (why_)
                    *why_ = QStringLiteral("No se puede generar el archivo de información: el "
                                           "campo %1 de la tabla %2 %3 contiene %4. Corrija el "
                                           "dato y vuelva a intentarlo.")
                                .arg(QString::fromLatin1(c.nombre), tag, quien, defecto);
                return false;
            }
            linea += Sep + c.valor;
        }
        literal(linea);
        return true;
    }

    bool relleno(const QString& tag, int cuantos) {
        QList<Campo> campos;
        for (int i = 0; i < cuantos; ++i)
            campos.append({"", NoAplica});
        return registro(tag, campos, QString());
    }

    QByteArray bytes() const { return out_; }

private:
    QString patente_;
    QString* why_;
    QByteArray out_;
};

QString delRegistro(const QVariant& curp) {
    return QStringLiteral("del registro con CURP %1").arg(texto(curp));
}

std::optional<QList<QVariantList>> leeTabla(Database& db, const QString& tabla, QString* why) {
    // Table names come from the fixed list of the file's sections.
    Rows r = db.select(QStringLiteral("select * from %1").arg(tabla));
    if (!r.ok()) {
        if (why)
            *why = QStringLiteral("No se pudo leer la tabla %1 de la base de datos: %2")
                       .arg(tabla, r.error->message().trimmed());
        return std::nullopt;
    }
    return r.rows;
}

} // namespace

int Hay_Hist_Mandatarios(Database& db) {
    Rows r = db.select(QStringLiteral("select * from Mandatarios where Mandato=2"));
    return r.ok() && !r.empty() ? 1 : 0;
}

QString carpetaEnvio(const QString& programDir) {
    return QDir(programDir).filePath(QStringLiteral("ENVIO"));
}

QString rutaArchivoInformacion(const QString& programDir, const QString& patente) {
    return QDir(carpetaEnvio(programDir)).filePath(patente + QStringLiteral(".txt"));
}

std::optional<ContenidoArchivo> armaArchivoInformacion(Database& db, const QString& patente,
                                                       QString* why) {
    // The patent names the file and prefixes every record.
    if (patente.trimmed().isEmpty() || !defectoDe(patente).isEmpty() ||
        patente.contains(QLatin1Char('/')) || patente.contains(QLatin1Char('\\'))) {
        if (why)
            *why = QStringLiteral("No se puede generar el archivo de información: el número de "
                                  "patente \"%1\" no es válido.")
                       .arg(patente);
        return std::nullopt;
    }

    const QString agente = QStringLiteral("del agente aduanal con patente %1").arg(patente);
    ContenidoArchivo out;
    Escritor w(patente, why);
    w.literal(QStringLiteral("501|%1|1111111||||||||%1").arg(patente));
    w.literal(QStringLiteral("Paq_Version|KESTRO|3.5.0"));

    const auto aa = leeTabla(db, QStringLiteral("AA"), why);
    if (!aa)
        return std::nullopt;
    for (const QVariantList& r : *aa)
        if (!w.registro(QStringLiteral("AA"),
                        {{"Nombre", texto(r.value(1))},
                         {"ApPaterno", texto(r.value(2))},
                         {"ApMaterno", texto(r.value(3))},
                         {"RFC", texto(r.value(4))},
                         {"CURP", texto(r.value(5))},
                         {"Adscripcion", numero(r.value(7))},
                         {"Aduana1", numero(r.value(8))},
                         {"Aduana2", numero(r.value(9))},
                         {"Aduana3", numero(r.value(10))},
                         {"NoAduanasAut", numero(r.value(11))}},
                        agente))
            return std::nullopt;

    const auto domAA = leeTabla(db, QStringLiteral("Domicilios_AA"), why);
    if (!domAA)
        return std::nullopt;
    for (const QVariantList& r : *domAA)
        if (!w.registro(QStringLiteral("Domicilios_AA"),
                        {{"Tipo_Dom", numero(r.value(0))},
                         {"EntFed", texto(r.value(1))},
                         {"MDeleg", numero(r.value(2))},
                         {"Calle", texto(r.value(3))},
                         {"NoExt", texto(r.value(4))},
                         {"NoInt", texto(r.value(5))},
                         {"Colonia", texto(r.value(6))},
                         {"CP", texto(r.value(7))},
                         {"Telefono", texto(r.value(8))},
                         {"Fax", texto(r.value(9))}},
                        agente))
            return std::nullopt;

    const auto mm = leeTabla(db, QStringLiteral("Mandatarios"), why);
    if (!mm)
        return std::nullopt;
    if (mm->isEmpty() && !w.relleno(QStringLiteral("Mandatarios"), 7))
        return std::nullopt;
    for (const QVariantList& r : *mm) {
        if (!w.registro(QStringLiteral("Mandatarios"),
                        {{"CURP", texto(r.value(0))},
                         {"RFC", texto(r.value(1))},
                         {"Nombre", texto(r.value(2))},
                         {"ApPaterno", texto(r.value(3))},
                         {"ApMaterno", texto(r.value(4))},
                         {"Mandato", numero(r.value(5))},
                         {"Acreditacion", numero(r.value(7))},
                         {"Operando", numero(r.value(8))}},
                        delRegistro(r.value(0))))
            return std::nullopt;
        const int mandato = r.value(5).toInt();
        if (mandato == 1 || mandato == 3)
            out.requerimientos.append({texto(r.value(0)), texto(r.value(6))});
    }

    const auto domMM = leeTabla(db, QStringLiteral("Domicilios_MM"), why);
    if (!domMM)
        return std::nullopt;
    for (const QVariantList& r : *domMM)
        if (!w.registro(QStringLiteral("Domicilios_MM"),
                        {{"CURP", texto(r.value(0))},
                         {"EntFed", texto(r.value(1))},
                         {"MDeleg", numero(r.value(2))},
                         {"Calle", texto(r.value(3))},
                         {"NoExt", texto(r.value(4))},
                         {"NoInt", texto(r.value(5))},
                         {"Colonia", texto(r.value(6))},
                         {"CP", texto(r.value(7))},
                         {"Telefono", texto(r.value(8))},
                         {"Fax", texto(r.value(9))},
                         {"Tipo_Dom", numero(r.value(10))}},
                        delRegistro(r.value(0))))
            return std::nullopt;

    const auto adMM = leeTabla(db, QStringLiteral("Aduanas_MM"), why);
    if (!adMM)
        return std::nullopt;
    for (const QVariantList& r : *adMM)
        if (!w.registro(QStringLiteral("Aduanas_MM"),
                        {{"CURP", texto(r.value(0))}, {"NoAduana", numero(r.value(1))}},
                        delRegistro(r.value(0))))
            return std::nullopt;

    const auto pedMM = leeTabla(db, QStringLiteral("Pedimentos_MM"), why);
    if (!pedMM)
        return std::nullopt;
    for (const QVariantList& r : *pedMM)
        if (!w.registro(QStringLiteral("Pedimentos_MM"),
                        {{"CURP", texto(r.value(0))},
                         {"NoAduana", numero(r.value(1))},
                         {"NoPedimento", texto(r.value(2))},
                         {"FechPedimento", fileDateFromIso(r.value(3))}},
                        delRegistro(r.value(0))))
            return std::nullopt;

    if (Hay_Hist_Mandatarios(db) == 1) {
        const auto hAA = leeTabla(db, QStringLiteral("Historico_AA"), why);
        if (!hAA)
            return std::nullopt;
        if (hAA->isEmpty() && !w.relleno(QStringLiteral("Historico_AA"), 4))
            return std::nullopt;
        for (const QVariantList& r : *hAA)
            if (!w.registro(QStringLiteral("Historico_AA"),
                            {{"RFC", texto(r.value(0))},
                             {"CURP", texto(r.value(1))},
                             {"Nombre", texto(r.value(2))},
                             {"ApPaterno", texto(r.value(3))},
                             {"ApMaterno", texto(r.value(4))}},
                            delRegistro(r.value(1))))
                return std::nullopt;

        const auto pAA = leeTabla(db, QStringLiteral("Periodos_H_AA"), why);
        if (!pAA)
            return std::nullopt;
        for (const QVariantList& r : *pAA)
            if (!w.registro(QStringLiteral("Periodos_H_AA"),
                            {{"CURP", texto(r.value(0))},
                             {"NoAduana", numero(r.value(1))},
                             {"FechaIni", fileDateFromIso(r.value(2))},
                             {"FechaFin", fileDateFromIso(r.value(3))}},
                            delRegistro(r.value(0))))
                return std::nullopt;

        const auto pMM = leeTabla(db, QStringLiteral("Periodos_H_MM"), why);
        if (!pMM)
            return std::nullopt;
        if (pMM->isEmpty() && !w.relleno(QStringLiteral("Periodos_H_MM"), 5))
            return std::nullopt;
        for (const QVariantList& r : *pMM)
            if (!w.registro(QStringLiteral("Periodos_H_MM"),
                            {{"CURP", texto(r.value(0))},
                             {"NoAduana", numero(r.value(1))},
                             {"Patente_MM", numero(r.value(2))},
                             {"FechaIni", fileDateFromIso(r.value(3))},
                             {"FechaFin", fileDateFromIso(r.value(4))}},
                            delRegistro(r.value(0))))
                return std::nullopt;
    }

    w.literal(QStringLiteral("800|1111111|1|"));
    out.bytes = w.bytes();
    return out;
}

namespace {

// Checks every requirement file before anything is written: a missing one
// must stop the generation, not surface after the file is in place.
bool revisaRequerimientos(const QList<Requerimiento>& reqs, QString* why) {
    QMap<QString, const Requerimiento*> porNombre;
    for (const Requerimiento& r : reqs) {
        const QFileInfo fi(r.path);
        if (r.path.trimmed().isEmpty()) {
            *why = QStringLiteral("No se puede generar el archivo de información: el "
                                  "mandatario con CURP %1 no tiene archivo de requerimiento.")
                       .arg(r.curp);
            return false;
        }
        QFile f(r.path);
        if (!fi.isFile() || !f.open(QIODevice::ReadOnly)) {
            *why = QStringLiteral("No se puede generar el archivo de información: no se "
                                  "encontró o no se puede leer el archivo de requerimiento %1 "
                                  "del mandatario con CURP %2.")
                       .arg(QDir::toNativeSeparators(r.path), r.curp);
            return false;
        }
        // Two different files with one name would overwrite each other in
        // ENVIO and one representative's requirement would never be sent.
        const QString nombre = fi.fileName();
        const auto otro = porNombre.constFind(nombre);
        if (otro != porNombre.constEnd() &&
            QFileInfo(otro.value()->path).canonicalFilePath() != fi.canonicalFilePath()) {
            *why = QStringLiteral("No se puede generar el archivo de información: los "
                                  "archivos de requerimiento %1 (CURP %2) y %3 (CURP %4) tienen "
                                  "el mismo nombre y uno reemplazaría al otro en la carpeta "
                                  "ENVIO.")
                       .arg(QDir::toNativeSeparators(otro.value()->path), otro.value()->curp,
                            QDir::toNativeSeparators(r.path), r.curp);
            return false;
        }
        porNombre.insert(nombre, &r);
    }
    return true;
}

bool copiaRequerimiento(const Requerimiento& r, const QString& envio, QString* why) {
    QFile src(r.path);
    QByteArray data;
    bool ok = src.open(QIODevice::ReadOnly);
    if (ok) {
        data = src.readAll();
        ok = src.error() == QFileDevice::NoError;
    }
    if (!ok) {
        *why = QStringLiteral("No se pudo leer el archivo de requerimiento %1 del mandatario "
                              "con CURP %2: %3")
                   .arg(QDir::toNativeSeparators(r.path), r.curp, src.errorString());
        return false;
    }
    const QString destino = QDir(envio).filePath(QFileInfo(r.path).fileName());
    QSaveFile dst(destino);
    if (!dst.open(QIODevice::WriteOnly) || dst.write(data) != data.size() || !dst.commit()) {
        *why = QStringLiteral("No se pudo copiar el archivo de requerimiento %1 del mandatario "
                              "con CURP %2 a %3: %4")
                   .arg(QDir::toNativeSeparators(r.path), r.curp, QDir::toNativeSeparators(destino),
                        dst.errorString());
        return false;
    }
    return true;
}

} // namespace

std::optional<QString> generaArchivoInformacion(Database& db, const QString& programDir,
                                                const QString& patente, QString* why) {
    QString local;
    if (!why)
        why = &local;
    const auto contenido = armaArchivoInformacion(db, patente, why);
    if (!contenido || !revisaRequerimientos(contenido->requerimientos, why))
        return std::nullopt;

    const QString envio = carpetaEnvio(programDir);
    if (!QDir().mkpath(envio) || !QFileInfo(envio).isDir()) {
        *why = QStringLiteral("No se pudo crear la carpeta %1. Revise que exista y que tenga "
                              "permiso de escritura.")
                   .arg(QDir::toNativeSeparators(envio));
        return std::nullopt;
    }

    // The new file replaces an earlier one only on commit(); leaving this
    // scope without it removes the temporary file.
    const QString ruta = rutaArchivoInformacion(programDir, patente);
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly) ||
        archivo.write(contenido->bytes) != contenido->bytes.size()) {
        *why = QStringLiteral("No se pudo escribir el archivo %1 en la carpeta ENVIO: %2")
                   .arg(QDir::toNativeSeparators(ruta), archivo.errorString());
        return std::nullopt;
    }
    for (const Requerimiento& r : contenido->requerimientos)
        if (!copiaRequerimiento(r, envio, why))
            return std::nullopt;
    if (!archivo.commit()) {
        *why = QStringLiteral("No se pudo escribir el archivo %1 en la carpeta ENVIO: %2")
                   .arg(QDir::toNativeSeparators(ruta), archivo.errorString());
        return std::nullopt;
    }
    return ruta;
}
