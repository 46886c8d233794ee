#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <initializer_list>

// The 21 subjects a pupil can choose, the number every other part of the program knows a
// subject by, the text that stands for it in a grid cell and its two-letter abbreviation.

// 0 is an empty cell, 1 ... 21 are the subjects, 22 is a text that is no subject.
using SubjectCode = std::uint8_t;

inline constexpr SubjectCode kEmptySubject = 0;
inline constexpr SubjectCode kUnknownSubject = 22;
inline constexpr int kSubjectCodeCount = 23;

// Codes by name, for the rules that speak of single subjects.
namespace Subject {
inline constexpr SubjectCode Deutsch = 1;
inline constexpr SubjectCode Englisch = 2;
inline constexpr SubjectCode Franzoesisch = 3;
inline constexpr SubjectCode Spanisch = 4;
inline constexpr SubjectCode Latein = 5;
inline constexpr SubjectCode Tuerkisch = 6;
inline constexpr SubjectCode Kunst = 7;
inline constexpr SubjectCode Musik = 8;
inline constexpr SubjectCode Geschichte = 9;
inline constexpr SubjectCode Erdkunde = 10;
inline constexpr SubjectCode Politik = 11;
inline constexpr SubjectCode Paedagogik = 12;
inline constexpr SubjectCode Religion = 13;
inline constexpr SubjectCode WerteUndNormen = 14;
inline constexpr SubjectCode Mathematik = 15;
inline constexpr SubjectCode Physik = 16;
inline constexpr SubjectCode Biologie = 17;
inline constexpr SubjectCode Chemie = 18;
inline constexpr SubjectCode Informatik = 19;
inline constexpr SubjectCode Sport = 20;
inline constexpr SubjectCode SportTheorie = 21;
} // namespace Subject

// A set of subjects: bit n stands for code n.
using SubjectSet = std::uint32_t;

inline constexpr SubjectSet subjectBit(SubjectCode code) {
    return SubjectSet{1} << code;
}
inline constexpr bool contains(SubjectSet set, SubjectCode code) {
    return (set & subjectBit(code)) != 0;
}
// The set of the given subjects.
inline constexpr SubjectSet subjectSet(std::initializer_list<SubjectCode> codes) {
    SubjectSet set = 0;
    for (const SubjectCode code : codes)
        set |= subjectBit(code);
    return set;
}
// The set of the subjects first ... last.
inline constexpr SubjectSet subjectRange(SubjectCode first, SubjectCode last) {
    SubjectSet set = 0;
    for (int code = first; code <= last; ++code)
        set |= subjectBit(static_cast<SubjectCode>(code));
    return set;
}

inline constexpr SubjectSet AufgabenfeldA = subjectRange(Subject::Deutsch, Subject::Musik);
inline constexpr SubjectSet AufgabenfeldB = subjectRange(Subject::Geschichte, Subject::WerteUndNormen);
inline constexpr SubjectSet AufgabenfeldC = subjectRange(Subject::Mathematik, Subject::Informatik);
inline constexpr SubjectSet SportSubjects = subjectSet({Subject::Sport, Subject::SportTheorie});
inline constexpr SubjectSet ForeignLanguages = subjectRange(Subject::Englisch, Subject::Tuerkisch);
inline constexpr SubjectSet NaturalSciences = subjectRange(Subject::Physik, Subject::Chemie);

// The line break inside every message: a single carriage return, no line feed.
inline constexpr QChar CR = u'\r';

// The names as they stand in grid cells, indexed by SubjectCode (entry 0 is empty,
// entry 22 is "unbekannt").
extern const std::array<QString, kSubjectCodeCount> SubjectCatalog;

// The abbreviations printed on the course-selection sheet (entry 0 is empty, 22 is "??").
extern const std::array<QString, kSubjectCodeCount> SubjectAbbreviations;

// Removes blanks (the space character only; tabs and other white space stay) from the end
// of the text, then from its start.
QString TrimBlanks(const QString &text);
QStringView TrimBlanksView(QStringView text);

// The code of a cell text: blanks trimmed, then compared exactly (case-sensitive) with the
// catalog names 0 ... 22 in order. An empty or all-blank text gives 0, anything that is no
// subject name gives 22.
SubjectCode LookupSubjectCode(const QString &text);

// The same for a text that is already trimmed (or must match exactly, blanks included).
SubjectCode LookupTrimmedSubjectCode(QStringView text);
