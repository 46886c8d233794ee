#include "web/html.h"
#include "web/pages.h"

QByteArray OverviewPage(const QList<Pupil> &pupils, const QList<std::optional<QDateTime>> &handedIn,
                        const QByteArray &csrf, const QString &deadlineText) {
    int count = 0;
    QString rows;
    for (qsizetype i = 0; i < pupils.size(); ++i) {
        const Pupil &pupil = pupils.at(i);
        const std::optional<QDateTime> when = i < handedIn.size() ? handedIn.at(i) : std::nullopt;
        count += when.has_value();
        rows += QStringLiteral("<tr><td>") + HtmlEscape(pupil.surname) + QStringLiteral("</td><td>") +
                HtmlEscape(pupil.firstName) + QStringLiteral("</td><td>") + HtmlEscape(pupil.className) +
                (when ? QStringLiteral("</td><td>abgegeben am ") + GermanDateTime(*when)
                      : QStringLiteral("</td><td class=\"offen\">nicht abgegeben")) +
                QStringLiteral("</td></tr>\n");
    }
    QString body = QStringLiteral("<header class=\"kopf\"><h1>Übersicht der Abgaben</h1>\n"
                                  "<form method=\"post\" action=\"/abmelden\"><input type=\"hidden\" name=\"csrf\" "
                                  "value=\"") +
                   HtmlEscape(QString::fromLatin1(csrf)) +
                   QStringLiteral("\"><button type=\"submit\">Abmelden</button></form></header>\n<p>") +
                   QStringLiteral("%1 von %2 haben abgegeben.").arg(count).arg(pupils.size());
    if (!deadlineText.isEmpty())
        body += u' ' + HtmlEscape(deadlineText);
    body += QStringLiteral("</p>\n<div class=\"breit\"><table class=\"uebersicht\">\n<thead><tr><th scope=\"col\">Nachname</th>"
                           "<th scope=\"col\">Vorname</th><th scope=\"col\">Klasse</th><th scope=\"col\">Abgabe</th>"
                           "</tr></thead>\n<tbody>\n") +
            rows + QStringLiteral("</tbody>\n</table></div>\n");
    return HtmlPage(QStringLiteral("Übersicht"), body);
}
