#pragma once

#include "tests/support/choices.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>

// Saved choice files (".fld") for the tests of fachlese-check and of its agreement with the
// main window: named files that pass, fail at each stage, ask the LK question or cannot be read.
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

// The valid choice (36 courses) with some rows replaced; row 0 is LK 1.
inline QByteArray validWith(const QList<std::pair<int, const char *>> &changes) {
    QStringList rows = choices::validChoice();
    for (const auto &[row, entry] : changes) {
        while (rows.size() <= row)
            rows.append(QStringLiteral("-"));
        rows[row] = QString::fromLatin1(entry);
    }
    return bytesOfChoice(rows);
}

// The bytes of each sample file by its name.
inline QMap<QString, QByteArray> samples() {
    return {
        {QStringLiteral("valid.fld"), validWith({})},
        {QStringLiteral("foreign-lk.fld"), bytesOfChoice(choices::validForeignLanguageLkChoice())},
        {QStringLiteral("repeated.fld"), validWith({{9, "BI - - -"}})}, // warning only, 37 courses
        {QStringLiteral("blanks.fld"), validWith({{0, "__Deutsch_ DE DE DE"}})},
        {QStringLiteral("unknown.fld"), validWith({{5, "SP SP Mathe SP"}})},
        {QStringLiteral("rule-three.fld"), validWith({{0, "PH"}, {1, "KU"}, {2, "GE"}, {3, "BI"}})},
        {QStringLiteral("obligations.fld"), validWith({{6, "PO - - -"}})},
        {QStringLiteral("count-32.fld"), validWith({{8, "-"}})},
        {QStringLiteral("lower-case.fld"), QByteArray("fachlese\r\n")},
    };
}

// Writes every sample into `folder`; true on success.
inline bool writeSamples(const QString &folder) {
    const QMap<QString, QByteArray> all = samples();
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        QFile file(QDir(folder).filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

} // namespace choicefiles
