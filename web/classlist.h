#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The coordinator's class list and the list of codes made from it: semicolon CSV, UTF-8 with
// or without byte order mark, LF or CR LF, fields optionally in double quotes ("" inside for a
// quote). A first line naming the columns ("Nachname;Vorname;Klasse") is skipped.

struct Pupil {
    QString surname;   // Nachname
    QString firstName; // Vorname
    QString className; // Klasse
    QString code;      // grouped, only in a list of codes
    bool operator==(const Pupil &) const = default;
};

// The fields of each non-empty line; at most `maxLines` lines are read.
QList<QStringList> ParseSemicolonCsv(const QByteArray &bytes, qsizetype maxLines = 100000);

// The pupils of a class list. Lines with no name at all are skipped; `error` (if given) names
// the first line with more than three columns, which makes the result empty.
QList<Pupil> ParseClassList(const QByteArray &bytes, QString *error = nullptr);

// The pupils of a list of codes (four columns, the fourth the code); `error` as above, also
// for a line without a code.
QList<Pupil> ParseCodeList(const QByteArray &bytes, QString *error = nullptr);

// The list of codes as written: UTF-8 with byte order mark, CR LF, header
// "Nachname;Vorname;Klasse;Code".
QByteArray CodeListBytes(const QList<Pupil> &pupils);

// The printable slips, one per pupil, as a self-contained HTML page.
QByteArray CodeSlipsHtml(const QList<Pupil> &pupils);
