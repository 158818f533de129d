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
DumpWait waitForDumpTool(QWidget* parent, QProcess& tool) {
    std::unique_ptr<QProgressDialog> progressBox;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        progressBox = std::make_unique<QProgressDialog>(parent);
        progressBox->setWindowTitle(QStringLiteral("KESTRO 3.5"));
        progressBox->setCancelButtonText(QStringLiteral("Cancelar"));
        progressBox->setRange(0, EsperaVolcado / 1000);
        progressBox->setMinimumDuration(0);
        progressBox->setAutoClose(false);
        progressBox->setAutoReset(false);
        progressBox->setWindowModality(Qt::ApplicationModal);
        progressBox->setMinimumWidth(480);
    }
    QElapsedTimer stopwatch;
    stopwatch.start();
    while (tool.state() != QProcess::NotRunning && !tool.waitForFinished(100)) {
        if (progressBox && progressBox->wasCanceled())
            return DumpWait::Cancelled;
        const qint64 ms = stopwatch.elapsed();
        if (ms >= EsperaVolcado)
            return DumpWait::TimedOut;
        if (progressBox) {
            progressBox->setLabelText(
                QStringLiteral("Tomando los datos de la versión anterior de KESTRO.\n"
                               "Esperando a que termine Trasvase.exe: %1 (máximo %2).\n\n"
                               "Cancelar omite la importación; se ofrecerá de nuevo la "
                               "próxima vez que inicie KESTRO.")
                    .arg(minutesAndSeconds(ms), minutesAndSeconds(EsperaVolcado)));
            progressBox->setValue(int(ms / 1000));
        }
        QCoreApplication::processEvents();
    }
    return DumpWait::Finished;
}

// Copies the dump tool into the old folder and runs it there until it has
// written its dump. True when the dump may be read (also when there is no
// tool to run: a dump made earlier is read as it is).
bool runDumpTool(QWidget* parent, const QString& dumpToolDir, const QString& oldFolder) {
    const QString toolOriginal = QDir(dumpToolDir).filePath(QStringLiteral("Trasvase.exe"));
    if (!QFileInfo(toolOriginal).isFile())
        return true;
    const QString toolCopy = QDir(oldFolder).filePath(QStringLiteral("Trasvase.exe"));
#ifdef Q_OS_WIN
    const QString program = toolCopy;
    const QStringList toolArguments;
#else
    const QString program = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (program.isEmpty())
        return true;
    const QStringList toolArguments{toolCopy};
#endif
    if (QFileInfo(toolOriginal).canonicalFilePath() != QFileInfo(toolCopy).canonicalFilePath()) {
        QFile::remove(toolCopy);
        if (!QFile::copy(toolOriginal, toolCopy)) {
            seam::inform(parent, QStringLiteral("No se pudo copiar %1 a %2; no se importaron los "
                                                "datos de la versión anterior de KESTRO.")
                                     .arg(QDir::toNativeSeparators(toolOriginal),
                                          QDir::toNativeSeparators(oldFolder)));
            return false;
        }
    }

    QProcess tool;
    tool.setWorkingDirectory(oldFolder);
    tool.start(program, toolArguments);
    if (!tool.waitForStarted(EsperaArranque)) {
        seam::inform(parent, QStringLiteral("No se pudo ejecutar %1: %2. No se importaron los "
                                            "datos de la versión anterior de KESTRO.")
                                 .arg(QDir::toNativeSeparators(toolCopy), tool.errorString()));
        return false;
    }
    const DumpWait waited = waitForDumpTool(parent, tool);
    if (waited != DumpWait::Finished) {
        tool.kill();
        tool.waitForFinished(EsperaArranque);
        // Skipped by the user: AA stays empty, so the next start offers it again.
        if (waited == DumpWait::TimedOut)
            seam::inform(parent, QStringLiteral("El programa %1 no terminó a tiempo. No se "
                                                "importaron los datos de la versión anterior de "
                                                "KESTRO.")
                                     .arg(QDir::toNativeSeparators(toolCopy)));
        return false;
    }
    if (tool.exitStatus() != QProcess::NormalExit) {
        seam::inform(parent, QStringLiteral("El programa %1 terminó con un error. No se "
                                            "importaron los datos de la versión anterior de "
                                            "KESTRO.")
                                 .arg(QDir::toNativeSeparators(toolCopy)));
        return false;
    }
    return true;
}

} // namespace

void Viejo_KESTRO(QWidget* parent, Database& db, const QString& dumpToolDir,
                  const QString& oldFolder, const std::function<void()>& beforeImport) {
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
    const QString dumpPath = QDir(oldFolder).filePath(QStringLiteral("Recupera.txt"));
    if (!QFileInfo(dumpPath).isFile()) {
        seam::inform(parent, QStringLiteral("No se encontró el archivo %1 con los datos de la "
                                            "versión anterior de KESTRO. No se importó ningún "
                                            "dato.")
                                 .arg(QDir::toNativeSeparators(dumpPath)));
        return;
    }
    if (beforeImport)
        beforeImport();
    if (MaybeError e = importDump(db, dumpPath))
        seam::inform(parent, e->message());
}
