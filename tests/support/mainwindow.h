#pragma once

#include "rules/dialogs.h"
#include "shell/coursegridview.h"
#include "shell/main.h"
#include "support/fakes.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// Types through `window` as the system delivers keys: to the focused widget, then to an editor
// it opened. "\b" is Backspace, "\n" Return, "\t" Tab, "←" and "↓" the arrow keys.
inline void typeInto(QWidget *window, const QString &keys) {
    static const QHash<QChar, Qt::Key> special = {{u'\b', Qt::Key_Backspace},
                                                  {u'\n', Qt::Key_Return},
                                                  {u'\t', Qt::Key_Tab},
                                                  {u'←', Qt::Key_Left},
                                                  {u'↓', Qt::Key_Down}};
    for (const QChar c : keys) {
        if (special.contains(c))
            QTest::keyClick(window->windowHandle(), special.value(c));
        else
            QTest::keyClick(window->windowHandle(), c.toLatin1());
    }
}

// The main window as the tests drive it: message dialogs answered by a DialogRecorder, file
// and print dialogs by ScriptedSystemDialogs, the side windows created, and no information
// window at the first show.
struct MainWindowFixture {
    DialogRecorder dialogs;
    ScriptedSystemDialogs system;
    std::unique_ptr<TMainForm> form;
    QTemporaryDir dir; // for the files a test writes

    // `visible`: the window is shown and active with the grid focused, so that keys can be typed.
    explicit MainWindowFixture(bool visible = false) : form(std::make_unique<TMainForm>(dialogs, system)) {
        form->CreateSideWindows();
        form->FirstShowPending = false;
        if (visible) {
            form->show();
            form->activateWindow();
            if (!QTest::qWaitForWindowActive(form.get()))
                qWarning("main window did not become active");
            form->StringGridView->setFocus();
        }
    }

    GridModel &grid() const { return *form->StringGrid; }

    // Writes `bytes` as `name` below `dir`, its folders made, and returns its path.
    QString file(const QString &name, const QByteArray &bytes) const {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            qWarning("%s not written", qPrintable(path));
        return path;
    }

    // The texts of columns 1 ... 4 of a row, joined by "|".
    QString row(int r) const {
        QStringList texts;
        for (int c = 1; c <= GridModel::kSemesters; ++c)
            texts << grid().cell(c, r);
        return texts.join(u'|');
    }

    // The dialogs shown so far, one "kind|caption|text|buttons" each.
    QStringList shown() const {
        QStringList texts;
        for (const DialogRecorder::Entry &e : dialogs.entries) {
            texts << QStringList{kindName(e.request.kind), e.request.caption, e.request.text}.join(u'|');
            for (DialogButton b : e.request.buttons)
                texts.last() += u'|' + buttonText(b);
        }
        return texts;
    }

    void type(const QString &keys) const { typeInto(form.get(), keys); }

    // The part of the caption after "Fachlese 1.49  IGS-Brunsmark - ", or "<bare>" for the
    // caption without a file.
    QString captionTail() const {
        const QString title = form->windowTitle(), bare = QStringLiteral("Fachlese 1.49  IGS-Brunsmark");
        return title == bare                                    ? QStringLiteral("<bare>")
               : title.startsWith(bare + QStringLiteral(" - ")) ? title.mid(bare.size() + 3)
                                                                : QStringLiteral("<wrong>") + title;
    }

    // True when closing the window would ask nothing (and so close).
    bool closesWithoutQuestion() {
        const qsizetype before = dialogs.entries.size();
        dialogs.answers.enqueue(DialogButton::Yes); // saves, or refuses the close while no name is known
        const bool mayClose = form->FormCloseQuery();
        dialogs.answers.clear();
        return mayClose && dialogs.entries.size() == before;
    }
};

// Runs `open`, which is expected to show a popup menu or a modal dialog and wait for it; `act`
// runs once with that widget while it is open, and the widget is closed afterwards if `act`
// left it open. Returns whether such a widget appeared.
inline bool duringModal(const std::function<void()> &open, const std::function<void(QWidget *)> &act = {}) {
    bool appeared = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        QPointer<QWidget> shown = QApplication::activePopupWidget();
        if (!shown && !(shown = QApplication::activeModalWidget()))
            return;
        appeared = true;
        poll.stop();
        if (act)
            act(shown);
        if (shown && shown->isVisible())
            shown->close();
    });
    poll.start(10);
    open();
    return appeared;
}
