#include "web/html.h"
#include "web/pages.h"

QByteArray SignInPage(const QByteArray &csrf, const QString &problem) {
    QString body = QStringLiteral("<h1>Kurswahl der Oberstufe</h1>\n");
    if (!problem.isEmpty())
        body += QStringLiteral("<p class=\"fehler\" role=\"alert\">") + HtmlEscape(problem) + QStringLiteral("</p>\n");
    body += QStringLiteral("<p>Melde dich mit dem persönlichen Code an, den du von der Schule bekommen hast.</p>\n"
                           "<form method=\"post\" action=\"/anmelden\" class=\"anmeldung\">\n"
                           "<input type=\"hidden\" name=\"csrf\" value=\"") +
            HtmlEscape(QString::fromLatin1(csrf)) +
            QStringLiteral("\">\n<label for=\"code\">Code</label>\n"
                           "<input id=\"code\" name=\"code\" autocomplete=\"off\" autocapitalize=\"characters\" "
                           "spellcheck=\"false\" required maxlength=\"40\">\n"
                           "<button type=\"submit\">Anmelden</button>\n</form>\n");
    return HtmlPage(QStringLiteral("Anmeldung"), body);
}

QByteArray MessagePage(const QString &heading, const QString &text, const QString &linkTarget, const QString &linkText) {
    return HtmlPage(heading, QStringLiteral("<h1>") + HtmlEscape(heading) + QStringLiteral("</h1>\n<p>") +
                                 HtmlLines(text) + QStringLiteral("</p>\n<p><a href=\"") + HtmlEscape(linkTarget) +
                                 QStringLiteral("\">") + HtmlEscape(linkText) + QStringLiteral("</a></p>\n"));
}

QString GermanDateTime(const QDateTime &time) {
    return time.toString(QStringLiteral("dd.MM.yyyy 'um' HH:mm 'Uhr'"));
}
