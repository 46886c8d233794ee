#include "windows/documentpath.h"

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

QString LocateDocument(const QString &name, const QString &workingFolder, const QString &programFolder) {
    for (const QString &folder : DocumentFolders(workingFolder, programFolder)) {
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile())
            return candidate.filePath();
    }
    return name;
}

QString LocateDocument(const QString &name) {
    // Without an application object there is no program folder to ask for.
    const QString programFolder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return LocateDocument(name, QDir::currentPath(), programFolder);
}
