#include "tools/report.h"

#include "rules/catalog.h"
#include "tools/pupils.h"
#include "rules/verdictmessages.h"

#include <QRegularExpression>

namespace {
void appendNumber(int number, QByteArray &out) {
    out.append(QByteArray::number(number));
}

// --- Text, for a person ---

// The message lines of `text` (broken at CR or LF), each indented by four blanks.
void appendIndented(const QString &text, QByteArray &out) {
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype stop = start;
        while (stop < text.size() && text[stop] != CR && text[stop] != u'\n')
            ++stop;
        if (stop > start) {
            out.append("    ");
            AppendVisible(QStringView(text).mid(start, stop - start), VisibleTabs::Keep, out);
        }
        out.append('\n');
        start = stop + 1;
    }
}

QString firstLine(const QString &text) {
    qsizetype stop = 0;
    while (stop < text.size() && text[stop] != CR && text[stop] != u'\n')
        ++stop;
    return text.left(stop);
}

void appendTextFile(const FileCheck &check, QByteArray &out) {
    AppendVisible(check.file, VisibleTabs::Escape, out);
    if (const QString name = PupilName(check.identity); !name.isEmpty()) {
        out.append(" (");
        AppendVisible(name, VisibleTabs::Escape, out);
        out.append(')');
    }
    out.append(": ");
    switch (check.outcome()) {
    case FileCheck::Outcome::Passed:
        out.append("Wahl o.k., ");
        appendNumber(check.courses.value_or(0), out);
        out.append(" Kurse\n");
        return;
    case FileCheck::Outcome::Unreadable:
        out.append("nicht lesbar: ");
        out.append(check.readMessage().toUtf8());
        out.append('\n');
        return;
    case FileCheck::Outcome::Failed:
        break;
    }
    const QStringList messages = check.failureMessages();
    if (messages.isEmpty()) {
        out.append(VerdictMessages::UnannouncedFailure(check.verdict).toUtf8());
        out.append('\n');
        return;
    }
    AppendVisible(firstLine(messages.first()), VisibleTabs::Keep, out);
    out.append('\n');
    for (const QString &message : messages)
        appendIndented(message, out);
}

// "LK 1" ... "PK 4", "GK 3" ... "GK 9" for course rows 1 ... 11.
QString rowLabel(int row) {
    return row <= 2   ? QStringLiteral("LK %1").arg(row)
           : row <= 4 ? QStringLiteral("PK %1").arg(row)
                      : QStringLiteral("GK %1").arg(row - 2);
}

// Each item on its own line under the verdict: kind, code, the cell of an unknown subject, and
// the text, whose further lines are indented below it (empty ones stay empty).
void appendTextChecklist(const FileCheck &check, QByteArray &out) {
    for (const ChecklistItem &item : check.checklist) {
        QString head = QStringLiteral("  ") + kindName(item.kind) + u' ' + item.code;
        if (item.semester > 0)
            head += QStringLiteral(" (%1, %2. Semester)").arg(rowLabel(item.row)).arg(item.semester);
        AppendVisible(head + QStringLiteral(": "), VisibleTabs::Escape, out);
        const QStringList lines = item.text.split(QRegularExpression(QStringLiteral("\r\n?|\n")));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0 && !lines[i].isEmpty())
                out.append("      ");
            AppendVisible(lines[i], VisibleTabs::Keep, out);
            out.append('\n');
        }
    }
}

void appendJsonChecklist(const FileCheck &check, QByteArray &out) {
    if (check.readStatus != DataFileStatus::Ok) {
        out.append(",\"checklist\":null");
        return;
    }
    out.append(",\"checklist\":[");
    bool first = true;
    for (const ChecklistItem &item : check.checklist) {
        out.append(first ? "{\"kind\":" : ",{\"kind\":");
        first = false;
        AppendJsonString(kindName(item.kind), out);
        out.append(",\"code\":");
        AppendJsonString(item.code, out);
        out.append(",\"text\":");
        AppendJsonString(item.text, out);
        if (item.semester > 0) {
            out.append(",\"semester\":");
            appendNumber(item.semester, out);
            out.append(",\"row\":");
            appendNumber(item.row, out);
        }
        out.append('}');
    }
    out.append(']');
}

void appendTextSummary(const CheckSummary &summary, QByteArray &out) {
    appendNumber(summary.files, out);
    out.append(summary.files == 1 ? " Datei: " : " Dateien: ");
    appendNumber(summary.passed, out);
    out.append(" bestanden, ");
    appendNumber(summary.failed, out);
    out.append(" nicht bestanden, ");
    appendNumber(summary.unreadable, out);
    out.append(" nicht lesbar\n");
}

// --- JSON ---

void appendJsonFile(const FileCheck &check, QByteArray &out) {
    const bool read = check.readStatus == DataFileStatus::Ok;
    out.append("{\"file\":");
    AppendJsonString(check.file, out);
    if (!check.identity.isEmpty()) {
        out.append(",\"pupil\":");
        AppendPupilJson(check.identity, out);
    }
    out.append(read ? ",\"read\":\"ok\",\"readMessage\":null" : ",\"read\":\"error\",\"readMessage\":");
    if (!read)
        AppendJsonString(check.readMessage(), out);
    out.append(",\"dialogs\":[");
    bool firstDialog = true;
    for (const DialogRecorder::Entry &entry : check.dialogs) {
        out.append(firstDialog ? "{\"kind\":" : ",{\"kind\":");
        firstDialog = false;
        AppendJsonString(kindName(entry.request.kind), out);
        out.append(",\"caption\":");
        AppendJsonString(entry.request.caption, out);
        out.append(",\"text\":");
        AppendJsonString(entry.request.text, out);
        out.append(",\"buttons\":[");
        for (qsizetype i = 0; i < entry.request.buttons.size(); ++i) {
            if (i > 0)
                out.append(',');
            AppendJsonString(buttonText(entry.request.buttons[i]), out);
        }
        out.append("],\"answer\":");
        AppendJsonString(buttonText(entry.answer), out);
        out.append('}');
    }
    out.append(check.passed ? "],\"passed\":true" : "],\"passed\":false");
    out.append(check.choiceTested ? ",\"choiceTested\":true,\"courses\":"
                                  : ",\"choiceTested\":false,\"courses\":");
    if (check.courses)
        appendNumber(*check.courses, out);
    else
        out.append("null");
    out.append(",\"grid\":[");
    for (int row = 0; row < GridModel::kCourseRows; ++row) {
        out.append(row == 0 ? "[" : ",[");
        for (int column = 0; column < GridModel::kSemesters; ++column) {
            if (column > 0)
                out.append(',');
            AppendJsonString(check.grid[static_cast<std::size_t>(row * GridModel::kSemesters + column)], out);
        }
        out.append(']');
    }
    out.append("]}");
}

void appendJsonSummary(const CheckSummary &summary, QByteArray &out) {
    out.append("\"summary\":{\"files\":");
    appendNumber(summary.files, out);
    out.append(",\"passed\":");
    appendNumber(summary.passed, out);
    out.append(",\"failed\":");
    appendNumber(summary.failed, out);
    out.append(",\"unreadable\":");
    appendNumber(summary.unreadable, out);
    out.append("}}\n");
}

// --- CSV ---

void appendCsvFile(const FileCheck &check, QByteArray &out) {
    AppendCsvField(VisibleText(check.file), out);
    switch (check.outcome()) {
    case FileCheck::Outcome::Passed:
        out.append(";bestanden;");
        appendNumber(check.courses.value_or(0), out);
        out.append(';');
        break;
    case FileCheck::Outcome::Unreadable:
        out.append(";nicht lesbar;;");
        AppendCsvField(check.readMessage(), out);
        break;
    case FileCheck::Outcome::Failed: {
        out.append(";nicht bestanden;");
        if (const std::optional<int> courses = check.countableCourses())
            appendNumber(*courses, out);
        out.append(';');
        const QStringList messages = check.failureMessages();
        QStringList shown;
        for (const QString &message : VerdictMessages::FailureMessages(check.verdict, false))
            shown.append(VisibleMessage(message));
        AppendCsvField(messages.isEmpty() ? VerdictMessages::UnannouncedFailure(check.verdict) : shown.join(CR), out);
        break;
    }
    }
    // Grund, then the examination subjects of semester 1.
    out.append(';');
    out.append(ReasonCode(check.verdict).toUtf8());
    for (int row = 1; row <= 4; ++row) {
        out.append(';');
        AppendCsvField(VisibleText(check.entry(1, row)), out);
    }
    out.append("\r\n");
}
} // namespace

void CheckSummary::add(const FileCheck &check) {
    ++files;
    switch (check.outcome()) {
    case FileCheck::Outcome::Passed:
        ++passed;
        break;
    case FileCheck::Outcome::Failed:
        ++failed;
        break;
    case FileCheck::Outcome::Unreadable:
        ++unreadable;
        break;
    }
}

void ReportWriter::begin(QByteArray &out) {
    m_firstFile = true;
    switch (m_format) {
    case ReportFormat::Text:
        break;
    case ReportFormat::Json:
        out.append("{\"files\":[");
        break;
    case ReportFormat::Csv:
        m_csvRows.clear();
        m_csvNames.clear();
        m_csvNamed = false;
        break;
    }
}

void ReportWriter::file(const FileCheck &check, QByteArray &out) {
    switch (m_format) {
    case ReportFormat::Text:
        appendTextFile(check, out);
        if (m_withChecklist)
            appendTextChecklist(check, out);
        break;
    case ReportFormat::Json:
        out.append(m_firstFile ? "\n" : ",\n");
        appendJsonFile(check, out);
        if (m_withChecklist) {
            out.chop(1); // the object's closing brace
            appendJsonChecklist(check, out);
            out.append('}');
        }
        break;
    case ReportFormat::Csv:
        appendCsvFile(check, m_csvRows);
        {
            QByteArray names;
            if (!check.identity.isEmpty()) {
                m_csvNamed = true;
                for (const QString *name : {&check.identity.surname, &check.identity.firstName,
                                            &check.identity.className}) {
                    names.append(';');
                    AppendCsvField(*name, names);
                }
            } else {
                names = ";;;";
            }
            m_csvNames.append({m_csvRows.size() - 2, names});
        }
        break;
    }
    m_firstFile = false;
}

void ReportWriter::end(const CheckSummary &summary, QByteArray &out, const QByteArray &jsonBeforeSummary) {
    switch (m_format) {
    case ReportFormat::Text:
        appendTextSummary(summary, out);
        break;
    case ReportFormat::Json:
        out.append(m_firstFile ? "],\n" : "\n],\n");
        out.append(jsonBeforeSummary);
        appendJsonSummary(summary, out);
        break;
    case ReportFormat::Csv: {
        out.append("\xEF\xBB\xBF"
                   "Datei;Ergebnis;Kurse;Meldung;Grund;LK1;LK2;PK3;PK4");
        if (!m_csvNamed) {
            out.append("\r\n");
            out.append(m_csvRows);
            break;
        }
        out.append(";Nachname;Vorname;Klasse\r\n");
        // Every row gets the three fields, empty where its file names nobody.
        qsizetype done = 0;
        for (const auto &[rowEnd, names] : m_csvNames) {
            out.append(QByteArrayView(m_csvRows).sliced(done, rowEnd - done));
            out.append(names);
            out.append("\r\n");
            done = rowEnd + 2;
        }
        break;
    }
    }
}

void AppendPupilJson(const PupilIdentity &identity, QByteArray &out) {
    out.append("{\"surname\":");
    AppendJsonString(identity.surname, out);
    out.append(",\"firstName\":");
    AppendJsonString(identity.firstName, out);
    out.append(",\"class\":");
    AppendJsonString(identity.className, out);
    out.append(",\"birthDate\":");
    AppendJsonString(identity.birthDate, out);
    out.append('}');
}

QByteArray UnreadableFileMessage(const FileCheck &check) {
    QByteArray line = "fachlese-check: ";
    AppendVisible(check.file, VisibleTabs::Escape, line);
    line.append(": ");
    line.append(check.readMessage().toUtf8());
    line.append('\n');
    return line;
}

void AppendJsonString(const QString &text, QByteArray &out) {
    static const char hex[] = "0123456789abcdef";
    out.append('"');
    const QChar *chars = text.constData();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        // A run of printable ASCII characters other than '"' and '\' is copied as it is.
        const qsizetype start = i;
        while (i < size && chars[i].unicode() >= 0x20 && chars[i].unicode() < 0x80 && chars[i] != u'"' &&
               chars[i] != u'\\')
            ++i;
        if (i > start) {
            const qsizetype end = out.size();
            out.resize(end + (i - start));
            char *target = out.data() + end;
            for (qsizetype k = start; k < i; ++k)
                *target++ = static_cast<char>(chars[k].unicode());
            continue;
        }
        const char16_t c = chars[i].unicode();
        if (c >= 0x80) {
            // A run of non-ASCII characters goes through the UTF-8 encoder in one piece.
            while (i < size && chars[i].unicode() >= 0x80)
                ++i;
            out.append(QStringView(chars + start, i - start).toUtf8());
            continue;
        }
        ++i;
        switch (c) {
        case u'"':
            out.append("\\\"");
            break;
        case u'\\':
            out.append("\\\\");
            break;
        case u'\b':
            out.append("\\b");
            break;
        case u'\f':
            out.append("\\f");
            break;
        case u'\n':
            out.append("\\n");
            break;
        case u'\r':
            out.append("\\r");
            break;
        case u'\t':
            out.append("\\t");
            break;
        default:
            out.append("\\u00");
            out.append(hex[c >> 4]);
            out.append(hex[c & 0xF]);
        }
    }
    out.append('"');
}

void AppendCsvField(const QString &text, QByteArray &out) {
    const QByteArray utf8 = text.toUtf8();
    bool quote = false;
    for (const char c : utf8)
        quote = quote || c == ';' || c == '"' || c == '\r' || c == '\n';
    if (!quote) {
        out.append(utf8);
        return;
    }
    out.append('"');
    for (const char c : utf8) {
        if (c == '"')
            out.append('"');
        out.append(c);
    }
    out.append('"');
}

void AppendVisible(QStringView text, VisibleTabs tabs, QByteArray &out) {
    const auto isControl = [tabs](char16_t c) {
        return (c < 0x20 && !(c == u'\t' && tabs == VisibleTabs::Keep)) || (c >= 0x7F && c < 0xA0);
    };
    static const char hex[] = "0123456789ABCDEF";
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isControl(c))
            continue;
        out.append(text.mid(start, i - start).toUtf8());
        out.append(c < 0x80 ? "\\x" : "\\u00");
        out.append(hex[(c >> 4) & 0xF]);
        out.append(hex[c & 0xF]);
        start = i + 1;
    }
    out.append(text.mid(start).toUtf8());
}

QString VisibleText(QStringView text) {
    QByteArray shown;
    AppendVisible(text, VisibleTabs::Escape, shown);
    return QString::fromUtf8(shown);
}

const char *const kReportBaseStyle = R"(
body { font-family: "Liberation Sans", "DejaVu Sans", Arial, sans-serif; font-size: 11pt; color: #111;
       margin: 2em auto; max-width: 60em; padding: 0 1em; }
h1 { font-size: 18pt; margin-bottom: 0.2em; }
h2 { font-size: 14pt; margin-top: 1.6em; border-bottom: 1px solid #999; }
h3 { font-size: 12pt; margin-bottom: 0.3em; }
p.stand { color: #444; margin-top: 0; }
table { border-collapse: collapse; margin: 0.5em 0 1em; }
th, td { border: 1px solid #bbb; padding: 0.15em 0.5em; text-align: left; vertical-align: top; }
td.n, th.n { text-align: right; }
th { background: #eee; }
)";

QString VisibleMessage(const QString &message) {
    QStringList lines;
    for (const QStringView line : QStringView(message).split(CR))
        lines.append(VisibleText(line));
    return lines.join(CR);
}
