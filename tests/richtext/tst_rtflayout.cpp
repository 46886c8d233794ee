// The RTF reader's page layout: tab stops with their kinds and leaders, page headers and
// footers, paragraph boxes, line spacing, the layout of table cells, pictures of shapes and
// styles based on others; each on a small input, then two documents written in a word
// processor and saved as RTF directly and by way of .docx.

#include "richtext/rtfreader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace Qt::StringLiterals;

namespace {

QString number(double value) {
    return QString::number(value, 'g', 4);
}

// What a document says about `word`, in the terms of `aspect`, as a short text.
// For cells the first occurrence in a table counts.
QString describe(const QTextDocument &d, const QString &word, const QString &aspect) {
    QTextCursor at = d.find(word, 0, QTextDocument::FindCaseSensitively);
    while (aspect == u"cell" && !at.isNull() && !at.currentTable())
        at = d.find(word, at, QTextDocument::FindCaseSensitively);
    if (at.isNull())
        return u"(nicht gefunden)"_s;
    const QTextBlockFormat block = at.blockFormat();
    QStringList parts;
    if (aspect == u"tabs") {
        const QString leaders = block.stringProperty(Rtf::kTabLeaders);
        const QList<QTextOption::Tab> tabs = block.tabPositions();
        for (qsizetype i = 0; i < tabs.size(); ++i)
            parts << number(tabs[i].position) + u"lrcd"_s.at(int(tabs[i].type)) +
                         (tabs[i].delimiter.isNull() ? QString() : QString(tabs[i].delimiter)) +
                         leaders.mid(i, 1).trimmed();
    } else if (aspect == u"line") {
        parts << number(block.lineHeight()) << QString::number(block.lineHeightType());
    } else if (aspect == u"cell") {
        QTextTable *table = at.currentTable();
        const QTextTableCellFormat cell = table->cellAt(at).format().toTableCellFormat();
        parts << QString::number(int(cell.verticalAlignment())) << number(cell.topPadding())
              << number(cell.leftPadding()) << number(cell.bottomPadding()) << number(cell.rightPadding());
        for (const auto &[width, style, brush] :
             {std::tuple(cell.topBorder(), cell.topBorderStyle(), cell.topBorderBrush()),
              std::tuple(cell.leftBorder(), cell.leftBorderStyle(), cell.leftBorderBrush()),
              std::tuple(cell.bottomBorder(), cell.bottomBorderStyle(), cell.bottomBorderBrush()),
              std::tuple(cell.rightBorder(), cell.rightBorderStyle(), cell.rightBorderBrush())})
            parts << number(width) + u'/' + QString::number(int(style)) + u'/' + brush.color().name();
        parts << number(table->format().width().rawValue()) << QString::number(table->format().width().type());
        if (const QBrush shading = cell.background(); shading.style() != Qt::NoBrush)
            parts << shading.color().name();
    } else if (aspect == u"picture") {
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (const QTextImageFormat image = it.fragment().charFormat().toImageFormat(); image.isValid())
                    parts << number(image.width()) + u'x' + number(image.height());
        parts << at.block().text().left(2);
    } else if (aspect == u"chars") {
        at.setPosition(at.selectionStart() + 1);
        const QTextCharFormat c = at.charFormat();
        parts << c.foreground().color().name() << number(c.fontPointSize()) << QString::number(c.fontItalic())
              << QString::number(c.fontUnderline()) << QString::number(c.boolProperty(Rtf::kDoubleUnderline))
              << number(block.leftMargin()) << number(block.topMargin()) << number(block.bottomMargin());
    } else if (aspect == u"blocks") { // the document's blocks, header and footer marked
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
            parts << (b.blockFormat().boolProperty(Rtf::kPageHeader)   ? u"K:"_s
                      : b.blockFormat().boolProperty(Rtf::kPageFooter) ? u"F:"_s
                                                                       : QString()) +
                         b.text();
    }
    return parts.join(u' ');
}

const QByteArray kColors = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}";

} // namespace

class TestRtfLayout : public QObject {
    Q_OBJECT

private slots:
    void aspects_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("aspect");
        QTest::addColumn<QString>("expected");
        // Tab stops in pixels (twips / 15) with kind, decimal comma and leader; a kind and a
        // leader belong to the next \tx only.
        QTest::newRow("tab kinds") << QByteArray("\\tldot\\tqc\\tx1500\\tlth\\tqdec\\tx3000\\tqr\\tx4500\\tlul\\tx6000"
                                                 "\\tleq\\tlhyph\\tx7500 Inhalt\\tab x\\par")
                                   << u"Inhalt"_s << u"tabs"_s << u"100c. 200d,- 300r 400l_ 500l-"_s;
        QTest::newRow("tabs after indent") << QByteArray("\\li600\\tqr\\tldot\\tx3000 Punkt\\par") << u"Punkt"_s
                                           << u"tabs"_s << u"160r."_s;
        // Line spacing: 240ths of a line, at least, exactly.
        QTest::newRow("one and a half") << QByteArray("\\sl360\\slmult1 Zeile\\par") << u"Zeile"_s << u"line"_s
                                        << u"150 1"_s;
        QTest::newRow("double") << QByteArray("\\sl480\\slmult1 Zeile\\par") << u"Zeile"_s << u"line"_s << u"200 1"_s;
        QTest::newRow("at least") << QByteArray("\\sl567\\slmult0 Zeile\\par") << u"Zeile"_s << u"line"_s
                                  << u"37.8 3"_s;
        QTest::newRow("exactly") << QByteArray("\\sl-450\\slmult0 Zeile\\par") << u"Zeile"_s << u"line"_s
                                 << u"30 2"_s;
        QTest::newRow("single") << QByteArray("\\sl360\\slmult1\\pard Zeile\\par") << u"Zeile"_s << u"line"_s
                                << u"0 0"_s;
        // Cells: alignment (0 top, 3 middle, 5 bottom, as the text format numbers them),
        // padding top, left, bottom, right (\clpadl is the top, \clpadt the left), each border
        // with width / style (1 dotted, 2 dashed, 3 solid, 4 double) / colour, the table's width.
        QTest::newRow("cell layout")
            << kColors + "\\trowd\\trpaddl45\\trpaddr45\\trpaddt15\\trpaddb15\\clvertalc\\clpadl30\\clpadt150"
                         "\\clbrdrt\\brdrdot\\brdrw20\\brdrcf2\\clbrdrl\\brdrdb\\brdrw15\\brdrcf1\\clbrdrb\\brdrdash"
                         "\\brdrw20\\clbrdrr\\brdrs\\brdrw10\\cellx3000\\clvertalb\\cellx6000\\pard\\intbl Mitte\\cell"
                         " unten\\cell\\row}"
            << u"Mitte"_s << u"cell"_s
            << u"3 2 10 1 3 1.333/1/#0000ff 3/4/#ff0000 1.333/2/#000000 0.6667/3/#000000 0 0"_s;
        QTest::newRow("row height at least")
            << QByteArray("\\trowd\\trrh900\\clvertalb\\cellx3000\\pard\\intbl unten\\cell\\row}") << u"unten"_s
            << u"cell"_s << u"5 41 2 3 2 0/3/#000000 0/3/#000000 0/3/#000000 0/3/#000000 0 0"_s;
        // A paragraph with borders at the sides stands in a box of one cell as wide as the page;
        // the next one with the same box joins it.
        QTest::newRow("box")
            << kColors + "\\pard\\brdrt\\brdrs\\brdrw30\\brdrcf1\\brsp120\\brdrl\\brdrs\\brdrw10\\brsp60\\brdrb"
                         "\\brdrs\\brdrw30\\brdrcf1\\brsp120\\brdrr\\brdrs\\brdrw10\\brsp60\\cbpat3 Wichtig\\par"
                         " Auch\\par\\pard Danach\\par}"
            << u"Auch"_s << u"cell"_s
            << u"0 8 4 8 4 2/3/#ff0000 0.6667/3/#000000 2/3/#ff0000 0.6667/3/#000000 100 2 #ffff00"_s;
        QTest::newRow("box of all sides")
            << QByteArray("\\pard\\box\\brdrdb\\brdrw10 Rahmen\\par}") << u"Rahmen"_s << u"cell"_s
            << u"0 0 0 0 0 2/4/#000000 2/4/#000000 2/4/#000000 2/4/#000000 100 2"_s;
        // Page header and footer: once above and below the text; the first page's header only
        // without one for all pages, left pages' not at all.
        QTest::newRow("header and footer")
            << QByteArray("{\\headerl links}{\\headerf erste}{\\header\\pard\\qc Kopf\\par}{\\footer Fu\\'df}"
                          "\\pard Text\\par Ende}")
            << u"Text"_s << u"blocks"_s << u"K:Kopf Text Ende F:Fuß"_s;
        QTest::newRow("first page header")
            << QByteArray("{\\headerf erste}Text{\\footerl links}}") << u"Text"_s << u"blocks"_s << u"K:erste Text"_s;
        // A style based on another takes its colour, size, italic and spacing where it sets none.
        QTest::newRow("based on")
            << kColors + "{\\stylesheet{\\s1\\cf2\\fs30\\i\\sb120\\sa240\\li300 Grund;}{\\s2\\sbasedon1\\fs20"
                         "\\sa60 Zelle;}{\\s3\\sbasedon3\\b Kreis;}}\\pard\\s2 Zelltext\\par\\s3 rund\\par}"
            << u"Zelltext"_s << u"chars"_s << u"#0000ff 10 1 0 0 20 8 4"_s;
        QTest::newRow("double underline") << QByteArray("a {\\uldb doppelt}{\\ul\\uldb\\ul einfach} b}")
                                          << u"doppelt"_s << u"chars"_s << u"#000000 0 0 1 1 0 0 0"_s;
        QTest::newRow("single after double") << QByteArray("a {\\uldb\\ul einfach} b}") << u"einfach"_s
                                             << u"chars"_s << u"#000000 0 0 1 0 0 0 0"_s;
    }

    void aspects() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, word);
        QFETCH(QString, aspect);
        QTextDocument d;
        Rtf::read("{\\rtf1\\ansi " + rtf + "}", d);
        QTEST(describe(d, word, aspect), "expected");
    }

    // The picture of a shape in the size of the shape, on a line of its own when no text flows
    // beside it; the shape's other pictures and its fallback are not shown.
    void shapePictures_data() {
        QTest::addColumn<QByteArray>("shape");
        QTest::addColumn<QString>("expected");
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        png = png.toHex();
        const QByteArray pict = "{\\pict\\pngblip\\picw4\\pich2 " + png + "}";
        QTest::newRow("block") << "{\\shp{\\*\\shpinst\\shpleft100\\shptop0\\shpright1600\\shpbottom750\\shpwr3"
                                  "{\\sp{\\sn pib}{\\sv " + pict + "}}{\\sp{\\sn fillBlip}{\\sv " + pict +
                                      "}}}{\\shprslt{\\pict\\wmetafile8 0100}}}"
                               << u"100x50 \uFFFC\u2028"_s;
        QTest::newRow("inline") << "{\\shp{\\*\\shpinst\\shpwr2{\\sp{\\sn pib}{\\sv " + pict + "}}}}"
                                << u"4x2 \uFFFCT"_s;
        QTest::newRow("in a field") << "{\\field{\\*\\fldinst SHAPE}{\\fldrslt{\\shp{\\*\\shpinst\\shpleft0\\shptop0"
                                       "\\shpright300\\shpbottom300{\\sp{\\sn pib}{\\sv " + pict + "}}}}}}"
                                    << u"20x20 \uFFFCT"_s;
        QTest::newRow("hidden") << "{\\v{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv " + pict + "}}}}}" << u"Te"_s;
        QTest::newRow("other property") << "{\\shp{\\*\\shpinst{\\sp{\\sn pibName}{\\sv " + pict + "}}}}"
                                        << u"Te"_s;
    }
    void shapePictures() {
        QFETCH(QByteArray, shape);
        QTextDocument d;
        Rtf::read("{\\rtf1 " + shape + "Text\\par}", d);
        QTEST(describe(d, u"Text"_s, u"picture"_s), "expected");
    }

    // A school's regulation written in a word processor with all of the above, saved as RTF
    // directly and by way of .docx: every word of the word processor's text export arrives in
    // its order between the page header and footer, with its layout.
    void wordProcessorSamples_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("direct") << u"schulordnung-direkt.rtf"_s;
        QTest::newRow("via docx") << u"schulordnung-docx.rtf"_s;
    }
    void wordProcessorSamples() {
        QFETCH(QString, file);
        const QString folder = QStringLiteral(FACHLESE_SOURCE_DIR "/tests/richtext/data/");
        QFile rtf(folder + file), text(folder + u"schulordnung.txt"_s);
        QVERIFY(rtf.open(QIODevice::ReadOnly) && text.open(QIODevice::ReadOnly));
        QTextDocument d;
        Rtf::read(rtf.readAll(), d);
        QStringList blocks = describe(d, u"Schullogo"_s, u"blocks"_s).split(u' ');
        QCOMPARE(blocks.first(), u"K:Gymnasium"_s);
        QCOMPARE(d.lastBlock().text().left(20), u"Stand: Dezember 2026"_s);
        QString shown;
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
            if (!b.blockFormat().hasProperty(Rtf::kPageHeader) && !b.blockFormat().hasProperty(Rtf::kPageFooter))
                shown += b.text().remove(QChar::ObjectReplacementCharacter) + u'\n';
        const QRegularExpression blank(u"\\s+"_s, QRegularExpression::UseUnicodePropertiesOption);
        QCOMPARE(shown.split(blank, Qt::SkipEmptyParts),
                 QString::fromUtf8(text.readAll()).remove(QChar(0xFEFF)).split(blank, Qt::SkipEmptyParts));
        QCOMPARE(describe(d, u"Unser"_s, u"picture"_s).left(9), u"151.1x75."_s);
        QCOMPARE(describe(d, u"Inhalt"_s, u"tabs"_s), u"113.4c. 340.1d,- 604.7r."_s);
        QCOMPARE(describe(d, u"Unterschrift"_s, u"tabs"_s), u"604.7r_"_s);
        QCOMPARE(describe(d, u"Anderthalb"_s, u"line"_s), u"150 1"_s);
        QCOMPARE(describe(d, u"Genau"_s, u"line"_s), u"30.27 2"_s);
        QCOMPARE(describe(d, u"Mindestens"_s, u"line"_s), u"37.8 3"_s);
        QVERIFY(describe(d, u"Wichtig"_s, u"cell"_s).contains(u"2/3/#c00000 0.6667/3/#000000"_s));
        QVERIFY(describe(d, u"Mitte"_s, u"cell"_s).startsWith(u"3 "_s));
        QVERIFY(describe(d, u"unten"_s, u"cell"_s).startsWith(u"5 "_s));
        QVERIFY(describe(d, u"Mitte"_s, u"cell"_s).contains(u" 15.13 "_s)); // the left padding
        QCOMPARE(describe(d, u"doppelt"_s, u"chars"_s).section(u' ', 3, 4), u"1 1"_s);
        QCOMPARE(describe(d, u"Der Grundtext"_s, u"chars"_s).section(u' ', 0, 0), u"#1f4e79"_s);
    }
};

QTEST_MAIN(TestRtfLayout)
#include "tst_rtflayout.moc"
