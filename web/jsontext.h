#pragma once

#include <QByteArray>
#include <QString>

// A text as a JSON string, quotes included: UTF-8, with ", \ and control characters escaped.
QByteArray JsonQuote(const QString &text);
