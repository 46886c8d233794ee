#include "shell/qtdialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
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

QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}
} // namespace

QList<QList<int>> TabColumns(const QStringList &lines, const std::function<int(const QString &)> &width,
                             int unit) {
    // The stop at which each cell starts, for tab stops `distance` apart.
    const auto stops = [&](const QString &line, int distance) {
        QList<int> starts;
        int x = 0;
        const QStringList parts = line.split(u'\t');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                x = (x / distance + 1) * distance;
            if (!parts.at(i).isEmpty()) {
                starts.append(x / distance);
                x += width(parts.at(i));
            }
        }
        return starts;
    };
    QList<QList<int>> columns;
    if (lines.isEmpty() || unit <= 0)
        return columns;
    // The first line holds the headings; the smallest distance that puts every cell of the other
    // lines under a heading, in the headings' order, is the one the text was written for.
    for (int distance = 2 * unit; distance <= 30 * unit; ++distance) {
        const QList<int> headings = stops(lines.first(), distance);
        columns.clear();
        bool fits = true;
        for (const QString &line : lines) {
            QList<int> row;
            for (const int stop : stops(line, distance)) {
                const qsizetype column = headings.indexOf(stop);
                if (column < 0 || (!row.isEmpty() && column <= row.last())) {
                    fits = false;
                    break;
                }
                row.append(int(column));
            }
            if (!fits)
                break;
            columns.append(row);
        }
        if (fits)
            return columns;
    }
    // No distance lines the cells up: one column per cell.
    columns.clear();
    for (const QString &line : lines) {
        QList<int> row;
        for (qsizetype i = 0; i < line.split(u'\t', Qt::SkipEmptyParts).size(); ++i)
            row.append(int(i));
        columns.append(row);
    }
    return columns;
}

QString TabbedTextAsHtml(const QString &text, const QFontMetrics &metrics) {
    const QStringList lines = visibleText(text).split(u'\n');
    const QString pre = QStringLiteral("<div style=\"white-space:pre-wrap\">");
    QString html = pre;
    bool lineOpen = false; // a line of text stands in the open block
    for (qsizetype i = 0; i < lines.size();) {
        if (!lines.at(i).contains(u'\t')) {
            if (lineOpen)
                html += QStringLiteral("<br>");
            html += escaped(lines.at(i));
            lineOpen = true;
            ++i;
            continue;
        }
        // A run of lines with TABs becomes one table with a column per heading.
        qsizetype end = i;
        while (end < lines.size() && lines.at(end).contains(u'\t'))
            ++end;
        const QStringList block = lines.mid(i, end - i);
        const QList<QList<int>> columns = TabColumns(
            block, [&](const QString &part) { return metrics.horizontalAdvance(part); },
            metrics.averageCharWidth());
        int count = 0;
        for (const QList<int> &row : columns)
            count = qMax(count, row.isEmpty() ? 0 : row.last() + 1);
        html += QStringLiteral("</div><table cellspacing=\"0\" cellpadding=\"0\">");
        for (qsizetype r = 0; r < block.size(); ++r) {
            const QStringList cells = block.at(r).split(u'\t', Qt::SkipEmptyParts);
            const QList<int> &row = columns.at(r);
            html += QStringLiteral("<tr>");
            int column = 0;
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (row.at(c) > column)
                    html += QStringLiteral("<td colspan=\"%1\"></td>").arg(row.at(c) - column);
                const int span = (c + 1 < cells.size() ? row.at(c + 1) : count) - row.at(c);
                html += QStringLiteral("<td colspan=\"%1\" style=\"white-space:pre; padding-right:%2px\">")
                            .arg(span)
                            .arg(2 * metrics.averageCharWidth()) +
                        escaped(cells.at(c)) + QStringLiteral("</td>");
                column = row.at(c) + span;
            }
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>") + pre;
        lineOpen = false;
        i = end;
    }
    return html + QStringLiteral("</div>");
}

namespace {
// A dialog belongs to the window the user works in, so that it comes up over that window and
// does not bring another one to the front; the main window when none of the program's is active.
QWidget *ownerWindow(QWidget *fallback) {
    QWidget *active = QApplication::activeWindow();
    return active && active->isVisible() ? active : fallback;
}
} // namespace

DialogButton QtDialogs::ask(const DialogRequest &request) {
    QMessageBox box(ownerWindow(m_parent));
    box.setIcon(iconOf(request.kind));
    box.setWindowTitle(request.caption);
    if (request.text.contains(u'\t')) {
        // Columns written with TABs line up under their headings whatever the font.
        box.setTextFormat(Qt::RichText);
        box.setText(TabbedTextAsHtml(request.text, box.fontMetrics()));
    } else {
        box.setTextFormat(Qt::PlainText);
        box.setText(visibleText(request.text));
    }

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
    // Escape answers "&Abbrechen" where a question offers it, else "&Nein".
    const bool question = request.buttons.contains(DialogButton::No);
    const DialogButton escape =
        question && request.buttons.contains(DialogButton::Cancel) ? DialogButton::Cancel : DialogButton::No;
    for (const auto &[widget, button] : buttons) {
        if (question ? button == escape : true)
            box.setEscapeButton(widget);
    }
    box.exec();
    for (const auto &[widget, button] : buttons) {
        if (box.clickedButton() == widget)
            return button;
    }
    return question ? escape : (request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.last());
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
    // The dialog asks before an existing file is replaced.
    if (!presetName.isEmpty())
        dialog.selectFile(presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

bool QtSystemDialogs::choosePrinter(QPrinter &printer) {
    QPrintDialog dialog(&printer, ownerWindow(m_parent));
    return dialog.exec() == QDialog::Accepted;
}

void QtSystemDialogs::beep() {
    QApplication::beep();
}
