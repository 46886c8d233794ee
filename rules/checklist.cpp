#include "rules/checklist.h"

#include "rules/choicerules.h"
#include "rules/grid.h"

QString kindName(ChecklistItem::Kind kind) {
    switch (kind) {
    case ChecklistItem::Kind::Violation:
        return QStringLiteral("verstoss");
    case ChecklistItem::Kind::Note:
        return QStringLiteral("hinweis");
    }
    return QString();
}

namespace {
using Kind = ChecklistItem::Kind;

const QString &examRuleCode(int rule) {
    static const QString codes[ChoiceRules::kExamRuleCount] = {
        QStringLiteral("regel-1"),  QStringLiteral("regel-2"), QStringLiteral("regel-3"),
        QStringLiteral("regel-4"),  QStringLiteral("regel-5"), QStringLiteral("regel-6"),
        QStringLiteral("regel-7"),  QStringLiteral("regel-8"), QStringLiteral("regel-9"),
        QStringLiteral("regel-10"), QStringLiteral("regel-11")};
    return codes[rule - 1];
}
} // namespace

QList<ChecklistItem> BuildChecklist(const GridModel &grid) {
    using namespace ChoiceRules;
    constexpr int kSemesters = GridModel::kSemesters;
    constexpr int kCourseRows = GridModel::kCourseRows;

    bool allEmpty = true;
    for (int s = 1; s <= kSemesters && allEmpty; ++s) {
        for (int r = 1; r <= kCourseRows && allEmpty; ++r)
            allEmpty = TrimBlanksView(grid.storedText(s, r)).isEmpty();
    }
    if (allEmpty)
        return {ChecklistItem{Kind::Violation, QStringLiteral("leer"), NoEntriesMessage(), 0, 0}};

    QList<ChecklistItem> items;
    CourseMatrixCodes matrix;
    for (int s = 1; s <= kSemesters; ++s) {
        for (int r = 1; r <= kCourseRows; ++r) {
            const QStringView trimmed = TrimBlanksView(grid.storedText(s, r));
            SubjectCode code = LookupTrimmedSubjectCode(trimmed);
            if (code == kUnknownSubject) {
                items.append(ChecklistItem{Kind::Violation, QStringLiteral("unbekanntes-fach"),
                                           trimmed.toString(), s, r});
                code = kEmptySubject;
            }
            matrix.at(s, r) = code;
        }
    }

    if (HasRepeatedCourses(matrix))
        items.append(ChecklistItem{Kind::Note, QStringLiteral("doppelt"), RepeatedCoursesMessage(), 0, 0});

    const ExamSets sets = BuildExamSets(matrix);
    for (int rule = 1; rule <= kExamRuleCount; ++rule) {
        if (rule == 11 && ExamRuleFails(10, matrix, sets))
            continue;
        if (ExamRuleFails(rule, matrix, sets))
            items.append(ChecklistItem{Kind::Violation, examRuleCode(rule),
                                       ExamRuleMessage(rule, matrix, sets), 0, 0});
    }

    for (const MissingObligation &missing : MissingObligations(matrix))
        items.append(
            ChecklistItem{Kind::Violation, QStringLiteral("belegung-") + missing.number, missing.text, 0, 0});

    if (const int courses = CountCourses(matrix); courses < kMinimumCourses)
        items.append(
            ChecklistItem{Kind::Violation, QStringLiteral("unter-33"), TooFewCoursesMessage(courses), 0, 0});
    return items;
}
