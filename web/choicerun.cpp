#include "web/choicerun.h"

#include "rules/datafile.h"
#include "tools/answers.h"

TestOutcome RunChoiceTest(const GridSnapshotTexts &cells, std::optional<bool> foreignLanguageContinued) {
    TestOutcome outcome;
    GridModel grid;
    ApplyDataFile(grid, cells);
    DialogRecorder dialogs;
    dialogs.fallback = [&](const DialogRequest &request) {
        if (request.kind == DialogKind::MessageBox && !foreignLanguageContinued) {
            outcome.questionOpen = true;
            return DialogButton::No;
        }
        return UnattendedAnswer(request, foreignLanguageContinued.value_or(false));
    };
    ChoiceTest test(grid, dialogs);
    outcome.passed = test.RunValidation();
    for (const DialogRecorder::Entry &entry : dialogs.entries)
        outcome.messages.append(entry.request);
    test.StoreGridSnapshot();
    outcome.cells = test.GridSnapshot;
    return outcome;
}
