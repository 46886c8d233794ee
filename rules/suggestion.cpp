#include "rules/suggestion.h"

#include "rules/catalog.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// A spelling of a subject, letter case folded.
struct Spelling {
    QString folded;
    SubjectCode code;
};

// Usual abbreviations and other spellings that are neither the name nor its beginning.
struct Alias {
    const char16_t *text;
    SubjectCode code;
};
constexpr Alias kAliases[] = {
    {u"deu", Subject::Deutsch},
    {u"engl", Subject::Englisch},
    {u"frz", Subject::Franzoesisch},
    {u"franzoesisch", Subject::Franzoesisch},
    {u"spa", Subject::Spanisch},
    {u"tue", Subject::Tuerkisch},
    {u"tuerk", Subject::Tuerkisch},
    {u"tuerkisch", Subject::Tuerkisch},
    {u"geo", Subject::Erdkunde},
    {u"pol", Subject::Politik},
    {u"päd", Subject::Paedagogik},
    {u"paed", Subject::Paedagogik},
    {u"paedagogik", Subject::Paedagogik},
    {u"reli", Subject::Religion},
    {u"rel", Subject::Religion},
    {u"wun", Subject::WerteUndNormen},
    {u"w. u. n.", Subject::WerteUndNormen},
    {u"werte und normen", Subject::WerteUndNormen},
    {u"werte u normen", Subject::WerteUndNormen},
    {u"mathe", Subject::Mathematik},
    {u"phy", Subject::Physik},
    {u"bio", Subject::Biologie},
    {u"inf", Subject::Informatik},
    {u"info", Subject::Informatik},
    {u"sport praxis", Subject::Sport},
    {u"sportpraxis", Subject::Sport},
    {u"sporttheorie", Subject::SportTheorie},
    {u"sport theorie", Subject::SportTheorie},
    {u"spth", Subject::SportTheorie},
    {u"sth", Subject::SportTheorie},
};

// Names and the longer aliases: what prefixes and near spellings are compared with.
const std::vector<Spelling> &longSpellings() {
    static const std::vector<Spelling> spellings = [] {
        std::vector<Spelling> list;
        for (int code = 1; code < kUnknownSubject; ++code)
            list.push_back({SubjectCatalog[code].toCaseFolded(), static_cast<SubjectCode>(code)});
        for (const Alias &alias : kAliases) {
            const QString text = QString::fromUtf16(alias.text);
            if (text.size() > 5)
                list.push_back({text, alias.code});
        }
        return list;
    }();
    return spellings;
}

// The sheet's abbreviations and the aliases above.
SubjectCode abbreviationCode(const QString &folded) {
    for (int code = 1; code < kUnknownSubject; ++code) {
        if (folded == SubjectAbbreviations[code].toCaseFolded())
            return static_cast<SubjectCode>(code);
    }
    for (const Alias &alias : kAliases) {
        if (QStringView(alias.text) == folded)
            return alias.code;
    }
    return kEmptySubject;
}

// The one subject whose spellings satisfy `matches`; empty when none or several do.
template <typename Predicate> SubjectCode uniqueMatch(Predicate matches) {
    SubjectCode found = kEmptySubject;
    for (const Spelling &spelling : longSpellings()) {
        if (!matches(spelling.folded))
            continue;
        if (found != kEmptySubject && found != spelling.code)
            return kEmptySubject;
        found = spelling.code;
    }
    return found;
}

// Edit distance with swaps of neighbours (optimal string alignment), stopping early above
// `limit`: the result is then limit + 1.
int distance(QStringView a, QStringView b, int limit) {
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (std::abs(n - m) > limit)
        return limit + 1;
    std::vector<int> previous2(m + 1), previous(m + 1), current(m + 1);
    for (qsizetype j = 0; j <= m; ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = int(i);
        int rowMinimum = current[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, previous2[j - 2] + 1);
            current[j] = d;
            rowMinimum = std::min(rowMinimum, d);
        }
        if (rowMinimum > limit)
            return limit + 1;
        std::swap(previous2, previous);
        std::swap(previous, current);
    }
    return std::min(previous[m], limit + 1);
}

// How many letters may differ: none for very short texts, whose near names are mostly
// other words.
int distanceLimit(qsizetype length) {
    if (length <= 3)
        return 0;
    return length <= 5 ? 1 : 2;
}

} // namespace

QString SuggestSubject(const QString &text) {
    if (LookupSubjectCode(text) != kUnknownSubject)
        return QString(); // empty, or a subject as the test reads it
    const QString folded = text.simplified().toCaseFolded();
    if (folded.isEmpty())
        return QString();

    // 1. The name in other letter case.
    for (int code = 1; code < kUnknownSubject; ++code) {
        if (folded == SubjectCatalog[code].toCaseFolded())
            return SubjectCatalog[code];
    }
    // 2. An abbreviation.
    if (const SubjectCode code = abbreviationCode(folded); code != kEmptySubject)
        return SubjectCatalog[code];
    // 3. The beginning of one subject's name.
    if (folded.size() >= 2) {
        const SubjectCode code =
            uniqueMatch([&folded](const QString &spelling) { return spelling.startsWith(folded); });
        if (code != kEmptySubject)
            return SubjectCatalog[code];
    }
    // 4. One or two letters away from exactly one subject.
    const int limit = distanceLimit(folded.size());
    if (limit > 0) {
        const SubjectCode code = uniqueMatch(
            [&folded, limit](const QString &spelling) { return distance(folded, spelling, limit) <= limit; });
        if (code != kEmptySubject)
            return SubjectCatalog[code];
    }
    return QString();
}
