#include "shell/commandline.h"

#include <QFile>

using namespace Qt::StringLiterals;

CommandLine ParseCommandLine(const QStringList &arguments) {
    CommandLine line;
    QStringList files;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (!optionsEnded && argument == "--"_L1) {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "--help"_L1 || argument == "-h"_L1)) {
            return {CommandLine::Action::Help, {}, {}};
        } else if (!optionsEnded && argument == "--version"_L1) {
            return {CommandLine::Action::Version, {}, {}};
        } else if (!optionsEnded && argument.startsWith(u'-')) {
            return {CommandLine::Action::UsageError, {}, u"fachlese: unbekannte Option „%1“"_s.arg(argument)};
        } else if (argument.isEmpty()) {
            return {CommandLine::Action::UsageError, {}, u"fachlese: leerer Dateiname"_s};
        } else {
            files << argument;
        }
    }
    if (files.size() > 1)
        return {CommandLine::Action::UsageError, {}, u"fachlese: es kann nur eine Datei geöffnet werden"_s};
    if (!files.isEmpty())
        line.file = files.first();
    return line;
}

bool HoldsToolkitOption(const QStringList &arguments) {
    static const QStringList toolkitOptions{u"platform"_s,
                                            u"platformpluginpath"_s,
                                            u"platformtheme"_s,
                                            u"plugin"_s,
                                            u"qwindowgeometry"_s,
                                            u"qwindowicon"_s,
                                            u"qwindowtitle"_s,
                                            u"reverse"_s,
                                            u"session"_s,
                                            u"style"_s,
                                            u"stylesheet"_s,
                                            u"widgetcount"_s,
                                            u"display"_s,
                                            u"geometry"_s,
                                            u"name"_s,
                                            u"title"_s,
                                            u"visual"_s,
                                            u"sync"_s,
                                            u"nograb"_s,
                                            u"dograb"_s};
    for (const QString &argument : arguments) {
        if (argument == "--"_L1)
            return false;
        if (!argument.startsWith(u'-'))
            continue;
        // The toolkit takes "-style", "--style" and "-style=fusion" alike.
        const QString name = argument.mid(argument.startsWith("--"_L1) ? 2 : 1).section(u'=', 0, 0);
        if (toolkitOptions.contains(name))
            return true;
    }
    return false;
}

QByteArray NativeArgument(int argc, char **argv, const QString &text) {
    for (int i = argc - 1; i >= 1; --i) {
        if (QString::fromLocal8Bit(argv[i]) == text)
            return QByteArray(argv[i]);
    }
    return QFile::encodeName(text);
}

QString UsageText() {
    return u"Aufruf: fachlese [DATEI.fld]\n"
           u"Mehr dazu: fachlese --help\n"_s;
}

QString HelpText() {
    return u"Aufruf: fachlese [OPTION] [DATEI.fld]\n"
           u"Fachlese, das Beratungsprogramm für die Kurswahl in der Oberstufe.\n"
           u"\n"
           u"Mit einer Datei öffnet Fachlese nach dem Informationsfenster diese gespeicherte\n"
           u"Kurswahl, wie es „Datei > Öffnen“ tut.\n"
           u"\n"
           u"  -h, --help     diese Hilfe zeigen und beenden\n"
           u"      --version  die Version zeigen und beenden\n"
           u"      --         alles Weitere ist ein Dateiname, auch wenn es mit „-“ beginnt\n"
           u"\n"
           u"Rückgabewert: 0 nach normalem Ende, 2 bei einem Fehler im Aufruf.\n"_s;
}

QString VersionText() {
    return u"fachlese " FACHLESE_VERSION "\n"_s;
}
