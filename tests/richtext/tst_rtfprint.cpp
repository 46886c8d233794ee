#include "richtext/rtfprint.h"
#include "richtext/rtfreader.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The text of page `page` of `pdf`, in reading order.
QString pageText(const QString &pdf, int page) {
    QProcess process;
    process.start(u"pdftotext"_s,
                  {u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), pdf, u"-"_s});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

} // namespace

class TestRtfPrint : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;

    // `rtf` printed on A5 pages; the text of each page.
    QStringList printed(const QByteArray &rtf, int from = 0, int to = 0) {
        QTextDocument document;
        Rtf::read(rtf, document);
        const QString pdf = m_folder.filePath(u"out.pdf"_s);
        {
            QPdfWriter writer(pdf);
            writer.setPageSize(QPageSize(QPageSize::A5));
            writer.setResolution(300);
            Rtf::print(document, writer, from, to);
        }
        QStringList pages;
        for (int page = 1;; ++page) {
            const QString text = pageText(pdf, page);
            if (text.isEmpty())
                return pages;
            pages << text;
        }
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    // Each page has its header above and its footer below the text, with the page's number;
    // the first page and the left (even) pages take their own where the document asks for
    // them. The text is all there, once and in order.
    void headersOnEveryPage_data() {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("footers");
        const QByteArray all = "{\\header Kopf {\\field{\\*\\fldinst PAGE }{\\fldrslt 9}}\\par}"
                               "{\\footer Seite \\chpgn\\par}";
        const QByteArray first = "{\\headerf Titelkopf\\par}{\\footerf Titelfuss\\par}";
        const QByteArray left = "{\\headerl Linkskopf\\par}";
        QTest::newRow("all pages") << all + first << QStringList{u"Kopf 1"_s, u"Kopf 2"_s, u"Kopf 3"_s}
                                   << QStringList{u"Seite 1"_s, u"Seite 2"_s, u"Seite 3"_s};
        QTest::newRow("title page") << "\\titlepg" + all + first
                                    << QStringList{u"Titelkopf"_s, u"Kopf 2"_s, u"Kopf 3"_s}
                                    << QStringList{u"Titelfuss"_s, u"Seite 2"_s, u"Seite 3"_s};
        QTest::newRow("facing pages")
            << "\\facingp" + all + left << QStringList{u"Kopf 1"_s, u"Linkskopf"_s, u"Kopf 3"_s}
            << QStringList{u"Seite 1"_s, u"Seite 2"_s, u"Seite 3"_s};
        QTest::newRow("first page only") << first << QStringList{u"Titelkopf"_s, QString(), QString()}
                                         << QStringList{u"Titelfuss"_s, QString(), QString()};
    }
    void headersOnEveryPage() {
        QFETCH(QByteArray, setup);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, footers);
        QByteArray body;
        QString words;
        for (int i = 1; i <= 90; ++i) {
            words += u" Absatz%1"_s.arg(i);
            body += "Absatz" + QByteArray::number(i) + "\\par ";
        }
        const QStringList pages = printed("{\\rtf1 " + setup + body + "}");
        QCOMPARE(pages.size(), 3);
        QString seen;
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(pages[i].startsWith(headers[i]) && pages[i].endsWith(footers[i]), qPrintable(pages[i]));
            seen += u' ' + pages[i].sliced(headers[i].size()).chopped(footers[i].size());
        }
        QCOMPARE(seen.simplified(), words.simplified());
    }

    // Without header and footer a page is numbered at its foot; a long line breaks at the page
    // and a page range prints those pages only.
    void plainPages() {
        const QByteArray word = QByteArray(200, 'x');
        const QStringList pages = printed("{\\rtf1 Anfang " + word + " Ende\\page Zwei}", 2, 2);
        QCOMPARE(pages, QStringList{u"Zwei 2"_s});
        const QStringList all = printed("{\\rtf1 Anfang " + word + " Ende\\page Zwei}");
        QCOMPARE(all.size(), 2);
        QVERIFY2(all[0].startsWith(u"Anfang x") && all[0].endsWith(u"x Ende 1"), qPrintable(all[0]));
        QCOMPARE(QString(all[0]).remove(u' ').count(u'x'), 200);
        // A header taller than the page is cut off below a third of it.
        const QStringList tall =
            printed("{\\rtf1{\\header " + QByteArray("Kopf\\par ").repeated(200) + "}Text}");
        QVERIFY(tall.size() == 1 && tall[0].endsWith(u"Kopf Text 1"_s));
        // A picture in the header is printed with it.
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
        printed("{\\rtf1{\\header {\\pict\\pngblip " + png.toHex() + "}\\par}Text}");
        QProcess images;
        images.start(u"pdfimages"_s, {u"-list"_s, m_folder.filePath(u"out.pdf"_s)});
        QVERIFY(images.waitForFinished() && images.readAllStandardOutput().count(" image ") == 1);
    }
};

QTEST_MAIN(TestRtfPrint)
#include "tst_rtfprint.moc"
