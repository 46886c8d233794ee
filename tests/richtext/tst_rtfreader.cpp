// The RTF reader: each construct on a small input, a file as word processors save it, and
// malformed input that must neither crash nor hang.

#include "richtext/rtfreader.h"
#include "richtext/rtftokenizer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace Qt::StringLiterals;

namespace {

// The character format inside the first occurrence of `word`.
QTextCharFormat formatAt(const QTextDocument &document, const QString &word) {
    QTextCursor cursor = document.find(word);
    cursor.setPosition(cursor.selectionStart() + 1);
    return cursor.charFormat();
}

// As a word processor saves it: header tables, starred groups, a field, Unicode with fallbacks,
// a picture with binary data, a list bullet in the symbol font and a table.
const QByteArray kWordProcessorFile =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\froman"
    "\\fprq2\\fcharset0 Times New Roman{\\*\\falt Times};}{\\f2\\fswiss\\fcharset238 Arial CE;}{\\f3\\fnil"
    "\\fcharset2 Symbol;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n{"
    "\\stylesheet{\\s0\\snext0\\f0\\fs24 Normal;}}{\\*\\generator Riched20 10.0}{\\info{\\title Probe}}"
    "\\viewkind4\\uc1\r\n\\pard\\sa200\\qc\\b\\f1\\fs32 \\'dcberschrift\\b0\\par\r\n\\pard\\sa200\\f0\\fs22 "
    "Gr\\u252\\'fc\\'dfe, {\\i kursiv} und {\\cf1 rot}{\\*\\bkmkstart M}.\\par\r\n\\f2 P\\'f8\\'edli\\'9a"
    "\\f0  \\u8364?\\u-10179?\\u-8704? \\uc2\\u8212\\'97\\'97 Ende\\uc1\\par\r\n{\\field{\\*"
    "\\fldinst{HYPERLINK \"http://example.org/\"}}{\\fldrslt{\\ul\\cf2 Verweis}}}\\par\r\n{\\*\\shppict{"
    "\\pict\\pngblip\\bin6 {}{\\}}}}{\\nonshppict{\\pict\\wmetafile8 0100}}\r\n{\\listtext\\f3\\'b7\\tab}"
    "Punkt\\par\r\n\\trowd\\cellx2000\\cellx4000\\cellx6000\\pard\\intbl Deutsch\\cell 4\\cell Pflicht\\cell"
    "\\row\r\n\\pard Schluss\\par\r\n}\r\nnachher";
// The pictures of a document in their order: the size each is shown at.
QList<QSizeF> pictureSizes(const QTextDocument &document) {
    QList<QSizeF> sizes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextCharFormat format = it.fragment().charFormat(); format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                if (!document.resource(QTextDocument::ImageResource, QUrl(image.name())).isNull())
                    sizes.append(QSizeF(image.width(), image.height()));
            }
    return sizes;
}

QList<QTextTable *> tablesOf(QTextFrame *frame) {
    QList<QTextTable *> tables;
    for (QTextFrame *child : frame->childFrames())
        if (auto *table = qobject_cast<QTextTable *>(child))
            tables.append(table);
    return tables;
}

// The text of a table cell, its paragraphs separated by '\n'.
QString cellText(QTextTable *table, int row, int column) {
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

QByteArray imageHex(const char *format, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toHex();
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void text_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        const QList<std::pair<QByteArray, QString>> rows = {
            {"{\\rtf1 a\\par b\\\nc\\line d\\tab e}", u"a\nb\nc\u2028d\te"_s},
            {"{\\rtf1 \\{x\\}\\\\\\~\\-\\_}", u"{x}\\\u00A0\u00AD\u2011"_s},
            {"{\\rtf1 \\ldblquote x\\rdblquote \\endash\\emdash}", u"\u201Cx\u201D\u2013\u2014"_s},
            {"{\\rtf1 \\bullet x\\bullet}", u"\u2022x\u2022"_s},
            {"{\\rtf1\\ansi \\'c4\\'fc\\'df\\'80\\'84\\'93\\'f}", u"Äüß€„“"_s},
            {"{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}", u"Аб"_s},
            {"{\\rtf1\\uc2 \\u228??x{\\uc0 \\u246 }\\u252??}", u"äxöü"_s},
            {"{\\rtf1\\uc3 \\u228{x}y}", u"äxy"_s}, // a brace ends the fallback
            {"{\\rtf1 \\u-10179?\\u-8704?\\u-10179?x\\u-3?}", u"\U0001F600\uFFFDx\uFFFD"_s},
            {"{\\rtf1 a{\\*\\x b\\par}{\\info{\\title T}}{\\headerl H}{\\footer F}c}", u"ac\nF"_s},
            // A table: each cell begins with U+FDD0, the table ends with U+FDD1.
            {"{\\rtf1 \\intbl A\\cell B\\cell\\row \\intbl\\cell C\\cell\\cell\\row}",
             u"\uFDD0A\uFDD0B\uFDD0\uFDD0\uFDD0C\uFDD0\uFDD1"_s},
            {"{\\rtf1 a{\\v verborgen}b\\foo12 \\bar c}", u"abc"_s},
            {"vorher{\\rtf1 a}b{c}", u"a"_s},
            // Malformed input gives what could be read.
            {"", QString()},
            {"{\\rtf1 a}}}}", u"a"_s},
            {"{\\rtf1 a\\'zz\\'", u"azz"_s},
            {"{\\rtf1 a\\", u"a"_s},
            {"{\\rtf1{\\fonttbl{\\f0 Ari", QString()},
            {"{\\rtf1 a\\bin2147483647 xyz}", u"a"_s},
            {"{\\rtf1 a\\bin-5 b}", u"ab"_s},
            {"{\\rtf1\\uc2000000000 \\u228 abc}", u"ä"_s},
            {"{\\rtf1\\fs2147483647\\li-2147483647\\fi99999999999999 x}", u"x"_s},
            {"{\\rtf1{\\colortbl;\\red-5;}\\cf-1 a\x01\x02\x7f b\\cf9 c}", u"a\x7f bc"_s},
            {QByteArray("{\\rtf1 a\0b}", 11), u"ab"_s},
            {"{\\rtf1 vorher" + QByteArray(100000, '{') + "tief" + QByteArray(100000, '}') + "nachher}",
             u"vorhernachher"_s},
            {"{\\rtf1 a" + QByteArray(50000, '{'), u"a"_s}, // never closed
            {kWordProcessorFile, u"Überschrift\nGrüße, kursiv und rot.\nPříliš €\U0001F600 — Ende\nVerweis\n"
                                 "[Bild]\u2022\tPunkt\uFDD0Deutsch\uFDD04\uFDD0Pflicht\uFDD1Schluss\n"_s},
        };
        for (qsizetype i = 0; i < rows.size(); ++i)
            QTest::addRow("%d", int(i)) << rows[i].first << rows[i].second;
    }

    // Malformed input must not hang the reader either.
    void text() {
        QFETCH(QByteArray, rtf);
        QElapsedTimer timer;
        timer.start();
        QTextDocument document; // paragraphs separated by '\n', line breaks stay U+2028
        Rtf::read(rtf, document);
        QTEST(document.toRawText().replace(QChar::ParagraphSeparator, u'\n'), "expected");
        QVERIFY(timer.elapsed() < 5000);
    }

    void formats() {
        QTextDocument d;
        auto blockOf = [&d](const QString &word) { return d.find(word).block().blockFormat(); };
        auto font = [&d](const QString &word) { return formatAt(d, word).font(); };
        Rtf::read(
            "{\\rtf1\\deff0{\\fonttbl{\\f0\\froman Times New Roman{\\*\\falt Times};}}"
            "{\\colortbl;\\red255\\green0\\blue0;}\\b fett\\b0  normal {\\i kursiv} \\ul unter\\ulnone  "
            "ohne {\\fs40 gross}{\\cf1 rot} {\\f7 fehlt} \\b\\i\\plain schlicht {\\b aussen{\\b0 innen}"
            "wieder}\\par \\qc mitte\\par \\li720\\ri360\\fi-360\\sb240\\sa120\\tx1440 eingerueckt\\par "
            "\\pard zurueck\\page seite}",
            d);
        QVERIFY(font(u"fett"_s).bold() && !font(u"normal"_s).bold() && font(u"kursiv"_s).italic());
        QVERIFY(!font(u"normal"_s).italic() && font(u"unter"_s).underline() && !font(u"ohne"_s).underline());
        QCOMPARE(formatAt(d, u"gross"_s).fontPointSize(), 20.0);
        QCOMPARE(formatAt(d, u"rot"_s).foreground().color(), QColor(255, 0, 0));
        // An unknown font is the default one, whose name ends before a nested group.
        QCOMPARE(formatAt(d, u"fehlt"_s).fontFamilies().toStringList(), QStringList{u"Times New Roman"_s});
        QVERIFY(!font(u"schlicht"_s).bold() && !font(u"schlicht"_s).italic());
        // A group restores the formatting of its surroundings.
        QVERIFY(font(u"aussen"_s).bold() && !font(u"innen"_s).bold() && font(u"wieder"_s).bold());
        QCOMPARE(blockOf(u"mitte"_s).alignment(), Qt::AlignHCenter);
        const QTextBlockFormat indented = blockOf(u"eingerueckt"_s); // twips at 96 pixels per inch
        QCOMPARE(QList<qreal>({indented.leftMargin(), indented.rightMargin(), indented.textIndent(),
                               indented.topMargin(), indented.bottomMargin(),
                               indented.tabPositions().value(0).position}),
                 QList<qreal>({48, 24, -24, 16, 8, 24}));
        // The hanging indent is the first tab stop, then the paragraph's own.
        QCOMPARE(indented.tabPositions().value(1).position, 72.0);
        QCOMPARE(blockOf(u"zurueck"_s).leftMargin(), 0.0); // \pard resets the paragraph
        QCOMPARE(blockOf(u"seite"_s).pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    }

    // Cells line up by their right edges; a cell spans the columns up to its edge, \clmgf and
    // \clmrg join cells across, \clvmgf and \clvmrg down. Borders and shading per cell.
    void tables() {
        QTextDocument d;
        Rtf::read(
            "{\\rtf1{\\colortbl;\\red200\\green210\\blue220;}"
            "\\trowd\\trgaph105\\clbrdrt\\brdrs\\brdrw30\\brdrcf1\\clbrdrl\\brdrs\\clcbpat1\\cellx1500"
            "\\clmgf\\cellx3000\\clmrg\\cellx4500\\pard\\intbl Kopf\\cell Breit\\cell\\cell\\row\n"
            "\\trowd\\clvmgf\\cellx1500\\cellx3000\\cellx4500\\pard\\intbl Hoch\\cell B\\cell C\\cell\\row\n"
            "\\trowd\\clvmrg\\cellx1500\\cellx4500\\pard\\intbl\\cell Lang\\par\\qc zweiter\\cell\\row\n"
            "\\pard Danach\\par}",
            d);
        const QList<QTextTable *> tables = tablesOf(d.rootFrame());
        QCOMPARE(tables.size(), 1);
        QTextTable *t = tables.first();
        QCOMPARE(QList<int>({t->rows(), t->columns()}), QList<int>({3, 3}));
        QCOMPARE(t->format().columnWidthConstraints(),
                 QList<QTextLength>(3, QTextLength(QTextLength::FixedLength, 100)));
        const QList<std::tuple<int, int, int, int, QString>> cells = {
            {0, 0, 1, 1, u"Kopf"_s}, {0, 1, 1, 2, u"Breit"_s}, {1, 0, 2, 1, u"Hoch"_s},
            {1, 1, 1, 1, u"B"_s},    {1, 2, 1, 1, u"C"_s},     {2, 1, 1, 2, u"Lang\nzweiter"_s}};
        for (const auto &[row, column, rowSpan, columnSpan, text] : cells) {
            const QTextTableCell cell = t->cellAt(row, column);
            QCOMPARE(QList<int>({cell.row(), cell.column(), cell.rowSpan(), cell.columnSpan()}),
                     QList<int>({row, column, rowSpan, columnSpan}));
            QCOMPARE(cellText(t, row, column), text);
        }
        const QTextTableCellFormat head = t->cellAt(0, 0).format().toTableCellFormat();
        QCOMPARE(head.background().color(), QColor(200, 210, 220));
        QCOMPARE(QList<qreal>({head.topBorder(), head.leftBorder(), head.bottomBorder(), head.leftPadding()}),
                 QList<qreal>({2, 10.0 / 15, 0, 7}));
        QVERIFY(t->cellAt(1, 1).format().background().style() == Qt::NoBrush);
        QCOMPARE(head.topBorderBrush().color(), QColor(200, 210, 220));
        QCOMPARE(t->cellAt(1, 1).format().toTableCellFormat().topBorderBrush().color(), QColor(Qt::black));
        // A second paragraph in a cell keeps its own format, not the left margin of the page.
        QCOMPARE(d.find(u"zweiter"_s).blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(d.find(u"Danach"_s).block().previous(), t->lastCursorPosition().block());
    }

    // A right edge beyond the largest page is cut to it (22 inches, 2112 pixels); an empty cell
    // keeps the format of its empty paragraph.
    void tableEdgesAndEmptyCells() {
        QTextDocument d;
        Rtf::read("{\\rtf1\\trowd\\cellx1500\\cellx99999999\\pard\\intbl A\\cell\\qc\\cell\\row}", d);
        const QList<QTextTable *> tables = tablesOf(d.rootFrame());
        QCOMPARE(tables.size(), 1);
        QTextTable *t = tables.first();
        QCOMPARE(t->format().columnWidthConstraints(),
                 (QList<QTextLength>{QTextLength(QTextLength::FixedLength, 100),
                                     QTextLength(QTextLength::FixedLength, (31680 - 1500) / 15)}));
        QCOMPARE(cellText(t, 0, 1), QString());
        QCOMPARE(t->cellAt(0, 1).firstCursorPosition().blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(t->cellAt(0, 0).firstCursorPosition().blockFormat().alignment(), Qt::AlignLeft);
    }

    // \itap2 with \nestcell and \nestrow makes a table inside a cell; the fallback text for
    // readers without nested tables is skipped.
    void nestedTables() {
        QTextDocument d;
        Rtf::read("{\\rtf1\\trowd\\cellx3000\\cellx6000\\pard\\intbl Aussen\\cell"
                  "\\pard\\intbl\\itap2 Innen1\\nestcell Innen2\\nestcell{\\*\\nesttableprops\\trowd"
                  "\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}\\pard\\intbl Ende\\cell\\row"
                  "\\pard Schluss}",
                  d);
        const QList<QTextTable *> outer = tablesOf(d.rootFrame());
        QCOMPARE(outer.size(), 1);
        QCOMPARE(QList<int>({outer[0]->rows(), outer[0]->columns()}), QList<int>({1, 2}));
        QCOMPARE(cellText(outer[0], 0, 0), u"Aussen"_s);
        const QList<QTextTable *> inner = tablesOf(outer[0]);
        QCOMPARE(inner.size(), 1);
        QCOMPARE(QList<int>({inner[0]->rows(), inner[0]->columns()}), QList<int>({1, 2}));
        QCOMPARE(cellText(inner[0], 0, 1), u"Innen2"_s);
        QVERIFY(outer[0]->cellAt(0, 1).firstPosition() < inner[0]->firstPosition());
        QCOMPARE(d.find(u"Ende"_s).currentTable(), outer[0]);
    }

    // PNG and JPEG at \picwgoal/\pichgoal (twips) scaled by \picscalex/y, or at their own size;
    // a PNG alternative wins over a metafile; what cannot be shown is "[Bild]".
    void pictures_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QList<QSizeF>>("sizes");
        QTest::addColumn<QString>("text");
        const QByteArray png = imageHex("PNG", QSize(30, 20));
        const QByteArray jpeg = imageHex("JPG", QSize(16, 8));
        QTest::newRow("png goal") << "{\\rtf1 a{\\pict\\pngblip\\picwgoal900\\pichgoal600 " + png + "}b}"
                                  << QList<QSizeF>{{60, 40}} << u"a\uFFFCb"_s;
        QTest::newRow("png scaled") << "{\\rtf1{\\pict\\picscalex50\\picscaley200\\pngblip\\picwgoal900"
                                       "\\pichgoal600\n" +
                                           png.left(40) + "\n" + png.mid(40) + "}}"
                                    << QList<QSizeF>{{30, 80}} << u"\uFFFC"_s;
        QTest::newRow("jpeg own size")
            << "{\\rtf1{\\pict\\jpegblip " + jpeg + "}}" << QList<QSizeF>{{16, 8}} << u"\uFFFC"_s;
        QTest::newRow("binary") << "{\\rtf1{\\pict\\pngblip\\bin" + QByteArray::number(png.size() / 2) + " " +
                                       QByteArray::fromHex(png) + "}x}"
                                << QList<QSizeF>{{30, 20}} << u"\uFFFCx"_s;
        QTest::newRow("metafile") << QByteArray("{\\rtf1 a{\\pict\\wmetafile8\\picw10 0100090000}b}")
                                  << QList<QSizeF>{} << u"a[Bild]b"_s;
        QTest::newRow("broken png") << QByteArray("{\\rtf1{\\pict\\pngblip 89504e47}}") << QList<QSizeF>{}
                                    << u"[Bild]"_s;
        QTest::newRow("shape png, metafile skipped")
            << "{\\rtf1{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}}"
            << QList<QSizeF>{{30, 20}} << u"\uFFFC"_s;
        QTest::newRow("shape metafile, png alternative")
            << "{\\rtf1{\\*\\shppict{\\pict\\emfblip 0100}}{\\nonshppict{\\pict\\pngblip " + png + "}}}"
            << QList<QSizeF>{{30, 20}} << u"\uFFFC"_s;
        QTest::newRow("shape metafile after text, png alternative")
            << "{\\rtf1 Text {\\*\\shppict{\\pict\\emfblip 0100}}{\\nonshppict{\\pict\\pngblip " + png + "}}}"
            << QList<QSizeF>{{30, 20}} << u"Text \uFFFC"_s;
        QTest::newRow("both metafiles")
            << QByteArray("{\\rtf1{\\*\\shppict{\\pict\\emfblip 01}}{\\nonshppict{\\pict\\wmetafile8 01}}}")
            << QList<QSizeF>{} << u"[Bild]"_s;
        // Pictures that unpack to more than 64 million pixels in all are not decoded; a picture
        // larger than 4000 pixels is shown smaller, in its proportions.
        const QByteArray large = imageHex("PNG", QSize(8000, 4000)); // 32 million pixels
        QTest::newRow("budget") << "{\\rtf1{\\pict\\pngblip " + large + "}{\\pict\\pngblip " + large +
                                       "}{\\pict\\pngblip " + large + "}{\\pict\\pngblip " + png + "}}"
                                << QList<QSizeF>{{4000, 2000}, {4000, 2000}, {30, 20}}
                                << u"\uFFFC\uFFFC[Bild]\uFFFC"_s;
        QTest::newRow("hidden") << "{\\rtf1{\\v{\\pict\\pngblip " + png + "}}}" << QList<QSizeF>{}
                                << QString();
    }
    void pictures() {
        QFETCH(QByteArray, rtf);
        QTextDocument d;
        Rtf::read(rtf, d);
        QTEST(pictureSizes(d), "sizes");
        QTEST(d.toPlainText(), "text");
    }

    // Footnotes: the number in the text, superscript; the notes at the end under a short line,
    // each with its number.
    void footnotes() {
        QTextDocument d;
        Rtf::read("{\\rtf1 Erster{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} Die Notiz.} Satz"
                  "{\\super\\chftn}{\\*\\footnote\\chftn\\pard\\plain Zweite{\\i Notiz}\\par und mehr} "
                  "fertig.{\\super\\chftn}"
                  "{\\footnote{\\footnote verschachtelt}\\chftn dritte}\\par Ende}",
                  d);
        QCOMPARE(d.toPlainText(),
                 u"Erster1 Satz2 fertig.3\nEnde\n\n1 Die Notiz.\n2 ZweiteNotiz\nund mehr\n3 dritte"_s);
        QCOMPARE(formatAt(d, u"1 Satz"_s).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(formatAt(d, u" Satz"_s).verticalAlignment(), QTextCharFormat::AlignNormal);
        const QTextBlock line = d.find(u"1 Die"_s).block().previous();
        QVERIFY(line.text().isEmpty());
        QVERIFY(line.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth));
        QCOMPARE(formatAt(d, u"2 Zw"_s).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QTextCursor italic = d.find(u"ZweiteNotiz"_s); // formatting inside a note stays
        italic.setPosition(italic.selectionStart() + 7);
        QVERIFY(italic.charFormat().fontItalic() && !formatAt(d, u"Zweite"_s).fontItalic());
    }

    // Bullets of symbol fonts, as bytes or as private-use characters, and a private-use
    // bullet without a font of its own; an ordinary font keeps its characters.
    void symbolBullets_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        const QList<std::pair<QByteArray, QString>> rows = {
            {"{\\f1\\u61623?}", u"\u2022"_s},
            {"{\\f1\\'b7}", u"\u2022"_s},
            {"{\\f2\\u61607?}", u"\u25AA"_s},
            {"{\\f2\\'a7}", u"\u25AA"_s},
            {"{\\f2\\'d8\\'fc\\'76}", u"\u27A2\u2713\u2756"_s},
            {"{\\f3\\'6c}", u"\u25CF"_s}, // Wingdings by its name
            {"{\\f4\\'b7}", u"\u2022"_s}, // charset 2 under another name
            {"\\u61623?", u"\u2022"_s},
            {"\\u61607?", u"\u25AA"_s},
            {"\\u61440?", u"\uF000"_s},
            {"{\\f0\\'a7\\'b7}", u"\u00A7\u00B7"_s},
            {"{\\f1 a\\'e0}", u"a\u00E0"_s},
        };
        for (const auto &[body, expected] : rows)
            QTest::newRow(body.constData()) << body << expected;
    }
    void symbolBullets() {
        QFETCH(QByteArray, body);
        QTextDocument d;
        Rtf::read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fnil Symbol;}{\\f2\\fcharset2 Wingdings;}"
                  "{\\f3 Wingdings 2;}{\\f4\\fcharset2 Marlett;}}" +
                      body + "}",
                  d);
        QTEST(d.toPlainText(), "expected");
    }

    // The first tab of a paragraph with a hanging indent stops at the indent; an empty list
    // number (a bare tab) takes no room, a real one stays.
    void listParagraphs() {
        QTextDocument d;
        Rtf::read("{\\rtf1\\pard\\li720\\fi-360{\\listtext\\'95\\tab}Punkt\\par"
                  "\\pard\\li1440\\fi-1080\\tx720{\\listtext 1.\\tab}Nummer\\par"
                  "\\pard\\fi360\\tx720 Einzug\\par"
                  "\\pard{\\listtext\\pard\\plain \\tab}Kopf\\par"
                  "\\pard{\\listtext\\pard\\plain  }Leer}",
                  d);
        QCOMPARE(d.toPlainText(), u"\u2022\tPunkt\n1.\tNummer\nEinzug\nKopf\nLeer"_s);
        auto tabs = [&d](const QString &word) {
            QList<qreal> positions;
            for (const QTextOption::Tab &tab : d.find(word).blockFormat().tabPositions())
                positions.append(tab.position);
            return positions;
        };
        QCOMPARE(tabs(u"Punkt"_s), QList<qreal>({24}));
        QCOMPARE(d.find(u"Punkt"_s).blockFormat().leftMargin(), 48.0);
        QCOMPARE(d.find(u"Punkt"_s).blockFormat().textIndent(), -24.0);
        QCOMPARE(tabs(u"Nummer"_s), QList<qreal>({24, 72})); // the stop before the indent first
        QCOMPARE(tabs(u"Einzug"_s), QList<qreal>({24}));     // no hanging indent: only its own stop
    }

    // Highlight and character shading as background, small and all capitals, paragraph shading,
    // and fonts and sizes that come from the style sheet.
    void formatsFromStyles() {
        QTextDocument d;
        Rtf::read("{\\rtf1\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times;}{\\f2 Courier;}}"
                  "{\\colortbl;\\red255\\green255\\blue0;\\red0\\green128\\blue255;}"
                  "{\\stylesheet{\\ql\\f1\\fs20 Normal;}{\\s1\\f2\\fs32\\b heading 1;}"
                  "{\\*\\cs10\\i\\fs18 Betont;}}"
                  "\\pard\\plain\\s1 Titel\\par\\pard\\plain\\s0 Text {\\cs10 betont} {\\s1\\fs40 selbst}"
                  "{\\highlight1 gelb} {\\chcbpat2 blau} {\\scaps klein} {\\caps gross} normal\\par"
                  "\\pard\\brdrb\\brdrs\\brdrw10 unterstrichen\\par\\pard\\brdrt\\brdrs oben\\par"
                  "\\pard\\brdrb\\brdrnone ohne\\par\\pard\\cbpat2 schattiert\\par\\pard\\s7 unbekannt}",
                  d);
        const QTextCharFormat title = formatAt(d, u"Titel"_s);
        QCOMPARE(title.fontFamilies().toStringList(), QStringList{u"Courier"_s});
        QCOMPARE(title.fontPointSize(), 16.0);
        QVERIFY(title.font().bold());
        const QTextCharFormat text = formatAt(d, u"Text"_s);
        QCOMPARE(text.fontFamilies().toStringList(), QStringList{u"Times"_s});
        QCOMPARE(text.fontPointSize(), 10.0);
        QVERIFY(!text.font().bold());
        QVERIFY(formatAt(d, u"betont"_s).fontItalic());
        QCOMPARE(formatAt(d, u"betont"_s).fontPointSize(), 9.0);
        QCOMPARE(formatAt(d, u"selbst"_s).fontPointSize(), 20.0); // explicit after the style
        QCOMPARE(formatAt(d, u"gelb"_s).background().color(), QColor(255, 255, 0));
        QCOMPARE(formatAt(d, u"blau"_s).background().color(), QColor(0, 128, 255));
        QCOMPARE(formatAt(d, u"normal"_s).background().style(), Qt::NoBrush);
        QCOMPARE(formatAt(d, u"klein"_s).fontCapitalization(), QFont::SmallCaps);
        QCOMPARE(formatAt(d, u"gross"_s).fontCapitalization(), QFont::AllUppercase);
        QCOMPARE(formatAt(d, u"normal"_s).fontCapitalization(), QFont::MixedCase);
        QCOMPARE(d.find(u"schattiert"_s).blockFormat().background().color(), QColor(0, 128, 255));
        // A bottom border is a line under the paragraph; other paragraph borders are not drawn.
        QVERIFY(d.find(u"unterstrichen"_s)
                    .blockFormat()
                    .hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth));
        QVERIFY(!d.find(u"oben"_s).blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth));
        QVERIFY(!d.find(u"ohne"_s).blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth));
        // An unknown style changes nothing.
        QCOMPARE(formatAt(d, u"unbekannt"_s).fontFamilies().toStringList(), QStringList{u"Times"_s});
    }

    // \page and \pagebb start a new page in print and leave a gap on screen.
    void pageBreaks() {
        QTextDocument d;
        Rtf::read("{\\rtf1\\sb60 eins\\page zwei\\par\\pagebb drei\\par\\pard vier}", d);
        const QList<std::pair<QString, bool>> blocks = {
            {u"eins"_s, false}, {u"zwei"_s, true}, {u"drei"_s, true}, {u"vier"_s, false}};
        for (const auto &[word, breaks] : blocks) {
            const QTextBlockFormat format = d.find(word).blockFormat();
            QCOMPARE(format.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore, breaks);
            QCOMPARE(format.topMargin(), word == u"vier"_s ? 0.0 : breaks ? 4 + 36.0 : 4.0);
        }
    }

    // Colour table entries: components in their order; an entry without any is "automatic",
    // one that names only some of them has 0 for the others.
    void colors_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QColor>("expected"); // of \cf1; invalid: no colour of its own
        QTest::newRow("rgb") << QByteArray(";\\red10\\green20\\blue30;") << QColor(10, 20, 30);
        QTest::newRow("blue green") << QByteArray(";\\blue30\\green20;") << QColor(0, 20, 30);
        QTest::newRow("green only") << QByteArray(";\\green128;") << QColor(0, 128, 0);
        QTest::newRow("blue only") << QByteArray(";\\blue7;") << QColor(0, 0, 7);
        QTest::newRow("automatic") << QByteArray(";;") << QColor();
        QTest::newRow("missing") << QByteArray(";") << QColor();
    }
    void colors() {
        QFETCH(QByteArray, table);
        QFETCH(QColor, expected);
        QTextDocument d;
        Rtf::read("{\\rtf1{\\colortbl" + table + "}\\cf1 x}", d);
        const QTextCharFormat format = formatAt(d, u"x"_s);
        QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush), expected.isValid());
        if (expected.isValid())
            QCOMPARE(format.foreground().color(), expected);
    }

    // The code page of the document: \ansi, \mac, \pc, \pca, \ansicpg.
    void codePages_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ansi") << QByteArray("{\\rtf1\\ansi \\'8a\\'e4}") << u"\u0160\u00E4"_s;
        QTest::newRow("mac") << QByteArray("{\\rtf1\\mac \\'8a\\'a7}") << u"\u00E4\u00DF"_s;
        QTest::newRow("pc") << QByteArray("{\\rtf1\\pc \\'84\\'e1}") << u"\u00E4\u00DF"_s;
        QTest::newRow("pca") << QByteArray("{\\rtf1\\pca \\'84\\'d5}") << u"\u00E4\u0131"_s;
        QTest::newRow("ansicpg") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'8a\\'9c}") << u"\u0160\u015B"_s;
        QTest::newRow("font charset 77")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset77 M;}}\\f0 \\'8a\\'a7}")
            << u"\u00E4\u00DF"_s;
        QTest::newRow("font charset 238")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset238 E;}}\\f0 \\'8a\\'9c}")
            << u"\u0160\u015B"_s;
    }
    void codePages() {
        QFETCH(QByteArray, rtf);
        QTextDocument d;
        Rtf::read(rtf, d);
        QTEST(d.toPlainText(), "expected");
    }

    void looksLikeRtf_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("expected");
        QTest::newRow("plain") << QByteArray("{\\rtf1 x}") << true;
        QTest::newRow("tab") << QByteArray("\t{\\rtf1 x}") << true;
        QTest::newRow("blanks and line ends") << QByteArray(" \r\n\t {\\rtf") << true;
        QTest::newRow("other first") << QByteArray("x{\\rtf1}") << false;
        QTest::newRow("form feed") << QByteArray("\f{\\rtf1}") << false;
        QTest::newRow("short") << QByteArray("{\\rt") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void looksLikeRtf() {
        QFETCH(QByteArray, data);
        QTEST(Rtf::looksLikeRtf(data), "expected");
    }

    // A control word keeps at most 32 letters; the rest of a longer one is dropped, its
    // parameter still read. \bin carries its bytes.
    void tokenizerLimits() {
        const QByteArray data = "\\" + QByteArray(40, 'a') + "-12 x\\bin3 {}\\\\y";
        RtfTokenizer tokenizer(data);
        const RtfTokenizer::Token word = tokenizer.next();
        QCOMPARE(word.type, RtfTokenizer::Type::ControlWord);
        QCOMPARE(word.word, QByteArray(32, 'a'));
        QVERIFY(word.hasParameter);
        QCOMPARE(word.parameter, -12);
        QCOMPARE(tokenizer.next().text, QByteArrayView("x"));
        const RtfTokenizer::Token binary = tokenizer.next();
        QCOMPARE(binary.type, RtfTokenizer::Type::Binary);
        QCOMPARE(binary.text, QByteArrayView("{}\\"));
        QCOMPARE(tokenizer.next().word, QByteArray("y"));
        QCOMPARE(tokenizer.next().type, RtfTokenizer::Type::End);
    }

    // Two regulations written in a word processor, saved as RTF directly and by way of .docx:
    // every word of the word processor's own text export arrives, in its order, and the tables,
    // the picture and the footnote are there.
    void wordProcessorSamples_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("direct") << u"regelung-direkt.rtf"_s;
        QTest::newRow("via docx") << u"regelung-docx.rtf"_s;
    }
    void wordProcessorSamples() {
        QFETCH(QString, file);
        const QString folder = QStringLiteral(FACHLESE_SOURCE_DIR "/tests/richtext/data/");
        QFile rtf(folder + file), text(folder + u"regelung.txt"_s);
        QVERIFY(rtf.open(QIODevice::ReadOnly) && text.open(QIODevice::ReadOnly));
        QTextDocument d;
        Rtf::read(rtf.readAll(), d);
        // The export leaves out the notes, which the document lists after its last block.
        QString shown = d.toPlainText();
        shown.truncate(shown.lastIndexOf(u"\n1 Ausnahmen"_s));
        shown.remove(QChar::ObjectReplacementCharacter);
        const QRegularExpression blank(u"\\s+"_s);
        const QStringList words = shown.split(blank, Qt::SkipEmptyParts);
        const QStringList expected =
            QString::fromUtf8(text.readAll()).remove(QChar(0xFEFF)).split(blank, Qt::SkipEmptyParts);
        QCOMPARE(words, expected);
        QVERIFY(d.toPlainText().endsWith(u"\n1 Ausnahmen regelt die Schulleitung."_s));
        const QList<QTextTable *> tables = tablesOf(d.rootFrame());
        QCOMPARE(tables.size(), 1);
        QCOMPARE(QList<int>({tables[0]->rows(), tables[0]->columns()}), QList<int>({3, 3}));
        QCOMPARE(tables[0]->cellAt(1, 0).columnSpan(), 2);
        QCOMPARE(tables[0]->cellAt(1, 2).rowSpan(), 2);
        QCOMPARE(cellText(tables[0], 1, 2), u"Pflichtfach\nzweiter Absatz"_s);
        QCOMPARE(pictureSizes(d), QList<QSizeF>({{96, 48}}));
        QCOMPARE(formatAt(d, u"hervorgehoben"_s).background().color(), QColor(255, 255, 0));
        QCOMPARE(formatAt(d, u"Kapit"_s).fontCapitalization(), QFont::SmallCaps);
        QCOMPARE(d.find(u"Nach dem Seitenumbruch"_s).blockFormat().pageBreakPolicy(),
                 QTextFormat::PageBreak_AlwaysBefore);
        QCOMPARE(d.find(u"Mathematik"_s).blockFormat().tabPositions().value(0).position, 24.0);
    }

    // A paragraph of many format runs goes into the document before it ends and still gets its
    // format; an empty list number in it is dropped. One that turns out to be in a table cell
    // keeps its text, part of it before the table.
    void longParagraphs() {
        const QByteArray runs = QByteArray("{\\b x}y").repeated(1500);
        QTextDocument d;
        Rtf::read("{\\rtf1 vorher\\par\\qc " + runs + "{\\listtext\\tab}Ende\\par\\pard " + runs +
                      "\\intbl Zelle\\cell\\row\\pard Danach}",
                  d);
        const QString xy = u"xy"_s.repeated(1500);
        QCOMPARE(d.toPlainText().remove(u'\n'), u"vorher"_s + xy + u"Ende"_s + xy + u"ZelleDanach"_s);
        QCOMPARE(d.blockCount(), 5); // then the part before the table, the cell and the block after it
        QCOMPARE(d.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(d.findBlockByNumber(1).text(), xy + u"Ende"_s);
        QCOMPARE(formatAt(d, u"xy"_s).fontWeight(), int(QFont::Bold));
        QCOMPARE(tablesOf(d.rootFrame()).size(), 1);
        QVERIFY(cellText(tablesOf(d.rootFrame()).first(), 0, 0).endsWith(u"xyZelle"_s));
        QCOMPARE(d.find(u"Danach"_s).blockFormat().alignment(), Qt::AlignLeft);
    }

    // Mutations of the word processor file must neither crash nor hang the reader.
    void fuzz() {
        const QList<QByteArray> pieces =
            QByteArray("{|}|\\|\\'|\\u-|\\uc9 |\\bin9999999 "
                       "|\\*|\\par|\\cell|\\fonttbl|\\colortbl|\\f|\\fs-5|\\u55357 |;|\\row|\\intbl"
                       "|\\trowd|\\cellx900|\\cellx-5|\\clmgf|\\clmrg|\\clvmgf|\\clvmrg|\\itap3|\\nestcell"
                       "|\\nestrow|{\\*\\nesttableprops|{\\pict\\pngblip 89504e47|\\picscalex0|{\\footnote"
                       "|\\chftn|{\\listtext|{\\stylesheet|\\s1|\\page|{\\*\\shppict|{\\nonshppict")
                .split('|');
        QRandomGenerator random(20030512);
        QElapsedTimer timer;
        timer.start();
        int rounds = 0;
        for (; rounds < 2000 && timer.elapsed() < 3000; ++rounds) {
            QByteArray data = kWordProcessorFile;
            for (int m = 1 + random.bounded(12); m > 0 && !data.isEmpty(); --m) {
                const int at = random.bounded(int(data.size())), kind = random.bounded(4);
                if (kind == 0)
                    data[at] = char(random.bounded(256));
                else if (kind == 1)
                    data.remove(at, random.bounded(40));
                else // a piece of RTF or a copy of another part of the document
                    data.insert(at, kind == 2 ? pieces.at(random.bounded(int(pieces.size())))
                                              : data.mid(random.bounded(int(data.size())), 60));
            }
            QTextDocument document;
            Rtf::read(data, document);
            QVERIFY(document.characterCount() <= data.size() + 2);
        }
        QVERIFY(rounds > 50);
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
