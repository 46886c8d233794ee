// The document viewer never freezes: files of the RTF benchmark's shapes at the size limit are
// shown within seconds, whole or in part with a notice, and the view's layout leaves the
// program responsive.

#include "support/choices.h"
#include "support/mainwindow.h"
#include "windows/help.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestViewerLimits : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    DialogRecorder recorder;
    ScriptedSystemDialogs system;

private slots:
    void bigFiles_data() {
        QTest::addColumn<QByteArray>("unit");
        QTest::addColumn<bool>("whole");
        QTest::newRow("empty paragraphs") << QByteArray("\\par\n") << false;
        QTest::newRow("paragraphs") << QByteArray("Die Sch\\'fclerin w\\'e4hlt zwei Kurse.\\par\n") << false;
        QTest::newRow("one paragraph") << QByteArray("Die Sch\\'fclerin w\\'e4hlt zwei Kurse. ") << false;
        QTest::newRow("format runs") << QByteArray("{\\b x}y") << false;
        QTest::newRow("table rows") << QByteArray("\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row\n")
                                    << false;
        QTest::newRow("one row") << QByteArray("\\intbl Zelle\\cell ") << false;
        QTest::newRow("huge letters") << QByteArray("\\fs3000 W\\par ") << false;
        QTest::newRow("plain lines") << QByteArray("\n") << false;
        QTest::newRow("small") << QByteArray("Ein Absatz.\\par\n") << true;
    }

    // A file of 32 MB (the small one of 1 MB) is shown within seconds; the view lays it out to
    // its end without holding the program up for long, and stays below the height at which the
    // layout stalls.
    void bigFiles() {
        QFETCH(QByteArray, unit);
        QFETCH(bool, whole);
        const bool plain = unit == "\n";
        const qsizetype size = whole ? 1024 * 1024 : 32 * 1024 * 1024;
        QByteArray data = plain ? QByteArray() : QByteArray("{\\rtf1\\ansi\\deff0\n");
        data.reserve(size);
        while (data.size() + unit.size() + 1 <= size)
            data += unit;
        if (!plain)
            data += '}';
        QFile file(folder.filePath(u"Verordnung.rtf"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        file.close();
        data.clear();
        QDir::setCurrent(folder.path());
        recorder.entries.clear();
        THelpForm form(recorder, system);
        QElapsedTimer timer;
        timer.start();
        form.ShowDocument(u"Oberstufenverordnung"_s, u"Verordnung.rtf"_s, false);
        QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(form.isVisible());
        QCOMPARE(choices::dialogTexts(recorder),
                 whole ? QStringList()
                       : QStringList{u"Die Datei Verordnung.rtf ist zu lang; angezeigt wird nur ihr Anfang."_s});
        // The view's own layout runs in steps between events.
        qint64 last = timer.elapsed(), longest = 0;
        QTimer tick;
        tick.setInterval(10);
        connect(&tick, &QTimer::timeout, this, [&] {
            longest = std::max(longest, timer.elapsed() - last);
            last = timer.elapsed();
        });
        tick.start();
        QTest::qWait(1500);
        QVERIFY2(longest < 5000, qPrintable(QString::number(longest)));
        QVERIFY(form.RichEdit1->document()->documentLayout()->documentSize().height() < 8'000'000);
    }
};

QTEST_MAIN(TestViewerLimits)
#include "tst_viewerlimits.moc"
