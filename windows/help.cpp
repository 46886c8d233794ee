#include "windows/help.h"

#include "richtext/rtfdecorations.h"
#include "richtext/rtfprint.h"
#include "richtext/rtfreader.h"
#include "rules/dialogs.h"
#include "windows/documentpath.h"
#include "windows/systemdialogs.h"
#include "windows/windowkeys.h"

#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QStatusBar>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The window measures 524 x 386 pixels on a screen of 120 pixels per inch, that is about
// 419 x 309 at Qt's 96 logical pixels per inch. Qt sizes the client area; the frame of a usual
// window manager adds about 8 pixels across and 30 down.
constexpr QSize kClientSize(411, 279);
constexpr int kPanelHeight = 37;

// What the view shows of a document at most (see Rtf::Limits).
constexpr Rtf::Limits kShownLimits;

// Plain text cut to the limits of a document; false when cut.
bool cutText(QString &text) {
    qsizetype end = std::min(text.size(), kShownLimits.characters);
    qsizetype lines = 0, lineStart = 0;
    for (qsizetype i = 0; i < end; ++i) {
        if (i - lineStart > kShownLimits.paragraphCharacters)
            end = i;
        else if (text[i] == u'\n' && ++lines > kShownLimits.blocks)
            end = i;
        else if (text[i] == u'\n')
            lineStart = i + 1;
    }
    if (end == text.size())
        return true;
    text.truncate(end);
    return false;
}

// The rich-text view, with what the text document does not draw itself drawn over it.
class DocumentView : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    void paintEvent(QPaintEvent *event) override {
        QTextEdit::paintEvent(event);
        QPainter painter(viewport());
        const double x = horizontalScrollBar()->value(), y = verticalScrollBar()->value();
        Rtf::drawDecorations(painter, *document(), QRectF(event->rect()).translated(x, y), x, y);
    }
};

} // namespace

THelpForm::THelpForm(Dialogs &dialogs, SystemDialogs &systemDialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_dialogs(dialogs), m_systemDialogs(systemDialogs) {
    setObjectName(QStringLiteral("HelpForm"));

    QMenu *info = menuBar()->addMenu(QStringLiteral("&Info"));
    Drucken1 = info->addAction(QStringLiteral("D&rucken"), this, &THelpForm::Drucken1Click);
    info->addSeparator();
    Schlieen1 = info->addAction(QStringLiteral("S&chließen"), this, &THelpForm::Schlieen1Click);

    m_client = new QWidget(this);
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    RichEdit1 = new DocumentView(m_client);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAccessibleName(QStringLiteral("Dokument"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setAcceptRichText(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    // The documents are shown as a word processor shows them, dark text on a white page,
    // whatever the desktop's colours, so that their own colours stay readable.
    QPalette page = RichEdit1->palette();
    page.setColor(QPalette::Base, Qt::white);
    page.setColor(QPalette::Text, Qt::black);
    RichEdit1->setPalette(page);
    // Text that names no font of its own is shown in a typewriter font, 15 pixels high.
    QFont typewriter(QStringLiteral("Liberation Mono"));
    typewriter.setStyleHint(QFont::TypeWriter);
    typewriter.setPixelSize(15);
    RichEdit1->document()->setDefaultFont(typewriter);

    Panel1 = new QWidget(m_client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Button1 = new QPushButton(QStringLiteral("&Suchen"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(10, 7, 119, 27);
    connect(Button1, &QPushButton::clicked, this, &THelpForm::Button1Click);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setAccessibleName(QStringLiteral("Suchbegriff"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(148, 7, 178, 24);
    Edit1->installEventFilter(this);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);

    resize(kClientSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() -
             QPoint(kClientSize.width() / 2, kClientSize.height() / 2));
    FormResize();
    CloseOnEscape(this);
}

bool THelpForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        FormResize();
    } else if (watched == Edit1 && event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            Edit1Change();
    } else if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Edit1KeyPress(QChar(13));
            return true;
        }
        if (!key->text().isEmpty())
            Edit1KeyPress(key->text().at(0));
    }
    return QMainWindow::eventFilter(watched, event);
}

void THelpForm::ShowDocument(const QString &caption, const QString &fileName, bool wordWrap) {
    setWindowTitle(caption);
    SearchPos = 0;
    QFile file(LocateDocument(fileName));
    QByteArray data;
    bool ok = file.open(QIODevice::ReadOnly);
    if (ok) {
        // One byte more than allowed tells a file that is too large, whatever its kind.
        data = file.read(Rtf::kMaxDocumentSize + 1);
        ok = file.error() == QFileDevice::NoError;
    }
    if (!ok) {
        m_dialogs.error(QStringLiteral("Die Datei ") + fileName +
                        QStringLiteral(" konnte nicht geöffnet werden."));
        return;
    }
    if (data.size() > Rtf::kMaxDocumentSize) {
        m_dialogs.error(QStringLiteral("Die Datei ") + fileName +
                        QStringLiteral(" ist größer als 32 MB und kann nicht angezeigt werden."));
        return;
    }
    // The document is read apart from the view, which would otherwise follow every step, and
    // then takes the place of the one shown. A file without the RTF signature is shown as plain
    // text, as a rich-text view does.
    auto *document = new QTextDocument(RichEdit1);
    document->setDefaultFont(RichEdit1->document()->defaultFont());
    bool whole = true;
    if (Rtf::looksLikeRtf(data)) {
        whole = Rtf::read(data, *document, kShownLimits);
    } else {
        QString text = Rtf::decode(data, 1252).replace(u"\r\n"_s, u"\n"_s);
        whole = cutText(text);
        document->setPlainText(text);
    }
    RichEdit1->setDocument(document);
    RichEdit1->moveCursor(QTextCursor::Start);
    RichEdit1->setLineWrapMode(wordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    show();
    raise();
    activateWindow();
    if (!whole)
        m_dialogs.notice(QStringLiteral("Die Datei ") + fileName +
                         QStringLiteral(" ist zu lang; angezeigt wird nur ihr Anfang."));
}

QPrinter &THelpForm::PrintDialog1Printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return *m_printer;
}

void THelpForm::FindNext() {
    const QString term = Edit1->text();
    // After a failed search (-1) the next one starts again at the beginning.
    const int start = qMax(SearchPos, 0);
    const QString text = RichEdit1->document()->toPlainText();
    int found = -1;
    if (!term.isEmpty() && start < text.size()) {
        // A match has to lie inside the range of kSearchRange characters from the start.
        const qsizetype index =
            QStringView(text).sliced(start).left(kSearchRange).indexOf(term, 0, Qt::CaseInsensitive);
        if (index >= 0)
            found = start + int(index);
    }
    SearchPos = found;
    if (found < 0) {
        m_dialogs.notice(QStringLiteral("Der Begriff ") + term +
                         QStringLiteral("  wurde nicht (mehr) gefunden."));
        return;
    }
    Button1->setText(found > 0 ? QStringLiteral("Weiter&suchen") : QStringLiteral("&Suchen"));
    RichEdit1->setFocus();
    QTextCursor cursor(RichEdit1->document());
    cursor.setPosition(found);
    cursor.setPosition(found + int(term.size()), QTextCursor::KeepAnchor);
    RichEdit1->setTextCursor(cursor);
    RichEdit1->ensureCursorVisible();
    SearchPos = found + int(term.size()) + 1;
}

void THelpForm::Button1Click() {
    FindNext();
}

void THelpForm::Edit1Change() {
    SearchPos = 0;
    Button1->setText(QStringLiteral("&Suchen"));
}

void THelpForm::Edit1KeyPress(QChar key) {
    if (key.unicode() == 13)
        FindNext();
}

void THelpForm::Drucken1Click() {
    if (!m_systemDialogs.choosePrinter(PrintDialog1Printer()))
        return;
    PrintDialog1Printer().setDocName(QStringLiteral("Fachlese"));
    // Each page with the document's header and footer; long lines break at the page.
    QPrinter &printer = PrintDialog1Printer();
    Rtf::print(*RichEdit1->document(), printer, printer.fromPage(), printer.toPage());
}

void THelpForm::Schlieen1Click() {
    hide();
}

void THelpForm::FormResize() {
    // The search panel keeps its height at the bottom; the text fills the rest above it.
    const int width = m_client->width();
    Panel1->setGeometry(0, qMax(m_client->height() - kPanelHeight, 0), width, kPanelHeight);
    RichEdit1->setGeometry(0, 0, width, Panel1->y());
}
