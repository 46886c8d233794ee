#include "rules/catalog.h"

const std::array<QString, kSubjectCodeCount> SubjectCatalog = {
    QString(),
    QStringLiteral("Deutsch"),
    QStringLiteral("Englisch"),
    QStringLiteral("Französisch"),
    QStringLiteral("Spanisch"),
    QStringLiteral("Latein"),
    QStringLiteral("Türkisch"),
    QStringLiteral("Kunst"),
    QStringLiteral("Musik"),
    QStringLiteral("Geschichte"),
    QStringLiteral("Erdkunde"),
    QStringLiteral("Politik"),
    QStringLiteral("Pädagogik"),
    QStringLiteral("Religion"),
    QStringLiteral("Werte u. Normen"),
    QStringLiteral("Mathematik"),
    QStringLiteral("Physik"),
    QStringLiteral("Biologie"),
    QStringLiteral("Chemie"),
    QStringLiteral("Informatik"),
    QStringLiteral("Sport"),
    QStringLiteral("Sport-Theorie"),
    QStringLiteral("unbekannt"),
};

const std::array<QString, kSubjectCodeCount> SubjectAbbreviations = {
    QString(),
    QStringLiteral("DE"),
    QStringLiteral("EN"),
    QStringLiteral("FR"),
    QStringLiteral("SN"),
    QStringLiteral("LA"),
    QStringLiteral("TU"),
    QStringLiteral("KU"),
    QStringLiteral("MU"),
    QStringLiteral("GE"),
    QStringLiteral("EK"),
    QStringLiteral("PO"),
    QStringLiteral("PA"),
    QStringLiteral("RE"),
    QStringLiteral("WN"),
    QStringLiteral("MA"),
    QStringLiteral("PH"),
    QStringLiteral("BI"),
    QStringLiteral("CH"),
    QStringLiteral("IN"),
    QStringLiteral("SP"),
    QStringLiteral("ST"),
    QStringLiteral("??"),
};

QString TrimBlanks(const QString &text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    qsizetype start = 0;
    while (start < end && text.at(start) == u' ')
        ++start;
    return text.mid(start, end - start);
}

SubjectCode LookupSubjectCode(const QString &text) {
    const QString trimmed = TrimBlanks(text);
    for (int code = 0; code < kSubjectCodeCount; ++code) {
        if (trimmed == SubjectCatalog[code])
            return static_cast<SubjectCode>(code);
    }
    return kUnknownSubject;
}
