#pragma once

#include "support/choices.h"

#include <QRandomGenerator>
#include <QStringList>

// Many different grids from a seed: choices that pass every stage, changed in a few random
// places, so that every stage and every rule fails now and then.
namespace variedchoices {
using namespace Qt::StringLiterals;

// Choices that pass the whole test (the foreign-language question answered Yes).
inline const QList<QStringList> &validChoices() {
    static const QList<QStringList> list = {
        choices::validChoice(),                  // 36 courses, no foreign-language LK
        choices::validForeignLanguageLkChoice(), // Englisch LK
        // Sport LK with Sport-Theorie
        {u"DE"_s, u"SP"_s, u"MA"_s, u"GE"_s, u"EN"_s, u"PH"_s, u"PO"_s, u"ST"_s, u"RE RE MU MU"_s, u"BI"_s},
        // Religion as PK 3, Latein LK
        {u"BI"_s, u"LA"_s, u"RE"_s, u"DE"_s, u"MA"_s, u"SP"_s, u"PO"_s, u"GE"_s, u"EK EK - -"_s, u"IN"_s},
        // exactly 33 courses
        {u"DE"_s, u"MA"_s, u"EN"_s, u"GE"_s, u"PH"_s, u"SP"_s, u"PO PO - -"_s, u"WN WN - -"_s, u"MU MU - -"_s,
         u"BI BI BI -"_s},
    };
    return list;
}

inline QString randomSubject(QRandomGenerator &random) {
    return SubjectCatalog[random.bounded(1, int(kUnknownSubject))];
}

// One varied choice: a valid choice, then up to five random changes.
inline void fillVaried(GridModel &grid, QRandomGenerator &random) {
    static const QStringList unknownTexts = {u"Mathe"_s,     u"Quark"_s,         u"deutsch"_s,
                                             u"unbekannt"_s, u"Sport Theorie"_s, u"\tKunst"_s};
    const QList<QStringList> &valid = validChoices();
    choices::fill(grid, valid.at(random.bounded(int(valid.size()))));
    // Some grids empty, as at the start of an entry.
    if (random.bounded(40) == 0) {
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            for (int r = 1; r <= GridModel::kCourseRows; ++r)
                grid.setCell(s, r, random.bounded(2) ? QString() : u"  "_s);
        }
        return;
    }
    const int changes = random.bounded(6);
    for (int i = 0; i < changes; ++i) {
        const int s = random.bounded(1, GridModel::kSemesters + 1);
        const int r = random.bounded(1, GridModel::kCourseRows + 1);
        const int kind = random.bounded(8);
        if (kind < 5) { // a subject (0, 1), an empty cell, a text that is none, blanks around
            QString text;
            if (kind < 2)
                text = randomSubject(random);
            else if (kind == 3)
                text = unknownTexts.at(random.bounded(int(unknownTexts.size())));
            else if (kind == 4)
                text = u" "_s + grid.cell(s, r) + u"  "_s;
            grid.setCell(s, r, text);
            continue;
        }
        // An examination row filled across, as auto-fill does (5), or a Grundkurs row cleared or
        // filled across.
        const QString subject = kind == 5 || random.bounded(3) != 0 ? randomSubject(random) : QString();
        const int row = kind == 5 ? random.bounded(1, GridModel::kExamRows + 1)
                                  : random.bounded(GridModel::kExamRows + 1, GridModel::kCourseRows + 1);
        for (int k = 1; k <= GridModel::kSemesters; ++k)
            grid.setCell(k, row, subject);
    }
}

} // namespace variedchoices
