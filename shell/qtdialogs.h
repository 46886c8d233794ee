#pragma once

#include "rules/dialogs.h"
#include "windows/systemdialogs.h"

#include <QPointer>

#include <functional>

class QFontMetrics;
class QWidget;

// For lines whose cells are separated by TABs: the column of each cell, the first line being
// the headings. The cells are laid out at tab stops a common distance apart, the smallest
// (from 2 `unit`s on, in whole pixels) that puts every cell under a heading; `width` measures
// a text. Without such a distance each cell is a column of its own.
QList<QList<int>> TabColumns(const QStringList &lines, const std::function<int(const QString &)> &width,
                             int unit);

// A message as rich text for a label: lines broken at carriage returns, blanks kept, and each
// run of lines with TABs as a table whose columns line up (TabColumns, measured in `metrics`).
QString TabbedTextAsHtml(const QString &text, const QFontMetrics &metrics);

// The message dialogs as real Qt message boxes, modal to `parent` (which may change).
class QtDialogs : public Dialogs {
public:
    DialogButton ask(const DialogRequest &request) override;
    void setParent(QWidget *parent) { m_parent = parent; }

private:
    QPointer<QWidget> m_parent;
};

// The system's file and print dialogs.
class QtSystemDialogs : public SystemDialogs {
public:
    QString openFileName(const QString &filter, const QString &defaultSuffix) override;
    QString saveFileName(const QString &filter, const QString &defaultSuffix,
                         const QString &presetName) override;
    bool choosePrinter(QPrinter &printer) override;
    void beep() override;
    void setParent(QWidget *parent) { m_parent = parent; }

    // "Text|pattern|Text|pattern" -> the name filters of a Qt file dialog.
    static QStringList nameFilters(const QString &filter);

private:
    QPointer<QWidget> m_parent;
    QString m_lastOpened; // the open dialog shows the name last chosen in it
};
