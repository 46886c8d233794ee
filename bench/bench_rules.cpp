// Times the choice test: one whole validation run, one typing step with auto-fill, and the
// checklist, each over the same 2,000 varied choices. Every round times each choice once and
// takes the median; rounds alternate with a reference round (copying the 44 course texts of
// each grid), and the median and spread of the rounds are printed with the ratio to the
// reference of the same round.
//
//   bench_rules [ROUNDS]      (default 15)

#include "rules/checklist.h"
#include "rules/gridediting.h"
#include "rules/test.h"
#include "support/variedchoices.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kChoices = 2000;

// Answers every dialog with its first button (Yes to the questions) and records nothing:
// only the rules are timed, not the dialogs.
class FirstButton : public Dialogs {
public:
    DialogButton ask(const DialogRequest &request) override {
        return request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.first();
    }
};

struct Choice {
    GridModel grid;
    ChoiceTest test{grid, dialogs()};
    std::array<QString, GridModel::kSemesters * GridModel::kCourseRows> texts; // as generated
    int typedColumn = 1;
    int typedRow = 5;
    QString typed;

    static FirstButton &dialogs() {
        static FirstButton shared;
        return shared;
    }
    void restore() {
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            for (int r = 1; r <= GridModel::kCourseRows; ++r)
                grid.setCell(s, r, texts[(s - 1) * GridModel::kCourseRows + (r - 1)]);
        }
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double timerOverhead() {
    std::vector<double> samples;
    for (int i = 0; i < 20000; ++i) {
        const auto t0 = Clock::now();
        const auto t1 = Clock::now();
        samples.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
    }
    return median(samples);
}

// The median time of `step` over all choices, in ns; `prepare` runs untimed before each.
double round(std::vector<std::unique_ptr<Choice>> &choices, double overhead,
             const std::function<void(Choice &)> &prepare, const std::function<void(Choice &)> &step) {
    std::vector<double> times;
    times.reserve(choices.size());
    for (auto &choice : choices) {
        prepare(*choice);
        const auto t0 = Clock::now();
        step(*choice);
        const auto t1 = Clock::now();
        times.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count() - overhead);
    }
    return median(times);
}

void report(const char *name, std::vector<double> measured, std::vector<double> reference, double goal) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < measured.size(); ++i)
        ratios.push_back(measured[i] / reference[i]);
    const auto [lo, hi] = std::minmax_element(measured.begin(), measured.end());
    const auto [rlo, rhi] = std::minmax_element(ratios.begin(), ratios.end());
    const double m = median(measured);
    std::printf("%-28s median %7.0f ns (rounds %6.0f ... %6.0f)  reference %6.0f ns  ratio %.2f (%.2f ... "
                "%.2f)  goal %s %4.0f ns: %s\n",
                name, m, *lo, *hi, median(reference), median(ratios), *rlo, *rhi, goal > 0 ? "<=" : "  ",
                goal > 0 ? goal : 0.0, goal <= 0 ? "-" : (m <= goal ? "met" : "NOT met"));
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(11, std::atoi(argv[1])) : 15;

    QRandomGenerator random(20261207);
    std::vector<std::unique_ptr<Choice>> choices;
    int passing = 0;
    for (int i = 0; i < kChoices; ++i) {
        auto choice = std::make_unique<Choice>();
        variedchoices::fillVaried(choice->grid, random);
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            for (int r = 1; r <= GridModel::kCourseRows; ++r)
                choice->texts[(s - 1) * GridModel::kCourseRows + (r - 1)] = choice->grid.cell(s, r);
        }
        // The keystroke: a Grundkurs cell gets a subject name or the beginning of one.
        choice->typedColumn = random.bounded(1, GridModel::kSemesters + 1);
        choice->typedRow = random.bounded(GridModel::kExamRows + 1, GridModel::kCourseRows + 1);
        const QString name = variedchoices::randomSubject(random);
        choice->typed = random.bounded(2) ? name : name.left(random.bounded(1, int(name.size()) + 1));
        choice->test.OpenPrintForm = [] {};
        choice->test.AlertSound = [] {};
        passing += choice->test.RunValidation();
        choice->restore();
        choices.push_back(std::move(choice));
    }
    std::printf("%d varied choices, %d of them pass; %d rounds, each alternating with a reference round\n",
                kChoices, passing, rounds);

    const double overhead = timerOverhead();
    const auto restore = [](Choice &c) { c.restore(); };
    QString sink;
    const auto reference = [&sink](Choice &c) {
        // Copy the 44 course texts of the grid: the least any test of the grid must read.
        QStringList copy;
        copy.reserve(GridModel::kSemesters * GridModel::kCourseRows);
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            for (int r = 1; r <= GridModel::kCourseRows; ++r)
                copy.append(c.grid.cell(s, r));
        }
        sink = copy.last();
    };
    const auto validation = [](Choice &c) { c.test.RunValidation(); };
    const auto typing = [](Choice &c) {
        c.grid.setCell(c.typedColumn, c.typedRow, c.typed);
        AutoFillRow(c.test, c.typedColumn, c.typedRow);
    };
    int items = 0;
    const auto checklist = [&items](Choice &c) { items += int(BuildChecklist(c.grid).size()); };

    std::vector<double> ref, val, typ, chk;
    for (int i = 0; i < rounds; ++i) {
        ref.push_back(round(choices, overhead, restore, reference));
        val.push_back(round(choices, overhead, restore, validation));
        typ.push_back(round(choices, overhead, restore, typing));
        chk.push_back(round(choices, overhead, restore, checklist));
    }
    std::printf("timer overhead %.0f ns (subtracted)\n", overhead);
    report("reference (copy 44 texts)", ref, ref, 0);
    report("validation run", val, ref, 2000);
    report("typing step with auto-fill", typ, ref, 1000);
    report("checklist", chk, ref, 0);
    // The results are printed so that the work cannot be left out; the goals decide the status.
    std::printf("(%d checklist items, last copied text %lld characters)\n", items, qlonglong(sink.size()));
    return (median(val) <= 2000 && median(typ) <= 1000) ? 0 : 1;
}
