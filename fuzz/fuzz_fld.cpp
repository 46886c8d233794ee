// Fuzz target: the course-selection data file.
//
// Every input is read as a data file. A file the reader accepts must
// - be written again without complaint, and read back to the very same cells, and the bytes
//   written for those cells must not change when written a second time;
// - survive a whole validation run with either answer to the question about the LK's foreign
//   language: a run passes exactly when it sets ChoiceTested, a passing run ends with the
//   verdict, "Nein" to the question can only make a passing choice fail, and a second run on
//   the grid the first one left gives the same result through the same dialogs.
// A broken property aborts, which libFuzzer reports as a finding.

#include "fuzz/property.h"
#include "rules/answers.h"
#include "rules/datafile.h"
#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/test.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>

namespace {

struct Run {
    bool passed = false;
    QList<DialogRecorder::Entry> dialogs;
};

bool sameDialogs(const QList<DialogRecorder::Entry> &a, const QList<DialogRecorder::Entry> &b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
        return x.request == y.request && x.answer == y.answer;
    });
}

Run validate(ChoiceTest &test, DialogRecorder &recorder) {
    recorder.entries.clear();
    Run run;
    run.passed = test.RunValidation();
    run.dialogs = recorder.entries;
    require(run.passed == test.ChoiceTested, "a run passes exactly when it sets ChoiceTested");
    require(!test.ValidationRunning, "no run is under way after the run");
    require(!run.dialogs.isEmpty(), "every run ends with a dialog");
    if (run.passed) {
        const DialogRequest &last = run.dialogs.last().request;
        require(last.kind == DialogKind::Information &&
                    last.buttons == QList<DialogButton>{DialogButton::Yes, DialogButton::No},
                "a passing run ends with the verdict");
        require(test.LastCourseCount && *test.LastCourseCount >= 0 && *test.LastCourseCount <= 44,
                "the course count of a passing run lies in 0 ... 44");
    }
    return run;
}

Run validateTwice(const GridSnapshotTexts &texts, bool continued) {
    GridModel grid;
    ApplyDataFile(grid, texts);
    DialogRecorder recorder;
    recorder.fallback = [continued](const DialogRequest &request) {
        return UnattendedAnswer(request, continued);
    };
    ChoiceTest test(grid, recorder);
    test.OpenPrintForm = [] {};
    test.AlertSound = [] {};
    const Run first = validate(test, recorder);
    const Run second = validate(test, recorder);
    require(second.passed == first.passed && sameDialogs(second.dialogs, first.dialogs),
            "a second run on the same grid gives the same result through the same dialogs");
    return first;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const DataFileReadResult read = ParseDataFile(bytes);
    if (read.status != DataFileStatus::Ok)
        return 0;

    GridModel grid;
    ApplyDataFile(grid, read.texts);
    DataFileWriteResult problem;
    const QByteArray written = EncodeDataFile(grid, &problem);
    require(problem.status == DataFileWriteStatus::Ok, "what was read can be written");
    const DataFileReadResult again = ParseDataFile(written);
    require(again.status == DataFileStatus::Ok, "what was written can be read");
    require(again.texts.texts == read.texts.texts, "read, write, read again gives the same cells");
    GridModel regrid;
    ApplyDataFile(regrid, again.texts);
    require(EncodeDataFile(regrid) == written, "writing the cells read back gives the same bytes");
    // A name read as Windows-1252 may grow too long in UTF-8; any other is written again.
    const QByteArray named = EncodeDataFile(grid, read.identity, &problem);
    require(problem.status == DataFileWriteStatus::Ok || problem.status == DataFileWriteStatus::TooLong,
            "the pupil's lines that were read can be written");
    require(problem.status != DataFileWriteStatus::Ok || ParseDataFile(named).identity == read.identity,
            "the pupil's lines read back as they were read");

    const Run yes = validateTwice(read.texts, true);
    const Run no = validateTwice(read.texts, false);
    require(!no.passed || (yes.passed && sameDialogs(no.dialogs, yes.dialogs)),
            "\"Nein\" to the LK question only ever makes a passing choice fail");
    return 0;
}
