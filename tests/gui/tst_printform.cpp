#include "support/choices.h"
#include "support/mainwindow.h"
#include "windows/print.h"
#include "windows/sheetlayout.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {
const QStringList kPerson = {u"Mustermann"_s, u"Erika"_s, u"12b"_s, u"01.02.2009"_s};

// The main window with the described choice (see support/choices.h) and a print dialog.
struct Program : MainWindowFixture {
    TMainForm &w = *form;
    TPrintForm &print = *form->PrintForm;

    explicit Program(const QStringList &rows = choices::validChoice()) { choices::fill(grid(), rows); }
    void type(const QStringList &texts) { // Nachname, Vorname, Klasse, Datum, the last first
        const QList<QLineEdit *> edits = {print.E_Nachname, print.E_Vorname, print.E_Klasse, print.E_Datum};
        for (qsizetype i = edits.size() - 1; i >= 0; --i)
            edits.at(i)->setText(texts.at(i));
    }
    void printTo(const QString &pdf) {
        w.Printer.setOutputFormat(QPrinter::PdfFormat);
        w.Printer.setPageSize(QPageSize(QPageSize::A4));
        w.Printer.setOutputFileName(pdf);
        type(kPerson);
        print.show();
        print.B_Print->click();
    }
};

struct PdfWord {
    QString text;
    double xMin, yMin, yMax; // points from the top-left corner of the page
};

// The words of the PDF as `pdftotext -bbox` finds them, line by line.
QList<PdfWord> pdfWords(const QString &pdf) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    process.waitForFinished(30000);
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QList<PdfWord> words;
    for (const QRegularExpressionMatch &m :
         word.globalMatch(QString::fromUtf8(process.readAllStandardOutput())))
        words.append({m.captured(4).replace(u"&amp;"_s, u"&"_s), m.captured(1).toDouble(),
                      m.captured(2).toDouble(), m.captured(3).toDouble()});
    std::sort(words.begin(), words.end(), [](const PdfWord &a, const PdfWord &b) {
        return std::pair(qRound(a.yMin), a.xMin) < std::pair(qRound(b.yMin), b.xMin);
    });
    return words;
}
} // namespace

class TestPrintForm : public QObject {
    Q_OBJECT

private slots:
    // B_Print is enabled exactly when all four edits hold text, blanks included, whichever
    // changed last; the edits keep their texts between openings, and the focus starts in
    // E_Nachname.
    void printButton() {
        Program p;
        TPrintForm *f = &p.print;
        QCOMPARE(f->windowTitle() + f->B_Print->text() + f->B_Cancel->text(),
                 u"Fachlesebogen drucken&DruckenA&bbrechen"_s);
        p.type({u" "_s, u" "_s, u" "_s, u" "_s});
        QVERIFY(f->B_Print->isEnabled());
        f->E_Datum->clear();
        QVERIFY(!f->B_Print->isEnabled());
        f->show();
        f->E_Datum->setFocus();
        f->B_Cancel->click();
        QVERIFY(!f->isVisible());
        f->show();
        QCOMPARE(f->focusWidget(), f->E_Nachname);
        QCOMPARE(f->E_Klasse->text(), u" "_s);
        p.type({QString(), u"M"_s, u"12b"_s, u"1.2.09"_s}); // E_Nachname changes last
        QVERIFY(!f->B_Print->isEnabled());
    }

    // The menu command: an empty grid stops with a notice, an untested choice asks first
    // (any answer but "&Nein" goes on), and the dialog opens modally.
    void druckenClick_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("tested");
        QTest::addColumn<DialogButton>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("opens");
        const QString asked = u"information|Information|Die eingegebene Fachlese ist noch nicht erfolgreich "
                              "getestet worden.\rSollen die Daten trotzdem gedruckt werden?|&Ja|&Nein"_s;
        QTest::newRow("blanks only")
            << QStringList{u"__"_s, u"_"_s} << true << DialogButton::Ok
            << u"notice|Fachlese IGS Brunsmark|Es sind noch keine Fächer eingetragen!|OK"_s << false;
        QTest::newRow("untested, Nein")
            << QStringList{u"DE"_s} << false << DialogButton::No << asked << false;
        QTest::newRow("untested, closed otherwise")
            << QStringList{u"Quatsch"_s} << false << DialogButton::Cancel << asked << true;
        QTest::newRow("tested") << choices::validChoice() << true << DialogButton::Ok << QString() << true;
    }

    void druckenClick() {
        QFETCH(QStringList, rows);
        QFETCH(bool, tested);
        QFETCH(DialogButton, answer);
        QFETCH(QString, shown);
        QFETCH(bool, opens);
        Program p(rows);
        p.w.Test.ChoiceTested = tested;
        p.dialogs.answers.enqueue(answer);
        QWidget *modal = nullptr;
        duringModal([&] { p.w.Drucken->trigger(); }, [&](QWidget *widget) { modal = widget; });
        QCOMPARE(p.shown().join(u'\n'), shown);
        QCOMPARE(modal == &p.print, opens);
        QVERIFY(!p.print.isVisible());
    }

    // The real output: every text of the layout on the one page at its place, the choice
    // block rebuilt from the grid as printed (not from an older matrix), then the notice.
    void printsSheetToPdf() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"bogen.pdf"_s);
        Program p;
        p.w.Test.BuildCourseMatrix();
        p.grid().setCell(1, 1, u"Latein"_s); // edited after the matrix was built
        p.grid().setCell(3, 9, u"  Religion "_s);
        p.w.Test.ChoiceTested = true;
        p.printTo(pdf);
        QVERIFY(!p.print.isVisible());
        QCOMPARE(
            p.shown(),
            QStringList{u"information|Information|Der Fachlesebogen wird jetzt ausgedruckt.\r\rWichtiger "
                        "Hinweis!\r\rAuf dem ausgedruckten Fachlesebogen müssen noch die Kursbezeichnungen "
                        "für die Erst- und Zweitwahl eingetragen werden.\r\rFür die Sportkurse existiert "
                        "ein spezieller Wahlbogen, den du später erhältst. Deshalb bitte hier keine "
                        "Sportkurse eintragen.\r\rVergiss nicht deine Unterschrift. Falls du noch nicht "
                        "volljährig bist, müssen deine Eltern unterschreiben!|OK"_s});
        QCOMPARE(p.w.Printer.docName(), u"Fachlese von Erika Mustermann"_s);

        DialogRecorder unused;
        ChoiceTest fresh(p.grid(), unused);
        fresh.BuildCourseMatrix();
        const QList<SheetText> texts =
            SheetLayout(p.grid(), fresh.CourseMatrix, true, {kPerson[0], kPerson[1], kPerson[2], kPerson[3]},
                        QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        const QList<PdfWord> words = pdfWords(pdf);
        const QRectF area = p.w.Printer.pageLayout().paintRect(QPageLayout::Point);
        const double points = 72.0 / 254.0, tolerance = 1.0;
        QStringList all;
        for (const PdfWord &w : words)
            all.append(w.text);
        for (const SheetText &t : texts) {
            // Each text word by word, its first word at the text's left (further right after
            // leading blanks) and between the top and bottom of the character cell.
            const QStringList parts = t.text.split(u' ', Qt::SkipEmptyParts);
            const double x = area.left() + t.x * points, top = area.top() + t.y * points;
            bool found = false;
            for (qsizetype i = 0; i < words.size() && !found; ++i) {
                const PdfWord &w = words.at(i);
                const bool xFits = t.text.startsWith(u' ') ? w.xMin > x + 1 && w.xMin < x + 30
                                                           : qAbs(w.xMin - x) <= tolerance;
                found = xFits && qAbs(w.yMin - top) <= tolerance &&
                        qAbs(w.yMax - top - t.height * points) <= tolerance &&
                        all.mid(i, parts.size()) == parts;
            }
            QVERIFY2(found, qPrintable(u"\"%1\" not at %2,%3"_s.arg(t.text).arg(t.x).arg(t.y)));
        }
        QVERIFY(all.contains(u"LA"_s) && all.last() == u"Erziehungsberechtigten"_s);
    }

    // A printing error ends the command with the error and no notice; the dialog is closed.
    void printErrorShowsNoNotice() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"fehlt/bogen.pdf"_s);
        Program p;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u".*"_s));
        p.printTo(pdf);
        QVERIFY(!p.print.isVisible());
        QCOMPARE(p.shown(), QStringList{u"error|Fehler|Der Fachlesebogen konnte nicht in die Datei "_s + pdf +
                                        u" geschrieben werden.\rBitte prüfe, ob der Ordner existiert und "
                                        "beschreibbar ist.|&Abbrechen"_s});
    }

    // "&Ja" in the verdict shows the print dialog without a modal loop; the run finishes.
    void verdictOpensPrintFormWithoutModalLoop() {
        Program p;
        p.dialogs.answers.enqueue(DialogButton::Yes);
        p.w.B_Testen->click();
        QCOMPARE(p.dialogs.entries.size(), 1);
        QVERIFY(p.print.isVisible() && !p.print.isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(p.w.Test.ChoiceTested && !p.w.Test.GridChangedSinceSnapshot());
        QCOMPARE(p.system.beeps, 1);
    }

    // A run whose first stage trims blanks: a tick while the verdict is open leaves the choice
    // tested, and "Wahl o.k." stands until the next edit, the spare row included.
    void timerKeepsTrimmedChoiceTested() {
        Program p;
        p.grid().setCell(2, 9, u"  Biologie "_s);
        p.w.Timer1->stop(); // the test drives the ticks
        QString captionDuringVerdict;
        p.dialogs.fallback = [&](const DialogRequest &) {
            p.w.Timer1Timer();
            captionDuringVerdict = p.w.B_Testen->text();
            return DialogButton::No;
        };
        p.w.B_TestenClick();
        p.w.Timer1Timer();
        QCOMPARE(captionDuringVerdict + p.w.B_Testen->text(), u"Wahl o.k.Wahl o.k."_s);
        QVERIFY(!p.w.Image1->isHidden());
        p.grid().setCell(2, 12, u"x"_s);
        p.w.Timer1Timer();
        QCOMPARE(p.w.B_Testen->text(), u"&Wahl testen"_s);
        QVERIFY(p.w.Image1->isHidden() && !p.w.Test.ChoiceTested);
    }
};

QTEST_MAIN(TestPrintForm)
#include "tst_printform.moc"
