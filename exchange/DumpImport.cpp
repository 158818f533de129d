#include "exchange/DumpImport.h"

#include "data/Dates.h"
#include "rules/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <unordered_map>

namespace {

enum class Clase { Texto, Numero, Fecha, Tipo };

struct Columna {
    const char* nombre;
    Clase clase;
};

struct Registro {
    const char* etiqueta;
    const char* tabla;
    bool saltaPatente; // every record but "AA" repeats the patent first
    QList<Columna> columnas;
    QList<QPair<const char*, QVariant>> fijos; // values the old version did not have
    QString sql = QString();                   // its insert, built once
};

// insert into <tabla>(<columns>) values (?,...); names from the fixed list.
QString insertStatement(const Registro& r) {
    QStringList nombres, marcas;
    for (const Columna& c : r.columnas)
        nombres << QString::fromLatin1(c.nombre);
    for (const auto& fijo : r.fijos)
        nombres << QString::fromLatin1(fijo.first);
    for (qsizetype i = 0; i < nombres.size(); ++i)
        marcas << QStringLiteral("?");
    return QStringLiteral("insert into %1(%2) values (%3)")
        .arg(QString::fromLatin1(r.tabla), nombres.join(QLatin1Char(',')),
             marcas.join(QLatin1Char(',')));
}

QList<Registro> withStatements(QList<Registro> registros) {
    for (Registro& r : registros)
        r.sql = insertStatement(r);
    return registros;
}

// The address fields of both address records, in dump order.
QList<Columna> domicilio() {
    return {{"EntFed", Clase::Texto}, {"MDeleg", Clase::Numero},  {"Calle", Clase::Texto},
            {"NoExt", Clase::Texto},  {"NoInt", Clase::Texto},    {"Colonia", Clase::Texto},
            {"CP", Clase::Texto},     {"Telefono", Clase::Texto}, {"Fax", Clase::Texto}};
}

const QList<Registro>& dumpRecords() {
    static const QList<Registro> r = withStatements({
        {"AA",
         "AA",
         false,
         {{"Patente", Clase::Numero},
          {"Nombre", Clase::Texto},
          {"ApPaterno", Clase::Texto},
          {"ApMaterno", Clase::Texto},
          {"RFC", Clase::Texto},
          {"CURP", Clase::Texto},
          {"Autorizacion", Clase::Numero},
          {"Adscripcion", Clase::Numero}},
         {}},
        {"Domicilios_AA",
         "Domicilios_AA",
         true,
         QList<Columna>{{"Tipo_Dom", Clase::Numero}} + domicilio(),
         {}},
        // The old version knew two kinds of representative and nothing of
        // requirement files, accreditation or whether he still operates.
        {"Mandatarios",
         "Mandatarios",
         true,
         {{"CURP", Clase::Texto},
          {"RFC", Clase::Texto},
          {"Nombre", Clase::Texto},
          {"ApPaterno", Clase::Texto},
          {"ApMaterno", Clase::Texto},
          {"Mandato", Clase::Tipo}},
         {{"Requerimiento", QStringLiteral("")}, {"Acreditacion", 0}, {"Operando", 2}}},
        // Its addresses were all particular ones.
        {"Domicilios_MM",
         "Domicilios_MM",
         true,
         QList<Columna>{{"CURP", Clase::Texto}} + domicilio(),
         {{"Tipo_Dom", 1}}},
        {"Aduanas_MM",
         "Aduanas_MM",
         true,
         {{"CURP", Clase::Texto}, {"NoAduana", Clase::Numero}},
         {}},
        {"Pedimentos_MM",
         "Pedimentos_MM",
         true,
         {{"CURP", Clase::Texto},
          {"NoAduana", Clase::Numero},
          {"NoPedimento", Clase::Texto},
          {"FechPedimento", Clase::Fecha}},
         {}},
    });
    return r;
}

Fallible<QVariant> valueOf(const Columna& c, QStringView campo) {
    switch (c.clase) {
    case Clase::Texto:
        // An empty field was empty text in the old store, not a missing value.
        return QVariant(campo.isEmpty() ? QStringLiteral("") : campo.toString());
    case Clase::Numero: {
        bool ok = false;
        const qlonglong n = campo.trimmed().toLongLong(&ok);
        if (ok)
            return QVariant(n);
        return DbError::refused(QStringLiteral("el campo %1 (\"%2\") no es un número")
                                    .arg(QString::fromLatin1(c.nombre), campo.toString()));
    }
    case Clase::Fecha: {
        // Stored as ISO text, the form every date column of the store holds.
        if (const auto iso = normalisedIsoDate(campo.trimmed()))
            return QVariant(*iso);
        return DbError::refused(QStringLiteral("el campo %1 (\"%2\") no es una fecha aaaa-mm-dd")
                                    .arg(QString::fromLatin1(c.nombre), campo.toString()));
    }
    case Clase::Tipo:
        // "" was a representative before 01/01/2001, "1" one under 2.13.11.
        if (campo.isEmpty())
            return QVariant(1);
        if (campo == u"1")
            return QVariant(2);
        return DbError::refused(QStringLiteral("el tipo de mandatario \"%1\" no es válido (se "
                                               "espera vacío o \"1\")")
                                    .arg(campo.toString()));
    }
    return DbError::refused(QStringLiteral("clase de campo desconocida"));
}

QStringView withoutQuotes(QStringView linea) {
    if (linea.endsWith(QLatin1Char('\r')))
        linea.chop(1);
    if (linea.size() >= 2 && linea.startsWith(QLatin1Char('"')) && linea.endsWith(QLatin1Char('"')))
        return linea.sliced(1, linea.size() - 2);
    return linea;
}

} // namespace

QString defaultPreviousVersionFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\KESTRO");
#else
    const QString prefijo = qEnvironmentVariable("WINEPREFIX");
    const QDir base(prefijo.isEmpty() ? QDir::home().filePath(QStringLiteral(".wine")) : prefijo);
    return base.filePath(QStringLiteral("drive_c/KESTRO"));
#endif
}

Fallible<DumpInsert> Conv_Insert(QStringView registro) {
    const QList<QStringView> partes = registro.split(QLatin1Char('|'));
    const QStringView etiqueta = partes.first();
    if (etiqueta == u"800") {
        DumpInsert fin;
        fin.end = true;
        return fin;
    }
    for (const Registro& r : dumpRecords()) {
        if (etiqueta != QLatin1String(r.etiqueta))
            continue;
        const qsizetype primero = r.saltaPatente ? 2 : 1;
        const qsizetype hay = std::max<qsizetype>(0, partes.size() - primero);
        const qsizetype n = r.columnas.size();
        if (hay < n) {
            return DbError::refused(QStringLiteral("el registro %1 tiene %2 campos y necesita %3")
                                        .arg(etiqueta.toString())
                                        .arg(hay)
                                        .arg(n));
        }
        DumpInsert out;
        out.sql = r.sql;
        out.values.reserve(n + r.fijos.size());
        for (qsizetype i = 0; i < n; ++i) {
            const QStringView parte = partes.at(primero + i);
            // The last field keeps whatever "|" follow it.
            const QStringView campo =
                i + 1 < n ? parte : registro.sliced(parte.data() - registro.data());
            const Fallible<QVariant> v = valueOf(r.columnas.at(i), campo);
            if (!v)
                return *v.error;
            out.values << v.value;
        }
        for (const auto& fijo : r.fijos)
            out.values << fijo.second;
        return out;
    }
    return DumpInsert{}; // a tag this version does not take over
}

MaybeError importDump(Database& db, const QString& volcado) {
    const QString shown = QDir::toNativeSeparators(volcado);
    QFile f(volcado);
    if (!f.open(QIODevice::ReadOnly))
        return DbError::refused(QStringLiteral("No se pudo leer el archivo %1 de la versión "
                                               "anterior de KESTRO: %2. No se importó ningún dato.")
                                    .arg(shown, f.errorString()));
    const QString texto = Cp1252::decode(f.readAll());
    f.close();

    const auto falla = [&](qsizetype linea, const QString& texto, const QString& por) {
        return DbError::refused(
            QStringLiteral("No se importaron los datos de la versión anterior de KESTRO: "
                           "en la línea %1 del archivo %2 (\"%3\") %4. No se importó ningún "
                           "dato.")
                .arg(linea + 1)
                .arg(shown, texto, por));
    };

    bool terminado = false;
    // Each kind of record has one statement, prepared once.
    std::unordered_map<QString, std::unique_ptr<PreparedStatement>> sentencias;
    const MaybeError e = inTransaction(db, [&]() -> MaybeError {
        qsizetype i = -1;
        for (const QStringView linea : QStringView(texto).tokenize(QLatin1Char('\n'))) {
            // The first line is the dump's header.
            if (++i == 0)
                continue;
            const QStringView registro = withoutQuotes(linea);
            if (registro.trimmed().isEmpty())
                continue;
            const Fallible<DumpInsert> ins = Conv_Insert(registro);
            if (!ins)
                return falla(i, registro.toString(), ins.why());
            if (ins->end) {
                terminado = true;
                return std::nullopt;
            }
            if (ins->sql.isEmpty())
                continue;
            auto& sentencia = sentencias[ins->sql];
            if (!sentencia)
                sentencia = std::make_unique<PreparedStatement>(db, ins->sql);
            if (MaybeError err = sentencia->exec(ins->values))
                return falla(i, registro.toString(),
                             QStringLiteral("la base de datos rechazó el registro (%1)")
                                 .arg(err->message().trimmed()));
        }
        return DbError::refused(QStringLiteral("No se importaron los datos de la versión anterior "
                                               "de KESTRO: el archivo %1 termina sin el registro "
                                               "final 800. No se importó ningún dato.")
                                    .arg(shown));
    });
    if (e && terminado) // the commit itself failed
        return DbError::refused(QStringLiteral("No se pudieron guardar los datos de la versión "
                                               "anterior de KESTRO: %1. No se importó ningún dato.")
                                    .arg(e->message().trimmed()));
    return e;
}
