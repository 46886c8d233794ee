#include "web/choiceform.h"

#include "rules/catalog.h"
#include "rules/datafile.h"
#include "rules/gridediting.h"
#include "rules/suggestion.h"

namespace {
// The grid with the texts, for the rules that work on one.
void fillGrid(GridModel &grid, const GridSnapshotTexts &cells) {
    ApplyDataFile(grid, cells);
}

QString oneParagraph(const QString &text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\r', u' ');
    return line.simplified();
}
} // namespace

QString CellFieldName(int row, int semester) {
    return QStringLiteral("f-%1-%2").arg(row).arg(semester);
}

QString RowLabel(int row) {
    if (row <= 2)
        return QStringLiteral("LK %1").arg(row);
    if (row <= GridModel::kExamRows)
        return QStringLiteral("PK %1").arg(row);
    if (row <= GridModel::kCourseRows)
        return QStringLiteral("GK %1").arg(row - 2);
    return QStringLiteral("Reserve");
}

QString CellName(int row, int semester) {
    return RowLabel(row) + QStringLiteral(", %1. Semester").arg(semester);
}

GridSnapshotTexts CellsFromForm(const FormFields &fields) {
    GridSnapshotTexts cells;
    for (const auto &[name, value] : fields) {
        // Only the names the page itself gives out.
        const QStringList parts = name.split(u'-');
        if (parts.size() != 3 || parts.at(0) != u"f")
            continue;
        bool rowOk = false;
        bool semesterOk = false;
        const int row = parts.at(1).toInt(&rowOk);
        const int semester = parts.at(2).toInt(&semesterOk);
        if (!rowOk || !semesterOk || CellFieldName(row, semester) != name || row < 1 ||
            row > GridModel::kDataRows || semester < 1 || semester > GridModel::kSemesters)
            continue;
        cells.at(semester, row) = value.left(kMaxCellLength);
    }
    return cells;
}

void AutoFillChanged(GridSnapshotTexts &cells, const GridSnapshotTexts &before) {
    GridModel grid;
    fillGrid(grid, cells);
    DialogRecorder silent;
    ChoiceTest test(grid, silent);
    for (int r = 1; r <= GridModel::kCourseRows; ++r) {
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            // A cell that an earlier fill of this row has overwritten was not typed last.
            if (cells.at(s, r) != before.at(s, r) && grid.cell(s, r) == cells.at(s, r))
                AutoFillRow(test, s, r);
        }
    }
    test.StoreGridSnapshot();
    cells = test.GridSnapshot;
}

QList<ChecklistItem> ChecklistOf(const GridSnapshotTexts &cells) {
    GridModel grid;
    fillGrid(grid, cells);
    return BuildChecklist(grid);
}

QString ChecklistLine(const ChecklistItem &item) {
    if (item.code == u"unbekanntes-fach")
        return CellName(item.row, item.semester) + QStringLiteral(": »") + item.text + QStringLiteral("« ist kein Fach");
    if (item.code.startsWith(u"belegung-"))
        return QStringLiteral("Es fehlt: ") + item.text.trimmed();
    return oneParagraph(item.text);
}

UnknownSubjectHint HintFor(const QString &cellText) {
    if (LookupSubjectCode(cellText) != kUnknownSubject)
        return {};
    UnknownSubjectHint hint;
    hint.text = QStringLiteral("Das Fach »") + TrimBlanks(cellText) + QStringLiteral("« ist nicht bekannt.");
    const QString suggestion = SuggestSubject(cellText);
    if (!suggestion.isEmpty())
        hint.suggestion = QStringLiteral("Meinst du »") + suggestion + QStringLiteral("«?");
    return hint;
}
