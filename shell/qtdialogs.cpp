#include "shell/qtdialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {
QMessageBox::Icon iconOf(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning:
        return QMessageBox::Warning;
    case DialogKind::Error:
        return QMessageBox::Critical;
    case DialogKind::Information:
        return QMessageBox::Information;
    case DialogKind::Confirmation:
    case DialogKind::MessageBox:
        return QMessageBox::Question;
    case DialogKind::Notice:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleOf(DialogButton button) {
    switch (button) {
    case DialogButton::Yes:
        return QMessageBox::YesRole;
    case DialogButton::No:
        return QMessageBox::NoRole;
    case DialogButton::Ok:
        return QMessageBox::AcceptRole;
    case DialogButton::Cancel:
        return QMessageBox::RejectRole;
    }
    return QMessageBox::AcceptRole;
}

// The messages break lines with a lone carriage return; a label needs a line feed.
QString visibleText(const QString &text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}
} // namespace

DialogButton QtDialogs::ask(const DialogRequest &request) {
    QMessageBox box(m_parent);
    box.setIcon(iconOf(request.kind));
    box.setWindowTitle(request.caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(visibleText(request.text));

    if (request.kind == DialogKind::MessageBox) {
        // The system's own box: standard Yes/No buttons, translated by Qt.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? DialogButton::Yes : DialogButton::No;
    }

    QList<std::pair<QPushButton *, DialogButton>> buttons;
    for (DialogButton button : request.buttons)
        buttons.append(std::make_pair(box.addButton(buttonText(button), roleOf(button)), button));
    if (!buttons.isEmpty())
        box.setDefaultButton(buttons.first().first);
    const bool question = request.buttons.contains(DialogButton::No);
    for (const auto &[widget, button] : buttons) {
        if (question ? button == DialogButton::No : true)
            box.setEscapeButton(widget);
    }
    box.exec();
    for (const auto &[widget, button] : buttons) {
        if (box.clickedButton() == widget)
            return button;
    }
    return question ? DialogButton::No
                    : (request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.last());
}

QStringList QtSystemDialogs::nameFilters(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(u';', u' ');
        // Qt reads the patterns from the brackets at the end of the text.
        if (!name.endsWith(u')'))
            name += QStringLiteral(" (") + pattern + u')';
        filters.append(name);
    }
    return filters;
}

QString QtSystemDialogs::openFileName(const QString &filter, const QString &defaultSuffix) {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a name that does not exist is accepted
    dialog.setNameFilters(nameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    if (!m_lastOpened.isEmpty())
        dialog.selectFile(m_lastOpened);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    m_lastOpened = dialog.selectedFiles().first();
    return m_lastOpened;
}

QString QtSystemDialogs::saveFileName(const QString &filter, const QString &defaultSuffix,
                                      const QString &presetName) {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true); // replaces without a question
    if (!presetName.isEmpty())
        dialog.selectFile(presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

bool QtSystemDialogs::choosePrinter(QPrinter &printer) {
    QPrintDialog dialog(&printer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtSystemDialogs::beep() {
    QApplication::beep();
}
