#include "rules/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QStringList DocumentFolders(const QString &workingFolder, const QString &programFolder) {
    QStringList folders{workingFolder};
    if (!programFolder.isEmpty()) {
        const QDir program(programFolder);
        folders << program.path() << QDir::cleanPath(program.filePath(QStringLiteral("../share/fachlese")));
    }
    return folders;
}

QString ProgramFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
#ifdef Q_OS_LINUX
    // Without an application object (fachlese-check) the system still knows the program.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
#else
    return QString();
#endif
}
