#include "tools/statistics.h"

#include "tools/pupils.h"
#include "tools/report.h"

#include "rules/choicerules.h"
#include "rules/verdictmessages.h"

#include <QDir>
#include <QSaveFile>

#include <algorithm>

namespace {
constexpr int kExamRows = 4; // LK 1, LK 2, PK 3, PK 4
constexpr int kFirstGkRow = 5;

QString firstLine(const QString &text) {
    qsizetype stop = 0;
    while (stop < text.size() && text[stop] != u'\r' && text[stop] != u'\n')
        ++stop;
    return text.left(stop);
}

// Sorts entries of semester 1 as the tables list them: subjects by code, unknown texts after
// them by text, empty cells last.
std::pair<int, QString> entryOrder(const QString &text) {
    if (text.isEmpty())
        return {kSubjectCodeCount, QString()};
    return {LookupSubjectCode(text), text};
}

// An entry for a person: the subject's name, an unknown text in »«, "(leer)" for nothing.
QString entryLabel(const QString &text) {
    if (text.isEmpty())
        return QStringLiteral("(leer)");
    if (LookupSubjectCode(text) == kUnknownSubject)
        return QStringLiteral("»") + text + QStringLiteral("«");
    return text;
}

QString pairLabel(const PlanningStatistics::Combination &c) {
    return entryLabel(c.lk1) + QStringLiteral(" / ") + entryLabel(c.lk2);
}

QString combinationLabel(const PlanningStatistics::Combination &c) {
    return pairLabel(c) + QStringLiteral(" + ") + entryLabel(c.pk3) + QStringLiteral(" + ") +
           entryLabel(c.pk4);
}

QList<PlanningStatistics::Combination> sorted(const QHash<QString, PlanningStatistics::Combination> &all,
                                              QString (*label)(const PlanningStatistics::Combination &)) {
    QList<PlanningStatistics::Combination> list(all.cbegin(), all.cend());
    std::sort(list.begin(), list.end(), [label](const auto &a, const auto &b) {
        if (a.all != b.all)
            return a.all > b.all;
        return label(a) < label(b);
    });
    return list;
}

QString reasonText(const QString &code) {
    for (const ReasonInfo &reason : FailureReasons()) {
        if (reason.code == code)
            return reason.text;
    }
    return QStringLiteral("nicht bestanden");
}

// The subjects in the order of the tables: the catalog's, with Sport-Theorie set apart at the end.
QList<SubjectCode> tableSubjects() {
    QList<SubjectCode> codes;
    for (SubjectCode code = 1; code < kUnknownSubject; ++code) {
        if (code != Subject::SportTheorie)
            codes.append(code);
    }
    codes.append(Subject::SportTheorie);
    return codes;
}

// --- Text ---

QString number(int n, int width = 6) {
    return QString::number(n).rightJustified(width);
}

void appendLine(const QString &line, QByteArray &out) {
    AppendVisible(line, VisibleTabs::Escape, out);
    out.append('\n');
}

void appendCombinationTable(const QString &title, const QString &head,
                            const QList<PlanningStatistics::Combination> &list,
                            QString (*label)(const PlanningStatistics::Combination &), QByteArray &out) {
    qsizetype width = head.size();
    for (const auto &c : list)
        width = qMax(width, label(c).size());
    out.append('\n');
    appendLine(title, out);
    appendLine(head.leftJustified(width) + QStringLiteral("  Wahlen  bestanden"), out);
    for (const auto &c : list)
        appendLine(label(c).leftJustified(width) + number(c.all, 8) + number(c.passed, 11), out);
    if (list.isEmpty())
        appendLine(QStringLiteral("(keine)"), out);
}

// --- CSV ---

void csvRow(const QStringList &fields, QByteArray &out) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.append(';');
        AppendCsvField(VisibleText(fields[i]), out);
    }
    out.append("\r\n");
}

// --- HTML ---

// Follows kReportBaseStyle.
const char *const kStyle = R"(tr.apart td { border-top: 2px solid #777; }
.legende span { display: inline-block; width: 1em; height: 0.8em; margin: 0 0.3em 0 1em; }
svg text { font-size: 11px; font-family: inherit; }
@page { size: A4; margin: 15mm; }
@media print {
  body { margin: 0; max-width: none; font-size: 10pt; }
  tr, svg, h3, caption { break-inside: avoid; page-break-inside: avoid; }
  h2, h3, caption { break-after: avoid; page-break-after: avoid; }
  thead { display: table-header-group; }
  tbody tr:first-child, tbody tr:nth-child(2) { break-before: avoid; page-break-before: avoid; }
}
)";

const char *const kColours[] = {"#1f4e8c", "#5b8fd1", "#b8d0ee"}; // LK, PK, GK

QString td(int n) {
    return QStringLiteral("<td class=\"n\">") + QString::number(n) + QStringLiteral("</td>");
}

QString barChart(const PlanningStatistics &statistics, int semester) {
    QList<SubjectCode> shown;
    int most = 1;
    for (const SubjectCode code : tableSubjects()) {
        const auto &all = statistics.subject(semester, code).all;
        const int sum =
            all[PlanningStatistics::LK] + all[PlanningStatistics::PK] + all[PlanningStatistics::GK];
        if (sum > 0)
            shown.append(code);
        most = qMax(most, sum);
    }
    if (shown.isEmpty())
        return QStringLiteral("<p>Keine Fächer gewählt.</p>\n");
    constexpr int labelWidth = 120, barWidth = 440, rowHeight = 18;
    const int height = int(shown.size()) * rowHeight + 4;
    QString svg =
        QStringLiteral("<svg role=\"img\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\" "
                       "xmlns=\"http://www.w3.org/2000/svg\"><title>Fächer im %3. Semester</title>\n")
            .arg(labelWidth + barWidth + 50)
            .arg(height)
            .arg(semester);
    int y = 2;
    for (const SubjectCode code : shown) {
        const auto &all = statistics.subject(semester, code).all;
        svg += QStringLiteral("<text x=\"0\" y=\"%1\">%2</text>")
                   .arg(y + 13)
                   .arg(HtmlEscaped(SubjectCatalog[code]));
        double x = labelWidth;
        for (int column = PlanningStatistics::LK; column <= PlanningStatistics::GK; ++column) {
            const int n = all[static_cast<std::size_t>(column)];
            const double w = double(barWidth) * n / most;
            if (n > 0)
                svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>")
                           .arg(x, 0, 'f', 1)
                           .arg(y)
                           .arg(w, 0, 'f', 1)
                           .arg(rowHeight - 4)
                           .arg(QLatin1StringView(kColours[column]));
            x += w;
        }
        // The pupils with the subject, as the table's "gesamt" column counts them.
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\">%3</text>\n")
                   .arg(x + 4, 0, 'f', 1)
                   .arg(y + 13)
                   .arg(all[PlanningStatistics::Total]);
        y += rowHeight;
    }
    return svg + QStringLiteral("</svg>\n");
}

QString combinationTableHtml(const QString &caption, const QStringList &heads,
                             const QList<PlanningStatistics::Combination> &list, bool withPk) {
    QString html = QStringLiteral("<table>\n<caption>") + caption + QStringLiteral("</caption>\n<thead><tr>");
    for (const QString &head : heads)
        html += QStringLiteral("<th>") + head + QStringLiteral("</th>");
    html +=
        QStringLiteral("<th class=\"n\">Wahlen</th><th class=\"n\">bestanden</th></tr></thead>\n<tbody>\n");
    for (const auto &c : list) {
        html += QStringLiteral("<tr><td>") + HtmlEscaped(entryLabel(c.lk1)) + QStringLiteral(" / ") +
                HtmlEscaped(entryLabel(c.lk2)) + QStringLiteral("</td>");
        if (withPk)
            html += QStringLiteral("<td>") + HtmlEscaped(entryLabel(c.pk3)) + QStringLiteral("</td><td>") +
                    HtmlEscaped(entryLabel(c.pk4)) + QStringLiteral("</td>");
        html += td(c.all) + td(c.passed) + QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</tbody>\n</table>\n");
}
} // namespace

const QList<ReasonInfo> &FailureReasons() {
    static const QList<ReasonInfo> reasons = [] {
        QList<ReasonInfo> list = {
            {ReasonCodes::Unreadable, QStringLiteral("Datei nicht lesbar")},
            {ReasonCodes::NoEntries, QStringLiteral("kein Fach eingetragen")},
            {ReasonCodes::UnknownSubject, QStringLiteral("unbekanntes Fach")},
        };
        for (int rule = 1; rule <= ChoiceRules::kExamRuleCount; ++rule)
            list.append({ReasonCodes::ExamRule(rule), QStringLiteral("Prüfungsfächer, Regel %1").arg(rule)});
        list.append({ReasonCodes::Obligations, QStringLiteral("Belegungsverpflichtungen nicht erfüllt")});
        list.append({ReasonCodes::TooFewCourses, QStringLiteral("weniger als 33 Kurse")});
        list.append({ReasonCodes::ForeignLanguageDenied,
                     QStringLiteral("Fremdsprache im LK nicht als weitergeführt bestätigt")});
        return list;
    }();
    return reasons;
}

void PlanningStatistics::add(const FileCheck &check) {
    ++m_files;
    const QString reason = ReasonCode(check.verdict);
    const bool passed = check.outcome() == FileCheck::Outcome::Passed;
    if (!passed) {
        ++m_reasons[reason];
        QString message = check.readMessage();
        if (message.isEmpty()) {
            const QStringList messages = check.failureMessages();
            message = messages.isEmpty() ? VerdictMessages::UnannouncedFailure(check.verdict)
                                         : firstLine(messages.first());
        }
        m_failures.append({PupilOrFile(check), reason, message});
    }
    if (check.readStatus != DataFileStatus::Ok)
        return;
    ++m_readable;
    if (passed)
        ++m_passed;

    QMap<QString, bool> unknownHere;
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        std::array<SubjectSet, 3> sets{}; // LK, PK, GK
        for (int row = 1; row <= GridModel::kCourseRows; ++row) {
            const SubjectCode code = check.code(semester, row);
            if (code == kUnknownSubject)
                unknownHere.insert(check.entry(semester, row), true);
            if (code == kEmptySubject || code == kUnknownSubject)
                continue;
            sets[row <= 2 ? LK : row <= kExamRows ? PK : GK] |= subjectBit(code);
        }
        for (SubjectCode code = 1; code < kUnknownSubject; ++code) {
            Counts &counts = m_subjects[static_cast<std::size_t>(semester - 1)][code];
            bool any = false;
            for (int column = LK; column <= GK; ++column) {
                if (!contains(sets[static_cast<std::size_t>(column)], code))
                    continue;
                any = true;
                ++counts.all[static_cast<std::size_t>(column)];
                if (passed)
                    ++counts.passed[static_cast<std::size_t>(column)];
            }
            if (any) {
                ++counts.all[Total];
                if (passed)
                    ++counts.passed[Total];
            }
        }
    }
    for (auto it = unknownHere.cbegin(); it != unknownHere.cend(); ++it)
        ++m_unknown[it.key()];

    Combination c{check.entry(1, 1), check.entry(1, 2), check.entry(1, 3), check.entry(1, 4)};
    if (entryOrder(c.lk2) < entryOrder(c.lk1))
        std::swap(c.lk1, c.lk2);
    const QChar separator(u'\x1F');
    Combination &pair = m_pairs[c.lk1 + separator + c.lk2];
    Combination &combination =
        m_combinations[c.lk1 + separator + c.lk2 + separator + c.pk3 + separator + c.pk4];
    if (pair.all == 0)
        pair = Combination{c.lk1, c.lk2, QString(), QString()};
    if (combination.all == 0)
        combination = c;
    ++pair.all;
    ++combination.all;
    if (passed) {
        ++pair.passed;
        ++combination.passed;
    }
}

QList<PlanningStatistics::Combination> PlanningStatistics::lkPairs() const {
    return sorted(m_pairs, pairLabel);
}

QList<PlanningStatistics::Combination> PlanningStatistics::combinations() const {
    return sorted(m_combinations, combinationLabel);
}

QList<PlanningStatistics::Failure> PlanningStatistics::failures() const {
    const auto rank = [](const QString &code) {
        const QList<ReasonInfo> &reasons = FailureReasons();
        for (qsizetype i = 0; i < reasons.size(); ++i) {
            if (reasons[i].code == code)
                return i;
        }
        return reasons.size();
    };
    QList<Failure> list = m_failures;
    std::stable_sort(list.begin(), list.end(),
                     [&rank](const Failure &a, const Failure &b) { return rank(a.reason) < rank(b.reason); });
    return list;
}

void AppendStatisticsText(const PlanningStatistics &s, QByteArray &out) {
    out.append('\n');
    appendLine(QStringLiteral("Planungszahlen: %1 Dateien, davon %2 lesbar und %3 bestanden")
                   .arg(s.files())
                   .arg(s.readable())
                   .arg(s.passed()),
               out);
    appendLine(QStringLiteral("(Schülerinnen und Schüler je Fach und Semester; LK: LK 1/2, PK: PK 3/4, "
                              "GK: GK 3 bis GK 9)"),
               out);
    const QString head = QStringLiteral("    LK    PK    GK gesamt");
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        out.append('\n');
        appendLine(QStringLiteral("%1. Semester").arg(semester).leftJustified(16) +
                       QStringLiteral("alle lesbaren Wahlen").rightJustified(24) +
                       QStringLiteral("nur bestandene Wahlen").rightJustified(26),
                   out);
        appendLine(QStringLiteral("Fach").leftJustified(16) + head + QStringLiteral("  ") + head, out);
        for (const SubjectCode code : tableSubjects()) {
            if (code == Subject::SportTheorie)
                out.append('\n');
            const auto &counts = s.subject(semester, code);
            QString line = SubjectCatalog[code].leftJustified(16);
            for (const int n : counts.all)
                line += number(n);
            line += QStringLiteral("  ");
            for (const int n : counts.passed)
                line += number(n);
            appendLine(line, out);
        }
    }
    if (!s.unknown().isEmpty()) {
        out.append('\n');
        appendLine(QStringLiteral("Unbekannte Einträge (Dateien)"), out);
        for (auto it = s.unknown().cbegin(); it != s.unknown().cend(); ++it)
            appendLine(entryLabel(it.key()).leftJustified(20) + number(it.value()), out);
    }
    appendCombinationTable(QStringLiteral("LK-Paare (1. Semester)"), QStringLiteral("Leistungsfächer"),
                           s.lkPairs(), pairLabel, out);
    appendCombinationTable(QStringLiteral("Prüfungsfächer (LK-Paar + PK 3 + PK 4)"),
                           QStringLiteral("Kombination"), s.combinations(), combinationLabel, out);
    out.append('\n');
    appendLine(QStringLiteral("Nicht bestanden oder nicht lesbar, nach Grund"), out);
    for (const ReasonInfo &reason : FailureReasons())
        appendLine(reason.code.leftJustified(21) + number(s.reasonCount(reason.code)) + QStringLiteral("  ") +
                       reason.text,
                   out);
}

void AppendStatisticsJson(const PlanningStatistics &s, QByteArray &out) {
    out.append("\"statistics\":{\"files\":");
    out.append(QByteArray::number(s.files()));
    out.append(",\"readable\":");
    out.append(QByteArray::number(s.readable()));
    out.append(",\"passed\":");
    out.append(QByteArray::number(s.passed()));
    out.append(",\"subjects\":[");
    const auto counts = [&out](const std::array<int, PlanningStatistics::kColumns> &n) {
        out.append("{\"lk\":" + QByteArray::number(n[0]) + ",\"pk\":" + QByteArray::number(n[1]) +
                   ",\"gk\":" + QByteArray::number(n[2]) + ",\"total\":" + QByteArray::number(n[3]) + '}');
    };
    bool first = true;
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        for (const SubjectCode code : tableSubjects()) {
            out.append(first ? "\n{\"semester\":" : ",\n{\"semester\":");
            first = false;
            out.append(QByteArray::number(semester));
            out.append(",\"subject\":");
            AppendJsonString(SubjectCatalog[code], out);
            out.append(",\"all\":");
            counts(s.subject(semester, code).all);
            out.append(",\"passed\":");
            counts(s.subject(semester, code).passed);
            out.append('}');
        }
    }
    out.append("],\n\"unknown\":[");
    first = true;
    for (auto it = s.unknown().cbegin(); it != s.unknown().cend(); ++it) {
        out.append(first ? "{\"text\":" : ",{\"text\":");
        first = false;
        AppendJsonString(it.key(), out);
        out.append(",\"files\":" + QByteArray::number(it.value()) + '}');
    }
    // A pair or a combination: the LK pair, with PK 3 and PK 4 for a combination.
    const auto combinations = [&out](const QList<PlanningStatistics::Combination> &list, bool withPk) {
        bool firstOne = true;
        for (const auto &c : list) {
            out.append(firstOne ? "\n{\"lk\":[" : ",\n{\"lk\":[");
            firstOne = false;
            AppendJsonString(c.lk1, out);
            out.append(',');
            AppendJsonString(c.lk2, out);
            out.append(']');
            if (withPk) {
                out.append(",\"pk3\":");
                AppendJsonString(c.pk3, out);
                out.append(",\"pk4\":");
                AppendJsonString(c.pk4, out);
            }
            out.append(",\"all\":" + QByteArray::number(c.all) +
                       ",\"passed\":" + QByteArray::number(c.passed) + '}');
        }
    };
    out.append("],\n\"lkPairs\":[");
    combinations(s.lkPairs(), false);
    out.append("],\n\"combinations\":[");
    combinations(s.combinations(), true);
    out.append("],\n\"reasons\":[");
    first = true;
    for (const ReasonInfo &reason : FailureReasons()) {
        out.append(first ? "{\"code\":" : ",{\"code\":");
        first = false;
        AppendJsonString(reason.code, out);
        out.append(",\"text\":");
        AppendJsonString(reason.text, out);
        out.append(",\"files\":" + QByteArray::number(s.reasonCount(reason.code)) + '}');
    }
    out.append("]},\n");
}

bool WriteStatisticsCsv(const PlanningStatistics &s, const QString &folder, QString *error) {
    QMap<QString, QByteArray> files;
    const QByteArray bom = "\xEF\xBB\xBF";
    QByteArray &subjects = files[QStringLiteral("faecher.csv")];
    subjects = bom;
    csvRow({QStringLiteral("Semester"), QStringLiteral("Fach"), QStringLiteral("LK"), QStringLiteral("PK"),
            QStringLiteral("GK"), QStringLiteral("Gesamt"), QStringLiteral("LK bestanden"),
            QStringLiteral("PK bestanden"), QStringLiteral("GK bestanden"),
            QStringLiteral("Gesamt bestanden")},
           subjects);
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        for (const SubjectCode code : tableSubjects()) {
            QStringList row{QString::number(semester), SubjectCatalog[code]};
            for (const int n : s.subject(semester, code).all)
                row.append(QString::number(n));
            for (const int n : s.subject(semester, code).passed)
                row.append(QString::number(n));
            csvRow(row, subjects);
        }
    }
    QByteArray &pairs = files[QStringLiteral("lk-paare.csv")];
    pairs = bom;
    csvRow({QStringLiteral("LK A"), QStringLiteral("LK B"), QStringLiteral("Wahlen"),
            QStringLiteral("bestanden")},
           pairs);
    for (const auto &c : s.lkPairs())
        csvRow({c.lk1, c.lk2, QString::number(c.all), QString::number(c.passed)}, pairs);
    QByteArray &combinations = files[QStringLiteral("kombinationen.csv")];
    combinations = bom;
    csvRow({QStringLiteral("LK A"), QStringLiteral("LK B"), QStringLiteral("PK 3"), QStringLiteral("PK 4"),
            QStringLiteral("Wahlen"), QStringLiteral("bestanden")},
           combinations);
    for (const auto &c : s.combinations())
        csvRow({c.lk1, c.lk2, c.pk3, c.pk4, QString::number(c.all), QString::number(c.passed)}, combinations);
    QByteArray &reasons = files[QStringLiteral("gruende.csv")];
    reasons = bom;
    csvRow({QStringLiteral("Grund"), QStringLiteral("Bedeutung"), QStringLiteral("Dateien")}, reasons);
    for (const ReasonInfo &reason : FailureReasons())
        csvRow({reason.code, reason.text, QString::number(s.reasonCount(reason.code))}, reasons);
    QByteArray &unknown = files[QStringLiteral("unbekannt.csv")];
    unknown = bom;
    csvRow({QStringLiteral("Eintrag"), QStringLiteral("Dateien")}, unknown);
    for (auto it = s.unknown().cbegin(); it != s.unknown().cend(); ++it)
        csvRow({it.key(), QString::number(it.value())}, unknown);

    if (!QDir().mkpath(folder)) {
        *error = folder + QStringLiteral(": Der Ordner kann nicht angelegt werden");
        return false;
    }
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = QDir(folder).filePath(it.key());
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size() ||
            !file.commit()) {
            *error = path + QStringLiteral(": Die Datei kann nicht geschrieben werden");
            return false;
        }
    }
    return true;
}

QString HtmlEscaped(const QString &text) {
    QString escaped = VisibleText(text).toHtmlEscaped(); // control characters shown; &, <, >, "
    return escaped.replace(u'\'', QStringLiteral("&#39;"));
}

QByteArray StatisticsHtml(const PlanningStatistics &s, const QString &date, const QString &folders) {
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                                  "<title>Kurswahlen: Planungsbericht</title>\n<style>") +
                   QLatin1StringView(kReportBaseStyle) + QLatin1StringView(kStyle) + QStringLiteral("</style>\n</head>\n<body>\n");
    html += QStringLiteral("<h1>Kurswahlen: Planungsbericht</h1>\n<p class=\"stand\">Stand ") +
            HtmlEscaped(date) + QStringLiteral(" &middot; ") + HtmlEscaped(folders) +
            QStringLiteral("</p>\n");

    html += QStringLiteral("<h2>Übersicht</h2>\n<table id=\"uebersicht\">\n<tbody>\n");
    const QList<std::pair<QString, int>> summary = {
        {QStringLiteral("Dateien"), s.files()},
        {QStringLiteral("bestanden"), s.passed()},
        {QStringLiteral("nicht bestanden"), s.readable() - s.passed()},
        {QStringLiteral("nicht lesbar"), s.files() - s.readable()},
    };
    for (const auto &[label, n] : summary)
        html +=
            QStringLiteral("<tr><th>") + label + QStringLiteral("</th>") + td(n) + QStringLiteral("</tr>\n");
    html += QStringLiteral("</tbody>\n</table>\n");

    html += QStringLiteral(
                "<h2>Fächer je Semester</h2>\n<p class=\"legende\">Schülerinnen und Schüler je Fach als LK, "
                "PK und GK aneinandergereiht, dahinter ihre Zahl wie in der Spalte „gesamt“ (alle lesbaren Wahlen):<span "
                "style=\"background:%1\"></span>LK"
                "<span style=\"background:%2\"></span>PK 3/4<span style=\"background:%3\"></span>GK</p>\n")
                .arg(QLatin1StringView(kColours[0]), QLatin1StringView(kColours[1]),
                     QLatin1StringView(kColours[2]));
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        html += QStringLiteral("<h3>%1. Semester</h3>\n").arg(semester) + barChart(s, semester);
        html += QStringLiteral(
            "<table class=\"faecher\">\n<thead><tr><th rowspan=\"2\">Fach</th>"
            "<th colspan=\"4\">alle lesbaren Wahlen</th><th colspan=\"4\">nur bestandene</th></tr>\n"
            "<tr><th class=\"n\">LK</th><th class=\"n\">PK</th><th class=\"n\">GK</th>"
            "<th class=\"n\">gesamt</th><th class=\"n\">LK</th><th class=\"n\">PK</th>"
            "<th class=\"n\">GK</th><th class=\"n\">gesamt</th></tr></thead>\n<tbody>\n");
        for (const SubjectCode code : tableSubjects()) {
            html += code == Subject::SportTheorie ? QStringLiteral("<tr class=\"apart\"><td>")
                                                  : QStringLiteral("<tr><td>");
            html += HtmlEscaped(SubjectCatalog[code]) + QStringLiteral("</td>");
            for (const int n : s.subject(semester, code).all)
                html += td(n);
            for (const int n : s.subject(semester, code).passed)
                html += td(n);
            html += QStringLiteral("</tr>\n");
        }
        html += QStringLiteral("</tbody>\n</table>\n");
    }
    if (!s.unknown().isEmpty()) {
        html += QStringLiteral("<h2>Unbekannte Einträge</h2>\n<table>\n<thead><tr><th>Eintrag</th>"
                               "<th class=\"n\">Dateien</th></tr></thead>\n<tbody>\n");
        for (auto it = s.unknown().cbegin(); it != s.unknown().cend(); ++it)
            html += QStringLiteral("<tr><td>") + HtmlEscaped(it.key()) + QStringLiteral("</td>") +
                    td(it.value()) + QStringLiteral("</tr>\n");
        html += QStringLiteral("</tbody>\n</table>\n");
    }

    html += QStringLiteral("<h2>Kombinationen</h2>\n");
    html += combinationTableHtml(QStringLiteral("LK-Paare (1. Semester)"),
                                 {QStringLiteral("Leistungsfächer")}, s.lkPairs(), false);
    html += combinationTableHtml(
        QStringLiteral("Prüfungsfächer"),
        {QStringLiteral("Leistungsfächer"), QStringLiteral("PK 3"), QStringLiteral("PK 4")}, s.combinations(),
        true);

    html += QStringLiteral("<h2>Gründe</h2>\n<table>\n<thead><tr><th>Grund</th><th>Bedeutung</th>"
                           "<th class=\"n\">Dateien</th></tr></thead>\n<tbody>\n");
    for (const ReasonInfo &reason : FailureReasons())
        html += QStringLiteral("<tr><td>") + reason.code + QStringLiteral("</td><td>") + reason.text +
                QStringLiteral("</td>") + td(s.reasonCount(reason.code)) + QStringLiteral("</tr>\n");
    html += QStringLiteral("</tbody>\n</table>\n");

    const QList<PlanningStatistics::Failure> failures = s.failures();
    html += QStringLiteral("<h2>Nicht bestandene und nicht lesbare Dateien</h2>\n");
    if (failures.isEmpty()) {
        html += QStringLiteral("<p>Keine.</p>\n");
    } else {
        html +=
            QStringLiteral("<table id=\"fehler\">\n<thead><tr><th>Datei</th><th>Grund</th><th>Meldung</th>"
                           "</tr></thead>\n<tbody>\n");
        for (const auto &failure : failures)
            html += QStringLiteral("<tr><td>") + HtmlEscaped(failure.file) + QStringLiteral("</td><td>") +
                    HtmlEscaped(reasonText(failure.reason)) + QStringLiteral("</td><td>") +
                    HtmlEscaped(failure.message) + QStringLiteral("</td></tr>\n");
        html += QStringLiteral("</tbody>\n</table>\n");
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}
