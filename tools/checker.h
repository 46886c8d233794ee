#pragma once

#include "rules/checklist.h"
#include "rules/datafile.h"
#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/test.h"
#include "rules/verdict.h"
#include "rules/verdictmessages.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>


// A path as the system knows it (its bytes) as text for a report: UTF-8, each byte that is no
// part of valid UTF-8 written as \xFC (backslash, x, two upper-case hex digits).
QString ShownPath(const QByteArray &nativePath);

// Checks saved choices one by one, as the main window would after "&Öffnen" and
// "&Wahl testen", with the dialogs answered by UnattendedAnswer and recorded.

// What became of one file.
struct FileCheck {
    enum class Outcome { Passed, Failed, Unreadable };

    QString file; // the path as it is reported (see ShownPath)
    DataFileStatus readStatus = DataFileStatus::Ok;
    PupilIdentity identity; // from the file; empty where it names nobody
    QList<DialogRecorder::Entry> dialogs; // every dialog of the run, with its answer
    bool passed = false;                  // all stages of the run passed
    bool choiceTested = false;            // ChoiceTested after the run
    std::optional<int> courses;           // the count of the last stage, when reached
    QList<ChecklistItem> checklist; // of the grid as read, when asked for
    // The subject codes of the course cells, trimmed and looked up as the test does; all 0 for
    // a file that was not read.
    CourseMatrixCodes codes;
    // Columns 1 ... 4 of rows 1 ... 11 after the run, row by row.
    std::array<QString, GridModel::kSemesters * GridModel::kCourseRows> grid;

    Outcome outcome() const;
    // The message "&Öffnen" would show for a file that cannot be read; empty when read.
    QString readMessage() const;
    // Where the run ended and with what; the verdict of no run for a file that was not read.
    // Reason code, messages and statistics come from it (rules/verdict.h,
    // rules/verdictmessages.h).
    Verdict verdict;
    // The messages that ended the run (usually one; two when the third exam-subject rule
    // fails), each with its carriage returns; empty for a passed or unreadable file.
    QStringList failureMessages() const { return VerdictMessages::FailureMessages(verdict); }

    // The trimmed text of course cell (semester 1 ... 4, row 1 ... 11) and its subject code,
    // trimmed and looked up as the test does; empty and 0 for a file that was not read.
    QString entry(int semester, int row) const;
    SubjectCode code(int semester, int row) const {
        return codes.at(semester, row);
    }
    // The course count as the last stage counts, whenever no cell holds an unknown subject
    // (also when the run ended earlier); empty for an unreadable file or an unknown subject.
    std::optional<int> countableCourses() const;
};

// Checks one file after another. Keeps one grid, one recorder and one test for all files,
// reset before each, so that each file is judged as by a freshly opened main window.
class ChoiceChecker {
public:
    // `withChecklist`: each read file also gets its checklist.
    explicit ChoiceChecker(bool foreignLanguageContinued, bool withChecklist = false);
    ChoiceChecker(const ChoiceChecker &) = delete;
    ChoiceChecker &operator=(const ChoiceChecker &) = delete;

    // Reads `path` with ReadDataFile and, when it could be read, runs the validation.
    // `reportedPath` is the name the result carries.
    FileCheck check(const QByteArray &path, const QString &reportedPath);
    FileCheck check(const QByteArray &path) { return check(path, ShownPath(path)); }

private:
    void reset();

    bool m_withChecklist = false;
    GridModel m_grid;
    DialogRecorder m_dialogs;
    ChoiceTest m_test;
};

// The files that the PATH arguments name, in the order they are checked: each argument in
// turn; a folder stands for every file named *.fld (in any letter case) below it, searched
// recursively without following links to folders and leaving out hidden files and folders
// (names beginning with a dot), in order of their paths (compared byte by
// byte, so the order does not depend on the locale). Anything else, also a path that does not
// exist, stands for itself and is reported unreadable if it cannot be read. Paths are the
// bytes the system knows them by, so that any file name can be found and opened.
struct ChoiceFiles {
    QList<QByteArray> files;
    QList<QByteArray> unreadableFolders; // folders whose list could not be read, in order
};
ChoiceFiles CollectChoiceFiles(const QList<QByteArray> &paths);
