#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>

// The whole of fachlese-check, apart from the process around it: reads the arguments,
// checks every file and writes the report. Returns the exit status: 0 when every file
// passed, 1 when at least one failed the test, 2 on a usage error or when a file or a folder
// could not be read. The arguments are the bytes the system passed, so that a path is found
// whatever its name. `out` and `err` receive the bytes for standard output and standard error; the
// report reaches `out` in pieces of some 64 KiB (the CSV at its end), each message for `err` at once.
struct CheckStreams {
    std::function<void(const QByteArray &)> out;
    std::function<void(const QByteArray &)> err;
};

int RunCheck(const QList<QByteArray> &arguments, const CheckStreams &streams);

// The German help of --help.
QByteArray CheckHelpText();

// The line of --version: "fachlese-check" and the program's version.
QByteArray CheckVersionText();
