#pragma once

#include "tools/checker.h"

#include <QByteArray>

// The three forms of fachlese-check's report on standard output, written piece by piece
// (start, one piece per file, end) so that thousands of files need no more memory than one;
// only the CSV keeps its rows (some 100 bytes a file) until its end. All text is UTF-8.

enum class ReportFormat { Text, Json, Csv };

struct CheckSummary {
    int files = 0;
    int passed = 0;
    int failed = 0;
    int unreadable = 0;

    void add(const FileCheck &check);
};

class ReportWriter {
public:
    // `withChecklist`: each file's checklist follows its verdict (text) or is a member of its
    // object (JSON).
    explicit ReportWriter(ReportFormat format, bool withChecklist = false)
        : m_format(format), m_withChecklist(withChecklist) {}

    // Each appends its piece to `out`.
    void begin(QByteArray &out);
    void file(const FileCheck &check, QByteArray &out);
    // In JSON, `jsonBeforeSummary` (members of the document with their commas) goes before
    // the summary.
    void end(const CheckSummary &summary, QByteArray &out, const QByteArray &jsonBeforeSummary = {});

private:
    ReportFormat m_format;
    bool m_withChecklist = false;
    bool m_firstFile = true;
    // The CSV is kept until its end: the columns Nachname, Vorname and Klasse are added when
    // at least one file names its pupil. Each row's end (before its CR LF) with those fields.
    QByteArray m_csvRows;
    QList<std::pair<qsizetype, QByteArray>> m_csvNames;
    bool m_csvNamed = false;
};

// The pupil of a file as a JSON object: "surname", "firstName", "class", "birthDate".
void AppendPupilJson(const PupilIdentity &identity, QByteArray &out);

// The line fachlese-check writes to standard error for a file it cannot read, with its end.
QByteArray UnreadableFileMessage(const FileCheck &check);

// `text` in UTF-8 for a terminal, with every control character shown as text, so that no escape
// sequence from a file or a file name reaches the terminal: a C0 control or DEL as , a C1
// control as . A TAB stays as it is with VisibleTabs::Keep (inside messages, which use
// it to lay out columns).
enum class VisibleTabs { Keep, Escape };
void AppendVisible(QStringView text, VisibleTabs tabs, QByteArray &out);

// The same as text: what AppendVisible writes for `text`, every TAB escaped.
QString VisibleText(QStringView text);

// The style sheet that the HTML files of fachlese-check (the report, the course lists) begin
// with: page, headings, tables; each adds its own rules after it.
extern const char *const kReportBaseStyle;

// A message for a table (CSV): every line made visible as above, the lines still separated by
// carriage returns.
QString VisibleMessage(const QString &message);

// `text` as a JSON string with its quotes: '"', '\' and control characters escaped (a
// carriage return as \r), everything else as UTF-8.
void AppendJsonString(const QString &text, QByteArray &out);

// `text` as a CSV field separated by ';': in double quotes, inner quotes doubled, when it
// holds ';', '"', a carriage return or a line feed; else unchanged. UTF-8.
void AppendCsvField(const QString &text, QByteArray &out);
