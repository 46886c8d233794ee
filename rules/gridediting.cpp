#include "rules/gridediting.h"

#include "rules/test.h"

void CopyAcrossRow(GridModel &grid, int column, int row, const QString &text) {
    for (int k = 1; k <= GridModel::kSemesters; ++k) {
        if (k != column)
            grid.setCell(k, row, text);
    }
}

void AutoFillRow(ChoiceTest &test, int column, int row) {
    GridModel &grid = test.grid();
    if (!GridModel::isDataCell(column, row))
        return;
    const QString text = grid.cell(column, row);
    if (text.isEmpty())
        return;
    if (row <= GridModel::kExamRows) {
        // The examination subjects run through all four semesters, whatever was typed.
        CopyAcrossRow(grid, column, row, text);
        return;
    }
    test.BuildCourseMatrix();
    // The text as stored, not trimmed: " Deutsch" fills nothing here.
    const SubjectCode code = LookupTrimmedSubjectCode(text);
    bool fill = false;
    if (contains(ForeignLanguages, code))
        fill = !test.ForeignLanguageInAllSemesters();
    else if (contains(NaturalSciences, code))
        fill = !test.NaturalScienceInAllSemesters();
    else if (code == Subject::Deutsch || code == Subject::Mathematik || code == Subject::Sport ||
             code == Subject::SportTheorie)
        fill = !test.SubjectInAllSemesters(code);
    if (fill)
        CopyAcrossRow(grid, column, row, text);
}

void FillRight(GridModel &grid, int column, int row) {
    const QString text = grid.cell(column, row);
    for (int k = column + 1; k <= GridModel::kSemesters; ++k)
        grid.setCell(k, row, text);
    grid.setCell(column, row, text);
}

void FillLeft(GridModel &grid, int column, int row) {
    const QString text = grid.cell(column, row);
    for (int k = column - 1; k >= 1; --k)
        grid.setCell(k, row, text);
    grid.setCell(column, row, text);
}
