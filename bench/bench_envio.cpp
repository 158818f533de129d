// Placing requirement copies in ENVIO, all or nothing, against a plain `cp`
// of the same files: bench_envio [files] [kilobytes each]
#include "exchange/EnvioStage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 200;
    const int kb = argc > 2 ? std::atoi(argv[2]) : 64;
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-envio-XXXXXX"));
    const QString src = dir.filePath(QStringLiteral("req")), envio = dir.filePath("ENVIO"),
                  plain = dir.filePath("cp");
    QDir().mkpath(src);
    QDir().mkpath(envio);
    QDir().mkpath(plain);
    QStringList names;
    for (int i = 0; i < files; ++i) {
        names << QStringLiteral("R%1.req").arg(i);
        QFile f(src + u'/' + names.last());
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(kb * 1024, char('a' + i % 26)));
    }
    QElapsedTimer t;
    t.start();
    QStringList args{QStringLiteral("-f")};
    for (const QString& n : names)
        args << src + u'/' + n;
    args << plain;
    QProcess::execute(QStringLiteral("cp"), args);
    const qint64 cp = t.restart();
    QProcess::execute(QStringLiteral("sync"), {});
    const qint64 sync = t.restart();
    {
        EnvioStage stage(envio);
        for (const QString& n : names)
            if (MaybeError e = stage.addCopy(src + u'/' + n, n))
                return std::fprintf(stderr, "%s\n", qPrintable(e->message())), 1;
        if (MaybeError e = stage.commit())
            return std::fprintf(stderr, "%s\n", qPrintable(e->message())), 1;
    }
    const qint64 staged = t.elapsed();
    std::printf("%d archivos de %d KiB: cp %lld ms (+ sync %lld ms), ENVIO todo o nada %lld ms\n",
                files, kb, cp, sync, staged);
    return 0;
}
