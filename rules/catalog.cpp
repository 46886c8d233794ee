#include "rules/catalog.h"

#include <algorithm>
#include <string_view>

namespace {
// The names, indexed by code; the catalog and the lookup read them from here.
constexpr std::u16string_view kNames[kSubjectCodeCount] = {
    u"",          u"Deutsch",    u"Englisch",        u"Französisch",   u"Spanisch",  u"Latein",
    u"Türkisch",  u"Kunst",      u"Musik",           u"Geschichte",    u"Erdkunde",  u"Politik",
    u"Pädagogik", u"Religion",   u"Werte u. Normen", u"Mathematik",    u"Physik",    u"Biologie",
    u"Chemie",    u"Informatik", u"Sport",           u"Sport-Theorie", u"unbekannt",
};

constexpr std::size_t longestName() {
    std::size_t longest = 0;
    for (const std::u16string_view name : kNames)
        longest = std::max(longest, name.size());
    return longest;
}
constexpr std::size_t kLongestName = longestName();
constexpr std::size_t kMostOfOneLength = 8;

// The subjects 1 ... 21 grouped by the length of their names, so that a lookup compares a
// text with the few names of its length only. Each group ends at the first 0.
using LengthGroups = std::array<std::array<SubjectCode, kMostOfOneLength>, kLongestName + 1>;
constexpr LengthGroups groupByLength() {
    LengthGroups groups{};
    for (int code = 1; code < kUnknownSubject; ++code) {
        auto &group = groups[kNames[code].size()];
        std::size_t i = 0;
        while (group[i] != kEmptySubject)
            ++i;
        group[i] = static_cast<SubjectCode>(code); // fails to compile when a group is full
    }
    return groups;
}
constexpr LengthGroups kByLength = groupByLength();

QString catalogName(int code) {
    const std::u16string_view name = kNames[code];
    if (name.empty())
        return QString();
    return QString::fromRawData(reinterpret_cast<const QChar *>(name.data()), qsizetype(name.size()));
}
} // namespace

const std::array<QString, kSubjectCodeCount> SubjectCatalog = {
    catalogName(0),  catalogName(1),  catalogName(2),  catalogName(3),  catalogName(4),  catalogName(5),
    catalogName(6),  catalogName(7),  catalogName(8),  catalogName(9),  catalogName(10), catalogName(11),
    catalogName(12), catalogName(13), catalogName(14), catalogName(15), catalogName(16), catalogName(17),
    catalogName(18), catalogName(19), catalogName(20), catalogName(21), catalogName(22),
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

QStringView TrimBlanksView(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    qsizetype start = 0;
    while (start < end && text[start] == u' ')
        ++start;
    return text.sliced(start, end - start);
}

QString TrimBlanks(const QString &text) {
    const QStringView trimmed = TrimBlanksView(text);
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

SubjectCode LookupTrimmedSubjectCode(QStringView text) {
    const qsizetype length = text.size();
    if (length == 0)
        return kEmptySubject;
    if (length > qsizetype(kLongestName))
        return kUnknownSubject;
    const char16_t *letters = reinterpret_cast<const char16_t *>(text.utf16());
    for (const SubjectCode code : kByLength[length]) {
        if (code == kEmptySubject)
            break;
        const std::u16string_view name = kNames[code];
        if (name[0] == letters[0] && std::equal(name.begin(), name.end(), letters))
            return code;
    }
    return kUnknownSubject;
}

SubjectCode LookupSubjectCode(const QString &text) {
    return LookupTrimmedSubjectCode(TrimBlanksView(text));
}
