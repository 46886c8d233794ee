#pragma once

#include "rules/dialogs.h"
#include "rules/test.h"

#include <optional>

// "Wahl testen" on the page: the desktop's choice test on the grid, every dialog recorded in
// order. The foreign-language question is answered from the form; while it has no answer the
// run stops there as after "No" and the page asks it. The verdict's offer to print is
// answered No.
struct TestOutcome {
    QList<DialogRequest> messages; // every dialog the desktop would show, the question included
    bool passed = false;
    bool questionOpen = false;  // the foreign-language question was asked without an answer
    GridSnapshotTexts cells;    // the grid after the run (stage 1 trims the course cells)
};

TestOutcome RunChoiceTest(const GridSnapshotTexts &cells, std::optional<bool> foreignLanguageContinued);
