#include "tools/run.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>

// fachlese-check: tests saved course choices without a window. See CheckHelpText().
int main(int argc, char *argv[]) {
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i) {
#ifdef Q_OS_UNIX
        arguments.append(QByteArray(argv[i])); // file names are bytes, whatever the locale
#else
        arguments.append(QFile::encodeName(QString::fromLocal8Bit(argv[i])));
#endif
    }

    const auto writer = [](std::FILE *stream) {
        return [stream](const QByteArray &bytes) {
            std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
            std::fflush(stream);
        };
    };
    const int status = RunCheck(arguments, CheckStreams{writer(stdout), writer(stderr)});
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("fachlese-check: Die Ausgabe konnte nicht geschrieben werden\n", stderr);
        return 2;
    }
    return status;
}
