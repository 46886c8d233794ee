#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The options of fachlese-web.
struct WebOptions {
    enum class Mode { Serve, Codes, Help, Version };
    Mode mode = Mode::Serve;
    QString classList;   // --codes
    QString codeList;    // --ausgabe
    QString dataFolder;  // --daten
    QString accessList;  // --zugang
    QString coordinator; // --verwaltung
    QString address = QStringLiteral("127.0.0.1");
    quint16 port = 8080;
    std::optional<QDateTime> deadline; // --frist, local time
};

// The options from the arguments (without the program name). On a mistake: nothing, and
// `error` says in German what is wrong.
std::optional<WebOptions> ParseWebCommandLine(const QStringList &arguments, QString *error);

extern const QString kWebUsage;
