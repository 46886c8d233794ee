#pragma once

#include "tools/checker.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The pupils behind the files: how reports name them, and the files that belong to the same
// pupil.

// "Surname, First name, Class", leaving out what is empty; empty when the identity names
// nobody.
QString PupilName(const PupilIdentity &identity);

// For the report's tables: the pupil's name followed by the file in brackets, or the file alone
// when the choice names nobody.
QString PupilOrFile(const FileCheck &check);

// The same pupil: surname, first name, class and date of birth all equal, each with its blanks
// at both ends and inner runs of blanks reduced to one, letter case ignored. Only files that
// carry a surname or a first name take part.
struct DuplicatePupil {
    PupilIdentity identity; // as the first of the files has it
    QStringList files;      // in the order they were checked
};

class DuplicateFinder {
public:
    void add(const FileCheck &check);
    // The pupils with more than one file, in the order of their first file.
    QList<DuplicatePupil> duplicates() const;

private:
    QHash<QString, qsizetype> m_index;
    QList<DuplicatePupil> m_pupils;
};

// The duplicates after the summary of the text report; nothing when there are none.
void AppendDuplicatesText(const QList<DuplicatePupil> &duplicates, QByteArray &out);
// The JSON member "duplicates" with its comma; nothing when there are none.
void AppendDuplicatesJson(const QList<DuplicatePupil> &duplicates, QByteArray &out);
// A section of the HTML report before its end; the report is unchanged when there are none.
void AppendDuplicatesHtml(const QList<DuplicatePupil> &duplicates, QByteArray &html);
// One line for standard error per pupil (with the CSV, whose rows are one per file).
QByteArray DuplicatesMessage(const QList<DuplicatePupil> &duplicates);
