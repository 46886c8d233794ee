#include "rules/dialogs.h"
#include "shell/main.h"
#include "support/fakes.h"
#include "windows/print.h"
#include "windows/sheetlayout.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QChar CR(u'\r');

// A choice that passes every stage of the test: 44 courses, no foreign-language LK.
const QStringList kValidChoice = {u"Deutsch"_s,  u"Mathematik"_s, u"Biologie"_s, u"Geschichte"_s,
                                  u"Englisch"_s, u"Sport"_s,      u"Politik"_s,  u"Kunst"_s,
                                  u"Religion"_s, u"Physik"_s,     u"Chemie"_s};

const QString kVerdictQuestion = u"Soll ein offizieller Fachlesebogen ausgedruck werden?"_s;

const QString kPrintedNotice =
    u"Der Fachlesebogen wird jetzt ausgedruckt.\r\rWichtiger Hinweis!\r\rAuf dem ausgedruckten Fachlesebogen "
    "müssen noch die Kursbezeichnungen für die Erst- und Zweitwahl eingetragen werden.\r\rFür die Sportkurse "
    "existiert ein spezieller Wahlbogen, den du später erhältst. Deshalb bitte hier keine Sportkurse "
    "eintragen.\r\rVergiss nicht deine Unterschrift. Falls du noch nicht volljährig bist, müssen deine "
    "Eltern "
    "unterschreiben!"_s;

// The main window with its side windows, as the program creates them.
struct Program {
    DialogRecorder recorder;
    ScriptedSystemDialogs systemDialogs;
    TMainForm w{recorder, systemDialogs};

    Program() {
        w.CreateSideWindows();
        w.FirstShowPending = false;
    }

    void fill(const QStringList &rows) {
        for (int r = 1; r <= rows.size(); ++r) {
            for (int s = 1; s <= GridModel::kSemesters; ++s)
                w.StringGrid->setCell(s, r, rows.at(r - 1));
        }
    }

    void typePersonalData(const QString &surname, const QString &firstName) {
        w.PrintForm->E_Nachname->setText(surname);
        w.PrintForm->E_Vorname->setText(firstName);
        w.PrintForm->E_Klasse->setText(u"12b"_s);
        w.PrintForm->E_Datum->setText(u"01.02.2009"_s);
    }
};

// The next widget after `widget` that can take the focus by Tab.
QWidget *nextTabStop(QWidget *widget) {
    QWidget *next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

struct PdfWord {
    QString text;
    double xMin, yMin, xMax, yMax; // points from the top-left corner of the page
};

// The words of page 1 as `pdftotext -bbox` finds them.
QList<PdfWord> pdfWords(const QString &pdf) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QList<PdfWord> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(html)) {
        QString text = m.captured(5);
        text.replace(u"&amp;"_s, u"&"_s).replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s);
        text.replace(u"&quot;"_s, u"\""_s).replace(u"&apos;"_s, u"'"_s);
        words.append({text, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return words;
}

QString pdfInfo(const QString &pdf, const QString &field) {
    QProcess process;
    process.start(u"pdfinfo"_s, {pdf});
    process.waitForFinished(30000);
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(field + u':'))
            return line.mid(field.size() + 1).trimmed();
    }
    return QString();
}

constexpr double kPointsPerTenthMm = 72.0 / 254.0;
} // namespace

// The print dialog, the "Drucken" command, the verdict's way to the dialog, and the sheet on
// paper (a PDF file).
class TestPrintForm : public QObject {
    Q_OBJECT

private slots:
    void controls_data();
    void controls();
    void windowAndTabOrder();
    void printButton_data();
    void printButton();
    void keptBetweenOpenings();
    void centredOverMainWindow();
    void druckenClick_data();
    void druckenClick();
    void printsSheetToPdf();
    void printErrorShowsNoNotice();
    void printRebuildsCourseBlock();
    void pdfFallbackWithoutPrinter();
    void verdictOpensPrintFormWithoutModalLoop();
    void timerKeepsTrimmedChoiceTested();
    void failedRunLeavesNoVerdict();
};

void TestPrintForm::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("Label1") << u"Label1"_s << u"Bitte gib deine persönlichen Daten ein."_s
                            << QRect(16, 8, 222, 13);
    QTest::newRow("Label2") << u"Label2"_s << u"Nachname"_s << QRect(19, 43, 52, 13);
    QTest::newRow("Label3") << u"Label3"_s << u"Vorname"_s << QRect(19, 75, 42, 13);
    QTest::newRow("Label4") << u"Label4"_s << u"Klasse"_s << QRect(19, 107, 31, 13);
    QTest::newRow("Label5") << u"Label5"_s << u"Geburtsdatum"_s << QRect(19, 139, 66, 13);
    QTest::newRow("B_Print") << u"B_Print"_s << u"&Drucken"_s << QRect(120, 176, 75, 25);
    QTest::newRow("B_Cancel") << u"B_Cancel"_s << u"A&bbrechen"_s << QRect(208, 176, 73, 25);
    QTest::newRow("E_Nachname") << u"E_Nachname"_s << QString() << QRect(95, 39, 178, 21);
    QTest::newRow("E_Klasse") << u"E_Klasse"_s << QString() << QRect(95, 103, 58, 21);
    QTest::newRow("E_Vorname") << u"E_Vorname"_s << QString() << QRect(95, 71, 177, 21);
    QTest::newRow("E_Datum") << u"E_Datum"_s << QString() << QRect(95, 135, 90, 21);
}

void TestPrintForm::controls() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);

    Program p;
    TPrintForm *f = p.w.PrintForm;
    const QHash<QString, QWidget *> widgets = {
        {u"Label1"_s, f->Label1},       {u"Label2"_s, f->Label2},         {u"Label3"_s, f->Label3},
        {u"Label4"_s, f->Label4},       {u"Label5"_s, f->Label5},         {u"B_Print"_s, f->B_Print},
        {u"B_Cancel"_s, f->B_Cancel},   {u"E_Nachname"_s, f->E_Nachname}, {u"E_Klasse"_s, f->E_Klasse},
        {u"E_Vorname"_s, f->E_Vorname}, {u"E_Datum"_s, f->E_Datum},
    };
    QWidget *widget = widgets.value(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), f);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
        // A label is at least as wide as listed, and wide enough for its text in this font.
        QCOMPARE(label->pos(), geometry.topLeft());
        QCOMPARE(label->height(), geometry.height());
        QVERIFY(label->width() >= geometry.width());
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
        return;
    }
    QCOMPARE(widget->geometry(), geometry);
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), text);
    else
        QCOMPARE(qobject_cast<QLineEdit *>(widget)->text(), text);
}

void TestPrintForm::windowAndTabOrder() {
    Program p;
    TPrintForm *f = p.w.PrintForm;
    QCOMPARE(f->windowTitle(), u"Fachlesebogen drucken"_s);
    QCOMPARE(f->minimumSize(), QSize(295, 211));
    QCOMPARE(f->maximumSize(), QSize(295, 211));
    QVERIFY(f->isWindow());
    QVERIFY(!f->isVisible());
    QVERIFY(!f->B_Print->isEnabled());
    QVERIFY(f->B_Cancel->isEnabled());
    QVERIFY(f->Label1->font().bold());
    QVERIFY(!f->Label2->font().bold());

    const QList<QWidget *> order = {f->B_Print,   f->B_Cancel, f->E_Nachname,
                                    f->E_Vorname, f->E_Klasse, f->E_Datum};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QCOMPARE(nextTabStop(order.at(i)), order.at(i + 1));
}

// B_Print is enabled exactly when all four edits hold text; blanks count as text.
void TestPrintForm::printButton_data() {
    QTest::addColumn<QStringList>("texts"); // Nachname, Vorname, Klasse, Datum
    QTest::addColumn<bool>("enabled");

    QTest::newRow("all filled") << QStringList{u"Muster"_s, u"Maxi"_s, u"12b"_s, u"1.2.09"_s} << true;
    QTest::newRow("one blank each") << QStringList{u" "_s, u" "_s, u" "_s, u" "_s} << true;
    QTest::newRow("Nachname empty") << QStringList{QString(), u"Maxi"_s, u"12b"_s, u"1.2.09"_s} << false;
    QTest::newRow("Vorname empty") << QStringList{u"Muster"_s, QString(), u"12b"_s, u"1.2.09"_s} << false;
    QTest::newRow("Klasse empty") << QStringList{u"Muster"_s, u"Maxi"_s, QString(), u"1.2.09"_s} << false;
    QTest::newRow("Datum empty") << QStringList{u"Muster"_s, u"Maxi"_s, u"12b"_s, QString()} << false;
    QTest::newRow("all empty") << QStringList(4, QString()) << false;
}

void TestPrintForm::printButton() {
    QFETCH(QStringList, texts);
    QFETCH(bool, enabled);

    Program p;
    TPrintForm *f = p.w.PrintForm;
    const QList<QLineEdit *> edits = {f->E_Nachname, f->E_Vorname, f->E_Klasse, f->E_Datum};
    // Fill in reverse order so that the last change is the one to Nachname.
    for (qsizetype i = edits.size() - 1; i >= 0; --i)
        edits.at(i)->setText(texts.at(i).isEmpty() ? u"x"_s : texts.at(i));
    for (qsizetype i = edits.size() - 1; i >= 0; --i)
        edits.at(i)->setText(texts.at(i));
    QCOMPARE(f->B_Print->isEnabled(), enabled);
}

void TestPrintForm::keptBetweenOpenings() {
    Program p;
    TPrintForm *f = p.w.PrintForm;
    f->show();
    QCOMPARE(f->focusWidget(), f->E_Nachname);
    p.typePersonalData(u"Muster"_s, u"Maxi"_s);
    f->E_Datum->setFocus();
    f->B_Cancel->click();
    QVERIFY(!f->isVisible());

    f->show();
    QCOMPARE(f->E_Nachname->text(), u"Muster"_s);
    QCOMPARE(f->E_Vorname->text(), u"Maxi"_s);
    QCOMPARE(f->E_Klasse->text(), u"12b"_s);
    QCOMPARE(f->E_Datum->text(), u"01.02.2009"_s);
    QVERIFY(f->B_Print->isEnabled());
    QCOMPARE(f->focusWidget(), f->E_Nachname);
    f->hide();
    QVERIFY(p.recorder.entries.isEmpty());
}

void TestPrintForm::centredOverMainWindow() {
    Program p;
    p.w.move(40, 30);
    p.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.w));
    p.w.PrintForm->show();
    const QPoint mainCentre = p.w.mapToGlobal(p.w.rect().center());
    const QPoint formCentre = p.w.PrintForm->mapToGlobal(p.w.PrintForm->rect().center());
    QVERIFY2((mainCentre - formCentre).manhattanLength() <= 1,
             qPrintable(u"%1,%2 vs %3,%4"_s.arg(mainCentre.x())
                            .arg(mainCentre.y())
                            .arg(formCentre.x())
                            .arg(formCentre.y())));
    p.w.PrintForm->hide();
    p.w.hide();
}

// The menu command: an empty grid stops with a notice, an untested choice asks first, and
// the dialog opens modally.
void TestPrintForm::druckenClick_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("tested");
    QTest::addColumn<QList<DialogButton>>("answers");
    QTest::addColumn<QStringList>("dialogs"); // kind|caption|text|buttons
    QTest::addColumn<bool>("opens");

    const QString notice = u"notice|Fachlese IGS Brunsmark|Es sind noch keine Fächer eingetragen!|OK"_s;
    const QString question = u"information|Information|Die eingegebene Fachlese ist noch nicht erfolgreich "
                             "getestet worden.\rSollen die Daten trotzdem gedruckt werden?|&Ja,&Nein"_s;

    QTest::newRow("empty grid") << QStringList() << false << QList<DialogButton>() << QStringList{notice}
                                << false;
    QTest::newRow("empty grid, tested")
        << QStringList() << true << QList<DialogButton>() << QStringList{notice} << false;
    QTest::newRow("blanks only") << QStringList{u"  "_s, u" "_s} << false << QList<DialogButton>()
                                 << QStringList{notice} << false;
    QTest::newRow("untested, Nein") << QStringList{u"Deutsch"_s} << false
                                    << QList<DialogButton>{DialogButton::No} << QStringList{question}
                                    << false;
    QTest::newRow("untested, Ja") << QStringList{u"Deutsch"_s} << false
                                  << QList<DialogButton>{DialogButton::Yes} << QStringList{question} << true;
    QTest::newRow("untested, closed otherwise")
        << QStringList{u"Quatsch"_s} << false << QList<DialogButton>{DialogButton::Cancel}
        << QStringList{question} << true;
    QTest::newRow("tested") << kValidChoice << true << QList<DialogButton>() << QStringList() << true;
}

void TestPrintForm::druckenClick() {
    QFETCH(QStringList, rows);
    QFETCH(bool, tested);
    QFETCH(QList<DialogButton>, answers);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, opens);

    Program p;
    p.fill(rows);
    p.w.Test.ChoiceTested = tested;
    for (DialogButton answer : answers)
        p.recorder.answers.enqueue(answer);

    bool opened = false;
    bool modal = false;
    QTimer probe;
    probe.setSingleShot(true);
    probe.setInterval(0);
    connect(&probe, &QTimer::timeout, p.w.PrintForm, [&] {
        opened = p.w.PrintForm->isVisible();
        modal = p.w.PrintForm->isModal();
        p.w.PrintForm->B_Cancel->click();
    });
    probe.start();
    p.w.Drucken->trigger();
    probe.stop();

    QStringList shown;
    for (const DialogRecorder::Entry &e : p.recorder.entries) {
        QStringList buttons;
        for (DialogButton b : e.request.buttons)
            buttons.append(buttonText(b));
        shown.append(kindName(e.request.kind) + u'|' + e.request.caption + u'|' + e.request.text + u'|' +
                     buttons.join(u','));
    }
    QCOMPARE(shown, dialogs);
    QCOMPARE(opened, opens);
    QCOMPARE(modal, opens);
    QVERIFY(!p.w.PrintForm->isVisible());
    // The menu command always builds the course matrix from the grid.
    QCOMPARE(p.w.Test.CourseMatrix.at(1, 1),
             rows.isEmpty() ? kEmptySubject : LookupSubjectCode(rows.first()));
}

// The real output: the texts of the layout stand on the one page at their places.
void TestPrintForm::printsSheetToPdf() {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(u"bogen.pdf"_s);

    Program p;
    p.fill(kValidChoice);
    p.w.StringGrid->setCell(3, 9, u"  Religion "_s); // printed as typed
    p.w.Test.ChoiceTested = true;
    p.w.Printer.setOutputFormat(QPrinter::PdfFormat);
    p.w.Printer.setPageSize(QPageSize(QPageSize::A4));
    p.w.Printer.setOutputFileName(pdf);
    p.typePersonalData(u"Mustermann"_s, u"Erika"_s);

    p.w.PrintForm->show();
    p.w.PrintForm->B_Print->click();
    QVERIFY(!p.w.PrintForm->isVisible());
    QCOMPARE(p.recorder.entries.size(), 1);
    const DialogRequest &notice = p.recorder.entries.first().request;
    QCOMPARE(notice.kind, DialogKind::Information);
    QCOMPARE(notice.caption, u"Information"_s);
    QCOMPARE(notice.text, kPrintedNotice);
    QCOMPARE(notice.buttons, QList<DialogButton>{DialogButton::Ok});

    QVERIFY(QFile::exists(pdf));
    QCOMPARE(pdfInfo(pdf, u"Pages"_s), u"1"_s);
    QCOMPARE(pdfInfo(pdf, u"Title"_s), u"Fachlese von Erika Mustermann"_s);

    const QList<PdfWord> words = pdfWords(pdf);
    QVERIFY(!words.isEmpty());

    // Every text of the layout, found by its first word near its place.
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    p.w.Test.BuildCourseMatrix();
    const QList<SheetText> texts =
        SheetLayout(*p.w.StringGrid, p.w.Test.CourseMatrix, true,
                    PersonalData{u"Mustermann"_s, u"Erika"_s, u"12b"_s, u"01.02.2009"_s}, today);
    const QRectF area = p.w.Printer.pageLayout().paintRect(QPageLayout::Point);
    const double tolerance = 1.0; // points, about 0.35 mm
    int checked = 0;
    for (const SheetText &t : texts) {
        const QString first = t.text.section(u' ', 0, 0, QString::SectionSkipEmpty);
        const double x = area.left() + t.x * kPointsPerTenthMm;
        const double top = area.top() + t.y * kPointsPerTenthMm;
        const double bottom = top + t.height * kPointsPerTenthMm;
        bool found = false;
        for (const PdfWord &w : words) {
            if (w.text != first)
                continue;
            // A text that starts with blanks begins its first word further right.
            const bool xFits =
                t.text.startsWith(u' ') ? w.xMin > x && w.xMin < x + 30 : qAbs(w.xMin - x) <= tolerance;
            if (xFits && qAbs(w.yMin - top) <= tolerance && qAbs(w.yMax - bottom) <= tolerance) {
                found = true;
                break;
            }
        }
        QVERIFY2(found, qPrintable(u"\"%1\" not found at %2,%3"_s.arg(t.text).arg(t.x).arg(t.y)));
        ++checked;
    }
    QCOMPARE(checked, texts.size());
    // The regular cell text and the last line, letter by letter.
    const auto has = [&words](const QString &text) {
        return std::any_of(words.begin(), words.end(), [&text](const PdfWord &w) { return w.text == text; });
    };
    QVERIFY(has(u"Erziehungsberechtigten"_s));
    QVERIFY(has(u"SP"_s) && has(u"XXX"_s));
    QVERIFY(!has(u"ACHTUNG!"_s));
}

void TestPrintForm::printErrorShowsNoNotice() {
    QTemporaryDir dir;
    Program p;
    p.fill(kValidChoice);
    p.w.Printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath(u"fehlt/bogen.pdf"_s);
    p.w.Printer.setOutputFileName(pdf);
    p.typePersonalData(u"Muster"_s, u"Maxi"_s);

    p.w.PrintForm->show();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u".*"_s));
    p.w.PrintForm->B_Print->click();
    QVERIFY(!p.w.PrintForm->isVisible());
    QCOMPARE(p.recorder.entries.size(), 1);
    const DialogRequest &error = p.recorder.entries.first().request;
    QCOMPARE(error.kind, DialogKind::Error);
    QCOMPARE(error.caption, u"Fehler"_s);
    QCOMPARE(error.buttons, QList<DialogButton>{DialogButton::Cancel});
    QCOMPARE(error.text,
             u"Der Fachlesebogen konnte nicht in die Datei "_s + pdf +
                 u" geschrieben werden.\rBitte prüfe, ob der Ordner existiert und beschreibbar ist."_s);
    QVERIFY(!QFile::exists(pdf));
}

// The choice block is built from the grid at print time, whatever built it last.
void TestPrintForm::printRebuildsCourseBlock() {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"bogen.pdf"_s);
    Program p;
    p.fill(kValidChoice);
    p.w.Test.BuildCourseMatrix();
    p.w.StringGrid->setCell(1, 1, u"Latein"_s);
    p.w.StringGrid->setCell(1, 6, u"Sport-Theorie"_s);
    p.w.Printer.setOutputFormat(QPrinter::PdfFormat);
    p.w.Printer.setOutputFileName(pdf);
    p.typePersonalData(u"Muster"_s, u"Maxi"_s);

    QVERIFY(p.w.PrintForm->PrintSheet());
    QCOMPARE(p.w.Test.CourseMatrix.at(1, 1), Subject::Latein);
    QStringList lines;
    for (const PdfWord &w : pdfWords(pdf))
        lines.append(w.text);
    const QString all = lines.join(u' ');
    QVERIFY2(all.contains(u"LK1: LA ___ LK1: LA ___"_s), qPrintable(all));
    QVERIFY2(all.contains(u"GK4: ST ___ GK4: ST ___"_s), qPrintable(all));
    QVERIFY(all.contains(u"ACHTUNG! Die Wahl ist (noch) nicht erfolgreich getestet worden."_s));
}

void TestPrintForm::pdfFallbackWithoutPrinter() {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("this machine has a printer");
    QPrinter printer;
    UsePdfWhenNoPrinter(printer);
    QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
    QVERIFY(printer.outputFileName().endsWith(u"/Fachlesebogen.pdf"_s));
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);

    // A file chosen in the print dialog stays.
    QPrinter chosen;
    chosen.setOutputFileName(u"/tmp/anders.pdf"_s);
    UsePdfWhenNoPrinter(chosen);
    QCOMPARE(chosen.outputFileName(), u"/tmp/anders.pdf"_s);

    Program p;
    QCOMPARE(p.w.Printer.outputFormat(), QPrinter::PdfFormat);
    QVERIFY(p.w.Printer.outputFileName().endsWith(u"/Fachlesebogen.pdf"_s));
}

// "&Ja" in the verdict shows the print dialog without a modal loop; the run finishes.
void TestPrintForm::verdictOpensPrintFormWithoutModalLoop() {
    Program p;
    p.fill(kValidChoice);
    bool visibleDuringVerdict = true;
    p.recorder.fallback = [&](const DialogRequest &request) {
        if (request.text.endsWith(kVerdictQuestion)) {
            visibleDuringVerdict = p.w.PrintForm->isVisible();
            return DialogButton::Yes;
        }
        return request.buttons.value(0, DialogButton::Ok);
    };
    p.w.B_Testen->click();

    QStringList texts;
    for (const DialogRecorder::Entry &e : p.recorder.entries)
        texts.append(e.request.text);
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts.first().endsWith(kVerdictQuestion), qPrintable(texts.join(u"\n---\n"_s)));
    QVERIFY(!visibleDuringVerdict);
    QVERIFY(p.w.PrintForm->isVisible());
    QVERIFY(!p.w.PrintForm->isModal());
    QVERIFY(p.w.Test.ChoiceTested);
    QVERIFY(!p.w.Test.GridChangedSinceSnapshot());
    QCOMPARE(p.systemDialogs.beeps, 1);
    p.w.PrintForm->B_Cancel->click();
    QVERIFY(!p.w.PrintForm->isVisible());
}

// A run whose first stage trims blanks: a tick while the verdict is open leaves the choice
// tested, and the tick after the run shows "Wahl o.k.".
void TestPrintForm::timerKeepsTrimmedChoiceTested() {
    Program p;
    p.fill(kValidChoice);
    p.w.StringGrid->setCell(2, 8, u"  Kunst "_s);
    p.w.Timer1->stop(); // the test drives the ticks

    bool testedAfterTick = false;
    QString captionDuringVerdict;
    p.recorder.fallback = [&](const DialogRequest &request) {
        if (request.text.endsWith(kVerdictQuestion)) {
            p.w.Timer1Timer();
            testedAfterTick = p.w.Test.ChoiceTested;
            captionDuringVerdict = p.w.B_Testen->text();
            return DialogButton::No;
        }
        return request.buttons.value(0, DialogButton::Ok);
    };
    p.w.B_TestenClick();

    QCOMPARE(p.w.StringGrid->cell(2, 8), u"Kunst"_s);
    QVERIFY(testedAfterTick);
    QCOMPARE(captionDuringVerdict, u"Wahl o.k."_s);
    QVERIFY(!p.w.PrintForm->isVisible());
    p.w.Timer1Timer();
    QVERIFY(p.w.Test.ChoiceTested);
    QCOMPARE(p.w.B_Testen->text(), u"Wahl o.k."_s);
    QVERIFY(!p.w.Image1->isHidden());

    // The first edit after the run clears it again.
    p.w.StringGrid->setCell(1, 11, u"Informatik"_s);
    p.w.Timer1Timer();
    QVERIFY(!p.w.Test.ChoiceTested);
    QCOMPARE(p.w.B_Testen->text(), u"&Wahl testen"_s);
    QVERIFY(p.w.Image1->isHidden());
}

// An edit made within the second after a passed test, then a failing run: no tick saw the
// edit, yet the caption must not keep "Wahl o.k." and the sheet must not call it o.k.
void TestPrintForm::failedRunLeavesNoVerdict() {
    Program p;
    p.fill(kValidChoice);
    p.w.Timer1->stop();
    p.recorder.fallback = [](const DialogRequest &request) {
        return request.text.endsWith(kVerdictQuestion) ? DialogButton::No
                                                       : request.buttons.value(0, DialogButton::Ok);
    };
    p.w.B_TestenClick();
    p.w.Timer1Timer();
    QCOMPARE(p.w.B_Testen->text(), u"Wahl o.k."_s);

    p.w.StringGrid->setCell(1, 1, QString()); // LK 1 missing in semester 1
    p.recorder.entries.clear();
    p.w.B_TestenClick();
    QCOMPARE(p.recorder.entries.size(), 1);
    QCOMPARE(p.recorder.entries.first().request.kind, DialogKind::Error);
    p.w.Timer1Timer();
    QVERIFY(!p.w.Test.ChoiceTested);
    QCOMPARE(p.w.B_Testen->text(), u"&Wahl testen"_s);
    QVERIFY(p.w.Image1->isHidden());
}

QTEST_MAIN(TestPrintForm)
#include "tst_printform.moc"
