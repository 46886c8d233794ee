#pragma once

#include <QString>
#include <QStringList>

// The command line of the program: `fachlese [DATEI.fld]`, `--help`, `--version`.
struct CommandLine {
    enum class Action {
        Run,        // start the window, with `file` opened when it is not empty
        Help,       // print HelpText() on standard output, exit status 0
        Version,    // print VersionText() on standard output, exit status 0
        UsageError, // print `error` and UsageText() on standard error, exit status 2
    };
    Action action = Action::Run;
    QString file;
    QString error;
};

// Reads the arguments after the program name. "--" ends the options; a lone "-" and any other
// text starting with "-" before it is an option.
CommandLine ParseCommandLine(const QStringList &arguments);

// True when an argument before "--" is one of the toolkit's own options (such as "-style" or
// "--platform"), which the application object takes out of the arguments; only then can the
// arguments be judged no earlier than after it is created.
bool HoldsToolkitOption(const QStringList &arguments);

// The bytes of the last of `argv`'s arguments (after the program name) that reads as `text`.
QByteArray NativeArgument(int argc, char **argv, const QString &text);

QString UsageText();
QString HelpText();
QString VersionText();

// The exit status of a usage error.
inline constexpr int kUsageExitStatus = 2;
