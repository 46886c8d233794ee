#include "support/files.h"
#include "support/mainwindow.h"
#include "support/tables.h"
#include "windows/abinote.h"

#include <QAccessible>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace {
// Writes the 22 point cells without any key event, so that nothing is recomputed yet.
void setPoints(TAbiNoteForm &form, const QString &all, int column = 0, const QString &text = {}) {
    for (int i = 1; i <= 22; ++i)
        form.SG_GK->item(1, i)->setText(i == column ? text : all);
}
} // namespace

// The Abitur window: the sum of the points, keys, names, and the window as a pupil uses it.
class TestAbiNote : public QObject {
    Q_OBJECT

    DialogRecorder dialogs;
    ScriptedSystemDialogs system;

private slots:
    void initTestCase() {
        QFont font(u"Liberation Sans"_s); // the program's font
        font.setPixelSize(11);
        QApplication::setFont(font);
    }

    // Every key released in the grid recomputes the label, also keys that change no cell: the
    // sum of the 22 points, or "?" for a value outside 1 ... 15.
    void sum() {
        // All cells, the one column with another text, that text, and the label.
        const std::tuple<QString, int, QString, QString> cases[] = {{u"15"_s, 0, QString(), u"330"_s},
                                                                    {u"15"_s, 1, u"0"_s, u"?"_s},
                                                                    {u"1"_s, 22, u"16"_s, u"?"_s},
                                                                    {u"1"_s, 5, u" 9"_s, u"30"_s}};
        for (const auto &[all, column, text, result] : cases)
            for (Qt::Key key : {Qt::Key_Right, Qt::Key_Tab, Qt::Key_Shift}) {
                TAbiNoteForm form(dialogs, system);
                form.L_GK->setText(u"stale"_s);
                setPoints(form, all, column, text);
                QCOMPARE(form.L_GK->text(), u"stale"_s);
                QTest::keyClick(form.SG_GK, key);
                QCOMPARE(text + u' ' + form.L_GK->text(), text + u' ' + result);
            }
        // Points set from a file show their sum at once, and 15 reads back as 15.
        TAbiNoteForm form(dialogs, system);
        AbiturEntries entries;
        entries.grundkurse.fill(15);
        form.SetEntries(entries);
        QCOMPARE(form.L_GK->text(), u"330"_s);
        QCOMPARE(form.Entries().grundkurse, entries.grundkurse);
    }

    // The grid and its point cells have names for screen readers; a cell's name follows its text.
    void accessibleNames() {
        TAbiNoteForm form(dialogs, system);
        form.SG_GK->item(1, 3)->setText(u"12"_s);
        QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(form.SG_GK);
        QStringList names = {grid->text(QAccessible::Name)};
        for (const int column : {1, 3, 22})
            names << grid->tableInterface()->cellAt(1, column)->text(QAccessible::Name);
        names << grid->tableInterface()->cellAt(0, 3)->text(QAccessible::Name);
        QCOMPARE(names, (QStringList{u"Punkte der Grundkurse"_s, u"GK 1: leer"_s, u"GK 3: 12"_s,
                                     u"GK 22: leer"_s, u"3"_s}));
    }

    // What was typed counts at the key release, while the cell editor is still open.
    void typingInTheEditor() {
        TAbiNoteForm form(dialogs, system);
        setPoints(form, u"1"_s, 1, u"3"_s);
        form.SG_GK->setCurrentCell(1, 1);
        QTest::keyClick(form.SG_GK, Qt::Key_5); // opens the editor with the typed key
        QLineEdit *editor = form.SG_GK->findChild<QLineEdit *>();
        QVERIFY(editor);
        QStringList seen = {form.L_GK->text()};
        for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_1, Qt::Key_5, Qt::Key_6}) {
            QTest::keyClick(editor, key);
            seen << form.L_GK->text();
        }
        QCOMPARE(seen.join(u' '), u"26 ? 22 36 ?"_s);
        QTest::keyClick(editor, Qt::Key_Tab); // commits and moves on
        QCOMPARE(form.SG_GK->item(1, 1)->text() + form.L_GK->text() +
                     QString::number(form.SG_GK->currentColumn()),
                 u"156?2"_s);
        // Tab on the last cell goes to the first, Shift+Tab on the first to the last.
        form.SG_GK->setCurrentCell(1, 22);
        QTest::keyClick(form.SG_GK, Qt::Key_Tab);
        const int afterTab = form.SG_GK->currentColumn();
        QTest::keyClick(form.SG_GK, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(afterTab * 100 + form.SG_GK->currentColumn(), 122);
    }

    // A pupil with the choice in the main window: the headings name its subjects and follow
    // it; the points are typed, give the result, are saved and opened again; a damaged file and
    // a folder change nothing. After each step the dialogs shown and the window's labels
    // (data/abitur-pupil.txt).
    void asAPupil() {
        MainWindowFixture p(true);
        const QStringList subjects = {u"Deutsch"_s, u"Mathematik"_s, u"Englisch"_s, u"Geschichte"_s};
        for (int row = 1; row <= 4; ++row)
            for (int column = 1; column <= 4; ++column)
                p.grid().setCell(column, row, subjects[row - 1]);
        p.form->B_Abinote->click();
        TAbiNoteForm *form = p.form->AbiNoteForm();
        QStringList steps;
        const auto step = [&](const QString &what) {
            QStringList texts;
            for (const QLabel *label : form->findChildren<QLabel *>())
                texts << label->text();
            QString line = what + u": "_s + p.shown().join(u" / "_s) + u" => "_s + texts.join(u'|');
            steps << line.replace(u'\n', u"⟨lf⟩"_s).replace(u'\r', u"⟨cr⟩"_s);
            p.dialogs.entries.clear();
        };
        step(u"opened"_s);
        p.grid().setCell(1, 1, u"Biologie"_s);
        p.grid().setCell(2, 2, u"Mathe"_s);
        p.grid().setCell(4, 3, QString());
        step(u"choice changed"_s);

        // The longest subject names fit their headings: no label is cut.
        for (int column = 1; column <= 4; ++column)
            p.grid().setCell(column, 1, u"Werte u. Normen"_s);
        QCoreApplication::processEvents(); // the layouts follow the new headings
        for (const QLabel *label : form->findChildren<QLabel *>())
            QVERIFY2(label->wordWrap() || label->width() >= label->sizeHint().width(),
                     qPrintable(label->text()));

        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->SG_GK->setFocus();
        form->SG_GK->setCurrentCell(1, 1);
        typeInto(form, u"10\t"_s.repeated(22));
        for (QLineEdit *edit : form->E_LK)
            QTest::keyClicks(edit, u"10"_s);
        for (QLineEdit *edit : form->E_Kurs4)
            QTest::keyClicks(edit, u"10"_s);
        step(u"courses typed"_s);
        form->SE_Zielnote->setFocus();
        QTest::keyClick(form->SE_Zielnote, Qt::Key_Up);
        step(u"aim 2,1"_s);
        for (QLineEdit *edit : form->E_Pruefung)
            QTest::keyClicks(edit, u"10"_s);
        step(u"examinations typed"_s);

        const QString path = p.dir.filePath(u"punkte.json"_s);
        p.system.fileAnswers.enqueue(path);
        form->B_Speichern->click();
        QCOMPARE(fileBytes(path), EncodeAbiturFile(form->Entries()));
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(form->E_Pruefung[0], Qt::Key_Backspace);
        form->SG_GK->item(1, 22)->setText(u"0"_s);
        step(u"saved, then changed"_s);
        p.dialogs.answers.enqueue(DialogButton::Yes);
        p.system.fileAnswers.enqueue(path);
        form->B_Oeffnen->click();
        QCOMPARE(form->E_Pruefung[0]->text() + form->SG_GK->item(1, 22)->text(), u"1010"_s);
        step(u"opened again"_s);
        p.system.fileAnswers.enqueue(p.file(u"kaputt.json"_s, fileBytes(path).left(30)));
        form->B_Oeffnen->click();
        p.system.fileAnswers.enqueue(p.dir.path());
        form->B_Speichern->click();
        step(u"damaged file opened, saved to a folder"_s);
        const QByteArray texts = (steps.join(u'\n') + u'\n').toUtf8();
        QCOMPARE(texts, tables::golden(u"gui/data/abitur-pupil.txt"_s, texts));
    }

    // The model comes from abitur.ini; a damaged one is named and the built-in model is used.
    void model() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(u"abitur.ini"_s);
        QVERIFY(writeFile(ini, "[Modell]\nName\n"));
        TAbiNoteForm damaged(dialogs, system, {},
                             {dir.path(), QStringLiteral(FACHLESE_SOURCE_DIR "/documents")});
        QCOMPARE(dialogs.entries.size(), 1);
        QCOMPARE(dialogs.entries[0].request.text,
                 u"Die Datei "_s + ini +
                     u" ist fehlerhaft. Zeile 2: Die Zeile ist weder ein Abschnitt wie [Grundkurse] noch "
                     u"eine Angabe wie Mindestpunkte = 110.\rBerechnet wird nach dem eingebauten Modell."_s);
        QVERIFY(damaged.Model() == BuiltInAbiturModel());
        QCOMPARE(damaged.L_LKKopf[3]->text() + damaged.L_PFKopf[3]->text(), u"LK 2, 1. S.PK 4"_s);
        TAbiNoteForm shipped(dialogs, system, {},
                             {dir.filePath(u"nichts"_s), QStringLiteral(FACHLESE_SOURCE_DIR "/documents")});
        QCOMPARE(shipped.L_Modell->text(), u"Berechnung nach: KMK-Rahmen, vier Prüfungsfächer, 840 Punkte"_s);
    }
};

QTEST_MAIN(TestAbiNote)
#include "tst_abinote.moc"
