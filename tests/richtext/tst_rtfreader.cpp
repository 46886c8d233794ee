// The RTF reader: each construct on a small input, a file as word processors save it, and
// malformed input that must neither crash nor hang.

#include "richtext/rtfreader.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
            {"{\\rtf1\\ansi \\'c4\\'fc\\'df\\'80\\'84\\'93\\'f}", u"Äüß€„“"_s},
            {"{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}", u"Аб"_s},
            {"{\\rtf1\\uc2 \\u228??x{\\uc0 \\u246 }\\u252??}", u"äxöü"_s},
            {"{\\rtf1\\uc3 \\u228{x}y}", u"äxy"_s}, // a brace ends the fallback
            {"{\\rtf1 \\u-10179?\\u-8704?\\u-10179?x\\u-3?}", u"\U0001F600\uFFFDx\uFFFD"_s},
            {"{\\rtf1 a{\\*\\x b\\par}{\\info{\\title T}}{\\header H}{\\footer F}c}", u"ac"_s},
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
                                 "[Bild]\u2022\tPunkt\n\uFDD0Deutsch\uFDD04\uFDD0Pflicht\uFDD1Schluss\n"_s},
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

    // Mutations of the word processor file must neither crash nor hang the reader.
    void fuzz() {
        const QList<QByteArray> pieces =
            QByteArray("{|}|\\|\\'|\\u-|\\uc9 |\\bin9999999 "
                       "|\\*|\\par|\\cell|\\fonttbl|\\colortbl|\\f|\\fs-5|\\u55357 |;")
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
