#include "web/html.h"

QString HtmlEscape(const QString &text) {
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            escaped += u"&amp;";
            break;
        case u'<':
            escaped += u"&lt;";
            break;
        case u'>':
            escaped += u"&gt;";
            break;
        case u'"':
            escaped += u"&quot;";
            break;
        case u'\'':
            escaped += u"&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString HtmlLines(const QString &text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return HtmlEscape(lines).replace(u'\n', QStringLiteral("<br>"));
}

QByteArray HtmlPage(const QString &title, const QString &body) {
    return (QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                           "<meta name=\"color-scheme\" content=\"light dark\">\n<title>") +
            HtmlEscape(title) +
            QStringLiteral(" – Kurswahl</title>\n<link rel=\"stylesheet\" href=\"/static/fachlese.css\">\n"
                           "<link rel=\"icon\" href=\"/static/fachlese.svg\" type=\"image/svg+xml\">\n"
                           "<script src=\"/static/fachlese.js\" defer></script>\n</head>\n<body>\n<main>\n") +
            body + QStringLiteral("</main>\n</body>\n</html>\n"))
        .toUtf8();
}
