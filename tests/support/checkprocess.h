#pragma once

#include <QProcess>

#include <unistd.h>

// Runs the built fachlese-check in `folder` with `arguments`, on the fixed date 6 December 2025;
// `unprivileged`: as user nobody when run by root, for whom every folder is readable. Returns the
// exit status, or -1 when the program did not end normally within a minute.
inline int runCheck(const QString &folder, const QStringList &arguments, QByteArray &out, QByteArray &err,
                    bool unprivileged = false) {
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("1764979200"));
    process.setProcessEnvironment(environment);
    if (unprivileged && ::geteuid() == 0)
        process.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
    process.start(QStringLiteral(FACHLESE_CHECK_EXECUTABLE), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    out = process.readAllStandardOutput();
    err = process.readAllStandardError();
    return process.exitCode();
}
