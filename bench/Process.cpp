#include "Process.h"

#include <QFile>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

qint64 monotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

Finished run(const Launch& l) {
    Finished f;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return f;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    const QByteArray input = QFile::encodeName(l.input);
    const QByteArray errorLog = QFile::encodeName(l.errorLog);
    if (!input.isEmpty())
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.constData(), O_RDONLY, 0);
    if (!errorLog.isEmpty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.constData(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);

    QList<QByteArray> args;
    for (const QString& a : l.argv)
        args << QFile::encodeName(a);
    const qint64 start = monotonicNs();
    if (l.startTime)
        args << QByteArray::number(start);
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return f;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0)
            f.output.append(buffer, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    f.ms = (monotonicNs() - start) / 1e6;
    f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return f;
}

double valueOf(const QByteArray& output, const char* name) {
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2 && parts[0] == name)
            return parts[1].toDouble();
    }
    return std::nan("");
}
