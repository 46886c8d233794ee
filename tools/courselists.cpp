#include "tools/courses.h"

#include "tools/report.h"
#include "tools/statistics.h"

#include <QDir>
#include <QSaveFile>

#include <algorithm>
#include <bit>

namespace {
// A name as it sorts: letters without their accents ("Ä" as "A", "Ş" as "S"), "ß" as "ss",
// letter case ignored.
QString sortKey(const QString &name) {
    const QString decomposed = name.normalized(QString::NormalizationForm_KD);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.isMark())
            continue;
        if (c == u'ß')
            key += QStringLiteral("ss");
        else
            key += c.toCaseFolded();
    }
    return key;
}

// Follows kReportBaseStyle.
const char *const kListStyle = R"(tr.nb td { font-style: italic; color: #555; }
table.liste td:first-child { text-align: right; }
table.karte td, table.karte th { padding: 0.1em 0.25em; font-size: 8pt; text-align: right; }
table.karte td.diagonale { font-weight: bold; outline: 2px solid #333; }
section.kurs { break-before: page; page-break-before: always; }
@page { size: A4; margin: 15mm; }
@media print {
  body { margin: 0; max-width: none; font-size: 10pt; }
  tr { break-inside: avoid; page-break-inside: avoid; }
  h2, h3 { break-after: avoid; page-break-after: avoid; }
  thead { display: table-header-group; }
}
)";

void appendEscaped(const QString &text, QByteArray &out) {
    out.append(HtmlEscaped(text).toUtf8());
}

// A file written piece by piece and put in place when complete.
class OutputFile {
public:
    explicit OutputFile(const QString &path) : m_file(path) { m_ok = m_file.open(QIODevice::WriteOnly); }

    // Writes what `bytes` holds once it is large, and empties it.
    void spill(QByteArray &bytes, qsizetype least = 1 << 20) {
        if (bytes.size() < least)
            return;
        m_ok = m_ok && m_file.write(bytes) == bytes.size();
        bytes.resize(0);
    }
    bool finish(QByteArray &bytes, QString *error) {
        spill(bytes, 0);
        if (m_ok && m_file.commit())
            return true;
        *error = m_file.fileName() + QStringLiteral(": Die Datei kann nicht geschrieben werden");
        return false;
    }

private:
    QSaveFile m_file;
    bool m_ok = false;
};

bool writeFile(const QString &path, QByteArray bytes, QString *error) {
    return OutputFile(path).finish(bytes, error);
}
} // namespace

QString CourseName(int course) {
    return SubjectCatalog[courseSubject(course)] + (courseIsLk(course) ? QStringLiteral(" LK") : QStringLiteral(" GK"));
}

void YearGroupCourses::add(const FileCheck &check) {
    if (check.readStatus != DataFileStatus::Ok)
        return;
    Pupil pupil{check.identity, check.file, check.outcome() == FileCheck::Outcome::Passed, {}};
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        std::uint64_t &courses = pupil.courses[static_cast<std::size_t>(semester - 1)];
        for (int row = 1; row <= GridModel::kCourseRows; ++row) {
            const SubjectCode code = check.code(semester, row);
            if (code != kEmptySubject && code != kUnknownSubject)
                courses |= std::uint64_t{1} << courseNumber(code, row <= 2);
        }
    }
    m_pupils.append(std::move(pupil));
}

void YearGroupCourses::finish() {
    struct Key {
        bool unnamed;
        QString surname, firstName, className;
        qsizetype index;
    };
    QList<Key> keys;
    keys.reserve(m_pupils.size());
    for (qsizetype i = 0; i < m_pupils.size(); ++i) {
        const PupilIdentity &id = m_pupils[i].identity;
        keys.append({id.surname.isEmpty() && id.firstName.isEmpty(), sortKey(id.surname), sortKey(id.firstName),
                     sortKey(id.className), i});
    }
    std::stable_sort(keys.begin(), keys.end(), [this](const Key &a, const Key &b) {
        if (a.unnamed != b.unnamed)
            return !a.unnamed;
        if (const int c = a.surname.compare(b.surname))
            return c < 0;
        if (const int c = a.firstName.compare(b.firstName))
            return c < 0;
        if (const int c = a.className.compare(b.className))
            return c < 0;
        return m_pupils[a.index].file < m_pupils[b.index].file;
    });
    QList<Pupil> sorted;
    sorted.reserve(m_pupils.size());
    for (const Key &key : keys)
        sorted.append(std::move(m_pupils[key.index]));
    m_pupils = std::move(sorted);

    int numbers[kCourseNumbers];
    for (int i = 0; i < int(m_pupils.size()); ++i) {
        for (std::size_t s = 0; s < GridModel::kSemesters; ++s) {
            int count = 0;
            for (std::uint64_t bits = m_pupils[i].courses[s]; bits; bits &= bits - 1)
                numbers[count++] = std::countr_zero(bits);
            auto &shared = m_shared[s];
            for (int a = 0; a < count; ++a) {
                m_members[s][static_cast<std::size_t>(numbers[a])].append(i);
                for (int b = 0; b < count; ++b)
                    ++shared[static_cast<std::size_t>(numbers[a] * kCourseNumbers + numbers[b])];
            }
        }
    }
}

QList<int> YearGroupCourses::courses(int semester) const {
    QList<int> list;
    for (int course = 0; course < kCourseNumbers; ++course) {
        if (!members(semester, course).isEmpty())
            list.append(course);
    }
    return list;
}

void AppendCourseListsCsv(const YearGroupCourses &year, QByteArray &out, const Spill &spill) {
    out.append("\xEF\xBB\xBF"
               "Semester;Fach;Kursart;Nachname;Vorname;Klasse;Datei\r\n");
    // Each pupil's fields once, for all of their courses.
    QList<QByteArray> tails;
    tails.reserve(year.pupils().size());
    for (const YearGroupCourses::Pupil &pupil : year.pupils()) {
        QByteArray tail;
        for (const QString *field : {&pupil.identity.surname, &pupil.identity.firstName,
                                     &pupil.identity.className, &pupil.file}) {
            tail.append(';');
            AppendCsvField(*field, tail);
        }
        tail.append("\r\n");
        tails.append(tail);
    }
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        for (const int course : year.courses(semester)) {
            QByteArray head = QByteArray::number(semester) + ';';
            AppendCsvField(SubjectCatalog[courseSubject(course)], head);
            head.append(courseIsLk(course) ? ";LK" : ";GK");
            for (const int pupil : year.members(semester, course)) {
                out.append(head);
                out.append(tails[pupil]);
            }
            spill(out);
        }
    }
}

void AppendCourseListsHtml(const YearGroupCourses &year, int groupSize, QByteArray &html, const Spill &spill) {
    html.append("<h2>Kurse und Gruppen</h2>\n<p>Schülerinnen und Schüler je Kurs und die Zahl der Gruppen "
                "bei höchstens ");
    html.append(QByteArray::number(groupSize));
    html.append(" je Gruppe. Gezählt sind alle lesbaren Wahlen; wer den Test nicht bestanden hat, "
                "steht in den Listen kursiv.</p>\n");
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        html.append("<h3>" + QByteArray::number(semester) +
                    ". Semester</h3>\n<table class=\"uebersicht\">\n<thead><tr><th>Kurs</th>"
                    "<th class=\"n\">Schüler</th><th class=\"n\">Gruppen</th></tr></thead>\n<tbody>\n");
        for (const int course : year.courses(semester)) {
            const int size = int(year.members(semester, course).size());
            html.append("<tr><td>");
            appendEscaped(CourseName(course), html);
            html.append("</td><td class=\"n\">" + QByteArray::number(size) + "</td><td class=\"n\">" +
                        QByteArray::number(groupsNeeded(size, groupSize)) + "</td></tr>\n");
        }
        html.append("</tbody>\n</table>\n");
    }
    // Each pupil's cells once, for all of their courses.
    QList<QByteArray> cells;
    cells.reserve(year.pupils().size());
    for (const YearGroupCourses::Pupil &pupil : year.pupils()) {
        QByteArray row;
        for (const QString *field : {&pupil.identity.surname, &pupil.identity.firstName,
                                     &pupil.identity.className, &pupil.file}) {
            row.append("<td>");
            appendEscaped(*field, row);
        }
        row.append('\n'); // the end tags of cells and rows are implied
        cells.append(row);
    }
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        for (const int course : year.courses(semester)) {
            const QList<int> &members = year.members(semester, course);
            html.append("<section class=\"kurs\">\n<h2>" + QByteArray::number(semester) + ". Semester: ");
            appendEscaped(CourseName(course), html);
            html.append("</h2>\n<p>" + QByteArray::number(members.size()) + " Schülerinnen und Schüler, " +
                        QByteArray::number(groupsNeeded(int(members.size()), groupSize)) +
                        " Gruppe(n)</p>\n<table class=\"liste\">\n<thead><tr><th class=\"n\">Nr.</th><th>Nachname</th>"
                        "<th>Vorname</th><th>Klasse</th><th>Datei</th></tr></thead>\n<tbody>\n");
            int number = 0;
            for (const int pupil : members) {
                html.append(year.pupils()[pupil].passed ? "<tr><td>" : "<tr class=\"nb\"><td>");
                html.append(QByteArray::number(++number));
                html.append(cells[pupil]);
            }
            html.append("</tbody>\n</table>\n</section>\n");
            spill(html);
        }
    }
}

bool WriteCourseFiles(const YearGroupCourses &year, const CourseOutputs &outputs, const QString &folder,
                      const QString &date, QString *error) {
    if (!QDir().mkpath(folder)) {
        *error = folder + QStringLiteral(": Der Ordner kann nicht angelegt werden");
        return false;
    }
    const QDir dir(folder);
    QByteArray html = "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<title>Kurse des Jahrgangs</title>\n<style>";
    html.append(kReportBaseStyle);
    html.append(kListStyle);
    html.append("</style>\n</head>\n<body>\n<h1>Kurse des Jahrgangs</h1>\n<p class=\"stand\">Stand ");
    appendEscaped(date, html);
    html.append(" &middot; " + QByteArray::number(year.pupils().size()) + " lesbare Wahlen</p>\n");
    if (outputs.blocks) {
        QByteArray csv, text;
        AppendBlocks(year, csv, text, html, outputs.groupSize);
        if (!writeFile(dir.filePath(QStringLiteral("bloecke.csv")), csv, error) ||
            !writeFile(dir.filePath(QStringLiteral("bloecke.txt")), text, error))
            return false;
    }
    if (outputs.clashes) {
        QByteArray csv;
        AppendClashesCsv(year, csv);
        AppendClashesHtml(year, html);
        if (!writeFile(dir.filePath(QStringLiteral("kollisionen.csv")), csv, error))
            return false;
    }
    OutputFile page(dir.filePath(QStringLiteral("kurse.html")));
    if (outputs.lists) {
        QByteArray csv;
        OutputFile lists(dir.filePath(QStringLiteral("kurse.csv")));
        AppendCourseListsCsv(year, csv, [&lists](QByteArray &bytes) { lists.spill(bytes); });
        if (!lists.finish(csv, error))
            return false;
        AppendCourseListsHtml(year, outputs.groupSize, html, [&page](QByteArray &bytes) { page.spill(bytes); });
    }
    html.append("</body>\n</html>\n");
    return page.finish(html, error);
}
