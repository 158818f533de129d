// Checks that a signed information file is intact, against the agent's
// public key or certificate. For the authority's side and for agents who
// want to see their file before sending it.

#include "exchange/Signing.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Accents must survive any console. A Windows console is given the text as
// UTF-16, which it shows whatever its code page; a pipe or a file gets
// UTF-8, as on every other system.
void say(FILE* to, const QString& text) {
    const QString line = text + u'\n';
#ifdef Q_OS_WIN
    HANDLE h = GetStdHandle(to == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(h, &mode)) {
        std::fflush(to);
        DWORD written = 0;
        WriteConsoleW(h, reinterpret_cast<const wchar_t*>(line.utf16()), DWORD(line.size()),
                      &written, nullptr);
        return;
    }
#endif
    std::fputs(line.toUtf8().constData(), to);
}

// Why a file could not be read, in Spanish whatever the system's language.
QString whyUnreadable(const QString& path, const QFile& f) {
    const QFileInfo fi(path);
    if (!fi.exists() && !fi.isSymLink())
        return QStringLiteral("el archivo no existe");
    if (fi.isDir())
        return QStringLiteral("es una carpeta, no un archivo");
    if (!fi.exists())
        return QStringLiteral("es un acceso directo que no lleva a ningún archivo");
    switch (f.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("no tiene permiso para leerlo");
    case QFileDevice::ResourceError:
        return QStringLiteral("el sistema no tiene recursos para leerlo");
    default:
        return QStringLiteral("el sistema no permitió leerlo");
    }
}

bool readInto(const QString& path, QByteArray* out) {
    QFile f(path);
    if (!QFileInfo(path).isDir() && f.open(QIODevice::ReadOnly)) {
        *out = f.readAll();
        if (f.error() == QFileDevice::NoError)
            return true;
    }
    say(stderr, QStringLiteral("No se pudo leer %1: %2.").arg(path, whyUnreadable(path, f)));
    return false;
}

} // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
    SetConsoleOutputCP(CP_UTF8); // for anything printed past say()
#endif
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        say(stderr, QStringLiteral("Uso: %1 <archivo de información firmado> <llave pública o "
                                   "certificado del agente (PEM o DER)>")
                        .arg(args.value(0)));
        return 2;
    }
    QByteArray fileBytes, keyBytes;
    if (!readInto(args.at(1), &fileBytes) || !readInto(args.at(2), &keyBytes))
        return 2;
    const Verification v = verifySignature(fileBytes, keyBytes);
    say(v.intact ? stdout : stderr, v.message);
    return v.intact ? 0 : 1;
}
