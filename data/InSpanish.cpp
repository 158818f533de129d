#include "data/InSpanish.h"

#include <sqlite3.h>

#include <array>
#include <utility>

namespace {

QString withWords(const QString& spanish, const QString& words) {
    return words.isEmpty() || words == spanish ? spanish
                                               : QStringLiteral("%1 (%2)").arg(spanish, words);
}

QString meaningOf(int code) {
    switch (code & 0xff) {
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("no hay permiso");
    case SQLITE_ABORT:
    case SQLITE_INTERRUPT:
        return QStringLiteral("la operación se interrumpió");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("otro programa tiene la base de datos abierta y bloqueada");
    case SQLITE_NOMEM:
        return QStringLiteral("no hay memoria suficiente");
    case SQLITE_READONLY:
        return QStringLiteral("la base de datos o su carpeta son de sólo lectura");
    case SQLITE_IOERR:
        return QStringLiteral("error al leer o escribir en el disco");
    case SQLITE_CORRUPT:
        return QStringLiteral("la base de datos está dañada");
    case SQLITE_FULL:
        return QStringLiteral("el disco está lleno");
    case SQLITE_CANTOPEN:
        return QStringLiteral("no se pudo abrir el archivo de la base de datos");
    case SQLITE_TOOBIG:
        return QStringLiteral("un dato es demasiado grande");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("un dato no cumple una regla de la base de datos");
    case SQLITE_MISMATCH:
        return QStringLiteral("un dato no es del tipo que la base de datos espera");
    case SQLITE_NOTADB:
        return QStringLiteral("el archivo no es una base de datos");
    }
    return QStringLiteral("la base de datos no pudo hacer la operación");
}

} // namespace

QString engineSays(int code, const QString& words) {
    return withWords(meaningOf(code),
                     words.isEmpty() ? QString::fromUtf8(sqlite3_errstr(code)) : words);
}

QString systemSays(const QString& words) {
    // The texts the C library and Qt give on Linux and macOS; Windows gives
    // them in the system's own language.
    static const std::array<std::pair<const char*, const char*>, 12> known{{
        {"Permission denied", "no hay permiso para usar el archivo"},
        {"Access is denied", "no hay permiso para usar el archivo"},
        {"No such file or directory", "el archivo o su carpeta no existen"},
        {"Is a directory", "es una carpeta, no un archivo"},
        {"No space left on device", "el disco está lleno"},
        {"Disk quota exceeded", "se llenó el espacio permitido en el disco"},
        {"Read-only file system", "el disco es de sólo lectura"},
        {"Input/output error", "error al leer o escribir en el disco"},
        {"Device or resource busy", "otro programa está usando el archivo"},
        {"Too many open files", "hay demasiados archivos abiertos"},
        {"File name too long", "el nombre del archivo es demasiado largo"},
        {"Unknown error", "error desconocido"},
    }};
    for (const auto& [english, spanish] : known)
        if (words.contains(QLatin1String(english), Qt::CaseInsensitive))
            return withWords(QString::fromUtf8(spanish), words);
    return withWords(QStringLiteral("el sistema no lo permitió"), words);
}
