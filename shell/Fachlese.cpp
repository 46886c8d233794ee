// Fachlese: the course-selection advisor. Starts the application, creates its windows and
// runs until the main window closes.

#include "shell/main.h"
#include "shell/qtdialogs.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);

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
    mainForm.show();
    return QApplication::exec();
}
