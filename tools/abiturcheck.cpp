#include "tools/abiturcheck.h"

#include "rules/abitur.h"
#include "rules/folders.h"
#include "tools/checker.h"

#include <QDir>
#include <QFile>

namespace {
// Each line of a message (lines break at CR) as its own line on standard error.
QByteArray errorLines(const QString &message) {
    QByteArray bytes;
    for (const QString &line : message.split(u'\r'))
        bytes += "fachlese-check: " + line.toUtf8() + '\n';
    return bytes;
}
} // namespace

QByteArray AbiturHelpText() {
    return QStringLiteral(
               "\n"
               "Abiturpunkte:\n"
               "  fachlese-check --abitur DATEI [--json]\n"
               "\n"
               "Wertet eine Punktedatei aus dem Fenster „Berechnung der Abinote“ aus und gibt die drei\n"
               "Bereiche, jede Zulassungsbedingung und die Durchschnittsnote aus wie das Fenster, mit\n"
               "--json als JSON-Dokument. Gerechnet wird nach der Datei abitur.ini, die wie die Dokumente\n"
               "gesucht wird (aktueller Ordner, Ordner des Programms, ../share/fachlese), ohne sie nach\n"
               "dem eingebauten Modell mit vier Prüfungsfächern und 840 Punkten. Die Schule sollte das\n"
               "Modell mit ihrer Verordnung vergleichen. Rückgabewert: 0 bestanden, 1 nicht bestanden\n"
               "oder noch offen, 2 falscher Aufruf oder Datei nicht lesbar.\n")
        .toUtf8();
}

std::optional<int> RunAbiturCheck(const QList<QByteArray> &arguments, const CheckStreams &streams) {
    bool asked = false, json = false;
    QString usage;
    QByteArray file;
    bool fileNext = false;
    for (const QByteArray &argument : arguments) {
        if (argument == "--")
            break;
        if (fileNext) {
            file = argument;
            fileNext = false;
        } else if (argument == "--abitur") {
            asked = fileNext = true;
        } else if (argument.startsWith("--abitur=")) {
            asked = true;
            file = argument.mid(9);
        } else if (argument == "--json") {
            json = true;
        } else if (usage.isEmpty()) {
            usage = QStringLiteral("--abitur verträgt sich nur mit --json: ") + ShownPath(argument);
        }
    }
    if (!asked)
        return std::nullopt;
    if (file.isEmpty())
        usage = QStringLiteral("--abitur verlangt einen Namen");
    if (!usage.isEmpty()) {
        streams.err(errorLines(usage) + "Hilfe: fachlese-check --help\n");
        return 2;
    }
    const AbiturModelLoad load = LoadAbiturModel(DocumentFolders(QDir::currentPath(), ProgramFolder()));
    if (!load.message.isEmpty())
        streams.err(errorLines(load.message));
    const AbiturFileRead read = ReadAbiturFile(QFile::decodeName(file));
    if (read.status != AbiturFileStatus::Ok) {
        streams.err(errorLines(ShownPath(file) + QStringLiteral(": ") + read.message));
        return 2;
    }
    const AbiturResult result = EvaluateAbitur(load.model, read.entries);
    if (json) {
        streams.out(AbiturResultJson(result));
    } else {
        QStringList lines{QStringLiteral("Berechnung nach: ") + load.model.name};
        lines << result.areaLines();
        for (int i = 0; i < result.conditions.size(); ++i)
            lines << result.conditionLine(i);
        lines << result.verdictLine();
        streams.out(lines.join(u'\n').toUtf8() + '\n');
    }
    return result.passed == true ? 0 : 1;
}
