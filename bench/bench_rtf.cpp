// Benchmark of the RTF reader: the three documents and generated files of 1 MB and 10 MB in
// several shapes, each read by Rtf::read and, as the reference, the same text given to
// QTextDocument::setHtml in the same run. The two alternate; the median of the pairs and the
// spread (lowest and highest) are printed. With --memory SHAPE MEGABYTES the program reads one
// generated file and prints the growth of its peak memory instead; with --floor COUNT it times
// what the text document alone needs for COUNT runs or paragraphs.

#include "richtext/rtfreader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

struct Sample {
    QByteArray rtf;
    QString html;
};

// One unit of each shape in RTF and in HTML; a generated file repeats it to the wanted size.
struct Shape {
    const char *name;
    QByteArray header; // after "{\rtf1\ansi\deff0"
    QByteArray rtfUnit;
    QString htmlUnit;
    QString htmlBefore, htmlAfter;
};

QList<Shape> shapes() {
    QByteArray fonts = "{\\fonttbl";
    QByteArray fontRuns;
    QString fontHtml;
    for (int i = 0; i < 200; ++i) {
        fonts += "{\\f" + QByteArray::number(i) + "\\fswiss Schrift " + QByteArray::number(i) + ";}";
        fontRuns += "\\f" + QByteArray::number(i) + " Wort ";
        fontHtml += QStringLiteral("<span style=\"font-family:'Schrift %1'\">Wort </span>").arg(i);
    }
    fonts += "}";
    QByteArray row = "\\trowd\\cellx1000\\cellx2000\\cellx3000\\cellx4000\\cellx5000\\cellx6000\\cellx7000"
                     "\\cellx8000\\pard\\intbl ";
    QString htmlRow = QStringLiteral("<tr>");
    for (int i = 0; i < 8; ++i) {
        row += "Zelle " + QByteArray::number(i) + "\\cell ";
        htmlRow += QStringLiteral("<td>Zelle %1</td>").arg(i);
    }
    row += "\\row\n";
    htmlRow += QStringLiteral("</tr>");
    const QByteArray sentence =
        "Die Sch\\'fclerin w\\'e4hlt zwei Leistungskurse und belegt sie in allen vier "
        "Halbjahren.";
    const QString htmlSentence =
        QStringLiteral("Die Schülerin wählt zwei Leistungskurse und belegt sie in allen vier Halbjahren.");
    return {
        {"paragraphs",
         {},
         sentence + "\\par\n",
         QStringLiteral("<p>") + htmlSentence + QStringLiteral("</p>"),
         {},
         {}},
        {"one-paragraph",
         {},
         sentence + " ",
         htmlSentence + QLatin1Char(' '),
         QStringLiteral("<p>"),
         QStringLiteral("</p>")},
        {"format-runs",
         {},
         "{\\b x}y",
         QStringLiteral("<b>x</b>y"),
         QStringLiteral("<p>"),
         QStringLiteral("</p>")},
        {"table-rows", {}, row, htmlRow, QStringLiteral("<table>"), QStringLiteral("</table>")},
        {"one-row",
         {},
         "\\intbl Zelle\\cell ",
         QStringLiteral("<td>Zelle</td>"),
         QStringLiteral("<table><tr>"),
         QStringLiteral("</tr></table>")},
        {"fonts",
         fonts,
         fontRuns + "\\par\n",
         QStringLiteral("<p>") + fontHtml + QStringLiteral("</p>"),
         {},
         {}},
        {"empty-paragraphs", {}, "\\par\n", QStringLiteral("<p></p>"), {}, {}},
    };
}

Sample generate(const Shape &shape, qsizetype size, bool withHtml = true) {
    Sample sample;
    sample.rtf = "{\\rtf1\\ansi\\deff0" + shape.header + "\n";
    sample.html = shape.htmlBefore;
    const qsizetype count = std::max<qsizetype>(1, (size - sample.rtf.size()) / shape.rtfUnit.size());
    sample.rtf.reserve(size + shape.rtfUnit.size());
    for (qsizetype i = 0; i < count; ++i) {
        sample.rtf += shape.rtfUnit;
        if (withHtml)
            sample.html += shape.htmlUnit;
    }
    sample.rtf += "}";
    sample.html += shape.htmlAfter;
    return sample;
}

// The same text as HTML: paragraphs of the plain text of a document read once.
Sample fromFile(const QString &path) {
    Sample sample;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return sample;
    sample.rtf = file.readAll();
    QTextDocument document;
    Rtf::read(sample.rtf, document);
    sample.html = document.toHtml();
    return sample;
}

double millisecondsOf(const std::function<void()> &work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void measure(const char *name, const Sample &sample, int pairs) {
    std::vector<double> rtf, html, ratio;
    for (int i = 0; i < pairs; ++i) {
        QTextDocument a, b;
        const double r = millisecondsOf([&] { Rtf::read(sample.rtf, a); });
        const double h = millisecondsOf([&] { b.setHtml(sample.html); });
        rtf.push_back(r);
        html.push_back(h);
        ratio.push_back(r / h);
    }
    std::printf("%-24s %9.2f KB  rtf %9.2f ms [%8.2f .. %8.2f]  html %9.2f ms [%8.2f .. %8.2f]  "
                "ratio %5.3f [%5.3f .. %5.3f]\n",
                name, sample.rtf.size() / 1024.0, median(rtf), *std::min_element(rtf.begin(), rtf.end()),
                *std::max_element(rtf.begin(), rtf.end()), median(html),
                *std::min_element(html.begin(), html.end()), *std::max_element(html.begin(), html.end()),
                median(ratio), *std::min_element(ratio.begin(), ratio.end()),
                *std::max_element(ratio.begin(), ratio.end()));
    std::fflush(stdout);
}

// What the text document itself needs, without any reading: a bare QTextCursor that inserts
// `count` one-letter runs of two alternating formats, or `count` empty paragraphs, in one edit
// block. No reader of this document can be faster.
void measureFloor(int count, int pairs) {
    QTextCharFormat bold, plain;
    bold.setFontWeight(QFont::Bold);
    plain.setFontWeight(QFont::Normal);
    std::vector<double> runs, blocks;
    for (int i = 0; i < pairs; ++i) {
        QTextDocument a, b;
        runs.push_back(millisecondsOf([&] {
            QTextCursor cursor(&a);
            cursor.beginEditBlock();
            for (int k = 0; k < count / 2; ++k) {
                cursor.insertText(QStringLiteral("x"), bold);
                cursor.insertText(QStringLiteral("y"), plain);
            }
            cursor.endEditBlock();
        }));
        blocks.push_back(millisecondsOf([&] {
            QTextCursor cursor(&b);
            cursor.beginEditBlock();
            for (int k = 0; k < count; ++k)
                cursor.insertBlock();
            cursor.endEditBlock();
        }));
    }
    std::printf(
        "bare QTextCursor, %d runs: %.2f ms [%.2f .. %.2f]; %d empty paragraphs: %.2f ms [%.2f .. %.2f]\n",
        count, median(runs), *std::min_element(runs.begin(), runs.end()),
        *std::max_element(runs.begin(), runs.end()), count, median(blocks),
        *std::min_element(blocks.begin(), blocks.end()), *std::max_element(blocks.begin(), blocks.end()));
}

long peakKilobytes() {
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0; // peak memory is measured on Unix only
#endif
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    int pairs = 11;
    QString documents = QStringLiteral(FACHLESE_SOURCE_DIR "/documents");
    QStringList only;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--pairs") && i + 1 < args.size()) {
            pairs = std::max(1, args[++i].toInt());
        } else if (args[i] == QLatin1String("--only") && i + 1 < args.size()) {
            only = args[++i].split(QLatin1Char(','));
        } else if (args[i] == QLatin1String("--floor") && i + 1 < args.size()) {
            measureFloor(args[++i].toInt(), pairs);
            return 0;
        } else if (args[i] == QLatin1String("--memory") && i + 2 < args.size()) {
            const QString name = args[i + 1];
            const qsizetype size = qsizetype(args[i + 2].toDouble() * 1024 * 1024);
            for (const Shape &shape : shapes()) {
                if (name != QLatin1String(shape.name))
                    continue;
                const QByteArray rtf = generate(shape, size, false).rtf;
                const long before = peakKilobytes();
                QTextDocument document;
                Rtf::read(rtf, document);
                const long after = peakKilobytes();
                std::printf("%-18s file %8.2f MB  blocks %8d  peak growth %8.1f MB  = %6.2f x file  "
                            "%6.0f bytes per block\n",
                            shape.name, rtf.size() / 1048576.0, document.blockCount(),
                            (after - before) / 1024.0, (after - before) * 1024.0 / rtf.size(),
                            (after - before) * 1024.0 / document.blockCount());
                return 0;
            }
            std::fprintf(stderr, "unknown shape\n");
            return 2;
        }
    }
    std::printf("%d pairs, alternating; median [lowest .. highest]\n", pairs);
    for (const char *name : {"Verordnung.rtf", "Anleitung.rtf", "Hilfe.rtf"})
        if (only.isEmpty() || only.contains(QLatin1String("documents")))
            measure(name, fromFile(documents + QLatin1Char('/') + QLatin1String(name)), pairs);
    for (const qsizetype megabytes : {1, 10})
        for (const Shape &shape : shapes())
            if (only.isEmpty() || only.contains(QLatin1String(shape.name)))
                measure(qPrintable(QStringLiteral("%1 %2 MB").arg(QLatin1String(shape.name)).arg(megabytes)),
                        generate(shape, megabytes * 1024 * 1024), pairs);
    return 0;
}
