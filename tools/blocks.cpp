#include "tools/courses.h"

#include "tools/report.h"
#include "tools/statistics.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace {
using Mask = std::uint64_t; // a set of vertices, or of colours (blocks)

// Colours the vertices of a graph of at most 64 vertices with as few colours as it can: DSatur
// (always the vertex whose neighbours show the most colours, ties to the one with the most
// uncoloured neighbours), first greedily, then as a branch and bound search over the same order.
class Colouring {
public:
    Colouring(std::vector<Mask> neighbours, qint64 stepLimit)
        : m_neighbours(std::move(neighbours)), m_count(int(m_neighbours.size())), m_stepLimit(stepLimit) {}

    BlockProposal::Result run();

    std::vector<int> best;
    int bestColours = 0;
    int lowerBound = 0;
    qint64 steps = 0;
    bool finished = true;

private:
    int pick(const std::vector<int> &colour, const std::vector<Mask> &seen) const;
    void search(std::vector<int> &colour, std::vector<Mask> &seen, int coloured, int used);
    int largestClique() const;

    std::vector<Mask> m_neighbours;
    int m_count;
    qint64 m_stepLimit;
};

int Colouring::pick(const std::vector<int> &colour, const std::vector<Mask> &seen) const {
    Mask uncoloured = 0;
    for (int v = 0; v < m_count; ++v) {
        if (colour[static_cast<std::size_t>(v)] < 0)
            uncoloured |= Mask{1} << v;
    }
    int chosen = -1, saturation = -1, degree = -1;
    for (Mask rest = uncoloured; rest; rest &= rest - 1) {
        const int v = std::countr_zero(rest);
        const int s = std::popcount(seen[static_cast<std::size_t>(v)]);
        const int d = std::popcount(m_neighbours[static_cast<std::size_t>(v)] & uncoloured);
        if (s > saturation || (s == saturation && d > degree)) {
            chosen = v;
            saturation = s;
            degree = d;
        }
    }
    return chosen;
}

int Colouring::largestClique() const {
    int largest = m_count > 0 ? 1 : 0;
    for (int start = 0; start < m_count; ++start) {
        Mask candidates = m_neighbours[static_cast<std::size_t>(start)];
        int size = 1;
        while (candidates) {
            // The candidate with the most neighbours among the other candidates.
            int chosen = -1, most = -1;
            for (Mask rest = candidates; rest; rest &= rest - 1) {
                const int v = std::countr_zero(rest);
                const int n = std::popcount(m_neighbours[static_cast<std::size_t>(v)] & candidates);
                if (n > most) {
                    chosen = v;
                    most = n;
                }
            }
            ++size;
            candidates &= m_neighbours[static_cast<std::size_t>(chosen)];
        }
        largest = std::max(largest, size);
    }
    return largest;
}

void Colouring::search(std::vector<int> &colour, std::vector<Mask> &seen, int coloured, int used) {
    if (!finished || used >= bestColours)
        return;
    if (++steps > m_stepLimit) {
        finished = false;
        return;
    }
    if (coloured == m_count) {
        best = colour;
        bestColours = used;
        return;
    }
    const int v = pick(colour, seen);
    const Mask neighbours = m_neighbours[static_cast<std::size_t>(v)];
    std::vector<Mask> before = seen;
    for (int c = 0; c <= used && bestColours > lowerBound; ++c) {
        if (c == used && used + 1 >= bestColours)
            break; // a new block cannot beat the best proposal
        if (seen[static_cast<std::size_t>(v)] & (Mask{1} << c))
            continue;
        colour[static_cast<std::size_t>(v)] = c;
        for (Mask rest = neighbours; rest; rest &= rest - 1)
            seen[static_cast<std::size_t>(std::countr_zero(rest))] |= Mask{1} << c;
        search(colour, seen, coloured + 1, c == used ? used + 1 : used);
        seen = before;
        colour[static_cast<std::size_t>(v)] = -1;
        if (!finished)
            return;
    }
}

BlockProposal::Result Colouring::run() {
    std::vector<int> colour(static_cast<std::size_t>(m_count), -1);
    std::vector<Mask> seen(static_cast<std::size_t>(m_count), 0);
    // Greedy first: it is the proposal when the search does not finish.
    bestColours = 0;
    for (int i = 0; i < m_count; ++i) {
        const int v = pick(colour, seen);
        const int c = std::countr_one(seen[static_cast<std::size_t>(v)]);
        colour[static_cast<std::size_t>(v)] = c;
        bestColours = std::max(bestColours, c + 1);
        for (Mask rest = m_neighbours[static_cast<std::size_t>(v)]; rest; rest &= rest - 1)
            seen[static_cast<std::size_t>(std::countr_zero(rest))] |= Mask{1} << c;
    }
    best = colour;
    lowerBound = largestClique();
    if (bestColours > lowerBound) {
        std::fill(colour.begin(), colour.end(), -1);
        std::fill(seen.begin(), seen.end(), 0);
        search(colour, seen, 0, 0);
    }
    return finished || bestColours == lowerBound ? BlockProposal::Result::Exact : BlockProposal::Result::Greedy;
}
} // namespace

BlockProposal ProposeBlocks(const QList<int> &courses, const std::function<bool(int, int)> &clash,
                            qint64 stepLimit) {
    std::vector<Mask> neighbours(static_cast<std::size_t>(courses.size()), 0);
    for (qsizetype a = 0; a < courses.size(); ++a) {
        for (qsizetype b = 0; b < courses.size(); ++b) {
            if (a != b && clash(courses[a], courses[b]))
                neighbours[static_cast<std::size_t>(a)] |= Mask{1} << b;
        }
    }
    Colouring colouring(std::move(neighbours), stepLimit);
    BlockProposal proposal;
    proposal.result = colouring.run();
    proposal.lowerBound = colouring.lowerBound;
    proposal.steps = colouring.steps;
    proposal.blocks.resize(colouring.bestColours);
    for (qsizetype i = 0; i < courses.size(); ++i)
        proposal.blocks[colouring.best[static_cast<std::size_t>(i)]].append(courses[i]);
    // Blocks in the order of their first course.
    std::sort(proposal.blocks.begin(), proposal.blocks.end(),
              [](const QList<int> &a, const QList<int> &b) { return a.first() < b.first(); });
    return proposal;
}

QString BlockMethod(const BlockProposal &proposal) {
    if (proposal.result == BlockProposal::Result::Exact && proposal.steps == 0)
        return QStringLiteral("gierige Färbung nach DSatur; weniger Schienen gehen nicht, denn %1 Kurse "
                              "haben paarweise gemeinsame Schülerinnen oder Schüler")
            .arg(proposal.lowerBound);
    if (proposal.result == BlockProposal::Result::Exact)
        return QStringLiteral("exakte Suche (DSatur mit Branch and Bound, %1 Schritte): weniger Schienen "
                              "gehen nicht")
            .arg(proposal.steps);
    return QStringLiteral("gierige Färbung nach DSatur (die exakte Suche brach nach %1 Schritten ab): "
                          "wenigstens %2 Schienen sind nötig, vielleicht genügen weniger als vorgeschlagen")
        .arg(proposal.steps)
        .arg(proposal.lowerBound);
}

void AppendBlocks(const YearGroupCourses &year, QByteArray &csv, QByteArray &text, QByteArray &html,
                  int groupSize) {
    csv.append("\xEF\xBB\xBF"
               "Semester;Block;Kurs;Schueler\r\n");
    html.append("<h2>Vorschlag für die Schienen</h2>\n<p>Ein Vorschlag, kein fertiger Plan: Die Kurse eines "
                "Semesters sind so auf möglichst wenige Schienen (Blöcke) verteilt, dass niemand zwei Kurse "
                "derselben Schiene belegt. Die Gruppen eines Kurses (höchstens ");
    html.append(QByteArray::number(groupSize));
    html.append(" je Gruppe) liegen in seiner Schiene nebeneinander. Lehrkräfte und Räume sind nicht "
                "berücksichtigt.</p>\n");
    for (int semester = 1; semester <= GridModel::kSemesters; ++semester) {
        const QList<int> courses = year.courses(semester);
        const BlockProposal proposal = ProposeBlocks(
            courses, [&](int a, int b) { return year.shared(semester, a, b) > 0; }, kBlockSearchSteps);
        const QString summary = QStringLiteral("%1 Schienen für %2 Kurse; Verfahren: ")
                                    .arg(proposal.blocks.size())
                                    .arg(courses.size()) +
                                BlockMethod(proposal);
        text.append(QByteArray::number(semester) + ". Semester: " + summary.toUtf8() + '\n');
        html.append("<h3>" + QByteArray::number(semester) + ". Semester</h3>\n<p>");
        html.append(HtmlEscaped(summary).toUtf8());
        html.append("</p>\n<table class=\"schienen\">\n<thead><tr><th>Schiene</th><th>Kurse (Schüler, Gruppen)"
                    "</th><th class=\"n\">Schüler</th></tr></thead>\n<tbody>\n");
        for (qsizetype block = 0; block < proposal.blocks.size(); ++block) {
            QStringList names;
            int pupils = 0;
            for (const int course : proposal.blocks[block]) {
                const int size = year.shared(semester, course, course);
                pupils += size;
                csv.append(QByteArray::number(semester) + ';' + QByteArray::number(block + 1) + ';');
                AppendCsvField(CourseName(course), csv);
                csv.append(';' + QByteArray::number(size) + "\r\n");
                names.append(QStringLiteral("%1 (%2, %3)")
                                 .arg(CourseName(course))
                                 .arg(size)
                                 .arg(groupsNeeded(size, groupSize)));
            }
            html.append("<tr><td class=\"n\">" + QByteArray::number(block + 1) + "</td><td>" +
                        HtmlEscaped(names.join(QStringLiteral(", "))).toUtf8() + "</td><td class=\"n\">" +
                        QByteArray::number(pupils) + "</td></tr>\n");
        }
        html.append("</tbody>\n</table>\n");
    }
}
