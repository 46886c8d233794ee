#include "rules/coursecodes.h"

GridCourseCodes ReadCourseCodes(const GridModel &grid) {
    GridCourseCodes read;
    for (int s = 1; s <= GridModel::kSemesters; ++s) {
        for (int r = 1; r <= GridModel::kCourseRows; ++r) {
            const QStringView trimmed = TrimBlanksView(grid.storedText(s, r));
            if (!trimmed.isEmpty())
                read.anyEntry = true;
            const SubjectCode code = LookupTrimmedSubjectCode(trimmed);
            read.codes.at(s, r) = code;
            if (code == kUnknownSubject && read.unknownSemester == 0) {
                read.unknownSemester = s;
                read.unknownRow = r;
            }
        }
    }
    return read;
}
