#pragma once

#include <QString>
#include <QStringList>

// Where the document viewer looks for a document given by its bare name: the working folder
// first (a school may keep its own regulation there), then the program's folder, then the
// folder the installation puts the documents in, `../share/fachlese` relative to the program.
QStringList DocumentFolders(const QString &workingFolder, const QString &programFolder);

// The path of the first of DocumentFolders that holds a file `name`; `name` itself when none
// does, so that opening it fails and the error names the file as it was asked for.
QString LocateDocument(const QString &name, const QString &workingFolder, const QString &programFolder);

// The same for the running program: the current folder and the folder of the executable.
QString LocateDocument(const QString &name);
