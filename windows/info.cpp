#include "windows/info.h"

#include "windows/pictures.h"
#include "windows/placement.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
const QColor kBackground(96, 182, 191);
const QColor kHintBackground(165, 211, 220);

// The window's own light background, with its own dark text, so that a dark desktop palette
// cannot put light text on it.
void setBackground(QWidget *widget, const QColor &colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A label sized to its text, with a font of the given character height in pixels.
QLabel *makeLabel(QWidget *parent, const QString &text, int left, int top, int pixelHeight, bool bold) {
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TInfoForm::TInfoForm(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Programminformationen"));
    setFixedSize(kClientWidth, kClientHeight);
    setBackground(this, kBackground);
    QFont windowFont = font();
    windowFont.setBold(true);
    setFont(windowFont);

    Panel2 = new QFrame(this);
    Panel2->setGeometry(0, 0, kClientWidth, kClientHeight);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setLineWidth(3);

    Label1 = makeLabel(Panel2, QStringLiteral("Fachleseberatungssystem"), 95, 6, 16, true);
    Label3 = makeLabel(Panel2, QStringLiteral("von der Fachlese-Arbeitsgruppe"), 104, 26, 12, false);
    Label4 = makeLabel(Panel2, QStringLiteral("IGS Brunsmark"), 140, 42, 12, false);
    Label2 = makeLabel(Panel2, QString(), 123, 58, 12, false);
    Label5 = makeLabel(Panel2, QStringLiteral("Wie funktioniert es?"), 36, 82, 13, true);

    // The picture is not stretched: it stands at the top left of its frame, which cuts off its
    // last column.
    Image1 = new QLabel(Panel2);
    Image1->setGeometry(328, 8, 129, 81);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(RenderPicture(QStringLiteral(":/pictures/info.svg"), QSize(130, 80), kBackground));

    Panel1 = new QFrame(Panel2);
    Panel1->setGeometry(8, 104, 449, 130);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    setBackground(Panel1, kHintBackground);

    Label6 = makeLabel(Panel1, QStringLiteral("Gib die Fächer deiner Wahl für alle vier Semester ein."), 15,
                       8, 13, true);
    Label7 = makeLabel(Panel1, QStringLiteral("Ganz einfach geht dies mit Hilfe der RECHTEN Maustaste."), 15,
                       25, 13, true);
    Label8 = makeLabel(Panel1, QStringLiteral("Fächer, die in allen vier Semestern belegt werden müssen,"),
                       15, 49, 13, true);
    Label9 = makeLabel(Panel1, QStringLiteral("füllt das Programm automatisch aus."), 15, 65, 13, true);
    Label10 = makeLabel(Panel1, QStringLiteral("Durch Klick auf TESTEN kann die Wahl jederzeit überprüft"),
                        15, 89, 13, true);
    Label11 = makeLabel(Panel1, QStringLiteral("werden und das Programm gibt dir weitere Hinweise."), 15, 105,
                        13, true);

    Button1 = new QPushButton(QStringLiteral("OK"), Panel2);
    QFont buttonFont = Button1->font();
    buttonFont.setPixelSize(12);
    buttonFont.setBold(false);
    Button1->setFont(buttonFont);
    Button1->setGeometry(208, 246, 41, 20);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TInfoForm::Button1Click);

    CentreOnScreen(this, size());
    FormCreate();
}

void TInfoForm::FormCreate() {
    Label2->setText(QStringLiteral("Version " FACHLESE_VERSION " vom 12.05.2003"));
    Label2->adjustSize();
}

void TInfoForm::Button1Click() {
    close();
}

void TInfoForm::keyPressEvent(QKeyEvent *event) {
    // Escape closes the window as "OK" does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        Button1Click();
        return;
    }
    QDialog::keyPressEvent(event);
}
