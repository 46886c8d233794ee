// The RTF reader: each construct on a small input, a file as word processors save it, and
// malformed input that must neither crash nor hang.

#include "windows/rtfreader.h"
#include "windows/rtftokenizer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

QString raw(const QByteArray &rtf) {
    QTextDocument document;
    Rtf::read(rtf, document);
    return document.toRawText();
}

// The document's text with paragraphs separated by '\n' (line breaks stay U+2028).
QString text(const QByteArray &rtf) {
    QString result = raw(rtf);
    result.replace(QChar::ParagraphSeparator, u'\n');
    return result;
}

// The character format at the first occurrence of `word`.
QTextCharFormat formatAt(const QTextDocument &document, const QString &word) {
    QTextCursor cursor = document.find(word);
    if (cursor.isNull())
        return QTextCharFormat();
    cursor.setPosition(cursor.selectionStart() + 1);
    return cursor.charFormat();
}

QTextBlockFormat blockOf(const QTextDocument &document, const QString &word) {
    const QTextCursor cursor = document.find(word);
    return cursor.isNull() ? QTextBlockFormat() : cursor.block().blockFormat();
}

// As a word processor saves it: header tables, starred groups, a field, Unicode with fallbacks,
// a picture with binary data, and a table.
const QByteArray kWordProcessorFile =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman{\\*\\falt Times};}{\\f2\\fswiss\\fcharset238 Arial CE;}"
    "{\\f3\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "{\\*\\expandedcolortbl;;}\r\n"
    "{\\stylesheet{\\s0\\snext0\\f0\\fs24 Normal;}{\\s1\\sbasedon0\\b\\fs32 heading 1;}}\r\n"
    "{\\*\\generator Riched20 10.0.19041}{\\info{\\title Probe}{\\author Anna}{\\creatim\\yr2003\\mo5\\dy12}}"
    "{\\*\\themedata 504b0304}{\\*\\colorschememapping "
    "3c3f786d6c}{\\*\\latentstyles\\lsdstimax376{\\lsdlockedexcept Normal;}}"
    "\\viewkind4\\uc1\r\n"
    "{\\header \\pard\\plain Kopfzeile\\par}{\\footer \\pard\\plain Fu\\'dfzeile\\par}\r\n"
    "\\pard\\sa200\\sl276\\slmult1\\qc\\b\\f1\\fs32 \\'dcberschrift\\b0\\par\r\n"
    "\\pard\\sa200\\f0\\fs22 Gr\\u252\\'fc\\'dfe, {\\i kursiv} und {\\cf1 rot}{\\*\\bkmkstart "
    "Marke}{\\*\\bkmkend Marke}.\\par\r\n"
    "\\f2 P\\'f8\\'edli\\'9a\\f0  \\u8364?\\u-10179?\\u-8704? \\uc2\\u8212\\'97\\'97 Ende\\uc1\\par\r\n"
    "{\\field{\\*\\fldinst{HYPERLINK \"http://example.org/\"}}{\\fldrslt{\\ul\\cf2 Verweis}}}\\par\r\n"
    "{\\*\\shppict{\\pict\\pngblip\\picw10\\pich10\\bin6 {}{\\}}}}{\\nonshppict{\\pict\\wmetafile8 0100}}\r\n"
    "{\\listtext\\f3\\'b7\\tab}Punkt\\par\r\n"
    "\\trowd\\trgaph108\\cellx2000\\cellx4000\\cellx6000\r\n"
    "\\pard\\intbl Fach\\cell Stunden\\cell\\cell\\row\r\n"
    "\\trowd\\trgaph108\\cellx2000\\cellx4000\\cellx6000\r\n"
    "\\pard\\intbl Deutsch\\cell 4\\cell Pflicht\\cell\\row\r\n"
    "\\pard\\sa200 Schluss\\par\r\n"
    "}\r\n"
    "nachher";

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void tokenizer_data();
    void tokenizer();
    void plainText_data();
    void plainText();
    void characterFormats();
    void paragraphFormats();
    void fontTableAndCodePages();
    void pageBreak();
    void wordProcessorFile();
    void malformed_data();
    void malformed();
    void absurdNestingKeepsTextOutside();
    void documents_data();
    void documents();
    void fuzz();
};

void TestRtfReader::tokenizer_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("tokens");

    // W word[param] / S symbol / H hex / T text / { } / B binary length
    QTest::newRow("word with blank delimiter") << QByteArray("\\b Text") << u"W b|T Text"_s;
    QTest::newRow("only one blank belongs to the word") << QByteArray("\\b  x") << u"W b|T  x"_s;
    QTest::newRow("negative parameter") << QByteArray("\\fi-360 x") << u"W fi-360|T x"_s;
    QTest::newRow("minus without digits is text") << QByteArray("\\b-x") << u"W b|T -x"_s;
    QTest::newRow("parameter ends at a letter") << QByteArray("\\fs24x") << u"W fs24|T x"_s;
    QTest::newRow("huge parameter clamped") << QByteArray("\\li99999999999999 ") << u"W li2147483647"_s;
    QTest::newRow("long word cut to 32 letters")
        << QByteArray("\\abcdefghijklmnopqrstuvwxyzabcdefghij1") << u"W abcdefghijklmnopqrstuvwxyzabcdef1"_s;
    QTest::newRow("symbols") << QByteArray("\\{\\}\\\\\\~\\*") << u"S {|S }|S \\|S ~|S *"_s;
    QTest::newRow("hex") << QByteArray("\\'e4\\'FC") << u"H e4|H fc"_s;
    QTest::newRow("hex with one digit") << QByteArray("\\'f") << u"H 0f"_s;
    QTest::newRow("broken hex dropped") << QByteArray("a\\'zz") << u"T a|T zz"_s;
    QTest::newRow("line ends between tokens") << QByteArray("a\r\nb") << u"T a|T b"_s;
    QTest::newRow("backslash newline") << QByteArray("\\\nx") << u"S \n|T x"_s;
    QTest::newRow("groups") << QByteArray("{a}") << u"{|T a|}"_s;
    QTest::newRow("binary skipped") << QByteArray("\\bin3 {}\\x") << u"B 3|T x"_s;
    QTest::newRow("binary beyond the end") << QByteArray("\\bin2000000000 ab") << u"B 2"_s;
    QTest::newRow("negative binary") << QByteArray("\\bin-5 ab") << u"B 0|T ab"_s;
    QTest::newRow("lone backslash at end") << QByteArray("a\\") << u"T a"_s;
}

void TestRtfReader::tokenizer() {
    QFETCH(QByteArray, input);
    QFETCH(QString, tokens);
    RtfTokenizer tokenizer(input);
    QStringList seen;
    for (int guard = 0; guard < 100; ++guard) {
        const RtfTokenizer::Token t = tokenizer.next();
        switch (t.type) {
        case RtfTokenizer::Type::GroupStart:
            seen << u"{"_s;
            break;
        case RtfTokenizer::Type::GroupEnd:
            seen << u"}"_s;
            break;
        case RtfTokenizer::Type::ControlWord:
            seen << u"W "_s + QString::fromLatin1(t.word) +
                        (t.hasParameter ? QString::number(t.parameter) : QString());
            break;
        case RtfTokenizer::Type::ControlSymbol:
            seen << u"S "_s + QChar(char16_t(t.symbol));
            break;
        case RtfTokenizer::Type::HexByte:
            seen << u"H "_s + QStringLiteral("%1").arg(t.byte, 2, 16, QChar(u'0'));
            break;
        case RtfTokenizer::Type::Text:
            seen << u"T "_s + QString::fromLatin1(t.text);
            break;
        case RtfTokenizer::Type::Binary:
            seen << u"B "_s + QString::number(t.parameter);
            break;
        case RtfTokenizer::Type::End:
            guard = 100;
            break;
        }
    }
    QCOMPARE(seen.join(u'|'), tokens);
}

void TestRtfReader::plainText_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("simple") << QByteArray("{\\rtf1 Hallo Welt}") << u"Hallo Welt"_s;
    QTest::newRow("par") << QByteArray("{\\rtf1 a\\par b}") << u"a\nb"_s;
    QTest::newRow("backslash newline is par") << QByteArray("{\\rtf1 a\\\nb}") << u"a\nb"_s;
    QTest::newRow("line") << QByteArray("{\\rtf1 a\\line b}") << u"a\u2028b"_s;
    QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << u"a\tb"_s;
    QTest::newRow("line ends in the file are no text") << QByteArray("{\\rtf1 Zei\r\nle}") << u"Zeile"_s;
    QTest::newRow("escaped braces and backslash") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << u"{x}\\"_s;
    QTest::newRow("special symbols") << QByteArray("{\\rtf1 a\\~b\\-c\\_d}") << u"a\u00A0b\u00ADc\u2011d"_s;
    QTest::newRow("named characters")
        << QByteArray("{\\rtf1 \\ldblquote x\\rdblquote \\endash \\emdash \\bullet}")
        << u"\u201Cx\u201D\u2013\u2014\u2022"_s;
    QTest::newRow("hex in 1252") << QByteArray(
                                        "{\\rtf1\\ansi \\'c4\\'d6\\'dc\\'e4\\'f6\\'fc\\'df \\'80\\'84\\'93}")
                                 << u"ÄÖÜäöüß €„“"_s;
    QTest::newRow("ansicpg 1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}") << u"Аб"_s;
    QTest::newRow("unicode with fallback") << QByteArray("{\\rtf1 \\u228?x}") << u"äx"_s;
    QTest::newRow("unicode with hex fallback") << QByteArray("{\\rtf1 \\u8364\\'80x}") << u"€x"_s;
    QTest::newRow("uc2 skips two") << QByteArray("{\\rtf1\\uc2 \\u228??x}") << u"äx"_s;
    QTest::newRow("uc0 skips nothing") << QByteArray("{\\rtf1\\uc0 \\u228 x}") << u"äx"_s;
    QTest::newRow("uc is scoped to its group") << QByteArray("{\\rtf1 {\\uc2 \\u228??}\\u246?x}") << u"äöx"_s;
    QTest::newRow("fallback skip stops at a brace") << QByteArray("{\\rtf1\\uc3 \\u228{x}y}") << u"äxy"_s;
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-3?}") << u"\uFFFD"_s;
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << u"\U0001F600"_s;
    QTest::newRow("lone surrogate replaced") << QByteArray("{\\rtf1 \\u-10179?x}") << u"\uFFFDx"_s;
    QTest::newRow("ignorable destination") << QByteArray("{\\rtf1 a{\\*\\unbekannt b\\par}c}") << u"ac"_s;
    QTest::newRow("skipped destinations")
        << QByteArray(
               "{\\rtf1 {\\info{\\title T}}{\\stylesheet{Normal;}}{\\header H}{\\footer F}{\\pict 0a0b}x}")
        << u"x"_s;
    QTest::newRow("binary in a picture") << QByteArray("{\\rtf1 a{\\pict\\bin4 }}}}b}c}") << u"ac"_s;
    QTest::newRow("field shows its result")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Verweis}}}") << u"Verweis"_s;
    QTest::newRow("table cells separated by tabs")
        << QByteArray("{\\rtf1 \\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row "
                      "\\trowd\\cellx1000\\cellx2000\\pard\\intbl C\\cell D\\cell\\row}")
        << u"A\tB\nC\tD\n"_s;
    QTest::newRow("empty cells") << QByteArray("{\\rtf1 \\intbl\\cell B\\cell\\cell\\row}") << u"\tB\t\n"_s;
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v verborgen}b}") << u"ab"_s;
    QTest::newRow("unknown words ignored") << QByteArray("{\\rtf1 \\foo12 \\bar x}") << u"x"_s;
    QTest::newRow("text after the document") << QByteArray("{\\rtf1 a}b{c}") << u"a"_s;
    QTest::newRow("text before the document") << QByteArray("vorher{\\rtf1 a}") << u"a"_s;
    QTest::newRow("list text shown") << QByteArray("{\\rtf1 {\\listtext 1.\\tab}Punkt}") << u"1.\tPunkt"_s;
}

void TestRtfReader::plainText() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(text(rtf), expected);
}

void TestRtfReader::characterFormats() {
    QTextDocument document;
    Rtf::read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
              "\\b fett\\b0  normal {\\i kursiv} \\ul unter\\ulnone  ohne \\ul0 x\\strike durch\\strike0  "
              "{\\fs40 gross}{\\cf1 rot}{\\cf2\\b gruen}{\\cf9 fehlt} \\b\\i\\plain schlicht "
              "{\\b aussen{\\b0 innen}wieder}}",
              document);
    QVERIFY(formatAt(document, u"fett"_s).font().bold());
    QVERIFY(!formatAt(document, u"normal"_s).font().bold());
    QVERIFY(formatAt(document, u"kursiv"_s).font().italic());
    QVERIFY(!formatAt(document, u"normal"_s).font().italic());
    QVERIFY(formatAt(document, u"unter"_s).font().underline());
    QVERIFY(!formatAt(document, u"ohne"_s).font().underline());
    QVERIFY(formatAt(document, u"durch"_s).font().strikeOut());
    QCOMPARE(formatAt(document, u"gross"_s).fontPointSize(), 20.0);
    QCOMPARE(formatAt(document, u"rot"_s).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatAt(document, u"gruen"_s).foreground().color(), QColor(0, 128, 0));
    QVERIFY(formatAt(document, u"gruen"_s).font().bold());
    QVERIFY(!formatAt(document, u"fehlt"_s).hasProperty(QTextFormat::ForegroundBrush));
    const QTextCharFormat plain = formatAt(document, u"schlicht"_s);
    QVERIFY(!plain.font().bold());
    QVERIFY(!plain.font().italic());
    // A group restores the formatting of its surroundings.
    QVERIFY(formatAt(document, u"aussen"_s).font().bold());
    QVERIFY(!formatAt(document, u"innen"_s).font().bold());
    QVERIFY(formatAt(document, u"wieder"_s).font().bold());
}

void TestRtfReader::paragraphFormats() {
    QTextDocument document;
    Rtf::read("{\\rtf1 \\qc mitte\\par \\qr rechts\\par \\qj block\\par \\ql links\\par "
              "\\li720\\ri360\\fi-360\\sb240\\sa120 eingerueckt\\par \\pard zurueck\\par "
              "\\tx1440 tab\\par {\\qc gruppe\\par}danach}",
              document);
    QCOMPARE(blockOf(document, u"mitte"_s).alignment(), Qt::AlignHCenter);
    QCOMPARE(blockOf(document, u"rechts"_s).alignment(), Qt::AlignRight);
    QCOMPARE(blockOf(document, u"block"_s).alignment(), Qt::AlignJustify);
    QCOMPARE(blockOf(document, u"links"_s).alignment(), Qt::AlignLeft);
    const QTextBlockFormat indented = blockOf(document, u"eingerueckt"_s);
    QCOMPARE(indented.leftMargin(), 48.0); // 720 twips = 0.5 inch
    QCOMPARE(indented.rightMargin(), 24.0);
    QCOMPARE(indented.textIndent(), -24.0);
    QCOMPARE(indented.topMargin(), 16.0);
    QCOMPARE(indented.bottomMargin(), 8.0);
    // \pard resets the paragraph, not the alignment of earlier ones.
    const QTextBlockFormat reset = blockOf(document, u"zurueck"_s);
    QCOMPARE(reset.leftMargin(), 0.0);
    QCOMPARE(reset.textIndent(), 0.0);
    QCOMPARE(reset.alignment(), Qt::AlignLeft);
    QCOMPARE(blockOf(document, u"tab"_s).tabPositions().size(), 1);
    QCOMPARE(blockOf(document, u"tab"_s).tabPositions().first().position, 96.0);
    QCOMPARE(blockOf(document, u"gruppe"_s).alignment(), Qt::AlignHCenter);
    QCOMPARE(blockOf(document, u"danach"_s).alignment(), Qt::AlignLeft);
}

void TestRtfReader::fontTableAndCodePages() {
    QTextDocument document;
    Rtf::read(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
        "{\\f1\\fswiss\\fcharset204 Arial Cyr;}\\f2\\fmodern Courier New;{\\f3\\fcharset238\\cpg1250 EE;}}"
        "\\f0 \\'c0a \\f1 \\'c0b \\f2 \\'c0c \\f3 \\'9ad \\f7 \\'c0e}",
        document);
    QCOMPARE(document.toPlainText(), u"Àa Аb Àc šd Àe"_s);
    QCOMPARE(formatAt(document, u"a "_s).fontFamilies().toStringList(), QStringList{u"Times New Roman"_s});
    QCOMPARE(formatAt(document, u"b "_s).fontFamilies().toStringList(), QStringList{u"Arial Cyr"_s});
    QCOMPARE(formatAt(document, u"c "_s).fontFamilies().toStringList(), QStringList{u"Courier New"_s});
    QCOMPARE(formatAt(document, u"c "_s).fontStyleHint(), QFont::Monospace);
    // An unknown font number falls back to the default font \deff.
    QCOMPARE(formatAt(document, u"e"_s).fontFamilies().toStringList(), QStringList{u"Times New Roman"_s});

    QCOMPARE(Rtf::codePageOfCharset(0), 1252);
    QCOMPARE(Rtf::codePageOfCharset(204), 1251);
    QCOMPARE(Rtf::codePageOfCharset(1), 0);
    QCOMPARE(Rtf::decode("\x80\x9f\xe4\x01\t", 1252), u"€Ÿä\t"_s);
    QCOMPARE(Rtf::decode("\xe4", 99999), u"ä"_s); // unknown code page: read as 1252
}

void TestRtfReader::pageBreak() {
    QTextDocument document;
    Rtf::read("{\\rtf1 eins\\page zwei}", document);
    QCOMPARE(document.blockCount(), 2);
    QCOMPARE(blockOf(document, u"zwei"_s).pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    QCOMPARE(blockOf(document, u"eins"_s).pageBreakPolicy(), QTextFormat::PageBreak_Auto);
}

void TestRtfReader::wordProcessorFile() {
    QTextDocument document;
    Rtf::read(kWordProcessorFile, document);
    QCOMPARE(text(kWordProcessorFile), u"Überschrift\n"
                                       "Grüße, kursiv und rot.\n"
                                       "Příliš €\U0001F600 — Ende\n"
                                       "Verweis\n"
                                       "\u2022\tPunkt\n"
                                       "Fach\tStunden\t\n"
                                       "Deutsch\t4\tPflicht\n"
                                       "Schluss\n"_s);
    QCOMPARE(blockOf(document, u"Überschrift"_s).alignment(), Qt::AlignHCenter);
    QVERIFY(formatAt(document, u"Überschrift"_s).font().bold());
    QCOMPARE(formatAt(document, u"Überschrift"_s).fontPointSize(), 16.0);
    QVERIFY(!formatAt(document, u"Grüße"_s).font().bold());
    QCOMPARE(formatAt(document, u"Grüße"_s).fontFamilies().toStringList(), QStringList{u"Calibri"_s});
    QCOMPARE(formatAt(document, u"Verweis"_s).foreground().color(), QColor(0, 0, 255));
    QVERIFY(formatAt(document, u"Verweis"_s).font().underline());
    QCOMPARE(formatAt(document, u"Überschrift"_s).fontFamilies().toStringList(),
             QStringList{u"Times New Roman"_s});
}

void TestRtfReader::malformed_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("missing closing brace") << QByteArray("{\\rtf1 a{\\b b") << u"ab"_s;
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}}") << u"a"_s;
    QTest::newRow("truncated in a word") << QByteArray("{\\rtf1 a\\pa") << u"a"_s;
    QTest::newRow("truncated in hex") << QByteArray("{\\rtf1 a\\'") << u"a"_s;
    QTest::newRow("truncated after backslash") << QByteArray("{\\rtf1 a\\") << u"a"_s;
    QTest::newRow("truncated in the font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari") << QString();
    QTest::newRow("huge bin") << QByteArray("{\\rtf1 a\\bin2147483647 xyz}") << u"a"_s;
    QTest::newRow("unicode without parameter") << QByteArray("{\\rtf1 \\u x}") << u"x"_s;
    QTest::newRow("huge uc") << QByteArray("{\\rtf1\\uc2000000000 \\u228 abc}") << u"ä"_s;
    QTest::newRow("huge font size") << QByteArray("{\\rtf1\\fs2147483647 x}") << u"x"_s;
    QTest::newRow("huge indents") << QByteArray("{\\rtf1\\li-2147483647\\fi2147483647 x}") << u"x"_s;
    QTest::newRow("control characters") << QByteArray("{\\rtf1 a\x01\x02\x7f b}", 16) << u"a\x7f b"_s;
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 11) << u"ab"_s;
    QTest::newRow("colour table without entries") << QByteArray("{\\rtf1{\\colortbl}\\cf5 x}") << u"x"_s;
    QTest::newRow("negative colour") << QByteArray("{\\rtf1{\\colortbl;\\red-5;}\\cf-1 x}") << u"x"_s;
    QTest::newRow("cell outside a table") << QByteArray("{\\rtf1 \\cell\\row a}") << u"\na"_s;
}

void TestRtfReader::malformed() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(text(rtf), expected);
}

void TestRtfReader::absurdNestingKeepsTextOutside() {
    QByteArray deep = "{\\rtf1 vorher";
    deep += QByteArray(100000, '{') + "tief" + QByteArray(100000, '}');
    deep += "nachher}";
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(text(deep), u"vorhernachher"_s);
    QVERIFY(timer.elapsed() < 5000);

    // Never closed: the reader stops at the end of the input.
    QCOMPARE(text("{\\rtf1 a" + QByteArray(50000, '{')), u"a"_s);
}

void TestRtfReader::documents_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("heading");
    QTest::newRow("Verordnung") << u"Verordnung.rtf"_s << u"Oberstufenverordnung – Regeln für die Kurswahl"_s;
    QTest::newRow("Anleitung") << u"Anleitung.rtf"_s << u"Anleitung zur Fachlese"_s;
    QTest::newRow("Hilfe") << u"Hilfe.rtf"_s << u"Hilfe zur Bedienung"_s;
}

// The three documents of the program are valid RTF whose German text comes out intact.
void TestRtfReader::documents() {
    QFETCH(QString, file);
    QFETCH(QString, heading);
    QFile f(QStringLiteral(FACHLESE_SOURCE_DIR "/documents/") + file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    QVERIFY(Rtf::looksLikeRtf(data));
    QVERIFY(data.contains("\\ansicpg1252"));
    for (char c : data) // plain ASCII: umlauts are escaped
        QVERIFY(static_cast<unsigned char>(c) < 0x80);
    QCOMPARE(data.count('{'), data.count('}'));

    QTextDocument document;
    Rtf::read(data, document);
    const QString plain = document.toPlainText();
    QVERIFY(plain.startsWith(heading));
    QVERIFY(formatAt(document, heading).font().bold());
    QVERIFY(!plain.contains(u'\\'));
    QVERIFY(!plain.contains(u'\uFFFD'));
    QVERIFY(plain.contains(u"ü"_s));
    QVERIFY(document.blockCount() > 20);
}

// Mutated documents must neither crash nor hang the reader.
void TestRtfReader::fuzz() {
    QList<QByteArray> seeds = {kWordProcessorFile};
    for (const char *name : {"Verordnung.rtf", "Hilfe.rtf"}) {
        QFile f(QStringLiteral(FACHLESE_SOURCE_DIR "/documents/") + QString::fromLatin1(name));
        if (f.open(QIODevice::ReadOnly))
            seeds << f.readAll().left(4000);
    }
    static const QByteArray pieces[] = {
        "{",     "}",         "\\",     "\\'",   "\\u-",      "\\uc9 ",     "\\bin", "\\bin9999999 ",
        "\\*",   "\\par",     "\\cell", "\\row", "\\fonttbl", "\\colortbl", "\\f",   "\\fs-5",
        "\\'ff", "\\u55357 ", ";",      "\x01"};
    QRandomGenerator random(20030512);
    QElapsedTimer timer;
    timer.start();
    int rounds = 0;
    while (rounds < 2000 && timer.elapsed() < 4000) {
        QByteArray data = seeds.at(random.bounded(int(seeds.size())));
        const int mutations = 1 + random.bounded(12);
        for (int m = 0; m < mutations && !data.isEmpty(); ++m) {
            const int at = random.bounded(int(data.size()));
            switch (random.bounded(5)) {
            case 0:
                data[at] = char(random.bounded(256));
                break;
            case 1:
                data.remove(at, random.bounded(40));
                break;
            case 2:
                data.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
                break;
            case 3:
                data.truncate(at);
                break;
            default:
                data.insert(at, data.mid(random.bounded(int(data.size())), 60));
                break;
            }
        }
        QTextDocument document;
        Rtf::read(data, document);
        QVERIFY(document.characterCount() <= data.size() + 2);
        ++rounds;
    }
    QVERIFY(rounds > 50);
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
