#include "rules/catalog.h"
#include "rules/dialogs.h"
#include "web/choiceform.h"
#include "web/html.h"
#include "web/jsontext.h"
#include "web/pages.h"

#include <QHash>

namespace {
QString attribute(const QString &name, const QString &value) {
    return u' ' + name + QStringLiteral("=\"") + HtmlEscape(value) + u'"';
}

QString cellHtml(const GridPageData &data, int row, int semester) {
    const QString name = CellFieldName(row, semester);
    const QString hintId = QStringLiteral("h-%1-%2").arg(row).arg(semester);
    const QString text = data.cells.at(semester, row);
    const UnknownSubjectHint hint = row <= GridModel::kCourseRows ? HintFor(text) : UnknownSubjectHint{};
    QString html = QStringLiteral("<td data-sem=\"%1. Sem.\"><input").arg(semester) + attribute(QStringLiteral("id"), name) +
                   attribute(QStringLiteral("name"), name) + attribute(QStringLiteral("value"), text) +
                   attribute(QStringLiteral("aria-label"), CellName(row, semester)) +
                   QStringLiteral(" list=\"faecher\" autocomplete=\"off\" spellcheck=\"false\" maxlength=\"%1\"")
                       .arg(kMaxCellLength) +
                   attribute(QStringLiteral("aria-describedby"), hintId);
    if (!hint.text.isEmpty())
        html += QStringLiteral(" class=\"unbekannt\" aria-invalid=\"true\"");
    html += QStringLiteral("><span class=\"hinweis\"") + attribute(QStringLiteral("id"), hintId) + u'>';
    if (!hint.text.isEmpty()) {
        html += HtmlEscape(hint.text);
        if (!hint.suggestion.isEmpty())
            html += QStringLiteral(" <span class=\"vorschlag\">") + HtmlEscape(hint.suggestion) + QStringLiteral("</span>");
    }
    return html + QStringLiteral("</span></td>");
}

QString gridHtml(const GridPageData &data) {
    QString html = QStringLiteral("<div class=\"tabelle\"><table class=\"raster\">\n<thead><tr><th scope=\"col\">Kurs</th>");
    for (int s = 1; s <= GridModel::kSemesters; ++s)
        html += QStringLiteral("<th scope=\"col\">%1. Semester</th>").arg(s);
    html += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (int r = 1; r <= GridModel::kDataRows; ++r) {
        html += (r == GridModel::kDataRows ? QStringLiteral("<tr class=\"reserve\">") : QStringLiteral("<tr>")) +
                QStringLiteral("<th scope=\"row\">") + RowLabel(r) + QStringLiteral("</th>");
        for (int s = 1; s <= GridModel::kSemesters; ++s)
            html += cellHtml(data, r, s);
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</tbody>\n</table></div>\n");
}

QString questionHtml(const DialogRequest &request, std::optional<bool> answer) {
    const auto radio = [&](const QString &value, const QString &label, bool checked) {
        return QStringLiteral("<label><input type=\"radio\" name=\"fremdsprache-lk\" value=\"") + value + u'"' +
               (checked ? QStringLiteral(" checked") : QString()) + QStringLiteral("> ") + label +
               QStringLiteral("</label>\n");
    };
    return QStringLiteral("<fieldset class=\"meldung frage\" data-art=\"") + kindName(request.kind) +
           QStringLiteral("\">\n<legend>") + HtmlEscape(request.caption.trimmed()) +
           QStringLiteral("</legend>\n<p class=\"meldungstext\">") + HtmlLines(request.text) + QStringLiteral("</p>\n") +
           radio(QStringLiteral("ja"), QStringLiteral("Ja"), answer == true) +
           radio(QStringLiteral("nein"), QStringLiteral("Nein"), answer == false) + QStringLiteral("</fieldset>\n");
}

QString outcomeHtml(const TestOutcome &outcome, std::optional<bool> answer) {
    QString html;
    if (outcome.passed)
        html += QStringLiteral("<p class=\"urteil bestanden\">Die Wahl hat den Test bestanden.</p>\n");
    else if (outcome.questionOpen)
        html += QStringLiteral("<p class=\"urteil frage-offen\">Beantworte die Frage und drücke dann noch einmal "
                               "»Wahl testen«.</p>\n");
    else
        html += QStringLiteral("<p class=\"urteil nicht-bestanden\">Die Wahl hat den Test nicht bestanden.</p>\n");
    for (const DialogRequest &request : outcome.messages) {
        if (request.kind == DialogKind::MessageBox) {
            html += questionHtml(request, answer);
            continue;
        }
        html += QStringLiteral("<div class=\"meldung\" data-art=\"") + kindName(request.kind) + QStringLiteral("\">\n<h3>") +
                HtmlEscape(request.caption) + QStringLiteral("</h3>\n<p class=\"meldungstext\">") + HtmlLines(request.text) +
                QStringLiteral("</p>\n</div>\n");
    }
    return html;
}
} // namespace

QString ChecklistHeading(const QList<ChecklistItem> &items) {
    const auto violations = std::count_if(items.begin(), items.end(), [](const ChecklistItem &item) {
        return item.kind == ChecklistItem::Kind::Violation;
    });
    if (violations == 0)
        return QStringLiteral("Alle Regeln sind erfüllt.");
    return violations == 1 ? QStringLiteral("Eine Regel ist noch nicht erfüllt:")
                           : QStringLiteral("%1 Regeln sind noch nicht erfüllt:").arg(violations);
}

namespace {
const QString kForeignLanguageReminder = QStringLiteral(
    "<li class=\"erfuellt\">Ist eine Fremdsprache Leistungskurs, fragt „Wahl testen“ noch, ob sie weitergeführt "
    "wird.</li>\n");

QString entryHtml(const ChecklistItem &item) {
    return (item.kind == ChecklistItem::Kind::Violation
                ? QStringLiteral("<li class=\"verstoss\"><span class=\"unsichtbar\">Verstoß: </span>")
                : QStringLiteral("<li class=\"hinweis-eintrag\"><span class=\"unsichtbar\">Hinweis: </span>")) +
           HtmlEscape(ChecklistLine(item)) + QStringLiteral("</li>\n");
}

// Violations first, then the notes, each in the order of the rules; the reminder about the
// foreign-language question while no rule is violated.
template <typename Append> void forEachEntry(const QList<ChecklistItem> &items, Append append) {
    bool violated = false;
    for (const ChecklistItem::Kind kind : {ChecklistItem::Kind::Violation, ChecklistItem::Kind::Note}) {
        for (const ChecklistItem &item : items) {
            if (item.kind == kind) {
                violated |= kind == ChecklistItem::Kind::Violation;
                append(&item);
            }
        }
    }
    if (!violated)
        append(nullptr);
}
} // namespace

QString ChecklistEntries(const QList<ChecklistItem> &items) {
    QString html;
    forEachEntry(items, [&](const ChecklistItem *item) { html += item ? entryHtml(*item) : kForeignLanguageReminder; });
    return html;
}

QByteArray ChecklistEntriesJson(const QList<ChecklistItem> &items) {
    // The rules' texts repeat from check to check; each thread keeps their escaped form.
    thread_local QHash<QString, QByteArray> known;
    QByteArray json = "\"";
    forEachEntry(items, [&](const ChecklistItem *item) {
        const QString key = item ? item->code + u'\x1f' + item->text + u'\x1f' + QString::number(item->row * 8 + item->semester)
                                 : QString();
        auto it = known.constFind(key);
        if (it == known.constEnd()) {
            if (known.size() >= 4096)
                known.clear();
            const QByteArray quoted = JsonQuote(item ? entryHtml(*item) : kForeignLanguageReminder);
            it = known.insert(key, quoted.mid(1, quoted.size() - 2));
        }
        json += *it;
    });
    return json + '"';
}

QByteArray GridPage(const GridPageData &data) {
    const QString csrf = HtmlEscape(QString::fromLatin1(data.csrf));
    const QString name = data.pupil.firstName + u' ' + data.pupil.surname;
    QString body = QStringLiteral("<header class=\"kopf\">\n<div><h1>Kurswahl von ") + HtmlEscape(name.trimmed()) +
                   QStringLiteral("</h1>\n<p>Klasse ") + HtmlEscape(data.pupil.className);
    if (!data.deadlineText.isEmpty())
        body += QStringLiteral(" · ") + HtmlEscape(data.deadlineText);
    if (data.lastHandIn)
        body += QStringLiteral(" · Zuletzt abgegeben am ") + GermanDateTime(*data.lastHandIn);
    body += QStringLiteral("</p></div>\n<form method=\"post\" action=\"/abmelden\"><input type=\"hidden\" name=\"csrf\" "
                           "value=\"") +
            csrf + QStringLiteral("\"><button type=\"submit\">Abmelden</button></form>\n</header>\n");

    const QList<ChecklistItem> items = ChecklistOf(data.cells);
    body += QStringLiteral("<form method=\"post\" action=\"/wahl\" id=\"wahl\">\n<input type=\"hidden\" name=\"csrf\" value=\"") +
            csrf + QStringLiteral("\">\n<div class=\"bereiche\">\n<section id=\"raster\" aria-labelledby=\"raster-titel\">\n"
                                  "<h2 id=\"raster-titel\">Deine Kurse</h2>\n"
                                  "<p class=\"erklaerung\">Trage die Fächer ein: die Leistungskurse LK 1 und LK 2, "
                                  "die Prüfungsfächer PK 3 und PK 4 und die Grundkurse GK 3 bis GK 9.</p>\n") +
            gridHtml(data) +
            QStringLiteral("</section>\n<section id=\"pruefliste\" aria-labelledby=\"pruefliste-titel\">\n"
                           "<h2 id=\"pruefliste-titel\">Prüfliste</h2>\n<div id=\"pruefliste-inhalt\"><p>") +
            ChecklistHeading(items) + QStringLiteral("</p>\n<ul>\n") + ChecklistEntries(items) +
            QStringLiteral("</ul></div>\n</section>\n</div>\n<div class=\"knoepfe\">\n"
                           "<button name=\"aktion\" value=\"pruefen\">Prüfen</button>\n"
                           "<button name=\"aktion\" value=\"testen\">Wahl testen</button>\n"
                           "<button name=\"aktion\" value=\"abgeben\">Abgeben</button>\n</div>\n"
                           "<section id=\"ergebnis\" aria-live=\"polite\">\n");
    if (!data.problem.isEmpty())
        body += QStringLiteral("<p class=\"fehler\" role=\"alert\">") + HtmlLines(data.problem) + QStringLiteral("</p>\n");
    if (!data.handedInText.isEmpty())
        body += QStringLiteral("<p class=\"abgegeben\">") + HtmlEscape(data.handedInText) + QStringLiteral("</p>\n");
    if (data.sheetOffered)
        body += QStringLiteral("<p><a href=\"/bogen.pdf\">Fachlesebogen als PDF</a> zum Ausdrucken und "
                               "Unterschreiben</p>\n");
    if (data.outcome)
        body += outcomeHtml(*data.outcome, data.foreignLanguageAnswer);
    body += QStringLiteral("</section>\n</form>\n<datalist id=\"faecher\">\n");
    for (int code = 1; code < kUnknownSubject; ++code)
        body += QStringLiteral("<option value=\"") + HtmlEscape(SubjectCatalog[code]) + QStringLiteral("\">\n");
    body += QStringLiteral("</datalist>\n");
    return HtmlPage(QStringLiteral("Kurswahl"), body);
}
