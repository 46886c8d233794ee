#pragma once

#include "rules/catalog.h"
#include "rules/coursecodes.h"
#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/verdict.h"

#include <array>
#include <functional>
#include <optional>

// The choice test: turns the 44 course cells of the grid into subject codes and passes them
// through five stages in a fixed order, stopping at the first stage that fails. Keeps the
// record of whether the grid holds a tested choice.

// The raw texts of grid columns 1 ... 4, rows 1 ... 12, at the last store.
struct GridSnapshotTexts {
    std::array<QString, GridModel::kSemesters * GridModel::kDataRows> texts;

    // column 1 ... 4, row 1 ... 12
    const QString &at(int column, int row) const { return texts[index(column, row)]; }
    QString &at(int column, int row) { return texts[index(column, row)]; }

private:
    static std::size_t index(int column, int row) {
        return static_cast<std::size_t>((row - 1) * GridModel::kSemesters + (column - 1));
    }
};

class ChoiceTest {
public:
    // Reads and writes `grid`, reports through `dialogs`; neither is owned.
    ChoiceTest(GridModel &grid, Dialogs &dialogs) : m_grid(grid), m_dialogs(dialogs) {}

    // --- State ---
    CourseMatrixCodes CourseMatrix;
    GridSnapshotTexts GridSnapshot;
    bool ChoiceTested = false;
    bool ForeignLanguageLK = false;
    // True while RunValidation is under way; the timer leaves ChoiceTested alone meanwhile
    // (the run's dialogs are modal, so only the run itself can change the grid).
    bool ValidationRunning = false;
    // The course count of the last run that reached the final stage; empty before that.
    std::optional<int> LastCourseCount;
    // Where the last run ended and with what; the dialogs of the run are composed from it.
    Verdict LastVerdict;

    // --- Hooks the shell fills in ---
    // Shows the print dialog without a modal loop (after "&Ja" in the verdict).
    std::function<void()> OpenPrintForm;
    // Plays the default alert sound.
    std::function<void()> AlertSound;

    // Back to the state of a new window: empty matrix, no verdict, no run under way. The
    // snapshot and the hooks stay.
    void Reset();

    // --- The run ---
    // Runs the five stages; true when all of them passed.
    bool RunValidation();

    bool CheckEntries();           // stage 1: trims, rejects an empty grid and unknown texts
    bool CheckRepeatedCourses();   // stage 2: warns about repeats, always passes
    bool CheckExamSubjects();      // stage 3: the examination subjects
    bool CheckCourseObligations(); // stage 4: the compulsory courses
    bool CheckCourseCount();       // stage 5: the course count and the verdict

    // Shows a rule text in the error dialog of the rule stages.
    void ShowRuleViolation(const QString &text);
    // Shows the dialogs that end a failed run, composed from LastVerdict.
    void ShowEnding();

    // Fills CourseMatrix from trimmed copies of the 44 course cells without touching the grid;
    // true when at least one of them is non-empty after trimming.
    bool BuildCourseMatrix();

    bool SubjectInAllSemesters(SubjectCode code) const;
    bool ForeignLanguageInAllSemesters() const;
    bool NaturalScienceInAllSemesters() const;

    void StoreGridSnapshot();
    bool GridChangedSinceSnapshot() const;

    // The timer's share of a tick: clears ChoiceTested when the grid differs from the snapshot
    // (not while a run is under way). The window then shows ChoiceTested.
    void TimerTick();

    // The number of the 44 entries of CourseMatrix that are neither empty nor Sport-Theorie.
    int CountCourses() const;

    GridModel &grid() const { return m_grid; }
    Dialogs &dialogs() const { return m_dialogs; }

private:
    GridModel &m_grid;
    Dialogs &m_dialogs;
};
