#include "windows/help.h"

#include "rules/dialogs.h"
#include "shell/systemdialogs.h"

THelpForm::THelpForm(Dialogs &dialogs, SystemDialogs &systemDialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_dialogs(dialogs), m_systemDialogs(systemDialogs) {}

void THelpForm::ShowDocument(const QString &caption, const QString &fileName, bool wordWrap) {
    Q_UNUSED(fileName);
    Q_UNUSED(wordWrap);
    setWindowTitle(caption);
    show();
    raise();
    activateWindow();
}
