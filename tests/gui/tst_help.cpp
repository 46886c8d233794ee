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
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void search_data();
    void search();
    void newTermContinuesClickResets();
    void enterSearches();
    void rangeLimit_data();
    void rangeLimit();
    void missingFileKeepsContent();
    void printing();
    void mainWindowHandlers_data();
    void mainWindowHandlers();

private:
    // Writes `content` as `name` into the working folder and shows it in the viewer.
    void show(const QString &name, const QByteArray &content) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        form->ShowDocument(u"Titel"_s, name, true);
        QVERIFY(recorder.entries.isEmpty());
    }
    void search(const QString &term) {
        form->Edit1->setText(term);
        form->Button1Click();
    }
    int selectionStart() const { return form->RichEdit1->textCursor().selectionStart(); }
    QString lastMessage() const {
        return recorder.entries.isEmpty() ? QString() : recorder.entries.last().request.text;
    }

    std::unique_ptr<QTemporaryDir> folder;
    QString oldDirectory;
    DialogRecorder recorder;
    ScriptedSystemDialogs system;
    std::unique_ptr<THelpForm> form;
};

void TestHelp::init() {
    folder = std::make_unique<QTemporaryDir>();
    oldDirectory = QDir::currentPath();
    QDir::setCurrent(folder->path());
    recorder.entries.clear();
    form = std::make_unique<THelpForm>(recorder, system);
}

void TestHelp::cleanup() {
    form.reset();
    QDir::setCurrent(oldDirectory);
    folder.reset();
}

void TestHelp::search_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QList<int>>("matches"); // positions found by successive searches
    QTest::addColumn<QString>("caption");    // the button caption after the first of them

    QTest::newRow("two, first at 0") << QByteArray("{\\rtf1 Kurs und noch ein Kurs.}") << u"Kurs"_s
                                     << QList<int>{0, 18} << u"&Suchen"_s;
    QTest::newRow("case") << QByteArray("{\\rtf1 Das Fach DEUTSCH und Deutsch}") << u"deutsch"_s
                          << QList<int>{9, 21} << u"Weiter&suchen"_s;
    QTest::newRow("umlaut case, paragraphs")
        << QByteArray("{\\rtf1 \\'dcbung\\par \\'fcben}") << u"üb"_s << QList<int>{0, 6} << u"&Suchen"_s;
    QTest::newRow("adjacent is skipped")
        << QByteArray("{\\rtf1 ababab}") << u"ab"_s << QList<int>{0, 4} << u"&Suchen"_s;
    QTest::newRow("one apart") << QByteArray("{\\rtf1 ab ab}") << u"ab"_s << QList<int>{0, 3} << u"&Suchen"_s;
    QTest::newRow("empty term") << QByteArray("{\\rtf1 Text}") << QString() << QList<int>{} << u"&Suchen"_s;
}

// Successive searches find each occurrence in order, then report that there is no more;
// the search after that starts at the beginning again.
void TestHelp::search() {
    QFETCH(QByteArray, document);
    QFETCH(QString, term);
    QFETCH(QList<int>, matches);
    QFETCH(QString, caption);
    show(u"doc.rtf"_s, document);
    for (int i = 0; i < matches.size(); ++i) {
        search(term);
        QCOMPARE(selectionStart(), matches[i]);
        QCOMPARE(form->RichEdit1->textCursor().selectedText().compare(term, Qt::CaseInsensitive), 0);
        QCOMPARE(form->Button1->text(), i == 0 ? caption : u"Weiter&suchen"_s);
        QCOMPARE(form->SearchPos, matches[i] + int(term.size()) + 1);
    }
    QVERIFY(recorder.entries.isEmpty());
    const QString before = form->Button1->text();
    search(term);
    QCOMPARE(form->SearchPos, -1);
    QCOMPARE(recorder.entries.size(), 1);
    const DialogRequest &request = recorder.entries.first().request;
    QCOMPARE(request.kind, DialogKind::Notice);
    QCOMPARE(request.text, u"Der Begriff "_s + term + u"  wurde nicht (mehr) gefunden."_s);
    QCOMPARE(form->Button1->text(), before); // a failure leaves the caption
    if (!matches.isEmpty()) {
        search(term);
        QCOMPARE(selectionStart(), matches.first());
    }
}

// Typing a new term keeps the position; only a click into the field starts at the beginning,
// and so does opening a document.
void TestHelp::newTermContinuesClickResets() {
    show(u"doc.rtf"_s, "{\\rtf1 alpha beta alpha gamma}");
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    search(u"beta"_s);
    form->Edit1->clear();
    QTest::keyClicks(form->Edit1, u"alpha"_s);
    QCOMPARE(form->SearchPos, 11);
    form->Button1Click();
    QCOMPARE(selectionStart(), 11);

    QTest::mouseClick(form->Edit1, Qt::LeftButton);
    QCOMPARE(form->SearchPos, 0);
    QCOMPARE(form->Button1->text(), u"&Suchen"_s);
    form->Button1Click();
    QCOMPARE(selectionStart(), 0);

    search(u"gamma"_s);
    form->ShowDocument(u"Titel"_s, u"doc.rtf"_s, true);
    QCOMPARE(form->SearchPos, 0);
}

void TestHelp::enterSearches() {
    show(u"doc.rtf"_s, "{\\rtf1 Kurs Kurs}");
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->Edit1->setFocus();
    QTest::keyClicks(form->Edit1, u"kurs"_s);
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    QCOMPARE(selectionStart(), 0);
    QTest::keyClick(form->Edit1, Qt::Key_Enter);
    QCOMPARE(selectionStart(), 5);
    QCOMPARE(form->Edit1->text(), u"kurs"_s);
    QVERIFY(recorder.entries.isEmpty());
}

void TestHelp::rangeLimit_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("matchAt");
    QTest::addColumn<bool>("found");
    // The term "ziel" has four characters; the range is [start, start + 150000).
    QTest::newRow("ends at the last position") << 0 << 149996 << true;
    QTest::newRow("ends one past the range") << 0 << 149997 << false;
    QTest::newRow("range moves with the start") << 10 << 150006 << true;
    QTest::newRow("moved, one past") << 10 << 150007 << false;
}

void TestHelp::rangeLimit() {
    QFETCH(int, start);
    QFETCH(int, matchAt);
    QFETCH(bool, found);
    QByteArray text(matchAt, 'x');
    for (int i = 99; i < matchAt; i += 100) // short lines keep the layout quick
        text[i] = '\n';
    show(u"lang.txt"_s, text + "ziel" + QByteArray(10, 'x'));
    form->SearchPos = start;
    search(u"ziel"_s);
    QCOMPARE(form->SearchPos, found ? matchAt + 5 : -1);
    QCOMPARE(recorder.entries.size(), found ? 0 : 1);
}

// A file that cannot be opened is reported; the viewer keeps its document and stays hidden.
void TestHelp::missingFileKeepsContent() {
    show(u"doc.rtf"_s, "{\\rtf1 Bisheriger Text}");
    form->hide();
    search(u"text"_s);
    QVERIFY(QDir().mkdir(u"ordner.rtf"_s));
    for (const QString &name : {u"fehlt.rtf"_s, u"ordner.rtf"_s}) {
        recorder.entries.clear();
        form->ShowDocument(u"Neuer Titel"_s, name, false);
        QCOMPARE(recorder.entries.size(), 1);
        QCOMPARE(recorder.entries.first().request.kind, DialogKind::Error);
        QCOMPARE(lastMessage(), u"Die Datei "_s + name + u" konnte nicht geöffnet werden."_s);
        QCOMPARE(form->RichEdit1->toPlainText(), u"Bisheriger Text"_s);
        QCOMPARE(form->windowTitle(), u"Neuer Titel"_s);
        QCOMPARE(form->SearchPos, 0);
        QVERIFY(!form->isVisible());
    }
}

void TestHelp::printing() {
    show(u"doc.rtf"_s, "{\\rtf1 Zu druckender Text}");
    system.printerOutputFile = folder->filePath(u"druck.pdf"_s);
    system.printerAnswers << false << true;
    form->Drucken1Click();
    QVERIFY(!QFile::exists(system.printerOutputFile));
    form->Drucken1Click();
    QCOMPARE(form->PrintDialog1Printer.docName(), u"Fachlese"_s);
    QFile file(system.printerOutputFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
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

// The four handlers of the main window open the documents that lie beside the program, each
// replacing the document shown before in the same window.
void TestHelp::mainWindowHandlers() {
    QFETCH(int, handler);
    QFETCH(QString, caption);
    QFETCH(bool, wrap);
    QFETCH(QString, text);
    QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/documents"));
    TMainForm w(recorder, system);
    w.CreateSideWindows();
    w.FirstShowPending = false;
    w.HelpForm->ShowDocument(u"Vorher"_s, u"Anleitung.rtf"_s, !wrap);
    w.HelpForm->SearchPos = 7;
    const std::function<void()> handlers[] = {[&] { w.B_VerordnungClick(); }, [&] { w.B_AnleitungClick(); },
                                              [&] { w.B_HilfeClick(); }, [&] { w.ProgramminfoClick(); }};
    handlers[handler]();
    QVERIFY(recorder.entries.isEmpty());
    QVERIFY(w.HelpForm->isVisible());
    QCOMPARE(w.HelpForm->windowTitle(), caption);
    QCOMPARE(w.HelpForm->RichEdit1->lineWrapMode(), wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    QCOMPARE(w.HelpForm->SearchPos, 0);
    QVERIFY(w.HelpForm->RichEdit1->toPlainText().contains(text));
    QCOMPARE(w.findChildren<THelpForm *>().size(), 1);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
