#include "web/choiceform.h"

#include "rules/catalog.h"
#include "rules/datafile.h"
#include "rules/gridediting.h"
#include "rules/suggestion.h"

#include <QHash>

namespace {
// The grid with the texts, for the rules that work on one.
void fillGrid(GridModel &grid, const GridSnapshotTexts &cells) {
    ApplyDataFile(grid, cells);
}

QString oneParagraph(const QString &text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\r', u' ');
    return line.simplified();
}
} // namespace

const QString &CellFieldName(int row, int semester) {
    static const auto names = [] {
        std::array<QString, GridModel::kDataRows * GridModel::kSemesters> all;
        for (int r = 1; r <= GridModel::kDataRows; ++r) {
            for (int s = 1; s <= GridModel::kSemesters; ++s)
                all[std::size_t((r - 1) * GridModel::kSemesters + s - 1)] = QStringLiteral("f-%1-%2").arg(r).arg(s);
        }
        return all;
    }();
    return names[std::size_t((row - 1) * GridModel::kSemesters + semester - 1)];
}

QString RowLabel(int row) {
    if (row <= 2)
        return QStringLiteral("LK %1").arg(row);
    if (row <= GridModel::kExamRows)
        return QStringLiteral("PK %1").arg(row);
    if (row <= GridModel::kCourseRows)
        return QStringLiteral("GK %1").arg(row - 2);
    return QStringLiteral("Reserve");
}

QString CellName(int row, int semester) {
    return RowLabel(row) + QStringLiteral(", %1. Semester").arg(semester);
}

namespace {
int unit(QChar c) {
    return c.unicode();
}
int unit(char c) {
    return static_cast<unsigned char>(c);
}

// Row and semester of a cell's field name, only of the names the page itself gives out: "f-",
// a row 1 ... 12 without leading zero, "-", a semester 1 ... 4. Otherwise false.
template <typename Text> bool cellOf(Text name, int *row, int *semester) {
    const qsizetype size = name.size();
    if (size < 5 || size > 6 || unit(name[0]) != 'f' || unit(name[1]) != '-' || unit(name[size - 2]) != '-')
        return false;
    const auto digit = [&](qsizetype i) {
        const int c = unit(name[i]);
        return c >= '0' && c <= '9' ? c - '0' : -100;
    };
    *row = size == 5 ? digit(2) : (digit(2) == 1 ? 10 + digit(3) : -1);
    *semester = digit(size - 1);
    return *row >= 1 && *row <= GridModel::kDataRows && *semester >= 1 && *semester <= GridModel::kSemesters;
}
} // namespace

GridSnapshotTexts CellsFromForm(const FormFields &fields) {
    GridSnapshotTexts cells;
    int row = 0;
    int semester = 0;
    for (const auto &[name, value] : fields) {
        if (cellOf(QStringView(name), &row, &semester))
            cells.at(semester, row) = value.left(kMaxCellLength);
    }
    return cells;
}

GridSnapshotTexts CellsFromFormBody(QByteArrayView body) {
    GridSnapshotTexts cells;
    int row = 0;
    int semester = 0;
    qsizetype start = 0;
    while (start < body.size()) {
        qsizetype end = body.indexOf('&', start);
        if (end < 0)
            end = body.size();
        const QByteArrayView part = body.sliced(start, end - start);
        // As in ParseFormBody: a part without "=" is a name with an empty value.
        const qsizetype equals = part.indexOf('=');
        if (cellOf(equals < 0 ? part : part.first(equals), &row, &semester))
            cells.at(semester, row) = equals < 0 ? QString() : DecodeFormComponent(part.sliced(equals + 1)).left(kMaxCellLength);
        start = end + 1;
    }
    return cells;
}

QList<ChecklistItem> AutoFillChanged(GridSnapshotTexts &cells, const GridSnapshotTexts &before) {
    GridModel grid;
    fillGrid(grid, cells);
    DialogRecorder silent;
    ChoiceTest test(grid, silent);
    for (int r = 1; r <= GridModel::kCourseRows; ++r) {
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            // A cell that an earlier fill of this row has overwritten was not typed last.
            if (cells.at(s, r) != before.at(s, r) && grid.cell(s, r) == cells.at(s, r))
                AutoFillRow(test, s, r);
        }
    }
    test.StoreGridSnapshot();
    cells = test.GridSnapshot;
    return BuildChecklist(grid);
}

QList<ChecklistItem> ChecklistOf(const GridSnapshotTexts &cells) {
    GridModel grid;
    fillGrid(grid, cells);
    return BuildChecklist(grid);
}

QString ChecklistLine(const ChecklistItem &item) {
    if (item.code == u"unbekanntes-fach")
        return CellName(item.row, item.semester) + QStringLiteral(": »") + item.text + QStringLiteral("« ist kein Fach");
    if (item.code.startsWith(u"belegung-"))
        return QStringLiteral("Es fehlt: ") + item.text.trimmed();
    return oneParagraph(item.text);
}

UnknownSubjectHint HintFor(const QString &cellText) {
    if (LookupSubjectCode(cellText) != kUnknownSubject)
        return {};
    UnknownSubjectHint hint;
    hint.text = QStringLiteral("Das Fach »") + TrimBlanks(cellText) + QStringLiteral("« ist nicht bekannt.");
    // Pupils make the same slips again and again; each thread remembers the suggestions it made.
    thread_local QHash<QString, QString> known;
    auto it = known.constFind(cellText);
    if (it == known.constEnd()) {
        if (known.size() >= 4096)
            known.clear();
        it = known.insert(cellText, SuggestSubject(cellText));
    }
    const QString &suggestion = *it;
    if (!suggestion.isEmpty())
        hint.suggestion = QStringLiteral("Meinst du »") + suggestion + QStringLiteral("«?");
    return hint;
}
