#pragma once

#include "tools/checker.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <array>

// The planning figures of a year group (--statistik and --bericht): how many pupils chose each
// subject in each semester as LK, PK or GK, the LK pairs and exam-subject combinations, and
// the failing files by reason. Counted from the subject codes after the same trimming and
// lookup as the test, over all readable files and, separately, over the passing ones.

// The reason codes in the order the tables list them, with a German description each.
struct ReasonInfo {
    QString code;
    QString text;
};
const QList<ReasonInfo> &FailureReasons(); // every reason but "ok"

class PlanningStatistics {
public:
    enum Column { LK, PK, GK, Total, kColumns };
    struct Counts {
        std::array<int, kColumns> all{};    // over all readable files
        std::array<int, kColumns> passed{}; // over the passing files only
    };
    // The four examination subjects of semester 1 as the tables name them: the catalog name,
    // the trimmed text of an unknown entry, empty for an empty cell. The LK pair is ordered
    // by subject code (empty cells last), PK 3 and PK 4 keep their places.
    struct Combination {
        QString lk1, lk2, pk3, pk4;
        int all = 0;
        int passed = 0;
    };
    struct Failure {
        QString file; // with the pupil's name in front where the file names one
        QString reason;
        QString message; // the first line of the message
    };

    void add(const FileCheck &check);

    int files() const { return m_files; }
    int readable() const { return m_readable; }
    int passed() const { return m_passed; }
    // semester 1 ... 4, code 1 ... 21
    const Counts &subject(int semester, SubjectCode code) const {
        return m_subjects[static_cast<std::size_t>(semester - 1)][code];
    }
    // Unknown entries (trimmed text) with the number of files that hold them, by text.
    const QMap<QString, int> &unknown() const { return m_unknown; }
    // Most frequent first, then by name; pairs have empty pk3 and pk4.
    QList<Combination> lkPairs() const;
    QList<Combination> combinations() const;
    int reasonCount(const QString &code) const { return m_reasons.value(code); }
    // The files that did not pass, by reason in the order of FailureReasons(), then by path.
    QList<Failure> failures() const;

private:
    int m_files = 0;
    int m_readable = 0;
    int m_passed = 0;
    std::array<std::array<Counts, kSubjectCodeCount>, GridModel::kSemesters> m_subjects{};
    QMap<QString, int> m_unknown;
    QHash<QString, Combination> m_pairs;
    QHash<QString, Combination> m_combinations;
    QHash<QString, int> m_reasons;
    QList<Failure> m_failures;
};

// The tables as German text with aligned columns, control characters shown visibly.
void AppendStatisticsText(const PlanningStatistics &statistics, QByteArray &out);

// The tables as the JSON object "statistics" (the member name and the colon included).
void AppendStatisticsJson(const PlanningStatistics &statistics, QByteArray &out);

// Each table as its own CSV file (semicolon, UTF-8 with BOM, header row) in `folder`, which is
// made when missing: faecher.csv, lk-paare.csv, kombinationen.csv, gruende.csv, unbekannt.csv.
// False with `error` set (a German message naming the file) when a file cannot be written.
bool WriteStatisticsCsv(const PlanningStatistics &statistics, const QString &folder, QString *error);

// The self-contained HTML report: title with `date` and `folders`, the summary, a bar chart per
// semester, the combination tables and the failing files. Every text from a file or a file
// name is escaped.
QByteArray StatisticsHtml(const PlanningStatistics &statistics, const QString &date, const QString &folders);

// `text` with &, <, >, " and ' escaped for HTML.
QString HtmlEscaped(const QString &text);
