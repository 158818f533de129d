#include "wizard/PreviousVersionImport.h"

#include "data/InSpanish.h"

#include "data/Database.h"
#include "entry/Seam.h"
#include "exchange/DumpImport.h"

#include <QApplication>
#include <QDateTime>
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

// How this system starts the dump tool copied into the old folder: the tool
// itself on Windows, wine elsewhere. Empty when it cannot be started here.
QStringList toolCommand(const QString& toolCopy) {
#ifdef Q_OS_WIN
    return {toolCopy};
#else
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    return wine.isEmpty() ? QStringList() : QStringList{wine, toolCopy};
#endif
}

// Tells why nothing is imported this time; false, for the step that stops.
bool importSkipped(QWidget* parent, const QString& why) {
    seam::inform(parent,
                 why + QStringLiteral(" No se importaron los datos de la versión anterior de "
                                      "KESTRO."));
    return false;
}

// With no tool to run, a dump in the folder may be weeks old: the user
// decides, knowing when it was made.
bool earlierDumpWanted(QWidget* parent, const QString& dumpPath) {
    const QFileInfo dump(dumpPath);
    if (!dump.isFile())
        return true; // the missing dump is told by the caller
    const QDateTime made = dump.lastModified();
    return seam::message(parent,
                         QStringLiteral("No se puede ejecutar Trasvase.exe para tomar los datos "
                                        "de la versión anterior de KESTRO, pero en %1 hay un "
                                        "archivo de datos hecho el %2 a las %3.\n\n¿Desea "
                                        "importar ese archivo?")
                             .arg(QDir::toNativeSeparators(dumpPath),
                                  made.toString(QStringLiteral("dd/MM/yyyy")),
                                  made.toString(QStringLiteral("HH:mm"))),
                         QStringLiteral("Mensaje"), seam::Icon::Exclamation,
                         seam::Buttons::OkCancel) == seam::Answer::Ok;
}

// Runs the copied tool in the old folder until it has written its dump.
// True when it ended by itself with exit code 0.
bool runDumpTool(QWidget* parent, const QStringList& command, const QString& oldFolder) {
    const QString shown = QDir::toNativeSeparators(command.last());
    QProcess tool;
    tool.setWorkingDirectory(oldFolder);
    tool.start(command.first(), command.mid(1));
    if (!tool.waitForStarted(EsperaArranque))
        return importSkipped(parent, QStringLiteral("No se pudo ejecutar %1: %2.")
                                         .arg(shown, systemSays(tool.errorString())));
    const DumpWait waited = waitForDumpTool(parent, tool);
    if (waited != DumpWait::Finished) {
        tool.kill();
        tool.waitForFinished(EsperaArranque);
        // Skipped by the user: AA stays empty, so the next start offers it again.
        if (waited == DumpWait::TimedOut)
            return importSkipped(parent,
                                 QStringLiteral("El programa %1 no terminó a tiempo.").arg(shown));
        return false;
    }
    const QString failure =
        tool.exitStatus() != QProcess::NormalExit
            ? QStringLiteral("terminó con un error")
            : QStringLiteral("terminó con el código de error %1").arg(tool.exitCode());
    return (tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0) ||
           importSkipped(parent, QStringLiteral("El programa %1 %2.").arg(shown, failure));
}

// Brings a fresh dump into the old folder: the tool runs there after any
// dump an earlier run left is gone, so only what it writes now is read.
// Without a tool to run, an earlier dump is read only when the user says
// so. True when the dump may be read.
bool freshDump(QWidget* parent, const QString& dumpToolDir, const QString& oldFolder,
               const QString& dumpPath) {
    const QString toolOriginal = QDir(dumpToolDir).filePath(QStringLiteral("Trasvase.exe"));
    const QString toolCopy = QDir(oldFolder).filePath(QStringLiteral("Trasvase.exe"));
    const QStringList command = toolCommand(toolCopy);
    if (!QFileInfo(toolOriginal).isFile() || command.isEmpty())
        return earlierDumpWanted(parent, dumpPath);
    if (QFileInfo::exists(dumpPath) && !QFile::remove(dumpPath))
        return importSkipped(parent, QStringLiteral("No se pudo borrar el archivo %1 que dejó una "
                                                    "importación anterior.")
                                         .arg(QDir::toNativeSeparators(dumpPath)));
    if (QFileInfo(toolOriginal).canonicalFilePath() != QFileInfo(toolCopy).canonicalFilePath()) {
        QFile::remove(toolCopy);
        if (!QFile::copy(toolOriginal, toolCopy))
            return importSkipped(parent, QStringLiteral("No se pudo copiar %1 a %2.")
                                             .arg(QDir::toNativeSeparators(toolOriginal),
                                                  QDir::toNativeSeparators(oldFolder)));
    }
    return runDumpTool(parent, command, oldFolder);
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
    const QString dumpPath = QDir(oldFolder).filePath(QStringLiteral("Recupera.txt"));
    if (!freshDump(parent, dumpToolDir, oldFolder, dumpPath))
        return;
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
