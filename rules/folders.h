#pragma once

#include <QString>
#include <QStringList>

// Where the program looks for a file it is given by its bare name (the documents, abitur.ini):
// the working folder first (a school may keep its own there), then the program's folder, then
// the folder the installation puts them in, `../share/fachlese` relative to the program.
QStringList DocumentFolders(const QString &workingFolder, const QString &programFolder);

// The folder of the running program; empty when it cannot be told.
QString ProgramFolder();
