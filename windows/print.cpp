#include "windows/print.h"

#include "rules/dialogs.h"
#include "rules/grid.h"
#include "rules/test.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>

const QString TPrintForm::kCaption = QStringLiteral("Fachlesebogen drucken");

namespace {
constexpr int kClientWidth = 295;
constexpr int kClientHeight = 211;
constexpr double kTenthMillimetresPerInch = 254.0;
constexpr int kMaxNameLength = 40;  // surname, first name
constexpr int kMaxShortLength = 20; // class, date of birth

// Where fontconfig has no "Times New Roman", it picks the metric-compatible Liberation Serif.
const QString kSheetFont = QStringLiteral("Times New roman");

QLabel *makeLabel(QWidget *parent, const QString &caption, int left, int top, int width) {
    auto *label = new QLabel(caption, parent);
    label->setGeometry(left, top, width, 13);
    return label;
}

// The labels size themselves to their text, as they did in the window font they were laid out
// for; the listed width stays the least width, so that a wider font does not clip them.
void fitLabel(QLabel *label) {
    const int needed = label->fontMetrics().horizontalAdvance(label->text());
    if (needed > label->width())
        label->resize(needed, label->height());
}

QLineEdit *makeEdit(QWidget *parent, int left, int top, int width) {
    auto *edit = new QLineEdit(parent);
    edit->setGeometry(left, top, width, 21);
    return edit;
}

QPushButton *makeButton(QWidget *parent, const QString &caption, int left, int top, int width) {
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, 25);
    button->setAutoDefault(false);
    return button;
}

// The sheet's font with a character cell (ascent + descent) of `height` page units. Qt sizes
// fonts in the painter's logical units, which the world transform then scales like any other
// length; a point size becomes logical pixels through the device's resolution. The size is
// measured once and scaled so that the cell comes out at `height`.
QFont sheetFont(QPaintDevice *device, int height, bool bold) {
    QFont font(kSheetFont);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferOutline);
    font.setHintingPreference(QFont::PreferNoHinting);
    const double probe = 100.0;
    font.setPointSizeF(probe);
    const double cell = QFontMetricsF(font, device).height();
    if (cell > 0)
        font.setPointSizeF(probe * height / cell);
    return font;
}

QString printErrorText(const QPrinter &printer) {
    if (!printer.outputFileName().isEmpty()) {
        return QStringLiteral("Der Fachlesebogen konnte nicht in die Datei ") + printer.outputFileName() +
               QStringLiteral(
                   " geschrieben werden.\rBitte prüfe, ob der Ordner existiert und beschreibbar ist.");
    }
    return QStringLiteral("Der Drucker ") + printer.printerName() +
           QStringLiteral(" ist nicht bereit.\rDer Fachlesebogen wurde nicht gedruckt.");
}
} // namespace

QString PdfFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        return QDir::homePath();
    return folder;
}

QString ReservePdfFile(const QString &folder, const QString &surname, const QString &firstName) {
    QString stem = QStringLiteral("Fachlesebogen");
    for (const QString &part : {surname, firstName}) {
        QString name = part.simplified();
        for (QChar &c : name) {
            if (c.unicode() < 32 || QStringView(u"/\\:*?\"<>|").contains(c))
                c = u'_';
        }
        if (!name.isEmpty())
            stem += u' ' + name;
    }
    const QDir dir(folder);
    QString candidate = dir.absoluteFilePath(stem + QStringLiteral(".pdf"));
    for (int number = 2; number < 10000; ++number) {
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return candidate;
        if (!file.exists())
            return candidate; // the folder refuses files; the printing layer reports it
        candidate = dir.absoluteFilePath(stem + QStringLiteral(" (%1).pdf").arg(number));
    }
    return candidate;
}

void PaintSheet(QPainter &painter, int dotsPerInch, const QList<SheetText> &texts) {
    // One logical unit is 0.1 mm.
    const double devicePerUnit = dotsPerInch / kTenthMillimetresPerInch;
    painter.save();
    painter.scale(devicePerUnit, devicePerUnit);
    painter.setPen(Qt::black);
    for (const SheetText &item : texts) {
        if (item.text.isEmpty())
            continue;
        QFont font = sheetFont(painter.device(), item.height, item.bold);
        // The text is placed by the top of its character cell; the painter wants the baseline.
        const double baseline = item.y + QFontMetricsF(font, painter.device()).ascent();
        double narrowing = 1.0;
        if (item.width > 0) {
            // Too long for its room: smaller down to the medium height, then narrower.
            double advance = QFontMetricsF(font, painter.device()).horizontalAdvance(item.text);
            if (advance > item.width && item.height > kMediumText) {
                font = sheetFont(painter.device(), kMediumText, item.bold);
                advance = QFontMetricsF(font, painter.device()).horizontalAdvance(item.text);
            }
            if (advance > item.width)
                narrowing = item.width / advance;
        }
        painter.setFont(font);
        painter.save();
        painter.translate(item.x, baseline);
        painter.scale(narrowing, 1.0);
        painter.drawText(QPointF(0, 0), item.text);
        painter.restore();
    }
    painter.restore();
}

TPrintForm::TPrintForm(GridModel &grid, ChoiceTest &test, Dialogs &dialogs,
                       std::function<QPrinter &()> printer, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_grid(grid), m_test(test), m_dialogs(dialogs), m_printer(std::move(printer)) {
    setWindowTitle(kCaption);
    setFixedSize(kClientWidth, kClientHeight);

    Label1 = makeLabel(this, QStringLiteral("Bitte gib deine persönlichen Daten ein."), 16, 8, 222);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = makeLabel(this, QStringLiteral("Nachname"), 19, 43, 52);
    Label3 = makeLabel(this, QStringLiteral("Vorname"), 19, 75, 42);
    Label4 = makeLabel(this, QStringLiteral("Klasse"), 19, 107, 31);
    Label5 = makeLabel(this, QStringLiteral("Geburtsdatum"), 19, 139, 66);
    for (QLabel *label : {Label1, Label2, Label3, Label4, Label5})
        fitLabel(label);

    B_Print = makeButton(this, QStringLiteral("&Drucken"), 120, 176, 75);
    B_Print->setEnabled(false);
    B_Cancel = makeButton(this, QStringLiteral("A&bbrechen"), 208, 176, 73);
    // Enter prints while "Drucken" is enabled; on "Abbrechen" it cancels.
    B_Print->setAutoDefault(true);
    B_Print->setDefault(true);
    B_Cancel->setAutoDefault(true);

    E_Nachname = makeEdit(this, 95, 39, 178);
    E_Klasse = makeEdit(this, 95, 103, 58);
    E_Vorname = makeEdit(this, 95, 71, 177);
    E_Datum = makeEdit(this, 95, 135, 90);
    // Long enough for any name; the sheet prints a long entry smaller to fit its place.
    E_Nachname->setMaxLength(kMaxNameLength);
    E_Vorname->setMaxLength(kMaxNameLength);
    E_Klasse->setMaxLength(kMaxShortLength);
    E_Datum->setMaxLength(kMaxShortLength);

    // Each label names its field, also for screen readers.
    Label2->setBuddy(E_Nachname);
    Label3->setBuddy(E_Vorname);
    Label4->setBuddy(E_Klasse);
    Label5->setBuddy(E_Datum);

    setTabOrder(B_Print, B_Cancel);
    setTabOrder(B_Cancel, E_Nachname);
    setTabOrder(E_Nachname, E_Vorname);
    setTabOrder(E_Vorname, E_Klasse);
    setTabOrder(E_Klasse, E_Datum);

    for (QLineEdit *edit : {E_Nachname, E_Vorname, E_Klasse, E_Datum})
        connect(edit, &QLineEdit::textChanged, this, &TPrintForm::E_NachnameChange);
    connect(B_Print, &QPushButton::clicked, this, &TPrintForm::B_PrintClick);
    connect(B_Cancel, &QPushButton::clicked, this, &TPrintForm::B_CancelClick);
}

void TPrintForm::setVisible(bool visible) {
    if (visible && parentWidget()) {
        const QWidget *mainWindow = parentWidget()->window();
        const QPoint centre = mainWindow->mapToGlobal(mainWindow->rect().center());
        // The client area, not the frame, goes to the middle.
        setGeometry(QRect(centre - rect().center(), size()));
    }
    QDialog::setVisible(visible);
}

void TPrintForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    FormShow();
}

void TPrintForm::FormShow() {
    E_Nachname->setFocus();
}

void TPrintForm::E_NachnameChange() {
    // Tested in this order, stopping at the first empty text; blanks count as text.
    bool complete = true;
    for (const QLineEdit *edit : {E_Nachname, E_Vorname, E_Klasse, E_Datum}) {
        if (edit->text().isEmpty()) {
            complete = false;
            break;
        }
    }
    B_Print->setEnabled(complete);
}

void TPrintForm::B_CancelClick() {
    reject();
}

void TPrintForm::B_PrintClick() {
    // Hides the window at once; a modal opening ends when this handler returns.
    done(QDialog::Accepted);
    if (!PrintSheet())
        return;
    // A sheet written to a file is not printed: the notice says where it is.
    const QPrinter &printer = m_printer();
    const QString paragraphBreak = QStringLiteral("\r\r");
    const QString where =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()
            ? QStringLiteral("Der Fachlesebogen wurde als PDF-Datei gespeichert:\r") +
                  QDir::toNativeSeparators(QFileInfo(printer.outputFileName()).absoluteFilePath())
            : QStringLiteral("Der Fachlesebogen wird jetzt ausgedruckt.");
    m_dialogs.information(
        where + paragraphBreak + QStringLiteral("Wichtiger Hinweis!") + paragraphBreak +
        QStringLiteral(
            "Auf dem ausgedruckten Fachlesebogen müssen noch die Kursbezeichnungen für die Erst- und "
            "Zweitwahl eingetragen werden.") +
        paragraphBreak +
        QStringLiteral(
            "Für die Sportkurse existiert ein spezieller Wahlbogen, den du später erhältst. Deshalb "
            "bitte hier keine Sportkurse eintragen.") +
        paragraphBreak +
        QStringLiteral(
            "Vergiss nicht deine Unterschrift. Falls du noch nicht volljährig bist, müssen deine Eltern "
            "unterschreiben!"));
}

PersonalData TPrintForm::personalData() const {
    return PersonalData{E_Nachname->text(), E_Vorname->text(), E_Klasse->text(), E_Datum->text()};
}

PupilIdentity TPrintForm::Identity() const {
    return PupilIdentity{E_Nachname->text(), E_Vorname->text(), E_Klasse->text(), E_Datum->text()};
}

void TPrintForm::SetIdentity(const PupilIdentity &identity) {
    E_Nachname->setText(identity.surname);
    E_Vorname->setText(identity.firstName);
    E_Klasse->setText(identity.className);
    E_Datum->setText(identity.birthDate);
}

bool TPrintForm::PrintSheet() {
    // The choice block follows the grid as it is printed, also when the grid was edited after
    // the test that opened this window.
    m_test.BuildCourseMatrix();
    const QString today = SheetDate(QDate::currentDate());
    const QList<SheetText> texts =
        SheetLayout(m_grid, m_test.CourseMatrix, m_test.ChoiceTested, personalData(), today);

    QPrinter &printer = m_printer();
    // Each sheet that goes to a file for want of a printer gets a file of its own; a file chosen
    // in the print dialog stays chosen.
    if (!m_pdfFallback.isEmpty() && printer.outputFileName() == m_pdfFallback)
        printer.setOutputFileName(QString());
    m_pdfFallback.clear();
    if (printer.outputFileName().isEmpty() && QPrinterInfo::availablePrinters().isEmpty()) {
        m_pdfFallback = ReservePdfFile(PdfFolder(), E_Nachname->text(), E_Vorname->text());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(m_pdfFallback);
    }
    printer.setDocName(QStringLiteral("Fachlese von ") + E_Vorname->text() + u' ' + E_Nachname->text());
    printer.setFullPage(false);

    QPainter painter;
    bool printed = painter.begin(&printer);
    if (printed) {
        PaintSheet(painter, printer.resolution(), texts);
        printed = painter.end() && printer.printerState() != QPrinter::Error;
    }
    if (!printed) {
        // The name taken for the sheet is given back.
        if (!m_pdfFallback.isEmpty() && QFileInfo(m_pdfFallback).size() == 0)
            QFile::remove(m_pdfFallback);
        m_dialogs.error(printErrorText(printer));
    }
    return printed;
}
