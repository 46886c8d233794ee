#pragma once

#include "rules/catalog.h"
#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/test.h"

#include <QStringList>

// Course grids from compact descriptions, for the tests of the choice test.
//
// A description holds one entry per course row, from row 1 (LK 1) on; missing rows stay
// empty. An entry is either one token for all four semesters ("DE") or one token per
// semester ("PO PO - -"). A token is an abbreviation of the printed sheet ("MA", "ST"), "-"
// for an empty cell, or any other text, which is written with each "_" turned into a blank.
namespace choices {

// The catalog name for an abbreviation; "-" gives the empty text, anything else itself with
// blanks for underscores.
inline QString nameOf(const QString &token) {
    if (token == u"-")
        return QString();
    for (int code = 1; code < kUnknownSubject; ++code) {
        if (SubjectAbbreviations[code] == token)
            return SubjectCatalog[code];
    }
    return QString(token).replace(u'_', u' ');
}

// Writes the described rows 1 ... 11 of all four semesters into `grid`.
inline void fill(GridModel &grid, const QStringList &rows) {
    for (int r = 1; r <= GridModel::kCourseRows; ++r) {
        const QStringList tokens =
            r <= rows.size() ? rows.at(r - 1).split(u' ', Qt::SkipEmptyParts) : QStringList();
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            QString token = QStringLiteral("-");
            if (tokens.size() == 1)
                token = tokens.first();
            else if (s <= tokens.size())
                token = tokens.at(s - 1);
            grid.setCell(s, r, nameOf(token));
        }
    }
}

// A choice that passes every stage: 36 courses, no foreign-language LK.
inline QStringList validChoice() {
    return {QStringLiteral("DE"), QStringLiteral("MA"),          QStringLiteral("EN"),
            QStringLiteral("GE"), QStringLiteral("PH"),          QStringLiteral("SP"),
            QStringLiteral("PO"), QStringLiteral("RE RE KU KU"), QStringLiteral("BI")};
}

// The same choice with Englisch as LK 1 and Deutsch as PK 3.
inline QStringList validForeignLanguageLkChoice() {
    QStringList rows = validChoice();
    rows[0] = QStringLiteral("EN");
    rows[2] = QStringLiteral("DE");
    return rows;
}

// Rows 1 ... 11 of the valid choice with some replaced, written "row=entry|row=entry".
inline QStringList validChoiceWith(const QString &changes) {
    QStringList rows = validChoice();
    rows.resize(GridModel::kCourseRows, QStringLiteral("-"));
    for (const QString &change : changes.split(u'|', Qt::SkipEmptyParts))
        rows[change.section(u'=', 0, 0).toInt() - 1] = change.section(u'=', 1);
    return rows;
}

// The texts of all recorded dialogs, in order.
inline QStringList dialogTexts(const DialogRecorder &recorder) {
    QStringList texts;
    for (const DialogRecorder::Entry &entry : recorder.entries)
        texts.append(entry.request.text);
    return texts;
}

// The dialogs recorded so far, without their answers.
inline QList<DialogRequest> requests(const DialogRecorder &recorder) {
    QList<DialogRequest> shown;
    for (const DialogRecorder::Entry &entry : recorder.entries)
        shown.append(entry.request);
    return shown;
}

// The error dialog of the rule stages ("Fehler", "&Abbrechen") with `text`.
inline DialogRequest ruleViolation(const QString &text) {
    return {DialogKind::Error, QStringLiteral("Fehler"), text, {DialogButton::Cancel}};
}

// A grid filled from a description, with a choice test that records its dialogs.
struct Bench {
    explicit Bench(const QStringList &rows = {}) { fill(grid, rows); }

    GridModel grid;
    DialogRecorder recorder;
    ChoiceTest test{grid, recorder};
};

} // namespace choices
