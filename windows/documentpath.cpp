#include "windows/documentpath.h"

#include <QDir>
#include <QFileInfo>

QString LocateDocument(const QString &name, const QString &workingFolder, const QString &programFolder) {
    for (const QString &folder : DocumentFolders(workingFolder, programFolder)) {
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile())
            return candidate.filePath();
    }
    return name;
}

QString LocateDocument(const QString &name) {
    return LocateDocument(name, QDir::currentPath(), ProgramFolder());
}
