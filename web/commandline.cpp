#include "web/commandline.h"

#include "web/netaddress.h"

const QString kWebUsage = QStringLiteral(
    "Aufruf:\n"
    "  fachlese-web --codes LISTE.csv --ausgabe CODES.csv\n"
    "      Liest die Klassenliste (Nachname;Vorname;Klasse) und schreibt sie mit einem Code je\n"
    "      Schülerin und Schüler nach CODES.csv, dazu die Zettel zum Ausdrucken (CODES.html).\n"
    "  fachlese-web --daten ORDNER --zugang CODES.csv [--verwaltung DATEI] [--adresse 127.0.0.1]\n"
    "               [--port 8080] [--frist JJJJ-MM-TTTHH:MM]\n"
    "      Bietet die Kurswahl im Browser an und legt jede Abgabe als .fld-Datei im ORDNER ab.\n"
    "      --verwaltung  Datei, deren erste Zeile der Code der Koordination ist (Übersicht)\n"
    "      --adresse     Adresse, auf der der Server lauscht (Vorgabe 127.0.0.1)\n"
    "      --port        Port (Vorgabe 8080; 0 nimmt einen freien Port)\n"
    "      --frist       Ende der Abgabe, Ortszeit\n"
    "  fachlese-web --help | --version\n");

std::optional<WebOptions> ParseWebCommandLine(const QStringList &arguments, QString *error) {
    WebOptions options;
    bool codes = false;
    bool serve = false;
    const auto fail = [&](const QString &text) {
        *error = text;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments.at(i);
        std::optional<QString> value;
        if (const qsizetype equals = name.indexOf(u'='); name.startsWith(u"--") && equals > 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        if (name == u"--help" || name == u"-h") {
            options.mode = WebOptions::Mode::Help;
            return options;
        }
        if (name == u"--version") {
            options.mode = WebOptions::Mode::Version;
            return options;
        }
        static const QStringList withValue = {QStringLiteral("--codes"),  QStringLiteral("--ausgabe"),
                                              QStringLiteral("--daten"),  QStringLiteral("--zugang"),
                                              QStringLiteral("--verwaltung"), QStringLiteral("--adresse"),
                                              QStringLiteral("--port"),   QStringLiteral("--frist")};
        if (!withValue.contains(name))
            return fail(QStringLiteral("Unbekannte Angabe: %1").arg(arguments.at(i)));
        if (!value) {
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("Nach %1 fehlt der Wert.").arg(name));
            value = arguments.at(++i);
        }
        if (name == u"--codes") {
            options.classList = *value;
            codes = true;
        } else if (name == u"--ausgabe") {
            options.codeList = *value;
            codes = true;
        } else if (name == u"--daten") {
            options.dataFolder = *value;
            serve = true;
        } else if (name == u"--zugang") {
            options.accessList = *value;
            serve = true;
        } else if (name == u"--verwaltung") {
            options.coordinator = *value;
            serve = true;
        } else if (name == u"--adresse") {
            NetAddress parsed;
            if (!ParseNetAddress(*value, 0, &parsed))
                return fail(QStringLiteral("Die Adresse »%1« ist keine IP-Adresse.").arg(*value));
            options.address = *value;
            serve = true;
        } else if (name == u"--port") {
            bool ok = false;
            const uint port = value->toUInt(&ok);
            if (!ok || port > 65535)
                return fail(QStringLiteral("Der Port »%1« ist keine Zahl von 0 bis 65535.").arg(*value));
            options.port = quint16(port);
            serve = true;
        } else if (name == u"--frist") {
            QDateTime deadline = QDateTime::fromString(*value, QStringLiteral("yyyy-MM-dd'T'HH:mm"));
            if (!deadline.isValid())
                return fail(QStringLiteral("Die Frist »%1« hat nicht die Form JJJJ-MM-TTTHH:MM.").arg(*value));
            options.deadline = deadline;
            serve = true;
        }
    }
    if (codes && serve)
        return fail(QStringLiteral("--codes/--ausgabe und die Angaben zum Server gehören zu zwei verschiedenen Aufrufen."));
    if (codes) {
        if (options.classList.isEmpty() || options.codeList.isEmpty())
            return fail(QStringLiteral("--codes braucht die Klassenliste und --ausgabe die Datei für die Codes."));
        options.mode = WebOptions::Mode::Codes;
        return options;
    }
    if (options.dataFolder.isEmpty() || options.accessList.isEmpty())
        return fail(QStringLiteral("Der Server braucht --daten ORDNER und --zugang CODES.csv."));
    return options;
}
