// Prints what the choice test shows and keeps over many varied runs: every dialog with its
// answer, the result, the state after the run and the checklist of the grid. Two builds
// that print the same transcript behave the same towards the user:
//     dialog_transcript [RUNS] [SEED] > transcript.txt
#include "rules/checklist.h"
#include "rules/test.h"
#include "support/variedchoices.h"

#include <QRandomGenerator>

#include <cstdio>

namespace {
QByteArray visible(const QString &text) {
    QByteArray out = text.toUtf8();
    out.replace('\r', "\\r");
    out.replace('\n', "\\n");
    out.replace('\t', "\\t");
    return out;
}

void print(const QByteArray &line) {
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
}
} // namespace

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 4000;
    QRandomGenerator random(argc > 2 ? static_cast<quint32>(std::atoi(argv[2])) : 21u);
    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test(grid, recorder);
    int printed = 0;
    int sounded = 0;
    test.OpenPrintForm = [&printed] { ++printed; };
    test.AlertSound = [&sounded] { ++sounded; };
    // Questions answered at random; the same test object is kept over several runs now and
    // then, as in a window where the pupil tests again.
    recorder.fallback = [&random](const DialogRequest &request) {
        return request.buttons.at(random.bounded(int(request.buttons.size())));
    };
    for (int run = 0; run < runs; ++run) {
        if (random.bounded(4) != 0) {
            test.Reset();
            variedchoices::fillVaried(grid, random);
        } else if (random.bounded(2)) {
            grid.setCell(random.bounded(1, 5), random.bounded(1, 12), variedchoices::randomSubject(random));
        }
        recorder.entries.clear();
        const bool passed = test.RunValidation();
        print("run " + QByteArray::number(run) + (passed ? " passed" : " failed") + " tested=" +
              QByteArray::number(test.ChoiceTested) + " flk=" + QByteArray::number(test.ForeignLanguageLK) +
              " count=" + (test.LastCourseCount ? QByteArray::number(*test.LastCourseCount) : "-") +
              " printed=" + QByteArray::number(printed) + " sounded=" + QByteArray::number(sounded) +
              " changed=" + QByteArray::number(test.GridChangedSinceSnapshot()));
        for (const DialogRecorder::Entry &entry : recorder.entries) {
            QByteArray line = "  " + kindName(entry.request.kind).toUtf8() + " [" +
                              visible(entry.request.caption) + "] " + visible(entry.request.text) + " {";
            for (const DialogButton button : entry.request.buttons)
                line += buttonText(button).toUtf8() + ',';
            print(line + "} -> " + buttonText(entry.answer).toUtf8());
        }
        QByteArray cells = "  grid";
        QByteArray codes = "  codes";
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            for (int r = 1; r <= GridModel::kDataRows; ++r)
                cells += " |" + visible(grid.cell(s, r));
            for (int r = 1; r <= GridModel::kCourseRows; ++r)
                codes += ' ' + QByteArray::number(test.CourseMatrix.at(s, r));
        }
        print(cells);
        print(codes);
        for (const ChecklistItem &item : BuildChecklist(grid))
            print("  item " + kindName(item.kind).toUtf8() + ' ' + item.code.toUtf8() + ' ' +
                  QByteArray::number(item.semester) + ' ' + QByteArray::number(item.row) + ' ' +
                  visible(item.text));
    }
    return 0;
}
