#pragma once

#include "tools/run.h"

#include <optional>

// fachlese-check --abitur DATEI [--json]: the result of a points file of the window
// "Berechnung der Abinote", computed by the same model the window finds (abitur.ini).
// Nothing when the arguments hold no --abitur; otherwise the exit status: 0 passed, 1 not
// passed or not yet known, 2 a usage error or a file that cannot be read.
std::optional<int> RunAbiturCheck(const QList<QByteArray> &arguments, const CheckStreams &streams);

// The part of --help about --abitur.
QByteArray AbiturHelpText();
