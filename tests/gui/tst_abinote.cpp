#include "rules/dialogs.h"
#include "support/fakes.h"
#include "windows/abinote.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Writes the 22 point cells without any key event, so that nothing is recomputed yet.
void setPoints(TAbiNoteForm &form, const QString &all, int column = 0, const QString &text = {}) {
    for (int i = 1; i <= 22; ++i)
        form.SG_GK->item(1, i)->setText(i == column ? text : all);
}
} // namespace

class TestAbiNote : public QObject {
    Q_OBJECT

    DialogRecorder dialogs;
    ScriptedSystemDialogs system;

private slots:
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
    }
};

QTEST_MAIN(TestAbiNote)
#include "tst_abinote.moc"
