#pragma once

#include "rules/dialogs.h"
#include "windows/systemdialogs.h"

#include <QPointer>

class QWidget;

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
