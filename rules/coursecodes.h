#pragma once

#include "rules/catalog.h"
#include "rules/grid.h"

#include <array>

// 4 semesters x 11 course rows of subject codes, stored semester by semester.
struct CourseMatrixCodes {
    std::array<SubjectCode, GridModel::kSemesters * GridModel::kCourseRows> codes{};

    // semester 1 ... 4, row 1 ... 11
    SubjectCode at(int semester, int row) const { return codes[index(semester, row)]; }
    SubjectCode &at(int semester, int row) { return codes[index(semester, row)]; }

    bool operator==(const CourseMatrixCodes &) const = default;

private:
    static std::size_t index(int semester, int row) {
        return static_cast<std::size_t>((semester - 1) * GridModel::kCourseRows + (row - 1));
    }
};

// The 44 course cells of a grid as subject codes: each text with its blanks trimmed and looked
// up in the catalog. The one conversion from grid to codes for the test, the checklist and the
// command-line checker.
struct GridCourseCodes {
    CourseMatrixCodes codes; // kUnknownSubject for a text that is no subject
    bool anyEntry = false;   // a cell is non-empty after trimming
    // The first cell that holds no subject, semester by semester; 0 when there is none.
    int unknownSemester = 0;
    int unknownRow = 0;
};
GridCourseCodes ReadCourseCodes(const GridModel &grid);
