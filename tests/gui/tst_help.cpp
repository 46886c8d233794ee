// The document viewer: loading, the forward search with its odd rules, printing, and the
// main-window handlers that open it.

#include "rules/dialogs.h"
#include "shell/main.h"
#include "support/fakes.h"
#include "windows/help.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

QString notFound(const QString &term) {
    return u"Der Begriff "_s + term + u"  wurde nicht (mehr) gefunden."_s;
}

// Changes into a directory for the lifetime of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const QString &path) : m_old(QDir::currentPath()) { QDir::setCurrent(path); }
    ~WorkingDirectory() { QDir::setCurrent(m_old); }

private:
    QString m_old;
};

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout();
    void search_data();
    void search();
    void adjacentOccurrenceIsSkipped();
    void failedSearchStartsAgain();
    void emptyTermIsNotFound();
    void newTermContinuesClickResets();
    void enterSearches();
    void rangeLimit_data();
    void rangeLimit();
    void missingFileKeepsContent();
    void plainTextFile();
    void printing();
    void closingHides();
    void mainWindowHandlers_data();
    void mainWindowHandlers();

private:
    // Writes `content` as `name` into the temporary folder and shows it in the viewer.
    void show(const QString &name, const QByteArray &content, bool wrap = true);
    void search(const QString &term);
    QString selection() const { return form->RichEdit1->textCursor().selectedText(); }
    int selectionStart() const { return form->RichEdit1->textCursor().selectionStart(); }

    QTemporaryDir *folder = nullptr;
    WorkingDirectory *workingDirectory = nullptr;
    DialogRecorder *recorder = nullptr;
    ScriptedSystemDialogs *system = nullptr;
    THelpForm *form = nullptr;
};

void TestHelp::init() {
    folder = new QTemporaryDir;
    workingDirectory = new WorkingDirectory(folder->path());
    recorder = new DialogRecorder;
    system = new ScriptedSystemDialogs;
    form = new THelpForm(*recorder, *system);
}

void TestHelp::cleanup() {
    delete form;
    delete system;
    delete recorder;
    delete workingDirectory;
    delete folder;
}

void TestHelp::show(const QString &name, const QByteArray &content, bool wrap) {
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    form->ShowDocument(u"Titel"_s, name, wrap);
    QVERIFY(recorder->entries.isEmpty());
}

void TestHelp::search(const QString &term) {
    form->Edit1->setText(term);
    form->Button1Click();
}

void TestHelp::layout() {
    form->resize(500, 400);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->Panel1->height(), 37);
    QCOMPARE(form->RichEdit1->height(), form->Panel1->y());
    QCOMPARE(form->RichEdit1->y(), 0);
    QCOMPARE(form->Panel1->y() + 37, form->centralWidget()->height());
    QCOMPARE(form->Button1->text(), u"&Suchen"_s);
    QCOMPARE(form->Button1->geometry(), QRect(10, 7, 119, 27));
    QCOMPARE(form->Edit1->geometry(), QRect(148, 7, 178, 24));
    QVERIFY(form->RichEdit1->isReadOnly());
    QCOMPARE(form->RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form->RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form->RichEdit1->document()->defaultFont().pixelSize(), 15);
    QCOMPARE(form->Drucken1->text(), u"D&rucken"_s);
    QCOMPARE(form->Schlieen1->text(), u"S&chließen"_s);
    QVERIFY(form->StatusBar1->currentMessage().isEmpty());
}

void TestHelp::search_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QList<int>>("matches");   // positions found by successive searches
    QTest::addColumn<QStringList>("captions"); // the button caption after each of them

    QTest::newRow("two occurrences") << QByteArray("{\\rtf1 Kurs und noch ein Kurs.}") << u"Kurs"_s
                                     << QList<int>{0, 18} << QStringList{u"&Suchen"_s, u"Weiter&suchen"_s};
    QTest::newRow("case does not matter")
        << QByteArray("{\\rtf1 Das Fach DEUTSCH und Deutsch}") << u"deutsch"_s << QList<int>{9, 21}
        << QStringList{u"Weiter&suchen"_s, u"Weiter&suchen"_s};
    QTest::newRow("umlauts in any case") << QByteArray("{\\rtf1 \\'dcbung: \\'fcben}") << u"üb"_s
                                         << QList<int>{0, 7} << QStringList{u"&Suchen"_s, u"Weiter&suchen"_s};
    QTest::newRow("across paragraphs") << QByteArray("{\\rtf1 eins\\par zwei\\par eins}") << u"eins"_s
                                       << QList<int>{0, 10} << QStringList{u"&Suchen"_s, u"Weiter&suchen"_s};
    QTest::newRow("match inside a word")
        << QByteArray("{\\rtf1 Sporttheorie Theorie}") << u"theorie"_s << QList<int>{5, 13}
        << QStringList{u"Weiter&suchen"_s, u"Weiter&suchen"_s};
    QTest::newRow("one character apart") << QByteArray("{\\rtf1 ab ab}") << u"ab"_s << QList<int>{0, 3}
                                         << QStringList{u"&Suchen"_s, u"Weiter&suchen"_s};
}

// Successive searches find each occurrence in order, then report that there is no more.
void TestHelp::search() {
    QFETCH(QByteArray, document);
    QFETCH(QString, term);
    QFETCH(QList<int>, matches);
    QFETCH(QStringList, captions);
    show(u"doc.rtf"_s, document);

    for (int i = 0; i < matches.size(); ++i) {
        search(term);
        QVERIFY2(recorder->entries.isEmpty(), qPrintable(QString::number(i)));
        QCOMPARE(selectionStart(), matches[i]);
        QCOMPARE(selection().size(), term.size());
        QCOMPARE(selection().compare(term, Qt::CaseInsensitive), 0);
        QCOMPARE(form->Button1->text(), captions[i]);
        QCOMPARE(form->SearchPos, matches[i] + int(term.size()) + 1);
    }
    search(term);
    QCOMPARE(form->SearchPos, -1);
    QCOMPARE(recorder->entries.size(), 1);
    const DialogRequest &request = recorder->entries.first().request;
    QCOMPARE(request.kind, DialogKind::Notice);
    QCOMPARE(request.caption, kApplicationTitle);
    QCOMPARE(request.text, notFound(term));
    QCOMPARE(request.buttons, QList<DialogButton>{DialogButton::Ok});
    // The caption stays as the last match left it.
    QCOMPARE(form->Button1->text(), captions.last());
}

// The next search starts one character after the end of a match, so an occurrence that
// follows directly is skipped.
void TestHelp::adjacentOccurrenceIsSkipped() {
    show(u"doc.rtf"_s, "{\\rtf1 ababab}");
    search(u"ab"_s);
    QCOMPARE(selectionStart(), 0);
    search(u"ab"_s);
    QCOMPARE(selectionStart(), 4);
    search(u"ab"_s);
    QCOMPARE(recorder->entries.size(), 1);
    QCOMPARE(recorder->entries.first().request.text, notFound(u"ab"_s));
}

void TestHelp::failedSearchStartsAgain() {
    show(u"doc.rtf"_s, "{\\rtf1 x Wahl Wahl}");
    search(u"wahl"_s);
    search(u"wahl"_s);
    QCOMPARE(selectionStart(), 7);
    search(u"wahl"_s);
    QCOMPARE(form->SearchPos, -1);
    search(u"wahl"_s);
    QCOMPARE(selectionStart(), 2);
    QCOMPARE(form->SearchPos, 7);
    QCOMPARE(recorder->entries.size(), 1);
}

void TestHelp::emptyTermIsNotFound() {
    show(u"doc.rtf"_s, "{\\rtf1 Text}");
    search(QString());
    QCOMPARE(form->SearchPos, -1);
    QCOMPARE(recorder->entries.size(), 1);
    QCOMPARE(recorder->entries.first().request.text, u"Der Begriff   wurde nicht (mehr) gefunden."_s);
    QCOMPARE(form->Button1->text(), u"&Suchen"_s);
}

// Typing a new term keeps the position; only a click into the field starts at the beginning.
void TestHelp::newTermContinuesClickResets() {
    show(u"doc.rtf"_s, "{\\rtf1 alpha beta alpha gamma}");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    search(u"beta"_s);
    QCOMPARE(form->SearchPos, 11);

    form->Edit1->clear();
    QTest::keyClicks(form->Edit1, u"alpha"_s);
    QCOMPARE(form->SearchPos, 11);
    form->Button1Click();
    QCOMPARE(selectionStart(), 11);
    QCOMPARE(form->Button1->text(), u"Weiter&suchen"_s);

    QTest::mouseClick(form->Edit1, Qt::LeftButton);
    QCOMPARE(form->SearchPos, 0);
    QCOMPARE(form->Button1->text(), u"&Suchen"_s);
    form->Button1Click();
    QCOMPARE(selectionStart(), 0);

    // A new document restarts the search as well.
    search(u"gamma"_s);
    QVERIFY(form->SearchPos > 0);
    form->ShowDocument(u"Titel"_s, u"doc.rtf"_s, true);
    QCOMPARE(form->SearchPos, 0);
}

void TestHelp::enterSearches() {
    show(u"doc.rtf"_s, "{\\rtf1 Kurs Kurs}");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->Edit1->setFocus();
    QTest::keyClicks(form->Edit1, u"kurs"_s);
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    QCOMPARE(selectionStart(), 0);
    QCOMPARE(form->Edit1->text(), u"kurs"_s);
    QTest::keyClick(form->Edit1, Qt::Key_Enter);
    QCOMPARE(selectionStart(), 5);
    QCOMPARE(form->Button1->text(), u"Weiter&suchen"_s);
    QVERIFY(recorder->entries.isEmpty());
    form->Edit1KeyPress(u'x');
    QCOMPARE(form->SearchPos, 10);
}

void TestHelp::rangeLimit_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("matchAt");
    QTest::addColumn<bool>("found");

    // The term "ziel" has four characters; the range is [start, start + 150000).
    QTest::newRow("ends at the last position") << 0 << 149996 << true;
    QTest::newRow("ends one past the range") << 0 << 149997 << false;
    QTest::newRow("begins past the range") << 0 << 150001 << false;
    QTest::newRow("range moves with the start") << 10 << 150006 << true;
    QTest::newRow("range moves with the start, too far") << 10 << 150007 << false;
}

void TestHelp::rangeLimit() {
    QFETCH(int, start);
    QFETCH(int, matchAt);
    QFETCH(bool, found);
    // Short lines keep the layout quick; a line end is one character like any other.
    QByteArray text(matchAt, 'x');
    for (int i = 99; i < matchAt; i += 100)
        text[i] = '\n';
    show(u"lang.txt"_s, text + "ziel" + QByteArray(10, 'x'));
    form->SearchPos = start;
    search(u"ziel"_s);
    if (found) {
        QCOMPARE(selectionStart(), matchAt);
        QVERIFY(recorder->entries.isEmpty());
    } else {
        QCOMPARE(form->SearchPos, -1);
        QCOMPARE(recorder->entries.size(), 1);
    }
}

// A file that cannot be opened is reported; the viewer keeps its document and stays hidden.
void TestHelp::missingFileKeepsContent() {
    show(u"doc.rtf"_s, "{\\rtf1 Bisheriger Text}");
    form->hide();
    search(u"text"_s);
    QVERIFY(form->SearchPos > 0);

    form->ShowDocument(u"Neuer Titel"_s, u"fehlt.rtf"_s, false);
    QCOMPARE(recorder->entries.size(), 1);
    const DialogRequest &request = recorder->entries.first().request;
    QCOMPARE(request.kind, DialogKind::Error);
    QCOMPARE(request.caption, u"Fehler"_s);
    QCOMPARE(request.text, u"Die Datei fehlt.rtf konnte nicht geöffnet werden."_s);
    QCOMPARE(request.buttons, QList<DialogButton>{DialogButton::Cancel});
    QCOMPARE(form->RichEdit1->toPlainText(), u"Bisheriger Text"_s);
    QCOMPARE(form->windowTitle(), u"Neuer Titel"_s);
    QCOMPARE(form->SearchPos, 0);
    QVERIFY(!form->isVisible());
    QCOMPARE(form->RichEdit1->lineWrapMode(), QTextEdit::WidgetWidth); // unchanged

    // A folder of that name cannot be read either.
    QVERIFY(QDir().mkdir(u"ordner.rtf"_s));
    form->ShowDocument(u"Titel"_s, u"ordner.rtf"_s, true);
    QCOMPARE(recorder->entries.size(), 2);
    QCOMPARE(recorder->entries.last().request.text, u"Die Datei ordner.rtf konnte nicht geöffnet werden."_s);
}

// A file without the RTF signature is shown as Windows-1252 text.
void TestHelp::plainTextFile() {
    show(u"notiz.txt"_s, "Gr\xfc\xdf"
                         "e\r\nZeile 2");
    QCOMPARE(form->RichEdit1->toPlainText(), u"Grüße\nZeile 2"_s);
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), u"Titel"_s);
}

void TestHelp::printing() {
    show(u"doc.rtf"_s, "{\\rtf1 Zu druckender Text}");
    const QString pdf = folder->filePath(u"druck.pdf"_s);
    system->printerOutputFile = pdf;

    system->printerAnswers.enqueue(false);
    form->Drucken1Click();
    QCOMPARE(system->printerRequests, 1);
    QVERIFY(!QFile::exists(pdf));

    system->printerAnswers.enqueue(true);
    form->Drucken1Click();
    QCOMPARE(system->printerRequests, 2);
    QCOMPARE(form->PrintDialog1Printer.docName(), u"Fachlese"_s);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
    QVERIFY(recorder->entries.isEmpty());
}

void TestHelp::closingHides() {
    show(u"doc.rtf"_s, "{\\rtf1 Text Text}");
    search(u"text"_s);
    form->Schlieen1Click();
    QVERIFY(!form->isVisible());
    QCOMPARE(form->SearchPos, 5);
    QCOMPARE(form->RichEdit1->toPlainText(), u"Text Text"_s);
}

void TestHelp::mainWindowHandlers_data() {
    QTest::addColumn<int>("handler");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<QString>("text");

    QTest::newRow("Verordnung") << 0 << u"Oberstufenverordnung"_s << false << u"Belegungsverpflichtungen"_s;
    QTest::newRow("Anleitung") << 1 << u"Anleitung zur Fachlese"_s << true << u"Fachlesebogen"_s;
    QTest::newRow("Hilfe button") << 2 << u"Hilfe"_s << true << u"rechts ausfüllen"_s;
    QTest::newRow("Inhalt menu item") << 3 << u"Hilfe"_s << true << u"links ausfuellen"_s;
}

// The four handlers of the main window open the documents that lie beside the program.
void TestHelp::mainWindowHandlers() {
    QFETCH(int, handler);
    QFETCH(QString, caption);
    QFETCH(bool, wrap);
    QFETCH(QString, text);

    WorkingDirectory documents(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
    TMainForm w(*recorder, *system);
    w.CreateSideWindows();
    w.FirstShowPending = false;
    // Another document first: each handler replaces it in the same window.
    w.HelpForm->ShowDocument(u"Vorher"_s, u"Anleitung.rtf"_s, handler == 0);
    w.HelpForm->SearchPos = 7;
    switch (handler) {
    case 0:
        w.B_VerordnungClick();
        break;
    case 1:
        w.B_AnleitungClick();
        break;
    case 2:
        w.B_HilfeClick();
        break;
    default:
        w.ProgramminfoClick();
        break;
    }
    QVERIFY(recorder->entries.isEmpty());
    THelpForm *help = w.HelpForm;
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), caption);
    QCOMPARE(help->RichEdit1->lineWrapMode(), wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    QCOMPARE(help->SearchPos, 0);
    QVERIFY(help->RichEdit1->toPlainText().contains(text));
    QCOMPARE(w.findChildren<THelpForm *>().size(), 1);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
