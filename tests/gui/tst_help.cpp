// The document viewer: loading, the forward search with its odd rules, printing, the
// main-window handlers that open it, and that it never freezes on a large file.

#include "shell/qtdialogs.h"
#include "support/choices.h"
#include "support/mainwindow.h"
#include "support/tables.h"
#include "windows/help.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>

using namespace Qt::StringLiterals;

class TestHelp : public QObject {
    Q_OBJECT

    // Writes `content` as `name` into the working folder and shows it in the viewer.
    void show(const QString &name, const QByteArray &content, bool wrap = true) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        form->ShowDocument(u"Titel"_s, name, wrap);
    }
    void search(const QString &term) {
        form->Edit1->setText(term);
        form->Button1Click();
    }
    int selectionStart() const { return form->RichEdit1->textCursor().selectionStart(); }

    QTemporaryDir folder; // the working folder of every test but the last
    DialogRecorder recorder;
    ScriptedSystemDialogs system;
    std::unique_ptr<THelpForm> form;

private slots:
    void init() {
        QDir::setCurrent(folder.path());
        recorder.entries.clear();
        form = std::make_unique<THelpForm>(recorder, system);
    }

    void search_data() { tables::addTextRows(u"gui/data/search.tsv"_s, {"document", "term", "matches"}); }

    // Successive searches find each occurrence in order, then report that there is no more;
    // the search after that starts at the beginning again. A match at 0 leaves "&Suchen".
    void search() {
        QFETCH(QString, document);
        QFETCH(QString, term);
        QFETCH(QString, matches);
        show(u"doc.rtf"_s, document.toUtf8());
        for (const QString &at : matches.split(u' ', Qt::SkipEmptyParts)) {
            const int match = at.toInt();
            search(term);
            QCOMPARE(selectionStart(), match);
            QCOMPARE(form->RichEdit1->textCursor().selectedText().compare(term, Qt::CaseInsensitive), 0);
            QCOMPARE(form->Button1->text(), match == 0 ? u"&Suchen"_s : u"Weiter&suchen"_s);
        }
        const QString before = form->Button1->text();
        search(term);
        QCOMPARE(choices::dialogTexts(recorder),
                 QStringList{u"Der Begriff "_s + term + u"  wurde nicht (mehr) gefunden."_s});
        QCOMPARE(recorder.entries.first().request.kind, DialogKind::Notice);
        QCOMPARE(form->Button1->text(), before); // a failure leaves the caption
        search(term);
        QCOMPARE(selectionStart(), matches.section(u' ', 0, 0).toInt());
    }

    // Typing a new term keeps the position; only a click into the field starts at the
    // beginning. Enter (main or keypad) searches like the button.
    void typingContinuesClickResetsEnterSearches() {
        show(u"doc.rtf"_s, "{\\rtf1 alpha beta alpha gamma alpha}");
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        search(u"beta"_s);
        form->Edit1->clear();
        QTest::keyClicks(form->Edit1, u"alpha"_s);
        QTest::keyClick(form->Edit1, Qt::Key_Return);
        QCOMPARE(selectionStart(), 11);
        QTest::mouseClick(form->Edit1, Qt::LeftButton);
        QCOMPARE(form->Button1->text(), u"&Suchen"_s);
        QTest::keyClick(form->Edit1, Qt::Key_Enter);
        QCOMPARE(selectionStart(), 0);
    }

    // The search range is [start, start + 150000); the term "ziel" has four characters. Short
    // lines keep the layout quick.
    void rangeLimit() {
        for (const auto &[start, matchAt, found] :
             {std::tuple{0, 149996, true}, {0, 149997, false}, {10, 150006, true}}) {
            const QByteArray text =
                (QByteArray(99, 'x') + '\n').repeated(matchAt / 100) + QByteArray(matchAt % 100, 'x');
            show(u"lang.txt"_s, text + "ziel" + QByteArray(10, 'x'));
            form->SearchPos = start;
            search(u"ziel"_s);
            QCOMPARE(form->SearchPos, found ? matchAt + 5 : -1);
        }
    }

    // A file that cannot be opened is reported; the viewer keeps its document, which still prints
    // (not when the print dialog is cancelled), and stays hidden.
    void missingFileKeepsContentPrinting() {
        show(u"doc.rtf"_s, "{\\rtf1 Bisheriger Text}");
        form->hide();
        search(u"text"_s);
        form->ShowDocument(u"Neuer Titel"_s, u"fehlt.rtf"_s, false);
        QCOMPARE(choices::requests(recorder),
                 QList{choices::ruleViolation(u"Die Datei fehlt.rtf konnte nicht geöffnet werden."_s)});
        QCOMPARE(form->RichEdit1->toPlainText(), u"Bisheriger Text"_s);
        QCOMPARE(form->windowTitle(), u"Neuer Titel"_s);
        QVERIFY(form->SearchPos == 0 && !form->isVisible());
        system.printerOutputFile = folder.filePath(u"druck.pdf"_s);
        system.printerAnswers << false << true;
        form->Drucken1Click();
        QVERIFY(!QFile::exists(system.printerOutputFile));
        form->Drucken1Click();
        QCOMPARE(form->PrintDialog1Printer().docName(), u"Fachlese"_s);
        QVERIFY(QFileInfo(system.printerOutputFile).size() > 0);
    }

    // A file of up to 32 MB is read; one byte more is refused with its own message, and the
    // viewer keeps what it showed.
    void tooLargeFileRefused() {
        show(u"doc.rtf"_s, "{\\rtf1 Bisheriger Text}");
        QFile file(u"gross.txt"_s); // zero bytes, which the plain-text view drops
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(32) << 20));
        form->ShowDocument(u"Gross"_s, u"gross.txt"_s, true);
        QVERIFY(recorder.entries.isEmpty());
        QCOMPARE(form->RichEdit1->toPlainText(), QString());
        show(u"doc.rtf"_s, "{\\rtf1 Bisheriger Text}");
        QVERIFY(file.resize((qint64(32) << 20) + 1));
        form->ShowDocument(u"Gross"_s, u"gross.txt"_s, true);
        QCOMPARE(choices::requests(recorder),
                 QList{choices::ruleViolation(u"Die Datei gross.txt ist größer als "
                                              "32 MB und kann nicht angezeigt werden."_s)});
        QCOMPARE(form->RichEdit1->toPlainText(), u"Bisheriger Text"_s);
    }

    // A printed document keeps its tables and pictures: the cell texts stand in the PDF and the
    // picture is one of its images.
    void printsTablesAndPictures() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty() ||
            QStandardPaths::findExecutable(u"pdfimages"_s).isEmpty())
            QSKIP("pdftotext and pdfimages (poppler-utils) are not installed");
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkRed);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
        show(u"doc.rtf"_s, "{\\rtf1 Vorher\\par\\trowd\\cellx2000\\cellx4000\\pard\\intbl Zelle1\\cell "
                           "Zelle2\\cell\\row\\pard Bild {\\pict\\pngblip " +
                               png.toHex() + "} Ende\\par}");
        system.printerOutputFile = folder.filePath(u"tabelle.pdf"_s);
        system.printerAnswers << true;
        form->Drucken1Click();
        auto run = [](const QString &program, const QStringList &arguments) {
            QProcess process;
            process.start(program, arguments);
            process.waitForFinished();
            return QString::fromUtf8(process.readAllStandardOutput());
        };
        const QString text = run(u"pdftotext"_s, {system.printerOutputFile, u"-"_s});
        QVERIFY2(text.contains(u"Zelle1"_s) && text.contains(u"Zelle2"_s) && text.contains(u"Ende"_s),
                 qPrintable(text));
        const QStringList images = run(u"pdfimages"_s, {u"-list"_s, system.printerOutputFile})
                                       .split(u'\n', Qt::SkipEmptyParts)
                                       .filter(u" image "_s);
        QCOMPARE(images.size(), 1);
        QVERIFY(images.first().contains(u" 40 "_s) && images.first().contains(u" 30 "_s));
    }

    // The four handlers of the main window open the documents that lie beside the program, one
    // after the other replacing the document shown before in the same window and restarting
    // the search.
    void mainWindowHandlers() {
        QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
        MainWindowFixture f;
        THelpForm &help = *f.form->HelpForm();
        const std::tuple<void (TMainForm::*)(), QString, bool, QString> handlers[] = {
            {&TMainForm::B_AnleitungClick, u"Anleitung zur Fachlese"_s, true, u"Fachlesebogen"_s},
            {&TMainForm::B_VerordnungClick, u"Oberstufenverordnung"_s, false, u"Prüfungsfach"_s},
            {&TMainForm::B_HilfeClick, u"Hilfe"_s, true, u"rechts ausfüllen"_s},
            {&TMainForm::ProgramminfoClick, u"Hilfe"_s, true, u"links ausfuellen"_s}};
        for (const auto &[handler, caption, wrap, text] : handlers) {
            help.SearchPos = 7;
            ((*f.form).*handler)();
            QVERIFY(f.dialogs.entries.isEmpty() && help.isVisible() && help.SearchPos == 0);
            QCOMPARE(help.windowTitle(), caption);
            QCOMPARE(help.RichEdit1->lineWrapMode(), wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
            QVERIFY(help.RichEdit1->toPlainText().contains(text));
        }
        QCOMPARE(f.form->findChildren<THelpForm *>().size(), 1);
    }

    // The viewer's own messages come up over the viewer, not over the main window.
    void viewerMessageOwner() {
        QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
        QtDialogs dialogs;
        QWidget main;
        dialogs.setParent(&main);
        THelpForm help(dialogs, system, &main);
        help.ShowDocument(u"Hilfe"_s, u"Hilfe.rtf"_s, true);
        QVERIFY(QTest::qWaitForWindowActive(&help));
        help.Edit1->setText(u"kein solches Wort"_s);
        QWidget *owner = nullptr;
        QVERIFY(
            duringModal([&] { help.Button1Click(); }, [&](QWidget *box) { owner = box->parentWidget(); }));
        QCOMPARE(owner, &help);
    }

    void bigFiles_data() { tables::addTextRows(u"gui/data/large-documents.tsv"_s, {"piece", "whole"}); }

    // A file of 32 MB (the small one of 1 MB) of each of these shapes is shown within seconds,
    // whole or in part with a notice; the view lays it out to its end without holding the
    // program up for long, and stays below the height at which the layout stalls.
    void bigFiles() {
        QFETCH(QString, piece);
        QFETCH(QString, whole);
        const QByteArray unit = piece.toUtf8();
        const bool plain = unit == "\n";
        QByteArray data = plain ? QByteArray() : QByteArray("{\\rtf1\\ansi\\deff0\n");
        while (data.size() + unit.size() + 1 <= (whole == u"1" ? 1 : 32) * 1024 * 1024)
            data += unit;
        QElapsedTimer timer;
        timer.start();
        show(u"Verordnung.rtf"_s, plain ? data : data + '}', false);
        QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(
            choices::dialogTexts(recorder),
            whole == u"1"
                ? QStringList()
                : QStringList{u"Die Datei Verordnung.rtf ist zu lang; angezeigt wird nur ihr Anfang."_s});
        // The view's own layout runs in steps between events.
        qint64 last = timer.elapsed(), longest = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            longest = std::max(longest, timer.elapsed() - last);
            last = timer.elapsed();
        });
        tick.start(10);
        QTest::qWait(1500);
        QVERIFY2(longest < 5000, qPrintable(QString::number(longest)));
        QVERIFY(form->RichEdit1->document()->documentLayout()->documentSize().height() < 8'000'000);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
