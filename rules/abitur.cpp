#include "rules/abitur.h"

#include "rules/catalog.h"
#include "rules/datafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringDecoder>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <map>

AbiturModel BuiltInAbiturModel() {
    AbiturModel model;
    model.name = QStringLiteral("vier Prüfungsfächer, 840 Punkte (eingebautes Modell)");
    return model;
}

int AbiturGradeTenths(int total, int maximum) {
    // N = 17/3 - 5E/M = (17M - 15E) / 3M; in tenths, cut: floor(10 (17M - 15E) / 3M).
    const long long numerator = 10LL * (17LL * maximum - 15LL * total);
    if (maximum <= 0 || numerator < 0)
        return 10;
    return std::max(10, static_cast<int>(numerator / (3LL * maximum)));
}

QString AbiturGradeText(int tenths) {
    return QStringLiteral("%1,%2").arg(tenths / 10).arg(tenths % 10);
}

namespace {

// The results with every missing one replaced by `missing`.
struct Filled {
    std::array<int, kAbiturGrundkurse> gk{};
    std::array<int, kAbiturLeistungskurse> lk{};
    std::array<int, kAbiturExamSubjects> course{};
    std::array<int, kAbiturExamSubjects> exam{};
};

template <std::size_t N>
void fillFrom(const std::array<AbiturPoints, N> &from, std::array<int, N> &to, int missing) {
    for (std::size_t i = 0; i < N; ++i)
        to[i] = from[i].value_or(missing);
}

Filled fill(const AbiturEntries &entries, int missing) {
    Filled f;
    fillFrom(entries.grundkurse, f.gk, missing);
    fillFrom(entries.leistungskurse, f.lk, missing);
    fillFrom(entries.semester4, f.course, missing);
    fillFrom(entries.pruefungen, f.exam, missing);
    return f;
}

// What the conditions look at.
struct Figures {
    int gk = 0, lk = 0, abi = 0;
    int gkUnder = 0;   // Grundkurse below the Unterkurs limit
    int lkGood = 0;    // Leistungskurse at the limit or above
    int lkZeros = 0;   // Leistungskurse with 0 points
    int strong = 0;    // exam subjects with course and exam at the subject minimum
    bool strongLk = false;
};

Figures figures(const AbiturModel &m, const Filled &f) {
    Figures s;
    for (const int p : f.gk) {
        s.gk += p * m.gkGewicht;
        s.gkUnder += p < m.unterkursGrenze;
    }
    for (int i = 0; i < kAbiturLeistungskurse; ++i) {
        s.lk += f.lk[i] * m.lkGewicht[i % 3];
        s.lkGood += f.lk[i] >= m.unterkursGrenze;
        s.lkZeros += f.lk[i] == 0;
    }
    for (int i = 0; i < kAbiturExamSubjects; ++i) {
        const int subject = f.course[i] * m.abiGewichtKurs + f.exam[i] * m.abiGewichtPruefung;
        s.abi += subject;
        if (subject >= m.abiFachMindestpunkte) {
            ++s.strong;
            s.strongLk = s.strongLk || i < 2;
        }
    }
    return s;
}

template <std::size_t N>
bool complete(const std::array<AbiturPoints, N> &values) {
    return std::all_of(values.begin(), values.end(), [](const AbiturPoints &p) { return p.has_value(); });
}

QString times(int weight, const QString &what) {
    return weight == 1 ? what : QStringLiteral("%1 × %2").arg(weight).arg(what);
}

} // namespace

AbiturResult EvaluateAbitur(const AbiturModel &m, const AbiturEntries &entries) {
    // Every condition asks for more points or fewer weak results, so it holds whatever the
    // missing results will be when it holds with all of them 0, and it fails whatever they
    // will be when it fails with all of them 15.
    const Figures worst = figures(m, fill(entries, 0));
    const Figures best = figures(m, fill(entries, kAbiturMaxPoints));
    const bool gkDone = complete(entries.grundkurse);
    const bool lkDone = complete(entries.leistungskurse);
    const bool abiDone = complete(entries.semester4) && complete(entries.pruefungen);

    AbiturResult r;
    const auto area = [](const QString &name, bool done, int points, int maximum) {
        return AbiturArea{name, done ? AbiturPoints(points) : std::nullopt, points, maximum};
    };
    r.areas = {area(QStringLiteral("Grundkurse"), gkDone, worst.gk, m.grundkurseMaximum()),
               area(QStringLiteral("Leistungskurse"), lkDone, worst.lk, m.leistungskurseMaximum()),
               area(QStringLiteral("Abiturbereich"), abiDone, worst.abi, m.abiturbereichMaximum())};
    r.totalMaximum = m.gesamtMaximum();
    if (gkDone && lkDone && abiDone)
        r.total = worst.gk + worst.lk + worst.abi;

    // `atLeast`: the figure must reach the bound (the worst case shows what is certain so
    // far); otherwise it must not exceed it (the best case shows it).
    const auto condition = [&r](const QString &text, bool done, bool atLeast, int worstFigure, int bestFigure,
                                int bound, const QString &reached) {
        AbiturCondition c;
        const bool holdsAtWorst = atLeast ? worstFigure >= bound : worstFigure <= bound;
        const bool holdsAtBest = atLeast ? bestFigure >= bound : bestFigure <= bound;
        if (!holdsAtBest)
            c.met = false;
        else if (holdsAtWorst)
            c.met = true;
        const int shown = atLeast ? worstFigure : bestFigure;
        c.text = text + QStringLiteral(" – ") + (done ? reached : QStringLiteral("bisher")) + u' ' +
                 QString::number(shown);
        r.conditions.append(c);
    };
    const QString reached = QStringLiteral("erreicht");
    const QString counted = QStringLiteral("es sind");
    condition(QStringLiteral("Grundkurse: mindestens %1 Punkte").arg(m.gkMindestpunkte), gkDone, true, worst.gk,
              best.gk, m.gkMindestpunkte, reached);
    condition(QStringLiteral("Grundkurse: höchstens %1 Ergebnisse unter %2 Punkten")
                  .arg(m.gkHoechstensUnterkurse)
                  .arg(m.unterkursGrenze),
              gkDone, false, worst.gkUnder, best.gkUnder, m.gkHoechstensUnterkurse, counted);
    condition(QStringLiteral("Leistungskurse: mindestens %1 Punkte").arg(m.lkMindestpunkte), lkDone, true,
              worst.lk, best.lk, m.lkMindestpunkte, reached);
    condition(QStringLiteral("Leistungskurse: mindestens %1 der %2 Ergebnisse mit %3 Punkten oder mehr")
                  .arg(m.lkMindestensOhneUnterkurs)
                  .arg(kAbiturLeistungskurse)
                  .arg(m.unterkursGrenze),
              lkDone, true, worst.lkGood, best.lkGood, m.lkMindestensOhneUnterkurs, counted);
    if (!m.lkNullErlaubt)
        condition(QStringLiteral("Leistungskurse: kein Ergebnis mit 0 Punkten"), lkDone, false, worst.lkZeros,
                  best.lkZeros, 0, counted);
    condition(QStringLiteral("Abiturbereich: mindestens %1 Punkte").arg(m.abiMindestpunkte), abiDone, true,
              worst.abi, best.abi, m.abiMindestpunkte, reached);
    if (m.abiFaecher > 0) {
        // Without a Leistungskurs among the strong subjects, they count as one short.
        const auto strong = [&m](const Figures &f) {
            return m.abiLkDabei && !f.strongLk ? std::min(f.strong, m.abiFaecher - 1) : f.strong;
        };
        condition(QStringLiteral("Abiturbereich: in mindestens %1 Prüfungsfächern%2 mindestens %3 Punkte (%4 + %5)")
                      .arg(m.abiFaecher)
                      .arg(m.abiLkDabei ? QStringLiteral(", darunter LK 1 oder LK 2,") : QString())
                      .arg(m.abiFachMindestpunkte)
                      .arg(times(m.abiGewichtKurs, QStringLiteral("Kurs")),
                           times(m.abiGewichtPruefung, QStringLiteral("Prüfung"))),
                  abiDone, true, strong(worst), strong(best), m.abiFaecher,
                  QStringLiteral("Fächer mit diesen Punkten:"));
    }

    bool allMet = true;
    for (int i = 0; i < r.conditions.size(); ++i) {
        const std::optional<bool> met = r.conditions.at(i).met;
        if (met == false && r.firstFailed < 0)
            r.firstFailed = i;
        allMet = allMet && met == true;
    }
    if (r.firstFailed >= 0)
        r.passed = false;
    else if (allMet)
        r.passed = true;
    if (r.passed == true && r.total)
        r.gradeTenths = AbiturGradeTenths(*r.total, r.totalMaximum);
    return r;
}

QStringList AbiturResult::areaLines() const {
    QStringList lines;
    for (const AbiturArea &a : areas) {
        lines << (a.points ? QStringLiteral("%1: %2 von %3").arg(a.name).arg(*a.points).arg(a.maximum)
                           : QStringLiteral("%1: ? von %2 (bisher %3)").arg(a.name).arg(a.maximum).arg(a.enteredPoints));
    }
    lines << QStringLiteral("Gesamt: %1 von %2")
                 .arg(total ? QString::number(*total) : QStringLiteral("?"))
                 .arg(totalMaximum);
    return lines;
}

QString AbiturResult::conditionLine(int index) const {
    const AbiturCondition &c = conditions.at(index);
    return (c.met == true ? QStringLiteral("✔ ") : c.met == false ? QStringLiteral("✖ ") : QStringLiteral("? ")) +
           c.text;
}

QString AbiturResult::verdictLine() const {
    if (passed == false)
        return QStringLiteral("nicht bestanden: ") + conditions.at(firstFailed).text;
    if (gradeTenths)
        return QStringLiteral("Durchschnittsnote ") + AbiturGradeText(*gradeTenths);
    return passed == true ? QStringLiteral("bestanden, Durchschnittsnote ?") : QStringLiteral("Durchschnittsnote ?");
}

AbiturNeeds NeededExamResult(const AbiturModel &model, const AbiturEntries &entries, int targetTenths) {
    AbiturNeeds needs;
    needs.ready = complete(entries.grundkurse) && complete(entries.leistungskurse) && complete(entries.semester4);
    if (!needs.ready)
        return needs;
    AbiturEntries trial = entries;
    for (int x = 0; x <= kAbiturMaxPoints && !needs.toReach; ++x) {
        trial.pruefungen.fill(x);
        const AbiturResult r = EvaluateAbitur(model, trial);
        if (r.passed == true && !needs.toPass)
            needs.toPass = x;
        if (r.gradeTenths && *r.gradeTenths <= targetTenths)
            needs.toReach = x;
    }
    return needs;
}

QStringList AbiturNeedsLines(const AbiturNeeds &needs, int targetTenths) {
    if (!needs.ready)
        return {QStringLiteral("Dafür fehlen noch Ergebnisse aus Block I oder Kurse des 4. Semesters.")};
    const auto answer = [](const AbiturPoints &x) {
        if (!x)
            return QStringLiteral("nicht erreichbar");
        return QStringLiteral("in jeder Prüfung mindestens %1 %2")
            .arg(*x)
            .arg(*x == 1 ? QStringLiteral("Punkt") : QStringLiteral("Punkte"));
    };
    return {QStringLiteral("Bestehen: ") + answer(needs.toPass),
            QStringLiteral("Note %1: ").arg(AbiturGradeText(targetTenths)) + answer(needs.toReach)};
}

// --- abitur.ini ---

namespace {

enum class KeyKind { Name, Int, Bool };

struct ModelKey {
    const char16_t *section;
    const char16_t *key;
    KeyKind kind;
    int minimum;
    int maximum;                              // -1: given by the model, see maximumOf
    int (*maximumOf)(const AbiturModel &);    // for maximum -1
    int &(*intField)(AbiturModel &);
    bool &(*boolField)(AbiturModel &);
};

#define INT_FIELD(member) [](AbiturModel &m) -> int & { return m.member; }
#define BOOL_FIELD(member) [](AbiturModel &m) -> bool & { return m.member; }

const ModelKey kModelKeys[] = {
    {u"Modell", u"Name", KeyKind::Name, 0, 0, nullptr, nullptr, nullptr},
    {u"Modell", u"Unterkursgrenze", KeyKind::Int, 1, 15, nullptr, INT_FIELD(unterkursGrenze), nullptr},
    {u"Grundkurse", u"Gewicht", KeyKind::Int, 1, 10, nullptr, INT_FIELD(gkGewicht), nullptr},
    {u"Grundkurse", u"Mindestpunkte", KeyKind::Int, 0, -1, [](const AbiturModel &m) { return m.grundkurseMaximum(); },
     INT_FIELD(gkMindestpunkte), nullptr},
    {u"Grundkurse", u"HoechstensUnterkurse", KeyKind::Int, 0, kAbiturGrundkurse, nullptr,
     INT_FIELD(gkHoechstensUnterkurse), nullptr},
    {u"Leistungskurse", u"Gewicht1", KeyKind::Int, 1, 10, nullptr, INT_FIELD(lkGewicht[0]), nullptr},
    {u"Leistungskurse", u"Gewicht2", KeyKind::Int, 1, 10, nullptr, INT_FIELD(lkGewicht[1]), nullptr},
    {u"Leistungskurse", u"Gewicht3", KeyKind::Int, 1, 10, nullptr, INT_FIELD(lkGewicht[2]), nullptr},
    {u"Leistungskurse", u"Mindestpunkte", KeyKind::Int, 0, -1,
     [](const AbiturModel &m) { return m.leistungskurseMaximum(); }, INT_FIELD(lkMindestpunkte), nullptr},
    {u"Leistungskurse", u"MindestensOhneUnterkurs", KeyKind::Int, 0, kAbiturLeistungskurse, nullptr,
     INT_FIELD(lkMindestensOhneUnterkurs), nullptr},
    {u"Leistungskurse", u"NullErlaubt", KeyKind::Bool, 0, 0, nullptr, nullptr, BOOL_FIELD(lkNullErlaubt)},
    {u"Abiturbereich", u"GewichtKurs", KeyKind::Int, 1, 10, nullptr, INT_FIELD(abiGewichtKurs), nullptr},
    {u"Abiturbereich", u"GewichtPruefung", KeyKind::Int, 1, 10, nullptr, INT_FIELD(abiGewichtPruefung), nullptr},
    {u"Abiturbereich", u"Mindestpunkte", KeyKind::Int, 0, -1,
     [](const AbiturModel &m) { return m.abiturbereichMaximum(); }, INT_FIELD(abiMindestpunkte), nullptr},
    {u"Abiturbereich", u"Faecher", KeyKind::Int, 0, kAbiturExamSubjects, nullptr, INT_FIELD(abiFaecher), nullptr},
    {u"Abiturbereich", u"FachMindestpunkte", KeyKind::Int, 0, -1, [](const AbiturModel &m) { return m.fachMaximum(); },
     INT_FIELD(abiFachMindestpunkte), nullptr},
    {u"Abiturbereich", u"LKDabei", KeyKind::Bool, 0, 0, nullptr, nullptr, BOOL_FIELD(abiLkDabei)},
};

#undef INT_FIELD
#undef BOOL_FIELD

constexpr qsizetype kMaxModelFileBytes = 64 * 1024;
constexpr int kMaxNameLength = 100;

bool sameWord(QStringView a, const char16_t *b) {
    return a.compare(QStringView(b), Qt::CaseInsensitive) == 0;
}

QString atLine(int line, const QString &text) {
    return QStringLiteral("Zeile %1: %2").arg(line).arg(text);
}

QString outOfRange(int value, int minimum, int maximum) {
    return QStringLiteral("Der Wert %1 liegt nicht zwischen %2 und %3.").arg(value).arg(minimum).arg(maximum);
}

} // namespace

std::optional<QString> ParseAbiturModel(const QByteArray &bytes, AbiturModel *model) {
    if (bytes.size() > kMaxModelFileBytes)
        return QStringLiteral("Die Datei ist größer als 64 KB.");
    AbiturModel m = BuiltInAbiturModel();
    std::map<const ModelKey *, int> lines; // the line of every key that was given
    const QString lineHelp = QStringLiteral(
        "Die Zeile ist weder ein Abschnitt wie [Grundkurse] noch eine Angabe wie Mindestpunkte = 110.");
    const ModelKey *sectionKeys = nullptr; // the first key of the current section
    int number = 0;
    for (const QByteArray &rawLine : bytes.split('\n')) {
        QByteArrayView raw = rawLine;
        ++number;
        if (number == 1 && raw.startsWith("\xEF\xBB\xBF"))
            raw = raw.sliced(3);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = decoder(raw);
        if (decoder.hasError())
            return atLine(number, QStringLiteral("Die Zeile ist kein UTF-8-Text."));
        const QString line = decoded.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return atLine(number, lineHelp);
            const QStringView name = QStringView(line).sliced(1, line.size() - 2).trimmed();
            sectionKeys = nullptr;
            for (const ModelKey &k : kModelKeys) {
                if (!sectionKeys && sameWord(name, k.section))
                    sectionKeys = &k;
            }
            if (!sectionKeys)
                return atLine(number, QStringLiteral("Einen Abschnitt [%1] gibt es nicht.").arg(name));
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 1)
            return atLine(number, lineHelp);
        const QString key = line.first(equals).trimmed();
        const QString value = line.sliced(equals + 1).trimmed();
        if (!sectionKeys)
            return atLine(number, QStringLiteral("Die Angabe „%1“ steht vor dem ersten Abschnitt.").arg(key));
        const ModelKey *found = nullptr;
        for (const ModelKey *k = sectionKeys; k != std::end(kModelKeys) && !found; ++k) {
            if (!sameWord(QStringView(k->section), sectionKeys->section))
                break;
            if (sameWord(key, k->key))
                found = k;
        }
        if (!found)
            return atLine(number, QStringLiteral("Eine Angabe „%1“ gibt es im Abschnitt [%2] nicht.")
                                      .arg(key, QString::fromUtf16(sectionKeys->section)));
        if (const auto earlier = lines.find(found); earlier != lines.end())
            return atLine(number, QStringLiteral("Die Angabe „%1“ steht schon in Zeile %2.").arg(key).arg(earlier->second));
        lines[found] = number;
        switch (found->kind) {
        case KeyKind::Name:
            if (value.isEmpty())
                return atLine(number, QStringLiteral("Der Name ist leer."));
            if (value.size() > kMaxNameLength)
                return atLine(number, QStringLiteral("Der Name ist länger als %1 Zeichen.").arg(kMaxNameLength));
            if (std::any_of(value.begin(), value.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
                return atLine(number, QStringLiteral("Der Name enthält Steuerzeichen."));
            m.name = value;
            break;
        case KeyKind::Bool:
            if (value.compare(u"ja", Qt::CaseInsensitive) != 0 && value.compare(u"nein", Qt::CaseInsensitive) != 0)
                return atLine(number, QStringLiteral("Der Wert „%1“ ist weder ja noch nein.").arg(value));
            found->boolField(m) = value.compare(u"ja", Qt::CaseInsensitive) == 0;
            break;
        case KeyKind::Int: {
            const bool digits = !value.isEmpty() && value.size() <= 6 &&
                                std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
            if (!digits)
                return atLine(number, QStringLiteral("Der Wert „%1“ ist keine ganze Zahl von 0 an.").arg(value));
            const int v = value.toInt();
            if (v < found->minimum || (found->maximum >= 0 && v > found->maximum))
                return atLine(number, outOfRange(v, found->minimum, found->maximum));
            found->intField(m) = v;
            break;
        }
        }
    }
    for (const ModelKey &k : kModelKeys) {
        if (!lines.count(&k))
            return QStringLiteral("Die Angabe „%1“ im Abschnitt [%2] fehlt.")
                .arg(QString::fromUtf16(k.key), QString::fromUtf16(k.section));
    }
    // The bounds that follow from the weights, now that all of them are known.
    for (const ModelKey &k : kModelKeys) {
        if (k.maximum < 0 && k.intField(m) > k.maximumOf(m))
            return atLine(lines[&k], outOfRange(k.intField(m), k.minimum, k.maximumOf(m)));
    }
    // Who passes has at least the three minima; below a third of all points the grade would
    // be worse than 4,0.
    const int minima = m.gkMindestpunkte + m.lkMindestpunkte + m.abiMindestpunkte;
    if (3 * minima < m.gesamtMaximum()) {
        int last = 0;
        for (const auto &[key, line] : lines)
            last = QStringView(key->key) == u"Mindestpunkte" ? std::max(last, line) : last;
        return atLine(last, QStringLiteral("Die Mindestpunkte der drei Bereiche ergeben zusammen %1, weniger als ein "
                                           "Drittel der %2 möglichen Punkte.")
                                .arg(minima)
                                .arg(m.gesamtMaximum()));
    }
    *model = m;
    return std::nullopt;
}

AbiturModelLoad LoadAbiturModel(const QStringList &folders) {
    AbiturModelLoad load;
    load.model = BuiltInAbiturModel();
    for (const QString &folder : folders) {
        const QFileInfo candidate(QDir(folder), kAbiturModelFileName);
        if (!candidate.isFile())
            continue;
        load.path = candidate.filePath();
        const QString fallback = QStringLiteral("\rBerechnet wird nach dem eingebauten Modell.");
        QFile file(load.path);
        if (!file.open(QIODevice::ReadOnly)) {
            load.message = QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(load.path) + fallback;
            return load;
        }
        if (const std::optional<QString> fault = ParseAbiturModel(file.read(kMaxModelFileBytes + 1), &load.model))
            load.message = QStringLiteral("Die Datei %1 ist fehlerhaft. %2").arg(load.path, *fault) + fallback;
        return load;
    }
    return load;
}

// --- The points file ---

namespace {

const QString kFormatName = QStringLiteral("fachlese-abitur");

struct PointList {
    const char *name;
    AbiturPoints *values;
    int count;
};

template <std::size_t N>
PointList pointList(const char *name, std::array<AbiturPoints, N> &values) {
    return {name, values.data(), static_cast<int>(N)};
}

QList<PointList> pointLists(AbiturEntries &e) {
    return {pointList("grundkurse", e.grundkurse), pointList("leistungskurse", e.leistungskurse),
            pointList("semester4", e.semester4), pointList("pruefungen", e.pruefungen)};
}

AbiturFileRead refused(AbiturFileStatus status, const QString &detail = QString()) {
    AbiturFileRead read;
    read.status = status;
    read.message = status == AbiturFileStatus::CannotOpen ? kCannotOpenMessage : kBadFormatMessage + CR + detail;
    return read;
}

} // namespace

AbiturFileRead ParseAbiturFile(const QByteArray &bytes) {
    if (bytes.size() > kMaxAbiturFileBytes)
        return refused(AbiturFileStatus::BadFormat, QStringLiteral("Die Datei ist größer als 64 KB."));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return refused(AbiturFileStatus::BadFormat, QStringLiteral("Die Datei ist kein gültiger JSON-Text."));
    const QJsonObject object = document.object();
    if (!document.isObject() || object.value(u"format").toString() != kFormatName)
        return refused(AbiturFileStatus::BadFormat, QStringLiteral("Die Datei ist keine Punktedatei von Fachlese."));
    const QJsonValue version = object.value(u"version");
    if (!version.isDouble() || version.toDouble() != 1)
        return refused(AbiturFileStatus::BadFormat,
                       QStringLiteral("Die Datei hat eine andere Version als 1 und kann nicht gelesen werden."));
    AbiturFileRead read;
    for (const PointList &list : pointLists(read.entries)) {
        const QString name = QString::fromLatin1(list.name);
        const QJsonValue value = object.value(name);
        if (!value.isArray() || value.toArray().size() != list.count)
            return refused(AbiturFileStatus::BadFormat,
                           QStringLiteral("„%1“ muss eine Liste mit %2 Werten sein.").arg(name).arg(list.count));
        const QJsonArray array = value.toArray();
        for (int i = 0; i < list.count; ++i) {
            const QJsonValue v = array.at(i);
            const double d = v.toDouble(-1);
            if (v.isNull())
                continue;
            if (!v.isDouble() || d < 0 || d > kAbiturMaxPoints || d != static_cast<int>(d))
                return refused(AbiturFileStatus::BadFormat,
                               QStringLiteral("„%1“, Wert %2: Erlaubt sind ganze Zahlen von 0 bis 15 und null.")
                                   .arg(name)
                                   .arg(i + 1));
            list.values[i] = static_cast<int>(d);
        }
    }
    read.status = AbiturFileStatus::Ok;
    return read;
}

AbiturFileRead ReadAbiturFile(const QString &path) {
    QFile file;
#ifdef Q_OS_UNIX
    // Opened without blocking, so that a FIFO does not wait for a writer, and read only when the
    // opened file is a regular one.
    int fd = -1;
    do {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return refused(AbiturFileStatus::CannotOpen);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(AbiturFileStatus::CannotOpen);
    }
#else
    file.setFileName(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return refused(AbiturFileStatus::CannotOpen);
#endif
    const QByteArray bytes = file.read(kMaxAbiturFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(AbiturFileStatus::CannotOpen);
    return ParseAbiturFile(bytes);
}

QByteArray EncodeAbiturFile(const AbiturEntries &entries) {
    AbiturEntries copy = entries;
    QByteArray bytes = "{\n  \"format\": \"fachlese-abitur\",\n  \"version\": 1";
    for (const PointList &list : pointLists(copy)) {
        bytes += ",\n  \"" + QByteArray(list.name) + "\": [";
        for (int i = 0; i < list.count; ++i) {
            if (i > 0)
                bytes += ", ";
            bytes += list.values[i] ? QByteArray::number(*list.values[i]) : QByteArray("null");
        }
        bytes += ']';
    }
    bytes += "\n}\n";
    return bytes;
}

bool SaveAbiturFile(const QString &path, const AbiturEntries &entries) {
    const QByteArray bytes = EncodeAbiturFile(entries);
    // Only a regular file is replaced, and a write-protected one stays as it is. The file is
    // written beside the target and renamed over it only when everything was written.
    const QFileInfo target(path);
    if (target.exists() && (!target.isFile() || !target.isWritable()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

QByteArray AbiturResultJson(const AbiturResult &result) {
    const auto text = [](const QString &s) {
        const QByteArray array = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    };
    const auto number = [](const AbiturPoints &p) { return p ? QByteArray::number(*p) : QByteArray("null"); };
    const auto truth = [](const std::optional<bool> &b) {
        return b ? QByteArray(*b ? "true" : "false") : QByteArray("null");
    };
    QByteArray json = "{\"bereiche\": {";
    for (int i = 0; i < result.areas.size(); ++i) {
        const AbiturArea &a = result.areas.at(i);
        json += (i > 0 ? ", " : "") + text(a.name.toLower()) + ": {\"punkte\": " + number(a.points) +
                ", \"hoechstens\": " + QByteArray::number(a.maximum) + '}';
    }
    json += "}, \"bedingungen\": [";
    for (int i = 0; i < result.conditions.size(); ++i) {
        const AbiturCondition &c = result.conditions.at(i);
        json += (i > 0 ? ", " : "") + QByteArray("{\"text\": ") + text(c.text) + ", \"erfuellt\": " + truth(c.met) + '}';
    }
    json += "], \"gesamt\": " + number(result.total) + ", \"note\": " +
            (result.gradeTenths ? text(AbiturGradeText(*result.gradeTenths)) : QByteArray("null")) +
            ", \"bestanden\": " + truth(result.passed) + "}\n";
    return json;
}
