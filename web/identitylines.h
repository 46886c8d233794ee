#pragma once

#include <QByteArray>
#include <QString>

// The lines after line 13 of a data file that say whose choice it is: "Nachname=…",
// "Vorname=…", "Klasse=…" in this order, UTF-8, each ended by CR LF; empty ones left out.
QByteArray IdentityLines(const QString &surname, const QString &firstName, const QString &className);
