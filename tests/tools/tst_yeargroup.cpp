#include "rules/catalog.h"
#include "support/checkprocess.h"
#include "support/tables.h"
#include "tools/courses.h"

// After tables.h, whose functions would otherwise see two fileBytes.
#include "support/files.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <set>

using namespace Qt::StringLiterals;

namespace {
// The data rows of a CSV file without BOM and header, each split at ';' (the generated texts
// hold no ';' and no '"').
QList<QStringList> csvRows(const QString &path) {
    QList<QStringList> rows;
    const QStringList lines = QString::fromUtf8(fileBytes(path)).split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i)
        rows.append(lines[i].split(u';'));
    return rows;
}
} // namespace

// Course lists, the clash table and the block proposal of fachlese-check, checked against a
// count of their own over a generated year group.
class YearGroupTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    // Per file (as reported): its name fields and, per semester, its courses ("Mathematik LK").
    struct Pupil {
        QString surname, firstName, className;
        QList<std::set<QString>> courses{GridModel::kSemesters};
    };
    QMap<QString, Pupil> m_pupils;
    QMap<QString, QStringList> m_expected; // "semester|course" -> its files, sorted

private slots:
    // 150 choices of random subjects, blanks, unknown entries and empty cells; every tenth
    // without a name; the first one saved twice, the others born on different days.
    void initTestCase() {
        QVERIFY(m_dir.isValid() && QDir(m_dir.path()).mkpath(u"jg"_s));
        QRandomGenerator random(22);
        const QStringList surnames = {u"Nowak"_s, u"Özdemir"_s, u"Peters"_s,
                                      u"Adams"_s, u"Yılmaz"_s,  u"Ähnlich"_s};
        const QStringList firstNames = {u"Ayşe"_s, u"Łukasz"_s, u"Anna"_s, u"Ben"_s};
        for (int i = 0; i < 150; ++i) {
            Pupil pupil;
            QByteArray bytes = "Fachlese\r\n";
            for (int row = 1; row <= GridModel::kDataRows; ++row) {
                QStringList cells;
                for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
                    const int pick = int(random.bounded(26));
                    QString cell =
                        pick < 21 ? SubjectCatalog[pick + 1] : pick < 23 ? QString() : u"Astrologie"_s;
                    if (pick == 25)
                        cell = u" "_s + SubjectCatalog[1 + (i % 21)] + u"  "_s;
                    cells.append(cell);
                    const QString trimmed = cell.trimmed();
                    if (row <= GridModel::kCourseRows && trimmed != u"Astrologie"_s && !trimmed.isEmpty())
                        pupil.courses[semester - 1].insert(trimmed + (row <= 2 ? u" LK"_s : u" GK"_s));
                }
                bytes += cells.join(u'\t').toLatin1() + "\r\n";
            }
            if (i % 10 != 5) {
                pupil = {surnames[i % surnames.size()], firstNames[i % firstNames.size()],
                         u"10"_s + QChar(u'a' + i % 3), pupil.courses};
                bytes += "Nachname=" + pupil.surname.toUtf8() + "\r\nVorname=" + pupil.firstName.toUtf8() +
                         "\r\nKlasse=" + pupil.className.toUtf8() + "\r\nGeburtsdatum=" +
                         QByteArray::number(1 + i % 28) + '.' + QByteArray::number(1 + i / 28) + ".2008\r\n";
            }
            const QString name = u"jg/w%1.fld"_s.arg(i, 3, 10, QChar(u'0'));
            QVERIFY(writeFile(m_dir.filePath(name), bytes));
            m_pupils.insert(name, pupil);
            if (i == 0) {
                QVERIFY(QFile::copy(m_dir.filePath(name), m_dir.filePath(u"jg/zweimal.fld"_s)));
                m_pupils.insert(u"jg/zweimal.fld"_s, pupil);
            }
        }
        QByteArray out, err;
        const QString options = u"--kurslisten --kollisionen --bloecke --kursgroesse 7 --ausgabe aus jg"_s;
        QCOMPARE(runCheck(m_dir.path(), options.split(u' '), out, err), 1);
        QCOMPARE(err, QByteArray());
        for (auto it = m_pupils.cbegin(); it != m_pupils.cend(); ++it)
            for (int s = 0; s < GridModel::kSemesters; ++s)
                for (const QString &course : it->courses[s])
                    m_expected[QString::number(s + 1) + u'|' + course].append(it.key());
    }

    // One row per pupil and course, the pupil's fields as in the file; Sport-Theorie a course
    // of its own; in each list the names in order, umlauts as their base letter.
    void courseLists() {
        QMap<QString, QStringList> written, surnames;
        QSet<QString> unnamed;
        for (const QStringList &row : csvRows(m_dir.filePath(u"aus/kurse.csv"_s))) {
            QCOMPARE(row.size(), 7);
            const Pupil &pupil = m_pupils.value(row[6]);
            QCOMPARE(row.mid(3, 3), (QStringList{pupil.surname, pupil.firstName, pupil.className}));
            const QString key = row[0] + u'|' + row[1] + u' ' + row[2];
            written[key].append(row[6]);
            QVERIFY2(row[3].isEmpty() || !unnamed.contains(key), "pupils without a name come last");
            if (row[3].isEmpty())
                unnamed.insert(key);
            else if (surnames[key].isEmpty() || surnames[key].last() != row[3])
                surnames[key].append(row[3]);
        }
        for (QStringList &files : written)
            files.sort();
        QCOMPARE(written, m_expected);
        QVERIFY(m_expected.contains(u"1|Sport-Theorie GK"_s));
        const QStringList order = {u"Adams"_s,   u"Ähnlich"_s, u"Nowak"_s,
                                   u"Özdemir"_s, u"Peters"_s,  u"Yılmaz"_s};
        QCOMPARE(surnames.value(u"2|Deutsch GK"_s), order);
    }

    // Symmetric, the diagonal the course sizes, every pair counted anew; nothing for a pair
    // without a shared pupil.
    void clashTable() {
        QMap<QString, int> table;
        for (const QStringList &row : csvRows(m_dir.filePath(u"aus/kollisionen.csv"_s))) {
            QVERIFY(row[3].toInt() > 0);
            table.insert(row.mid(0, 3).join(u'|'), row[3].toInt());
        }
        int pairs = 0;
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            QMap<std::pair<QString, QString>, int> shared;
            for (const Pupil &pupil : m_pupils)
                for (const QString &a : pupil.courses[s - 1])
                    for (const QString &b : pupil.courses[s - 1])
                        ++shared[{a, b}];
            for (auto it = shared.cbegin(); it != shared.cend(); ++it) { // both orders of each pair
                QCOMPARE(table.value(QString::number(s) + u'|' + it.key().first + u'|' + it.key().second),
                         it.value());
                ++pairs;
            }
        }
        QCOMPARE(table.size(), pairs);
    }

    // Every course of a semester in exactly one block, no two courses of a block shared by a
    // pupil; the HTML names the method and calls it a proposal.
    void blocks() {
        QMap<QString, QStringList> blocks; // "semester|block" -> courses
        QMap<QString, QStringList> placed; // as m_expected
        for (const QStringList &row : csvRows(m_dir.filePath(u"aus/bloecke.csv"_s))) {
            blocks[row[0] + u'|' + row[1]].append(row[2]);
            const QString course = row[0] + u'|' + row[2];
            QVERIFY2(!placed.contains(course), qPrintable(course)); // in one block only
            placed.insert(course, m_expected.value(course));
            QCOMPARE(row[3].toInt(), m_expected.value(course).size());
        }
        for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
            const int s = it.key().section(u'|', 0, 0).toInt();
            for (const Pupil &pupil : m_pupils) {
                int taken = 0;
                for (const QString &course : *it)
                    taken += int(pupil.courses[s - 1].count(course));
                QVERIFY2(taken <= 1, qPrintable(it.key()));
            }
        }
        QCOMPARE(placed, m_expected);
        const QString html = QString::fromUtf8(fileBytes(m_dir.filePath(u"aus/kurse.html"_s)));
        QVERIFY(html.contains(u"Ein Vorschlag, kein fertiger Plan"_s));
        QCOMPARE(html.count(u"Verfahren: "_s), 4);
        QCOMPARE(fileBytes(m_dir.filePath(u"aus/bloecke.txt"_s)).count("Verfahren: "), 4);
        QVERIFY(html.contains(u"<td class=\"diagonale\">"_s));
    }

    // The search: a graph that DSatur alone colours with four blocks, where three do; cut short,
    // the greedy colouring stands and says so.
    void search() {
        const QList<std::pair<int, int>> edges = {{0, 4}, {0, 6}, {0, 7}, {1, 3}, {1, 4}, {1, 5}, {2, 4},
                                                  {2, 5}, {2, 7}, {3, 5}, {3, 7}, {4, 6}, {5, 7}};
        const auto clash = [&](int a, int b) { return edges.contains({a, b}) || edges.contains({b, a}); };
        const QList<int> courses = {0, 1, 2, 3, 4, 5, 6, 7};
        const BlockProposal exact = ProposeBlocks(courses, clash, 1000);
        QCOMPARE(exact.blocks.size(), 3);
        QCOMPARE(exact.result, BlockProposal::Result::Exact);
        QVERIFY(BlockMethod(exact).startsWith(u"exakte Suche (DSatur mit Branch and Bound, "_s));
        for (const QList<int> &block : exact.blocks)
            for (const int a : block)
                QVERIFY(std::none_of(block.cbegin(), block.cend(), [&](int b) { return clash(a, b); }));
        const BlockProposal cut = ProposeBlocks(courses, clash, 1);
        QCOMPARE(cut.result, BlockProposal::Result::Greedy);
        QCOMPARE(cut.blocks.size(), 4);
        QVERIFY(BlockMethod(cut).contains(u"wenigstens 3 Schienen"_s));
        QCOMPARE(ProposeBlocks(courses, [](int, int) { return false; }, 1000).blocks.size(), 1);
    }

    // The reports name the pupils and the pupil with two files; the CSV gets the name columns.
    void namesInReports_data() {
        tables::addTextRows(u"tools/data/yeargroup-names.tsv"_s, {"arguments", "where", "piece"});
    }

    void namesInReports() {
        QFETCH(QString, arguments);
        QFETCH(QString, where);
        QFETCH(QString, piece);
        QByteArray out, err;
        runCheck(m_dir.path(), arguments.split(u' '), out, err);
        const QByteArray text =
            where == u"out"_s ? out : where == u"err"_s ? err : fileBytes(m_dir.filePath(where));
        QVERIFY2(text.contains(piece.toUtf8()), qPrintable(piece));
    }
};

QTEST_GUILESS_MAIN(YearGroupTest)
#include "tst_yeargroup.moc"
