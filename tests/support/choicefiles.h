#pragma once

#include "tests/support/choices.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

// Saved choice files (".fld") for the tests of fachlese-check and of its agreement with the
// main window: a set of named files that together reach every kind of dialog a run can show.
namespace choicefiles {

// The bytes "Speichern" writes for a grid described as in choices::fill: the signature and
// rows 1 ... 12, four TAB-separated cells each, Windows-1252, CR LF.
inline QByteArray bytesOfChoice(const QStringList &rows) {
    GridModel grid;
    choices::fill(grid, rows);
    QByteArray bytes = "Fachlese\r\n";
    for (int r = 1; r <= GridModel::kDataRows; ++r) {
        QStringList cells;
        for (int s = 1; s <= GridModel::kSemesters; ++s)
            cells.append(grid.cell(s, r));
        bytes += cells.join(u'\t').toLatin1() + "\r\n";
    }
    return bytes;
}

struct Sample {
    QString name;
    QByteArray bytes;
};

// Choices that pass, fail at each stage, or cannot be read.
inline QList<Sample> samples() {
    const QStringList valid = choices::validChoice(); // 36 courses
    auto with = [&valid](int row, const QString &entry) {
        QStringList rows = valid;
        while (rows.size() <= row)
            rows.append(QStringLiteral("-"));
        rows[row] = entry;
        return bytesOfChoice(rows);
    };
    QStringList ruleThree = valid; // LK Physik, Kunst; PK Geschichte, Biologie
    ruleThree[0] = QStringLiteral("PH");
    ruleThree[1] = QStringLiteral("KU");
    ruleThree[3] = QStringLiteral("BI");
    ruleThree[2] = QStringLiteral("GE");
    QStringList thirtyThree = valid;
    thirtyThree[8] = QStringLiteral("IN - - -");
    return {
        {QStringLiteral("valid.fld"), bytesOfChoice(valid)},
        {QStringLiteral("foreign-lk.fld"), bytesOfChoice(choices::validForeignLanguageLkChoice())},
        {QStringLiteral("repeated.fld"), with(9, QStringLiteral("BI - - -"))},
        {QStringLiteral("count-32.fld"), with(8, QStringLiteral("-"))},
        {QStringLiteral("count-33.fld"), bytesOfChoice(thirtyThree)},
        {QStringLiteral("unknown.fld"), with(5, QStringLiteral("SP SP Mathe SP"))},
        {QStringLiteral("rule-three.fld"), bytesOfChoice(ruleThree)},
        {QStringLiteral("obligations.fld"), with(6, QStringLiteral("PO - - -"))},
        {QStringLiteral("blanks.fld"), with(0, QStringLiteral("__Deutsch_ DE DE DE"))},
        {QStringLiteral("empty-grid.fld"), bytesOfChoice({})},
        {QStringLiteral("signature-only.fld"), QByteArray("Fachlese\r\n")},
        {QStringLiteral("lower-case.fld"), QByteArray("fachlese\r\n")},
        {QStringLiteral("empty.fld"), QByteArray()},
    };
}

// Writes every sample into `folder`; true on success.
inline bool writeSamples(const QString &folder) {
    for (const Sample &sample : samples()) {
        QFile file(QDir(folder).filePath(sample.name));
        if (!file.open(QIODevice::WriteOnly) || file.write(sample.bytes) != sample.bytes.size())
            return false;
    }
    return true;
}

} // namespace choicefiles
