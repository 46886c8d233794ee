#include "windows/abinote.h"
#include "windows/platformint.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <climits>

class TestAbiNote : public QObject {
    Q_OBJECT

private:
    // Writes the 22 point cells without any key event, so that nothing is recomputed yet.
    static void setPoints(TAbiNoteForm &form, const QStringList &points) {
        for (int i = 1; i <= 22; ++i)
            form.SG_GK->item(1, i)->setText(points.value(i - 1));
    }

    static QStringList allPoints(const QString &text) {
        QStringList points;
        for (int i = 0; i < 22; ++i)
            points.append(text);
        return points;
    }

    // The editor open in the grid, or null.
    static QLineEdit *openEditor(const TAbiNoteForm &form) {
        for (QLineEdit *edit : form.SG_GK->findChildren<QLineEdit *>())
            if (!edit->isHidden())
                return edit;
        return nullptr;
    }

private slots:
    void initTestCase() {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(11);
        QApplication::setFont(font);
    }

    void conversion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");

        QTest::newRow("330") << QStringLiteral("330") << true << 330;
        QTest::newRow("22") << QStringLiteral("22") << true << 22;
        QTest::newRow("zero") << QStringLiteral("0") << true << 0;
        QTest::newRow("16") << QStringLiteral("16") << true << 16;
        QTest::newRow("minus 3") << QStringLiteral("-3") << true << -3;
        QTest::newRow("leading zeros") << QStringLiteral("0009") << true << 9;
        QTest::newRow("letter after digits") << QStringLiteral("7a") << false << 0;
        QTest::newRow("leading blank") << QStringLiteral(" 9") << true << 9;
        QTest::newRow("many leading blanks") << QStringLiteral("    -9") << true << -9;
        QTest::newRow("plus") << QStringLiteral("+9") << true << 9;
        QTest::newRow("trailing blank") << QStringLiteral("9 ") << false << 0;
        QTest::newRow("blank after sign") << QStringLiteral("- 9") << false << 0;
        QTest::newRow("two signs") << QStringLiteral("+-9") << false << 0;
        QTest::newRow("tab before") << QStringLiteral("\t9") << false << 0;
        QTest::newRow("tab after") << QStringLiteral("9\t") << false << 0;
        QTest::newRow("no-break space before") << QStringLiteral("\u00A09") << false << 0;
        QTest::newRow("decimal point") << QStringLiteral("1.5") << false << 0;
        QTest::newRow("arabic-indic digit") << QStringLiteral("\u0661") << false << 0;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("blanks only") << QStringLiteral("   ") << false << 0;
        QTest::newRow("sign only") << QStringLiteral("-") << false << 0;

        QTest::newRow("dollar F") << QStringLiteral("$F") << true << 15;
        QTest::newRow("dollar f") << QStringLiteral("$f") << true << 15;
        QTest::newRow("x0f") << QStringLiteral("x0f") << true << 15;
        QTest::newRow("X0F") << QStringLiteral("X0F") << true << 15;
        QTest::newRow("0x0f") << QStringLiteral("0x0f") << true << 15;
        QTest::newRow("0X0F") << QStringLiteral("0X0F") << true << 15;
        QTest::newRow("blank plus hex") << QStringLiteral(" +$a") << true << 10;
        QTest::newRow("minus dollar 1") << QStringLiteral("-$1") << true << -1;
        QTest::newRow("dollar only") << QStringLiteral("$") << false << 0;
        QTest::newRow("0x only") << QStringLiteral("0x") << false << 0;
        QTest::newRow("x only") << QStringLiteral("x") << false << 0;
        QTest::newRow("not a hex digit") << QStringLiteral("$G") << false << 0;
        QTest::newRow("sign after prefix") << QStringLiteral("$-1") << false << 0;
        QTest::newRow("prefix after zeros") << QStringLiteral("00x5") << false << 0;
        QTest::newRow("hex trailing blank") << QStringLiteral("$F ") << false << 0;

        QTest::newRow("largest") << QStringLiteral("2147483647") << true << INT_MAX;
        QTest::newRow("one beyond largest") << QStringLiteral("2147483648") << false << 0;
        QTest::newRow("smallest") << QStringLiteral("-2147483648") << true << INT_MIN;
        QTest::newRow("one beyond smallest") << QStringLiteral("-2147483649") << false << 0;
        QTest::newRow("far beyond") << QStringLiteral("99999999999999999999") << false << 0;
        QTest::newRow("hex all bits") << QStringLiteral("$FFFFFFFF") << true << -1;
        QTest::newRow("hex top bit") << QStringLiteral("$80000000") << true << INT_MIN;
        QTest::newRow("hex 33 bits") << QStringLiteral("$100000000") << false << 0;
        QTest::newRow("hex leading zeros") << QStringLiteral("0x000000000F") << true << 15;
    }

    void conversion() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const std::optional<int> result = StrToIntPlatform(text);
        QCOMPARE(result.has_value(), ok);
        if (ok)
            QCOMPARE(*result, value);
    }

    void layout() {
        TAbiNoteForm form(nullptr);
        form.show(); // the fonts as they are once the window is polished
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Berechnung der Abinote"));
        QVERIFY(form.isWindow());
        QVERIFY(form.minimumSize() != form.maximumSize()); // resizable
        QCOMPARE(form.GroupBox2->title(), QStringLiteral(" Block I   "));
        QCOMPARE(form.GroupBox2->geometry(), QRect(8, 8, 537, 121));
        QVERIFY(form.GroupBox2->font().bold());
        QCOMPARE(
            form.Label2->text(),
            QStringLiteral(
                "22 Grundkurse einschließlich der Prüfungsfachkurse, aber ohne die PK's aus dem 4. S.."));
        QCOMPARE(form.Label2->pos(), QPoint(32, 20));
        QVERIFY(form.Label2->font().bold());
        QVERIFY(form.GroupBox2->rect().contains(form.Label2->geometry())); // not cut off
        QCOMPARE(form.Label1->text(), QStringLiteral("Punkte"));
        QCOMPARE(form.Label1->pos(), QPoint(32, 96));
        QVERIFY(form.Label1->font().bold());
        QCOMPARE(form.L_GK->text(), QStringLiteral("?"));
        QCOMPARE(form.L_GK->pos(), QPoint(88, 96));
        QVERIFY(form.L_GK->font().bold());

        QTableWidget *grid = form.SG_GK;
        QCOMPARE(grid->geometry(), QRect(32, 44, 489, 41));
        QVERIFY(!grid->font().bold());
        QCOMPARE(grid->columnCount(), 23);
        QCOMPARE(grid->rowCount(), 2);
        for (int c = 0; c < 23; ++c)
            QCOMPARE(grid->columnWidth(c), 20);
        QCOMPARE(grid->rowHeight(0), 18);
        QCOMPARE(grid->rowHeight(1), 18);
        QCOMPARE(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("GK"));
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("P"));
        for (int i = 1; i <= 22; ++i) {
            QCOMPARE(grid->item(0, i)->text(), QString::number(i));
            QCOMPARE(grid->item(1, i)->text(), QString());
            QVERIFY(grid->item(1, i)->flags() & Qt::ItemIsEditable);
            QVERIFY(!(grid->item(0, i)->flags() & Qt::ItemIsEditable));
        }
        QVERIFY(!(grid->item(1, 0)->flags() & Qt::ItemIsEditable));
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->currentColumn(), 1);
    }

    void sum_data() {
        QTest::addColumn<QStringList>("points");
        QTest::addColumn<QString>("result");

        auto oneDiffers = [](const QString &other, int column, const QString &text) {
            QStringList points = allPoints(other);
            points[column - 1] = text;
            return points;
        };
        QTest::newRow("all empty") << allPoints(QString()) << QStringLiteral("?");
        QTest::newRow("all 15") << allPoints(QStringLiteral("15")) << QStringLiteral("330");
        QTest::newRow("all 1") << allPoints(QStringLiteral("1")) << QStringLiteral("22");
        QTest::newRow("last empty") << oneDiffers(QStringLiteral("15"), 22, QString()) << QStringLiteral("?");
        QTest::newRow("first empty") << oneDiffers(QStringLiteral("15"), 1, QString()) << QStringLiteral("?");
        QTest::newRow("one 0") << oneDiffers(QStringLiteral("15"), 7, QStringLiteral("0"))
                               << QStringLiteral("?");
        QTest::newRow("one 16") << oneDiffers(QStringLiteral("1"), 22, QStringLiteral("16"))
                                << QStringLiteral("?");
        QTest::newRow("one -3") << oneDiffers(QStringLiteral("1"), 3, QStringLiteral("-3"))
                                << QStringLiteral("?");
        QTest::newRow("one 7a") << oneDiffers(QStringLiteral("1"), 11, QStringLiteral("7a"))
                                << QStringLiteral("?");
        QTest::newRow("leading blank")
            << oneDiffers(QStringLiteral("1"), 5, QStringLiteral(" 9")) << QStringLiteral("30");
        QTest::newRow("plus sign") << oneDiffers(QStringLiteral("1"), 5, QStringLiteral("+9"))
                                   << QStringLiteral("30");
        QTest::newRow("trailing blank")
            << oneDiffers(QStringLiteral("1"), 5, QStringLiteral("9 ")) << QStringLiteral("?");
        QTest::newRow("hex dollar") << oneDiffers(QStringLiteral("1"), 9, QStringLiteral("$F"))
                                    << QStringLiteral("36");
        QTest::newRow("hex 0X") << oneDiffers(QStringLiteral("1"), 9, QStringLiteral("0X0F"))
                                << QStringLiteral("36");
        QTest::newRow("hex x") << oneDiffers(QStringLiteral("1"), 9, QStringLiteral("x0f"))
                               << QStringLiteral("36");
        QTest::newRow("hex 16") << oneDiffers(QStringLiteral("1"), 9, QStringLiteral("$10"))
                                << QStringLiteral("?");
        QTest::newRow("minus dollar 1")
            << oneDiffers(QStringLiteral("1"), 9, QStringLiteral("-$1")) << QStringLiteral("?");
        QTest::newRow("beyond 32 bits")
            << oneDiffers(QStringLiteral("1"), 2, QStringLiteral("4294967297")) << QStringLiteral("?");
    }

    // Any key released in the grid recomputes the label, also keys that change no cell.
    void sum() {
        QFETCH(QStringList, points);
        QFETCH(QString, result);
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Tab, Qt::Key_Shift, Qt::Key_Up}) {
            TAbiNoteForm form(nullptr);
            form.L_GK->setText(QStringLiteral("stale"));
            setPoints(form, points);
            QCOMPARE(form.L_GK->text(), QStringLiteral("stale")); // nothing recomputes without a key
            QTest::keyClick(form.SG_GK, key);
            QCOMPARE(form.L_GK->text(), result);
        }
    }

    // What was typed counts at the key release, while the editor is still open.
    void typingInTheEditor() {
        TAbiNoteForm form(nullptr);
        QStringList points = allPoints(QStringLiteral("1"));
        points[0] = QStringLiteral("3");
        setPoints(form, points);
        form.SG_GK->setCurrentCell(1, 1);

        QTest::keyClick(form.SG_GK, Qt::Key_5); // opens the editor on the typed key
        QLineEdit *editor = openEditor(form);
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("5")); // typing replaces the cell's text
        QCOMPARE(form.GridCell(1, 1), QStringLiteral("5"));
        QCOMPARE(form.L_GK->text(), QStringLiteral("26"));

        QTest::keyClick(editor, Qt::Key_Backspace);
        QCOMPARE(form.L_GK->text(), QStringLiteral("?"));
        QTest::keyClicks(editor, QStringLiteral("15"));
        QCOMPARE(form.L_GK->text(), QStringLiteral("36"));
        QTest::keyClick(editor, Qt::Key_6);
        QCOMPARE(form.L_GK->text(), QStringLiteral("?")); // "156"
        QTest::keyClick(editor, Qt::Key_Backspace);
        QCOMPARE(form.L_GK->text(), QStringLiteral("36"));
        QTest::keyClick(editor, Qt::Key_Left); // a key that changes nothing
        QCOMPARE(form.L_GK->text(), QStringLiteral("36"));

        // Tab commits the cell and moves on to the next one.
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(form.SG_GK->item(1, 1)->text(), QStringLiteral("15"));
        QCOMPARE(form.SG_GK->currentColumn(), 2);
        QCOMPARE(form.L_GK->text(), QStringLiteral("36"));
    }

    void escapeRevertsTheCell() {
        TAbiNoteForm form(nullptr);
        setPoints(form, allPoints(QStringLiteral("1")));
        form.SG_GK->setCurrentCell(1, 4);
        QTest::keyClick(form.SG_GK, Qt::Key_9);
        QCOMPARE(form.L_GK->text(), QStringLiteral("30"));
        QLineEdit *editor = openEditor(form);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(form.SG_GK->item(1, 4)->text(), QStringLiteral("1"));
        QCOMPARE(form.L_GK->text(), QStringLiteral("22"));
    }

    void tabMovesAlongThePointCells_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("tab") << 1 << int(Qt::Key_Tab) << 2;
        QTest::newRow("tab at the end wraps") << 22 << int(Qt::Key_Tab) << 1;
        QTest::newRow("backtab") << 5 << int(Qt::Key_Backtab) << 4;
        QTest::newRow("backtab at the start wraps") << 1 << int(Qt::Key_Backtab) << 22;
        QTest::newRow("left stays off the header") << 1 << int(Qt::Key_Left) << 1;
        QTest::newRow("right") << 21 << int(Qt::Key_Right) << 22;
        QTest::newRow("up stays off the header") << 3 << int(Qt::Key_Up) << 3;
        QTest::newRow("home") << 9 << int(Qt::Key_Home) << 1;
    }

    void tabMovesAlongThePointCells() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        TAbiNoteForm form(nullptr);
        form.SG_GK->setCurrentCell(1, from);
        QTest::keyClick(form.SG_GK, Qt::Key(key),
                        key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(form.SG_GK->currentRow(), 1);
        QCOMPARE(form.SG_GK->currentColumn(), to);
    }

    void clickOnAHeaderCellKeepsTheCurrentCell() {
        TAbiNoteForm form(nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.SG_GK->setCurrentCell(1, 6);
        const QRect header = form.SG_GK->visualItemRect(form.SG_GK->item(0, 3));
        QTest::mouseClick(form.SG_GK->viewport(), Qt::LeftButton, {}, header.center());
        QCOMPARE(form.SG_GK->currentRow(), 1);
        QCOMPARE(form.SG_GK->currentColumn(), 6);
        QCOMPARE(form.SG_GK->item(0, 3)->text(), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestAbiNote)
#include "tst_abinote.moc"
