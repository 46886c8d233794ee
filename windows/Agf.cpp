#include "windows/Agf.h"

#include "windows/groupframe.h"
#include "windows/placement.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
struct SubjectLabel {
    const char *name; // the component name
    const char16_t *text;
    int left;
    int top;
};

QGroupBox *makeBox(QWidget *parent, const QString &caption, const QRect &geometry,
                   std::initializer_list<SubjectLabel> labels) {
    auto *box = new ClassicGroupBox(caption, parent);
    box->setGeometry(geometry);
    for (const SubjectLabel &entry : labels) {
        auto *label = new QLabel(QString::fromUtf16(entry.text), box);
        label->setObjectName(QString::fromLatin1(entry.name));
        label->move(entry.left, entry.top);
        label->adjustSize();
    }
    return box;
}
} // namespace

TAGFForm::TAGFForm(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("Fächer und Aufgabenfelder"));
    setFixedSize(kClientWidth, kClientHeight);

    // The texts stand as the overview has always shown them, "PO- Politik" and "BI - Biologe"
    // included.
    GroupBox1 = makeBox(this, QStringLiteral(" Aufgabenfeld A "), QRect(7, 7, 106, 186),
                        {{"Label1", u"DE - Deutsch", 13, 20},
                         {"Label2", u"EN - Englisch", 13, 40},
                         {"Label3", u"FR - Französisch", 13, 60},
                         {"Label21", u"SN - Spanisch", 13, 80},
                         {"Label4", u"LA - Latein", 13, 100},
                         {"Label5", u"TU - Türkisch", 13, 120},
                         {"Label7", u"KU - Kunst", 13, 140},
                         {"Label6", u"MU - Musik", 13, 160}});
    GroupBox2 = makeBox(this, QStringLiteral(" Aufgabenfeld B "), QRect(128, 7, 129, 146),
                        {{"Label8", u"GE - Geschichte", 13, 20},
                         {"Label9", u"EK - Erdkunde", 13, 40},
                         {"Label11", u"PO- Politik", 13, 60},
                         {"Label10", u"PA - Pädagogik", 13, 80},
                         {"Label12", u"RE - Religion", 13, 100},
                         {"Label13", u"WN - Werte u. Normen", 13, 120}});
    GroupBox3 = makeBox(this, QStringLiteral(" Aufgabenfeld C "), QRect(272, 8, 105, 121),
                        {{"Label14", u"MA - Mathematik", 13, 20},
                         {"Label15", u"PH - Physik", 13, 39},
                         {"Label16", u"CH - Chemie", 13, 59},
                         {"Label17", u"BI - Biologe", 13, 78},
                         {"Label18", u"IN - Informatik", 13, 98}});
    GroupBox4 = makeBox(this, QStringLiteral("Sport"), QRect(7, 201, 218, 33),
                        {{"Label20", u"SP - Sport", 37, 13}, {"Label19", u"ST - Sport-Theorie", 111, 13}});

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(311, 208, 59, 26);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TAGFForm::Button1Click);

    CentreOnScreen(this, size());
}

void TAGFForm::Button1Click() {
    close();
}

void TAGFForm::keyPressEvent(QKeyEvent *event) {
    // Escape closes the window as "OK" does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        Button1Click();
        return;
    }
    QDialog::keyPressEvent(event);
}
