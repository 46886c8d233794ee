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

QList<ChecklistItem> BuildChecklist(const GridModel &grid) {
    using namespace ChoiceRules;
    using Kind = ChecklistItem::Kind;

    GridCourseCodes read = ReadCourseCodes(grid);
    if (!read.anyEntry)
        return {ChecklistItem{Kind::Violation, ReasonCodes::NoEntries, NoEntriesMessage(), 0, 0}};

    QList<ChecklistItem> items;
    CourseMatrixCodes &matrix = read.codes;
    for (int s = 1; s <= GridModel::kSemesters; ++s) {
        for (int r = 1; r <= GridModel::kCourseRows; ++r) {
            if (matrix.at(s, r) != kUnknownSubject)
                continue;
            items.append(ChecklistItem{Kind::Violation, ReasonCodes::UnknownSubject,
                                       TrimBlanks(grid.storedText(s, r)), s, r});
            matrix.at(s, r) = kEmptySubject;
        }
    }

    if (HasRepeatedCourses(matrix))
        items.append(ChecklistItem{Kind::Note, ReasonCodes::Repeated, RepeatedCoursesMessage(), 0, 0});

    const ExamSets sets = BuildExamSets(matrix);
    for (int rule = 1; rule <= kExamRuleCount; ++rule) {
        if (rule == 11 && ExamRuleFails(10, matrix, sets))
            continue;
        if (ExamRuleFails(rule, matrix, sets))
            items.append(ChecklistItem{Kind::Violation, ReasonCodes::ExamRule(rule),
                                       ExamRuleMessage(rule, matrix, sets), 0, 0});
    }

    for (const MissingObligation &missing : MissingObligations(matrix))
        items.append(
            ChecklistItem{Kind::Violation, ReasonCodes::Obligation(missing.number), missing.text, 0, 0});

    if (const int courses = CountCourses(matrix); courses < kMinimumCourses)
        items.append(
            ChecklistItem{Kind::Violation, ReasonCodes::TooFewCourses, TooFewCoursesMessage(courses), 0, 0});
    return items;
}
