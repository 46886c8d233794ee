#include "rules/catalog.h"
#include "rules/dialogs.h"
#include "shell/main.h"
#include "support/fakes.h"
#include "windows/Agf.h"
#include "windows/abinote.h"
#include "windows/info.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
// Counts the show events a widget receives.
class ShowCounter : public QObject {
public:
    explicit ShowCounter(QWidget *widget) : QObject(widget) { widget->installEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

struct LabelSpec {
    QString text;
    QPoint pos;
    int pixelSize;
    bool bold;
};
} // namespace

Q_DECLARE_METATYPE(LabelSpec)

class TestSideWindows : public QObject {
    Q_OBJECT

private:
    struct Window {
        DialogRecorder dialogs;
        ScriptedSystemDialogs system;
        std::unique_ptr<TMainForm> form;

        explicit Window(bool firstShowPending = false) {
            form = std::make_unique<TMainForm>(dialogs, system);
            form->CreateSideWindows();
            form->FirstShowPending = firstShowPending;
        }
    };

    static QList<QLabel *> labelsOf(const QWidget *box) {
        return box->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    }

private slots:
    // The program's own font, as the program sets it at start, so that the sizes of the
    // labels are those the user sees.
    void initTestCase() {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(11);
        QApplication::setFont(font);
    }

    // --- The information window ---

    void infoWindow() {
        TInfoForm form(nullptr);
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(form.windowTitle(), QStringLiteral("Programminformationen"));
        QCOMPARE(form.size(), QSize(465, 275));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.palette().color(QPalette::Window), QColor(96, 182, 191));
        QCOMPARE(form.Panel2->geometry(), QRect(0, 0, 465, 275));
        QCOMPARE(form.Panel2->lineWidth(), 3);
        QCOMPARE(form.Panel2->frameShadow(), QFrame::Raised);
        QCOMPARE(form.Panel1->geometry(), QRect(8, 104, 449, 130));
        QCOMPARE(form.Panel1->frameShadow(), QFrame::Sunken);
        QCOMPARE(form.Panel1->palette().color(QPalette::Window), QColor(165, 211, 220));
        QVERIFY(form.Panel1->autoFillBackground());
        QCOMPARE(form.Image1->geometry(), QRect(328, 8, 129, 81));
        QCOMPARE(form.Image1->pixmap().size(), QSize(130, 80));
        QVERIFY(!form.Image1->hasScaledContents());
        QCOMPARE(form.Button1->text(), QStringLiteral("OK"));
        QCOMPARE(form.Button1->geometry(), QRect(208, 246, 41, 20));
        QCOMPARE(form.Button1->font().pixelSize(), 12);
        QVERIFY(!form.Button1->font().bold());
        QVERIFY(!form.Label3->text().isEmpty());
        for (QLabel *label : form.findChildren<QLabel *>()) {
            if (label == form.Image1)
                continue;
            const QRect inParent = label->geometry();
            QVERIFY2(label->parentWidget()->rect().contains(inParent), qPrintable(label->text()));
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        }
    }

    void infoLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<LabelSpec>("spec");
        QTest::addColumn<bool>("onPanel1");
        auto row = [](const char *name, const QString &text, QPoint pos, int size, bool bold, bool onPanel1) {
            QTest::newRow(name) << QString::fromLatin1(name) << LabelSpec{text, pos, size, bold} << onPanel1;
        };
        row("Label1", QStringLiteral("Fachleseberatungssystem"), {95, 6}, 16, true, false);
        row("Label4", QStringLiteral("IGS Brunsmark"), {140, 42}, 12, false, false);
        row("Label2", QStringLiteral("Version 1.49 vom 12.05.2003"), {123, 58}, 12, false, false);
        row("Label5", QStringLiteral("Wie funktioniert es?"), {36, 82}, 13, true, false);
        row("Label6", QStringLiteral("Gib die Fächer deiner Wahl für alle vier Semester ein."), {15, 8}, 13,
            true, true);
        row("Label7", QStringLiteral("Ganz einfach geht dies mit Hilfe der RECHTEN Maustaste."), {15, 25}, 13,
            true, true);
        row("Label8", QStringLiteral("Fächer, die in allen vier Semestern belegt werden müssen,"), {15, 49},
            13, true, true);
        row("Label9", QStringLiteral("füllt das Programm automatisch aus."), {15, 65}, 13, true, true);
        row("Label10", QStringLiteral("Durch Klick auf TESTEN kann die Wahl jederzeit überprüft"), {15, 89},
            13, true, true);
        row("Label11", QStringLiteral("werden und das Programm gibt dir weitere Hinweise."), {15, 105}, 13,
            true, true);
    }

    void infoLabels() {
        QFETCH(QString, name);
        QFETCH(LabelSpec, spec);
        QFETCH(bool, onPanel1);
        TInfoForm form(nullptr);
        const QHash<QString, QLabel *> labels = {
            {QStringLiteral("Label1"), form.Label1},   {QStringLiteral("Label2"), form.Label2},
            {QStringLiteral("Label4"), form.Label4},   {QStringLiteral("Label5"), form.Label5},
            {QStringLiteral("Label6"), form.Label6},   {QStringLiteral("Label7"), form.Label7},
            {QStringLiteral("Label8"), form.Label8},   {QStringLiteral("Label9"), form.Label9},
            {QStringLiteral("Label10"), form.Label10}, {QStringLiteral("Label11"), form.Label11}};
        QLabel *label = labels.value(name);
        QVERIFY(label);
        QCOMPARE(label->text(), spec.text);
        QCOMPARE(label->pos(), spec.pos);
        QCOMPARE(label->font().pixelSize(), spec.pixelSize);
        QCOMPARE(label->font().bold(), spec.bold);
        QCOMPARE(label->parentWidget(), onPanel1 ? form.Panel1 : form.Panel2);
    }

    void infoWindowIgnoresEscape() {
        TInfoForm form(nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QVERIFY(form.isHidden());
    }

    // At the first show the information window comes up modally, once; later shows of the
    // main window (minimise and restore) bring no second one.
    void startupShowsInfoOnce() {
        Window w(true);
        TMainForm &f = *w.form;
        auto *counter = new ShowCounter(f.InfoForm);
        int modalSeen = 0;
        const QDeadlineTimer deadline(10000);
        QTimer closer;
        closer.setInterval(10);
        connect(&closer, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal == f.InfoForm) {
                ++modalSeen;
                QTest::mouseClick(f.InfoForm->Button1, Qt::LeftButton);
            } else if (modal && deadline.hasExpired()) {
                modal->close(); // keeps a failing test from hanging
            }
        });
        closer.start();

        QVERIFY(f.FirstShowPending);
        f.show();
        QTRY_VERIFY_WITH_TIMEOUT(!f.FirstShowPending, 10000);
        QCOMPARE(modalSeen, 1);
        QCOMPARE(counter->shows, 1);
        QVERIFY(f.InfoForm->isHidden());

        f.showMinimized();
        QTest::qWait(50);
        f.showNormal();
        QTest::qWait(50);
        f.hide();
        f.show();
        QTest::qWait(50);
        f.FormShow();
        QTest::qWait(50);
        QCOMPARE(modalSeen, 1);
        QCOMPARE(counter->shows, 1);
        QVERIFY(f.InfoForm->isHidden());
        closer.stop();
    }

    void ueberTwiceGivesOneWindow() {
        Window w;
        TMainForm &f = *w.form;
        auto *counter = new ShowCounter(f.InfoForm);
        f.show();
        f.Ueber->trigger();
        QVERIFY(f.InfoForm->isVisible());
        QVERIFY(!f.InfoForm->isModal());
        f.Ueber->trigger();
        QVERIFY(f.InfoForm->isVisible());
        QCOMPARE(counter->shows, 1);
        QCOMPARE(f.findChildren<TInfoForm *>().size(), 1);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        QTest::mouseClick(f.InfoForm->Button1, Qt::LeftButton);
        QVERIFY(f.InfoForm->isHidden());
        f.Ueber->trigger();
        QVERIFY(f.InfoForm->isVisible());
        QCOMPARE(counter->shows, 2);
        QCOMPARE(f.InfoForm->Label2->text(), QStringLiteral("Version 1.49 vom 12.05.2003"));
    }

    // --- The subject overview ---

    void overviewWindow() {
        TAGFForm form(nullptr);
        QCOMPARE(form.windowTitle(), QStringLiteral("Fächer und Aufgabenfelder"));
        QCOMPARE(form.size(), QSize(386, 241));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.GroupBox1->title(), QStringLiteral(" Aufgabenfeld A "));
        QCOMPARE(form.GroupBox2->title(), QStringLiteral(" Aufgabenfeld B "));
        QCOMPARE(form.GroupBox3->title(), QStringLiteral(" Aufgabenfeld C "));
        QCOMPARE(form.GroupBox4->title(), QStringLiteral("Sport"));
        QCOMPARE(form.GroupBox1->geometry(), QRect(7, 7, 106, 186));
        QCOMPARE(form.GroupBox2->geometry(), QRect(128, 7, 129, 146));
        QCOMPARE(form.GroupBox3->geometry(), QRect(272, 8, 105, 121));
        QCOMPARE(form.GroupBox4->geometry(), QRect(7, 201, 218, 33));
        QCOMPARE(form.Button1->text(), QStringLiteral("OK"));
        QCOMPARE(form.Button1->geometry(), QRect(311, 208, 59, 26));
    }

    void overviewLabels_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QStringList>("texts"); // top to bottom, or left to right in "Sport"
        QTest::addColumn<QList<QPoint>>("positions");
        auto column = [](std::initializer_list<int> tops) {
            QList<QPoint> points;
            for (int top : tops)
                points.append(QPoint(13, top));
            return points;
        };
        QTest::newRow("A") << 1
                           << QStringList{QStringLiteral("DE - Deutsch"),     QStringLiteral("EN - Englisch"),
                                          QStringLiteral("FR - Französisch"), QStringLiteral("SN - Spanisch"),
                                          QStringLiteral("LA - Latein"),      QStringLiteral("TU - Türkisch"),
                                          QStringLiteral("KU - Kunst"),       QStringLiteral("MU - Musik")}
                           << column({20, 40, 60, 80, 100, 120, 140, 160});
        QTest::newRow("B") << 2 << QStringList{QStringLiteral("GE - Geschichte"),
                                               QStringLiteral("EK - Erdkunde"),
                                               QStringLiteral("PO- Politik"),
                                               QStringLiteral("PA - Pädagogik"),
                                               QStringLiteral("RE - Religion"),
                                               QStringLiteral("WN - Werte u. Normen")}
                           << column({20, 40, 60, 80, 100, 120});
        QTest::newRow("C") << 3
                           << QStringList{QStringLiteral("MA - Mathematik"), QStringLiteral("PH - Physik"),
                                          QStringLiteral("CH - Chemie"), QStringLiteral("BI - Biologe"),
                                          QStringLiteral("IN - Informatik")}
                           << column({20, 39, 59, 78, 98});
        QTest::newRow("Sport") << 4
                               << QStringList{QStringLiteral("SP - Sport"),
                                              QStringLiteral("ST - Sport-Theorie")}
                               << QList<QPoint>{{37, 13}, {111, 13}};
    }

    void overviewLabels() {
        QFETCH(int, box);
        QFETCH(QStringList, texts);
        QFETCH(QList<QPoint>, positions);
        TAGFForm form(nullptr);
        const QGroupBox *boxes[] = {form.GroupBox1, form.GroupBox2, form.GroupBox3, form.GroupBox4};
        const QGroupBox *groupBox = boxes[box - 1];
        QList<QLabel *> labels = labelsOf(groupBox);
        std::sort(labels.begin(), labels.end(),
                  [](QLabel *a, QLabel *b) { return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x()); });
        QStringList actualTexts;
        QList<QPoint> actualPositions;
        for (QLabel *label : labels) {
            actualTexts.append(label->text());
            actualPositions.append(label->pos());
            QVERIFY2(groupBox->rect().contains(label->geometry()), qPrintable(label->text()));
        }
        QCOMPARE(actualTexts, texts);
        QCOMPARE(actualPositions, positions);
    }

    // Each of the 21 catalog subjects stands once in the overview, with its abbreviation, in
    // the box of its Aufgabenfeld.
    void overviewListsTheCatalog() {
        TAGFForm form(nullptr);
        const std::pair<const QGroupBox *, SubjectSet> boxes[] = {{form.GroupBox1, AufgabenfeldA},
                                                                  {form.GroupBox2, AufgabenfeldB},
                                                                  {form.GroupBox3, AufgabenfeldC},
                                                                  {form.GroupBox4, SportSubjects}};
        int labelCount = 0;
        QSet<SubjectCode> seen;
        for (const auto &[box, subjects] : boxes) {
            for (const QLabel *label : labelsOf(box)) {
                ++labelCount;
                const QString text = label->text();
                const qsizetype hyphen = text.indexOf(u'-');
                QVERIFY2(hyphen > 0, qPrintable(text));
                const QString abbreviation = text.left(hyphen).trimmed();
                const QString name = text.mid(hyphen + 1).trimmed();
                SubjectCode code = kEmptySubject;
                for (int c = 1; c <= 21; ++c)
                    if (SubjectAbbreviations[c] == abbreviation)
                        code = static_cast<SubjectCode>(c);
                QVERIFY2(code != kEmptySubject, qPrintable(text));
                QVERIFY2(!seen.contains(code), qPrintable(text));
                seen.insert(code);
                QVERIFY2(contains(subjects, code), qPrintable(text));
                const QString expectedName =
                    code == Subject::Biologie ? QStringLiteral("Biologe") : SubjectCatalog[code];
                QCOMPARE(name, expectedName);
            }
        }
        QCOMPARE(labelCount, 21);
        QCOMPARE(seen.size(), 21);
    }

    void overviewFromTheButton() {
        Window w;
        TMainForm &f = *w.form;
        f.show();
        QTest::mouseClick(f.B_AGF, Qt::LeftButton);
        QVERIFY(f.AGFForm->isVisible());
        f.B_AGF->click();
        QCOMPARE(f.findChildren<TAGFForm *>().size(), 1);
        QTest::keyClick(f.AGFForm, Qt::Key_Escape);
        QVERIFY(f.AGFForm->isVisible());
        QTest::mouseClick(f.AGFForm->Button1, Qt::LeftButton);
        QVERIFY(f.AGFForm->isHidden());
        QVERIFY(w.dialogs.entries.isEmpty());
    }

    // --- The Abitur points window from "A&binote" ---

    void abinoteAsksFirst_data() {
        QTest::addColumn<DialogButton>("answer");
        QTest::addColumn<bool>("shown");
        QTest::newRow("Nein") << DialogButton::No << false;
        QTest::newRow("Ja") << DialogButton::Yes << true;
        QTest::newRow("other answer goes on") << DialogButton::Cancel << true;
    }

    void abinoteAsksFirst() {
        QFETCH(DialogButton, answer);
        QFETCH(bool, shown);
        Window w;
        TMainForm &f = *w.form;
        f.show();
        w.dialogs.answers.enqueue(answer);
        QTest::mouseClick(f.B_Abinote, Qt::LeftButton);
        QCOMPARE(w.dialogs.entries.size(), 1);
        const DialogRequest &asked = w.dialogs.entries.first().request;
        QCOMPARE(asked.kind, DialogKind::Confirmation);
        QCOMPARE(asked.caption, QStringLiteral("Bestätigung"));
        QCOMPARE(asked.text, QStringLiteral("Die Funktion ist noch unvollständig. Weiter?"));
        QCOMPARE(asked.buttons, (QList<DialogButton>{DialogButton::Yes, DialogButton::No}));
        QCOMPARE(f.AbiNoteForm->isVisible(), shown);
        if (shown)
            QVERIFY(!f.AbiNoteForm->isModal());
    }

    // The typed points stay while the window is closed and opened again.
    void abinoteKeepsItsPoints() {
        Window w;
        TMainForm &f = *w.form;
        f.show();
        f.B_AbinoteClick();
        QVERIFY(f.AbiNoteForm->isVisible());
        for (int i = 1; i <= 22; ++i)
            f.AbiNoteForm->SG_GK->item(1, i)->setText(QStringLiteral("10"));
        QTest::keyClick(f.AbiNoteForm->SG_GK, Qt::Key_Right);
        QCOMPARE(f.AbiNoteForm->L_GK->text(), QStringLiteral("220"));
        f.AbiNoteForm->close();
        QVERIFY(f.AbiNoteForm->isHidden());
        f.B_AbinoteClick();
        QVERIFY(f.AbiNoteForm->isVisible());
        QCOMPARE(f.AbiNoteForm->SG_GK->item(1, 22)->text(), QStringLiteral("10"));
        QCOMPARE(f.AbiNoteForm->L_GK->text(), QStringLiteral("220"));
        QCOMPARE(f.findChildren<TAbiNoteForm *>().size(), 1);
    }
};

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
