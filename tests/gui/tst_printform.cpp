#include "sheet/sheetlayout.h"
#include "support/choices.h"
#include "support/mainwindow.h"
#include "support/tables.h"
#include "windows/print.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {
const QStringList kPerson = {u"Mustermann"_s, u"Erika"_s, u"12b"_s, u"01.02.2009"_s};

const QString kHints =
    u"\r\rWichtiger Hinweis!\r\rAuf dem ausgedruckten Fachlesebogen müssen noch die Kursbezeichnungen für "
    "die Erst- und Zweitwahl eingetragen werden.\r\rFür die Sportkurse existiert ein spezieller Wahlbogen, "
    "den du später erhältst. Deshalb bitte hier keine Sportkurse eintragen.\r\rVergiss nicht deine "
    "Unterschrift. Falls du noch nicht volljährig bist, müssen deine Eltern unterschreiben!|OK"_s;

const QString kSaved = u"information|Information|Der Fachlesebogen wurde als PDF-Datei gespeichert:\r"_s;

QString notWritten(const QString &file) {
    return u"error|Fehler|Der Fachlesebogen konnte nicht in die Datei "_s + file +
           u" geschrieben werden.\rBitte prüfe, ob der Ordner existiert und beschreibbar ist.|&Abbrechen"_s;
}

// Sets an environment variable until the guard returned ends.
auto scopedEnv(const char *name, const QString &value) {
    const QByteArray old = qgetenv(name);
    const bool had = qEnvironmentVariableIsSet(name);
    qputenv(name, value.toLocal8Bit());
    return qScopeGuard([=] { had ? qputenv(name, old) : qunsetenv(name); });
}

// The main window with the described choice (see support/choices.h) and a print dialog.
struct Program : MainWindowFixture {
    TMainForm &w = *form;
    TPrintForm &print = *form->PrintForm();
    const QList<QLineEdit *> edits = {print.E_Nachname, print.E_Vorname, print.E_Klasse, print.E_Datum};

    explicit Program(const QStringList &rows = choices::validChoice()) { choices::fill(grid(), rows); }
    void type(const QStringList &texts) { // Nachname, Vorname, Klasse, Datum, the last first
        for (qsizetype i = edits.size() - 1; i >= 0; --i)
            edits.at(i)->setText(texts.at(i));
    }
    // A place on the sheet (in its tenths of a millimetre) in points from the page's corner.
    QPointF at(double x, double y) {
        const QRectF area = w.Printer().pageLayout().paintRect(QPageLayout::Point);
        return area.topLeft() + QPointF(x, y) * 72.0 / 254.0;
    }
};

// A word of a PDF as `pdftotext -bbox` finds it, its place in points from the page's corner.
struct PdfWord {
    QString text;
    double left, right, top, bottom;
};

// The words of the PDF, line by line.
QList<PdfWord> pdfWords(const QString &pdf) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    process.waitForFinished(30000);
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QMap<std::pair<int, double>, PdfWord> sorted;
    for (const QRegularExpressionMatch &m :
         word.globalMatch(QString::fromUtf8(process.readAllStandardOutput()))) {
        const PdfWord found = {m.captured(5).replace(u"&amp;"_s, u"&"_s), m.captured(1).toDouble(),
                               m.captured(3).toDouble(), m.captured(2).toDouble(), m.captured(4).toDouble()};
        sorted.insert({qRound(found.top), found.left}, found);
    }
    return sorted.values();
}

QStringList texts(const QList<PdfWord> &words) {
    QStringList all;
    for (const PdfWord &word : words)
        all << word.text;
    return all;
}
} // namespace

class TestPrintForm : public QObject {
    Q_OBJECT

private slots:
    // B_Print is enabled exactly when all four edits hold text, blanks included, whichever
    // changed last, the birth date too; Enter then prints. The edits keep their texts between
    // openings, and the focus starts in E_Nachname.
    void printButton() {
        Program p;
        TPrintForm *f = &p.print;
        p.w.Printer().setOutputFileName(p.dir.filePath(u"bogen.pdf"_s));
        p.type({u" "_s, u" "_s, u" "_s, QString()});
        f->show();
        QTest::keyClick(f->E_Klasse, Qt::Key_Return);
        QVERIFY(!f->B_Print->isEnabled() && f->isVisible());
        f->E_Datum->setText(u" "_s);
        QVERIFY(f->B_Print->isEnabled());
        QCOMPARE(f->windowTitle() + f->B_Print->text() + f->B_Cancel->text(),
                 u"Fachlesebogen drucken&DruckenA&bbrechen"_s);
        f->show();
        f->E_Datum->setFocus();
        f->B_Cancel->click();
        f->show();
        QVERIFY(f->focusWidget() == f->E_Nachname && f->E_Klasse->text() == u" "_s);
        f->E_Nachname->clear(); // changed last
        QVERIFY(!f->B_Print->isEnabled());
        f->E_Nachname->setText(u"x"_s);
        QTest::keyClick(f->E_Datum, Qt::Key_Return);
        QVERIFY(!f->isVisible() && p.shown().value(0).startsWith(kSaved));
    }

    // The menu command: an empty grid stops with a notice, an untested choice asks first
    // (any answer but "&Nein" goes on), and the dialog opens modally.
    void druckenClick_data() {
        QTest::addColumn<QString>("first");       // row 1; the grid is otherwise empty
        QTest::addColumn<DialogButton>("answer"); // Ok: the choice is tested
        QTest::newRow("blanks only") << u"__"_s << DialogButton::Ok;
        QTest::newRow("untested, Nein") << u"DE"_s << DialogButton::No;
        QTest::newRow("untested, closed otherwise") << u"Quatsch"_s << DialogButton::Cancel;
    }

    void druckenClick() {
        QFETCH(QString, first);
        QFETCH(DialogButton, answer);
        Program p({first});
        p.w.Test.ChoiceTested = answer == DialogButton::Ok;
        p.dialogs.answers.enqueue(answer);
        QWidget *modal = nullptr;
        duringModal([&] { p.w.Drucken->trigger(); }, [&](QWidget *widget) { modal = widget; });
        QCOMPARE(
            p.shown().join(u'\n'),
            answer == DialogButton::Ok
                ? u"notice|Fachlese IGS Brunsmark|Es sind noch keine Fächer eingetragen!|OK"_s
                : u"information|Information|Die eingegebene Fachlese ist noch nicht erfolgreich getestet "
                  "worden.\rSollen die Daten trotzdem gedruckt werden?|&Ja|&Nein"_s);
        QCOMPARE(modal == &p.print, answer == DialogButton::Cancel);
    }

    // A printing error ends the command with the error and no notice. The real output: every
    // text of the layout on the one page at its place, the choice block rebuilt from the grid as
    // printed (not from an older matrix), then the notice. Either way the dialog closes.
    void printsSheetToPdf() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        Program p;
        const QString bad = p.dir.filePath(u"fehlt/bogen.pdf"_s), pdf = p.dir.filePath(u"bogen.pdf"_s);
        p.w.Test.BuildCourseMatrix();
        p.grid().setCell(1, 1, u"Latein"_s); // edited after the matrix was built
        p.grid().setCell(3, 9, u"  Religion "_s);
        p.w.Test.ChoiceTested = true;
        p.type(kPerson);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u".*"_s));
        for (const QString &file : {bad, pdf}) {
            p.w.Printer().setOutputFileName(file); // a PDF by its suffix
            p.print.show();
            p.print.B_Print->click();
            QVERIFY(!p.print.isVisible());
        }
        QCOMPARE(p.shown(), (QStringList{notWritten(bad), kSaved + pdf + kHints}));
        QCOMPARE(p.w.Printer().docName(), u"Fachlese von Erika Mustermann"_s);

        p.w.Test.BuildCourseMatrix();
        const QList<SheetText> texts =
            SheetLayout(p.grid(), p.w.Test.CourseMatrix, true,
                        {kPerson[0], kPerson[1], kPerson[2], kPerson[3]}, SheetDate(QDate::currentDate()));
        const QList<PdfWord> words = pdfWords(pdf);
        const QStringList all = ::texts(words);
        for (const SheetText &t : texts) {
            // Each text word by word, its first word at the text's left (further right after
            // leading blanks) and between the top and bottom of the character cell.
            const QStringList parts = t.text.split(u' ', Qt::SkipEmptyParts);
            const QPointF corner = p.at(t.x, t.y);
            bool found = false;
            for (qsizetype i = 0; i < words.size() && !found; ++i) {
                const double dx = words[i].left - corner.x();
                found = (t.text.startsWith(u' ') ? dx > 1 && dx < 30 : qAbs(dx) <= 1) &&
                        qAbs(words[i].top - corner.y()) <= 1 &&
                        qAbs(words[i].bottom - p.at(t.x, t.y + t.height).y()) <= 1 &&
                        all.mid(i, parts.size()) == parts;
            }
            QVERIFY2(found, qPrintable(u"\"%1\" not at %2,%3"_s.arg(t.text).arg(t.x).arg(t.y)));
        }
        QVERIFY(all.contains(u"LA"_s) && all.last() == u"Erziehungsberechtigten"_s);

        // Each field, at its longest and of the widest letter, ends within its place: the class
        // before "Geburtsdatum", the others before the right margin. The date is German whatever
        // the locale (the tests run under C.UTF-8); an untested choice says so.
        p.w.Test.ChoiceTested = false;
        const int rights[] = {1850, 1850, 670, 1850};
        for (int field = 0; field < 4; ++field) {
            for (QLineEdit *edit : p.edits)
                edit->setText(edit == p.edits[field] ? QString(100, QChar(u'W' + field)) : u"x"_s);
            QCOMPARE(p.edits[field]->text().size(), field < 2 ? 40 : 20);
            QVERIFY(p.print.PrintSheet());
            const QList<PdfWord> printed = pdfWords(pdf);
            const auto end = std::find_if(printed.begin(), printed.end(),
                                          [&](const PdfWord &w) { return w.text == p.edits[field]->text(); });
            QVERIFY(end != printed.end());
            QVERIFY2(end->right <= p.at(rights[field], 0).x() + 0.5, qPrintable(QString::number(end->right)));
            const QStringList shown = ::texts(printed);
            QVERIFY(shown.contains(SheetDate(QDate::currentDate())) && shown.contains(u"ACHTUNG!"_s));
            QVERIFY(!shown.contains(u"o.k."_s));
        }
        QCOMPARE(SheetDate(QDate(2026, 12, 7)), u"07.12.2026"_s);
    }

    // The name a sheet saved for want of a printer gets: the pupil's names, blanks tidied and
    // characters no file name can hold replaced, and a number while the name is taken.
    void reservePdfFile_data() {
        tables::addTextRows(u"gui/data/pdf-names.tsv"_s, {"surname", "firstName", "existing", "name"});
    }

    void reservePdfFile() {
        QFETCH(QString, surname);
        QFETCH(QString, firstName);
        QFETCH(QString, existing);
        QFETCH(QString, name);
        QTemporaryDir dir;
        for (const QString &file : existing.split(u'|', Qt::SkipEmptyParts)) {
            QFile f(dir.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("alt") == 3);
        }
        QCOMPARE(ReservePdfFile(dir.path(), surname, firstName), dir.filePath(name));
        QVERIFY(QFileInfo(dir.filePath(name)).isFile() &&
                QFileInfo(dir.filePath(name)).size() == 0); // taken, empty
        for (const QString &file : existing.split(u'|', Qt::SkipEmptyParts))
            QCOMPARE(QFileInfo(dir.filePath(file)).size(), 3);
    }

    // Without any printer each sheet goes to a file of its own in the Documents folder (else the
    // home folder), which the notice names; a file that cannot be written keeps the error and
    // leaves no file behind.
    void withoutPrinterSavesPdf() {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has a printer");
        QTemporaryDir home;
        const auto homeEnv = scopedEnv("HOME", home.path());
        const auto configEnv = scopedEnv("XDG_CONFIG_HOME", home.filePath(u"config"_s));
        Program p;
        p.type({u"Muster"_s, u"Anna"_s, u"12b"_s, u"01.02.2009"_s});
        const auto printOnce = [&] {
            p.dialogs.entries.clear();
            p.print.show();
            p.print.B_Print->click();
            return p.shown().join(u'\n');
        };
        QCOMPARE(printOnce(), kSaved + home.filePath(u"Fachlesebogen Muster Anna.pdf"_s) + kHints);
        QVERIFY(QDir(home.path()).mkdir(u"Documents"_s));
        const QString documents = home.filePath(u"Documents"_s);
        QCOMPARE(printOnce(), kSaved + documents + u"/Fachlesebogen Muster Anna.pdf"_s + kHints);
        QFile pdf(documents + u"/Fachlesebogen Muster Anna.pdf"_s);
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");

        // A home folder that does not exist: the file cannot be written.
        const auto gone = scopedEnv("HOME", home.filePath(u"fehlt"_s));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u".*"_s));
        const QString missing = home.filePath(u"fehlt/Fachlesebogen Muster Anna.pdf"_s);
        QCOMPARE(printOnce(), notWritten(missing));
        QVERIFY(!QFile::exists(missing) && !p.print.isVisible());

        // A file chosen in the print dialog stays chosen and is named in the notice.
        p.w.Printer().setOutputFileName(documents + u"/gewählt.pdf"_s);
        for (int twice = 0; twice < 2; ++twice)
            QCOMPARE(printOnce(), kSaved + documents + u"/gewählt.pdf"_s + kHints);
    }

    // A run whose first stage trims blanks: a tick while the verdict is open leaves the choice
    // tested, and "Wahl o.k." stands until the next edit, the spare row included. "&Ja" in the
    // verdict shows the print dialog without a modal loop.
    void verdictOpensPrintFormWithoutModalLoop() {
        Program p;
        p.grid().setCell(2, 9, u"  Biologie "_s);
        p.w.Timer1->stop(); // the test drives the ticks
        QString captionDuringVerdict;
        p.dialogs.fallback = [&](const DialogRequest &) {
            p.w.Timer1Timer();
            captionDuringVerdict = p.w.B_Testen->text();
            return DialogButton::Yes;
        };
        p.w.B_Testen->click();
        QVERIFY(p.print.isVisible() && !p.print.isModal() && !QApplication::activeModalWidget());
        QVERIFY(p.w.Test.ChoiceTested && !p.w.Test.GridChangedSinceSnapshot() && p.system.beeps == 1);
        p.w.Timer1Timer();
        QCOMPARE(captionDuringVerdict + p.w.B_Testen->text(), u"&Wahl o.k.&Wahl o.k."_s);
        QCOMPARE(p.w.Image1->pixmap().size(), QSize(32, 32)); // drawn when first shown
        p.grid().setCell(2, 12, u"x"_s);
        p.w.Timer1Timer();
        QCOMPARE(p.w.B_Testen->text(), u"&Wahl testen"_s);
        QVERIFY(p.w.Image1->isHidden() && !p.w.Test.ChoiceTested);
    }
};

QTEST_MAIN(TestPrintForm)
#include "tst_printform.moc"
