#pragma once

#include "rules/folders.h"

#include <QString>
#include <QStringList>

// The path of the first of DocumentFolders that holds a file `name`; `name` itself when none
// does, so that opening it fails and the error names the file as it was asked for.
QString LocateDocument(const QString &name, const QString &workingFolder, const QString &programFolder);

// The same for the running program: the current folder and the folder of the executable.
QString LocateDocument(const QString &name);
