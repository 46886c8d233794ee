#pragma once

#include "tests/support/choices.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringConverter>
#include <QStringList>

// Saved choice files (".fld") for the tests of fachlese-check and its agreement with the
// main window: the bytes of a file from a compact description (see choices.h), and a set of
// named files that together reach every kind of dialog a run can show.
namespace choicefiles {

// The file bytes for the given cell texts, rows 1 ... 12, four cells each (missing cells
// and rows empty): the signature line and twelve row lines, Windows-1252, CR LF.
inline QByteArray bytesOf(const QList<QStringList> &cells) {
    auto encode = QStringEncoder(QStringEncoder::Latin1);
    QByteArray bytes = "Fachlese\r\n";
    for (int r = 0; r < GridModel::kDataRows; ++r) {
        for (int s = 0; s < GridModel::kSemesters; ++s) {
            if (s > 0)
                bytes.append('\t');
            if (r < cells.size() && s < cells[r].size())
                bytes.append(QByteArray(encode(cells[r][s])));
        }
        bytes.append("\r\n");
    }
    return bytes;
}

// The file bytes for a description of rows 1 ... 11 as in choices::fill.
inline QByteArray bytesOfChoice(const QStringList &rows) {
    QList<QStringList> cells;
    for (const QString &row : rows) {
        const QStringList tokens = row.split(u' ', Qt::SkipEmptyParts);
        QStringList texts;
        for (int s = 0; s < GridModel::kSemesters; ++s)
            texts.append(
                choices::nameOf(tokens.size() == 1 ? tokens.first() : tokens.value(s, QStringLiteral("-"))));
        cells.append(texts);
    }
    return bytesOf(cells);
}

// A choice that passes every stage: 36 courses, no foreign-language LK. Kept here rather than
// shared, because the reports of fachlese-check are compared byte for byte.
inline QStringList validChoice() {
    return {QStringLiteral("DE"), QStringLiteral("MA"),          QStringLiteral("EN"),
            QStringLiteral("GE"), QStringLiteral("PH"),          QStringLiteral("SP"),
            QStringLiteral("PO"), QStringLiteral("RE RE KU KU"), QStringLiteral("BI")};
}

struct Sample {
    QString name; // file name
    QByteArray bytes;
};

// Choices that pass, fail at each stage, or cannot be read.
inline QList<Sample> samples() {
    const QStringList valid = validChoice();
    QStringList foreignLanguageLk = valid; // Englisch as LK 1, Deutsch as PK 3
    foreignLanguageLk[0] = QStringLiteral("EN");
    foreignLanguageLk[2] = QStringLiteral("DE");
    QStringList repeated = valid; // two Biologie courses in semester 1
    repeated.append(QStringLiteral("BI - - -"));
    QStringList thirtyTwo = valid; // 36 - 4 courses
    thirtyTwo[8] = QStringLiteral("-");
    QStringList thirtyThree = thirtyTwo;
    thirtyThree[8] = QStringLiteral("IN - - -");
    QStringList unknown = valid;
    unknown[5] = QStringLiteral("SP SP Mathe SP");
    QStringList ruleThree = valid; // LK Physik, Kunst; PK Geschichte, Biologie
    ruleThree[0] = QStringLiteral("PH");
    ruleThree[1] = QStringLiteral("KU");
    ruleThree[2] = QStringLiteral("GE");
    ruleThree[3] = QStringLiteral("BI");
    QStringList obligations = valid; // Politik in one semester only
    obligations[6] = QStringLiteral("PO - - -");

    QList<QStringList> blanks; // the valid choice with blanks around Deutsch and text in the spare row
    for (const QString &row : valid) {
        QStringList texts;
        for (int s = 0; s < GridModel::kSemesters; ++s) {
            const QStringList tokens = row.split(u' ', Qt::SkipEmptyParts);
            texts.append(choices::nameOf(tokens.size() == 1 ? tokens.first() : tokens.value(s)));
        }
        blanks.append(texts);
    }
    blanks[0][0] = QStringLiteral("  Deutsch ");
    while (blanks.size() < GridModel::kDataRows)
        blanks.append(QStringList());
    blanks[11] = {QStringLiteral("Notiz"), QString(), QString(), QStringLiteral("\"zitiert\";x")};

    return {
        {QStringLiteral("valid.fld"), bytesOfChoice(valid)},
        {QStringLiteral("foreign-lk.fld"), bytesOfChoice(foreignLanguageLk)},
        {QStringLiteral("repeated.fld"), bytesOfChoice(repeated)},
        {QStringLiteral("count-32.fld"), bytesOfChoice(thirtyTwo)},
        {QStringLiteral("count-33.fld"), bytesOfChoice(thirtyThree)},
        {QStringLiteral("unknown.fld"), bytesOfChoice(unknown)},
        {QStringLiteral("rule-three.fld"), bytesOfChoice(ruleThree)},
        {QStringLiteral("obligations.fld"), bytesOfChoice(obligations)},
        {QStringLiteral("blanks.fld"), bytesOf(blanks)},
        {QStringLiteral("empty-grid.fld"), bytesOf({})},
        {QStringLiteral("signature-only.fld"), QByteArray("Fachlese\r\n")},
        {QStringLiteral("lower-case.fld"), QByteArray("fachlese\r\n")},
        {QStringLiteral("empty.fld"), QByteArray()},
    };
}

// Writes `bytes` to `folder`/`name`; true on success.
inline bool write(const QString &folder, const QString &name, const QByteArray &bytes) {
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace choicefiles
