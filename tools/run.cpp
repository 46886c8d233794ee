#include "tools/run.h"

#include "tools/abiturcheck.h"
#include "tools/checker.h"
#include "tools/courses.h"
#include "tools/pupils.h"
#include "tools/report.h"
#include "tools/statistics.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QSaveFile>

namespace {
constexpr int kAllPassed = 0;
constexpr int kSomeFailed = 1;
constexpr int kTrouble = 2;
constexpr qsizetype kFlushSize = 64 * 1024;

struct Options {
    ReportFormat format = ReportFormat::Text;
    bool foreignLanguageContinued = true;
    bool help = false;
    bool version = false;
    bool statistics = false;
    bool checklist = false;
    QString reportFile;  // --bericht
    QString tableFolder; // --ausgabe
    CourseOutputs courses; // --kurslisten, --kollisionen, --bloecke, --kursgroesse
    QList<QByteArray> paths;
    QString error; // non-empty on a usage error
};

Options parseArguments(const QList<QByteArray> &arguments) {
    Options options;
    bool json = false;
    bool csv = false;
    bool onlyPaths = false;
    QString groupSize;
    const auto fail = [&options](const QString &error) {
        if (options.error.isEmpty())
            options.error = error;
    };
    // An option with a value takes it from "--option=VALUE" or from the next argument.
    QString *pendingValue = nullptr;
    QByteArray pendingOption;
    const auto takeValue = [&](const QByteArray &argument, const QByteArray &option, QString *value) {
        if (argument == option) {
            pendingValue = value;
            pendingOption = option;
            return true;
        }
        if (!argument.startsWith(option + '='))
            return false;
        *value = QFile::decodeName(argument.mid(option.size() + 1));
        if (value->isEmpty())
            fail(QString::fromUtf8(option) + QStringLiteral(" verlangt einen Namen"));
        return true;
    };
    for (const QByteArray &argument : arguments) {
        if (pendingValue) {
            *pendingValue = QFile::decodeName(argument);
            if (argument.isEmpty())
                fail(QString::fromUtf8(pendingOption) + QStringLiteral(" verlangt einen Namen"));
            pendingValue = nullptr;
        } else if (argument.isEmpty()) {
            fail(QStringLiteral("leeres Argument: ein PFAD darf nicht leer sein"));
        } else if (onlyPaths || !argument.startsWith('-') || argument == "-") {
            options.paths.append(argument);
        } else if (argument == "--") {
            onlyPaths = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--json") {
            json = true;
        } else if (argument == "--csv") {
            csv = true;
        } else if (argument == "--statistik") {
            options.statistics = true;
        } else if (argument == "--pruefliste") {
            options.checklist = true;
        } else if (argument == "--kurslisten") {
            options.courses.lists = true;
        } else if (argument == "--kollisionen") {
            options.courses.clashes = true;
        } else if (argument == "--bloecke") {
            options.courses.blocks = true;
        } else if (takeValue(argument, "--kursgroesse", &groupSize)) {
        } else if (takeValue(argument, "--bericht", &options.reportFile) ||
                   takeValue(argument, "--ausgabe", &options.tableFolder)) {
        } else if (argument == "--foreign-lk=yes") {
            options.foreignLanguageContinued = true;
        } else if (argument == "--foreign-lk=no") {
            options.foreignLanguageContinued = false;
        } else if (argument.startsWith("--foreign-lk")) {
            fail(QStringLiteral("--foreign-lk verlangt den Wert yes oder no: ") + ShownPath(argument));
        } else {
            fail(QStringLiteral("unbekannte Option: ") + ShownPath(argument));
        }
    }
    if (options.checklist && csv)
        fail(QStringLiteral("--pruefliste gilt nur für die Text- und die JSON-Ausgabe"));
    if (pendingValue)
        fail(QString::fromUtf8(pendingOption) + QStringLiteral(" verlangt einen Namen"));
    if (json && csv)
        fail(QStringLiteral("--json und --csv schließen einander aus"));
    if (csv && options.statistics && options.tableFolder.isEmpty())
        fail(QStringLiteral("--statistik mit --csv verlangt --ausgabe ORDNER für die Tabellen"));
    const bool courseFiles = options.courses.lists || options.courses.clashes || options.courses.blocks;
    if (courseFiles && options.tableFolder.isEmpty())
        fail(QStringLiteral("--kurslisten, --kollisionen und --bloecke verlangen --ausgabe ORDNER"));
    if (!groupSize.isEmpty()) {
        bool ok = false;
        options.courses.groupSize = groupSize.toInt(&ok);
        if (!ok || options.courses.groupSize < 1 || options.courses.groupSize > 1000)
            fail(QStringLiteral("--kursgroesse verlangt eine Zahl von 1 bis 1000: ") + groupSize);
        if (!courseFiles)
            fail(QStringLiteral("--kursgroesse gilt nur zusammen mit --kurslisten oder --bloecke"));
    }
    if (!options.tableFolder.isEmpty() && !(csv && options.statistics) && !courseFiles)
        fail(QStringLiteral("--ausgabe gilt nur zusammen mit --csv und --statistik"));
    if (options.paths.isEmpty() && !options.help && !options.version)
        fail(QStringLiteral("keine Datei und kein Ordner angegeben"));
    options.format = json ? ReportFormat::Json : csv ? ReportFormat::Csv : ReportFormat::Text;
    return options;
}

// The date of the report: today, or the day of SOURCE_DATE_EPOCH when it is set (for
// reports that do not change from one day to the next).
QString reportDate() {
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    const QDate date = ok ? QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC).date() : QDate::currentDate();
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QByteArray errorLine(const QString &text) {
    QByteArray line = "fachlese-check: ";
    AppendVisible(text, VisibleTabs::Escape, line);
    line.append('\n');
    return line;
}
} // namespace

QByteArray CheckHelpText() {
    return QStringLiteral(
               "Aufruf: fachlese-check [OPTIONEN] PFAD...\n"
               "\n"
               "Prüft gespeicherte Kurswahlen (.fld-Dateien) ohne Fenster nach denselben Regeln wie\n"
               "„Wahl testen“ im Programm Fachlese. PFAD ist eine .fld-Datei oder ein Ordner; ein Ordner\n"
               "wird mit allen Unterordnern nach *.fld-Dateien durchsucht, die in der Reihenfolge ihrer\n"
               "Pfade geprüft werden (Verknüpfungen auf Ordner und versteckte Einträge ausgenommen).\n"
               "Eine Datei oder ein Ordner, die sich nicht lesen lassen, werden gemeldet, und die\n"
               "Prüfung geht mit der nächsten weiter.\n"
               "\n"
               "Die Frage, ob die Fremdsprache im LK weitergeführt ist, wird mit Ja beantwortet, das\n"
               "Angebot, den Fachlesebogen zu drucken, mit Nein.\n"
               "\n"
               "Optionen:\n"
               "  --json            ein JSON-Dokument mit allen Meldungen und Antworten ausgeben\n"
               "  --csv             eine Zeile je Datei für die Tabellenkalkulation ausgeben\n"
               "                    (Datei;Ergebnis;Kurse;Meldung;Grund;LK1;LK2;PK3;PK4, UTF-8 mit BOM)\n"
               "  --statistik       Planungszahlen: Schülerinnen und Schüler je Fach und Semester als\n"
               "                    LK, PK und GK, LK-Paare, Prüfungsfach-Kombinationen und die Gründe\n"
               "                    des Scheiterns; als Text nach der Zusammenfassung, mit --json im\n"
               "                    Dokument (\"statistics\"), mit --csv als Tabellen im Ordner von "
               "--ausgabe\n"
               "  --ausgabe ORDNER  der Ordner für die Tabellen von --csv --statistik und für die Dateien\n"
               "                    der folgenden drei Optionen (kurse.html für alle drei)\n"
               "  --kurslisten      je Semester und Kurs (Fach als LK oder als GK, PK eingeschlossen,\n"
               "                    Sport-Theorie für sich) die sortierte Liste der Schülerinnen und\n"
               "                    Schüler: kurse.csv (Semester;Fach;Kursart;Nachname;Vorname;Klasse;\n"
               "                    Datei) und kurse.html (ein Kurs je Seite, mit der Zahl der Gruppen)\n"
               "  --kollisionen     je Semester und Kurspaar, wie viele beide Kurse belegen:\n"
               "                    kollisionen.csv (Semester;Kurs A;Kurs B;Schueler) und eine Farbtabelle\n"
               "  --bloecke         ein Vorschlag für die Schienen: die Kurse eines Semesters auf möglichst\n"
               "                    wenige Blöcke verteilt, ohne dass jemand zwei Kurse eines Blocks hat;\n"
               "                    bloecke.csv (Semester;Block;Kurs;Schueler), das Verfahren in bloecke.txt\n"
               "  --kursgroesse N   höchstens N Schülerinnen und Schüler je Gruppe (Voreinstellung 25)\n"
               "  --bericht DATEI   einen Bericht zum Ansehen und Drucken als HTML-Datei schreiben\n"
               "  --pruefliste      zu jeder Datei alle Punkte der Prüfliste ausgeben (Verstöße und\n"
               "                    Hinweise, jede Regel für sich)\n"
               "  --foreign-lk=no   die Frage nach der weitergeführten LK-Fremdsprache mit Nein\n"
               "                    beantworten (--foreign-lk=yes: mit Ja, die Voreinstellung)\n"
               "  -h, --help        diese Hilfe anzeigen\n"
               "  --version         die Version anzeigen\n"
               "  --                alles Folgende sind Pfade (auch „-“ ist immer ein Pfad)\n"
               "\n"
               "Ohne --json und --csv erscheint je Datei eine Zeile mit dem Ergebnis, darunter die\n"
               "Meldung, an der die Wahl gescheitert ist, und am Ende eine Zusammenfassung.\n"               "Nennt eine Datei die Person (Nachname, Vorname, Klasse, Geburtsdatum), steht der Name\n"
               "hinter dem Dateinamen, in --json als \"pupil\" und in --csv in den Spalten Nachname;\n"
               "Vorname;Klasse am Ende. Mehrere Dateien derselben Person (alle vier Angaben gleich)\n"
               "werden nach der Zusammenfassung genannt, in --json als \"duplicates\", mit --csv auf der\n"
               "Standardfehlerausgabe.\n"
               "Steuerzeichen aus Dateien und Dateinamen erscheinen dabei sichtbar (\\x1B), Bytes eines\n"
               "Dateinamens, die kein UTF-8 sind, als \\xFC.\n"
               "\n"
               "Rückgabewert:\n"
               "  0  alle Wahlen haben den Test bestanden\n"
               "  1  mindestens eine Wahl hat den Test nicht bestanden\n"
               "  2  falscher Aufruf, mindestens eine Datei oder ein Ordner war nicht lesbar, oder der\n"
               "     Bericht oder die Tabellen ließen sich nicht schreiben\n")
               .toUtf8() +
           AbiturHelpText();
}

QByteArray CheckVersionText() {
    return QByteArrayLiteral("fachlese-check " FACHLESE_VERSION "\n");
}

int RunCheck(const QList<QByteArray> &arguments, const CheckStreams &streams) {
    if (const std::optional<int> status = RunAbiturCheck(arguments, streams))
        return *status;
    const Options options = parseArguments(arguments);
    if (options.help) {
        streams.out(CheckHelpText());
        return kAllPassed;
    }
    if (options.version) {
        streams.out(CheckVersionText());
        return kAllPassed;
    }
    if (!options.error.isEmpty()) {
        streams.err(errorLine(options.error) + "Hilfe: fachlese-check --help\n");
        return kTrouble;
    }

    ChoiceChecker checker(options.foreignLanguageContinued, options.checklist);
    ReportWriter report(options.format, options.checklist);
    CheckSummary summary;
    PlanningStatistics statistics;
    DuplicateFinder pupils;
    YearGroupCourses courses;
    const bool courseFiles = options.courses.lists || options.courses.clashes || options.courses.blocks;
    const bool collect = options.statistics || !options.reportFile.isEmpty();
    QByteArray out;
    out.reserve(kFlushSize + 16 * 1024);
    report.begin(out);
    const ChoiceFiles files = CollectChoiceFiles(options.paths);
    for (const QByteArray &folder : files.unreadableFolders)
        streams.err(errorLine(ShownPath(folder) + QStringLiteral(": Der Ordner kann nicht gelesen werden")));
    for (const QByteArray &file : files.files) {
        const FileCheck check = checker.check(file);
        summary.add(check);
        if (collect)
            statistics.add(check);
        pupils.add(check);
        if (courseFiles)
            courses.add(check);
        if (check.outcome() == FileCheck::Outcome::Unreadable)
            streams.err(UnreadableFileMessage(check));
        report.file(check, out);
        if (out.size() >= kFlushSize) {
            streams.out(out);
            out.resize(0); // keeps the buffer for the next piece
        }
    }
    QByteArray jsonStatistics;
    if (options.statistics && options.format == ReportFormat::Json)
        AppendStatisticsJson(statistics, jsonStatistics);
    const QList<DuplicatePupil> duplicates = pupils.duplicates();
    if (options.format == ReportFormat::Json)
        AppendDuplicatesJson(duplicates, jsonStatistics);
    report.end(summary, out, jsonStatistics);
    if (options.format == ReportFormat::Text)
        AppendDuplicatesText(duplicates, out);
    else if (options.format == ReportFormat::Csv && !duplicates.isEmpty())
        streams.err(DuplicatesMessage(duplicates));
    if (options.statistics && options.format == ReportFormat::Text)
        AppendStatisticsText(statistics, out);
    streams.out(out);

    bool written = true;
    QString error;
    if (options.statistics && options.format == ReportFormat::Csv &&
        !WriteStatisticsCsv(statistics, options.tableFolder, &error)) {
        streams.err(errorLine(error));
        written = false;
    }
    if (!options.reportFile.isEmpty()) {
        QStringList folders;
        for (const QByteArray &path : options.paths)
            folders.append(ShownPath(path));
        QByteArray html = StatisticsHtml(statistics, reportDate(), folders.join(QStringLiteral(", ")));
        AppendDuplicatesHtml(duplicates, html);
        QSaveFile file(options.reportFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(html) != html.size() || !file.commit()) {
            streams.err(
                errorLine(options.reportFile + QStringLiteral(": Die Datei kann nicht geschrieben werden")));
            written = false;
        }
    }

    if (courseFiles) {
        courses.finish();
        if (!WriteCourseFiles(courses, options.courses, options.tableFolder, reportDate(), &error)) {
            streams.err(errorLine(error));
            written = false;
        }
    }

    if (summary.unreadable > 0 || !files.unreadableFolders.isEmpty() || !written)
        return kTrouble;
    return summary.failed > 0 ? kSomeFailed : kAllPassed;
}
