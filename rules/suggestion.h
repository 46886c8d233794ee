#pragma once

#include <QString>

// The catalog name a pupil probably meant by a text that is no subject, for the hint shown
// while typing. Tried in this order:
//  1. the same name in other letter case ("politik" -> "Politik"; blanks and tabs around the
//     text and doubled blanks inside it do not count);
//  2. a usual abbreviation or other spelling ("Ma", "De", "Inf", "Päd", "WN", "Reli",
//     "Paedagogik", "Werte und Normen", ...), letter case ignored;
//  3. the beginning of exactly one subject's name, at least two letters ("Mathe",
//     "Bio", "sport-th");
//  4. a name one or two letters away (a letter missing, added, changed or two neighbours
//     swapped: "Pysik" -> "Physik"), when exactly one subject is that close. Texts of up to
//     three letters get no such suggestion, up to five letters one letter may differ.
// Returns the catalog name, or an empty text when the trimmed text is empty, already a subject
// (as the test reads it), or no subject is close without doubt.
QString SuggestSubject(const QString &text);
