// Fachlese: the course-selection advisor. Starts the application, creates its windows and
// runs until the main window closes.

#include "shell/commandline.h"
#include "shell/main.h"
#include "shell/qtdialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {
// Carries out what the command line asks for besides running; returns the exit status, or -1
// when the window is to be started.
int answerCommandLine(const CommandLine &line) {
    switch (line.action) {
    case CommandLine::Action::Run:
        return -1;
    case CommandLine::Action::Help:
        std::fputs(HelpText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::UsageError:
        std::fputs((line.error + u'\n' + UsageText()).toLocal8Bit().constData(), stderr);
        return kUsageExitStatus;
    }
    return -1;
}
} // namespace

int main(int argc, char *argv[]) {
    // "--help", "--version" and usage errors are answered without a display, unless the
    // toolkit's own options are among the arguments.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine early = ParseCommandLine(arguments);
    if (early.action != CommandLine::Action::Run && !HoldsToolkitOption(arguments))
        return answerCommandLine(early);

    QApplication app(argc, argv);
    // The toolkit has taken its own options (such as -style) out of the arguments by now.
    const CommandLine line = ParseCommandLine(QCoreApplication::arguments().mid(1));
    if (const int status = answerCommandLine(line); status >= 0)
        return status;
    QApplication::setApplicationName(kApplicationTitle);
    // The desktop entry's name lets the desktop match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.igs_brunsmark.Fachlese"));

    // The standard file and print dialogs speak German like the rest of the program.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);

    QtDialogs dialogs;
    QtSystemDialogs systemDialogs;
    TMainForm mainForm(dialogs, systemDialogs);
    dialogs.setParent(&mainForm);
    systemDialogs.setParent(&mainForm);
    mainForm.CreateSideWindows();
    if (!line.file.isEmpty()) {
        mainForm.StartupFileName = QFileInfo(line.file).absoluteFilePath();
#ifdef Q_OS_UNIX
        // A name that is no valid text reads lossily; the file is opened by argv's bytes.
        mainForm.StartupFileNative = NativeArgument(argc, argv, line.file);
        if (!mainForm.StartupFileNative.startsWith('/'))
            mainForm.StartupFileNative.prepend(QFile::encodeName(QDir::currentPath()) + '/');
#endif
    }
    mainForm.show();
    return QApplication::exec();
}
