#pragma once

#include <QString>

class ChoiceTest;
class GridModel;

// Filling subjects across a row of the course grid. Cells are (column, row); the current
// cell is the one the user is working on.

// For each semester column 1 ... 4 other than `column`, in ascending order, the cell of
// `row` := `text`.
void CopyAcrossRow(GridModel &grid, int column, int row, const QString &text);

// Copies the text of the current cell into the other semesters of its row where the subject
// has to run through all four: any text in the four examination rows; in the Grundkurs rows
// a foreign language or natural science while none runs through all four semesters, and
// Deutsch, Mathematik, Sport and Sport-Theorie while missing from a semester. Rebuilds the
// test's course matrix for the Grundkurs rows.
void AutoFillRow(ChoiceTest &test, int column, int row);

// "rechts ausfüllen" / "links ausfuellen": the current cell's text (also an empty one) into
// every cell to its right / left in the row.
void FillRight(GridModel &grid, int column, int row);
void FillLeft(GridModel &grid, int column, int row);
