// The RTF reader: each construct on a small input, a file as word processors save it, and
// malformed input that must neither crash nor hang.

#include "richtext/rtfreader.h"
#include "richtext/rtftokenizer.h"
#include "support/tables.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMetaEnum>
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

QByteArray imageHex(const char *format, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toHex();
}

// The formats of a document, one line per block, table and cell in their order, each with the
// properties set in its format: what the reader made of the input, to compare with a file.
QString formatText(const QTextFormat &format) {
    static const QMetaEnum names = QMetaEnum::fromType<QTextFormat::Property>();
    QString text;
    const QMap<int, QVariant> properties = format.properties();
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        const QVariant &v = it.value();
        QString value = v.toString();
        if (v.metaType() == QMetaType::fromType<QBrush>())
            value = v.value<QBrush>().style() == Qt::NoBrush ? u"none"_s : v.value<QBrush>().color().name();
        else if (v.metaType() == QMetaType::fromType<QStringList>())
            value = v.toStringList().join(u',');
        else if (v.metaType() == QMetaType::fromType<QTextLength>())
            value = QString::number(v.value<QTextLength>().rawValue());
        else if (v.metaType() == QMetaType::fromType<QVariantList>()) {
            for (const QVariant &item : v.toList())
                if (item.metaType() == QMetaType::fromType<QTextLength>())
                    value += QString::number(item.value<QTextLength>().rawValue()) + u';';
                else // a tab stop: position, kind (left, right, centre, decimal) and decimal sign
                    value += QString::number(item.value<QTextOption::Tab>().position) +
                             u"lrcd"_s.at(int(item.value<QTextOption::Tab>().type)) +
                             QString(item.value<QTextOption::Tab>().delimiter).remove(QChar(0)) + u';';
        }
        const char *name = names.valueToKey(it.key());
        text += u' ' + (name ? QString::fromLatin1(name) : QString::number(it.key())) + u'=' + value;
    }
    return text;
}

void describe(QTextFrame::iterator it, QStringList &lines, const QString &indent) {
    for (; !it.atEnd(); ++it) {
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame())) {
            lines << indent + u"table %1x%2"_s.arg(table->rows()).arg(table->columns()) +
                         formatText(table->format());
            for (int r = 0; r < table->rows(); ++r)
                for (int c = 0; c < table->columns(); ++c)
                    if (const QTextTableCell cell = table->cellAt(r, c);
                        cell.row() == r && cell.column() == c) {
                        lines << indent +
                                     u"  cell %1,%2 span %3x%4"_s.arg(r)
                                         .arg(c)
                                         .arg(cell.rowSpan())
                                         .arg(cell.columnSpan()) +
                                     formatText(cell.format());
                        describe(cell.begin(), lines, indent + u"    "_s);
                    }
        } else if (const QTextBlock block = it.currentBlock(); block.isValid()) {
            lines << indent + u"block"_s + formatText(block.blockFormat());
            for (auto f = block.begin(); !f.atEnd(); ++f)
                lines << indent + u"  \""_s + f.fragment().text() + u'"' +
                             formatText(f.fragment().charFormat());
        }
    }
}

QByteArray describe(const QTextDocument &document) {
    QStringList lines;
    describe(document.rootFrame()->begin(), lines, QString());
    return (lines.join(u'\n') + u'\n').toUtf8();
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    // The cases of data/text.tsv, and input too large or too odd for a line of it; the file as
    // a word processor saves it has header tables, starred groups, a field, Unicode with
    // fallbacks, pictures with binary data, a list bullet in the symbol font and a table.
    void text_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        for (const QList<QByteArray> &row : tables::rows(u"richtext/data/text.tsv"_s))
            QTest::newRow(row.value(0).constData())
                << tables::bytes(row.value(1)) << tables::text(row.value(2));
        QTest::newRow("NUL") << QByteArray("{\\rtf1 a\0b}", 11) << u"ab"_s;
        QTest::newRow("deep") << "{\\rtf1 vorher" + QByteArray(100000, '{') + "tief" +
                                     QByteArray(100000, '}') + "nachher}"
                              << u"vorhernachher"_s;
        QTest::newRow("never closed") << "{\\rtf1 a" + QByteArray(50000, '{') << u"a"_s;
        QTest::newRow("word processor")
            << tables::fileBytes(u"richtext/data/wordprocessor.rtf"_s)
            << u"Überschrift\nGrüße, kursiv und rot.\nPříliš €\U0001F600 — Ende\nVerweis\n"
               "[Bild]\u2022\tPunkt\uFDD0Deutsch\uFDD04\uFDD0Pflicht\uFDD1Schluss\n"_s;
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

    // Each construct on a small document (data/documents/NAME.rtf) against the formats the
    // reader gave it (NAME.txt): character and paragraph formats, groups, styles, tables with
    // joined, nested and empty cells and edges beyond the page, footnotes, list paragraphs,
    // page breaks, tab stops with kinds and leaders, line spacing, the layout of cells,
    // paragraph boxes, the header and footer shown, styles based on others, double underlines
    // and the pictures of shapes in their size and place.
    void formats_data() {
        QTest::addColumn<QString>("name");
        for (const char *name :
             {"formats", "tables", "tableEdgesAndEmptyCells", "nestedTables", "footnotes", "listParagraphs",
              "formatsFromStyles", "pageBreaks", "tabsAndLineSpacing", "cellsAndBoxes", "headerAndFooter",
              "firstPageHeader", "basedOnStyles", "shapePictures"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void formats() {
        QFETCH(QString, name);
        QTextDocument d;
        Rtf::read(tables::fileBytes(u"richtext/data/documents/"_s + name + u".rtf"_s), d);
        const QByteArray described = describe(d);
        QCOMPARE(described, tables::golden(u"richtext/data/documents/"_s + name + u".txt"_s, described));
    }

    // PNG and JPEG at \picwgoal/\pichgoal (twips) scaled by \picscalex/y, or at their own size;
    // a PNG alternative wins over a metafile; what cannot be shown is "[Bild]".
    void pictures_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QList<QSizeF>>("sizes");
        QTest::addColumn<QString>("text");
        const QByteArray png = imageHex("PNG", QSize(30, 20)), large = imageHex("PNG", QSize(8000, 4000));
        for (const QList<QByteArray> &row : tables::rows(u"richtext/data/pictures.tsv"_s)) {
            QList<QSizeF> sizes;
            for (const QByteArray &size : row.value(2).split(';'))
                if (!size.isEmpty())
                    sizes.append(QSizeF(size.split('x').value(0).toInt(), size.split('x').value(1).toInt()));
            QTest::newRow(row.value(0).constData())
                << tables::bytes(row.value(1))
                       .replace("⟨png, split⟩", png.left(40) + "\n" + png.mid(40))
                       .replace("⟨png, binary⟩",
                                QByteArray::number(png.size() / 2) + " " + QByteArray::fromHex(png))
                       .replace("⟨png⟩", png)
                       .replace("⟨large⟩", large)
                       .replace("⟨jpeg⟩", imageHex("JPG", QSize(16, 8)))
                << sizes << tables::text(row.value(3));
        }
    }
    void pictures() {
        QFETCH(QByteArray, rtf);
        QTextDocument d;
        Rtf::read(rtf, d);
        QTEST(pictureSizes(d), "sizes");
        QTEST(d.toPlainText(), "text");
    }

    void colors_data() { tables::addTextRows(u"richtext/data/colors.tsv"_s, {"table", "expected"}); }
    void colors() {
        QFETCH(QString, table);
        QTextDocument d;
        Rtf::read("{\\rtf1{\\colortbl" + table.toLatin1() + "}\\cf1 x}", d);
        const QTextCharFormat format = formatAt(d, u"x"_s);
        QTEST(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color().name()
                                                               : u"none"_s,
              "expected");
    }

    void looksLikeRtf_data() {
        tables::addTextRows(u"richtext/data/looks-like-rtf.tsv"_s, {"data", "expected"});
    }
    void looksLikeRtf() {
        QFETCH(QString, data);
        QTEST(QString::number(int(Rtf::looksLikeRtf(data.toLatin1()))), "expected");
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

    // Two school documents written in a word processor, saved as RTF directly and by way of
    // .docx: every word of the word processor's own text export arrives, in its order, between
    // the page header and footer and before the notes, and the tables, pictures, tab stops,
    // boxes, spacing and formats are there (data/documents/FILE.txt).
    void wordProcessorSamples_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("footer");
        const QString note = u"\n1 Ausnahmen regelt die Schulleitung."_s,
                      page = u"\nStand: Dezember 2026, Seite 2"_s;
        const QString header = u"Gymnasium am Stadtpark – Schulordnung der Oberstufe\n"_s;
        QTest::newRow("direct") << u"regelung-direkt.rtf"_s << QString() << note;
        QTest::newRow("via docx") << u"regelung-docx.rtf"_s << QString() << note;
        QTest::newRow("layout direct") << u"schulordnung-direkt.rtf"_s << header << page;
        QTest::newRow("layout via docx") << u"schulordnung-docx.rtf"_s << header << page;
    }
    void wordProcessorSamples() {
        QFETCH(QString, file);
        QFETCH(QString, header);
        QFETCH(QString, footer);
        QTextDocument d;
        Rtf::read(tables::fileBytes(u"richtext/data/"_s + file), d);
        QString shown = d.toPlainText().remove(QChar::ObjectReplacementCharacter);
        QVERIFY2(shown.startsWith(header) && shown.endsWith(footer), qPrintable(shown));
        shown = shown.sliced(header.size()).chopped(footer.size());
        const QRegularExpression blank(u"\\s+"_s, QRegularExpression::UseUnicodePropertiesOption);
        const QString text =
            QString::fromUtf8(tables::fileBytes(u"richtext/data/"_s + file.section(u'-', 0, 0) + u".txt"_s));
        QCOMPARE(shown.split(blank, Qt::SkipEmptyParts),
                 QString(text).remove(QChar(0xFEFF)).split(blank, Qt::SkipEmptyParts));
        const QByteArray described = describe(d);
        QCOMPARE(described,
                 tables::golden(u"richtext/data/documents/"_s + file.chopped(4) + u".txt"_s, described));
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
        QVERIFY(d.find(u"xyZelle"_s).currentTable() && d.find(u"xyZelle"_s).block().next() == d.lastBlock());
        QCOMPARE(d.find(u"Danach"_s).blockFormat().alignment(), Qt::AlignLeft);
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
