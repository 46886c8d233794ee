#include "tools/run.h"

#include "tools/checker.h"
#include "tools/report.h"

namespace {
constexpr int kAllPassed = 0;
constexpr int kSomeFailed = 1;
constexpr int kTrouble = 2;
constexpr qsizetype kFlushSize = 64 * 1024;

struct Options {
    ReportFormat format = ReportFormat::Text;
    bool foreignLanguageContinued = true;
    bool help = false;
    QStringList paths;
    QString error; // non-empty on a usage error
};

Options parseArguments(const QStringList &arguments) {
    Options options;
    bool json = false;
    bool csv = false;
    bool onlyPaths = false;
    for (const QString &argument : arguments) {
        if (onlyPaths || !argument.startsWith(u'-') || argument == u"-") {
            options.paths.append(argument);
        } else if (argument == u"--") {
            onlyPaths = true;
        } else if (argument == u"--help" || argument == u"-h") {
            options.help = true;
        } else if (argument == u"--json") {
            json = true;
        } else if (argument == u"--csv") {
            csv = true;
        } else if (argument == u"--foreign-lk=yes") {
            options.foreignLanguageContinued = true;
        } else if (argument == u"--foreign-lk=no") {
            options.foreignLanguageContinued = false;
        } else if (argument.startsWith(u"--foreign-lk") && options.error.isEmpty()) {
            options.error = QStringLiteral("--foreign-lk verlangt den Wert yes oder no: ") + argument;
        } else if (!argument.startsWith(u"--foreign-lk") && options.error.isEmpty()) {
            options.error = QStringLiteral("unbekannte Option: ") + argument;
        }
    }
    if (options.error.isEmpty() && json && csv)
        options.error = QStringLiteral("--json und --csv schließen einander aus");
    if (options.error.isEmpty() && options.paths.isEmpty() && !options.help)
        options.error = QStringLiteral("keine Datei und kein Ordner angegeben");
    options.format = json ? ReportFormat::Json : csv ? ReportFormat::Csv : ReportFormat::Text;
    return options;
}
} // namespace

QByteArray CheckHelpText() {
    return QStringLiteral(
               "Aufruf: fachlese-check [OPTIONEN] PFAD...\n"
               "\n"
               "Prüft gespeicherte Kurswahlen (.fld-Dateien) ohne Fenster nach denselben Regeln wie\n"
               "„Wahl testen“ im Programm Fachlese. PFAD ist eine .fld-Datei oder ein Ordner; ein Ordner\n"
               "wird mit allen Unterordnern nach *.fld-Dateien durchsucht, die in der Reihenfolge ihrer\n"
               "Pfade geprüft werden. Eine Datei, die sich nicht lesen lässt, wird gemeldet, und die\n"
               "Prüfung geht mit der nächsten weiter.\n"
               "\n"
               "Die Frage, ob die Fremdsprache im LK weitergeführt ist, wird mit Ja beantwortet, das\n"
               "Angebot, den Fachlesebogen zu drucken, mit Nein.\n"
               "\n"
               "Optionen:\n"
               "  --json            ein JSON-Dokument mit allen Meldungen und Antworten ausgeben\n"
               "  --csv             eine Zeile je Datei für die Tabellenkalkulation ausgeben\n"
               "                    (Datei;Ergebnis;Kurse;Meldung, UTF-8 mit BOM)\n"
               "  --foreign-lk=no   die Frage nach der weitergeführten LK-Fremdsprache mit Nein\n"
               "                    beantworten (--foreign-lk=yes: mit Ja, die Voreinstellung)\n"
               "  -h, --help        diese Hilfe anzeigen\n"
               "  --                alles Folgende sind Pfade\n"
               "\n"
               "Ohne --json und --csv erscheint je Datei eine Zeile mit dem Ergebnis, darunter die\n"
               "Meldung, an der die Wahl gescheitert ist, und am Ende eine Zusammenfassung.\n"
               "\n"
               "Rückgabewert:\n"
               "  0  alle Wahlen haben den Test bestanden\n"
               "  1  mindestens eine Wahl hat den Test nicht bestanden\n"
               "  2  falscher Aufruf, oder mindestens eine Datei war nicht lesbar\n")
        .toUtf8();
}

int RunCheck(const QStringList &arguments, const CheckStreams &streams) {
    const Options options = parseArguments(arguments);
    if (options.help) {
        streams.out(CheckHelpText());
        return kAllPassed;
    }
    if (!options.error.isEmpty()) {
        streams.err(
            QStringLiteral("fachlese-check: %1\nHilfe: fachlese-check --help\n").arg(options.error).toUtf8());
        return kTrouble;
    }

    ChoiceChecker checker(options.foreignLanguageContinued);
    ReportWriter report(options.format);
    CheckSummary summary;
    QByteArray out;
    out.reserve(kFlushSize + 16 * 1024);
    report.begin(out);
    for (const QString &file : CollectChoiceFiles(options.paths)) {
        const FileCheck check = checker.check(file);
        summary.add(check);
        if (check.outcome() == FileCheck::Outcome::Unreadable)
            streams.err(UnreadableFileMessage(check));
        report.file(check, out);
        if (out.size() >= kFlushSize) {
            streams.out(out);
            out.resize(0); // keeps the buffer for the next piece
        }
    }
    report.end(summary, out);
    streams.out(out);

    if (summary.unreadable > 0)
        return kTrouble;
    return summary.failed > 0 ? kSomeFailed : kAllPassed;
}
