#pragma once

#include "rules/dialogs.h"
#include "shell/coursegrid.h"
#include "shell/main.h"
#include "support/fakes.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// The main window as the tests drive it: message dialogs answered by a DialogRecorder, file
// and print dialogs by ScriptedSystemDialogs, the side windows created, and no information
// window at the first show.
struct MainWindowFixture {
    DialogRecorder dialogs;
    ScriptedSystemDialogs system;
    std::unique_ptr<TMainForm> form;

    // `shown`: the window is shown and active with the grid focused, so that keys can be typed.
    explicit MainWindowFixture(bool shown = false) : form(std::make_unique<TMainForm>(dialogs, system)) {
        form->CreateSideWindows();
        form->FirstShowPending = false;
        if (shown) {
            form->show();
            form->activateWindow();
            if (!QTest::qWaitForWindowActive(form.get()))
                qWarning("main window did not become active");
            form->StringGridView->setFocus();
        }
    }

    GridModel &grid() const { return *form->StringGrid; }

    // The texts of columns 1 ... 4 of a row, joined by "|".
    QString row(int r) const {
        QStringList texts;
        for (int c = 1; c <= GridModel::kSemesters; ++c)
            texts << grid().cell(c, r);
        return texts.join(u'|');
    }

    QPoint cellCentre(int column, int row) const {
        return form->StringGridView->visualRect(grid().index(row, column)).center();
    }

    // Types through the window as the system delivers keys: to the grid, then to the editor
    // it opened. "\b" is Backspace, "\n" Return, "←" and "↓" the arrow keys.
    void type(const QString &keys) const {
        for (const QChar c : keys) {
            const Qt::Key special = c == u'\b'   ? Qt::Key_Backspace
                                    : c == u'\n' ? Qt::Key_Return
                                    : c == u'←'  ? Qt::Key_Left
                                    : c == u'↓'  ? Qt::Key_Down
                                                 : Qt::Key_unknown;
            if (special != Qt::Key_unknown)
                QTest::keyClick(form->windowHandle(), special);
            else
                QTest::keyClick(form->windowHandle(), c.toLatin1());
        }
    }

    // The part of the caption after "Fachlese 1.49  IGS-Brunsmark - ", or "<bare>" for the
    // caption without a file.
    QString captionTail() const {
        const QString title = form->windowTitle();
        const QString bare = QStringLiteral("Fachlese 1.49  IGS-Brunsmark");
        if (title == bare)
            return QStringLiteral("<bare>");
        const QString prefix = bare + QStringLiteral(" - ");
        return title.startsWith(prefix) ? title.mid(prefix.size()) : QStringLiteral("<wrong: %1>").arg(title);
    }

    // True when closing the window would ask nothing (and so close).
    bool closesWithoutQuestion() {
        const qsizetype before = dialogs.entries.size();
        dialogs.answers.enqueue(DialogButton::Yes); // would refuse the close if asked
        const bool mayClose = form->FormCloseQuery();
        const bool asked = dialogs.entries.size() != before;
        dialogs.answers.clear();
        return mayClose && !asked;
    }
};

// Runs `open`, which is expected to show a popup menu or a modal dialog and wait for it; `act`
// runs once with that widget while it is open, and the widget is closed afterwards if `act`
// left it open. Returns whether such a widget appeared.
inline bool duringModal(const std::function<void()> &open, const std::function<void(QWidget *)> &act = {}) {
    bool appeared = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        QPointer<QWidget> shown = QApplication::activePopupWidget();
        if (!shown)
            shown = QApplication::activeModalWidget();
        if (!shown)
            return;
        appeared = true;
        poll.stop();
        if (act)
            act(shown);
        if (shown && shown->isVisible())
            shown->close();
    });
    poll.start();
    open();
    return appeared;
}

// The bytes of a file, or "<missing>" when it cannot be read.
inline QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Creates or replaces a file with `bytes`; true on success.
inline bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
