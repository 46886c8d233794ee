#pragma once

#include "tools/checker.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// The courses of a year group (--kurslisten, --kollisionen, --bloecke): per semester, who is
// in which course, how many pupils two courses share, and a proposal of blocks (Schienen).
// A course is a subject as LK (LK 1/2) or as GK (PK 3/4 and GK 3 to GK 9); Sport-Theorie is a
// GK of its own, listed last. Counted from the test's subject codes (trimmed and looked up as
// the test does) of every readable file, passed or not; unknown entries are no course.

// Course numbers: subject code * 2, plus 1 for the GK. Ascending numbers are the order of the
// lists: by subject in the catalog's order, the LK before the GK.
inline constexpr int kCourseNumbers = kSubjectCodeCount * 2;
inline constexpr int courseNumber(SubjectCode subject, bool lk) {
    return subject * 2 + (lk ? 0 : 1);
}
inline constexpr SubjectCode courseSubject(int course) {
    return static_cast<SubjectCode>(course / 2);
}
inline constexpr bool courseIsLk(int course) {
    return course % 2 == 0;
}
// "Mathematik LK", "Sport-Theorie GK".
QString CourseName(int course);

class YearGroupCourses {
public:
    struct Pupil {
        PupilIdentity identity;
        QString file;
        bool passed = false;
        std::array<std::uint64_t, GridModel::kSemesters> courses{}; // bit n: course number n
    };

    // Takes the courses of a readable file; other files are left out.
    void add(const FileCheck &check);
    // Sorts the pupils (named ones by surname, first name and class, umlauts as their base
    // letters and letter case ignored; then those without a name; each time by file) and
    // counts the courses and their clashes. Called once, after the last add().
    void finish();

    const QList<Pupil> &pupils() const { return m_pupils; }
    // The courses of a semester (1 ... 4) that have pupils, in list order.
    QList<int> courses(int semester) const;
    // The pupils of a course, as indices into pupils(), sorted.
    const QList<int> &members(int semester, int course) const {
        return m_members[static_cast<std::size_t>(semester - 1)][static_cast<std::size_t>(course)];
    }
    // The pupils who take both courses; for a == b the course's size.
    int shared(int semester, int a, int b) const {
        return m_shared[static_cast<std::size_t>(semester - 1)][static_cast<std::size_t>(a * kCourseNumbers + b)];
    }

private:
    QList<Pupil> m_pupils;
    std::array<std::array<QList<int>, kCourseNumbers>, GridModel::kSemesters> m_members;
    std::array<std::array<int, kCourseNumbers * kCourseNumbers>, GridModel::kSemesters> m_shared{};
};

// The groups a course of `pupils` needs at no more than `groupSize` a group.
inline int groupsNeeded(int pupils, int groupSize) {
    return (pupils + groupSize - 1) / groupSize;
}

// --- Course lists (courselists.cpp) ---
// Both lists are long (a row per pupil and course): after each course `spill` may take what
// has been appended so far and empty `out`.
using Spill = std::function<void(QByteArray &out)>;
// kurse.csv: Semester;Fach;Kursart;Nachname;Vorname;Klasse;Datei, a row per pupil and course.
void AppendCourseListsCsv(const YearGroupCourses &year, QByteArray &out, const Spill &spill);
// The overview with the groups needed, then one course a page.
void AppendCourseListsHtml(const YearGroupCourses &year, int groupSize, QByteArray &html, const Spill &spill);

// --- Clashes (clashes.cpp) ---
// kollisionen.csv: Semester;Kurs A;Kurs B;Schueler for every ordered pair of courses that
// share pupils, a course with itself (its size) included.
void AppendClashesCsv(const YearGroupCourses &year, QByteArray &out);
// A heat-map table per semester.
void AppendClashesHtml(const YearGroupCourses &year, QByteArray &html);

// --- Blocks (blocks.cpp) ---
struct BlockProposal {
    // Exact: the search proved that no fewer blocks will do; Greedy: the search did not finish.
    enum class Result { Exact, Greedy };
    QList<QList<int>> blocks; // course numbers, each block in list order
    Result result = Result::Exact;
    int lowerBound = 0;       // courses that all clash with each other
    qint64 steps = 0;         // nodes of the search
};
// Puts `courses` into as few blocks as possible so that no two courses of a block clash
// (`clash(a, b)`), by an exact search (DSatur with branch and bound) of at most `stepLimit`
// nodes; when the search does not finish, the best colouring found so far, at worst DSatur's
// greedy one.
BlockProposal ProposeBlocks(const QList<int> &courses, const std::function<bool(int, int)> &clash,
                            qint64 stepLimit);
inline constexpr qint64 kBlockSearchSteps = 200'000;
// The method of a proposal in German, for the HTML and bloecke.txt.
QString BlockMethod(const BlockProposal &proposal);
// bloecke.csv: Semester;Block;Kurs;Schueler, and the text that names the method per semester.
void AppendBlocks(const YearGroupCourses &year, QByteArray &csv, QByteArray &text, QByteArray &html,
                  int groupSize);

// --- All of it (courselists.cpp) ---
struct CourseOutputs {
    bool lists = false;
    bool clashes = false;
    bool blocks = false;
    int groupSize = 25;
};
// Writes the files asked for into `folder` (made when missing) and kurse.html with their
// sections. False with `error` set (German, naming the file) when one cannot be written.
bool WriteCourseFiles(const YearGroupCourses &year, const CourseOutputs &outputs, const QString &folder,
                      const QString &date, QString *error);
