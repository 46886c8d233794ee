#include "web/classlist.h"

#include "web/html.h"

#include <QStringDecoder>

namespace {
const QStringList kClassListHeader = {QStringLiteral("nachname"), QStringLiteral("vorname"), QStringLiteral("klasse")};

bool isHeader(const QStringList &fields) {
    for (qsizetype i = 0; i < fields.size() && i < kClassListHeader.size(); ++i) {
        if (fields.at(i).trimmed().toLower() != kClassListHeader.at(i))
            return false;
    }
    return fields.size() >= kClassListHeader.size();
}

QString csvField(const QString &text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QList<Pupil> parsePupils(const QByteArray &bytes, int columns, QString *error) {
    QList<Pupil> pupils;
    const QList<QStringList> lines = ParseSemicolonCsv(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringList fields = lines.at(i);
        if (i == 0 && isHeader(fields))
            continue;
        while (fields.size() > 1 && fields.last().trimmed().isEmpty())
            fields.removeLast();
        if (fields.size() > columns) {
            if (error)
                *error = QStringLiteral("Zeile %1 hat nicht %2 Spalten.").arg(i + 1).arg(columns);
            return {};
        }
        fields.resize(4);
        // A line break inside quotes would break the lines of the data file that name the pupil.
        for (QString &field : fields) {
            for (QChar &c : field) {
                if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                    c = u' ';
            }
            field = field.trimmed();
        }
        Pupil pupil{fields[0], fields[1], fields[2], fields[3]};
        if (pupil.surname.isEmpty() && pupil.firstName.isEmpty())
            continue;
        pupils.append(pupil);
    }
    return pupils;
}
} // namespace

QList<QStringList> ParseSemicolonCsv(const QByteArray &bytes, qsizetype maxLines) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QList<QStringList> lines;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool lineHasContent = false;
    auto endLine = [&] {
        fields.append(field);
        if (lineHasContent)
            lines.append(fields);
        fields.clear();
        field.clear();
        lineHasContent = false;
    };
    for (qsizetype i = 0; i < text.size() && lines.size() < maxLines; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
            lineHasContent = true;
        } else if (c == u';') {
            fields.append(field);
            field.clear();
            lineHasContent = true;
        } else if (c == u'\n') {
            endLine();
        } else if (c != u'\r') {
            field += c;
            if (!c.isSpace())
                lineHasContent = true;
        }
    }
    if (lines.size() < maxLines)
        endLine();
    return lines;
}

QList<Pupil> ParseClassList(const QByteArray &bytes, QString *error) {
    return parsePupils(bytes, 3, error);
}

QList<Pupil> ParseCodeList(const QByteArray &bytes, QString *error) {
    QList<Pupil> pupils = parsePupils(bytes, 4, error);
    for (const Pupil &pupil : pupils) {
        if (pupil.code.isEmpty()) {
            if (error)
                *error = QStringLiteral("%1 %2 hat keinen Code.").arg(pupil.firstName, pupil.surname);
            return {};
        }
    }
    return pupils;
}

QByteArray CodeListBytes(const QList<Pupil> &pupils) {
    QString text = QStringLiteral("Nachname;Vorname;Klasse;Code\r\n");
    for (const Pupil &pupil : pupils) {
        text += csvField(pupil.surname) + u';' + csvField(pupil.firstName) + u';' + csvField(pupil.className) +
                u';' + pupil.code + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray CodeSlipsHtml(const QList<Pupil> &pupils) {
    QString body = QStringLiteral("<h1 class=\"nur-bildschirm\">Zugangscodes für die Kurswahl</h1>\n");
    for (const Pupil &pupil : pupils) {
        body += QStringLiteral("<section class=\"zettel\">\n<h2>Kurswahl im Browser</h2>\n<p>") +
                HtmlEscape(pupil.firstName + u' ' + pupil.surname) + QStringLiteral(", Klasse ") +
                HtmlEscape(pupil.className) + QStringLiteral("</p>\n<p>Dein persönlicher Code: <strong class=\"code\">") +
                HtmlEscape(pupil.code) +
                QStringLiteral("</strong></p>\n<p>Öffne die Adresse der Kurswahl, die deine Schule dir nennt, "
                               "und melde dich mit diesem Code an. Gib den Code nicht weiter.</p>\n</section>\n");
    }
    const QString style = QStringLiteral(
        "body{font-family:sans-serif;margin:1cm}.zettel{border:1px dashed #555;padding:.5cm;margin:0 0 .5cm;"
        "break-inside:avoid}.code{font-family:monospace;font-size:1.4em;letter-spacing:.1em}"
        "@media print{.nur-bildschirm{display:none}}");
    return (QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                           "<title>Zugangscodes</title>\n<style>") +
            style + QStringLiteral("</style>\n</head>\n<body>\n") + body + QStringLiteral("</body>\n</html>\n"))
        .toUtf8();
}
