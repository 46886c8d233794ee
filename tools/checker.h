#pragma once

#include "rules/datafile.h"
#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/test.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Checks saved choices one by one, as the main window would after "&Öffnen" and
// "&Wahl testen", with the dialogs answered by UnattendedAnswer and recorded.

// What became of one file.
struct FileCheck {
    enum class Outcome { Passed, Failed, Unreadable };

    QString file; // the path as it is reported
    DataFileStatus readStatus = DataFileStatus::Ok;
    QList<DialogRecorder::Entry> dialogs; // every dialog of the run, with its answer
    bool passed = false;                  // all stages of the run passed
    bool choiceTested = false;            // ChoiceTested after the run
    std::optional<int> courses;           // the count of the last stage, when reached
    // Columns 1 ... 4 of rows 1 ... 11 after the run, row by row.
    std::array<QString, GridModel::kSemesters * GridModel::kCourseRows> grid;

    Outcome outcome() const;
    // The message "&Öffnen" would show for a file that cannot be read; empty when read.
    QString readMessage() const;
    // The messages that ended the run (usually one; two when the third exam-subject rule
    // fails), each with its carriage returns; empty for a passed or unreadable file.
    QStringList failureMessages() const;
    // For a failed file: a description of the failure that has no message of its own
    // (the LK foreign language not confirmed); empty otherwise.
    QString silentFailure() const;
};

// Explanation for a run that ended at the LK foreign-language question answered No.
inline const QString kForeignLanguageDeniedText =
    QStringLiteral("Die Fremdsprache im LK wurde nicht als weitergeführt bestätigt.");

// Checks one file after another. Keeps one grid, one recorder and one test for all files,
// reset before each, so that each file is judged as by a freshly opened main window.
class ChoiceChecker {
public:
    explicit ChoiceChecker(bool foreignLanguageContinued);
    ChoiceChecker(const ChoiceChecker &) = delete;
    ChoiceChecker &operator=(const ChoiceChecker &) = delete;

    // Reads `path` with ReadDataFile and, when it could be read, runs the validation.
    // `reportedPath` is the name the result carries.
    FileCheck check(const QString &path, const QString &reportedPath);
    FileCheck check(const QString &path) { return check(path, path); }

private:
    void reset();

    GridModel m_grid;
    DialogRecorder m_dialogs;
    ChoiceTest m_test;
};

// The files that the PATH arguments name, in the order they are checked: each argument in
// turn; a folder stands for every file named *.fld (in any letter case) below it, searched
// recursively without following links to folders, in order of their paths (compared by
// character code, so the order does not depend on the locale). Anything else, also a path
// that does not exist, stands for itself and is reported unreadable if it cannot be read.
QStringList CollectChoiceFiles(const QStringList &paths);
