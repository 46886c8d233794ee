#include "tools/pupils.h"

#include "tools/report.h"
#include "tools/statistics.h"

namespace {
const QString kDuplicatesTitle =
    QStringLiteral("Mehrere Dateien derselben Person (Nachname, Vorname, Klasse und Geburtsdatum gleich)");

QString details(const PupilIdentity &identity) {
    QString text = PupilName(identity);
    if (!identity.birthDate.isEmpty())
        text += QStringLiteral(", geb. ") + identity.birthDate;
    return text;
}
} // namespace

QString PupilName(const PupilIdentity &identity) {
    QStringList parts;
    for (const QString *part : {&identity.surname, &identity.firstName, &identity.className}) {
        if (!part->isEmpty())
            parts.append(*part);
    }
    return parts.join(QStringLiteral(", "));
}

QString PupilOrFile(const FileCheck &check) {
    const QString name = PupilName(check.identity);
    return name.isEmpty() ? check.file : name + QStringLiteral(" (") + check.file + u')';
}

void DuplicateFinder::add(const FileCheck &check) {
    const PupilIdentity &id = check.identity;
    if (id.surname.trimmed().isEmpty() && id.firstName.trimmed().isEmpty())
        return;
    QString key;
    for (const QString *part : {&id.surname, &id.firstName, &id.className, &id.birthDate})
        key += part->simplified().toCaseFolded() + u'\t';
    const auto found = m_index.constFind(key);
    if (found != m_index.cend()) {
        m_pupils[*found].files.append(check.file);
        return;
    }
    m_index.insert(key, m_pupils.size());
    m_pupils.append({id, {check.file}});
}

QList<DuplicatePupil> DuplicateFinder::duplicates() const {
    QList<DuplicatePupil> list;
    for (const DuplicatePupil &pupil : m_pupils) {
        if (pupil.files.size() > 1)
            list.append(pupil);
    }
    return list;
}

void AppendDuplicatesText(const QList<DuplicatePupil> &duplicates, QByteArray &out) {
    if (duplicates.isEmpty())
        return;
    out.append('\n');
    AppendVisible(kDuplicatesTitle + u':', VisibleTabs::Escape, out);
    out.append('\n');
    for (const DuplicatePupil &pupil : duplicates) {
        out.append("  ");
        AppendVisible(details(pupil.identity), VisibleTabs::Escape, out);
        out.append('\n');
        for (const QString &file : pupil.files) {
            out.append("    ");
            AppendVisible(file, VisibleTabs::Escape, out);
            out.append('\n');
        }
    }
}

void AppendDuplicatesJson(const QList<DuplicatePupil> &duplicates, QByteArray &out) {
    if (duplicates.isEmpty())
        return;
    out.append("\"duplicates\":[");
    bool first = true;
    for (const DuplicatePupil &pupil : duplicates) {
        out.append(first ? "\n{\"pupil\":" : ",\n{\"pupil\":");
        first = false;
        AppendPupilJson(pupil.identity, out);
        out.append(",\"files\":[");
        for (qsizetype i = 0; i < pupil.files.size(); ++i) {
            if (i > 0)
                out.append(',');
            AppendJsonString(pupil.files[i], out);
        }
        out.append("]}");
    }
    out.append("],\n");
}

void AppendDuplicatesHtml(const QList<DuplicatePupil> &duplicates, QByteArray &html) {
    static const QByteArray end = "</body>\n</html>\n";
    if (duplicates.isEmpty() || !html.endsWith(end))
        return;
    html.chop(end.size());
    QString section = QStringLiteral("<h2>Mehrere Dateien derselben Person</h2>\n<p>") +
                      HtmlEscaped(kDuplicatesTitle) +
                      QStringLiteral(".</p>\n<table id=\"doppelt\">\n<thead><tr><th>Person</th><th>Dateien</th>"
                                     "</tr></thead>\n<tbody>\n");
    for (const DuplicatePupil &pupil : duplicates) {
        QStringList files;
        for (const QString &file : pupil.files)
            files.append(HtmlEscaped(file));
        section += QStringLiteral("<tr><td>") + HtmlEscaped(details(pupil.identity)) + QStringLiteral("</td><td>") +
                   files.join(QStringLiteral("<br>")) + QStringLiteral("</td></tr>\n");
    }
    html += section.toUtf8() + "</tbody>\n</table>\n" + end;
}

QByteArray DuplicatesMessage(const QList<DuplicatePupil> &duplicates) {
    QByteArray lines;
    for (const DuplicatePupil &pupil : duplicates) {
        lines.append("fachlese-check: ");
        AppendVisible(QStringLiteral("mehrere Dateien derselben Person: ") + details(pupil.identity) +
                          QStringLiteral(": ") + pupil.files.join(QStringLiteral(", ")),
                      VisibleTabs::Escape, lines);
        lines.append('\n');
    }
    return lines;
}
