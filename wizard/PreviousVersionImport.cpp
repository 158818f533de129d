#include "wizard/PreviousVersionImport.h"

#include "data/Database.h"
#include "entry/Seam.h"
#include "exchange/DumpImport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <memory>

namespace {

constexpr int EsperaArranque = 30 * 1000;
constexpr int EsperaVolcado = 5 * 60 * 1000;

QString minutesAndSeconds(qint64 ms) {
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

enum class DumpWait { Finished, Cancelled, TimedOut };

// The dump tool may take minutes: a window says what is happening, shows the
// time passing and offers to skip the import.
DumpWait waitForDumpTool(QWidget* parent, QProcess& proceso) {
    std::unique_ptr<QProgressDialog> progreso;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        progreso = std::make_unique<QProgressDialog>(parent);
        progreso->setWindowTitle(QStringLiteral("KESTRO 3.5"));
        progreso->setCancelButtonText(QStringLiteral("Cancelar"));
        progreso->setRange(0, EsperaVolcado / 1000);
        progreso->setMinimumDuration(0);
        progreso->setAutoClose(false);
        progreso->setAutoReset(false);
        progreso->setWindowModality(Qt::ApplicationModal);
        progreso->setMinimumWidth(480);
    }
    QElapsedTimer reloj;
    reloj.start();
    while (proceso.state() != QProcess::NotRunning && !proceso.waitForFinished(100)) {
        if (progreso && progreso->wasCanceled())
            return DumpWait::Cancelled;
        const qint64 ms = reloj.elapsed();
        if (ms >= EsperaVolcado)
            return DumpWait::TimedOut;
        if (progreso) {
            progreso->setLabelText(
                QStringLiteral("Tomando los datos de la versión anterior de KESTRO.\n"
                               "Esperando a que termine Trasvase.exe: %1 (máximo %2).\n\n"
                               "Cancelar omite la importación; se ofrecerá de nuevo la "
                               "próxima vez que inicie KESTRO.")
                    .arg(minutesAndSeconds(ms), minutesAndSeconds(EsperaVolcado)));
            progreso->setValue(int(ms / 1000));
        }
        QCoreApplication::processEvents();
    }
    return DumpWait::Finished;
}

// Copies the dump tool into the old folder and runs it there until it has
// written its dump. True when the dump may be read (also when there is no
// tool to run: a dump made earlier is read as it is).
bool runDumpTool(QWidget* parent, const QString& dumpToolDir, const QString& oldFolder) {
    const QString origen = QDir(dumpToolDir).filePath(QStringLiteral("Trasvase.exe"));
    if (!QFileInfo(origen).isFile())
        return true;
    const QString destino = QDir(oldFolder).filePath(QStringLiteral("Trasvase.exe"));
#ifdef Q_OS_WIN
    const QString programa = destino;
    const QStringList argumentos;
#else
    const QString programa = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (programa.isEmpty())
        return true;
    const QStringList argumentos{destino};
#endif
    if (QFileInfo(origen).canonicalFilePath() != QFileInfo(destino).canonicalFilePath()) {
        QFile::remove(destino);
        if (!QFile::copy(origen, destino)) {
            seam::inform(parent, QStringLiteral("No se pudo copiar %1 a %2; no se importaron los "
                                                "datos de la versión anterior de KESTRO.")
                                     .arg(QDir::toNativeSeparators(origen),
                                          QDir::toNativeSeparators(oldFolder)));
            return false;
        }
    }

    QProcess proceso;
    proceso.setWorkingDirectory(oldFolder);
    proceso.start(programa, argumentos);
    if (!proceso.waitForStarted(EsperaArranque)) {
        seam::inform(parent, QStringLiteral("No se pudo ejecutar %1: %2. No se importaron los "
                                            "datos de la versión anterior de KESTRO.")
                                 .arg(QDir::toNativeSeparators(destino), proceso.errorString()));
        return false;
    }
    const DumpWait espera = waitForDumpTool(parent, proceso);
    if (espera != DumpWait::Finished) {
        proceso.kill();
        proceso.waitForFinished(EsperaArranque);
        // Skipped by the user: AA stays empty, so the next start offers it again.
        if (espera == DumpWait::TimedOut)
            seam::inform(parent, QStringLiteral("El programa %1 no terminó a tiempo. No se "
                                                "importaron los datos de la versión anterior de "
                                                "KESTRO.")
                                     .arg(QDir::toNativeSeparators(destino)));
        return false;
    }
    if (proceso.exitStatus() != QProcess::NormalExit) {
        seam::inform(parent, QStringLiteral("El programa %1 terminó con un error. No se "
                                            "importaron los datos de la versión anterior de "
                                            "KESTRO.")
                                 .arg(QDir::toNativeSeparators(destino)));
        return false;
    }
    return true;
}

} // namespace

void Viejo_KESTRO(QWidget* parent, Database& db, const QString& dumpToolDir,
                  const QString& oldFolder) {
    const Rows aa = db.select(QStringLiteral("select 1 from AA limit 1"));
    if (seam::readFailed(parent, aa.error) || !aa.empty())
        return;
    if (!QFileInfo(oldFolder).isDir()) {
        seam::inform(parent, QStringLiteral("No hay una versión anterior de KESTRO en su "
                                            "computadora"));
        return;
    }
    if (!runDumpTool(parent, dumpToolDir, oldFolder))
        return;
    const QString volcado = QDir(oldFolder).filePath(QStringLiteral("Recupera.txt"));
    if (!QFileInfo(volcado).isFile()) {
        seam::inform(parent, QStringLiteral("No se encontró el archivo %1 con los datos de la "
                                            "versión anterior de KESTRO. No se importó ningún "
                                            "dato.")
                                 .arg(QDir::toNativeSeparators(volcado)));
        return;
    }
    if (MaybeError e = importDump(db, volcado))
        seam::inform(parent, e->message());
}
