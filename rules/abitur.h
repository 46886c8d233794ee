#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The Abitur calculation: the three areas of the qualification, the admission conditions, the
// average grade and the exam result a pupil still needs. Every number of the rules comes from
// an AbiturModel, which a school may describe in a small file `abitur.ini`.

// One result in points 0 ... 15; empty while it is not known.
using AbiturPoints = std::optional<int>;

inline constexpr int kAbiturGrundkurse = 22;
inline constexpr int kAbiturLeistungskurse = 6; // LK 1 semesters 1 ... 3, then LK 2
inline constexpr int kAbiturExamSubjects = 4;   // LK 1, LK 2, PK 3, PK 4
inline constexpr int kAbiturMaxPoints = 15;

struct AbiturEntries {
    std::array<AbiturPoints, kAbiturGrundkurse> grundkurse{};
    std::array<AbiturPoints, kAbiturLeistungskurse> leistungskurse{};
    std::array<AbiturPoints, kAbiturExamSubjects> semester4{};
    std::array<AbiturPoints, kAbiturExamSubjects> pruefungen{};

    bool operator==(const AbiturEntries &) const = default;
};

struct AbiturModel {
    QString name;
    int unterkursGrenze = 5; // a result below this is an "Unterkurs"
    // Grundkurse
    int gkGewicht = 1;
    int gkMindestpunkte = 110;
    int gkHoechstensUnterkurse = 6;
    // Leistungskurse: the weights of semesters 1, 2 and 3
    std::array<int, 3> lkGewicht{2, 2, 3};
    int lkMindestpunkte = 70;
    int lkMindestensOhneUnterkurs = 4;
    bool lkNullErlaubt = false;
    // Abiturbereich
    int abiGewichtKurs = 1;
    int abiGewichtPruefung = 4;
    int abiMindestpunkte = 100;
    int abiFaecher = 2;
    int abiFachMindestpunkte = 25;
    bool abiLkDabei = true;

    int grundkurseMaximum() const { return kAbiturGrundkurse * kAbiturMaxPoints * gkGewicht; }
    int leistungskurseMaximum() const {
        return 2 * kAbiturMaxPoints * (lkGewicht[0] + lkGewicht[1] + lkGewicht[2]);
    }
    int fachMaximum() const { return kAbiturMaxPoints * (abiGewichtKurs + abiGewichtPruefung); }
    int abiturbereichMaximum() const { return kAbiturExamSubjects * fachMaximum(); }
    int gesamtMaximum() const { return grundkurseMaximum() + leistungskurseMaximum() + abiturbereichMaximum(); }

    bool operator==(const AbiturModel &) const = default;
};

// The four-exam-subject model on 840 points that the program falls back on.
AbiturModel BuiltInAbiturModel();

// The average grade in tenths (10 is 1,0; 40 is 4,0) for `total` of `maximum` points:
// 17/3 - 5 * total / maximum, cut to one decimal, at best 1,0.
int AbiturGradeTenths(int total, int maximum);
// "2,3".
QString AbiturGradeText(int tenths);

struct AbiturArea {
    QString name;           // "Grundkurse"
    AbiturPoints points;    // empty while a result is missing
    int enteredPoints = 0;  // the points of the results entered so far
    int maximum = 0;
};

struct AbiturCondition {
    std::optional<bool> met; // empty while the missing results could still decide it
    QString text;            // "Grundkurse: mindestens 110 Punkte – erreicht 200"
};

struct AbiturResult {
    QList<AbiturArea> areas; // Grundkurse, Leistungskurse, Abiturbereich
    AbiturPoints total;
    int totalMaximum = 0;
    QList<AbiturCondition> conditions;
    std::optional<bool> passed;
    std::optional<int> gradeTenths; // only from complete points that pass
    int firstFailed = -1;            // the index of the first condition that fails

    // The lines the window and fachlese-check show.
    QStringList areaLines() const; // "Grundkurse: 200 von 330", ..., "Gesamt: 590 von 840"
    QString conditionLine(int index) const; // "✔ ..." / "✖ ..." / "? ..."
    QString verdictLine() const; // "Durchschnittsnote 2,3", "nicht bestanden: ...", "Durchschnittsnote ?"
};

AbiturResult EvaluateAbitur(const AbiturModel &model, const AbiturEntries &entries);

// "Was brauche ich?": the lowest result that, reached in all four examinations alike, passes,
// and the lowest that reaches `targetTenths` or better. Known only when Block I is complete and
// the four courses of semester 4 are entered (`ready`); empty where no result 0 ... 15 does.
struct AbiturNeeds {
    bool ready = false;
    AbiturPoints toPass;
    AbiturPoints toReach;
};
AbiturNeeds NeededExamResult(const AbiturModel &model, const AbiturEntries &entries, int targetTenths);
// "Bestehen: in jeder Prüfung mindestens 4 Punkte" and the like, one line per question.
QStringList AbiturNeedsLines(const AbiturNeeds &needs, int targetTenths);

// --- The file abitur.ini ---

inline const QString kAbiturModelFileName = QStringLiteral("abitur.ini");

// Reads the model from the bytes of an abitur.ini. On a fault the model is left alone and the
// German text names the line: "Zeile 7: Der Wert „x“ ist keine ganze Zahl."
std::optional<QString> ParseAbiturModel(const QByteArray &bytes, AbiturModel *model);

struct AbiturModelLoad {
    AbiturModel model;  // the built-in model when none was found or the file is faulty
    QString path;       // the file that was read; empty when none was found
    QString message;    // for the user when the file is faulty; empty otherwise
};

// Looks for abitur.ini in `folders` in turn and reads the first one found.
AbiturModelLoad LoadAbiturModel(const QStringList &folders);

// --- The points file (JSON) ---

enum class AbiturFileStatus { Ok, CannotOpen, BadFormat };

struct AbiturFileRead {
    AbiturFileStatus status = AbiturFileStatus::CannotOpen;
    AbiturEntries entries;
    QString message; // the whole German text for the user; empty when Ok
};

// The largest points file that is read; a larger one is refused.
inline constexpr qsizetype kMaxAbiturFileBytes = 64 * 1024;

AbiturFileRead ParseAbiturFile(const QByteArray &bytes);
// Only a regular file is opened (without waiting for a FIFO's writer).
AbiturFileRead ReadAbiturFile(const QString &path);
QByteArray EncodeAbiturFile(const AbiturEntries &entries);
// Written atomically like the data file; false when the file could not be written.
bool SaveAbiturFile(const QString &path, const AbiturEntries &entries);

// The result as fachlese-check --json writes it: {"bereiche": ..., "bedingungen": [...],
// "gesamt": ..., "note": ..., "bestanden": ...}, one line ended by LF.
QByteArray AbiturResultJson(const AbiturResult &result);
