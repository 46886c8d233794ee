#pragma once

#include <QList>
#include <QString>

class GridModel;

// Every rule of the choice test evaluated on its own, for a list that shows all remaining
// problems at once. Uses the same conditions and texts as the test; the list holds no item of
// kind Violation exactly when "&Wahl testen" passes (the question about a foreign-language
// Leistungsfach answered Yes).
struct ChecklistItem {
    enum class Kind { Violation, Note }; // "verstoss", "hinweis"
    Kind kind = Kind::Violation;
    // "leer", "unbekanntes-fach", "doppelt", "regel-1" ... "regel-11", "belegung-1" ...
    // "belegung-10" ("belegung-8a" or "belegung-8b" for obligation 8), "unter-33"
    QString code;
    QString text;     // the test's message for it; for "unbekanntes-fach" the trimmed cell text
    int semester = 0; // 1-based, only for "unbekanntes-fach", else 0
    int row = 0;      // 1-based course row, only for "unbekanntes-fach", else 0
    bool operator==(const ChecklistItem &) const = default;
};

// "verstoss" / "hinweis"
QString kindName(ChecklistItem::Kind kind);

// The items for the grid as it stands, in this order: an empty grid ("leer", alone); each
// cell that is no subject, in the order the test reads the cells; repeated courses (a note);
// each failing exam-subject rule (rule 11 only when rule 10 holds); each missing obligation;
// too few courses. Texts are trimmed as the test trims them, and a text that is no subject
// counts as an empty cell for the later items. Does not modify the grid, shows no dialog.
QList<ChecklistItem> BuildChecklist(const GridModel &grid);
