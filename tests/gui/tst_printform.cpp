#include "support/mainwindow.h"
#include "windows/print.h"
#include "windows/sheetlayout.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// A choice that passes every stage of the test: 44 courses, no foreign-language LK.
const QStringList kValidChoice = {u"Deutsch"_s,  u"Mathematik"_s, u"Biologie"_s, u"Geschichte"_s,
                                  u"Englisch"_s, u"Sport"_s,      u"Politik"_s,  u"Kunst"_s,
                                  u"Religion"_s, u"Physik"_s,     u"Chemie"_s};
const QString kVerdictQuestion = u"Soll ein offizieller Fachlesebogen ausgedruck werden?"_s;

// The main window with the choice `rows` in all four semesters of rows 1, 2, ...
struct Program : MainWindowFixture {
    TMainForm &w = *form;
    TPrintForm &print = *form->PrintForm;

    explicit Program(const QStringList &rows = {}) {
        for (int r = 1; r <= rows.size(); ++r)
            for (int s = 1; s <= GridModel::kSemesters; ++s)
                grid().setCell(s, r, rows.at(r - 1));
    }
    void type(const QStringList &texts) { // Nachname, Vorname, Klasse, Datum, the last first
        const QList<QLineEdit *> edits = {print.E_Nachname, print.E_Vorname, print.E_Klasse, print.E_Datum};
        for (qsizetype i = edits.size() - 1; i >= 0; --i)
            edits.at(i)->setText(texts.at(i));
    }
    void printTo(const QString &pdf) {
        w.Printer.setOutputFormat(QPrinter::PdfFormat);
        w.Printer.setPageSize(QPageSize(QPageSize::A4));
        w.Printer.setOutputFileName(pdf);
    }
    // The dialogs shown so far as kind|caption|text|buttons.
    QStringList shown() const {
        QStringList texts;
        for (const DialogRecorder::Entry &e : dialogs.entries) {
            QStringList buttons;
            for (DialogButton b : e.request.buttons)
                buttons.append(buttonText(b));
            texts.append(kindName(e.request.kind) + u'|' + e.request.caption + u'|' + e.request.text + u'|' +
                         buttons.join(u','));
        }
        return texts;
    }
};

struct PdfWord {
    QString text;
    double xMin, yMin, yMax; // points from the top-left corner of the page
};

// The words of the PDF as `pdftotext -bbox` finds them.
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
    return words;
}
} // namespace

class TestPrintForm : public QObject {
    Q_OBJECT

private slots:
    void printButton_data();
    void printButton();
    void druckenClick_data();
    void druckenClick();
    void printsSheetToPdf();
    void printErrorShowsNoNotice();
    void verdictOpensPrintFormWithoutModalLoop();
    void timerKeepsTrimmedChoiceTested();
};

// B_Print is enabled exactly when all four edits hold text (blanks count); the edits and the
// button keep their state between openings, and the focus starts in E_Nachname.
void TestPrintForm::printButton_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("all filled") << QStringList{u"Muster"_s, u"Maxi"_s, u"12b"_s, u"1.2.09"_s} << true;
    QTest::newRow("one blank each") << QStringList{u" "_s, u" "_s, u" "_s, u" "_s} << true;
    QTest::newRow("Nachname empty") << QStringList{QString(), u"Maxi"_s, u"12b"_s, u"1.2.09"_s} << false;
    QTest::newRow("Vorname empty") << QStringList{u"Muster"_s, QString(), u"12b"_s, u"1.2.09"_s} << false;
    QTest::newRow("Klasse empty") << QStringList{u"Muster"_s, u"Maxi"_s, QString(), u"1.2.09"_s} << false;
    QTest::newRow("Datum empty") << QStringList{u"Muster"_s, u"Maxi"_s, u"12b"_s, QString()} << false;
}

void TestPrintForm::printButton() {
    QFETCH(QStringList, texts);
    QFETCH(bool, enabled);
    Program p;
    TPrintForm *f = &p.print;
    p.type({u"x"_s, u"x"_s, u"x"_s, u"x"_s});
    p.type(texts); // the last change is the one to E_Nachname
    QCOMPARE(f->B_Print->isEnabled(), enabled);
    QCOMPARE(f->windowTitle() + f->B_Print->text() + f->B_Cancel->text(),
             u"Fachlesebogen drucken&DruckenA&bbrechen"_s);

    f->show();
    f->E_Datum->setFocus();
    f->B_Cancel->click();
    QVERIFY(!f->isVisible());
    f->show();
    QCOMPARE(f->focusWidget(), f->E_Nachname);
    QCOMPARE(f->E_Klasse->text(), texts.at(2));
    QCOMPARE(f->B_Print->isEnabled(), enabled);
    f->hide();
    QVERIFY(p.dialogs.entries.isEmpty());
}

// The menu command: an empty grid stops with a notice, an untested choice asks first, and
// the dialog opens modally.
void TestPrintForm::druckenClick_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("tested");
    QTest::addColumn<DialogButton>("answer");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<bool>("opens");

    const QString notice = u"notice|Fachlese IGS Brunsmark|Es sind noch keine Fächer eingetragen!|OK"_s;
    const QString question = u"information|Information|Die eingegebene Fachlese ist noch nicht erfolgreich "
                             "getestet worden.\rSollen die Daten trotzdem gedruckt werden?|&Ja,&Nein"_s;
    const DialogButton none = DialogButton::Ok;
    QTest::newRow("empty, tested") << QStringList() << true << none << QStringList{notice} << false;
    QTest::newRow("blanks only") << QStringList{u"  "_s, u" "_s} << false << none << QStringList{notice}
                                 << false;
    QTest::newRow("untested, Nein") << QStringList{u"Deutsch"_s} << false << DialogButton::No
                                    << QStringList{question} << false;
    QTest::newRow("untested, Ja") << QStringList{u"Deutsch"_s} << false << DialogButton::Yes
                                  << QStringList{question} << true;
    QTest::newRow("untested, closed otherwise")
        << QStringList{u"Quatsch"_s} << false << DialogButton::Cancel << QStringList{question} << true;
    QTest::newRow("tested") << kValidChoice << true << none << QStringList() << true;
}

void TestPrintForm::druckenClick() {
    QFETCH(QStringList, rows);
    QFETCH(bool, tested);
    QFETCH(DialogButton, answer);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, opens);

    Program p(rows);
    p.w.Test.ChoiceTested = tested;
    p.dialogs.answers.enqueue(answer);
    QWidget *modal = nullptr;
    duringModal([&] { p.w.Drucken->trigger(); }, [&](QWidget *shown) { modal = shown; });
    QCOMPARE(p.shown(), dialogs);
    QCOMPARE(modal == &p.print, opens);
    QVERIFY(!p.print.isVisible());
}

// The real output: every text of the layout on the one page at its place, the choice block
// rebuilt from the grid as printed, and then the closing notice.
void TestPrintForm::printsSheetToPdf() {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"bogen.pdf"_s);

    Program p(kValidChoice);
    p.w.Test.BuildCourseMatrix();
    p.grid().setCell(1, 1, u"Latein"_s); // edited after the matrix was built
    p.grid().setCell(3, 9, u"  Religion "_s);
    p.w.Test.ChoiceTested = true;
    p.printTo(pdf);
    p.type({u"Mustermann"_s, u"Erika"_s, u"12b"_s, u"01.02.2009"_s});
    p.print.show();
    p.print.B_Print->click();

    QVERIFY(!p.print.isVisible());
    QCOMPARE(
        p.shown(),
        QStringList{
            u"information|Information|Der Fachlesebogen wird jetzt ausgedruckt.\r\rWichtiger Hinweis!\r\r"
            "Auf dem ausgedruckten Fachlesebogen müssen noch die Kursbezeichnungen für die Erst- und "
            "Zweitwahl eingetragen werden.\r\rFür die Sportkurse existiert ein spezieller Wahlbogen, den "
            "du später erhältst. Deshalb bitte hier keine Sportkurse eintragen.\r\rVergiss nicht deine "
            "Unterschrift. Falls du noch nicht volljährig bist, müssen deine Eltern unterschreiben!|OK"_s});
    QCOMPARE(p.w.Printer.docName(), u"Fachlese von Erika Mustermann"_s);

    DialogRecorder unused;
    ChoiceTest fresh(p.grid(), unused);
    fresh.BuildCourseMatrix();
    const QList<SheetText> texts =
        SheetLayout(p.grid(), fresh.CourseMatrix, true,
                    PersonalData{u"Mustermann"_s, u"Erika"_s, u"12b"_s, u"01.02.2009"_s},
                    QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    QVERIFY(texts.contains(SheetText{u"LK1: LA ___"_s, 200, 1520, 60, true}));

    QList<PdfWord> words = pdfWords(pdf);
    const QRectF area = p.w.Printer.pageLayout().paintRect(QPageLayout::Point);
    const double points = 72.0 / 254.0, tolerance = 1.0;
    std::sort(words.begin(), words.end(), [](const PdfWord &a, const PdfWord &b) { // line by line
        return std::pair(qRound(a.yMin), a.xMin) < std::pair(qRound(b.yMin), b.xMin);
    });
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
            const bool xFits =
                t.text.startsWith(u' ') ? w.xMin > x + 1 && w.xMin < x + 30 : qAbs(w.xMin - x) <= tolerance;
            found = xFits && qAbs(w.yMin - top) <= tolerance &&
                    qAbs(w.yMax - top - t.height * points) <= tolerance && all.mid(i, parts.size()) == parts;
        }
        QVERIFY2(found, qPrintable(u"\"%1\" not at %2,%3"_s.arg(t.text).arg(t.x).arg(t.y)));
    }
    QCOMPARE(all.last(), u"Erziehungsberechtigten"_s);
}

// A printing error ends the command with the error and no notice; the dialog is closed.
void TestPrintForm::printErrorShowsNoNotice() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"fehlt/bogen.pdf"_s);
    Program p(kValidChoice);
    p.printTo(pdf);
    p.type({u"Muster"_s, u"Maxi"_s, u"12b"_s, u"01.02.2009"_s});
    p.print.show();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u".*"_s));
    p.print.B_Print->click();
    QVERIFY(!p.print.isVisible());
    QCOMPARE(p.shown(), QStringList{u"error|Fehler|Der Fachlesebogen konnte nicht in die Datei "_s + pdf +
                                    u" geschrieben werden.\rBitte prüfe, ob der Ordner existiert und "
                                    "beschreibbar ist.|&Abbrechen"_s});
}

// "&Ja" in the verdict shows the print dialog without a modal loop; the run finishes.
void TestPrintForm::verdictOpensPrintFormWithoutModalLoop() {
    Program p(kValidChoice);
    p.dialogs.answers.enqueue(DialogButton::Yes);
    p.w.B_Testen->click();
    QCOMPARE(p.dialogs.entries.size(), 1);
    QVERIFY(p.dialogs.entries.first().request.text.endsWith(kVerdictQuestion));
    QVERIFY(p.print.isVisible());
    QVERIFY(!p.print.isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(p.w.Test.ChoiceTested);
    QVERIFY(!p.w.Test.GridChangedSinceSnapshot());
    QCOMPARE(p.system.beeps, 1);
}

// A run whose first stage trims blanks: a tick while the verdict is open leaves the choice
// tested, and "Wahl o.k." stands until the next edit; a failing run takes it back at once.
void TestPrintForm::timerKeepsTrimmedChoiceTested() {
    Program p(kValidChoice);
    p.grid().setCell(2, 8, u"  Kunst "_s);
    p.w.Timer1->stop(); // the test drives the ticks
    QString captionDuringVerdict;
    p.dialogs.fallback = [&](const DialogRequest &) {
        p.w.Timer1Timer();
        captionDuringVerdict = p.w.B_Testen->text();
        return DialogButton::No;
    };
    p.w.B_TestenClick();
    QCOMPARE(captionDuringVerdict, u"Wahl o.k."_s);
    p.w.Timer1Timer();
    QCOMPARE(p.w.B_Testen->text(), u"Wahl o.k."_s);
    QVERIFY(!p.w.Image1->isHidden());

    p.grid().setCell(1, 1, QString()); // edited and tested again before a tick
    p.w.B_TestenClick();
    p.w.Timer1Timer();
    QCOMPARE(p.w.B_Testen->text(), u"&Wahl testen"_s);
    QVERIFY(p.w.Image1->isHidden());
}

QTEST_MAIN(TestPrintForm)
#include "tst_printform.moc"
