// fachlese-web: the course choice in the browser. See kWebUsage and the README.

#include "web/codebook.h"
#include "web/codesmode.h"
#include "web/commandline.h"
#include "web/httpserver.h"
#include "web/webapp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace {
int complain(const QString &text, int status) {
    std::fprintf(stderr, "fachlese-web: %s\n", text.toLocal8Bit().constData());
    return status;
}

QString firstLine(const QString &path, bool *ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(file.readLine(4096)).trimmed() : QString();
}

int serve(const WebOptions &options) {
    const QFileInfo folder(options.dataFolder);
    if (!folder.isDir() || !folder.isWritable())
        return complain(QStringLiteral("Der Datenordner %1 ist kein beschreibbarer Ordner.").arg(options.dataFolder), 2);
    QFile access(options.accessList);
    if (!access.open(QIODevice::ReadOnly))
        return complain(QStringLiteral("Die Codeliste %1 kann nicht gelesen werden.").arg(options.accessList), 2);
    QString error;
    QList<Pupil> pupils = ParseCodeList(access.read(16 * 1024 * 1024), &error);
    if (pupils.isEmpty())
        return complain(QStringLiteral("Die Codeliste %1 enthält keine Codes. %2").arg(options.accessList, error), 2);
    QString coordinator;
    if (!options.coordinator.isEmpty()) {
        bool ok = false;
        coordinator = firstLine(options.coordinator, &ok);
        if (!ok || coordinator.isEmpty())
            return complain(QStringLiteral("Die erste Zeile von %1 muss der Code der Koordination sein.")
                                .arg(options.coordinator), 2);
    }

    // SIGTERM and SIGINT are taken by sigwait below, in no other thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    WebApp app(CodeBook(std::move(pupils), coordinator), QDir(options.dataFolder).absolutePath(), options.deadline);
    HttpServer server([&app](const HttpRequest &request) { return app.handle(request); }, HttpServer::Limits{});
    if (!server.start(options.address, options.port, &error))
        return complain(error, 1);
    const QString host = options.address.contains(u':') ? u'[' + options.address + u']' : options.address;
    std::printf("http://%s:%u/\n", host.toLatin1().constData(), unsigned(server.port()));
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    return 0;
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    QString error;
    const std::optional<WebOptions> options = ParseWebCommandLine(application.arguments().mid(1), &error);
    if (!options) {
        std::fprintf(stderr, "fachlese-web: %s\n\n%s", error.toLocal8Bit().constData(), kWebUsage.toLocal8Bit().constData());
        return 2;
    }
    switch (options->mode) {
    case WebOptions::Mode::Help:
        std::fputs(kWebUsage.toLocal8Bit().constData(), stdout);
        return 0;
    case WebOptions::Mode::Version:
        std::printf("fachlese-web %s\n", FACHLESE_VERSION);
        return 0;
    case WebOptions::Mode::Codes:
        return WriteCodes(*options);
    case WebOptions::Mode::Serve:
        break;
    }
    return serve(*options);
}
