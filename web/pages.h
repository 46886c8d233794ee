#pragma once

#include "rules/checklist.h"
#include "rules/test.h"
#include "web/choicerun.h"
#include "web/classlist.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The pages of the server. Every text that comes from a pupil or from the class list is
// escaped here.

// The sign-in: the code field, the form's CSRF token and, after a failed attempt, why.
QByteArray SignInPage(const QByteArray &csrf, const QString &problem = QString());

// A page with a heading, a text and a link back.
QByteArray MessagePage(const QString &heading, const QString &text, const QString &linkTarget = QStringLiteral("/"),
                       const QString &linkText = QStringLiteral("Zur Anmeldung"));

struct GridPageData {
    Pupil pupil;
    QByteArray csrf;
    GridSnapshotTexts cells;
    std::optional<TestOutcome> outcome;
    std::optional<bool> foreignLanguageAnswer;
    QString handedInText; // "Deine Wahl wurde am … abgegeben."
    bool sheetOffered = false; // a link to the sheet of the choice just handed in
    QString problem;      // a hand-in that failed or was refused
    QString deadlineText; // "Abgabe bis …", empty without a deadline
    std::optional<QDateTime> lastHandIn;
};

// The choice: heading, the grid, the Prüfliste, the buttons and the result.
QByteArray GridPage(const GridPageData &data);

// The Prüfliste's items as list entries (HTML), and its heading line.
QString ChecklistHeading(const QList<ChecklistItem> &items);
QString ChecklistEntries(const QList<ChecklistItem> &items);
// The same entries as a JSON string, quotes included.
QByteArray ChecklistEntriesJson(const QList<ChecklistItem> &items);

// The coordinator's list of every pupil with the time of the newest hand-in.
QByteArray OverviewPage(const QList<Pupil> &pupils, const QList<std::optional<QDateTime>> &handedIn,
                        const QByteArray &csrf, const QString &deadlineText);

// "07.12.2026 um 15:04 Uhr"
QString GermanDateTime(const QDateTime &time);
