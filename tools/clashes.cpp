#include "tools/courses.h"

#include "tools/report.h"
#include "tools/statistics.h"

void AppendClashesCsv(const YearGroupCourses &year, QByteArray &out) {
    out.append("\xEF\xBB\xBF"
               "Semester;Kurs A;Kurs B;Schueler\r\n");
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        const QList<int> courses = year.courses(semester);
        for (const int a : courses) {
            for (const int b : courses) {
                const int shared = year.shared(semester, a, b);
                if (shared == 0)
                    continue;
                out.append(QByteArray::number(semester) + ';');
                AppendCsvField(CourseName(a), out);
                out.append(';');
                AppendCsvField(CourseName(b), out);
                out.append(';' + QByteArray::number(shared) + "\r\n");
            }
        }
    }
}

void AppendClashesHtml(const YearGroupCourses &year, QByteArray &html) {
    html.append("<h2>Kollisionen</h2>\n<p>Wie viele Schülerinnen und Schüler zwei Kurse zugleich belegen: "
                "Diese Kurse dürfen nicht in derselben Schiene liegen. Je dunkler das Feld, desto mehr; "
                "auf der Diagonale (umrandet) steht die Größe des Kurses. Die Spalten tragen die Kürzel "
                "der Zeilen.</p>\n");
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        const QList<int> courses = year.courses(semester);
        html.append("<h3>" + QByteArray::number(semester) + ". Semester</h3>\n");
        if (courses.isEmpty()) {
            html.append("<p>Keine Kurse.</p>\n");
            continue;
        }
        int most = 1;
        for (const int a : courses) {
            for (const int b : courses) {
                if (a != b)
                    most = qMax(most, year.shared(semester, a, b));
            }
        }
        const auto label = [](int course) {
            return HtmlEscaped(SubjectAbbreviations[courseSubject(course)] +
                               (courseIsLk(course) ? QStringLiteral(" LK") : QStringLiteral(" GK")))
                .toUtf8();
        };
        html.append("<table class=\"karte\">\n<thead><tr><th></th>");
        for (const int b : courses)
            html.append("<th>" + label(b) + "</th>");
        html.append("</tr></thead>\n<tbody>\n");
        for (const int a : courses) {
            html.append("<tr><th>" + HtmlEscaped(CourseName(a)).toUtf8() + " (" + label(a) + ")</th>");
            for (const int b : courses) {
                const int shared = year.shared(semester, a, b);
                if (a == b) {
                    html.append("<td class=\"diagonale\">" + QByteArray::number(shared) + "</td>");
                } else if (shared == 0) {
                    html.append("<td></td>");
                } else {
                    // From light to dark red; the darkest fields get white text.
                    const double level = double(shared) / most;
                    const int light = int(235 - 175 * level);
                    html.append(QStringLiteral("<td style=\"background:rgb(%1,%2,%2)%3\">%4</td>")
                                    .arg(250 - int(60 * level))
                                    .arg(light)
                                    .arg(level > 0.6 ? QStringLiteral(";color:#fff") : QString())
                                    .arg(shared)
                                    .toUtf8());
                }
            }
            html.append("</tr>\n");
        }
        html.append("</tbody>\n</table>\n");
    }
}
