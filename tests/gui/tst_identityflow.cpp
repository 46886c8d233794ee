#include "support/files.h"
#include "support/mainwindow.h"
#include "windows/print.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kGrid = "Fachlese\r\nDeutsch\t\t\t\r\n" + QByteArray("\t\t\t\r\n").repeated(11);

// The print form's four fields, joined by "|".
QString fields(MainWindowFixture &w) {
    const TPrintForm *form = w.form->PrintForm();
    return QStringList{form->E_Nachname->text(), form->E_Vorname->text(), form->E_Klasse->text(),
                       form->E_Datum->text()}
        .join(u'|');
}
} // namespace

// The print form's name, class and date of birth travel with the choice file.
class TestIdentityFlow : public QObject {
    Q_OBJECT

private slots:
    // Opening sets all four fields, empty where the file has none; "&Neu" empties them; neither
    // leaves anything to save.
    void openAndNew() {
        QTemporaryDir dir;
        const QString named = dir.filePath(u"ayse.fld"_s), plain = dir.filePath(u"plain.fld"_s);
        QVERIFY(writeFile(named, kGrid + "Nachname=Y\xC4\xB1lmaz\r\nKlasse=10b\r\n"));
        QVERIFY(writeFile(plain, kGrid));
        MainWindowFixture w;
        w.form->PrintForm()->E_Datum->setText(u"before"_s);
        w.form->OpenDataFile(named);
        QCOMPARE(fields(w), u"Yılmaz||10b|"_s);
        QVERIFY(w.closesWithoutQuestion());

        w.form->OpenDataFile(plain);
        QCOMPARE(fields(w), u"|||"_s);
        QVERIFY(w.closesWithoutQuestion());

        w.form->OpenDataFile(named);
        w.form->NeuClick();
        QCOMPARE(fields(w), u"|||"_s);
        QVERIFY(w.dialogs.entries.isEmpty());
        QVERIFY(w.closesWithoutQuestion());
    }

    // A changed name is an unsaved change: the close question and the questions of "&Neu"
    // and "&Öffnen" come; saving writes the lines and ends the question.
    void changedName() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"wahl.fld"_s);
        QVERIFY(writeFile(path, kGrid + "Vorname=Ali\r\n"));
        MainWindowFixture w;
        w.form->OpenDataFile(path);
        QLineEdit *surname = w.form->PrintForm()->E_Nachname;
        surname->setText(u"Kaya"_s);
        QVERIFY(!w.closesWithoutQuestion());
        QCOMPARE(w.shown().last(),
                 u"confirmation|Bestätigung|Willst du die eingegebenen Daten nicht erst speichern?|&Ja|&Nein"_s);

        // "&Ja" saved the name with the choice.
        QCOMPARE(fileBytes(path), kGrid + "Nachname=Kaya\r\nVorname=Ali\r\n");
        QVERIFY(w.closesWithoutQuestion());

        surname->setText(u"Kayra"_s);
        w.dialogs.answers.enqueue(DialogButton::Cancel);
        w.form->NeuClick();
        QCOMPARE(w.shown().last().section(u'|', 2, 2), u"Willst du die eingegebenen Daten nicht erst speichern?"_s);
        QCOMPARE(fields(w), u"Kayra|Ali||"_s); // "&Abbrechen": nothing changed

        w.form->SpeichernClick();
        QCOMPARE(fileBytes(path), kGrid + "Nachname=Kayra\r\nVorname=Ali\r\n");
        QVERIFY(w.closesWithoutQuestion());

        // Back to the saved name: nothing to save.
        surname->setText(u"Kaya2"_s);
        surname->setText(u"Kayra"_s);
        QVERIFY(w.closesWithoutQuestion());

        // A name that cannot be stored is refused like a cell, and stays unsaved.
        surname->setText(u"Ka\tya"_s);
        w.form->SpeichernClick();
        QCOMPARE(w.shown().last().section(u'|', 2, 2), UnencodableMessage(u"Ka\tya"_s));
        QCOMPARE(fileBytes(path), kGrid + "Nachname=Kayra\r\nVorname=Ali\r\n");
        QVERIFY(!w.closesWithoutQuestion());
    }
};

QTEST_MAIN(TestIdentityFlow)
#include "tst_identityflow.moc"
