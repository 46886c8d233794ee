#pragma once

#include <QMainWindow>

class Dialogs;
class SystemDialogs;

// The document viewer: one window for the regulation, the instructions and the help.
class THelpForm : public QMainWindow {
    Q_OBJECT

public:
    // `dialogs` and `systemDialogs` are not owned and must outlive the window.
    THelpForm(Dialogs &dialogs, SystemDialogs &systemDialogs, QWidget *parent = nullptr);

    // Loads `fileName` (a bare name, relative to the working directory) and shows the window
    // with `caption`, word wrap on or off.
    void ShowDocument(const QString &caption, const QString &fileName, bool wordWrap);

private:
    Dialogs &m_dialogs;
    SystemDialogs &m_systemDialogs;
};
